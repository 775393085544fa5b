// One run of the real program per user-visible flow, driven from outside as a user would: the client beside this
// driver runs as its own process under Wine, its controls are found by id, read with WM_GETTEXT and pressed with
// BM_CLICK or menu commands. The stand-ins of standins.list play the services and record each request in
// $VELLOQ_STANDIN_DIR. Hosts are loopback addresses, never names.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/resource_ids.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "shell/about_text.h"
#include "support/standin_record.h"
#include "util/cmdline.h"
#include "util/product.h"

namespace {

using Clock = std::chrono::steady_clock;

const wchar_t kAddress[] = L"198.51.100.23";          // what the check-IP stand-ins report
const wchar_t kGoodAuth[] = L"dmVsbG9xOnNlY3JldA==";  // velloq:secret, the account the stand-ins accept
const wchar_t kOtherAuth[] = L"b3RoZXI6b3RoZXI=";     // other:other
const wchar_t kWaiting[] = L"wait sync...";

bool WaitUntil(const std::function<bool()>& done, int ms = 10000) {
    for (auto deadline = Clock::now() + std::chrono::milliseconds(ms); !done(); Sleep(20))
        if (Clock::now() > deadline) return false;
    return true;
}

// GetWindowText does not reach the edits of another process; WM_GETTEXT does.
std::wstring TextOf(HWND window) {
    wchar_t text[1024] = L"";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 3000,
                             &length))
        return L"(no answer)";
    return std::wstring(text, length);
}

// The settings key holds a working configuration against the stand-ins, changed by overrides.
void Seed(const std::map<std::wstring, std::wstring>& overrides = {}) {
    std::map<std::wstring, std::wstring> values = {
        {L"DomainCheckIP", L"127.0.0.20"}, {L"DomainDynDNS", L"127.0.0.21"}, {L"TOUT", L"1000"}, {L"CLOOP", L"30"},
        {L"DEBUG", L"false"}, {L"AUTH", kGoodAuth}, {L"DOMAIN", L"e2e.example"}, {L"LASTIP", L"NULL"},
        {L"TIMESTAMP", L"NULL"}, {L"CheckLastIP", L"false"}, {L"CheckUseSSL", L"false"}};
    for (const auto& o : overrides) values[o.first] = o.second;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, RegistryKeyPath);
    for (const auto& v : values) RegWriteString(RegistryKeyPath, v.first.c_str(), v.second.c_str());
}

std::wstring BoxText(HWND box) { return TextOf(GetDlgItem(box, 0xFFFF)); }
std::wstring Stored(const wchar_t* name) { return RegReadString(RegistryKeyPath, name); }

// The request lines the stand-in at addrPort ("127.0.0.21-80") has recorded.
std::vector<std::string> Requests(const std::string& addrPort) {
    std::vector<std::string> lines;
    for (const StandinRequest& r : StandinRequests(addrPort)) lines.push_back(r.bytes.substr(0, r.bytes.find('\r')));
    return lines;
}

