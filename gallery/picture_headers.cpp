// What a picture file says about itself before it is decoded: its format,
// its size, and the EXIF orientation it was taken in.
#include "gallery/picture_decoding.h"

#include <algorithm>
#include <cstring>
#include <libexif/exif-data.h>
#include <string>

namespace {

// Bounds-safe little- and big-endian reads: 0 past the end.
unsigned get16(const uint8_t* b, size_t size, size_t at, bool little)
{
    if (at + 2 > size || at + 2 < at) return 0;
    return little ? b[at] | b[at + 1] << 8 : b[at] << 8 | b[at + 1];
}
unsigned long get32(const uint8_t* b, size_t size, size_t at, bool little)
{
    if (at + 4 > size || at + 4 < at) return 0;
    const unsigned long low = get16(b, size, at, little), high = get16(b, size, at + 2, little);
    return little ? low | high << 16 : low << 16 | high;
}
unsigned long get24(const uint8_t* b, size_t size, size_t at)
{
    return at + 3 > size ? 0 : b[at] | b[at + 1] << 8 | static_cast<unsigned long>(b[at + 2]) << 16;
}

bool startsWith(const uint8_t* bytes, size_t size, const char* magic, size_t length, size_t at = 0)
{
    return size >= at + length && std::memcmp(bytes + at, magic, length) == 0;
}

// A GIF decodes its first frame at the frame's own size, which may differ
// from the screen size of its header: the first image descriptor is found
// past the colour table, any extension blocks and stray bytes.
void readGifSize(const uint8_t* b, size_t size, PictureHeader& header)
{
    size_t at = 13;
    if (size > 10 && (b[10] & 0x80)) at += 3u << ((b[10] & 7) + 1);
    while (at < size) {
        if (b[at] == 0x2C) {
            const long long w = get16(b, size, at + 5, true), h = get16(b, size, at + 7, true);
            if (at + 10 > size) return;
            header.width = std::max(header.width, w);
            header.height = std::max(header.height, h);
            // The frame's data, after its own colour table and code size, is
            // sub-blocks up to an empty one; the decoder would show a frame
            // cut short with its missing part filled, so it is checked here.
            size_t data = at + 10;
            if (b[at + 9] & 0x80) data += 3u << ((b[at + 9] & 7) + 1);
            ++data;
            while (data < size && b[data] != 0) data += 1u + b[data];
            header.complete = data < size;
            return;
        }
        if (b[at] == 0x3B) return;  // the trailer: no frame at all
        if (b[at] != 0x21) {
            ++at;  // the decoder passes over stray bytes, and so does this
            continue;
        }
        at += 2;  // the extension's introducer and label, then its sub-blocks up to an empty one
        while (at < size && b[at] != 0) at += 1u + b[at];
        ++at;
    }
}

// Whether a JPEG's frame header, found past the segments before it, says
// progressive (SOF2, SOF6, SOF10, SOF14).
bool isProgressiveJpeg(const uint8_t* b, size_t size)
{
    size_t at = 2;
    while (at + 4 <= size && b[at] == 0xFF) {
        const uint8_t marker = b[at + 1];
        if (marker == 0xFF) {
            ++at;  // fill byte
            continue;
        }
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return (marker & 3) == 2;
        if (marker == 0xDA) return false;  // the scan began without a frame header
        at += 2 + get16(b, size, at + 2, false);
    }
    return false;
}

// A number the first directory of a TIFF file holds under tag (256 width,
// 257 length, 274 orientation), or 0.
unsigned long readTiffValue(const uint8_t* b, size_t size, unsigned tag)
{
    const bool little = b[0] == 'I';
    const unsigned long directory = get32(b, size, 4, little);
    const unsigned count = get16(b, size, directory, little);
    for (unsigned i = 0; i < count; ++i) {
        const size_t entry = directory + 2 + 12 * static_cast<size_t>(i);
        if (entry + 12 > size) return 0;
        if (get16(b, size, entry, little) != tag) continue;
        const unsigned type = get16(b, size, entry + 2, little);
        return type == 3 ? get16(b, size, entry + 8, little) : type == 4 ? get32(b, size, entry + 8, little) : 0;
    }
    return 0;
}

void readWebpSize(const uint8_t* b, size_t size, PictureHeader& header)
{
    if (startsWith(b, size, "VP8 ", 4, 12)) {
        header.width = get16(b, size, 26, true) & 0x3FFF;
        header.height = get16(b, size, 28, true) & 0x3FFF;
    } else if (startsWith(b, size, "VP8L", 4, 12) && size >= 25) {
        const unsigned long bits = get32(b, size, 21, true);
        header.width = (bits & 0x3FFF) + 1;
        header.height = ((bits >> 14) & 0x3FFF) + 1;
    } else if (startsWith(b, size, "VP8X", 4, 12) && size >= 30) {
        header.width = static_cast<long long>(get24(b, size, 24)) + 1;
        header.height = static_cast<long long>(get24(b, size, 27)) + 1;
    }
}

// The data of the first chunk of a PNG or a WebP file whose type is
// pngType or webpType (the EXIF block is found after the pixel data too,
// where ImageMagick writes it), or empty.
std::string findChunk(const uint8_t* b, size_t size, PictureFormat format, const char* pngType,
                      const char* webpType)
{
    const bool png = format == PictureFormat::Png;
    size_t at = png ? 8 : 12;
    while (at + 8 <= size) {
        const unsigned long length = png ? get32(b, size, at, false) : get32(b, size, at + 4, true);
        const uint8_t* type = b + (png ? at + 4 : at);
        const size_t data = at + 8;
        if (length > size - data) return {};
        if (std::memcmp(type, png ? pngType : webpType, 4) == 0)
            return std::string(reinterpret_cast<const char*>(b + data), length);
        if (png && std::memcmp(type, "IEND", 4) == 0) return {};
        at = data + length + (png ? 4 : length & 1);
    }
    return {};
}

// An ASCII entry's text, up to its first zero.
std::string asciiEntry(ExifEntry* entry)
{
    if (!entry || entry->format != EXIF_FORMAT_ASCII || !entry->data) return {};
    const char* text = reinterpret_cast<const char*>(entry->data);
    size_t length = 0;
    while (length < entry->size && text[length] != 0) ++length;
    return std::string(text, length);
}

void readExif(const uint8_t* block, size_t size, PictureMetadata& metadata)
{
    ExifData* data = exif_data_new();
    if (!data) return;
    // Read as it is: no repairs, no maker notes.
    exif_data_unset_option(data, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_set_option(data, EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
    exif_data_load_data(data, block, static_cast<unsigned int>(std::min<size_t>(size, 0xFFFFFFFFu)));
    ExifEntry* entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (entry && entry->format == EXIF_FORMAT_SHORT && entry->components >= 1 && entry->size >= 2 && entry->data) {
        const int value = exif_get_short(entry->data, exif_data_get_byte_order(data));
        if (value >= 1 && value <= 8) metadata.orientation = value;
    }
    metadata.description = asciiEntry(exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_IMAGE_DESCRIPTION));
    metadata.dateTaken = asciiEntry(exif_content_get_entry(data->ifd[EXIF_IFD_EXIF], EXIF_TAG_DATE_TIME_ORIGINAL));
    exif_data_unref(data);
}

// A TIFF directory entry's bytes: where they lie and how many (only when they
// lie within the file), or 0 bytes.
size_t tiffEntryData(const uint8_t* b, size_t size, unsigned long directory, unsigned tag, size_t* at)
{
    const bool little = b[0] == 'I';
    const unsigned count = get16(b, size, directory, little);
    for (unsigned i = 0; i < count; ++i) {
        const size_t entry = directory + 2 + 12 * static_cast<size_t>(i);
        if (entry + 12 > size) return 0;
        if (get16(b, size, entry, little) != tag) continue;
        const unsigned type = get16(b, size, entry + 2, little);
        const unsigned long values = get32(b, size, entry + 4, little);
        // ASCII, BYTE and UNDEFINED: one byte a value.
        if ((type != 1 && type != 2 && type != 7) || values > size) return 0;
        *at = values <= 4 ? entry + 8 : get32(b, size, entry + 8, little);
        return *at <= size && values <= size - *at ? values : 0;
    }
    return 0;
}

std::string tiffText(const uint8_t* b, size_t size, unsigned long directory, unsigned tag)
{
    size_t at = 0;
    const size_t length = tiffEntryData(b, size, directory, tag, &at);
    std::string text(reinterpret_cast<const char*>(b + at), length);
    return text.substr(0, text.find('\0'));
}

// A TIFF file's own fields: its first directory, and the EXIF directory it points to.
void readTiffMetadata(const uint8_t* b, size_t size, PictureMetadata& metadata)
{
    if (size < 8) return;
    const unsigned long value = readTiffValue(b, size, 274);
    if (value >= 1 && value <= 8) metadata.orientation = static_cast<int>(value);
    const unsigned long first = get32(b, size, 4, b[0] == 'I');
    metadata.description = tiffText(b, size, first, 270);
    const unsigned long exif = readTiffValue(b, size, 34665);
    if (exif > 0 && exif < size) metadata.dateTaken = tiffText(b, size, exif, 36867);
    metadata.xmp = tiffText(b, size, first, 700);
}

// A JPEG's XMP packet: an APP1 segment that begins with its namespace.
std::string jpegXmp(const uint8_t* b, size_t size)
{
    static const char kNamespace[] = "http://ns.adobe.com/xap/1.0/";
    size_t at = 2;
    while (at + 4 <= size && b[at] == 0xFF) {
        const uint8_t marker = b[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) break;   // the pixel data: no metadata past it
        const size_t length = get16(b, size, at + 2, false);
        if (length < 2 || at + 2 + length > size) break;
        if (marker == 0xE1 && startsWith(b, size, kNamespace, sizeof kNamespace, at + 4))
            return std::string(reinterpret_cast<const char*>(b + at + 4 + sizeof kNamespace), length - 2 - sizeof kNamespace);
        at += 2 + length;
    }
    return {};
}

// A PNG's XMP packet: the international text chunk with the XMP keyword,
// uncompressed (as every XMP writer leaves it).
std::string pngXmp(const uint8_t* b, size_t size)
{
    size_t at = 8;
    static const char kKeyword[] = "XML:com.adobe.xmp";
    while (at + 12 <= size) {
        const unsigned long length = get32(b, size, at, false);
        if (length > size - at - 12) return {};
        const size_t data = at + 8;
        if (std::memcmp(b + at + 4, "iTXt", 4) == 0 && startsWith(b, size, kKeyword, sizeof kKeyword, data) &&
            length > sizeof kKeyword + 2 && b[data + sizeof kKeyword] == 0) {
            // Past the keyword, the compression flag and method, then the
            // language and the translated keyword, each ended by a zero.
            std::string rest(reinterpret_cast<const char*>(b + data + sizeof kKeyword + 2), length - sizeof kKeyword - 2);
            const size_t language = rest.find('\0');
            const size_t translated = language == std::string::npos ? language : rest.find('\0', language + 1);
            return translated == std::string::npos ? std::string() : rest.substr(translated + 1);
        }
        if (std::memcmp(b + at + 4, "IEND", 4) == 0) return {};
        at += 12 + length;
    }
    return {};
}

// True when every chunk of a PNG lies within the file, up to its "IEND".
// The decoder's reader does not notice a short read: a chunk that claims
// two gigabytes past the end of a damaged file would have it check sums over
// stale bytes for minutes.
bool pngChunksFit(const uint8_t* b, size_t size)
{
    size_t at = 8;
    while (at + 12 <= size) {
        const unsigned long length = get32(b, size, at, false);
        if (length > 0x7FFFFFFFul || length > size - at - 12) return false;
        if (std::memcmp(b + at + 4, "IEND", 4) == 0) return true;
        at += 12 + length;
    }
    return false;
}

} // namespace

const char* pictureFormatName(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Jpeg: return "JPEG";
    case PictureFormat::Png: return "PNG";
    case PictureFormat::Webp: return "WebP";
    case PictureFormat::Gif: return "GIF";
    case PictureFormat::Tiff: return "TIFF";
    case PictureFormat::Bmp: return "BMP";
    default: return "picture";
    }
}

