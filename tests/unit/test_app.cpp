// Tray icon, control states, the sync cycle and connection notices, over the fakes and a shell recorded here.
#include <gtest/gtest.h>

#include <cwchar>
#include <sstream>
#include <string>
#include <vector>

#include "app/control_state.h"
#include "app/cycle.h"
#include "app/notice.h"
#include "app/resource_ids.h"
#include "app/ui_handles.h"
#include "settings/settings.h"
#include "shell/about_text.h"
#include "shell/tray.h"
#include "support/fakes.h"
#include "sync/sync.h"
#include "util/product.h"

static std::vector<std::pair<unsigned, NotifyIconFields>> trayCalls;
static std::vector<unsigned> beeps;
int ShellNotifyIcon(unsigned message, const NotifyIconFields& data) {
    trayCalls.push_back({message, data});
    return 1;
}
void PlayBeep(unsigned type) { beeps.push_back(type); }

namespace {

const wchar_t kNow[] = L"1765000000";
using Texts = std::vector<std::wstring>;
using Procedures = std::vector<WorkerProcedure>;
// The enable calls in the order made, '1' on: a state writes all seventeen controls
// (Manual, Start, Stop, the eight setting edits, Edit/Save/Reload of each page).
const char kDefault[] = "11000000000101101", kAllOff[] = "00000000000000000", kStart[] = "00100000000000000";
std::string Enables() {
    std::string on;
    for (const RecordedMessage& m : RecordedMessages())
        if (m.message == RECORDED_ENABLE) on += m.wParam ? '1' : '0';
    return on;
}

Texts TextsOf(WindowHandle control) {
    Texts texts;
    for (const RecordedMessage& m : RecordedMessages())
        if (m.window == control && m.message == RECORDED_SETTEXT) texts.push_back(m.text);
    return texts;
}

bool Sent(unsigned message, std::uintptr_t wParam, std::intptr_t lParam = 0, WindowHandle window = MainWindow) {
    for (const RecordedMessage& m : RecordedMessages())
        if (m.window == window && m.message == message && m.wParam == wParam && m.lParam == lParam) return true;
    return false;
}

// The tray calls and beeps: "<NIM> <balloon flags> <icon> <balloon text>;", "beep <type>;".
std::wstring Shell() {
    std::wostringstream o;
    for (const auto& [message, f] : trayCalls) {
        const wchar_t* icon = f.hIcon == IdleIcon ? L" idle " : f.hIcon == RunningIcon ? L" running " : L" other ";
        o << message << L' ' << f.dwInfoFlags << icon << f.szInfo << L';';
    }
    for (unsigned type : beeps) o << L"beep " << type << L';';
    return o.str();
}

struct AppTest : ::testing::Test {
    void SetUp() override { Reset(); }
    static void ClearLog() {
        ResetRecordedMessages();
        trayCalls.clear();
        beeps.clear();
        // The window handles the end report while it is sent, as SendMessage does.
        SetMessageHandler([](const RecordedMessage& m) -> std::intptr_t {
            if (m.message == WM_SYNC_DONE) SyncDone();
            return 0;
        });
    }
    static void Reset() {  // the fakes, the cycle's globals, and distinct handles for every window
        CloseWorkerHandle(WorkerThread);
        WorkerThread = nullptr;
        ClearLog();
        MemoryRegistry() = {};
        FakeTime() = {};
        SetUnixTime(std::stoll(kNow));
        SettingsRecord = SettingsData();
        std::wcscpy(SettingsRecord.CLOOP, L"30");
        std::wcscpy(SettingsRecord.TOUT, L"3000");
        TrayRequest = TrayRequestData{};
        TrayState = 1;
        SyncIdle = true;
        std::uintptr_t n = 0;
        for (WindowHandle* h : {&MainWindow, &MinutesStatic, &SecondsStatic, &QueryEdits[0], &QueryEdits[1]})
            *h = FakeWindow(++n);
        QueryEdits[2] = FakeWindow(++n);
        IdleIcon = reinterpret_cast<IconHandle>(++n), RunningIcon = reinterpret_cast<IconHandle>(++n);
    }
};

// The state machine, and the callback events before the command (a balloon's close report ends state 2).
TEST_F(AppTest, TrayCommandWordsByState) {
    struct Row { const char* behaviour; const char* command; int before; const wchar_t* calls; int after;
                 long event = 0; TrayAction action = TrayAction::None; const char* kind = "info"; } rows[] = {
        {"init adds and sets the version", "init", 0, L"0 0 running text;4 0 running text;", 1},
        {"init with an icon shown", "init", 1, L"", 1},            {"modify before init", "modify", 0, L"", 0},
        {"modify, info balloon", "modify", 1, L"1 1 running text;", 2},
        {"modify, a balloon pending, warning", "modify", 2, L"1 2 running text;", 2, 0, TrayAction::None, "warning"},
        {"seticon with an icon", "seticon", 1, L"1 0 running text;", 1},
        {"seticon with a balloon pending", "seticon", 2, L"", 2},
        {"seticon after the balloon hid", "seticon", 2, L"1 0 running text;", 1, 1027},
        {"seticon after the balloon was clicked", "seticon", 2, L"1 0 running text;", 1, 1029},
        {"double click toggles the window", "seticon", 2, L"", 2, 515, TrayAction::ToggleWindow},
        {"right button shows the menu", "seticon", 1, L"1 0 running text;", 1, 517, TrayAction::ShowMenu},
        {"remove with a balloon pending", "remove", 2, L"2 0 running text;", 0},
        {"remove without an icon", "remove", 0, L"", 0},           {"capitalised word", "Init", 0, L"", 0},
    };
    for (const Row& r : rows) {
        trayCalls.clear();
        TrayRequest = {MainWindow, RunningIcon, r.command, L"tip", r.kind, L"title", L"text"};
        TrayState = r.before;
        EXPECT_EQ(TrayCallbackEvent(r.event), r.action) << r.behaviour;
        EXPECT_EQ(TrayNotify(), r.calls[0] ? 1 : 0) << r.behaviour;
        EXPECT_EQ(Shell(), r.calls) << r.behaviour;
        EXPECT_EQ(TrayState, r.after) << r.behaviour;
        for (const auto& [message, f] : trayCalls) {
            std::wostringstream fixed;  // NOTIFYICONDATAW up to guidItem, NIF_MESSAGE|ICON|TIP|INFO, WM_APP + 100
            fixed << f.cbSize << L' ' << f.uID << L' ' << f.uFlags << L' ' << f.uCallbackMessage << L' ' << f.uVersion
                  << (f.hWnd == MainWindow ? L" main " : L" other ") << f.szTip << L'|' << f.szInfoTitle;
            std::wstring size = sizeof(void*) == 8 ? L"968" : L"952";
            EXPECT_EQ(fixed.str(), size + L" 100 23 32868 3 main tip|title") << r.behaviour;
        }
    }
}

// One run through the cycle: the commands around an attempt, the timers, then the countdown.
TEST_F(AppTest, CycleFromStartToTheNextAttempt) {
    for (const wchar_t* word : std::vector<const wchar_t*>{L"Default", L"start ", L"", nullptr, L"edit"})
        SetControlState(word);
    EXPECT_EQ(Enables(), "00011111111010010") << "only the four state words change the controls";
    ClearLog();
    std::wcscpy(SettingsRecord.DEBUG, L"true");
    StartCommand();
    EXPECT_EQ(Enables(), kStart);
    EXPECT_TRUE(Sent(RECORDED_SETTIMER, IDT_COUNTDOWN, 1000));
    EXPECT_EQ(Shell(), L"1 4 running Client is running.;beep 0;");
    EXPECT_EQ(FakeTime().started, Procedures{&CheckIpWorker});
    ASSERT_FALSE(SyncIdle);
    ClearLog();
    CycleTimer(IDT_COUNTDOWN);
    EXPECT_EQ(RecordedMessages().size(), 1u) << "a tick while the attempt is out only turns Stop off";
    std::wcscpy(SettingsRecord.DEBUG, L"false");
    StopCommand();
    EXPECT_TRUE(Sent(RECORDED_KILLTIMER, IDT_COUNTDOWN) && Sent(RECORDED_SETTIMER, IDT_GUARD, 3000));
    EXPECT_EQ(Enables(), "0" + std::string(kAllOff));
    EXPECT_EQ(Shell(), L"1 4 idle ;") << "balloons off: no balloon, no beep";
    EXPECT_EQ(TrayState, 1) << "no balloon, so no close report to wait for";
    EXPECT_FALSE(SyncIdle) << "the attempt out still reports its end";
    ManualCommand();
    StartCommand();
    EXPECT_EQ(FakeTime().started, Procedures{&CheckIpWorker}) << "a second attempt while one is out";
    SyncDone();
    ClearLog();
    CycleTimer(IDT_GUARD);
    CycleTimer(IDT_AUTOSTART);
    EXPECT_EQ(Enables(), kDefault);
    EXPECT_TRUE(Sent(RECORDED_KILLTIMER, IDT_GUARD) && Sent(RECORDED_KILLTIMER, IDT_AUTOSTART) &&
                Sent(MESSAGE_COMMAND, IDC_START));
    FakeTime().failStart = true;
    ManualCommand();
    EXPECT_EQ(TextsOf(QueryEdits[1]), (Texts{L"wait sync...", L"CHECK ERROR"})) << "no check-IP worker";

    std::wcscpy(SettingsRecord.TIMESTAMP, kNow);  // from here every attempt is refused at once
    ClearLog();
    auto tick = [](int n) {
        while (n-- > 0) CycleTimer(IDT_COUNTDOWN);
    };
    tick(1);
    EXPECT_EQ(TextsOf(SecondsStatic), Texts{L"59"});
    EXPECT_EQ(Enables(), "1") << "Stop enabled while idle";
    tick(59);
    EXPECT_EQ(TextsOf(SecondsStatic).size(), 60u);
    EXPECT_EQ(TextsOf(MinutesStatic), Texts{L"29"}) << "after the 60th tick";
    tick(30 * 60 - 61);
    EXPECT_TRUE(TextsOf(QueryEdits[0]).empty()) << "attempt one tick early";
    tick(1);
    EXPECT_EQ(TextsOf(QueryEdits[0]), Texts{L"2026.12.06 09:05:07"}) << "no attempt when the countdown reached zero";
    EXPECT_EQ(TextsOf(QueryEdits[2]), (Texts{L"wait sync...", L"STOP SPAM"})) << "the gate let it through";
    EXPECT_TRUE(Sent(WM_SYNC_DONE, 0) && SyncIdle && CountdownMinutes == 30) << "a refused attempt ends at once";
}

TEST_F(AppTest, CheckIpDoneDecidesTheUpdate) {
    struct Row { const char* behaviour; const wchar_t* current; bool checkLast; const wchar_t* lastIp;
                 bool failStart, update; const wchar_t* status; } rows[] = {  // status empty: not shown yet
        {"check error ends the attempt", L"CHECK ERROR", true, L"CHECK ERROR", false, false, L""},
        {"same address, Check Last IP", L"192.0.2.7", true, L"192.0.2.7", false, false, L"ALREADY SYNCED"},
        {"same address, no Check Last IP", L"192.0.2.7", false, L"192.0.2.7", false, true, L""},
        {"new address, Check Last IP", L"192.0.2.8", true, L"192.0.2.7", false, true, L""},
        {"update worker cannot start", L"192.0.2.8", false, L"NULL", true, true, L"SYNC ERROR"},
    };
    for (const Row& r : rows) {
        Reset();
        SettingsRecord.CheckLastIPFlag = r.checkLast;
        std::wcscpy(SettingsRecord.LASTIP, r.lastIp);
        StartCommand();
        ClearLog();
        FakeTime().failStart = r.failStart;
        std::wcscpy(CurrentIP, r.current);
        CheckIpDone();
        Procedures asked = {&CheckIpWorker};
        if (r.update) asked.push_back(&UpdateWorker);
        EXPECT_EQ(FakeTime().started, asked) << r.behaviour;
        EXPECT_EQ(TextsOf(QueryEdits[2]), r.status[0] ? Texts{r.status} : Texts{}) << r.behaviour;
        bool ends = !r.update || r.failStart;
        EXPECT_EQ(SyncIdle, ends) << r.behaviour;
        EXPECT_EQ(WorkerThread == nullptr, ends) << r.behaviour;
        EXPECT_STREQ(SettingsRecord.TIMESTAMP, std::wcscmp(r.status, L"ALREADY SYNCED") ? L"" : kNow) << r.behaviour;
    }
}

TEST_F(AppTest, NetNoticeBalloonAndStop) {
    const WindowHandle window = FakeWindow(0x77);
    struct Row { const char* behaviour; const wchar_t* debug; int code; const wchar_t* balloon; bool stops; } rows[] = {
        {"connect failure", L"true", NOTICE_CONNECT_FAILED, L"Error!\nCould not connect to IP.", false},
        {"socket failure", L"true", NOTICE_SOCKET_FAILED, L"Error!\nCould not create socket.", true},
        {"socket failure, balloons off", L"false", NOTICE_SOCKET_FAILED, nullptr, true},
        {"certificate refused", L"true", NOTICE_CERT_REFUSED, L"Error!\nServer certificate not trusted.", false},
        {"unknown code: empty balloon text", L"true", 999, L"", false},
    };
    for (const Row& r : rows) {
        Reset();
        std::wcscpy(SettingsRecord.DEBUG, r.debug);
        ShowNetNotice(window, r.code);
        EXPECT_EQ(Shell(), r.balloon ? L"1 3 idle " + std::wstring(r.balloon) + L";beep 16;" : L"") << r.behaviour;
        EXPECT_EQ(Sent(MESSAGE_COMMAND, IDC_STOP, 0, window), r.stops) << r.behaviour << ": Stop pressed";
    }
}

}  // namespace

