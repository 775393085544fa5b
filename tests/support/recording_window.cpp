// Recording implementation of window_link.h.
#include "recording_window.h"

#include <chrono>
#include <mutex>
#include <thread>

namespace {
std::mutex guard;
std::vector<RecordedMessage> recorded;
std::function<std::intptr_t(const RecordedMessage&)> handler;

std::intptr_t Deliver(RecordedMessage m) {
    std::function<std::intptr_t(const RecordedMessage&)> h;
    {
        std::lock_guard<std::mutex> lock(guard);
        recorded.push_back(m);
        h = handler;
    }
    return h ? h(m) : 0;
}
}  // namespace

std::vector<RecordedMessage> RecordedMessages() {
    std::lock_guard<std::mutex> lock(guard);
    return recorded;
}

void ResetRecordedMessages() {
    std::lock_guard<std::mutex> lock(guard);
    recorded.clear();
    handler = nullptr;
}

void SetMessageHandler(std::function<std::intptr_t(const RecordedMessage&)> h) {
    std::lock_guard<std::mutex> lock(guard);
    handler = std::move(h);
}

std::intptr_t SendWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    return Deliver({window, message, wParam, lParam, std::wstring()});
}

void SendWindowText(WindowHandle control, const wchar_t* text) {
    Deliver({control, RECORDED_SETTEXT, 0, 0, text});
}

WindowHandle MakeRecordingWindow() {
    static std::uintptr_t next = 0x1000;
    return FakeWindow(next += 0x10);
}

bool WaitForMessage(unsigned message, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        for (const RecordedMessage& m : RecordedMessages())
            if (m.message == message) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
