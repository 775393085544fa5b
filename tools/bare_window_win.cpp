// The floor for the wake-up and memory figures (scripts/bench.sh): a bare
// window with the common controls the client uses, doing nothing, shown or
// (with -hidden) shown and hidden into nothing a second later, as the
// client's -min does.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_DESTROY) PostQuitMessage(0);
        if (m == WM_TIMER) {
            KillTimer(w, wp);
            ShowWindow(w, SW_SHOWMINIMIZED);
            ShowWindow(w, SW_HIDE);
        }
        return DefWindowProcW(w, m, wp, lp);
    };
    wc.hInstance = instance;
    wc.lpszClassName = L"VelloqBareWindow";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"bare", WS_OVERLAPPEDWINDOW, 0, 0, 329, 280, nullptr,
                                  nullptr, instance, nullptr);
    CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE, 5, 2, 228, 200, window, nullptr, instance, nullptr);
    CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    if (std::wcsstr(arguments, L"-hidden") != nullptr) SetTimer(window, 1, 1000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
