// End-to-end tests of the settings forms and the About window: starts
// DynDNSVelloqClient.exe under Wine, types into its fields with WM_SETTEXT,
// presses its buttons and reads back the window, the registry, the
// clipboard and what the stand-in update service received. Hosts are
// dotted loopback addresses; the About window's links are never followed.
#include <gtest/gtest.h>

#include <windows.h>

#include <openssl/crypto.h>
#include <openssl/opensslv.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/resource_ids.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "shell/about_text.h"

namespace {

const wchar_t kProduct[] = L"DynDNS Velloq Client";
const wchar_t kCheckIp[] = L"127.0.0.30";
const wchar_t kUpdate[] = L"127.0.0.31";
const char kUpdateLog[] = "127.0.0.31-80";
const wchar_t kGoodAuth[] = L"dmVsbG9xOnNlY3JldA==";  // velloq:secret
const wchar_t kOtherAuth[] = L"b3RoZXI6b3RoZXI=";     // other:other
const wchar_t kMask[] = L"********";

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        Sleep(20);
    }
}

std::wstring Text(HWND window) {
    wchar_t buffer[1024] = L"";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 3000,
                             &copied))
        return L"(no answer)";
    return std::wstring(buffer, copied);
}

std::string Narrow(const std::wstring& w) {
    std::string out;
    for (wchar_t c : w) out += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
    return out;
}

std::wstring Wide(const char* text) {
    return std::wstring(text, text + std::strlen(text));
}

DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

std::wstring ClientPath() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path);
    return p.substr(0, p.find_last_of(L'\\') + 1) + L"DynDNSVelloqClient.exe";
}

void Seed(const std::map<std::wstring, std::wstring>& overrides = {}) {
    std::map<std::wstring, std::wstring> values = {
        {L"DomainCheckIP", kCheckIp}, {L"DomainDynDNS", kUpdate},  {L"TOUT", L"1000"},
        {L"CLOOP", L"30"},           {L"DEBUG", L"false"},        {L"AUTH", kOtherAuth},
        {L"DOMAIN", L"one.example"}, {L"LASTIP", L"NULL"},        {L"TIMESTAMP", L"NULL"},
        {L"CheckLastIP", L"false"},  {L"CheckUseSSL", L"false"},
    };
    for (const auto& o : overrides) values[o.first] = o.second;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, RegistryKeyPath);
    for (const auto& v : values) RegWriteString(RegistryKeyPath, v.first.c_str(), v.second.c_str());
}

std::wstring Stored(const wchar_t* name) {
    return RegReadString(RegistryKeyPath, name);
}

// The request lines ("GET ... HTTP/1.0") the stand-in on addrPort received.
std::vector<std::string> RequestLines(const char* addrPort) {
    std::vector<std::string> lines;
    const char* dir = std::getenv("VELLOQ_STANDIN_DIR");
    if (dir == nullptr) return lines;
    std::string path = std::string("Z:") + dir + "/" + addrPort + ".log";
    for (char& c : path)
        if (c == '/') c = '\\';
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return lines;
    char line[4096];
    bool next = false;
    while (std::fgets(line, sizeof line, f) != nullptr) {
        if (next) {
            std::string s(line);
            lines.push_back(s.substr(0, s.find_first_of("\r\n")));
        }
        next = std::strncmp(line, "=== REQUEST ", 12) == 0;
    }
    std::fclose(f);
    return lines;
}

