// Helper for the demonstration script: seeds the client's registry and
// reads the running client's window from outside, the way a user would
// look at it.
//   velloq_tool seed NAME TEXT     store TEXT (\r\n and \\ understood)
//   velloq_tool wait-status MS     wait until STATUS shows an outcome, print it
//   velloq_tool text ID            print the text of control ID
//   velloq_tool close              close the client
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "app/resource_ids.h"
#include "util/product.h"
#include "settings/registry.h"

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

HWND FindControl(int id) {
    HWND main = FindWindowW(ProductName, nullptr);
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"seed" && argc == 4) {
        return RegWriteString(RegistryKeyPath, argv[2], Unescape(argv[3]).c_str()) ? 0 : 1;
    }
    if (command == L"text" && argc == 3) {
        Print(ControlText(_wtoi(argv[2])));
        return 0;
    }
    if (command == L"wait-status" && argc == 3) {
        DWORD deadline = GetTickCount() + static_cast<DWORD>(_wtoi(argv[2]));
        for (;;) {
            std::wstring status = ControlText(IDC_QUERY_STATUS);
            bool waiting = status.empty() || status == L"wait sync..." || status == L"wait query...";
            if (!waiting) {
                Print(status);
                return 0;
            }
            if (static_cast<int>(GetTickCount() - deadline) > 0) {
                Print(L"(no outcome yet)");
                return 1;
            }
            Sleep(100);
        }
    }
    if (command == L"close") {
        HWND main = FindWindowW(ProductName, nullptr);
        if (main != nullptr) PostMessageW(main, WM_CLOSE, 0, 0);
        return main != nullptr ? 0 : 1;
    }
    std::fprintf(stderr, "usage: velloq_tool seed NAME TEXT | wait-status MS | text ID | close\n");
    return 2;
}
