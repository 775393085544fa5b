// Top-level windows of the program (main and About), Windows only.
#pragma once

#include <windows.h>

// Registers the class `name` once and creates a window of that class and
// title, centred on the desktop when x and y are -1. Null (after telling
// the user) when the class cannot be registered.
HWND CreateTopWindow(HINSTANCE instance, WNDPROC procedure, HICON icon, const wchar_t* name, int x, int y,
                     int width, int height);
