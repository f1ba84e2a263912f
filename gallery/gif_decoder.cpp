// A GIF's first frame, through giflib: the frame laid on the GIF's logical
// screen, with its transparent colour clear so that the mat shows through.
// Only the first image is read, so the later frames of an animation cost
// nothing.
#include <cstring>
#include <gif_lib.h>

#include "gallery/picture_decoding.h"

namespace {

struct GifSource {
    const uint8_t* bytes;
    size_t size, at;
};

int readGifBytes(GifFileType* gif, GifByteType* out, int wanted)
{
    GifSource* source = static_cast<GifSource*>(gif->UserData);
    if (wanted <= 0) return 0;
    size_t count = static_cast<size_t>(wanted);
    if (count > source->size - source->at) count = source->size - source->at;
    memcpy(out, source->bytes + source->at, count);
    source->at += count;
    return static_cast<int>(count);
}

// Reads records up to the first image, noting its transparent colour from a
// graphics control extension; false on damaged data or when no image comes.
bool readUpToFirstImage(GifFileType* gif, int* transparentColour)
{
    for (;;) {
        GifRecordType record;
        if (DGifGetRecordType(gif, &record) == GIF_ERROR) return false;
        if (record == IMAGE_DESC_RECORD_TYPE) return DGifGetImageDesc(gif) != GIF_ERROR;
        if (record == TERMINATE_RECORD_TYPE) return false;
        if (record != EXTENSION_RECORD_TYPE) continue;
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
        if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
            GraphicsControlBlock control;
            if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                *transparentColour = control.TransparentColor;
        }
        while (block) {
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
        }
    }
}

} // namespace

int decodeGif(const uint8_t* bytes, size_t size, std::vector<uint8_t>& rgba, int& width, int& height,
              std::string* why)
{
    rgba.clear();
    width = height = 0;
    GifSource source{bytes, size, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, readGifBytes, &error);
    if (!gif) {
        if (why) *why = "damaged GIF data";
        return 1;
    }
    int transparent = NO_TRANSPARENT_COLOR;
    bool ok = readUpToFirstImage(gif, &transparent);
    const GifImageDesc& frame = gif->Image;
    const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    long long screenWidth = gif->SWidth > 0 ? gif->SWidth : frame.Width;
    long long screenHeight = gif->SHeight > 0 ? gif->SHeight : frame.Height;
    ok = ok && colours && frame.Width > 0 && frame.Height > 0 && screenWidth > 0 && screenHeight > 0;
    if (ok && (screenWidth * screenHeight > kMaxPicturePixels ||
               static_cast<long long>(frame.Width) * frame.Height > kMaxPicturePixels)) {
        DGifCloseFile(gif, &error);
        if (why) *why = "larger than 100 megapixels";
        return 1;
    }
    if (ok) {
        width = static_cast<int>(screenWidth);
        height = static_cast<int>(screenHeight);
        rgba.assign(static_cast<size_t>(width) * height * 4, 0);  // clear where the frame does not reach
        std::vector<GifPixelType> line(static_cast<size_t>(frame.Width));
        // An interlaced frame comes in four passes: every 8th row from 0, every
        // 8th from 4, every 4th from 2, every 2nd from 1.
        const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
        const int passes = frame.Interlace ? 4 : 1;
        for (int pass = 0; ok && pass < passes; ++pass) {
            const int start = frame.Interlace ? starts[pass] : 0, step = frame.Interlace ? steps[pass] : 1;
            for (int row = start; ok && row < frame.Height; row += step) {
                ok = DGifGetLine(gif, line.data(), frame.Width) != GIF_ERROR;
                const long long y = static_cast<long long>(frame.Top) + row;
                if (!ok || y < 0 || y >= height) continue;
                for (int column = 0; column < frame.Width; ++column) {
                    const long long x = static_cast<long long>(frame.Left) + column;
                    const int index = line[static_cast<size_t>(column)];
                    if (x < 0 || x >= width || index == transparent || index >= colours->ColorCount) continue;
                    uint8_t* pixel = rgba.data() + (static_cast<size_t>(y) * width + static_cast<size_t>(x)) * 4;
                    pixel[0] = colours->Colors[index].Red;
                    pixel[1] = colours->Colors[index].Green;
                    pixel[2] = colours->Colors[index].Blue;
                    pixel[3] = 255;
                }
            }
        }
    }
    DGifCloseFile(gif, &error);
    if (!ok) {
        rgba.clear();
        width = height = 0;
        if (why) *why = "damaged GIF data";
        return 1;
    }
    return 0;
}
