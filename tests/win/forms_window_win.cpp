// The stand-in main window of the forms and About tests.
#include "forms_window_win.h"

#include <utility>

#include "app/resource_ids.h"
#include "app/ui_handles.h"

namespace {

const wchar_t kClass[] = L"VelloqFormsTestWindow";
const UINT_PTR kStepTimer = 77;
std::function<void()> pendingStep;

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kStepTimer) {
        KillTimer(window, kStepTimer);
        std::function<void()> step = std::move(pendingStep);
        pendingStep = nullptr;
        if (step) step();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD ex, int y, int id) {
    return CreateWindowExW(ex, cls, text, style, 10, y, 100, 20, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

HFONT TestLabelFont() {
    static HFONT font = CreateFontW(12, 6, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, L"Verdana");
    return font;
}

struct BoxSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
    BoxSearch* search = reinterpret_cast<BoxSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t cls[32] = {}, title[64] = {};
    GetClassNameW(window, cls, 32);
    GetWindowTextW(window, title, 64);
    if (process == search->process && std::wstring(cls) == L"#32770" && std::wstring(title) == ProductName &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI CatchBox(void* param) {
    MessageBoxCatcher* state = static_cast<MessageBoxCatcher*>(param);
    for (int waited = 0; waited < state->timeoutMs; waited += 20) {
        BoxSearch search = {GetCurrentProcessId(), nullptr};
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            state->text = TextOf(GetDlgItem(search.found, 0xFFFF));  // the box's text control
            PostMessageW(search.found, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(20);
    }
    return 0;
}

}  // namespace

std::wstring TextOf(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void CreateFormsWindow(bool shown) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClass;
    RegisterClassExW(&wc);
    HWND main = CreateWindowExW(0, kClass, ProductName, WS_OVERLAPPEDWINDOW, 50, 50, 329, 280, nullptr, nullptr,
                                instance, nullptr);
    MainWindow = main;
    const DWORD button = 0x50000040, label = 0x50000000, edit = 0x50011080, domain = 0x50211044;
    ManualButton = Child(main, L"Button", L"Manual", button, 0, 23, IDC_MANUAL);
    StartButton = Child(main, L"Button", L"Start", button, 0, 48, IDC_START);
    StopButton = Child(main, L"Button", L"Stop", button, 0, 73, IDC_STOP);
    MinutesStatic = Child(main, L"Static", L"60", label, 0, 135, 0);
    SecondsStatic = Child(main, L"Static", L"0", label, 0, 175, 0);
    SendMessageW(ManualButton, WM_SETFONT, reinterpret_cast<WPARAM>(TestLabelFont()), TRUE);
    for (int page = 0; page < 3; ++page)
        TabPages[page] = Child(main, kClass, L"", WS_CHILD | WS_VISIBLE, WS_EX_CONTROLPARENT, 0, 0);
    for (int i = 0; i < 8; ++i) {
        HWND page = TabPages[i < 5 ? 1 : 2];
        SettingEdits[i] = Child(page, L"Edit", L"", i == 7 ? domain : edit, i == 7 ? 0x20004 : 0x200, 18 + 25 * i,
                                IDC_FIRST_SETTING + i);
    }
    for (int page = 0; page < 2; ++page) {
        EditButtons[page] = Child(TabPages[page + 1], L"Button", L"Edit", button, 0, 150, IDC_EDIT);
        SaveButtons[page] = Child(TabPages[page + 1], L"Button", L"Save", button, 0, 150, IDC_SAVE);
        ReloadButtons[page] = Child(TabPages[page + 1], L"Button", L"Reload", button, 0, 150, IDC_RELOAD);
    }
    // Showing a top-level window costs seconds under a display without a
    // window manager; only the tests that look at visibility ask for it.
    if (shown) ShowWindow(main, SW_SHOW);
}

void DestroyFormsWindow() {
    DestroyWindow(MainWindow);
    MainWindow = nullptr;
    // Drop the WM_QUIT nobody posted and anything else left for this thread.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

void RunInsideLoop(unsigned delayMs, std::function<void()> step) {
    pendingStep = std::move(step);
    SetTimer(MainWindow, kStepTimer, delayMs, nullptr);
}

MessageBoxCatcher::MessageBoxCatcher(int timeout) : timeoutMs(timeout) {
    thread_ = CreateThread(nullptr, 0, CatchBox, this, 0, nullptr);
}

MessageBoxCatcher::~MessageBoxCatcher() {
    Text();
    CloseHandle(thread_);
}

std::wstring MessageBoxCatcher::Text() {
    WaitForSingleObject(thread_, INFINITE);
    return text;
}