std::wstring ClientPath() {
    wchar_t path[MAX_PATH];
    std::wstring exe(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return exe.substr(0, exe.rfind(L'\\') + 1) + L"DynDNSVelloqClient.exe";
}

// The countdown runs only between attempts; its seconds show 59 at its first tick.
bool CountdownTicked(HWND main) { return FindWindowExW(main, nullptr, L"Static", L"59") != nullptr; }

struct Client {
    PROCESS_INFORMATION process = {};
    HWND main = nullptr;

    ~Client() {
        if (process.hProcess == nullptr) return;
        if (!Ended()) TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }

    // The client beside this driver with switches, or a whole command line
    // without a module name, as Windows starts the autostart value.
    bool Launch(const std::wstring& switches = L"", const std::wstring& commandLine = L"") {
        std::wstring exe = ClientPath(), line = commandLine.empty() ? L"\"" + exe + L"\" " + switches : commandLine;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        return CreateProcessW(commandLine.empty() ? exe.c_str() : nullptr, &line[0], nullptr, nullptr, FALSE, 0,
                              nullptr, nullptr, &startup, &process) != 0;
    }

    // Launches and waits until the window shows, which it does once it has
    // taken its start-up state; false when the client ends first.
    bool Start(const std::wstring& switches = L"", const std::wstring& line = L"") {
        if (!Launch(switches, line)) return false;
        WaitUntil([&] { return Ended() || ((main = Top(ProductName)) != nullptr && IsWindowVisible(main)); }, 20000);
        return main != nullptr && !Ended();
    }

    bool Ended(int ms = 0) const { return WaitForSingleObject(process.hProcess, ms) == WAIT_OBJECT_0; }

    // Whether the client has loaded a module, as a tool listing its DLLs sees it.
    bool Loaded(const wchar_t* module) const {
        HANDLE list = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process.dwProcessId);
        if (list == INVALID_HANDLE_VALUE) return false;
        MODULEENTRY32W entry = {};
        entry.dwSize = sizeof entry;
        bool found = false;
        for (BOOL more = Module32FirstW(list, &entry); more && !found; more = Module32NextW(list, &entry))
            found = lstrcmpiW(entry.szModule, module) == 0;
        CloseHandle(list);
        return found;
    }

    // A top-level window of this process by class; "#32770" finds its boxes.
    HWND Top(const wchar_t* cls, bool visibleOnly = false) const {
        DWORD pid = 0;
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, cls, nullptr)) != nullptr;)
            if (GetWindowThreadProcessId(w, &pid) && pid == process.dwProcessId && (!visibleOnly || IsWindowVisible(w)))
                return w;
        return nullptr;
    }

    // The control with this id under parent, the main window by default:
    // Edit and Save sit on both the Config and the Account page.
    HWND Find(int id, HWND parent = nullptr) const {
        std::pair<int, HWND> search{id, nullptr};
        EnumChildWindows(parent ? parent : main, [](HWND child, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<std::pair<int, HWND>*>(p);
            if (GetDlgCtrlID(child) == s->first) s->second = child;
            return s->second == nullptr;
        }, reinterpret_cast<LPARAM>(&search));
        return search.second;
    }
    HWND Page(int fieldId) const { return GetParent(Find(fieldId)); }

    std::wstring Text(int id) const { return TextOf(Find(id)); }
    void Type(int id, const wchar_t* text) const {
        SendMessageW(Find(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    void Click(int id, HWND page = nullptr) const { SendMessageW(Find(id, page), BM_CLICK, 0, 0); }
    bool WaitText(int id, const wchar_t* expected) const { return WaitUntil([&] { return Text(id) == expected; }); }
    // File > Exit; true when the process has ended within ms.
    bool Exit(int ms = 10000) const { return PostMessageW(main, WM_COMMAND, IDM_EXIT, 0) && Ended(ms); }
    // Help > About, posted: the About window runs a loop of its own until it
    // is closed. The About window once it shows.
    HWND OpenAbout() const {
        PostMessageW(main, WM_COMMAND, IDM_ABOUT, 0);
        HWND about = nullptr;
        WaitUntil([&] { return (about = Top(AboutTitle().c_str(), true)) != nullptr; });
        return about;
    }
};

}  // namespace

TEST(E2E, FirstStartStoresDefaultsThenSyncsOverHttpAndTls) {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, RegistryKeyPath);
    {
        Client c;
        ASSERT_TRUE(c.Start()) << "first start: no window (is another copy running in this prefix?)";
        const std::pair<const wchar_t*, const wchar_t*> defaults[] = {
            {L"DomainCheckIP", DEFAULT_CHECKIP_HOST}, {L"DomainDynDNS", DEFAULT_DYNDNS_HOST}, {L"TOUT", L"3000"},
            {L"CLOOP", L"60"}, {L"DEBUG", L"false"}, {L"AUTH", L"NULL"}, {L"DOMAIN", L"NULL"},
            {L"LASTIP", L"NULL"}, {L"TIMESTAMP", L"NULL"}};
        for (const auto& d : defaults) EXPECT_EQ(Stored(d.first), d.second) << "first start: " << d.first;
        EXPECT_TRUE(c.Exit()) << "first start: Exit did not end the client";
    }
    // What only a TLS attempt needs is loaded by the first one, not at start:
    // under Wine, crypt32 brings bcrypt and GnuTLS, megabytes at rest.
    struct Row { const char* name; std::map<std::wstring, std::wstring> seed; std::string log; bool tls; } rows[] = {
        {"plain HTTP", {}, "127.0.0.21-80", false},
        {"TLS", {{L"DomainDynDNS", L"127.0.0.22"}, {L"CheckUseSSL", L"true"}}, "127.0.0.22-443", true},
    };
    for (const Row& row : rows) {
        Seed(row.seed);
        std::size_t before = Requests(row.log).size();
        Client c;
        ASSERT_TRUE(c.Start()) << row.name;
        ASSERT_TRUE(c.Loaded(L"user32.dll")) << row.name << ": the client's modules cannot be listed";
        EXPECT_FALSE(c.Loaded(L"crypt32.dll")) << row.name << ": crypt32 loaded at start";
        c.Click(IDC_START);
        EXPECT_TRUE(c.WaitText(IDC_QUERY_STATUS, L"GOOD")) << row.name << ": STATUS " << c.Text(IDC_QUERY_STATUS);
        EXPECT_EQ(c.Loaded(L"crypt32.dll"), row.tls) << row.name << ": crypt32 after the attempt";
        EXPECT_EQ(c.Text(IDC_QUERY_IP), kAddress) << row.name;
        std::vector<std::string> requests = Requests(row.log);
        ASSERT_EQ(requests.size(), before + 1) << row.name << ": updates the stand-in received";
        const char kLine[] = "GET /nic/update?system=dyndns&hostname=e2e.example&myip=198.51.100.23&";
        EXPECT_EQ(requests.back().rfind(kLine, 0), 0u) << row.name << ": " << requests.back();
        EXPECT_EQ(Stored(L"LASTIP"), kAddress) << row.name;
        long long age = std::time(nullptr) - std::wcstoll(Stored(L"TIMESTAMP").c_str(), nullptr, 10);
        EXPECT_TRUE(age >= 0 && age < 60) << row.name << ": TIMESTAMP " << Stored(L"TIMESTAMP");
        EXPECT_TRUE(c.Exit()) << row.name;
    }
}

