// Memory: wiping what held something secret (typed password characters),
// and the process's peak use (the benchmark).
#pragma once

#include <cstddef>

// Zeroes count bytes with stores the compiler may not drop, even when the
// memory is not read again.
void wipeMemory(void* bytes, size_t count);

// The largest resident memory the process has had so far, in kilobytes.
long peakMemoryKilobytes();
