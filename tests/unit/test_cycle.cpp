// The sync cycle: Start, Stop, Manual, the countdown, the timers and the
// handshake with the workers, against a scripted sync engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/cycle.h"
#include "app/resource_ids.h"
#include "app/ui_handles.h"
#include "fake_sync.h"
#include "net/transport.h"
#include "recording_window.h"
#include "settings/settings.h"
#include "shell/tray.h"
#include "shell_recorder.h"
#include "sync/sync.h"

namespace {

const unsigned SB_SETTEXT = 0x040B;
const unsigned SETICON = 0x0080;

std::wstring LastText(WindowHandle control) {
    std::wstring text = L"(never set)";
    for (const RecordedMessage& m : RecordedMessages())
        if (m.window == control && m.message == RECORDED_SETTEXT) text = m.text;
    return text;
}

std::vector<std::wstring> StatusTexts() {
    std::vector<std::wstring> out;
    for (const RecordedMessage& m : RecordedMessages())
        if (m.window == StatusBar && m.message == SB_SETTEXT)
            out.push_back(reinterpret_cast<const wchar_t*>(m.lParam));
    return out;
}

std::vector<std::intptr_t> WindowIcons() {
    std::vector<std::intptr_t> out;
    for (const RecordedMessage& m : RecordedMessages())
        if (m.window == MainWindow && m.message == SETICON && m.wParam == 1) out.push_back(m.lParam);
    return out;
}

bool Enabled(WindowHandle control) {
    bool on = false;
    bool seen = false;
    for (const EnableCall& c : Shell().enables)
        if (c.control == control) on = c.on, seen = true;
    EXPECT_TRUE(seen) << "control never written";
    return on;
}

bool Saw(const std::string& event) {
    const std::vector<std::string>& s = Shell().sequence;
    return std::find(s.begin(), s.end(), event) != s.end();
}

void Ticks(int n) {
    for (int i = 0; i < n; ++i) CycleTimer(IDT_COUNTDOWN);
}

class Cycle : public ::testing::Test {
protected:
    void SetUp() override { ResetWindowWorld(); }
};

}  // namespace

TEST_F(Cycle, ResetCountdownShowsTheStoredPause) {
    std::wcscpy(SettingsRecord.CLOOP, L"0045");
    ResetCountdown();
    EXPECT_EQ(CountdownSeconds, 60);
    EXPECT_EQ(CountdownMinutes, 45);
    EXPECT_EQ(LastText(SecondsStatic), L"0");
    EXPECT_EQ(LastText(MinutesStatic), L"0045") << "the text as stored, not its value";
}

TEST_F(Cycle, StartRunsTheStepsAndBeginsAnAttempt) {
    StartCommand();
    EXPECT_TRUE(Enabled(StopButton));
    EXPECT_FALSE(Enabled(StartButton));
    EXPECT_TRUE(Saw("settimer 260 1000"));
    EXPECT_EQ(LastText(MinutesStatic), L"30");
    ASSERT_EQ(Shell().tray.size(), 1u);
    EXPECT_EQ(Shell().tray[0].message, TRAY_NIM_MODIFY);
    EXPECT_EQ(Shell().tray[0].fields.hIcon, RunningIcon);
    EXPECT_STREQ(Shell().tray[0].fields.szTip, L"DynDNS Velloq Client \u25CF RUNNING");
    EXPECT_EQ(Shell().tray[0].fields.dwInfoFlags, 4u);
    EXPECT_EQ(StatusTexts(), std::vector<std::wstring>{L"Client running!"});
    EXPECT_EQ(WindowIcons(), std::vector<std::intptr_t>{reinterpret_cast<std::intptr_t>(RunningIcon)});
    EXPECT_EQ(FakeSync().beginCalls, 1);
    EXPECT_FALSE(SyncIdle);
    EXPECT_NE(WorkerThread, nullptr);
}

TEST_F(Cycle, StartAndStopBalloonsFollowTheSwitch) {
    struct Row {
        const wchar_t* debug;
        bool command;  // true: Start, false: Stop
        const wchar_t* text;
        std::vector<unsigned> beeps;
        int trayState;
    } rows[] = {
        {L"true", true, L"Client is running.", {0}, 2},
        {L"true", false, L"Client is stopped.", {0}, 2},
        {L"false", true, L"", {}, 1},
        {L"false", false, L"", {}, 1},
        {L"TRUE", true, L"", {}, 1},
    };
    for (const Row& row : rows) {
        ResetWindowWorld();
        std::wcscpy(SettingsRecord.DEBUG, row.debug);
        row.command ? StartCommand() : StopCommand();
        ASSERT_EQ(Shell().tray.size(), 1u);
        EXPECT_STREQ(Shell().tray[0].fields.szInfo, row.text);
        EXPECT_STREQ(Shell().tray[0].fields.szInfoTitle, row.beeps.empty() ? L"" : L"DynDNS Velloq Client");
        EXPECT_EQ(Shell().beeps, row.beeps);
        EXPECT_EQ(TrayState, row.trayState);
        if (!row.beeps.empty()) {
            // The beep follows the balloon.
            auto tray = std::find(Shell().sequence.begin(), Shell().sequence.end(), "tray 1");
            auto beep = std::find(Shell().sequence.begin(), Shell().sequence.end(), "beep 0");
            EXPECT_LT(tray, beep);
        }
    }
}

