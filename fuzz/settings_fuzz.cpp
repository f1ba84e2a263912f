// Any bytes as a settings file: parsing never overruns, yields values in
// their groups and pictures that name files, and what it yields saves and
// loads back unchanged.
#include <cstdlib>
#include <cstring>

#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Settings record;
    record.pictures[0] = "default.bmp";
    parseSettings(data, size, record);
    if (record.pictureCount < 0 || record.pictureCount > kMaxPictures) abort();
    // Every picture in use names a file: nothing leaves an empty path behind.
    for (int i = 0; i < record.pictureCount; ++i)
        if (record.pictures[i].empty()) abort();
    if (strnlen(record.password, sizeof record.password) >= sizeof record.password) abort();
    if (record.museumType < 0 || record.museumType >= kMuseumTypeCount) abort();
    if (record.displayScale != displayScaleFor(record.displaySizeId)) abort();

    std::string saved = serializeSettings(record);
    Settings again;
    parseSettings(reinterpret_cast<const uint8_t*>(saved.data()), saved.size(), again);
    if (serializeSettings(again) != saved) abort();
    return 0;
}
