// PNG through libpng, one row at a time: every row is laid over the mat and
// goes straight into the reduction, so a 5120 x 2880 photo never stands in
// memory at its full size.
#include "gallery/picture_decoding.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace {

struct PngSource {
    const uint8_t* bytes;
    size_t size, at;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->size - source->at) png_error(png, "cut short");
    std::memcpy(out, source->bytes + source->at, count);
    source->at += count;
}

// libpng's errors come back through the jump; its warnings (a damaged
// ancillary chunk, a stray gamma) change nothing we show.
void onError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}
void onWarning(png_structp, png_const_charp) {}

// What the reading keeps across libpng's jump: set before it, so nothing of
// it is lost or left half-made when a damaged row jumps back.
struct PngRead {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<uint8_t> rgba, rgb;   // one row, or the whole picture when it is interlaced
    RowReduction reduction;
};

int fail(std::string* why, const char* text)
{
    if (why) *why = text;
    return 1;
}

// The rows of the picture in read, reduced into reduction; false when the
// data is damaged. Nothing here owns memory that the jump could leak.
bool readRows(PngRead& read, PngSource& source, int maxSide, const uint8_t matRgb[3], std::string* why)
{
    if (setjmp(png_jmpbuf(read.png))) return fail(why, "damaged PNG data"), false;
    png_set_read_fn(read.png, &source, readFromMemory);
    png_read_info(read.png, read.info);
    const png_uint_32 width = png_get_image_width(read.png, read.info);
    const png_uint_32 height = png_get_image_height(read.png, read.info);
    if (width < 1 || height < 1) return fail(why, "damaged PNG data"), false;
    if (static_cast<long long>(width) * height > kMaxPicturePixels) return fail(why, "larger than 100 megapixels"), false;
    // Every layout to 8-bit RGBA: palettes and grey expanded, 16 bits scaled,
    // transparency keys made alpha, an opaque picture given full alpha.
    png_set_expand(read.png);
    png_set_scale_16(read.png);
    png_set_gray_to_rgb(read.png);
    png_set_add_alpha(read.png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(read.png);
    png_read_update_info(read.png, read.info);
    if (png_get_rowbytes(read.png, read.info) != static_cast<size_t>(width) * 4)
        return fail(why, "damaged PNG data"), false;

    const size_t rowBytes = static_cast<size_t>(width) * 4;
    startRowReduction(read.reduction, static_cast<int>(width), static_cast<int>(height), maxSide);
    read.rgb.resize(static_cast<size_t>(width) * 3);
    if (passes == 1) {
        read.rgba.resize(rowBytes);
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(read.png, read.rgba.data(), nullptr);
            compositeRowOverMat(read.rgba.data(), static_cast<int>(width), matRgb, read.rgb.data());
            addReducedRow(read.reduction, read.rgb.data());
        }
        return true;
    }
    // Each pass of an interlaced picture fills in pixels of rows the earlier
    // passes began: all of them are kept until the last pass.
    read.rgba.resize(rowBytes * height);
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y) png_read_row(read.png, &read.rgba[rowBytes * y], nullptr);
    for (png_uint_32 y = 0; y < height; ++y) {
        compositeRowOverMat(&read.rgba[rowBytes * y], static_cast<int>(width), matRgb, read.rgb.data());
        addReducedRow(read.reduction, read.rgb.data());
    }
    return true;
}

} // namespace

int decodePng(const uint8_t* bytes, size_t size, int maxSide, const uint8_t matRgb[3], GalleryImage& image,
              std::string* why)
{
    image = GalleryImage();
    PngRead read;
    read.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    if (read.png) read.info = png_create_info_struct(read.png);
    if (!read.png || !read.info) {
        png_destroy_read_struct(&read.png, nullptr, nullptr);
        return fail(why, "out of memory");
    }
    PngSource source{bytes, size, 0};
    const bool read_ = readRows(read, source, maxSide, matRgb, why);
    png_destroy_read_struct(&read.png, &read.info, nullptr);
    if (!read_) return 1;
    const int width = read.reduction.sourceWidth, height = read.reduction.sourceHeight;
    finishRowReduction(read.reduction, image);
    image.pictureWidth = width;
    image.pictureHeight = height;
    return 0;
}
