// End-to-end tests of the main window, the tray and the cycle under Wine,
// against the stand-ins of tests/e2e/standins.list.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "app/resource_ids.h"
#include "client_win.h"
#include "settings/registry.h"
#include "util/window_link.h"

namespace {

const wchar_t kCheckIp[] = L"127.0.0.20";        // check-IP page, address below
const wchar_t kUpdate[] = L"127.0.0.21";         // update service, port 80, answers good
const wchar_t kUpdateTls[] = L"127.0.0.22";      // update service on 443 (TLS) only
const wchar_t kSilentCheckIp[] = L"127.0.0.23";  // reads, then says nothing
const wchar_t kNobody[] = L"127.0.0.24";         // nothing listens: refused at once
const wchar_t kAddress[] = L"198.51.100.23";
const wchar_t kAuth[] = L"dmVsbG9xOnNlY3JldA==";  // velloq:secret

using namespace e2e;
using Clock = std::chrono::steady_clock;

// A working cycle against the stand-ins, overridden per test.
void Seed(const Values& overrides = {}) {
    e2e::Seed({{L"DomainCheckIP", kCheckIp}, {L"DomainDynDNS", kUpdate}, {L"TOUT", L"1000"}, {L"CLOOP", L"30"},
               {L"DEBUG", L"false"}, {L"AUTH", kAuth}, {L"DOMAIN", L"e2e.example"}, {L"LASTIP", L"NULL"},
               {L"TIMESTAMP", L"NULL"}, {L"CheckLastIP", L"false"}, {L"CheckUseSSL", L"false"}},
              overrides);
}

int RecordedRequests(const char* addrPort) {
    return static_cast<int>(RequestLines(addrPort).size());
}

// The enabled state of the seventeen controls the state words set.
struct EnabledSet {
    bool manual, start, stop, edits, edit, save, reload;
};

void ExpectEnabled(const Client& c, const EnabledSet& e, const char* when) {
    EXPECT_EQ(IsWindowEnabled(c.Button(IDC_MANUAL)) != 0, e.manual) << when << ": Manual";
    EXPECT_EQ(IsWindowEnabled(c.Button(IDC_START)) != 0, e.start) << when << ": Start";
    EXPECT_EQ(IsWindowEnabled(c.Button(IDC_STOP)) != 0, e.stop) << when << ": Stop";
    for (int i = 0; i < 8; ++i) EXPECT_EQ(IsWindowEnabled(c.Setting(i)) != 0, e.edits) << when << ": edit " << i;
    for (int page = 1; page <= 2; ++page) {
        EXPECT_EQ(IsWindowEnabled(c.PageButton(page, IDC_EDIT)) != 0, e.edit) << when << ": Edit " << page;
        EXPECT_EQ(IsWindowEnabled(c.PageButton(page, IDC_SAVE)) != 0, e.save) << when << ": Save " << page;
        EXPECT_EQ(IsWindowEnabled(c.PageButton(page, IDC_RELOAD)) != 0, e.reload) << when << ": Reload " << page;
    }
}

const EnabledSet kDefault = {true, true, false, false, true, false, true};
const EnabledSet kAllOff = {false, false, false, false, false, false, false};
const EnabledSet kStarted = {false, false, true, false, false, false, false};
const EnabledSet kEditing = {false, false, false, true, false, true, false};

bool StartEnabled(const Client& c) {
    return IsWindowEnabled(c.Button(IDC_START)) != 0;
}

class E2E : public ::testing::Test {
protected:
    // A client left running in this prefix would make every client of
    // these tests a refused second copy.
    void SetUp() override {
        HWND other = FindWindowW(kProduct, kProduct);
        ASSERT_EQ(other, nullptr) << "another client (process " << ProcessOf(other)
                                  << ") is running in this Wine prefix";
    }
    void TearDown() override { RegRemoveString(RunKeyPath, RunValueName); }
};

}  // namespace