// The About window's texts: their layout, and cuts that never overrun.
TEST(AboutTexts, LayoutAndCuts) {
    std::wstring product = std::wstring(ProductName) + L" v" + ProductVersion + L"\n" + AuthorLine + L"\n\n";
    struct Row {
        const char* behaviour;
        std::wstring text, expected;
    } rows[] = {
        {"information in order", AboutInformation(L"SSL", L"HOST", L"user", L"Windows 10.0 build 19045", L"12"),
         product + L"SSL\n\nRun on:\tHOST (user)\nOS:\t\tWindows 10.0 build 19045\nMem Used:\t12 byte\n\n"},
        {"information cut", AboutInformation(L"", L"", std::wstring(600, L'u').c_str(), L"", L"").substr(500),
         std::wstring(12, L'u')},
        {"OpenSSL block", OpenSslBlock("OpenSSL A", "OpenSSL B"),
         L"Open SSL info:\nBuild with:\tOpenSSL A\nCurrent use:\tOpenSSL B"},
        {"OpenSSL block cut", std::to_wstring(OpenSslBlock("A", std::string(400, 'v').c_str()).size()), L"256"},
        {"OS line", OsVersionText(6, 1, 7601), L"Windows 6.1 build 7601"},
        {"donation", DonationLine(), std::wstring(L"Donate (WebMoney): ") + DonationAccount},
        {"mail link", AboutLinkAt(0).markup, std::wstring(L"<a href=\"mailto:") + ContactEmail + L"\">FEEDBACK</a>"},
        {"mail tip", AboutLinkAt(0).tooltip, std::wstring(L"Feedback:\n") + ContactEmail},
        {"account link tip", AboutLinkAt(2).tooltip, std::wstring(L"DynDNS Account:\n") + AccountPageUrl},
    };
    for (const Row& r : rows) EXPECT_EQ(r.text, r.expected) << r.behaviour;
}
