// Link-time stand-ins for the platform, for tests: an in-memory registry,
// a scripted resolver, a recording window, a settable clock and a worker
// starter that records instead of starting threads.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "util/clock.h"
#include "util/window.h"
#include "util/worker.h"

struct MemoryRegistryState {
    std::map<std::pair<std::wstring, std::wstring>, std::wstring> values;
    int writes = 0;
    bool failWrites = false;
};
MemoryRegistryState& MemoryRegistry();  // reset with MemoryRegistry() = {}
// The stored text, or null when the value is absent.
const std::wstring* StoredValue(const std::wstring& subkey, const std::wstring& name);

struct FakeResolverState {
    std::map<std::wstring, std::wstring> answers;  // name -> dotted address
    std::vector<std::wstring> lookups;             // names asked, in order
};
FakeResolverState& FakeResolver();

struct FakeTimeState {
    std::uint64_t ticks = 0;
    LocalClock local{2026, 12, 6, 9, 5, 7};
    std::vector<WorkerProcedure> started;  // workers asked for, in order
    bool failStart = false;
};
FakeTimeState& FakeTime();
void SetUnixTime(long long seconds);

// What was sent to windows and controls, in order, from any thread.
struct RecordedMessage {
    WindowHandle window;
    unsigned message;  // RECORDED_* for the seam's calls without a message
    std::uintptr_t wParam;
    std::intptr_t lParam;
    std::wstring text;  // of a WM_SETTEXT
};
const unsigned RECORDED_SETTEXT = 0x000C;    // WM_SETTEXT
const unsigned RECORDED_ENABLE = 0x000A;     // WM_ENABLE, wParam on/off
const unsigned RECORDED_SETTIMER = 0x10001;  // wParam id, lParam milliseconds
const unsigned RECORDED_KILLTIMER = 0x10002;
std::vector<RecordedMessage> RecordedMessages();
void ResetRecordedMessages();
// Called for every message like a window procedure; its result is what
// SendWindowMessage returns.
void SetMessageHandler(std::function<std::intptr_t(const RecordedMessage&)> handler);

// The workers' reports (sync/report.h, net/report.h) in order, from any
// thread: "address 192.0.2.7", "status GOOD", "check-IP end", "update end",
// "failure 515".
std::vector<std::wstring> WorkerReports();
void ClearWorkerReports();

inline WindowHandle FakeWindow(std::uintptr_t n) {
    return reinterpret_cast<WindowHandle>(n);
}
