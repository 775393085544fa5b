// The About window under Wine: its texts, links and tooltips, the copy
// button, and the nested loop that hides and serves the main window. The
// links are looked at, never followed.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <openssl/crypto.h>
#include <openssl/opensslv.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "app/ui_handles.h"
#include "forms_window_win.h"
#include "shell/about.h"
#include "shell/about_text.h"
#include "shell/about_win.h"
#include "shell/tray.h"

namespace {

std::wstring Wide(const char* text) {
    return std::wstring(text, text + std::strlen(text));
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
    return children;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

HWND FindAbout() {
    return FindWindowW(AboutTitle().c_str(), nullptr);
}

// The clipboard's text, or "<none>" when it holds none.
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

// The thread's tooltips: each one's window, the control of its (only) tool
// and that tool's text.
struct Tooltip {
    HWND window;
    HWND control;
    std::wstring text;
};

std::vector<Tooltip> ThreadTooltips() {
    std::vector<Tooltip> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            if (ClassOf(window) != L"tooltips_class32") return TRUE;
            wchar_t text[256] = {};
            TOOLINFOW tool = {};
            tool.cbSize = sizeof tool;
            tool.lpszText = text;
            if (SendMessageW(window, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)))
                reinterpret_cast<std::vector<Tooltip>*>(param)->push_back(
                    {window, reinterpret_cast<HWND>(tool.uId), text});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

class AboutWin : public ::testing::Test {
protected:
    void SetUp() override {
        CreateFormsWindow(true);
        ProgramInstance = GetModuleHandleW(nullptr);
        IdleIcon = LoadIconW(ProgramInstance, MAKEINTRESOURCEW(200));
        // A test that goes wrong must fail, not wait in the About loop forever.
        stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        watchdog_ = CreateThread(
            nullptr, 0,
            [](void* stop) -> DWORD {
                while (WaitForSingleObject(stop, 20000) == WAIT_TIMEOUT) {
                    ADD_FAILURE() << "About window still open after 20 s";
                    if (HWND about = FindAbout()) PostMessageW(about, WM_CLOSE, 0, 0);
                }
                return 0;
            },
            stop_, 0, nullptr);
    }
    void TearDown() override {
        SetEvent(stop_);
        WaitForSingleObject(watchdog_, INFINITE);
        CloseHandle(watchdog_);
        CloseHandle(stop_);
        if (HWND about = FindAbout()) DestroyWindow(about);
        DestroyFormsWindow();
    }
    HANDLE stop_ = nullptr;
    HANDLE watchdog_ = nullptr;
    // Opens the About window, runs check inside its loop, then closes it
    // with the close box's message. Fails rather than hangs.
    void WithAboutOpen(std::function<void(HWND)> check) {
        bool ran = false;
        RunInsideLoop(200, [&] {
            ran = true;
            HWND about = FindAbout();
            EXPECT_NE(about, nullptr);
            if (about != nullptr) {
                check(about);
                PostMessageW(about, WM_CLOSE, 0, 0);
            }
        });
        EXPECT_EQ(ShowAboutWindow(), 0);
        EXPECT_TRUE(ran);
    }
};

TEST_F(AboutWin, TitleFirstLineAndOpenSslLines) {
    WithAboutOpen([](HWND about) {
        EXPECT_EQ(TextOf(about), L"About \u25CF DynDNS Velloq Client");
        std::vector<HWND> controls = Children(about);
        ASSERT_GE(controls.size(), 6u);
        std::wstring info = TextOf(controls[0]);
        EXPECT_EQ(info.substr(0, info.find(L'\n')), L"DynDNS Velloq Client v2.0.0.2");
        EXPECT_NE(info.find(L"Build with:\t" + Wide(OPENSSL_VERSION_TEXT) + L"\n"), std::wstring::npos);
        EXPECT_NE(info.find(L"Current use:\t" + Wide(OpenSSL_version(OPENSSL_VERSION)) + L"\n"), std::wstring::npos);
        EXPECT_NE(info.find(L"\nOS:\t\tWindows "), std::wstring::npos);
        std::size_t memory = info.find(L"\nMem Used:\t");
        ASSERT_NE(memory, std::wstring::npos);
        EXPECT_GT(std::wcstol(info.c_str() + memory + 11, nullptr, 10), 0) << "working set in bytes";
    });
}

TEST_F(AboutWin, ControlsLinksAndTooltips) {
    WithAboutOpen([](HWND about) {
        std::vector<HWND> controls = Children(about);
        ASSERT_EQ(controls.size(), 6u);
        const wchar_t* classes[] = {L"Static", L"Static", L"Button", L"SysLink", L"SysLink", L"SysLink"};
        HFONT labelFont = reinterpret_cast<HFONT>(SendMessageW(ManualButton, WM_GETFONT, 0, 0));
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(_wcsicmp(ClassOf(controls[i]).c_str(), classes[i]), 0) << i << " " << i;
            EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(controls[i], WM_GETFONT, 0, 0)), labelFont) << i;
        }
        EXPECT_EQ(TextOf(controls[1]), std::wstring(L"Donate (WebMoney): ") + DonationAccount);
        EXPECT_EQ(TextOf(controls[2]), L"Copy R-Purse");
        EXPECT_EQ(GetDlgCtrlID(controls[2]), 246);

        std::vector<Tooltip> tips = ThreadTooltips();
        for (int i = 0; i < ABOUT_LINK_COUNT; ++i) {
            HWND link = controls[3 + i];
            LITEM item = {};
            item.mask = LIF_ITEMINDEX | LIF_URL;
            item.iLink = 0;
            EXPECT_TRUE(SendMessageW(link, LM_GETITEM, 0, reinterpret_cast<LPARAM>(&item))) << i;
            std::wstring markup = AboutLinkAt(i).markup;
            std::size_t open = markup.find(L'"') + 1;
            EXPECT_EQ(std::wstring(item.szUrl), markup.substr(open, markup.find(L'"', open) - open)) << i;
            int tipsOfLink = 0;
            for (const Tooltip& tip : tips)
                if (tip.control == link) {
                    ++tipsOfLink;
                    EXPECT_EQ(tip.text, AboutLinkAt(i).tooltip) << i;
                    // A translucent balloon, wide enough for the newline to break it.
                    EXPECT_TRUE(GetWindowLongW(tip.window, GWL_STYLE) & TTS_BALLOON) << i;
                    EXPECT_EQ(SendMessageW(tip.window, TTM_GETMAXTIPWIDTH, 0, 0), 500) << i;
                    BYTE alpha = 0;
                    DWORD flags = 0;
                    EXPECT_TRUE(GetLayeredWindowAttributes(tip.window, nullptr, &alpha, &flags)) << i;
                    EXPECT_EQ(alpha, 150) << i;
                    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA)) << i;
                }
            EXPECT_EQ(tipsOfLink, 1) << "link " << i;
        }
    });
}

