// Plays one fixed run on the client started beside it: Start, wait for the
// outcome, a few seconds of countdown, Stop, Save, About, close. With the
// argument "hide", the window spends three of those seconds in the tray.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HWND Main() {
    return FindWindowW(L"DynDNS Velloq Client", nullptr);
}

HWND Control(int id) {
    struct Search { int id; HWND found; } s{id, nullptr};
    EnumChildWindows(Main(), [](HWND child, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        if (GetDlgCtrlID(child) != s->id) return TRUE;
        s->found = child;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::wstring Text(int id) {
    wchar_t text[256] = L"";
    DWORD_PTR n = 0;
    SendMessageTimeoutW(Control(id), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &n);
    return text;
}

template <typename Done>
bool WaitFor(DWORD ms, Done done) {
    for (DWORD end = GetTickCount() + ms; !done(); Sleep(50))
        if (static_cast<int>(GetTickCount() - end) > 0) return false;
    return true;
}

void Command(int id) {
    PostMessageW(Main(), WM_COMMAND, id, 0);
}

}  // namespace

int main(int argc, wchar_t** argv) {
    bool hide = argc > 1 && std::wstring(argv[1]) == L"hide";
    if (!WaitFor(20000, [] { return Main() != nullptr && Control(222) != nullptr; })) return 1;
    Sleep(1500);
    Command(240);  // Start
    bool done = WaitFor(20000, [] {
        std::wstring s = Text(222);
        return !s.empty() && s != L"wait sync..." && s != L"wait query...";
    });
    std::printf("status %ls\n", Text(222).c_str());
    Sleep(3500);
    if (hide) {
        PostMessageW(Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        Sleep(3000);
        Command(311);  // the tray menu's Restore
        Sleep(2500);
    }
    Command(241);  // Stop
    Sleep(2000);
    Command(243);  // Edit
    Sleep(300);
    Command(244);  // Save
    Sleep(500);
    Command(305);  // About
    HWND about = nullptr;
    WaitFor(5000, [&] { return (about = FindWindowW(L"About \u25CF DynDNS Velloq Client", nullptr)) != nullptr; });
    Sleep(1000);
    if (about != nullptr) PostMessageW(about, WM_CLOSE, 0, 0);
    Sleep(1000);
    PostMessageW(Main(), WM_CLOSE, 0, 0);
    return done ? 0 : 2;
}
