// Memory that held something secret (typed password characters).
#pragma once

#include <cstddef>

// Zeroes count bytes with stores the compiler may not drop, even when the
// memory is not read again.
void wipeMemory(void* bytes, size_t count);
