#include "client_win.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <gtest/gtest.h>

#include "app/resource_ids.h"
#include "settings/registry.h"

namespace e2e {

const wchar_t kProduct[] = L"DynDNS Velloq Client";

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

std::wstring UnixNow() {
    return std::to_wstring(static_cast<long long>(std::time(nullptr)));
}

void Seed(const Values& base, const Values& overrides) {
    Values values = base;
    for (const auto& o : overrides) values[o.first] = o.second;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, RegistryKeyPath);
    for (const auto& v : values) RegWriteString(RegistryKeyPath, v.first.c_str(), v.second.c_str());
    RegRemoveString(RunKeyPath, RunValueName);
}

std::wstring Stored(const wchar_t* name) {
    return RegReadString(RegistryKeyPath, name);
}

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

void EmptyTheClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

HWND WindowOf(DWORD pid, const wchar_t* cls, const wchar_t* title, bool visibleOnly) {
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, cls, title)) != nullptr)
        if (ProcessOf(w) == pid && (!visibleOnly || IsWindowVisible(w))) return w;
    return nullptr;
}

Box FindBox(DWORD pid) {
    Box found;
    if (HWND w = WindowOf(pid, L"#32770", nullptr, true)) {
        found.window = w;
        found.title = Text(w);
        found.text = Text(GetDlgItem(w, 0xFFFF));
    }
    return found;
}

Box WaitForBox(DWORD pid, int timeoutMs) {
    Box box;
    WaitUntil([&] { return (box = FindBox(pid)).window != nullptr; }, timeoutMs);
    return box;
}

Client::~Client() {
    if (process.hProcess != nullptr) WaitExit(0);
}

bool Client::Launch(const std::wstring& switches) {
    std::wstring line = L"\"" + ClientPath() + L"\"";
    if (!switches.empty()) line += L" " + switches;
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    return CreateProcessW(ClientPath().c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process) != 0;
}

bool Client::Start(const std::wstring& switches) {
    if (!Launch(switches)) return false;
    auto ended = [&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; };
    // Ready once the start-up state is applied: that disables Stop, and the
    // window is shown right after it.
    auto ready = [&] {
        if ((main = FindMain()) == nullptr || !FindPages()) return false;
        HWND stop = Button(IDC_STOP);
        return Button(IDC_STATUSBAR) != nullptr && stop != nullptr && (!IsWindowEnabled(stop) || IsWindowVisible(main));
    };
    bool ok = WaitUntil([&] { return ended() || ready(); }, 20000);
    if (!ended()) return ok;
    ADD_FAILURE() << "the client ended at once; is another copy still running?";
    return false;
}

HWND Client::FindMain() const {
    return WindowOf(process.dwProcessId, kProduct, kProduct);
}

bool Client::FindPages() {
    HWND page = nullptr;
    while ((page = FindWindowExW(main, page, kProduct, nullptr)) != nullptr) {
        if (GetDlgItem(page, IDC_QUERY_DATE)) pages[0] = page;
        if (GetDlgItem(page, IDC_FIRST_SETTING)) pages[1] = page;
        if (GetDlgItem(page, IDC_FIRST_SETTING + 5)) pages[2] = page;
    }
    return pages[0] && pages[1] && pages[2] && GetDlgItem(pages[2], IDC_RELOAD);
}

HWND Client::Query(int i) const {
    return GetDlgItem(pages[0], IDC_QUERY_DATE + i);
}

HWND Client::Setting(int i) const {
    return GetDlgItem(pages[i < 5 ? 1 : 2], IDC_FIRST_SETTING + i);
}

HWND Client::Countdown(bool minutes) const {
    HWND w = nullptr;
    while ((w = FindWindowExW(main, w, L"Static", nullptr)) != nullptr) {
        RECT r;
        GetWindowRect(w, &r);
        if ((r.bottom - r.top > 30) == minutes) return w;
    }
    return nullptr;
}

void Client::Type(int field, const std::wstring& text) const {
    SendMessageW(Setting(field), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool Client::WaitText(HWND control, const std::wstring& expected, int timeoutMs) const {
    return WaitUntil([&] { return Text(control) == expected; }, timeoutMs);
}

DWORD Client::Close(int timeoutMs) {
    if (process.hProcess == nullptr) return 0xFFFFFFFF;
    if (main != nullptr) PostMessageW(main, WM_COMMAND, IDM_EXIT, 0);
    return WaitExit(timeoutMs);
}

DWORD Client::WaitExit(int timeoutMs) {
    DWORD code = 0xFFFFFFFF;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    } else {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    process = {};
    return code;
}

}  // namespace e2e
