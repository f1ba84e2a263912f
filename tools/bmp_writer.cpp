// A minimal writer of uncompressed 24-bit BMP files.
#include <cmath>
#include <cstdint>
#include <fstream>

#include "tools/artwork.h"

namespace {

void put16(std::string& out, uint32_t v)
{
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

void put32(std::string& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

uint8_t toByte(float v)
{
    return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0f));
}

}  // namespace

Rgb& Image::wrapped(int x, int y)
{
    x %= width;
    y %= height;
    if (x < 0) x += width;
    if (y < 0) y += height;
    return at(x, y);
}

bool writeBmp(const std::string& path, const Image& image)
{
    const uint32_t rowBytes = (uint32_t(image.width) * 3 + 3) & ~3u;
    const uint32_t pixelBytes = rowBytes * uint32_t(image.height);
    const uint32_t headerBytes = 14 + 40;

    std::string out;
    out.reserve(headerBytes + pixelBytes);
    out += "BM";
    put32(out, headerBytes + pixelBytes);
    put32(out, 0);
    put32(out, headerBytes);
    put32(out, 40);                       // BITMAPINFOHEADER
    put32(out, uint32_t(image.width));
    put32(out, uint32_t(image.height));   // positive: bottom row first
    put16(out, 1);                        // planes
    put16(out, 24);                       // bits per pixel
    put32(out, 0);                        // no compression
    put32(out, pixelBytes);
    put32(out, 2835);                     // 72 dots per inch
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);

    for (int y = image.height - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        for (int x = 0; x < image.width; ++x) {
            const Rgb& c = image.at(x, y);
            out += char(toByte(c.b));
            out += char(toByte(c.g));
            out += char(toByte(c.r));
        }
        out.append(rowBytes - (out.size() - rowStart), '\0');
    }

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(out.data(), std::streamsize(out.size()));
    return bool(file);
}
