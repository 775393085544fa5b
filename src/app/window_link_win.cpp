// Windows delivery of the messages in window_link.h.
#include "util/window_link.h"

#include <windows.h>

std::intptr_t SendWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    return SendMessageW(window, message, wParam, lParam);
}

void SendWindowText(WindowHandle control, const wchar_t* text) {
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
