// How code that runs on any thread reaches the main window: the window
// messages the subsystems exchange and the one call that delivers them.
// Windows builds deliver with SendMessageW; the test build records them.
#pragma once

#include <cstdint>

// Same type as HWND on Windows, an opaque handle elsewhere.
struct HWND__;
using WindowHandle = HWND__*;

const unsigned WM_CHECKIP_DONE = 400;
const unsigned WM_SYNC_DONE = 401;
const unsigned WM_NET_NOTICE = 500;
const unsigned WM_TRAY_CALLBACK = 0x8000 + 100;  // WM_APP + 100

const int NOTICE_SOCKET_FAILED = 512;
const int NOTICE_CONNECT_FAILED = 515;

// Synchronous: returns when the window has handled the message.
std::intptr_t SendWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam);

// WM_SETTEXT to a control, synchronous.
void SendWindowText(WindowHandle control, const wchar_t* text);
