// A minimal writer of 8-bit RGBA PNG files: the pixels go into "stored"
// deflate blocks, which every PNG reader takes, so no compressor is needed.
#include <cmath>
#include <cstdint>
#include <fstream>

#include "tools/artwork.h"

namespace {

void put32(std::string& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) out += char((v >> shift) & 0xFF);
}

uint32_t crc32(const std::string& bytes, size_t from)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = from; i < bytes.size(); ++i) {
        crc ^= uint8_t(bytes[i]);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

uint32_t adler32(const std::string& bytes)
{
    uint32_t a = 1, b = 0;
    for (char c : bytes) {
        a = (a + uint8_t(c)) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

// Length, type, data, and the CRC of type and data.
void putChunk(std::string& out, const char* type, const std::string& data)
{
    put32(out, uint32_t(data.size()));
    const size_t typeStart = out.size();
    out += type;
    out += data;
    put32(out, crc32(out, typeStart));
}

// A zlib stream of stored blocks (at most 65535 bytes each).
std::string storedZlib(const std::string& raw)
{
    std::string out = "\x78\x01";
    size_t at = 0;
    do {
        const size_t length = raw.size() - at < 65535 ? raw.size() - at : 65535;
        const bool last = at + length == raw.size();
        out += char(last ? 1 : 0);
        out += char(length & 0xFF);
        out += char(length >> 8);
        out += char(~length & 0xFF);
        out += char((~length >> 8) & 0xFF);
        out.append(raw, at, length);
        at += length;
    } while (at < raw.size());
    put32(out, adler32(raw));
    return out;
}

char toByte(float v)
{
    return char(std::lround(clamp01(v) * 255.0f));
}

}  // namespace

bool writePng(const std::string& path, const Image& image, const std::vector<float>& alpha)
{
    std::string raw;
    raw.reserve(size_t(image.height) * (1 + size_t(image.width) * 4));
    for (int y = 0; y < image.height; ++y) {
        raw += '\0';   // filter: none
        for (int x = 0; x < image.width; ++x) {
            const Rgb& c = image.at(x, y);
            raw += toByte(c.r);
            raw += toByte(c.g);
            raw += toByte(c.b);
            raw += toByte(alpha.empty() ? 1.0f : alpha[size_t(y) * image.width + x]);
        }
    }
    std::string header;
    put32(header, uint32_t(image.width));
    put32(header, uint32_t(image.height));
    header += std::string("\x08\x06\x00\x00\x00", 5);   // 8 bits, RGBA, deflate, no filter, no interlace

    std::string out = "\x89PNG\r\n\x1a\n";
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", storedZlib(raw));
    putChunk(out, "IEND", "");

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(out.data(), std::streamsize(out.size()));
    return bool(file);
}