// What a user sees of a server whose root the machine does not trust, and of the same server once its root is
// imported: with_roots.sh gave this process tree a bundle of its own, read by each client when it starts.
TEST(E2E, UntrustedServerGivesCertErrorUntilItsRootIsTrusted) {
    const char* bundle = std::getenv("VELLOQ_TRUST_BUNDLE");
    ASSERT_NE(bundle, nullptr) << "run through tools/with_standins.sh --trust-root";
    for (bool trusted : {false, true}) {
        if (trusted) {
            std::ifstream root("Z:" + std::string(std::getenv("VELLOQ_STANDIN_DIR")) + "/certs/other-root.pem");
            std::ofstream(std::string("Z:") + bundle, std::ios::app) << root.rdbuf();
        }
        Seed({{L"DomainDynDNS", L"127.0.0.27"}, {L"CheckUseSSL", L"true"}});
        Client c;
        ASSERT_TRUE(c.Start());
        c.Click(IDC_START);
        const wchar_t* word = trusted ? L"GOOD" : L"CERT ERROR";
        EXPECT_TRUE(c.WaitText(IDC_QUERY_STATUS, word)) << "STATUS " << c.Text(IDC_QUERY_STATUS);
        EXPECT_EQ(Requests("127.0.0.27-443").size(), trusted ? 1u : 0u) << "updates the stand-in received";
        EXPECT_EQ(Stored(L"LASTIP"), trusted ? kAddress : L"NULL");
        EXPECT_TRUE(c.Exit());
    }
}

