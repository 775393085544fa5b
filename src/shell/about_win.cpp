// The About window: its controls, tooltips, clipboard button and the
// nested message loop that keeps the main window's cycle running.
#include <windows.h>
#include <commctrl.h>
#include <lmcons.h>
#include <psapi.h>
#include <shellapi.h>

#include <openssl/crypto.h>
#include <openssl/opensslv.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "shell/about_text.h"
#include "shell/about_win.h"
#include "shell/tray.h"
#include "util/process.h"
#include "util/window.h"
#include "util/window_win.h"

namespace {

const int ABOUT_WIDTH = 355;
const int ABOUT_HEIGHT = 255;

wchar_t* CopyToHeap(const wchar_t* text) {
    std::size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    wchar_t* copy = static_cast<wchar_t*>(std::malloc(bytes));
    if (copy != nullptr) std::memcpy(copy, text, bytes);
    return copy;
}

struct AboutControl {
    const wchar_t* className;
    DWORD style;
    int x, y, width, height, id;
};

const DWORD CHILD = WS_CHILD | WS_VISIBLE;
const DWORD LINK = CHILD | WS_GROUP | WS_TABSTOP;

const AboutControl kControls[] = {
    {L"Static", CHILD, 10, 10, 330, 125, 0},
    {L"Static", CHILD, 10, 145, 230, 20, 0},
    {L"Button", CHILD | BS_ICON, 235, 142, 110, 20, IDC_COPY_PURSE},
    {L"SysLink", LINK, 143, 165, 60, 20, 0},
    {L"SysLink", LINK, 128, 185, 90, 20, 0},
    {L"SysLink", LINK, 126, 205, 92, 20, 0},
};
const int kControlCount = sizeof kControls / sizeof kControls[0];
const int kFirstLink = 3;

bool IsLinkControl(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    return _wcsicmp(name, L"SysLink") == 0;
}

}  // namespace

wchar_t* GetComputerNameText() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &size)) name[0] = L'\0';
    return CopyToHeap(name);
}

wchar_t* GetUserNameText() {
    wchar_t name[UNLEN + 1] = {};
    DWORD size = UNLEN + 1;
    if (!GetUserNameW(name, &size)) name[0] = L'\0';
    return CopyToHeap(name);
}

wchar_t* GetOsVersionText() {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExW(&version);
    return CopyToHeap(OsVersionText(static_cast<long>(version.dwMajorVersion),
                                    static_cast<long>(version.dwMinorVersion),
                                    static_cast<long>(version.dwBuildNumber)).c_str());
}

wchar_t* GetMemoryUsedText() {
    HANDLE process = GetCurrentProcess();
    if (process == nullptr) {
        ReportLastError(L"Get application memory");
        return CopyToHeap(L"");
    }
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return CopyToHeap(L"");
    return CopyToHeap(std::to_wstring(static_cast<long long>(counters.WorkingSetSize)).c_str());
}

bool CopyTextToClipboard(const wchar_t* text) {
    std::size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes);
    if (block == nullptr) return false;
    void* target = GlobalLock(block);
    if (target == nullptr) {
        GlobalFree(block);
        return false;
    }
    std::memcpy(target, text, bytes);
    GlobalUnlock(block);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    if (SetClipboardData(CF_UNICODETEXT, block) != nullptr) {
        CloseClipboard();
        return true;  // the clipboard owns the block now
    }
    CloseClipboard();
    GlobalFree(block);
    return false;
}

HWND AttachLinkTooltip(HWND control, const wchar_t* text) {
    HINSTANCE controlInstance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(control, GWLP_HINSTANCE));
    HWND tip = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_LAYERED, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON, 0, 0, 0, 0, nullptr,
                               nullptr, controlInstance, nullptr);
    // Looked up by name so the tip simply stays opaque where it is missing.
    using SetLayeredFunction = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    HMODULE user32 = GetModuleHandleW(L"USER32.DLL");
    FARPROC found = user32 ? GetProcAddress(user32, "SetLayeredWindowAttributes") : nullptr;
    if (found != nullptr)
        reinterpret_cast<SetLayeredFunction>(reinterpret_cast<void*>(found))(tip, 0, 150, LWA_ALPHA);

    TOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRANSPARENT;
    tool.hwnd = nullptr;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    GetClientRect(control, &tool.rect);
    tool.hinst = GetModuleHandleW(nullptr);
    tool.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 500);
    return tip;
}

