// Writes 8-bit RGBA PNG files with the system's libpng, which filters and
// compresses the rows (the 128-pixel icon takes a few kilobytes).
#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tools/artwork.h"

namespace {

uint8_t toByte(float v)
{
    return uint8_t(std::lround(clamp01(v) * 255.0f));
}

}  // namespace

bool writePng(const std::string& path, const Image& image, const std::vector<float>& alpha)
{
    std::vector<uint8_t> pixels;
    pixels.reserve(size_t(image.height) * size_t(image.width) * 4);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb& c = image.at(x, y);
            pixels.push_back(toByte(c.r));
            pixels.push_back(toByte(c.g));
            pixels.push_back(toByte(c.b));
            pixels.push_back(toByte(alpha.empty() ? 1.0f : alpha[size_t(y) * image.width + x]));
        }
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(image.width);
    png.height = png_uint_32(image.height);
    png.format = PNG_FORMAT_RGBA;
    int written = png_image_write_to_file(&png, path.c_str(), 0, pixels.data(), 0, nullptr);
    png_image_free(&png);
    return written != 0;
}
