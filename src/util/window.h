// The window handle as portable code passes it on, and the main window.
// Only the program (app/) and the tray and About window (shell/) use it;
// the layers below report through calls of their own.
#pragma once

// Same type as HWND on Windows, an opaque handle elsewhere.
struct HWND__;
using WindowHandle = HWND__*;

// The main window: created once at start-up.
extern WindowHandle MainWindow;
