// Recording implementation of window_link.h for the native tests: every
// message goes straight into the log.
#include "recording_window.h"

#include <chrono>
#include <thread>

std::intptr_t SendWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    return RecordMessage({window, message, wParam, lParam, std::wstring()});
}

void SendWindowText(WindowHandle control, const wchar_t* text) {
    RecordMessage({control, RECORDED_SETTEXT, 0, 0, text});
}

WindowHandle MakeRecordingWindow() {
    static std::uintptr_t next = 0x1000;
    return FakeWindow(next += 0x10);
}

bool WaitForMessage(unsigned message, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!MessageRecorded(message)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
