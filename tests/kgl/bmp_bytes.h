// BMP files as the tests write them: the two headers, the colour data and
// the rows exactly as given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kgl/pixels.h"

struct BmpFile {
    int32_t width = 1, height = 1;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    uint32_t headerSize = 40;
    uint16_t planes = 1;
    std::vector<PaletteEntry> colours;   // the colour table, straight after the headers
    std::vector<uint32_t> masks;         // bit fields, straight after the headers
    std::string rows;                    // pixel bytes in file order, padding included

    std::string bytes() const
    {
        std::string out = "BM";
        auto put32 = [&out](uint32_t v) { for (int i = 0; i < 4; i++) out += char((v >> (8 * i)) & 0xFF); };
        auto put16 = [&out](uint16_t v) { out += char(v & 0xFF), out += char(v >> 8); };
        uint32_t colourBytes = uint32_t(colours.size() * 4 + masks.size() * 4);
        put32(uint32_t(54 + colourBytes + rows.size()));
        put32(0);
        put32(54 + colourBytes);
        put32(headerSize);
        put32(uint32_t(width));
        put32(uint32_t(height));
        put16(planes);
        put16(bits);
        put32(compression);
        put32(uint32_t(rows.size()));
        put32(2835);
        put32(2835);
        put32(coloursUsed);
        put32(0);
        for (const PaletteEntry& c : colours) out += char(c.blue), out += char(c.green), out += char(c.red), out += '\0';
        for (uint32_t m : masks) put32(m);
        return out + rows;
    }
};

// Bytes from a list of values.
inline std::string byteString(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values) out += char(v);
    return out;
}