TEST_F(E2E, StartupShowsTheStoredSettingsAndTheDefaultSet) {
    Seed({{L"DOMAIN", L"a.example\r\nb.example"}, {L"TOUT", L"2500"}});
    Client c;
    ASSERT_TRUE(c.Start());
    EXPECT_EQ(Text(c.main), kProduct);
    EXPECT_EQ(Text(c.Query(0)), L"wait query...");
    EXPECT_EQ(Text(c.Query(1)), L"wait sync...");
    EXPECT_EQ(Text(c.Query(2)), L"wait sync...");
    EXPECT_EQ(Text(c.Countdown(true)), L"30");
    EXPECT_EQ(Text(c.Countdown(false)), L"0");
    const wchar_t* settings[8] = {kCheckIp, kUpdate, L"30", L"2500", L"false", L"********", L"********",
                                  L"a.example\r\nb.example"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(Text(c.Setting(i)), settings[i]) << "field " << i;
    EXPECT_EQ(Text(c.Button(IDC_MANUAL)), L"Manual");
    EXPECT_EQ(Text(c.Button(IDC_START)), L"Start");
    EXPECT_EQ(Text(c.Button(IDC_STOP)), L"Stop");
    ExpectEnabled(c, kDefault, "start-up");
    // Only the Sync page shows; the query edits are read-only.
    EXPECT_TRUE(IsWindowVisible(c.pages[0]));
    EXPECT_FALSE(IsWindowVisible(c.pages[1]));
    EXPECT_FALSE(IsWindowVisible(c.pages[2]));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(GetWindowLongW(c.Query(i), GWL_STYLE) & ES_READONLY) << i;
    // Edit opens the fields and Save, nothing else.
    c.Click(c.PageButton(1, IDC_EDIT));
    ExpectEnabled(c, kEditing, "after Edit");
    EXPECT_EQ(c.Close(), 0u);
}

TEST_F(E2E, FirstStartOnAnEmptyRegistryStoresTheDefaults) {
    // An empty key gives defaults without looking any name up; only a
    // second start would resolve the default host names.
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, RegistryKeyPath);
    Client c;
    ASSERT_TRUE(c.Start());
    const wchar_t* defaults[][2] = {
        {L"DomainCheckIP", L"checkip.dyndns.org"}, {L"DomainDynDNS", L"members.dyndns.org"},
        {L"TOUT", L"3000"}, {L"CLOOP", L"60"}, {L"DEBUG", L"false"}, {L"AUTH", L"NULL"},
        {L"DOMAIN", L"NULL"}, {L"LASTIP", L"NULL"}, {L"TIMESTAMP", L"NULL"},
    };
    for (const auto& d : defaults) EXPECT_EQ(RegReadString(RegistryKeyPath, d[0]), d[1]) << Narrow(d[0]);
    EXPECT_EQ(Text(c.Countdown(true)), L"60");
    EXPECT_EQ(c.Close(), 0u);
    Seed();  // no later start may find the default host names
}

TEST_F(E2E, TabSelectionShowsExactlyItsPage) {
    Seed();
    Client c;
    ASSERT_TRUE(c.Start());
    HWND tab = FindWindowExW(c.main, nullptr, WC_TABCONTROLW, nullptr);
    ASSERT_NE(tab, nullptr);
    // Arrow keys move the selection and notify the parent like a click.
    for (int target : {1, 2, 1, 0}) {
        int current = static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0));
        WPARAM key = target > current ? VK_RIGHT : VK_LEFT;
        PostMessageW(tab, WM_KEYDOWN, key, 0);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(c.pages[target]) != 0; }, 3000)) << "page " << target;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(IsWindowVisible(c.pages[i]) != 0, i == target) << target << "/" << i;
    }
    EXPECT_EQ(c.Close(), 0u);
}

