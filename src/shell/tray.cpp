// Tray icon state machine, written once for every build.
#include "shell/tray.h"

#include <cstring>

#include "util/product.h"
#include "util/text.h"

IconHandle IdleIcon = nullptr;
IconHandle RunningIcon = nullptr;
TrayRequestData TrayRequest = {};
int TrayState = 0;

namespace {

struct KindFlag {
    const char* word;
    unsigned flags;
};

const KindFlag kKinds[] = {{"info", 1}, {"warning", 2}, {"error", 3}, {"custom", 4}};

bool Is(const char* word, const char* expected) {
    return word != nullptr && std::strcmp(word, expected) == 0;
}

NotifyIconFields BuildFields() {
    NotifyIconFields f;
    std::memset(&f, 0, sizeof f);
    f.cbSize = TRAY_STRUCT_SIZE;
    f.hWnd = TrayRequest.Window;
    f.uID = TRAY_ICON_UID;
    f.uFlags = TRAY_FLAGS;
    f.uCallbackMessage = WM_TRAY_CALLBACK;
    f.hIcon = TrayRequest.Icon;
    CopyText(f.szTip, TrayRequest.Tip);
    CopyText(f.szInfo, TrayRequest.BalloonText);
    CopyText(f.szInfoTitle, TrayRequest.BalloonTitle);
    f.uVersion = TRAY_VERSION;
    return f;
}

}  // namespace

unsigned BalloonFlags(const char* kind) {
    for (const KindFlag& k : kKinds)
        if (Is(kind, k.word)) return k.flags;
    return 0;
}

void ProductText(wchar_t* dst, unsigned capacity, const wchar_t* suffix) {
    std::wstring text(ProductName);
    text += suffix;
    CopyText(dst, text.c_str(), capacity);
}

int TrayNotify() {
    NotifyIconFields f = BuildFields();
    const char* command = TrayRequest.Command;
    if (Is(command, "init") && TrayState == 0) {
        ShellNotifyIcon(TRAY_NIM_ADD, f);
        ShellNotifyIcon(TRAY_NIM_SETVERSION, f);
        TrayState = 1;
        return 1;
    }
    if (Is(command, "modify") && TrayState != 0) {
        f.dwInfoFlags = BalloonFlags(TrayRequest.BalloonKind);
        ShellNotifyIcon(TRAY_NIM_MODIFY, f);
        TrayState = 2;
        return 1;
    }
    // A pending balloon would be taken down by a plain icon change.
    if (Is(command, "seticon") && TrayState == 1) {
        ShellNotifyIcon(TRAY_NIM_MODIFY, f);
        return 1;
    }
    if (Is(command, "remove") && TrayState != 0) {
        ShellNotifyIcon(TRAY_NIM_DELETE, f);
        TrayState = 0;
        return 1;
    }
    return 0;
}

TrayAction TrayCallbackEvent(long event) {
    switch (event) {
        case TRAY_BALLOON_HIDE:
        case TRAY_BALLOON_TIMEOUT:
        case TRAY_BALLOON_USERCLICK:
            TrayState = 1;
            return TrayAction::None;
        case TRAY_LBUTTON_DBLCLK:
            return TrayAction::ToggleWindow;
        case TRAY_RBUTTON_UP:
            return TrayAction::ShowMenu;
        default:
            return TrayAction::None;
    }
}