PictureHeader readPictureHeader(const uint8_t* b, size_t size)
{
    PictureHeader header;
    if (startsWith(b, size, "\xFF\xD8\xFF", 3)) {
        header.format = PictureFormat::Jpeg;
        header.progressive = isProgressiveJpeg(b, size);
    } else if (startsWith(b, size, "\x89PNG\r\n\x1A\n", 8)) {
        header.format = PictureFormat::Png;
        if (startsWith(b, size, "IHDR", 4, 12)) {
            header.width = get32(b, size, 16, false);
            header.height = get32(b, size, 20, false);
        }
        header.complete = pngChunksFit(b, size);
    } else if (startsWith(b, size, "RIFF", 4) && startsWith(b, size, "WEBP", 4, 8)) {
        header.format = PictureFormat::Webp;
        readWebpSize(b, size, header);
    } else if (startsWith(b, size, "GIF87a", 6) || startsWith(b, size, "GIF89a", 6)) {
        header.format = PictureFormat::Gif;
        header.width = get16(b, size, 6, true);
        header.height = get16(b, size, 8, true);
        readGifSize(b, size, header);
    } else if (startsWith(b, size, "II*\0", 4) || startsWith(b, size, "MM\0*", 4)) {
        header.format = PictureFormat::Tiff;
        header.width = static_cast<long long>(readTiffValue(b, size, 256));
        header.height = static_cast<long long>(readTiffValue(b, size, 257));
    } else if (startsWith(b, size, "BM", 2) && size >= 26) {
        header.format = PictureFormat::Bmp;
        if (get32(b, size, 14, true) == 12) {
            header.width = get16(b, size, 18, true);
            header.height = get16(b, size, 20, true);
        } else {
            // Signed: a negative height is a picture stored top row first.
            header.width = static_cast<int32_t>(get32(b, size, 18, true));
            header.height = static_cast<int32_t>(get32(b, size, 22, true));
            if (header.height < 0) header.height = -header.height;
            if (header.width < 0) header.width = 0;
        }
    }
    return header;
}

PictureMetadata readPictureMetadata(const uint8_t* bytes, size_t size, PictureFormat format)
{
    PictureMetadata metadata;
    switch (format) {
    case PictureFormat::Jpeg:
        readExif(bytes, size, metadata);
        metadata.xmp = jpegXmp(bytes, size);
        break;
    case PictureFormat::Png:
    case PictureFormat::Webp: {
        std::string block = findChunk(bytes, size, format, "eXIf", "EXIF");
        if (!block.empty()) {
            if (block.compare(0, 6, std::string("Exif\0\0", 6)) != 0) block.insert(0, std::string("Exif\0\0", 6));
            readExif(reinterpret_cast<const uint8_t*>(block.data()), block.size(), metadata);
        }
        metadata.xmp = format == PictureFormat::Png ? pngXmp(bytes, size) : findChunk(bytes, size, format, "XMP ", "XMP ");
        break;
    }
    case PictureFormat::Tiff:
        readTiffMetadata(bytes, size, metadata);
        break;
    default:
        break;
    }
    return metadata;
}

int readPictureOrientation(const uint8_t* bytes, size_t size, PictureFormat format)
{
    return readPictureMetadata(bytes, size, format).orientation;
}
