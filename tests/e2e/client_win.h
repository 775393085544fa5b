// The harness the end-to-end drivers share: starts DynDNSVelloqClient.exe
// under Wine as a separate process, finds its windows and controls, reads
// and types texts, seeds the registry and reads what the stand-in servers
// recorded. Hosts are dotted loopback addresses, so nothing is looked up.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace e2e {

extern const wchar_t kProduct[];

using Values = std::map<std::wstring, std::wstring>;

// Polls done every 20 ms until it holds or timeoutMs have passed.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

// A window's text; "(no answer)" when its thread does not answer.
std::wstring Text(HWND window);
std::string Narrow(const std::wstring& w);
DWORD ProcessOf(HWND window);
// The client beside this driver.
std::wstring ClientPath();
std::wstring UnixNow();

// The settings key holds exactly base with overrides applied; the Run
// value is gone.
void Seed(const Values& base, const Values& overrides);
std::wstring Stored(const wchar_t* name);

// The request lines ("GET ... HTTP/1.0") the stand-in on "addr-port" has
// recorded so far.
std::vector<std::string> RequestLines(const char* addrPort);

// The clipboard's text: "<none>" when it holds none.
std::wstring ClipboardText();
void EmptyTheClipboard();

// A top-level window of process pid with this class and title (any when
// null).
HWND WindowOf(DWORD pid, const wchar_t* cls, const wchar_t* title, bool visibleOnly = false);

struct Box {
    HWND window = nullptr;
    std::wstring title, text;
};
// A message box of process pid: its title and its message text.
Box FindBox(DWORD pid);
Box WaitForBox(DWORD pid, int timeoutMs);

class Client {
public:
    PROCESS_INFORMATION process = {};
    HWND main = nullptr;
    HWND pages[3] = {};  // Sync, Config, Account

    ~Client();
    // Only creates the process.
    bool Launch(const std::wstring& switches = L"");
    // Launches and waits until the start-up state is applied; fails at once
    // when the client ends (as beside a copy left running).
    bool Start(const std::wstring& switches = L"");
    HWND FindMain() const;

    HWND Button(int id) const { return GetDlgItem(main, id); }
    HWND Query(int i) const;
    HWND Setting(int i) const;
    HWND PageButton(int page, int id) const { return GetDlgItem(pages[page], id); }
    // The two countdown statics: the tall one shows minutes.
    HWND Countdown(bool minutes) const;

    void Click(HWND button) const { SendMessageW(button, BM_CLICK, 0, 0); }
    void Command(int id) const { SendMessageW(main, WM_COMMAND, id, 0); }
    void Type(int field, const std::wstring& text) const;
    bool WaitText(HWND control, const std::wstring& expected, int timeoutMs = 10000) const;

    // Closes the window (as "&Exit" does) and waits for the process; the
    // exit code, 0xFFFFFFFF when it did not end.
    DWORD Close(int timeoutMs = 10000);
    DWORD WaitExit(int timeoutMs);

private:
    bool FindPages();
};

}  // namespace e2e
