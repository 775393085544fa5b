// The system clock, as the sync engine reads it.
#pragma once

#include <cstdint>

// 100-nanosecond ticks since 1601-01-01 00:00:00 UTC.
std::uint64_t SystemTimeTicks();

// Milliseconds of a clock that never jumps, for deadlines.
std::uint64_t SteadyMilliseconds();

struct LocalClock {
    int year, month, day, hour, minute, second;
};
LocalClock LocalTimeNow();
