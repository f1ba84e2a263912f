// Any bytes as a BMP file: parsing never reads past the buffer or allocates
// what the bytes do not hold, a Bitmap it returns is consistent with itself,
// and its pixels convert to packed rows of the right length.
#include <cstdlib>

#include "kgl/bitmap.h"
#include "kgl/errors.h"

static void check(const uint8_t* data, size_t size, int loadPalette)
{
    Bitmap* bitmap = parseBitmap(data, size, loadPalette);
    int error = takeLastError();
    if (!bitmap) {
        if (error != kglInvalidBitmap && error != kglNoMemory) abort();
        return;
    }
    int bits = bitmap->bitsPerPixel;
    if (error != kglOk) abort();
    if (bitmap->width < 1 || bitmap->height < 1 ||
        int64_t(bitmap->bytesPerLine) * bitmap->height > kMaxBitmapBytes ||
        int64_t(bitmap->width) * bitmap->height > kMaxBitmapBytes)
        abort();
    if (bits != 1 && bits != 4 && bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32) abort();
    if (bitmap->bytesPerLine != bytesPerLineFor(bitmap->width, bits)) abort();
    if (size_t(bitmap->bytesPerLine) * size_t(bitmap->height) > size) abort();
    if ((bitmap->format != nullptr) != (bits > 8)) abort();
    if (bitmap->palette && (!loadPalette || bits > 8 || bitmap->paletteSize < 1 || bitmap->paletteSize > 256))
        abort();
    // Every pixel byte is read, so a row outside the allocation shows up.
    unsigned sum = 0;
    for (size_t i = 0; i < size_t(bitmap->bytesPerLine) * size_t(bitmap->height); i++) sum += bitmap->pixels[i];
    // Indices without their colour table have no colours to pack.
    std::vector<uint8_t> packed = packedBitmapBGR(bitmap);
    size_t expected = bits <= 8 && !bitmap->palette ? 0 : size_t(bitmap->width) * size_t(bitmap->height) * 3;
    if (packed.size() != expected) abort();
    if (sum == 0xFFFFFFFF) abort();  // keeps the sum from being optimised away
    freeBitmap(bitmap);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    check(data, size, 0);
    check(data, size, 1);
    return 0;
}