TEST_F(E2E, StartSyncsThenCountsDownAndStopGuardsTheControls) {
    Seed({{L"DOMAIN", L"start.example"}});
    Client c;
    ASSERT_TRUE(c.Start());
    int before = RecordedRequests("127.0.0.21-80");
    c.Click(c.Button(IDC_START));
    ASSERT_TRUE(c.WaitText(c.Query(2), L"GOOD")) << Narrow(Text(c.Query(2)));
    EXPECT_EQ(Text(c.Query(1)), kAddress);
    EXPECT_EQ(RecordedRequests("127.0.0.21-80"), before + 1);
    EXPECT_EQ(RegReadString(RegistryKeyPath, L"LASTIP"), kAddress);
    long long stamp = std::stoll(L"0" + RegReadString(RegistryKeyPath, L"TIMESTAMP"));
    EXPECT_LE(std::llabs(stamp - static_cast<long long>(std::time(nullptr))), 60);
    // The date of the attempt: "yyyy.mm.dd hh:mm:ss".
    std::wstring date = Text(c.Query(0));
    EXPECT_EQ(date.size(), 19u) << Narrow(date);
    EXPECT_EQ(date[4], L'.');
    // The countdown shows the pause, then counts the seconds down.
    EXPECT_EQ(Text(c.Countdown(true)), L"30");
    ASSERT_TRUE(c.WaitText(c.Countdown(false), L"59", 3000)) << Narrow(Text(c.Countdown(false)));
    ASSERT_TRUE(c.WaitText(c.Countdown(false), L"58", 3000));
    ExpectEnabled(c, kStarted, "started, idle");

    auto stopped = Clock::now();
    c.Click(c.Button(IDC_STOP));
    ExpectEnabled(c, kAllOff, "right after Stop");
    EXPECT_EQ(Text(c.Countdown(true)), L"30");
    EXPECT_EQ(Text(c.Countdown(false)), L"0");
    // TOUT is 1000 ms: the guard gives the default set back after it.
    ASSERT_TRUE(WaitUntil([&] { return StartEnabled(c); }, 5000));
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - stopped).count(), 900);
    ExpectEnabled(c, kDefault, "after the guard");
    EXPECT_EQ(Text(c.Countdown(false)), L"0") << "the countdown stays stopped";
    EXPECT_EQ(c.Close(), 0u);
}

TEST_F(E2E, ManualSyncsOnceWithoutTheCountdown) {
    Seed({{L"DOMAIN", L"manual.example"}});
    Client c;
    ASSERT_TRUE(c.Start());
    c.Click(c.Button(IDC_MANUAL));
    ExpectEnabled(c, kAllOff, "right after Manual");
    ASSERT_TRUE(c.WaitText(c.Query(2), L"GOOD")) << Narrow(Text(c.Query(2)));
    ASSERT_TRUE(WaitUntil([&] { return StartEnabled(c); }, 5000));
    ExpectEnabled(c, kDefault, "after the guard");
    EXPECT_EQ(Text(c.Countdown(false)), L"0");
    EXPECT_EQ(Text(c.Countdown(true)), L"30");
    EXPECT_EQ(c.Close(), 0u);
}

TEST_F(E2E, MinAutoHidesIntoTheTrayAndStarts) {
    Seed({{L"DOMAIN", L"auto.example"}});
    Client c;
    ASSERT_TRUE(c.Start(L"-min -auto"));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(c.main); }, 5000)) << "window still shown";
    ASSERT_TRUE(c.WaitText(c.Query(2), L"GOOD")) << Narrow(Text(c.Query(2)));
    EXPECT_FALSE(StartEnabled(c));
    // The tray menu's toggle brings it back, and hides it again.
    c.Command(IDM_TRAY_TOGGLE);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(c.main) != 0; }, 3000));
    SendMessageW(c.main, WM_TRAY_CALLBACK, 100, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(c.main); }, 3000));
    EXPECT_EQ(c.Close(), 0u);
}

TEST_F(E2E, SwitchesMustBeSeparateAndExact) {
    Seed();
    Client c;
    ASSERT_TRUE(c.Start(L"\"-min -auto\" -MIN /auto"));
    // Both switch timers would have fired after one second.
    Sleep(1500);
    EXPECT_TRUE(IsWindowVisible(c.main));
    EXPECT_EQ(Text(c.Query(2)), L"wait sync...");
    EXPECT_TRUE(StartEnabled(c));
    EXPECT_EQ(c.Close(), 0u);
}

