// The memory (PACK) drivers: system-memory surfaces of 1, 4, 8, 15/16, 24
// and 32 bits per pixel.
#include <cstring>

#include "kgl/drivers.h"

#define MEMORY_IMAGE(name)                                                                                \
    {"Kestrel3D Driver:", name, name, "System-memory surfaces", kDriverVersionMajor, kDriverVersionMinor, \
     kDriverNone, {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}}

static const DriverImage memoryImages[] = {
    MEMORY_IMAGE("PACK1.DRV"),  MEMORY_IMAGE("PACK4.DRV"),  MEMORY_IMAGE("PACK8.DRV"),
    MEMORY_IMAGE("PACK16.DRV"), MEMORY_IMAGE("PACK24.DRV"), MEMORY_IMAGE("PACK32.DRV"),
};

const DriverImage* memoryDriverImage(const char* name)
{
    if (!name) return nullptr;
    for (const DriverImage& image : memoryImages)
        if (strcmp(image.name, name) == 0) return &image;
    return nullptr;
}
