// Helper for the demonstration and the screenshots: seeds the client's
// registry and reads or drives the running client's window from outside,
// the way a user would.
//   velloq_tool [--desktop NAME] COMMAND
//   seed NAME TEXT     store TEXT (\r\n and \\ understood)
//   wait-status MS     wait until STATUS shows an outcome, print it
//   text ID            print the text of control ID
//   tab N              show page N (0 Sync, 1 Config, 2 Account)
//   about              open Help > About and wait until it shows
//   rect [about]       print the main (or About) window as WxH+X+Y
//   close              close the client
//   click ID           press button ID (the first with that id: Config's Edit and Save)
//   type ID TEXT       set the text of control ID
//   windows            print how many top-level windows of the program exist
//   state              print what the service publishes, one NAME=TEXT a line
//   control CODE       send the service a control code (1 stops it)
//   message EXE ID S.. print event message ID of EXE's message table with insertions S
//   sleep MS           wait, keeping the Wine prefix alive meanwhile
//   box MS             wait for the client's message box, print its text, close it
//   chain-time DER MS  the chain engine's verdict on the certificate in
//                      file DER given MS for fetching, and how long it took
// --desktop reaches a client started inside a Wine virtual desktop
// (explorer /desktop=NAME,WxH ...): windows are only found on one's own.
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/resource_ids.h"
#include "app/service.h"
#include "net/trust.h"
#include "settings/registry.h"
#include "shell/about_text.h"
#include "util/product.h"

namespace {

std::wstring Unescape(const wchar_t* text) {
    std::wstring out;
    for (const wchar_t* p = text; *p; ++p) {
        if (*p == L'\\' && p[1] == L'r') { out += L'\r'; ++p; }
        else if (*p == L'\\' && p[1] == L'n') { out += L'\n'; ++p; }
        else if (*p == L'\\' && p[1] == L'\\') { out += L'\\'; ++p; }
        else out += *p;
    }
    return out;
}

HWND MainWindow() {
    return FindWindowW(ProductName, nullptr);
}

HWND FindControl(int id) {
    HWND main = MainWindow();
    if (main == nullptr) return nullptr;
    struct Search { int id; HWND found; } search{id, nullptr};
    EnumChildWindows(main, [](HWND child, LPARAM p) -> BOOL {
        Search* s = reinterpret_cast<Search*>(p);
        if (GetDlgCtrlID(child) == s->id) { s->found = child; return FALSE; }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// GetWindowText does not reach another process's edits; WM_GETTEXT does.
std::wstring ControlText(int id) {
    HWND control = FindControl(id);
    if (control == nullptr) return L"";
    wchar_t text[512] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &result);
    return text;
}

void Print(const std::wstring& text) {
    std::string narrow(text.begin(), text.end());
    std::printf("%s\n", narrow.c_str());
    std::fflush(stdout);
}

// Polls done every 100 ms for up to ms milliseconds.
template <typename Done>
bool WaitFor(DWORD ms, Done done) {
    DWORD deadline = GetTickCount() + ms;
    while (!done()) {
        if (static_cast<int>(GetTickCount() - deadline) > 0) return false;
        Sleep(100);
    }
    return true;
}

// The tab control tells its parent about a change of page only when the
// change comes from the user, and a notification's pointer cannot be sent
// from another process; so the arrow keys move it, as a user would.
bool ShowTab(int page) {
    HWND tab = FindWindowExW(MainWindow(), nullptr, WC_TABCONTROLW, nullptr);
    if (tab == nullptr || page < 0 || page >= SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0)) return false;
    for (int current; (current = static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0))) != page;) {
        PostMessageW(tab, WM_KEYDOWN, page > current ? VK_RIGHT : VK_LEFT, 0);
        if (!WaitFor(3000, [&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0) != current; })) return false;
    }
    return true;
}

HWND AboutWindow() {
    std::wstring title = AboutTitle();
    HWND about = FindWindowW(title.c_str(), nullptr);
    return about != nullptr && IsWindowVisible(about) ? about : nullptr;
}