TEST_F(Cycle, StopHaltsTheCountdownAndGuardsTheControls) {
    std::wcscpy(SettingsRecord.TOUT, L"1500");
    StartCommand();
    SyncDone();
    ResetShell();
    ResetRecordedMessages();
    WinsockStarted = true;
    StopCommand();
    EXPECT_TRUE(Saw("killtimer 260"));
    EXPECT_TRUE(Saw("settimer 263 1500"));
    EXPECT_FALSE(Enabled(StartButton));
    EXPECT_FALSE(Enabled(StopButton));
    EXPECT_FALSE(Enabled(ManualButton));
    EXPECT_EQ(Shell().tray[0].fields.hIcon, IdleIcon);
    EXPECT_STREQ(Shell().tray[0].fields.szTip, L"DynDNS Velloq Client \u25CF IDLE");
    EXPECT_EQ(StatusTexts(), std::vector<std::wstring>{L"Client ready!"});
    EXPECT_EQ(WindowIcons(), std::vector<std::intptr_t>{reinterpret_cast<std::intptr_t>(IdleIcon)});
    EXPECT_FALSE(WinsockStarted);
    EXPECT_TRUE(SyncIdle);

    // The guard returns the controls to "default" and ends itself.
    ResetShell();
    CycleTimer(IDT_GUARD);
    EXPECT_TRUE(Saw("killtimer 263"));
    EXPECT_TRUE(Enabled(StartButton));
    EXPECT_TRUE(Enabled(ManualButton));
    EXPECT_FALSE(Enabled(StopButton));
}

TEST_F(Cycle, StopDuringAnAttemptLeavesItToReport) {
    StartCommand();
    ASSERT_FALSE(SyncIdle);
    StopCommand();
    EXPECT_FALSE(SyncIdle) << "the attempt still reports its end";
    SyncDone();
    EXPECT_TRUE(SyncIdle);
}

TEST_F(Cycle, ManualIsOneAttemptOutsideTheCycle) {
    ManualCommand();
    EXPECT_EQ(FakeSync().beginCalls, 1);
    EXPECT_TRUE(Saw("settimer 263 3000"));
    EXPECT_FALSE(Saw("settimer 260 1000"));
    EXPECT_FALSE(Enabled(StartButton));
    EXPECT_TRUE(Shell().tray.empty());
    EXPECT_TRUE(StatusTexts().empty());
    EXPECT_TRUE(WindowIcons().empty());
}

TEST_F(Cycle, CountdownRunsMinuteBySecond) {
    FakeSync().mode = BeginMode::Refuse;
    StartCommand();  // refused at once: the countdown is armed and idle
    ASSERT_TRUE(SyncIdle) << "a refused attempt ends through its report";
    ResetRecordedMessages();

    Ticks(1);
    EXPECT_EQ(LastText(SecondsStatic), L"59");
    EXPECT_EQ(LastText(MinutesStatic), L"(never set)");
    Ticks(58);
    EXPECT_EQ(LastText(SecondsStatic), L"1");
    Ticks(1);
    EXPECT_EQ(LastText(SecondsStatic), L"0");
    EXPECT_EQ(LastText(MinutesStatic), L"29");
    EXPECT_EQ(FakeSync().beginCalls, 1);

    Ticks(1800 - 60 - 1);
    EXPECT_EQ(FakeSync().beginCalls, 1) << "one tick early";
    Ticks(1);
    EXPECT_EQ(FakeSync().beginCalls, 2) << "the attempt begins on tick 60 x CLOOP";
}

TEST_F(Cycle, CountdownStandsStillWhileAnAttemptIsOut) {
    StartCommand();
    ASSERT_FALSE(SyncIdle);
    ResetShell();
    ResetRecordedMessages();
    Ticks(5);
    EXPECT_FALSE(Enabled(StopButton));
    EXPECT_EQ(CountdownSeconds, 60);
    EXPECT_EQ(LastText(SecondsStatic), L"(never set)");

    SyncDone();
    Ticks(1);
    EXPECT_TRUE(Enabled(StopButton));
    EXPECT_EQ(LastText(SecondsStatic), L"59");
}

