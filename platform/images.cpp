#include "platform/images.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <mutex>

namespace {

// SDL_image's loaders set up their libraries through IMG_Init on first use,
// which is not safe when two threads get there together; it is done once here,
// before any decode. Nothing else needs SDL_Init: reading from memory, the
// surfaces and the pixel formats work without it (SDL shares its pixel
// formats between threads under a lock of its own), and SDL keeps its error
// text per thread.
void initialiseDecoders()
{
    static std::once_flag once;
    std::call_once(once, [] { IMG_Init(IMG_INIT_PNG | IMG_INIT_TIF | IMG_INIT_WEBP); });
}

const char* typeName(ImageFormat format)
{
    switch (format) {
    case ImageFormat::Png: return "PNG";
    case ImageFormat::Webp: return "WEBP";
    case ImageFormat::Tiff: return "TIF";
    case ImageFormat::Bmp: return "BMP";
    }
    return "";
}

const char* formatName(ImageFormat format)
{
    switch (format) {
    case ImageFormat::Png: return "PNG";
    case ImageFormat::Webp: return "WebP";
    case ImageFormat::Tiff: return "TIFF";
    case ImageFormat::Bmp: return "BMP";
    }
    return "";
}

} // namespace

int decodeImageBytes(const uint8_t* bytes, size_t size, ImageFormat format, int& width, int& height,
                     std::vector<uint8_t>& rgba, std::string* why)
{
    width = height = 0;
    rgba.clear();
    auto fail = [&](const std::string& text) {
        if (why) *why = text;
        return 1;
    };
    if (size == 0 || size > 0x7FFFFFFF) return fail("not a picture");
    initialiseDecoders();
    SDL_RWops* source = SDL_RWFromConstMem(bytes, static_cast<int>(size));
    if (!source) return fail("out of memory");
    SDL_Surface* loaded = IMG_LoadTyped_RW(source, 1, typeName(format));
    if (!loaded) return fail(std::string("damaged ") + formatName(format) + " data");
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (!converted) return fail("out of memory");
    if (converted->w < 1 || converted->h < 1 || SDL_LockSurface(converted) != 0) {
        SDL_FreeSurface(converted);
        return fail("not a picture");
    }
    const size_t row = static_cast<size_t>(converted->w) * 4;
    rgba.resize(row * static_cast<size_t>(converted->h));
    const auto* pixels = static_cast<const uint8_t*>(converted->pixels);
    for (int y = 0; y < converted->h; ++y)
        std::memcpy(&rgba[row * static_cast<size_t>(y)], pixels + static_cast<size_t>(converted->pitch) * y, row);
    width = converted->w;
    height = converted->h;
    SDL_UnlockSurface(converted);
    SDL_FreeSurface(converted);
    return 0;
}
