// Windows clock.
#include "util/clock.h"

#include <windows.h>

std::uint64_t SystemTimeTicks() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

std::uint64_t SteadyMilliseconds() {
    return GetTickCount64();
}

LocalClock LocalTimeNow() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return LocalClock{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}
