#include "platform/memory.h"

#include <string.h>
#include <sys/resource.h>

void wipeMemory(void* bytes, size_t count)
{
    if (bytes && count) explicit_bzero(bytes, count);
}

long peakMemoryKilobytes()
{
    struct rusage usage = {};
    return getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : 0;
}