std::wstring ClipboardText() {
    std::wstring text = L"<none>";
    if (!OpenClipboard(nullptr)) return L"<closed>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

class Client {
public:
    PROCESS_INFORMATION process = {};
    HWND main = nullptr;
    HWND pages[3] = {};

    bool Start() {
        std::wstring line = L"\"" + ClientPath() + L"\"";
        std::vector<wchar_t> buffer(line.begin(), line.end());
        buffer.push_back(L'\0');
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        if (!CreateProcessW(ClientPath().c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return false;
        bool exited = false;
        bool ready = WaitUntil(
            [&] {
                exited = WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
                return exited || (FindMain() && FindPages() && IsWindowVisible(main));
            },
            20000);
        // A copy left running elsewhere makes this one refuse to start.
        if (exited) ADD_FAILURE() << "the client ended at once; is another copy still running?";
        return ready && !exited;
    }

    bool FindMain() {
        HWND w = nullptr;
        while ((w = FindWindowExW(nullptr, w, kProduct, kProduct)) != nullptr)
            if (ProcessOf(w) == process.dwProcessId) return (main = w) != nullptr;
        return false;
    }

    bool FindPages() {
        HWND page = nullptr;
        while ((page = FindWindowExW(main, page, kProduct, nullptr)) != nullptr) {
            if (GetDlgItem(page, IDC_QUERY_DATE)) pages[0] = page;
            if (GetDlgItem(page, IDC_FIRST_SETTING)) pages[1] = page;
            if (GetDlgItem(page, IDC_FIRST_SETTING + 5)) pages[2] = page;
        }
        return pages[0] && pages[1] && pages[2] && GetDlgItem(pages[2], IDC_RELOAD);
    }

    // The About window of this client, if open.
    HWND About() const {
        HWND w = nullptr;
        std::wstring title = AboutTitle();
        while ((w = FindWindowExW(nullptr, w, title.c_str(), title.c_str())) != nullptr)
            if (ProcessOf(w) == process.dwProcessId) return w;
        return nullptr;
    }

    HWND Setting(int i) const { return GetDlgItem(pages[i < 5 ? 1 : 2], IDC_FIRST_SETTING + i); }
    HWND Status() const { return GetDlgItem(pages[0], IDC_QUERY_STATUS); }
    HWND PageButton(int page, int id) const { return GetDlgItem(pages[page], id); }
    HWND Countdown(bool minutes) const {
        HWND w = nullptr;
        while ((w = FindWindowExW(main, w, L"Static", nullptr)) != nullptr) {
            RECT r;
            GetWindowRect(w, &r);
            if ((r.bottom - r.top > 30) == minutes) return w;
        }
        return nullptr;
    }

    void Type(int field, const std::wstring& text) const {
        SendMessageW(Setting(field), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void Click(HWND button) const { SendMessageW(button, BM_CLICK, 0, 0); }
    bool WaitText(HWND control, const std::wstring& expected, int timeoutMs = 10000) const {
        return WaitUntil([&] { return Text(control) == expected; }, timeoutMs);
    }
    // An update the service accepted: the first for an address, or a repeat.
    bool WaitSynced() const {
        return WaitUntil(
            [&] {
                std::wstring status = Text(Status());
                return status == L"GOOD" || status == L"NO CHANGE";
            },
            10000);
    }

    DWORD Close() {
        if (process.hProcess == nullptr) return 0xFFFFFFFF;
        PostMessageW(main, WM_COMMAND, IDM_EXIT, 0);
        DWORD code = 0xFFFFFFFF;
        if (WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
        Release();
        return code;
    }

    ~Client() { Release(); }

private:
    void Release() {
        if (process.hProcess == nullptr) return;
        if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
            TerminateProcess(process.hProcess, 99);
            WaitForSingleObject(process.hProcess, 5000);
        }
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        process = {};
    }
};

}  // namespace

TEST(FormsE2E, AccountTypedIntoTheWindowIsWhatTheServiceReceives) {
    Seed();
    Client c;
    ASSERT_TRUE(c.Start());
    // A new password under the masked name changes nothing.
    c.Click(c.PageButton(2, IDC_EDIT));
    c.Type(6, L"secret");
    c.Click(c.PageButton(2, IDC_SAVE));
    EXPECT_EQ(Stored(L"AUTH"), kOtherAuth);
    EXPECT_EQ(Text(c.Setting(6)), kMask);

    c.Click(c.PageButton(2, IDC_EDIT));
    c.Type(5, L"velloq");
    c.Type(6, L"secret");
    c.Click(c.PageButton(2, IDC_SAVE));
    EXPECT_EQ(Stored(L"AUTH"), kGoodAuth);
    EXPECT_EQ(Text(c.Setting(5)), kMask);
    EXPECT_EQ(Text(c.Setting(6)), kMask);
    EXPECT_FALSE(IsWindowEnabled(c.Setting(5))) << "back to the resting state";
    EXPECT_TRUE(IsWindowEnabled(c.PageButton(2, IDC_EDIT)));

    // The service accepts the account only if the credential is right.
    c.Click(GetDlgItem(c.main, IDC_MANUAL));
    EXPECT_TRUE(c.WaitSynced()) << Narrow(Text(c.Status()));
    EXPECT_EQ(c.Close(), 0u);
}

TEST(FormsE2E, TwoHostLinesBecomeTwoNamesInTheNextUpdate) {
    Seed({{L"AUTH", kGoodAuth}});
    Client c;
    ASSERT_TRUE(c.Start());
    c.Click(c.PageButton(2, IDC_EDIT));
    c.Type(7, L"one.example\r\ntwo.example");
    c.Click(c.PageButton(2, IDC_SAVE));
    EXPECT_EQ(Stored(L"DOMAIN"), L"one.example\r\ntwo.example");
    std::size_t before = RequestLines(kUpdateLog).size();
    c.Click(GetDlgItem(c.main, IDC_MANUAL));
    EXPECT_TRUE(c.WaitSynced()) << Narrow(Text(c.Status()));
    std::vector<std::string> requests = RequestLines(kUpdateLog);
    ASSERT_EQ(requests.size(), before + 1);
    EXPECT_NE(requests.back().find("hostname=one.example,two.example&"), std::string::npos) << requests.back();
    EXPECT_EQ(c.Close(), 0u);
}

TEST(FormsE2E, InvalidConfigValuesComeBackCorrected) {
    Seed();
    Client c;
    ASSERT_TRUE(c.Start());
    c.Click(c.PageButton(1, IDC_EDIT));
    c.Type(0, L"300.1.1.1");
    c.Type(2, L"abc");
    c.Type(3, L"999");
    c.Type(4, L"true ");
    c.Click(c.PageButton(1, IDC_SAVE));
    const std::pair<int, const wchar_t*> expected[] = {
        {0, DEFAULT_CHECKIP_HOST}, {2, L"60"}, {3, L"3000"}, {4, L"false"}};
    const wchar_t* names[] = {L"DomainCheckIP", L"DomainDynDNS", L"CLOOP", L"TOUT", L"DEBUG"};
    for (const auto& e : expected) {
        EXPECT_EQ(Text(c.Setting(e.first)), e.second) << "field " << e.first;
        EXPECT_EQ(Stored(names[e.first]), e.second) << "field " << e.first;
    }
    EXPECT_EQ(Text(c.Countdown(true)), L"60") << "the countdown starts again from the corrected pause";
    EXPECT_EQ(Text(c.Countdown(false)), L"0");
    EXPECT_EQ(c.Close(), 0u);
}

TEST(FormsE2E, ReloadDiscardsUnsavedTextAndReadsTheStore) {
    Seed();
    Client c;
    ASSERT_TRUE(c.Start());
    c.Type(2, L"120");
    c.Type(5, L"someone");
    RegWriteString(RegistryKeyPath, L"TOUT", L"2000");  // changed behind the client's back
    c.Click(c.PageButton(1, IDC_RELOAD));
    EXPECT_EQ(Text(c.Setting(2)), L"30");
    EXPECT_EQ(Text(c.Setting(3)), L"2000");
    EXPECT_EQ(Text(c.Setting(5)), kMask);
    EXPECT_EQ(Stored(L"CLOOP"), L"30");
    EXPECT_EQ(Stored(L"AUTH"), kOtherAuth);
    EXPECT_EQ(c.Close(), 0u);
}

TEST(FormsE2E, AboutWindowShowsItsTextsAndCopiesTheDonationAccount) {
    Seed();
    Client c;
    ASSERT_TRUE(c.Start());
    for (int opening = 0; opening < 2; ++opening) {
        PostMessageW(c.main, WM_COMMAND, IDM_ABOUT, 0);
        HWND about = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (about = c.About()) != nullptr && IsWindowVisible(about); }, 10000));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(c.main); }, 5000)) << "main window hidden while open";
        EXPECT_EQ(Text(about), L"About \u25CF DynDNS Velloq Client");
        HWND info = GetWindow(about, GW_CHILD);
        std::wstring text = Text(info);
        EXPECT_EQ(text.substr(0, text.find(L'\n')), L"DynDNS Velloq Client v2.0.0.2") << opening;
        // The client links the same OpenSSL as this driver.
        EXPECT_NE(text.find(L"\nBuild with:\t" + Wide(OPENSSL_VERSION_TEXT) + L"\n"), std::wstring::npos);
        EXPECT_NE(text.find(L"\nCurrent use:\t" + Wide(OpenSSL_version(OPENSSL_VERSION)) + L"\n"), std::wstring::npos);

        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        SendMessageW(GetDlgItem(about, 246), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == DonationAccount; }, 3000)) << Narrow(ClipboardText());

        PostMessageW(about, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return c.About() == nullptr; }, 5000));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(c.main) != 0; }, 5000)) << "main window shown again";
    }
    EXPECT_EQ(c.Close(), 0u);
}

