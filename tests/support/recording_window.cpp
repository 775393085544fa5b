// Recording implementation of the window seam: every call goes into one
// ordered log, safe to fill from any thread.
#include <chrono>
#include <mutex>
#include <thread>

#include "support/fakes.h"

WindowHandle MainWindow = nullptr;

namespace {
std::mutex guard;
std::vector<RecordedMessage> recorded;
std::function<std::intptr_t(const RecordedMessage&)> handler;

std::intptr_t Record(const RecordedMessage& m) {
    std::function<std::intptr_t(const RecordedMessage&)> h;
    {
        std::lock_guard<std::mutex> lock(guard);
        recorded.push_back(m);
        h = handler;
    }
    return h ? h(m) : 0;
}
}  // namespace

std::intptr_t SendWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    return Record({window, message, wParam, lParam, std::wstring()});
}

void SendWindowText(WindowHandle control, const wchar_t* text) {
    Record({control, RECORDED_SETTEXT, 0, 0, text});
}

void EnableControl(WindowHandle control, bool on) {
    Record({control, RECORDED_ENABLE, on ? 1u : 0u, 0, std::wstring()});
}

void StartTimer(WindowHandle window, unsigned id, unsigned milliseconds) {
    Record({window, RECORDED_SETTIMER, id, static_cast<std::intptr_t>(milliseconds), std::wstring()});
}

void StopTimer(WindowHandle window, unsigned id) {
    Record({window, RECORDED_KILLTIMER, id, 0, std::wstring()});
}

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

bool WaitForMessage(unsigned message, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        for (const RecordedMessage& m : RecordedMessages())
            if (m.message == message) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
