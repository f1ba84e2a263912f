#include "platform/clock.h"

#include <sys/resource.h>

#include <ctime>

uint32_t calendarSeconds()
{
    return static_cast<uint32_t>(time(nullptr));
}

uint64_t monotonicMicroseconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000u + static_cast<uint64_t>(now.tv_nsec) / 1000u;
}

uint32_t monotonicMilliseconds()
{
    return static_cast<uint32_t>(monotonicMicroseconds() / 1000u);
}

void sleepUntilMicroseconds(uint64_t deadline)
{
    timespec until;
    until.tv_sec = static_cast<time_t>(deadline / 1000000u);
    until.tv_nsec = static_cast<long>(deadline % 1000000u) * 1000;
    // A signal (SIGTERM to end the run) cuts the sleep short; the pass then goes on at once.
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr);
}

double processCpuSeconds()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