TEST_F(E2E, SecondInstanceIsRefusedWithItsBoxAndExitCodeZero) {
    Seed();
    Client first;
    ASSERT_TRUE(first.Start());
    Client second;
    ASSERT_TRUE(second.Launch());
    Box box = WaitForBox(second.process.dwProcessId, 20000);
    ASSERT_NE(box.window, nullptr) << "no error box";
    EXPECT_EQ(box.title, std::wstring(kProduct) + L" \u25CF ERROR");
    EXPECT_EQ(box.text, L"Error running " + ClientPath() + L":\nOne instance is already running!");
    PostMessageW(box.window, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(second.WaitExit(10000), 0u);
    // The first copy goes on.
    EXPECT_EQ(first.FindMain(), first.main);
    EXPECT_EQ(first.Close(), 0u);
}

TEST_F(E2E, OptionTogglesWriteTheirValues) {
    struct Row {
        int id;
        const wchar_t* key;
        const wchar_t* name;
        std::wstring on, off;
    } rows[] = {
        {IDM_RUN_WITH_OS, RunKeyPath, RunValueName, ClientPath() + L" -min -auto", L""},
        {IDM_CHECK_LAST_IP, RegistryKeyPath, L"CheckLastIP", L"true", L"false"},
        {IDM_SECURE_CONNECT, RegistryKeyPath, L"CheckUseSSL", L"true", L"false"},
    };
    // Each start reads the three options; each toggle flips what was read.
    struct StartWith {
        Values seed;
        std::wstring run;
        bool on;
    } starts[] = {
        {{}, L"", false},
        {{{L"CheckLastIP", L"true"}, {L"CheckUseSSL", L"true"}}, ClientPath() + L" -min -auto", true},
        // Not exactly "true", or another program path: off.
        {{{L"CheckLastIP", L"TRUE"}, {L"CheckUseSSL", L"1"}}, ClientPath() + L" -min", false},
    };
    for (const StartWith& start : starts) {
        Seed(start.seed);
        if (!start.run.empty()) RegWriteString(RunKeyPath, RunValueName, start.run.c_str());
        Client c;
        ASSERT_TRUE(c.Start());
        for (const Row& row : rows)
            for (bool on : {!start.on, start.on}) {
                c.Command(row.id);
                EXPECT_EQ(RegReadString(row.key, row.name), on ? row.on : row.off) << row.id << " started " << start.on;
            }
        // A command with a notification code in its high word does nothing.
        SendMessageW(c.main, WM_COMMAND, MAKEWPARAM(IDM_CHECK_LAST_IP, 1), 0);
        EXPECT_EQ(RegReadString(RegistryKeyPath, L"CheckLastIP"), start.on ? L"true" : L"false");
        EXPECT_EQ(c.Close(), 0u);
    }
}

TEST_F(E2E, AttemptOutcomesReachTheStatusEdit) {
    struct Row {
        const char* name;
        std::map<std::wstring, std::wstring> settings;
        int edit;  // 1: IP, 2: STATUS
        const wchar_t* expected;
        bool updates;  // a request reaches the update service
    } rows[] = {
        {"unchanged address with Check Last IP",
         {{L"CheckLastIP", L"true"}, {L"LASTIP", kAddress}, {L"DOMAIN", L"same.example"}}, 2, L"ALREADY SYNCED",
         false},
        {"too soon after the last sync", {{L"TIMESTAMP", UnixNow()}}, 2, L"STOP SPAM", false},
        {"check-IP host unreachable", {{L"DomainCheckIP", kNobody}}, 1, L"CHECK ERROR", false},
        {"update host unreachable", {{L"DomainDynDNS", kNobody}}, 2, L"SYNC ERROR", false},
        {"update host unreachable with balloons on", {{L"DomainDynDNS", kNobody}, {L"DEBUG", L"true"}}, 2,
         L"SYNC ERROR", false},
        {"unchanged address without Check Last IP", {{L"LASTIP", kAddress}}, 2, L"GOOD", true},
        {"secure connect goes to port 443", {{L"DomainDynDNS", kUpdateTls}, {L"CheckUseSSL", L"true"}}, 2, L"GOOD",
         false},
    };
    for (const Row& row : rows) {
        Seed(row.settings);
        Client c;
        ASSERT_TRUE(c.Start()) << row.name;
        int before = RecordedRequests("127.0.0.21-80");
        c.Click(c.Button(IDC_START));
        EXPECT_TRUE(c.WaitText(c.Query(row.edit), row.expected)) << row.name << ": " << Narrow(Text(c.Query(row.edit)));
        // The attempt has ended: the countdown runs again.
        EXPECT_TRUE(c.WaitText(c.Countdown(false), L"59", 3000)) << row.name;
        EXPECT_EQ(RecordedRequests("127.0.0.21-80") - before, row.updates ? 1 : 0) << row.name;
        if (row.expected == std::wstring(L"ALREADY SYNCED")) {
            long long stamp = std::stoll(L"0" + RegReadString(RegistryKeyPath, L"TIMESTAMP"));
            EXPECT_LE(std::llabs(stamp - static_cast<long long>(std::time(nullptr))), 60) << "sync time renewed";
        }
        if (row.expected == std::wstring(L"CHECK ERROR")) {
            EXPECT_EQ(Text(c.Query(2)), L"wait sync...") << "no update after a failed check";
        }
        EXPECT_EQ(c.Close(), 0u) << row.name;
    }
    EXPECT_GE(RecordedRequests("127.0.0.22-443"), 1);
}

TEST_F(E2E, SocketFailureNoticeStopsTheCycle) {
    Seed({{L"TIMESTAMP", UnixNow()}});  // attempts are refused: the cycle just counts
    Client c;
    ASSERT_TRUE(c.Start());
    c.Click(c.Button(IDC_START));
    ASSERT_TRUE(c.WaitText(c.Countdown(false), L"59", 3000));
    // What the transport sends when it cannot create a socket.
    SendMessageW(c.main, WM_NET_NOTICE, 0, NOTICE_SOCKET_FAILED);
    ExpectEnabled(c, kAllOff, "right after the notice");
    EXPECT_EQ(Text(c.Countdown(false)), L"0");
    ASSERT_TRUE(WaitUntil([&] { return StartEnabled(c); }, 5000));
    ExpectEnabled(c, kDefault, "after the guard");
    // A connect failure notice leaves the cycle running.
    c.Click(c.Button(IDC_START));
    ASSERT_TRUE(c.WaitText(c.Countdown(false), L"59", 3000));
    SendMessageW(c.main, WM_NET_NOTICE, 0, NOTICE_CONNECT_FAILED);
    ExpectEnabled(c, kStarted, "after a connect failure notice");
    EXPECT_TRUE(c.WaitText(c.Countdown(false), L"57", 4000));
    EXPECT_EQ(c.Close(), 0u);
}

TEST_F(E2E, ClosingWhileAWorkerIsOutEnds) {
    Seed({{L"DomainCheckIP", kSilentCheckIp}});
    Client c;
    ASSERT_TRUE(c.Start());
    int before = RecordedRequests("127.0.0.23-80");
    c.Click(c.Button(IDC_START));
    // The worker has sent its request and waits for an answer that does
    // not come; the attempt is still open.
    ASSERT_TRUE(WaitUntil([&] { return RecordedRequests("127.0.0.23-80") > before; }, 5000));
    ASSERT_EQ(Text(c.Query(1)), L"wait sync...");
    EXPECT_EQ(c.Close(10000), 0u);
}

namespace {

// The popup menu window (class #32768) the client shows, if any.
HWND FindPopupMenu(DWORD pid) {
    return WindowOf(pid, L"#32768", nullptr, true);
}

// Right-clicks the tray icon and picks an item of its menu by keyboard.
bool PickTrayMenuItem(const Client& c, WPARAM key) {
    PostMessageW(c.main, WM_TRAY_CALLBACK, 100, WM_RBUTTONUP);
    HWND menu = nullptr;
    if (!WaitUntil([&] { return (menu = FindPopupMenu(c.process.dwProcessId)) != nullptr; }, 5000)) return false;
    PostMessageW(menu, WM_KEYDOWN, key, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    return WaitUntil([&] { return FindPopupMenu(c.process.dwProcessId) == nullptr; }, 5000);
}

}  // namespace

TEST_F(E2E, TrayMenuTogglesTheWindowAndExits) {
    Seed();
    Client c;
    ASSERT_TRUE(c.Start());
    // First item: "&Minimize" while shown, "&Restore" while minimised.
    ASSERT_TRUE(PickTrayMenuItem(c, VK_DOWN));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(c.main); }, 3000)) << "not minimised";
    ASSERT_TRUE(PickTrayMenuItem(c, VK_DOWN));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(c.main) != 0; }, 3000)) << "not restored";
    EXPECT_FALSE(IsIconic(c.main));
    // Last item: "&Exit".
    ASSERT_TRUE(PickTrayMenuItem(c, VK_UP));
    EXPECT_EQ(c.WaitExit(10000), 0u);
}