TEST(E2E, MinAutoHidesIntoTheTrayAndStartsByItself) {
    Seed({{L"DOMAIN", L"auto.example"}});
    Client c;
    ASSERT_TRUE(c.Start(L"-min -auto"));
    EXPECT_TRUE(c.WaitText(IDC_QUERY_STATUS, L"GOOD")) << "-auto: STATUS " << c.Text(IDC_QUERY_STATUS);
    // Both switches act after the same second: by now the window has gone.
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(c.main); }, 3000)) << "-min: the window is still shown";
    EXPECT_TRUE(c.Exit());
}

// Both copies installed in a folder with a blank and started as Windows starts the autostart value, which an
// earlier version wrote unquoted: the first quotes it, shows the mark on (a click removes the value) and keeps
// running, the second is refused.
TEST(E2E, SecondCopyIsRefusedAndTheFirstKeepsRunning) {
    Seed();
    const std::wstring folder = L"C:\\Program Files\\Velloq e2e", exe = folder + L"\\DynDNSVelloqClient.exe";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(ClientPath().c_str(), exe.c_str(), FALSE));
    const std::wstring command = AutostartCommandFor(exe);
    RegWriteString(RunKeyPath, RunValueName, (exe + L" -min -auto").c_str());
    Client first, second;
    ASSERT_TRUE(first.Start(L"", command));
    EXPECT_EQ(RegReadString(RunKeyPath, RunValueName), command) << "first copy: the value stays unquoted";
    PostMessageW(first.main, WM_COMMAND, IDM_RUN_WITH_OS, 0);
    EXPECT_TRUE(WaitUntil([] { return RegReadString(RunKeyPath, RunValueName).empty(); })) << "first copy: mark off";
    ASSERT_TRUE(second.Launch(L"", command));
    HWND box = nullptr;
    WaitUntil([&] { return (box = second.Top(L"#32770", true)) != nullptr || second.Ended(); }, 20000);
    ASSERT_NE(box, nullptr) << "second copy: no box; it has " << (second.Ended() ? "ended" : "not ended");
    EXPECT_NE(BoxText(box).find(L"One instance is already running!"), std::wstring::npos) << BoxText(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(second.Ended(10000)) << "second copy: still running after its box";
    EXPECT_FALSE(first.Ended()) << "first copy: ended";
    EXPECT_TRUE(first.WaitText(IDC_QUERY_STATUS, L"GOOD")) << "first copy: STATUS " << first.Text(IDC_QUERY_STATUS);
    EXPECT_TRUE(first.Exit());
    DeleteFileW(exe.c_str());
}

