// File lookup and BMP files: reading a file's bytes into a Bitmap, the header
// check, and tightly packed rows for consumers. A file's header is untrusted:
// every size it declares is checked against the cap and against the bytes
// that are really there before anything is allocated or read.
#include "kgl/bitmap.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "kgl/errors.h"
#include "platform/files.h"

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kHeadersSize = kFileHeaderSize + 40;

// The root path of file lookup: set by KGL_init, kept until the next KGL_init.
static std::string rootPath;

void setFileRootPath(const char* path)
{
    rootPath = path ? path : "";
}

const char* fileRootPath()
{
    return rootPath.c_str();
}

// A directory followed by the separator the stored names use.
static std::string withSeparator(const std::string& directory)
{
    if (directory.empty() || directory.back() == '\\' || directory.back() == '/') return directory;
    return directory + "\\";
}

FILE* findFile(const char* subdirectory, const char* name, const char* mode)
{
    if (!name || !mode) return nullptr;
    std::string subdir = subdirectory ? subdirectory : "";
    std::string candidates[3];
    int count = 0;
    candidates[count++] = name;
    candidates[count++] = withSeparator(rootPath) + subdir + name;
    if (const char* kglRoot = getenv("KGL_ROOT")) candidates[count++] = withSeparator(kglRoot) + subdir + name;
    for (int i = 0; i < count; i++) {
        // A probe for reading, so that a writing mode never creates a file
        // under a candidate that is not the one found; a plain read keeps it.
        FILE* probe = openRegularFile(candidates[i].c_str());
        if (!probe) continue;
        if (strcmp(mode, "rb") == 0 || strcmp(mode, "r") == 0) return probe;
        fclose(probe);
        return openFile(candidates[i].c_str(), mode);
    }
    return nullptr;
}

// ---- The headers -------------------------------------------------------------------

