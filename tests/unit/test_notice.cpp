// Connection failure notices: balloon and beep only with balloons on, and
// a socket failure stops the cycle either way.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/resource_ids.h"
#include "app/ui_handles.h"
#include "fake_sync.h"
#include "net/notice.h"
#include "recording_window.h"
#include "settings/settings.h"
#include "shell/tray.h"
#include "shell_recorder.h"

namespace {

int StopCommandsSent() {
    int n = 0;
    for (const RecordedMessage& m : RecordedMessages())
        if (m.window == MainWindow && m.message == 0x0111 && m.wParam == IDC_STOP) ++n;
    return n;
}

}  // namespace

TEST(ShowNetNotice, BalloonSwitchAndCode) {
    struct Row {
        const char* name;
        const wchar_t* debug;
        int code;
        bool balloon;
        const wchar_t* text;
        bool stops;
    } rows[] = {
        {"connect failure, balloons on", L"true", NOTICE_CONNECT_FAILED, true, L"Error!\nCould not connect to IP.", false},
        {"socket failure, balloons on", L"true", NOTICE_SOCKET_FAILED, true, L"Error!\nCould not create socket.", true},
        {"connect failure, balloons off", L"false", NOTICE_CONNECT_FAILED, false, nullptr, false},
        {"socket failure, balloons off", L"false", NOTICE_SOCKET_FAILED, false, nullptr, true},
        {"capital True counts as off", L"True", NOTICE_CONNECT_FAILED, false, nullptr, false},
    };
    for (const Row& row : rows) {
        ResetWindowWorld();
        std::wcscpy(SettingsRecord.DEBUG, row.debug);
        TrayRequest.Icon = RunningIcon;
        ShowNetNotice(MainWindow, WM_NET_NOTICE, 0, row.code);

        EXPECT_EQ(StopCommandsSent(), row.stops ? 1 : 0) << row.name;
        if (!row.balloon) {
            EXPECT_TRUE(Shell().beeps.empty()) << row.name;
            // The Stop command of a socket failure makes its own tray call;
            // the notice itself makes none.
            for (const TrayCall& c : Shell().tray) EXPECT_EQ(c.fields.dwInfoFlags, 4u) << row.name;
            continue;
        }
        ASSERT_GE(Shell().tray.size(), 1u) << row.name;
        const TrayCall& notice = Shell().tray[0];
        EXPECT_EQ(notice.message, TRAY_NIM_MODIFY) << row.name;
        EXPECT_EQ(notice.fields.dwInfoFlags, 3u) << row.name;
        EXPECT_EQ(notice.fields.hIcon, IdleIcon) << row.name;
        EXPECT_STREQ(notice.fields.szTip, L"DynDNS Velloq Client \u25CF ERROR") << row.name;
        EXPECT_STREQ(notice.fields.szInfoTitle, L"DynDNS Velloq Client") << row.name;
        EXPECT_STREQ(notice.fields.szInfo, row.text) << row.name;
        // The error beep comes before the balloon.
        ASSERT_GE(Shell().sequence.size(), 2u);
        EXPECT_EQ(Shell().sequence[0], "beep 16") << row.name;
        EXPECT_EQ(Shell().sequence[1], "tray 1") << row.name;
    }
}

TEST(ShowNetNotice, SocketFailureStopsAfterTheBalloon) {
    ResetWindowWorld();
    std::wcscpy(SettingsRecord.DEBUG, L"true");
    ShowNetNotice(MainWindow, WM_NET_NOTICE, 0, NOTICE_SOCKET_FAILED);
    // Notice balloon first, then the Stop command's own balloon replaces it.
    ASSERT_EQ(Shell().tray.size(), 2u);
    EXPECT_STREQ(Shell().tray[0].fields.szInfo, L"Error!\nCould not create socket.");
    EXPECT_STREQ(Shell().tray[1].fields.szInfo, L"Client is stopped.");
    EXPECT_STREQ(Shell().tray[1].fields.szTip, L"DynDNS Velloq Client \u25CF IDLE");
}

TEST(ShowNetNotice, UnknownCodeShowsNoTextAndDoesNotStop) {
    ResetWindowWorld();
    std::wcscpy(SettingsRecord.DEBUG, L"true");
    std::wcscpy(TrayRequest.BalloonText, L"left over");
    ShowNetNotice(MainWindow, WM_NET_NOTICE, 0, 999);
    ASSERT_EQ(Shell().tray.size(), 1u);
    EXPECT_STREQ(Shell().tray[0].fields.szInfo, L"");
    EXPECT_EQ(StopCommandsSent(), 0);
}