TEST(E2E, SaveOnEachPage) {
    Seed({{L"AUTH", kOtherAuth}, {L"DOMAIN", L"one.example"}});
    Client c;
    ASSERT_TRUE(c.Start());
    HWND config = c.Page(IDC_CHECKIP), account = c.Page(IDC_NAME);

    // A name outside ASCII is refused with a box; the stored account stays.
    c.Click(IDC_EDIT, account);
    c.Type(IDC_NAME, L"j\u00E9r\u00F4me");
    c.Type(IDC_PASS, L"secret");
    PostMessageW(c.Find(IDC_SAVE, account), BM_CLICK, 0, 0);  // the box holds a sent click
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = c.Top(L"#32770", true)) != nullptr; })) << "Account: no box for the name";
    EXPECT_NE(BoxText(box).find(L"account name"), std::wstring::npos) << "Account: " << BoxText(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return c.Top(L"#32770", true) == nullptr; })) << "Account: the box stays";
    EXPECT_EQ(Stored(L"AUTH"), kOtherAuth) << "Account: refused name";

    // Typed name and password are what the stand-in checks; two host lines are two names in the next update.
    c.Click(IDC_EDIT, account);
    c.Type(IDC_NAME, L"velloq");
    c.Type(IDC_PASS, L"secret");
    c.Type(IDC_DOMAIN, L"one.example\r\ntwo.example");
    c.Click(IDC_SAVE, account);
    EXPECT_EQ(Stored(L"AUTH"), kGoodAuth) << "Account: saved account";
    std::size_t before = Requests("127.0.0.21-80").size();
    c.Click(IDC_MANUAL);
    EXPECT_TRUE(c.WaitText(IDC_QUERY_STATUS, L"GOOD")) << "Account: STATUS " << c.Text(IDC_QUERY_STATUS);
    std::vector<std::string> requests = Requests("127.0.0.21-80");
    ASSERT_EQ(requests.size(), before + 1) << "Account: updates the stand-in received";
    EXPECT_NE(requests.back().find("&hostname=one.example,two.example&"), std::string::npos) << requests.back();

    // Each bad value comes back as its default. Last: the check-IP default
    // is a name, and no attempt may follow that would look it up.
    struct { int id; const wchar_t *name, *typed, *corrected; } const fields[] = {
        {IDC_CHECKIP, L"DomainCheckIP", L"300.1.1.1", DEFAULT_CHECKIP_HOST},
        {IDC_CLOOP, L"CLOOP", L"abc", L"60"},
        {IDC_TOUT, L"TOUT", L"999", L"3000"},
        {IDC_DEBUG, L"DEBUG", L"true ", L"false"},
    };
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(c.Find(IDC_EDIT, config)) != 0; })) << "Config: Edit stays off";
    c.Click(IDC_EDIT, config);
    for (const auto& f : fields) c.Type(f.id, f.typed);
    c.Click(IDC_SAVE, config);
    for (const auto& f : fields) {
        EXPECT_EQ(c.Text(f.id), f.corrected) << "Config: field " << f.name;
        EXPECT_EQ(Stored(f.name), f.corrected) << "Config: stored " << f.name;
    }
    EXPECT_TRUE(c.Exit());
}

TEST(E2E, AboutWhileTheCycleRuns) {
    Seed();
    Client c;
    ASSERT_TRUE(c.Start());
    HWND about = c.OpenAbout();
    ASSERT_NE(about, nullptr) << "About: no window";
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(c.main); })) << "About: the main window still shows";
    c.Click(IDC_START);
    EXPECT_TRUE(c.WaitText(IDC_QUERY_STATUS, L"GOOD")) << "About: STATUS " << c.Text(IDC_QUERY_STATUS);
    EXPECT_TRUE(c.Top(AboutTitle().c_str(), true)) << "About: closed by the attempt";
    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about) && IsWindowVisible(c.main); }))
        << "About: after closing it, About still there: " << IsWindow(about) << ", main window shown: "
        << IsWindowVisible(c.main);
    // Behind it the countdown sleeps until the attempt; shown again, it counts on.
    EXPECT_TRUE(WaitUntil([&] { return CountdownTicked(c.main); }, 5000)) << "About: the countdown stands still";

    // Closing it and Exit at once: both quits must be served.
    about = c.OpenAbout();
    ASSERT_NE(about, nullptr) << "About, second opening: no window";
    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(c.Exit()) << "About: Exit right after closing it did not end the client";
}

TEST(E2E, ClosingWhileAWorkerIsOutEndsPromptly) {
    Seed({{L"DomainCheckIP", L"127.0.0.23"}});  // reads the request, answers nothing
    std::size_t before = Requests("127.0.0.23-80").size();
    Client c;
    ASSERT_TRUE(c.Start());
    c.Click(IDC_START);
    ASSERT_TRUE(WaitUntil([&] { return Requests("127.0.0.23-80").size() > before; }, 5000)) << "no check-IP request";
    ASSERT_EQ(c.Text(IDC_QUERY_IP), kWaiting) << "the check is no longer out";
    EXPECT_TRUE(c.Exit(2500)) << "still running 2.5 s after Exit, while the worker waits";
}