bool UseDesktop(const wchar_t* name) {
    HDESK desktop = OpenDesktopW(name, 0, FALSE, GENERIC_ALL);
    return desktop != nullptr && SetThreadDesktop(desktop);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 2 && std::wcscmp(argv[1], L"--desktop") == 0) {
        if (!UseDesktop(argv[2])) {
            std::fprintf(stderr, "velloq_tool: no desktop %ls\n", argv[2]);
            return 1;
        }
        argc -= 2;
        argv += 2;
    }
    std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"seed" && argc == 4) {
        return RegWriteString(RegistryKeyPath, argv[2], Unescape(argv[3]).c_str()) ? 0 : 1;
    }
    if (command == L"text" && argc == 3) {
        Print(ControlText(_wtoi(argv[2])));
        return 0;
    }
    if (command == L"wait-status" && argc == 3) {
        std::wstring status;
        bool done = WaitFor(static_cast<DWORD>(_wtoi(argv[2])), [&] {
            status = ControlText(IDC_QUERY_STATUS);
            return !status.empty() && status != L"wait sync..." && status != L"wait query...";
        });
        Print(done ? status : L"(no outcome yet)");
        return done ? 0 : 1;
    }
    if (command == L"tab" && argc == 3) {
        return ShowTab(_wtoi(argv[2])) ? 0 : 1;
    }
    if (command == L"about" && argc == 2) {
        HWND main = MainWindow();
        if (main == nullptr) return 1;
        // Posted: the About window runs its own loop until it is closed.
        PostMessageW(main, WM_COMMAND, IDM_ABOUT, 0);
        return WaitFor(5000, [] { return AboutWindow() != nullptr; }) ? 0 : 1;
    }
    if (command == L"rect" && (argc == 2 || (argc == 3 && std::wcscmp(argv[2], L"about") == 0))) {
        HWND window = argc == 3 ? AboutWindow() : MainWindow();
        RECT r;
        if (window == nullptr || !GetWindowRect(window, &r)) return 1;
        std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
        return 0;
    }
    if (command == L"chain-time" && argc == 4) {
        std::ifstream file(argv[2], std::ios::binary);
        std::vector<std::string> der{std::string(std::istreambuf_iterator<char>(file), {})};
        auto start = std::chrono::steady_clock::now();
        bool trusted = WindowsTrustsChain(der, _wtoi(argv[3]));
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf("%s %.2f s\n", trusted ? "trusted" : "refused", took.count());
        return 0;
    }
    if (command == L"close") {
        HWND main = MainWindow();
        if (main != nullptr) PostMessageW(main, WM_CLOSE, 0, 0);
        return main != nullptr ? 0 : 1;
    }
    if (command == L"click" && argc == 3) {
        HWND button = FindControl(_wtoi(argv[2]));
        DWORD_PTR result = 0;
        return button != nullptr &&
                       SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result)
                   ? 0
                   : 1;
    }
    if (command == L"type" && argc == 4) {
        HWND control = FindControl(_wtoi(argv[2]));
        std::wstring text = Unescape(argv[3]);
        return control != nullptr && SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()))
                   ? 0
                   : 1;
    }
    if (command == L"windows" && argc == 2) {
        int n = 0;
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, ProductName, nullptr)) != nullptr;) ++n;
        std::printf("%d\n", n);
        return 0;
    }
    if (command == L"state" && argc == 2) {
        ServiceState s = ReadServiceState();
        for (const PublishedField& f : PublishedFields()) Print(std::wstring(f.name) + L"=" + s.texts[f.field]);
        std::printf("Running=%d\nIdle=%d\nNextSync=%lld\nNotices=%d\n", s.running, s.idle, s.nextSync, s.notices);
        return 0;
    }
    if (command == L"control" && argc == 3) {
        SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
        SC_HANDLE service = manager ? OpenServiceW(manager, ServiceName, SERVICE_STOP | SERVICE_USER_DEFINED_CONTROL)
                                    : nullptr;
        SERVICE_STATUS status;
        bool sent = service != nullptr && ControlService(service, _wtoi(argv[2]), &status);
        if (service) CloseServiceHandle(service);
        if (manager) CloseServiceHandle(manager);
        return sent ? 0 : 1;
    }
    if (command == L"message" && argc >= 4) {
        HMODULE exe = LoadLibraryExW(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE);
        std::vector<DWORD_PTR> strings;
        for (int i = 4; i < argc; ++i) strings.push_back(reinterpret_cast<DWORD_PTR>(argv[i]));
        wchar_t text[1024] = L"";
        DWORD n = exe ? FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, exe,
                                       static_cast<DWORD>(_wtoi(argv[3])), 0, text, 1024,
                                       reinterpret_cast<va_list*>(strings.data()))
                      : 0;
        Print(text);
        return n > 0 ? 0 : 1;
    }
    if (command == L"box" && argc == 3) {
        HWND box = nullptr;
        WaitFor(static_cast<DWORD>(_wtoi(argv[2])), [&] { return (box = FindWindowW(L"#32770", ProductName)) != nullptr; });
        if (box == nullptr) return 1;
        wchar_t text[1024] = L"";
        DWORD_PTR result = 0;
        SendMessageTimeoutW(GetDlgItem(box, 0xFFFF), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                            2000, &result);
        Print(text);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    if (command == L"sleep" && argc == 3) {
        Sleep(static_cast<DWORD>(_wtoi(argv[2])));
        return 0;
    }
    std::fprintf(stderr, "usage: velloq_tool [--desktop NAME] seed NAME TEXT | wait-status MS | text ID | tab N | "
                         "about | rect [about] | close | chain-time DER MS\n");
    return 2;
}
