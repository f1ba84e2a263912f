// TIFF through libtiff, a band at a time. The common layouts (8-bit RGB or
// grey, in strips) are read scanline by scanline, which libtiff decodes as it
// goes even when the whole picture is one strip; every other layout (palette,
// CMYK, YCbCr, 16 bits, tiles, alpha) goes through libtiff's RGBA conversion
// one band of strips or tiles at a time.
#include "gallery/picture_decoding.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

struct TiffSource {
    const uint8_t* bytes;
    toff_t size, at;
};

tmsize_t readFromMemory(thandle_t handle, void* out, tmsize_t count)
{
    auto* source = static_cast<TiffSource*>(handle);
    if (count < 0) return -1;
    const toff_t left = source->at < source->size ? source->size - source->at : 0;
    const tmsize_t taken = static_cast<tmsize_t>(std::min<toff_t>(left, static_cast<toff_t>(count)));
    std::memcpy(out, source->bytes + source->at, static_cast<size_t>(taken));
    source->at += static_cast<toff_t>(taken);
    return taken;
}

tmsize_t refuseWrite(thandle_t, void*, tmsize_t) { return -1; }

toff_t seekInMemory(thandle_t handle, toff_t offset, int whence)
{
    auto* source = static_cast<TiffSource*>(handle);
    toff_t base = whence == SEEK_CUR ? source->at : whence == SEEK_END ? source->size : 0;
    if (offset > ~toff_t(0) - base) return static_cast<toff_t>(-1);
    source->at = base + offset;
    return source->at;
}

int closeNothing(thandle_t) { return 0; }
toff_t sizeOf(thandle_t handle) { return static_cast<TiffSource*>(handle)->size; }

// libtiff's complaints about a damaged file would go to standard error; the
// file's refusal says enough.
int quietly(TIFF*, void*, const char*, const char*, va_list) { return 1; }

int fail(std::string* why, const char* text)
{
    if (why) *why = text;
    return 1;
}

// 8-bit RGB or grey, no extra samples, interleaved in strips.
bool readsByScanline(TIFF* tiff)
{
    uint16_t bits = 0, samples = 0, photometric = 0, planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric)) return false;
    return !TIFFIsTiled(tiff) && bits == 8 && planar == PLANARCONFIG_CONTIG &&
           ((photometric == PHOTOMETRIC_RGB && samples == 3) || (photometric == PHOTOMETRIC_MINISBLACK && samples == 1));
}

bool readScanlines(TIFF* tiff, int width, int height, RowReduction& reduction)
{
    uint16_t samples = 1;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    const tmsize_t lineBytes = TIFFScanlineSize(tiff);
    if (lineBytes != static_cast<tmsize_t>(width) * samples) return false;
    std::vector<uint8_t> line(static_cast<size_t>(lineBytes)), rgb(static_cast<size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        if (TIFFReadScanline(tiff, line.data(), static_cast<uint32_t>(y), 0) < 0) return false;
        if (samples == 3) {
            addReducedRow(reduction, line.data());
            continue;
        }
        for (int x = 0; x < width; ++x) rgb[x * 3] = rgb[x * 3 + 1] = rgb[x * 3 + 2] = line[x];
        addReducedRow(reduction, rgb.data());
    }
    return true;
}

// Through the RGBA conversion, in bands as tall as a strip or a row of tiles
// (libtiff decodes a whole strip or tile for any of its rows). The pixels
// come in the file's own row order: the orientation is turned later, as for
// every format.
bool readBands(TIFF* tiff, int width, int height, const uint8_t matRgb[3], RowReduction& reduction)
{
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tiff, message)) return false;
    TIFFRGBAImage rgba;
    if (!TIFFRGBAImageBegin(&rgba, tiff, 0, message)) return false;
    std::unique_ptr<TIFFRGBAImage, void (*)(TIFFRGBAImage*)> end(&rgba, TIFFRGBAImageEnd);
    rgba.req_orientation = rgba.orientation;
    uint32_t band = 0;
    if (TIFFIsTiled(tiff))
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &band);
    else
        TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &band);
    band = std::max<uint32_t>(1, std::min<uint32_t>(band, static_cast<uint32_t>(height)));
    std::vector<uint32_t> raster(static_cast<size_t>(width) * band);
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * 4), rgb(static_cast<size_t>(width) * 3);
    for (uint32_t top = 0; top < static_cast<uint32_t>(height); top += band) {
        const uint32_t rows = std::min<uint32_t>(band, static_cast<uint32_t>(height) - top);
        rgba.row_offset = static_cast<int>(top);
        rgba.col_offset = 0;
        if (!TIFFRGBAImageGet(&rgba, raster.data(), static_cast<uint32_t>(width), rows)) return false;
        for (uint32_t y = 0; y < rows; ++y) {
            const uint32_t* row = &raster[static_cast<size_t>(y) * width];
            for (int x = 0; x < width; ++x) {
                pixels[x * 4] = static_cast<uint8_t>(TIFFGetR(row[x]));
                pixels[x * 4 + 1] = static_cast<uint8_t>(TIFFGetG(row[x]));
                pixels[x * 4 + 2] = static_cast<uint8_t>(TIFFGetB(row[x]));
                pixels[x * 4 + 3] = static_cast<uint8_t>(TIFFGetA(row[x]));
            }
            // The conversion multiplies the colours by alpha.
            compositeRowOverMat(pixels.data(), width, matRgb, rgb.data(), true);
            addReducedRow(reduction, rgb.data());
        }
    }
    return true;
}

} // namespace

int decodeTiff(const uint8_t* bytes, size_t size, int maxSide, const uint8_t matRgb[3], GalleryImage& image,
               std::string* why)
{
    image = GalleryImage();
    TiffSource source{bytes, size, 0};
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) return fail(why, "out of memory");
    TIFFOpenOptionsSetErrorHandlerExtR(options, quietly, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, quietly, nullptr);
    TIFF* tiff = TIFFClientOpenExt("picture", "rm", &source, readFromMemory, refuseWrite, seekInMemory, closeNothing,
                                   sizeOf, nullptr, nullptr, options);
    TIFFOpenOptionsFree(options);
    if (!tiff) return fail(why, "damaged TIFF data");
    std::unique_ptr<TIFF, void (*)(TIFF*)> close(tiff, TIFFClose);

    uint32_t width = 0, height = 0;
    if (!TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height) ||
        width < 1 || height < 1 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        return fail(why, "damaged TIFF data");
    if (static_cast<long long>(width) * height > kMaxPicturePixels) return fail(why, "larger than 100 megapixels");
    RowReduction reduction;
    startRowReduction(reduction, static_cast<int>(width), static_cast<int>(height), maxSide);
    const bool read = readsByScanline(tiff)
                          ? readScanlines(tiff, static_cast<int>(width), static_cast<int>(height), reduction)
                          : readBands(tiff, static_cast<int>(width), static_cast<int>(height), matRgb, reduction);
    if (!read) return fail(why, "damaged TIFF data");
    finishRowReduction(reduction, image);
    image.pictureWidth = static_cast<int>(width);
    image.pictureHeight = static_cast<int>(height);
    return 0;
}
