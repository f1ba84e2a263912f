#include "platform/memory.h"

#include <string.h>

void wipeMemory(void* bytes, size_t count)
{
    if (bytes && count) explicit_bzero(bytes, count);
}
