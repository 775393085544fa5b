// Windows side of the tray: Shell_NotifyIconW, beeps and the popup menu.
#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "shell/tray.h"
#include "util/text.h"

static_assert(TRAY_NIM_ADD == NIM_ADD && TRAY_NIM_MODIFY == NIM_MODIFY && TRAY_NIM_DELETE == NIM_DELETE &&
                  TRAY_NIM_SETVERSION == NIM_SETVERSION,
              "shell message numbers");
static_assert(TRAY_STRUCT_SIZE == NOTIFYICONDATAW_V3_SIZE, "tray structure size");
static_assert(WM_TRAY_CALLBACK == WM_APP + 100 && BEEP_ERROR == MB_ICONHAND, "tray callback message, beep");
static_assert(TRAY_FLAGS == (NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO), "tray flags");

int ShellNotifyIcon(unsigned message, const NotifyIconFields& f) {
    NOTIFYICONDATAW data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = f.cbSize;
    data.hWnd = f.hWnd;
    data.uID = f.uID;
    data.uFlags = f.uFlags;
    data.uCallbackMessage = f.uCallbackMessage;
    data.hIcon = f.hIcon;
    CopyText(data.szTip, f.szTip);
    CopyText(data.szInfo, f.szInfo);
    CopyText(data.szInfoTitle, f.szInfoTitle);
    data.uVersion = f.uVersion;
    data.dwInfoFlags = f.dwInfoFlags;
    return Shell_NotifyIconW(message, &data) ? 1 : 0;
}

void PlayBeep(unsigned type) {
    MessageBeep(type);
}

void ShowTrayMenu(WindowHandle window, MenuHandle menu) {
    if (menu == nullptr) return;
    POINT cursor;
    GetCursorPos(&cursor);
    HMENU popup = GetSubMenu(menu, 0);
    // Without the foreground the menu would not close on a click elsewhere.
    SetForegroundWindow(window);
    TrackPopupMenu(popup, TPM_BOTTOMALIGN | TPM_VERNEGANIMATION, cursor.x, cursor.y, 0, window, nullptr);
    PostMessageW(window, WM_NULL, 0, 0);
    DestroyMenu(menu);
}
