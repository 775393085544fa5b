// POSIX clock, in the same units as the Windows one.
#include "util/clock.h"

#include <ctime>

std::uint64_t SystemTimeTicks() {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    const std::uint64_t kEpochDistance = 116444736000000000ULL;  // 1601 to 1970 in ticks
    return kEpochDistance + static_cast<std::uint64_t>(ts.tv_sec) * 10000000ULL +
           static_cast<std::uint64_t>(ts.tv_nsec) / 100;
}

std::uint64_t SteadyMilliseconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

LocalClock LocalTimeNow() {
    std::time_t now = std::time(nullptr);
    std::tm t;
    localtime_r(&now, &t);
    return LocalClock{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}
