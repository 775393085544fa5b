// The recorder behind both recording windows: one ordered log of what was
// sent, safe to fill from any thread.
#include <mutex>

#include "recording_window.h"

namespace {
std::mutex guard;
std::vector<RecordedMessage> recorded;
std::function<std::intptr_t(const RecordedMessage&)> handler;
}  // namespace

std::intptr_t RecordMessage(const RecordedMessage& m) {
    std::function<std::intptr_t(const RecordedMessage&)> h;
    {
        std::lock_guard<std::mutex> lock(guard);
        recorded.push_back(m);
        h = handler;
    }
    return h ? h(m) : 0;
}

bool MessageRecorded(unsigned message) {
    std::lock_guard<std::mutex> lock(guard);
    for (const RecordedMessage& m : recorded)
        if (m.message == message) return true;
    return false;
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
