// Records what code on any thread sends to the main window and controls,
// in order, for native tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "util/window_link.h"

struct RecordedMessage {
    WindowHandle window;
    unsigned message;  // 0x000C (WM_SETTEXT) for SendWindowText
    std::uintptr_t wParam;
    std::intptr_t lParam;
    std::wstring text;  // the text of a WM_SETTEXT
};

const unsigned RECORDED_SETTEXT = 0x000C;

std::vector<RecordedMessage> RecordedMessages();
void ResetRecordedMessages();
// Called (outside the recorder's lock) for every message, like a window
// procedure would be; its result is what SendWindowMessage returns.
void SetMessageHandler(std::function<std::intptr_t(const RecordedMessage&)> handler);

// Fake handles for tests.
inline WindowHandle FakeWindow(std::uintptr_t n) {
    return reinterpret_cast<WindowHandle>(n);
}
