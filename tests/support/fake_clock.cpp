// Settable clock and recording worker starter.
#include <chrono>

#include "support/fakes.h"

FakeTimeState& FakeTime() {
    static FakeTimeState state;
    return state;
}

void SetUnixTime(long long seconds) {
    FakeTime().ticks = 116444736000000000ULL + static_cast<std::uint64_t>(seconds) * 10000000ULL;
}

std::uint64_t SystemTimeTicks() {
    return FakeTime().ticks;
}

std::uint64_t SteadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

LocalClock LocalTimeNow() {
    return FakeTime().local;
}

WorkerHandle StartWorkerThread(WorkerProcedure procedure) {
    FakeTime().started.push_back(procedure);
    return FakeTime().failStart ? nullptr : new int(0);
}

void CloseWorkerHandle(WorkerHandle handle) {
    delete static_cast<int*>(handle);
}