TEST_F(E2E, CommandHelpBox) {
    Seed();
    Client c;
    ASSERT_TRUE(c.Start());
    PostMessageW(c.main, WM_COMMAND, IDM_COMMAND, 0);
    Box box = WaitForBox(c.process.dwProcessId, 5000);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.title, std::wstring(L"Commandline \u25CF ") + kProduct);
    EXPECT_EQ(box.text, L"Key:\tAction:\n-min\tminimize after start\n-auto\tautosync after start");
    PostMessageW(box.window, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return FindBox(c.process.dwProcessId).window == nullptr; }, 5000));
    EXPECT_EQ(c.Close(), 0u);
}

namespace {

// Writes what the screen shows inside rect as a 24-bit BMP file.
bool CaptureScreen(const RECT& rect, const std::string& path) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    int stride = ((width * 3 + 3) / 4) * 4;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info, sizeof info, 1, f);
    std::fwrite(pixels.data(), 1, pixels.size(), f);
    std::fclose(f);
    return true;
}

}  // namespace

// Pictures of the main window on each page for the README, taken when the
// run asks for them (VELLOQ_SHOTS_DIR).
TEST_F(E2E, ScreenshotsOfEachPage) {
    const char* dir = std::getenv("VELLOQ_SHOTS_DIR");
    if (dir == nullptr) GTEST_SKIP() << "no VELLOQ_SHOTS_DIR";
    Seed({{L"DOMAIN", L"home.example\r\noffice.example"}});
    Client c;
    ASSERT_TRUE(c.Start());
    c.Click(c.Button(IDC_START));
    ASSERT_TRUE(c.WaitText(c.Query(2), L"GOOD"));
    ASSERT_TRUE(c.WaitText(c.Countdown(false), L"59", 3000));
    SetForegroundWindow(c.main);
    HWND tab = FindWindowExW(c.main, nullptr, WC_TABCONTROLW, nullptr);
    const char* names[3] = {"main-sync", "main-config", "main-account"};
    for (int page = 0; page < 3; ++page) {
        if (page > 0) PostMessageW(tab, WM_KEYDOWN, VK_RIGHT, 0);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(c.pages[page]) != 0; }, 3000));
        RedrawWindow(c.main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(400);  // let the repaint reach the screen; not a pass/fail time
        RECT rect;
        GetWindowRect(c.main, &rect);
        std::string path = std::string("Z:") + dir + "/" + names[page] + ".bmp";
        for (char& ch : path)
            if (ch == '/') ch = '\\';
        EXPECT_TRUE(CaptureScreen(rect, path)) << path;
    }
    EXPECT_EQ(c.Close(), 0u);
}