LRESULT CALLBACK AboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            // Only a link's notification carries an NMLINK to read.
            if ((header->code == NM_CLICK || header->code == NM_RETURN) && IsLinkControl(header->hwndFrom)) {
                const NMLINK* link = reinterpret_cast<const NMLINK*>(lParam);
                if (link->item.iLink == 0)
                    ShellExecuteW(nullptr, L"open", link->item.szUrl, nullptr, nullptr, SW_SHOW);
            }
            return 0;
        }
        case WM_COMMAND:
            if (wParam == IDC_COPY_PURSE) CopyTextToClipboard(DonationAccount);
            return 0;
        case WM_CLOSE:
            ShowWindow(MainWindow, SW_SHOW);
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int ShowAboutWindow(HINSTANCE instance, HFONT font) {
    // The main window needs no links; the About window does.
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LINK_CLASS};
    InitCommonControlsEx(&classes);

    std::wstring title = AboutTitle();
    HWND about = CreateTopWindow(instance, AboutWindowProc, IdleIcon, title.c_str(), -1, -1,
                                 ABOUT_WIDTH, ABOUT_HEIGHT);
    // CreateTopWindow has told the user already; without a window there is
    // nothing to show and no loop to end, so the main window stays as it is.
    if (about == nullptr) return 0;

    std::wstring openSsl = OpenSslBlock(OPENSSL_VERSION_TEXT, OpenSSL_version(OPENSSL_VERSION));
    wchar_t* computer = GetComputerNameText();
    wchar_t* user = GetUserNameText();
    wchar_t* os = GetOsVersionText();
    wchar_t* memory = GetMemoryUsedText();
    std::wstring information = AboutInformation(openSsl, computer ? computer : L"", user ? user : L"",
                                                os ? os : L"", memory ? memory : L"");
    std::free(computer);
    std::free(user);
    std::free(os);
    std::free(memory);

    std::wstring texts[kControlCount] = {information, DonationLine(), L"Copy R-Purse"};
    for (int i = kFirstLink; i < kControlCount; ++i) texts[i] = AboutLinkAt(i - kFirstLink).markup;

    HINSTANCE aboutInstance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(about, GWLP_HINSTANCE));
    HWND controls[kControlCount] = {};
    for (int i = 0; i < kControlCount; ++i) {
        const AboutControl& c = kControls[i];
        controls[i] = CreateWindowExW(0, c.className, texts[i].c_str(), c.style, c.x, c.y, c.width, c.height,
                                      about, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), aboutInstance,
                                      nullptr);
        SendMessageW(controls[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }

    HWND tips[ABOUT_LINK_COUNT];
    std::wstring tipTexts[ABOUT_LINK_COUNT];
    for (int i = 0; i < ABOUT_LINK_COUNT; ++i) {
        tipTexts[i] = AboutLinkAt(i).tooltip;
        tips[i] = AttachLinkTooltip(controls[kFirstLink + i], tipTexts[i].c_str());
    }

    ShowWindow(about, SW_SHOW);
    UpdateWindow(about);
    ShowWindow(MainWindow, SW_HIDE);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        for (HWND tip : tips) SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // Quits are merged, so the one that ended this loop may also have been
    // meant for the loop outside: when the About window still lives, or the
    // main window went while we looped, hand it on, or that loop would wait
    // forever.
    if (IsWindow(about) || !IsWindow(MainWindow)) PostQuitMessage(static_cast<int>(message.wParam));
    // Tips have no owner and would outlive the window; each opening makes new ones.
    for (HWND tip : tips) DestroyWindow(tip);
    return 0;
}