TEST(FormsE2E, SyncCompletesWhileTheAboutWindowIsOpen) {
    Seed({{L"AUTH", kGoodAuth}});
    Client c;
    ASSERT_TRUE(c.Start());
    PostMessageW(c.main, WM_COMMAND, IDM_ABOUT, 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (about = c.About()) != nullptr; }, 10000));
    std::size_t before = RequestLines(kUpdateLog).size();
    c.Click(GetDlgItem(c.main, IDC_START));
    EXPECT_TRUE(c.WaitSynced()) << Narrow(Text(c.Status()));
    EXPECT_EQ(RequestLines(kUpdateLog).size(), before + 1);
    EXPECT_TRUE(c.WaitText(c.Countdown(false), L"59", 3000)) << "the cycle counts down behind the About window";
    EXPECT_NE(c.About(), nullptr);
    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(c.main) != 0; }, 5000));
    EXPECT_EQ(c.Close(), 0u);
}

// The About window's quit and the main window's quit can arrive together;
// the program must still end.
TEST(FormsE2E, ExitRightAfterClosingTheAboutWindowEndsTheProgram) {
    Seed();
    Client c;
    ASSERT_TRUE(c.Start());
    PostMessageW(c.main, WM_COMMAND, IDM_ABOUT, 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (about = c.About()) != nullptr; }, 10000));
    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_EQ(c.Close(), 0u);
}
