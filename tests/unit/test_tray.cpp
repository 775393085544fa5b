// The tray state machine: which command word is allowed in which state,
// which shell calls it makes and what every call carries.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "recording_window.h"
#include "shell/tray.h"
#include "shell_recorder.h"

namespace {

WindowHandle const kWindow = FakeWindow(0x100);
IconHandle const kIcon = reinterpret_cast<IconHandle>(0x200);

void FreshRequest() {
    ResetShell();
    std::memset(&TrayRequest, 0, sizeof TrayRequest);
    TrayRequest.Window = kWindow;
    TrayRequest.Icon = kIcon;
    std::wcscpy(TrayRequest.Tip, L"tip");
    TrayState = 0;
}

std::vector<unsigned> Messages() {
    std::vector<unsigned> out;
    for (const TrayCall& c : Shell().tray) out.push_back(c.message);
    return out;
}

struct CommandRow {
    const char* name;
    const char* command;
    int stateBefore;
    std::vector<unsigned> calls;
    int stateAfter;
    int result;
};

const std::vector<unsigned> kNone;

}  // namespace

TEST(TrayNotify, CommandWordsByState) {
    const CommandRow rows[] = {
        {"init adds and sets the version", "init", 0, {TRAY_NIM_ADD, TRAY_NIM_SETVERSION}, 1, 1},
        {"init with an icon shown", "init", 1, kNone, 1, 0},
        {"init with a balloon pending", "init", 2, kNone, 2, 0},
        {"modify before init", "modify", 0, kNone, 0, 0},
        {"modify with an icon", "modify", 1, {TRAY_NIM_MODIFY}, 2, 1},
        {"modify with a balloon pending", "modify", 2, {TRAY_NIM_MODIFY}, 2, 1},
        {"seticon with an icon", "seticon", 1, {TRAY_NIM_MODIFY}, 1, 1},
        {"seticon with a balloon pending", "seticon", 2, kNone, 2, 0},
        {"seticon without an icon", "seticon", 0, kNone, 0, 0},
        {"remove with an icon", "remove", 1, {TRAY_NIM_DELETE}, 0, 1},
        {"remove with a balloon pending", "remove", 2, {TRAY_NIM_DELETE}, 0, 1},
        {"remove without an icon", "remove", 0, kNone, 0, 0},
        {"capitalised word", "Init", 0, kNone, 0, 0},
        {"word with a trailing blank", "modify ", 1, kNone, 1, 0},
        {"empty word", "", 1, kNone, 1, 0},
        {"no word", nullptr, 1, kNone, 1, 0},
    };
    for (const CommandRow& row : rows) {
        FreshRequest();
        TrayState = row.stateBefore;
        TrayRequest.Command = row.command;
        TrayRequest.BalloonKind = "info";
        EXPECT_EQ(TrayNotify(), row.result) << row.name;
        EXPECT_EQ(Messages(), row.calls) << row.name;
        EXPECT_EQ(TrayState, row.stateAfter) << row.name;
    }
}

TEST(TrayNotify, EveryCallCarriesTheFixedFields) {
    FreshRequest();
    std::wcscpy(TrayRequest.BalloonTitle, L"title");
    std::wcscpy(TrayRequest.BalloonText, L"text");
    TrayRequest.BalloonKind = "custom";
    for (const char* command : {"init", "seticon", "modify", "remove"}) {
        TrayRequest.Command = command;
        ASSERT_EQ(TrayNotify(), 1) << command;
    }
    ASSERT_EQ(Shell().tray.size(), 5u);
    for (const TrayCall& c : Shell().tray) {
        const NotifyIconFields& f = c.fields;
        EXPECT_EQ(f.cbSize, sizeof(void*) == 8 ? 968u : 952u);  // the structure up to guidItem
        EXPECT_EQ(f.hWnd, kWindow);
        EXPECT_EQ(f.uID, 100u);
        EXPECT_EQ(f.uFlags, 23u);
        EXPECT_EQ(f.uCallbackMessage, 32868u);
        EXPECT_EQ(f.hIcon, kIcon);
        EXPECT_EQ(f.uVersion, 3u);
        EXPECT_STREQ(f.szTip, L"tip");
        EXPECT_STREQ(f.szInfo, L"text");
        EXPECT_STREQ(f.szInfoTitle, L"title");
    }
    // Only "modify" reads the balloon kind.
    const unsigned flags[] = {0, 0, 0, 4, 0};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(Shell().tray[i].fields.dwInfoFlags, flags[i]) << "call " << i;
}

TEST(TrayNotify, BalloonKindWords) {
    struct KindRow {
        const char* kind;
        unsigned flags;
    } rows[] = {{"info", 1},  {"warning", 2}, {"error", 3}, {"custom", 4}, {"Error", 0},
                {"errors", 0}, {"", 0},       {nullptr, 0}, {"none", 0}};
    for (const KindRow& row : rows) {
        FreshRequest();
        TrayState = 1;
        TrayRequest.Command = "modify";
        TrayRequest.BalloonKind = row.kind;
        ASSERT_EQ(TrayNotify(), 1);
        ASSERT_EQ(Shell().tray.size(), 1u);
        EXPECT_EQ(Shell().tray[0].fields.dwInfoFlags, row.flags) << (row.kind ? row.kind : "(null)");
    }
}

TEST(ProductText, FormatsAndCutsToCapacity) {
    wchar_t tip[64];
    ProductText(tip, 64, L" \u25CF IDLE");
    EXPECT_STREQ(tip, L"DynDNS Velloq Client \u25CF IDLE");
    wchar_t small[8];
    ProductText(small, 8, L" \u25CF IDLE");
    EXPECT_STREQ(small, L"DynDNS ");
}

TEST(TrayCallbackEvent, BalloonReportsClearThePendingBalloon) {
    struct Row {
        long event;
        int stateBefore;
        int stateAfter;
        TrayAction action;
    } rows[] = {
        {1027, 2, 1, TrayAction::None},           // balloon hidden
        {1028, 2, 1, TrayAction::None},           // balloon timed out
        {1029, 2, 1, TrayAction::None},           // balloon clicked
        {515, 2, 2, TrayAction::ToggleWindow},    // double click
        {517, 1, 1, TrayAction::ShowMenu},        // right button released
        {514, 2, 2, TrayAction::None},            // left button released
        {1026, 2, 2, TrayAction::None},           // balloon shown
        {0x0200, 1, 1, TrayAction::None},         // mouse move
    };
    for (const Row& row : rows) {
        TrayState = row.stateBefore;
        EXPECT_EQ(TrayCallbackEvent(row.event), row.action) << row.event;
        EXPECT_EQ(TrayState, row.stateAfter) << row.event;
    }
}
