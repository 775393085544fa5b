// The main window's handle and the creation of top-level windows.
#include "util/window.h"
#include "util/window_win.h"

WindowHandle MainWindow = nullptr;

HWND CreateTopWindow(HINSTANCE instance, WNDPROC procedure, HICON icon, const wchar_t* name, int x, int y,
                     int width, int height) {
    WNDCLASSEXW known;
    known.cbSize = sizeof known;
    if (!GetClassInfoExW(instance, name, &known)) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = procedure;
        wc.hInstance = instance;
        wc.hIcon = icon;
        wc.hIconSm = icon;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = name;
        if (!RegisterClassExW(&wc)) {
            MessageBeep(MB_ICONHAND);
            MessageBoxW(nullptr, L"Error create window.", L"FATAL ERROR", MB_ICONHAND);
            return nullptr;
        }
    }
    // DS_SETFONT has no meaning for a plain window; it is part of the
    // style the window has always been created with.
    const DWORD style = WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT;
    HWND window = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, name, name, style, x, y, width, height,
                                  nullptr, nullptr, instance, nullptr);
    if (window != nullptr && x == -1 && y == -1) {
        RECT desktop;
        GetWindowRect(GetDesktopWindow(), &desktop);
        MoveWindow(window, desktop.right / 2 - width / 2, desktop.bottom / 2 - height / 2, width, height, TRUE);
    }
    return window;
}