TEST_F(AboutWin, CopyButtonPutsExactlyTheDonationAccountOnTheClipboard) {
    WithAboutOpen([](HWND about) {
        EmptyTheClipboard();
        // Another notification of the same button does nothing.
        SendMessageW(about, WM_COMMAND, MAKEWPARAM(246, BN_DOUBLECLICKED), 0);
        EXPECT_EQ(ClipboardText(), L"<none>");
        HWND button = GetDlgItem(about, 246);
        SendMessageW(button, BM_CLICK, 0, 0);
        EXPECT_EQ(ClipboardText(), DonationAccount);
        SendMessageW(button, BM_CLICK, 0, 0);
        EXPECT_EQ(ClipboardText(), DonationAccount) << "a second click leaves the same single text";
    });
}

TEST_F(AboutWin, MainWindowHiddenWhileOpenAndShownAfterClose) {
    ASSERT_TRUE(IsWindowVisible(MainWindow));
    WithAboutOpen([](HWND about) {
        EXPECT_TRUE(IsWindowVisible(about));
        EXPECT_FALSE(IsWindowVisible(MainWindow));
    });
    EXPECT_TRUE(IsWindowVisible(MainWindow));
    EXPECT_EQ(FindAbout(), nullptr) << "closed means destroyed";
    EXPECT_TRUE(ThreadTooltips().empty()) << "the tooltips go with the window";
}

// What a worker thread sends to the main window while the About window is
// open is delivered, so a sync under way completes.
TEST_F(AboutWin, TheMainWindowIsServedWhileOpen) {
    static int delivered;
    static WNDPROC original;
    delivered = 0;
    original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(MainWindow, GWLP_WNDPROC));
    SetWindowLongPtrW(MainWindow, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
                          if (m == WM_SYNC_DONE) return ++delivered;
                          return CallWindowProcW(original, w, m, wp, lp);
                      }));
    HANDLE worker = nullptr;
    RunInsideLoop(200, [&] {
        worker = CreateThread(
            nullptr, 0, [](void*) -> DWORD { return static_cast<DWORD>(SendMessageW(MainWindow, WM_SYNC_DONE, 0, 0)); },
            nullptr, 0, nullptr);
        SetTimer(FindAbout(), 1, 500, [](HWND about, UINT, UINT_PTR, DWORD) {
            KillTimer(about, 1);
            PostMessageW(about, WM_CLOSE, 0, 0);
        });
    });
    ShowAboutWindow();
    ASSERT_NE(worker, nullptr);
    EXPECT_EQ(WaitForSingleObject(worker, 5000), WAIT_OBJECT_0);
    DWORD answer = 0;
    GetExitCodeThread(worker, &answer);
    CloseHandle(worker);
    EXPECT_EQ(delivered, 1);
    EXPECT_EQ(answer, 1u);
}

TEST_F(AboutWin, OpensAgainAfterClosing) {
    for (int round = 0; round < 2; ++round)
        WithAboutOpen([](HWND about) { EXPECT_EQ(Children(about).size(), 6u); });
}

// A quit from elsewhere ends the About loop and is handed on to the loop
// outside it; the About window stays.
TEST_F(AboutWin, ForeignQuitEndsTheLoopAndIsPassedOn) {
    RunInsideLoop(200, [] { PostQuitMessage(7); });
    EXPECT_EQ(ShowAboutWindow(), 0);
    EXPECT_NE(FindAbout(), nullptr);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
}

// Closing the About window and then, before its quit is read, the main
// window: both quits arrive as one, and the loop outside must still get it.
TEST_F(AboutWin, QuitOfAClosedMainWindowIsPassedOn) {
    RunInsideLoop(200, [] {
        PostMessageW(FindAbout(), WM_CLOSE, 0, 0);
        PostMessageW(MainWindow, WM_CLOSE, 0, 0);  // the test window's close destroys it
    });
    EXPECT_EQ(ShowAboutWindow(), 0);
    EXPECT_EQ(FindAbout(), nullptr);
    EXPECT_FALSE(IsWindow(MainWindow));
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
