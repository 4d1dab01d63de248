#include "tests/support/Today.h"

#include <cstdio>

namespace {

const ULONGLONG kTicksPerSecond = 10000000ULL;

ULONGLONG TicksOf(const SYSTEMTIME& time)
{
    FILETIME ft;
    SystemTimeToFileTime(&time, &ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    return t.QuadPart;
}

SYSTEMTIME TimeOf(ULONGLONG ticks)
{
    ULARGE_INTEGER t;
    t.QuadPart = ticks;
    FILETIME ft = {t.LowPart, t.HighPart};
    SYSTEMTIME time;
    FileTimeToSystemTime(&ft, &time);
    return time;
}

}  // namespace

SYSTEMTIME TodayForTheNext(DWORD seconds)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const DWORD secondsToMidnight = 86400 - (now.wHour * 3600u + now.wMinute * 60u + now.wSecond);
    if (secondsToMidnight <= seconds) {
        std::printf("midnight comes in %lu s: the test waits for the new day\n", secondsToMidnight);
        const DWORD end = GetTickCount() + (secondsToMidnight + 5) * 1000;
        SYSTEMTIME later = now;
        do {
            Sleep(200);
            GetLocalTime(&later);
        } while (later.wDay == now.wDay && later.wMonth == now.wMonth && later.wYear == now.wYear &&
                 static_cast<int>(end - GetTickCount()) > 0);
        now = later;
    }
    return now;
}

SYSTEMTIME DaysBefore(const SYSTEMTIME& day, int days)
{
    return TimeOf(TicksOf(day) - static_cast<ULONGLONG>(days) * 86400ULL * kTicksPerSecond);
}

std::string DayFolderName(const SYSTEMTIME& day)
{
    char name[16];
    std::snprintf(name, sizeof name, "%04d-%02d-%02d", day.wYear, day.wMonth, day.wDay);
    return name;
}
