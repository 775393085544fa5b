// Settable clock and recording worker starter.
#include "fake_clock.h"

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
