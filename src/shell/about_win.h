// The pieces of the About window, for the window itself and its tests.
#pragma once

#include <windows.h>

const int IDC_COPY_PURSE = 246;

// Opens the About window, hides the main window and serves every window of
// the thread in a loop of its own until the About window is destroyed.
// Returns 0. Main thread only.
int ShowAboutWindow(HINSTANCE instance, HFONT font);

LRESULT CALLBACK AboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A balloon tooltip for control, shown when the mouse rests on it.
HWND AttachLinkTooltip(HWND control, const wchar_t* text);

// Puts text on the clipboard as CF_UNICODETEXT; false when it cannot.
bool CopyTextToClipboard(const wchar_t* text);

// Each returns a new text from malloc that the caller frees.
wchar_t* GetComputerNameText();
wchar_t* GetUserNameText();
wchar_t* GetOsVersionText();
wchar_t* GetMemoryUsedText();
