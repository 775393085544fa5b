// How portable code reaches windows: the handle type, the message numbers
// the layers exchange, and the few window calls they make. Windows links
// window_win.cpp; the native tests link a recording window.
#pragma once

#include <cstdint>

// Same type as HWND on Windows, an opaque handle elsewhere.
struct HWND__;
using WindowHandle = HWND__*;

// The main window: created once at start-up, every report goes to it.
extern WindowHandle MainWindow;

const unsigned WM_CHECKIP_DONE = 400;
const unsigned WM_SYNC_DONE = 401;
const unsigned WM_NET_NOTICE = 500;
const unsigned WM_TRAY_CALLBACK = 0x8000 + 100;  // WM_APP + 100

const int NOTICE_SOCKET_FAILED = 512;
const int NOTICE_CONNECT_FAILED = 515;
const int NOTICE_CERT_REFUSED = 516;

// Win32 numbers portable code sends; window_win.cpp checks them against
// the SDK.
const unsigned MESSAGE_COMMAND = 0x0111;       // WM_COMMAND
const unsigned MESSAGE_SETICON = 0x0080;       // WM_SETICON
const unsigned ICON_LARGE = 1;                 // ICON_BIG
const unsigned STATUS_SETTEXT = 0x0400 + 11;   // SB_SETTEXTW
const unsigned BEEP_ERROR = 0x10;              // MB_ICONHAND

// Synchronous: returns when the window has handled the message.
std::intptr_t SendWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam);

// WM_SETTEXT to a control, synchronous.
void SendWindowText(WindowHandle control, const wchar_t* text);

void EnableControl(WindowHandle control, bool on);

// SetTimer without a timer procedure (arrives as WM_TIMER), and KillTimer.
void StartTimer(WindowHandle window, unsigned id, unsigned milliseconds);
void StopTimer(WindowHandle window, unsigned id);
