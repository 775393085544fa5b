// The main window: its construction and its window procedure.
#pragma once

#include <windows.h>

extern HINSTANCE ProgramInstance;
extern HMENU MainMenu;
extern bool MessageLoopRunning;
extern wchar_t ProgramPath[512];

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

HWND AddTabPage(HWND parent, HWND tab, const wchar_t* text);
void ShowSelectedTabPage(HWND tab, HWND* pages);
void RunMessageLoop();