TEST(E2E, HostileCheckIpPageGivesCheckErrorAndNoUpdate) {
    const std::pair<const char*, const wchar_t*> rows[] = {
        {"address followed by a query", L"127.0.0.24"},
        {"address followed by a header line", L"127.0.0.25"},
    };
    for (const auto& row : rows) {
        Seed({{L"DomainCheckIP", row.second}, {L"DomainDynDNS", L"127.0.0.26"}});
        std::size_t before = Requests("127.0.0.26-80").size();
        Client c;
        ASSERT_TRUE(c.Start()) << row.first;
        c.Click(IDC_START);
        EXPECT_TRUE(c.WaitText(IDC_QUERY_IP, L"CHECK ERROR")) << row.first << ": IP " << c.Text(IDC_QUERY_IP);
        EXPECT_TRUE(WaitUntil([&] { return CountdownTicked(c.main); })) << row.first << ": the attempt does not end";
        EXPECT_EQ(c.Text(IDC_QUERY_STATUS), kWaiting) << row.first;
        std::vector<std::string> updates = Requests("127.0.0.26-80");
        EXPECT_EQ(updates.size(), before) << row.first << ": an update reached the service: " << updates.back();
        EXPECT_TRUE(c.Exit()) << row.first;
    }
}

// Secure Check IP, switched on in the File menu: the check-IP query goes over TLS to the page the field names, and a
// check-IP server whose certificate is refused gets no request and ends the attempt as CERT ERROR, with no update.
TEST(E2E, SecureCheckIpAsksOverTlsAndRefusesAnUntrustedServer) {
    // request empty: none arrives
    struct Row { const char* name; const wchar_t* checkIp; bool secure; const wchar_t *ip, *status;
                 std::string log, request; } rows[] = {
        {"off", L"127.0.0.20", false, kAddress, L"GOOD", "127.0.0.20-80", "GET /index.php HTTP/1.0"},
        {"on", L"127.0.0.28/", true, kAddress, L"GOOD", "127.0.0.28-443", "GET / HTTP/1.0"},
        {"on, self-signed", L"127.0.0.29/", true, L"CHECK ERROR", L"CERT ERROR", "127.0.0.29-443", ""},
    };
    for (const Row& row : rows) {
        Seed({{L"DomainCheckIP", row.checkIp}});
        std::size_t before = Requests(row.log).size(), updates = Requests("127.0.0.21-80").size();
        Client c;
        ASSERT_TRUE(c.Start()) << row.name;
        if (row.secure) PostMessageW(c.main, WM_COMMAND, IDM_SECURE_CHECK_IP, 0);
        EXPECT_TRUE(WaitUntil([&] { return (Stored(L"SecureCheckIP") == L"true") == row.secure; })) << row.name;
        c.Click(IDC_START);
        EXPECT_TRUE(c.WaitText(IDC_QUERY_STATUS, row.status)) << row.name << ": STATUS " << c.Text(IDC_QUERY_STATUS);
        EXPECT_EQ(c.Text(IDC_QUERY_IP), row.ip) << row.name;
        std::vector<std::string> requests = Requests(row.log);
        ASSERT_EQ(requests.size(), before + (row.request.empty() ? 0 : 1)) << row.name << ": check-IP queries";
        EXPECT_TRUE(row.request.empty() || requests.back() == row.request) << row.name << ": " << requests.back();
        EXPECT_EQ(Requests("127.0.0.21-80").size(), updates + (row.request.empty() ? 0 : 1)) << row.name << ": updates";
        EXPECT_TRUE(c.Exit()) << row.name;
    }
}

