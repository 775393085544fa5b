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

namespace {

// What each command word does, and in which states: a bit for each state
// it may run in, the shell messages it sends, and the state after it (-1:
// unchanged). A pending balloon would be taken down by a plain icon
// change, so seticon waits for the balloon's close report.
struct CommandRow {
    const char* word;
    unsigned states;
    unsigned messages[2];
    int messageCount;
    bool balloon;
    int next;
};

const CommandRow kCommands[] = {
    {"init", 1u << 0, {TRAY_NIM_ADD, TRAY_NIM_SETVERSION}, 2, false, 1},
    {"modify", 1u << 1 | 1u << 2, {TRAY_NIM_MODIFY}, 1, true, 2},
    {"seticon", 1u << 1, {TRAY_NIM_MODIFY}, 1, false, -1},
    {"remove", 1u << 1 | 1u << 2, {TRAY_NIM_DELETE}, 1, false, 0},
};

}  // namespace

int TrayNotify() {
    NotifyIconFields f = BuildFields();
    for (const CommandRow& row : kCommands) {
        if (!Is(TrayRequest.Command, row.word)) continue;
        if (TrayState < 0 || TrayState > 2 || (row.states & 1u << TrayState) == 0) return 0;
        if (row.balloon) f.dwInfoFlags = BalloonFlags(TrayRequest.BalloonKind);
        for (int i = 0; i < row.messageCount; ++i) ShellNotifyIcon(row.messages[i], f);
        if (row.next >= 0) TrayState = row.next;
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
