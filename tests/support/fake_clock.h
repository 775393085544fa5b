// A clock the test sets, and a worker starter that records instead of
// starting threads.
#pragma once

#include <cstdint>
#include <vector>

#include "util/clock.h"
#include "util/worker.h"

struct FakeTimeState {
    std::uint64_t ticks = 0;
    LocalClock local{2026, 12, 6, 9, 5, 7};
    std::vector<WorkerProcedure> started;  // workers asked for, in order
    bool failStart = false;
};
FakeTimeState& FakeTime();

// Sets the fake clock to a Unix time in seconds.
void SetUnixTime(long long seconds);
