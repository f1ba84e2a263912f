// Clocks of the host system.
#pragma once

#include <cstdint>

// Calendar time in whole seconds (seeds the random generator).
uint32_t calendarSeconds();
// Monotonic clock in microseconds since an arbitrary start; 64 bits, never wraps.
uint64_t monotonicMicroseconds();
// Monotonic clock in milliseconds, 32 bits (time stamps of input events).
uint32_t monotonicMilliseconds();
// Sleeps until the monotonic clock reads at least this (microseconds, as monotonicMicroseconds).
void sleepUntilMicroseconds(uint64_t deadline);
// CPU time the process has used so far (user and system, all threads), in seconds.
double processCpuSeconds();