// "Update IPv6" as a user meets it, in a network namespace of the test's own (tests/e2e/hosts6, standins6.list): both
// addresses on the Sync page and in one request; an IPv6 failure sends nothing; Check Last IP sends when IPv6 alone
// changed; off, the line stays empty and inactive and the store gains nothing.
TEST(E2EIPv6, BothFamiliesInOneUpdate) {
    const wchar_t kAddress6[] = L"2001:db8::23";
    const std::string kBoth = "GET /nic/update?system=dyndns&hostname=e2e.example&myip=198.51.100.23,2001:db8::23&";
    const std::string kOld = "GET /nic/update?system=dyndns&hostname=e2e.example&myip=198.51.100.23&";
    // menu: turned on from the File menu after start; status null: the attempt ends without an outcome word; ip6:
    // what the IPv6 line shows afterwards; request empty: nothing sent; last6: LASTIP6 afterwards, empty for never.
    struct Row { const char* name; std::map<std::wstring, std::wstring> seed; bool menu;
                 const wchar_t *status, *ip6; std::string request; const wchar_t* last6;
    } rows[] = {
        {"turned on in the menu", {{L"DomainCheckIP6", L"checkip6.e2e.test"}}, true, L"GOOD", kAddress6, kBoth,
         kAddress6},
        {"IPv6 fails: CHECK ERROR, nothing sent",
         {{L"UseIPv6", L"true"}, {L"DomainCheckIP6", L"none6.e2e.test"}}, false, nullptr, L"CHECK ERROR", "", L""},
        {"Check Last IP, only IPv6 changed",
         {{L"UseIPv6", L"true"}, {L"DomainCheckIP6", L"checkip6.e2e.test"}, {L"CheckLastIP", L"true"},
          {L"LASTIP", kAddress}, {L"LASTIP6", L"2001:db8::99"}},
         false, L"GOOD", kAddress6, kBoth, kAddress6},
        {"off", {}, false, L"GOOD", L"", kOld, L""},
    };
    for (const Row& row : rows) {
        Seed(row.seed);
        std::size_t before = Requests("127.0.0.21-80").size();
        Client c;
        ASSERT_TRUE(c.Start()) << row.name;
        bool on = row.menu || row.seed.count(L"UseIPv6");
        if (row.menu) SendMessageW(c.main, WM_COMMAND, IDM_UPDATE_IPV6, 0);
        EXPECT_EQ(IsWindowEnabled(c.Find(IDC_QUERY_IP6)) != FALSE, on) << row.name << ": the IPv6 line";
        c.Click(IDC_START);
        if (row.status != nullptr) {
            EXPECT_TRUE(c.WaitText(IDC_QUERY_STATUS, row.status)) << row.name << ": STATUS " << c.Text(IDC_QUERY_STATUS);
        } else {
            EXPECT_TRUE(WaitUntil([&] { return CountdownTicked(c.main); })) << row.name << ": the attempt did not end";
            EXPECT_EQ(c.Text(IDC_QUERY_STATUS), kWaiting) << row.name;
        }
        EXPECT_EQ(c.Text(IDC_QUERY_IP), kAddress) << row.name;
        EXPECT_EQ(c.Text(IDC_QUERY_IP6), row.ip6) << row.name;
        std::vector<std::string> requests = Requests("127.0.0.21-80");
        ASSERT_EQ(requests.size(), before + (row.request.empty() ? 0 : 1)) << row.name << ": updates received";
        EXPECT_TRUE(row.request.empty() || requests.back().rfind(row.request, 0) == 0) << row.name << ": " << requests.back();
        EXPECT_EQ(Stored(L"LASTIP6"), row.last6) << row.name;
        EXPECT_EQ(Stored(L"UseIPv6"), on ? L"true" : L"") << row.name;
        EXPECT_EQ(Stored(L"DomainCheckIP6"), row.seed.count(L"DomainCheckIP6") ? row.seed.at(L"DomainCheckIP6") : L"")
            << row.name << ": kept as stored";
        EXPECT_TRUE(c.Exit()) << row.name;
    }
}
