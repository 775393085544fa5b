// The About window under Wine, linked with the program's code beside a
// stand-in main window: its controls, links and tooltips, and the nested
// loop's handling of quits. The links are looked at, never followed.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window_win.h"
#include "app/resource_ids.h"
#include "app/ui_handles.h"
#include "shell/about.h"
#include "shell/about_text.h"
#include "shell/about_win.h"
#include "shell/tray.h"

namespace {

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
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

// A stand-in main window: what the About window takes from the program's
// is the window itself and the Manual button's font. Its timer runs a step
// from inside whatever message loop is running.
const UINT_PTR kStepTimer = 77;
std::function<void()> pendingStep;

void RunInsideLoop(unsigned delayMs, std::function<void()> step) {
    pendingStep = std::move(step);
    SetTimer(MainWindow, kStepTimer, delayMs, nullptr);
}

void CreateMainWindow() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_TIMER && wParam == kStepTimer) {
            KillTimer(window, kStepTimer);
            std::function<void()> step = std::move(pendingStep);
            pendingStep = nullptr;
            if (step) step();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    };
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VelloqAboutTestWindow";
    RegisterClassExW(&wc);
    MainWindow = CreateWindowExW(0, wc.lpszClassName, ProductName, WS_OVERLAPPEDWINDOW, 50, 50, 329, 280, nullptr,
                                 nullptr, wc.hInstance, nullptr);
    ManualButton = CreateWindowExW(0, L"Button", L"Manual", 0x50000040, 242, 23, 70, 20, MainWindow,
                                   reinterpret_cast<HMENU>(IDC_MANUAL), wc.hInstance, nullptr);
    static HFONT font = CreateFontW(12, 6, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, L"Verdana");
    SendMessageW(ManualButton, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ShowWindow(MainWindow, SW_SHOW);
}

class AboutWin : public ::testing::Test {
protected:
    void SetUp() override {
        CreateMainWindow();
        ProgramInstance = GetModuleHandleW(nullptr);
        IdleIcon = LoadIconW(ProgramInstance, MAKEINTRESOURCEW(200));
        // A test that goes wrong must fail, not wait in the About loop forever.
        watchdog_ = SetTimer(nullptr, 0, 20000, [](HWND, UINT, UINT_PTR, DWORD) {
            ADD_FAILURE() << "About window still open after 20 s";
            if (HWND about = FindAbout()) PostMessageW(about, WM_CLOSE, 0, 0);
        });
    }
    void TearDown() override {
        KillTimer(nullptr, watchdog_);
        if (HWND about = FindAbout()) DestroyWindow(about);
        DestroyWindow(MainWindow);
        MainWindow = nullptr;
        // Drop the WM_QUIT nobody posted and anything else left for this thread.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    UINT_PTR watchdog_ = 0;
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
        std::wstring info = TextOf(controls[0]);
        EXPECT_NE(info.find(L"\nOS:\t\tWindows "), std::wstring::npos);
        std::size_t memory = info.find(L"\nMem Used:\t");
        ASSERT_NE(memory, std::wstring::npos);
        EXPECT_GT(std::wcstol(info.c_str() + memory + 11, nullptr, 10), 0) << "working set in bytes";
        EXPECT_EQ(TextOf(controls[1]), std::wstring(L"Donate (WebMoney): ") + DonationAccount);
        EXPECT_EQ(TextOf(controls[2]), L"Copy R-Purse");
        EXPECT_EQ(GetDlgCtrlID(controls[2]), 246);
        // Only a click copies, not another notification of the button.
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        SendMessageW(about, WM_COMMAND, MAKEWPARAM(246, BN_DOUBLECLICKED), 0);
        EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));

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

// Title, first line, OpenSSL lines, the copy button and hiding the main
// window are checked through the program end to end; here what only the
// window itself shows.
TEST_F(AboutWin, ClosingDestroysItsTooltipsAndItOpensAgain) {
    for (int round = 0; round < 2; ++round)
        WithAboutOpen([](HWND about) { EXPECT_EQ(Children(about).size(), 6u); });
    EXPECT_EQ(FindAbout(), nullptr) << "closed means destroyed";
    EXPECT_TRUE(ThreadTooltips().empty()) << "the tooltips go with the window";
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
