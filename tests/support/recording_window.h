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

// Adds a message to the log and calls the handler; what the handler
// returns is the message's result.
std::intptr_t RecordMessage(const RecordedMessage& m);
bool MessageRecorded(unsigned message);

std::vector<RecordedMessage> RecordedMessages();
void ResetRecordedMessages();
// Called (outside the recorder's lock) for every message, like a window
// procedure would be; its result is what SendWindowMessage returns.
void SetMessageHandler(std::function<std::intptr_t(const RecordedMessage&)> handler);

// A window whose messages are recorded: a plain token natively, a hidden
// window of the calling thread on Windows.
WindowHandle MakeRecordingWindow();

// Waits (pumping the thread's messages where there are any) until a
// message of that number has been recorded; false after timeoutMs.
bool WaitForMessage(unsigned message, int timeoutMs);

// Fake handles for tests.
inline WindowHandle FakeWindow(std::uintptr_t n) {
    return reinterpret_cast<WindowHandle>(n);
}
