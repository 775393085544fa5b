// The notification-area icon: the request callers fill, the state machine
// that turns its command word into shell calls, and the seams to the shell.
#pragma once

#include "util/window.h"

// Same type as HICON on Windows, an opaque handle elsewhere.
struct HICON__;
using IconHandle = HICON__*;
struct HMENU__;
using MenuHandle = HMENU__*;

extern IconHandle IdleIcon;
extern IconHandle RunningIcon;

const unsigned TRAY_ICON_UID = 100;
const unsigned WM_TRAY_CALLBACK = 0x8000 + 100;  // WM_APP + 100
const unsigned TRAY_FLAGS = 23;           // NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO
// NOTIFYICONDATAW up to and including guidItem: 952 bytes in the 32-bit
// layout, 968 in the 64-bit one (wider handles and their padding).
const unsigned TRAY_STRUCT_SIZE = sizeof(void*) == 8 ? 968 : 952;
const unsigned TRAY_VERSION = 3;          // NOTIFYICON_VERSION, shared with uTimeout

// Shell_NotifyIconW messages.
const unsigned TRAY_NIM_ADD = 0;
const unsigned TRAY_NIM_MODIFY = 1;
const unsigned TRAY_NIM_DELETE = 2;
const unsigned TRAY_NIM_SETVERSION = 4;

// Tray callback events handled by the window.
const long TRAY_BALLOON_HIDE = 1027;
const long TRAY_BALLOON_TIMEOUT = 1028;
const long TRAY_BALLOON_USERCLICK = 1029;
const long TRAY_LBUTTON_DBLCLK = 515;
const long TRAY_RBUTTON_UP = 517;

struct TrayRequestData {
    WindowHandle Window;
    IconHandle Icon;
    const char* Command;      // "init", "modify", "seticon", "remove"
    wchar_t Tip[64];
    const char* BalloonKind;  // "info", "warning", "error", "custom"
    wchar_t BalloonTitle[64];
    wchar_t BalloonText[256];  // empty: no balloon
};

extern TrayRequestData TrayRequest;
// 0 no icon, 1 icon shown, 2 icon shown with a balloon not yet reported closed.
extern int TrayState;

// The fields of NOTIFYICONDATAW that the tray sets, in the shell's units.
struct NotifyIconFields {
    unsigned cbSize;
    WindowHandle hWnd;
    unsigned uID;
    unsigned uFlags;
    unsigned uCallbackMessage;
    IconHandle hIcon;
    wchar_t szTip[128];
    wchar_t szInfo[256];
    unsigned uVersion;
    wchar_t szInfoTitle[64];
    unsigned dwInfoFlags;
};

// Carries out TrayRequest.Command if TrayState allows it: 1 when a shell
// call was made, 0 otherwise.
int TrayNotify();

// dwInfoFlags for a balloon kind word; 0 for an unknown word or null.
unsigned BalloonFlags(const char* kind);

// ProductName followed by suffix, cut to capacity (terminator included).
void ProductText(wchar_t* dst, unsigned capacity, const wchar_t* suffix);
template <unsigned N>
void ProductText(wchar_t (&dst)[N], const wchar_t* suffix) {
    ProductText(dst, N, suffix);
}

// What the window does with a tray callback event (the lParam of
// WM_TRAY_CALLBACK for our icon). A balloon's close report is handled here:
// TrayState goes back to 1.
enum class TrayAction { None, ToggleWindow, ShowMenu };
TrayAction TrayCallbackEvent(long event);

const unsigned BEEP_ERROR = 0x10;  // MB_ICONHAND

// Seams: Shell_NotifyIconW and MessageBeep on Windows, recorders in tests.
int ShellNotifyIcon(unsigned message, const NotifyIconFields& data);
void PlayBeep(unsigned type);

// Shows the first popup of menu at the cursor, then destroys menu.
void ShowTrayMenu(WindowHandle window, MenuHandle menu);