static uint32_t read32(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

// Where a file's parts lie and how its pixels are to be recorded.
struct BitmapLayout {
    int32_t width, height;      // height made positive
    bool bottomUp;              // a positive height in the file: last row first
    int fileBits;               // the depth the file declares
    bool bitFields;             // compression 3 above 8 bits: three masks follow the headers
    int colourCount;            // colour-table entries, depths up to 8
    int64_t bytesPerLine;
    size_t tableOffset;         // colour table or masks, straight after the headers
    size_t pixelOffset;         // the rows, straight after the colour data
    size_t totalSize;           // the file's bytes that are read
};

// Reads the two headers (the first 54 bytes). Only the low byte of the
// header size, the plane count, the depth and the compression count.
static int readHeaders(const uint8_t* bytes, size_t size, BitmapLayout* layout)
{
    if (size < kFileHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') return kglInvalidBitmap;
    if (size < kHeadersSize) return kglInvalidBitmap;
    const uint8_t* info = bytes + kFileHeaderSize;
    int depth = info[14], compression = info[16];
    if (info[0] != 40 || info[12] != 1) return kglInvalidBitmap;
    if (depth > 8 && compression != 0 && compression != 3) return kglInvalidBitmap;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32)
        return kglInvalidBitmap;
    int64_t width = int32_t(read32(info + 4)), height = int32_t(read32(info + 8));
    if (height < 0) height = -height;
    if (width < 1 || height < 1 || width > kMaxBitmapBytes || height > kMaxBitmapBytes ||
        width * height > kMaxBitmapBytes || bytesPerLineFor(width, depth) * height > kMaxBitmapBytes)
        return kglInvalidBitmap;
    height = int32_t(read32(info + 8));
    layout->width = int32_t(width);
    layout->height = int32_t(height < 0 ? -height : height);
    layout->bottomUp = height > 0;
    layout->fileBits = depth;
    layout->bitFields = depth > 8 && compression == 3;
    layout->colourCount = 0;
    size_t tableBytes = 0;
    if (depth <= 8) {
        uint32_t used = read32(info + 32);
        if (used > 256) return kglInvalidBitmap;
        layout->colourCount = used ? int(used) : 1 << depth;
        tableBytes = size_t(layout->colourCount) * 4;
    } else if (layout->bitFields) {
        tableBytes = 12;
    }
    layout->bytesPerLine = bytesPerLineFor(width, depth);
    layout->tableOffset = kHeadersSize;
    layout->pixelOffset = kHeadersSize + tableBytes;
    layout->totalSize = layout->pixelOffset + size_t(layout->bytesPerLine) * size_t(layout->height);
    return kglOk;
}

// The depth a file's pixels are recorded with and their format above 8 bits,
// decided by the depth and, with bit fields, the masks.
static int recordedDepth(const BitmapLayout& layout, const uint8_t* colourData, const PixelFormat** format)
{
    *format = nullptr;
    uint32_t red = 0, green = 0;
    if (layout.bitFields) {
        red = read32(colourData);
        green = read32(colourData + 4);
    }
    switch (layout.fileBits) {
    case 16:
        if (layout.bitFields && green == 0x7E0) {
            *format = &pixelFormat565;
            return 16;
        }
        *format = &pixelFormat555;
        return 15;
    case 24:
        *format = layout.bitFields && red == 0xFF ? &pixelFormatBGR24 : &pixelFormatRGB24;
        return 24;
    case 32:
        if (!layout.bitFields || red == 0xFF0000) *format = &pixelFormatARGB32;
        else if (red == 0xFF) *format = &pixelFormatABGR32;
        else if (red == 0xFF00) *format = &pixelFormatBGRA32;
        else *format = &pixelFormatRGBA32;
        return 32;
    default:
        return layout.fileBits;
    }
}

// ---- Reading -----------------------------------------------------------------------

static size_t alignUp(size_t value)
{
    return (value + 7) & ~size_t(7);
}

// The Bitmap a layout describes, with its palette or PixelFormat taken from
// the colour data that follows the headers (the colour table or the masks);
// its rows are left for the caller to fill. Null with -10.
static Bitmap* newBitmap(const BitmapLayout& layout, const uint8_t* colourData, int loadPalette)
{
    const PixelFormat* format = nullptr;
    int bits = recordedDepth(layout, colourData, &format);
    int paletteSize = loadPalette && layout.fileBits <= 8 ? layout.colourCount : 0;
    size_t rowsBytes = size_t(layout.bytesPerLine) * size_t(layout.height);
    size_t extraBytes = paletteSize ? paletteSize * sizeof(PaletteEntry) : format ? sizeof(PixelFormat) : 0;
    size_t pixelsAt = alignUp(sizeof(Bitmap)) + alignUp(extraBytes);
    uint8_t* block = static_cast<uint8_t*>(malloc(pixelsAt + rowsBytes));
    if (!block) {
        setLastError(kglNoMemory);
        return nullptr;
    }
    Bitmap* bitmap = reinterpret_cast<Bitmap*>(block);
    bitmap->width = layout.width;
    bitmap->height = layout.height;
    bitmap->bitsPerPixel = bits;
    bitmap->bytesPerLine = int32_t(layout.bytesPerLine);
    bitmap->pixels = block + pixelsAt;
    bitmap->palette = nullptr;
    bitmap->paletteSize = paletteSize;
    bitmap->format = nullptr;
    uint8_t* extra = block + alignUp(sizeof(Bitmap));
    if (paletteSize) {
        bitmap->palette = reinterpret_cast<PaletteEntry*>(extra);
        memcpy(bitmap->palette, colourData, paletteSize * sizeof(PaletteEntry));
    } else if (format) {
        bitmap->format = reinterpret_cast<PixelFormat*>(extra);
        *bitmap->format = *format;
    }
    return bitmap;
}

// Where the file's row number row (in file order) goes in the Bitmap.
static uint8_t* rowTarget(Bitmap* bitmap, const BitmapLayout& layout, int32_t row)
{
    int32_t target = layout.bottomUp ? layout.height - 1 - row : row;
    return bitmap->pixels + size_t(target) * size_t(layout.bytesPerLine);
}

Bitmap* parseBitmap(const uint8_t* bytes, size_t size, int loadPalette)
{
    setLastError(kglOk);
    BitmapLayout layout;
    int error = bytes ? readHeaders(bytes, size, &layout) : kglInvalidBitmap;
    if (error == kglOk && size < layout.totalSize) error = kglInvalidBitmap;
    if (error != kglOk) {
        setLastError(error);
        return nullptr;
    }
    Bitmap* bitmap = newBitmap(layout, bytes + layout.tableOffset, loadPalette);
    if (!bitmap) return nullptr;
    size_t rowBytes = size_t(layout.bytesPerLine);
    for (int32_t row = 0; row < layout.height; row++)
        memcpy(rowTarget(bitmap, layout, row), bytes + layout.pixelOffset + size_t(row) * rowBytes, rowBytes);
    return bitmap;
}

// Reads up to size bytes from the start of a file; the count read.
static size_t readFront(FILE* file, uint8_t* bytes, size_t size)
{
    if (fseek(file, 0, SEEK_SET) != 0) return 0;
    size_t total = 0;
    while (total < size) {
        size_t got = fread(bytes + total, 1, size - total, file);
        if (got == 0) break;
        total += got;
    }
    return total;
}

// The file's length as the file system gives it (-1 when it cannot say).
static long fileLength(FILE* file)
{
    return fseek(file, 0, SEEK_END) == 0 ? ftell(file) : -1;
}

// Reads the headers of an open file and checks that it holds all its rows,
// so nothing is allocated for rows a file does not have.
static int readLayout(FILE* file, BitmapLayout* layout)
{
    uint8_t headers[kHeadersSize];
    int error = readHeaders(headers, readFront(file, headers, sizeof headers), layout);
    if (error == kglOk && fileLength(file) < long(layout->totalSize)) error = kglInvalidBitmap;
    return error;
}

Bitmap* readBitmapFile(const char* name, int loadPalette)
{
    setLastError(kglOk);
    FILE* file = findFile("BITMAPS\\", name, "rb");
    if (!file) {
        setLastError(kglBitmapNotFound);
        return nullptr;
    }
    // The headers say how much of the file is read; nothing past that is,
    // and the rows go straight into the Bitmap, so a picture is held once.
    BitmapLayout layout = {};
    int error = readLayout(file, &layout);
    uint8_t colourData[256 * 4];
    size_t colourBytes = layout.pixelOffset - layout.tableOffset;
    if (error == kglOk && (fseek(file, long(layout.tableOffset), SEEK_SET) != 0 ||
                           fread(colourData, 1, colourBytes, file) != colourBytes))
        error = kglInvalidBitmap;
    Bitmap* bitmap = error == kglOk ? newBitmap(layout, colourData, loadPalette) : nullptr;
    if (bitmap) {
        size_t rowBytes = size_t(layout.bytesPerLine);
        for (int32_t row = 0; row < layout.height && error == kglOk; row++)
            if (fread(rowTarget(bitmap, layout, row), 1, rowBytes, file) != rowBytes) error = kglInvalidBitmap;
    } else if (error == kglOk) {
        error = kglNoMemory;
    }
    fclose(file);
    if (error != kglOk) {
        freeBitmap(bitmap);
        setLastError(error);
        return nullptr;
    }
    return bitmap;
}

int checkBitmapFile(const char* name)
{
    setLastError(kglOk);
    FILE* file = findFile("BITMAPS\\", name, "rb");
    if (!file) {
        setLastError(kglBitmapNotFound);
        return 0;
    }
    // The length is asked of the file system, not read.
    BitmapLayout layout;
    int error = readLayout(file, &layout);
    fclose(file);
    setLastError(error);
    return error == kglOk;
}

void freeBitmap(Bitmap* bitmap)
{
    free(bitmap);
}

// ---- Using the pixels --------------------------------------------------------------

void bitmapPalette(const Bitmap* bitmap, PaletteEntry palette[kPaletteSize])
{
    int count = bitmap->palette ? bitmap->paletteSize : 0;
    for (int i = 0; i < kPaletteSize; i++) palette[i] = i < count ? bitmap->palette[i] : PaletteEntry{0, 0, 0, 0};
}

std::vector<uint8_t> packedBitmapBGR(const Bitmap* bitmap)
{
    std::vector<uint8_t> packed;
    if (!bitmap) return packed;
    if (bitmap->bitsPerPixel <= 8 && !bitmap->palette) {
        setLastError(kglInvalidBitmap);
        return packed;
    }
    size_t rowBytes = size_t(bitmap->width) * 3;
    try {
        packed.resize(rowBytes * size_t(bitmap->height));
    } catch (const std::bad_alloc&) {
        setLastError(kglNoMemory);
        return packed;
    }
    const bool sameBytes = bitmap->bitsPerPixel == 24 && bitmap->format && bitmap->format->redPosition == 16;
    PaletteEntry palette[kPaletteSize];
    if (bitmap->bitsPerPixel <= 8) bitmapPalette(bitmap, palette);
    for (int32_t y = 0; y < bitmap->height; y++) {
        const uint8_t* row = bitmap->pixels + size_t(y) * bitmap->bytesPerLine;
        uint8_t* out = packed.data() + size_t(y) * rowBytes;
        if (sameBytes) {
            memcpy(out, row, rowBytes);
            continue;
        }
        for (int32_t x = 0; x < bitmap->width; x++) {
            uint8_t r, g, b;
            pixelColour(readPixel(row, x, bitmap->bitsPerPixel), bitmap->bitsPerPixel, bitmap->format, palette, &r,
                        &g, &b);
            out[3 * x] = b, out[3 * x + 1] = g, out[3 * x + 2] = r;
        }
    }
    return packed;
}