TEST_F(Cycle, CheckIpResultDecidesTheUpdate) {
    struct Row {
        const char* name;
        const wchar_t* current;
        bool checkLast;
        const wchar_t* lastIp;
        bool update;
        int saves;
        const wchar_t* status;
    } rows[] = {
        {"check error ends the attempt", L"CHECK ERROR", true, L"CHECK ERROR", false, 0, L"wait sync..."},
        {"same address with Check Last IP", L"192.0.2.7", true, L"192.0.2.7", false, 1, L"ALREADY SYNCED"},
        {"same address without Check Last IP", L"192.0.2.7", false, L"192.0.2.7", true, 0, L"wait sync..."},
        {"new address with Check Last IP", L"192.0.2.8", true, L"192.0.2.7", true, 0, L"wait sync..."},
        {"comparison is exact", L"192.0.2.7 ", true, L"192.0.2.7", true, 0, L"wait sync..."},
    };
    for (const Row& row : rows) {
        ResetWindowWorld();
        SettingsRecord.CheckLastIPFlag = row.checkLast;
        std::wcscpy(SettingsRecord.LASTIP, row.lastIp);
        StartCommand();
        WorkerHandle checker = WorkerThread;
        std::wcscpy(CurrentIP, row.current);
        SendWindowMessage(MainWindow, WM_CHECKIP_DONE, 0, 0);

        ASSERT_GE(FakeSync().closed.size(), 1u) << row.name;
        EXPECT_EQ(FakeSync().closed[0], checker) << row.name;
        EXPECT_EQ(FakeSync().saveCalls, row.saves) << row.name;
        EXPECT_EQ(LastText(QueryEdits[2]), row.status) << row.name;
        if (row.update) {
            ASSERT_EQ(FakeSync().started.size(), 2u) << row.name;
            EXPECT_EQ(FakeSync().started[1], &UpdateWorker) << row.name;
            EXPECT_FALSE(SyncIdle) << row.name;
            EXPECT_NE(WorkerThread, nullptr) << row.name;
        } else {
            EXPECT_EQ(FakeSync().started.size(), 1u) << row.name;
            EXPECT_TRUE(SyncIdle) << row.name;
            EXPECT_EQ(WorkerThread, nullptr) << row.name;
            EXPECT_EQ(CountdownSeconds, 60) << row.name;
        }
    }
}

TEST_F(Cycle, EachWorkerHandleIsClosedOnceByItsOwnReport) {
    StartCommand();
    WorkerHandle checker = WorkerThread;
    std::wcscpy(CurrentIP, L"192.0.2.7");
    SendWindowMessage(MainWindow, WM_CHECKIP_DONE, 0, 0);
    WorkerHandle updater = WorkerThread;
    ASSERT_NE(updater, checker);
    SendWindowMessage(MainWindow, WM_SYNC_DONE, 0, 0);
    EXPECT_EQ(FakeSync().closed, (std::vector<WorkerHandle>{checker, updater}));
    EXPECT_TRUE(SyncIdle);
    EXPECT_EQ(WorkerThread, nullptr);
    EXPECT_EQ(LastText(MinutesStatic), L"30");
}

TEST_F(Cycle, NoSecondWorkerWhileOneIsOut) {
    // Manual's guard has run out while its worker is still out.
    ManualCommand();
    CycleTimer(IDT_GUARD);
    ASSERT_NE(WorkerThread, nullptr);
    WorkerHandle out = WorkerThread;
    for (void (*command)() : {&StartCommand, &ManualCommand}) {
        command();
        EXPECT_EQ(FakeSync().beginCalls, 1);
        EXPECT_EQ(FakeSync().started.size(), 1u);
        EXPECT_EQ(WorkerThread, out);
    }
    // Its end report ends the attempt as usual; the next Start begins one.
    SendWindowMessage(MainWindow, WM_SYNC_DONE, 0, 0);
    EXPECT_TRUE(SyncIdle);
    StartCommand();
    EXPECT_EQ(FakeSync().beginCalls, 2);
}

TEST_F(Cycle, FailedThreadStartsEndTheAttempt) {
    // The check-IP worker cannot start: no worker, no report.
    FakeSync().threadsFail = true;
    StartCommand();
    EXPECT_TRUE(SyncIdle);
    EXPECT_EQ(WorkerThread, nullptr);
    EXPECT_EQ(LastText(QueryEdits[1]), L"CHECK ERROR");
    Ticks(1);
    EXPECT_EQ(LastText(SecondsStatic), L"59") << "the countdown goes on";

    // The update worker cannot start after a good check.
    ResetWindowWorld();
    StartCommand();
    FakeSync().threadsFail = true;
    std::wcscpy(CurrentIP, L"192.0.2.7");
    SendWindowMessage(MainWindow, WM_CHECKIP_DONE, 0, 0);
    EXPECT_TRUE(SyncIdle);
    EXPECT_EQ(WorkerThread, nullptr);
    EXPECT_EQ(LastText(QueryEdits[2]), L"SYNC ERROR");
    EXPECT_EQ(FakeSync().saveCalls, 0);
}

TEST_F(Cycle, TimersOtherThanTheCyclesDoNothing) {
    CycleTimer(IDT_MINIMIZE);
    CycleTimer(999);
    EXPECT_TRUE(Shell().sequence.empty());
    EXPECT_TRUE(RecordedMessages().empty());
}

TEST_F(Cycle, AutostartPressesStartOnce) {
    CycleTimer(IDT_AUTOSTART);
    EXPECT_EQ(Shell().sequence.front(), "killtimer 261");
    EXPECT_EQ(FakeSync().beginCalls, 1);
    EXPECT_TRUE(Saw("settimer 260 1000"));
}
