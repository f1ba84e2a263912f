#include "platform/images.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>

int decodeBmpBytes(const uint8_t* bytes, size_t size, int& width, int& height, std::vector<uint8_t>& rgba,
                   std::string* why)
{
    width = height = 0;
    rgba.clear();
    auto fail = [&](const std::string& text) {
        if (why) *why = text;
        return 1;
    };
    if (size == 0 || size > 0x7FFFFFFF) return fail("not a picture");
    SDL_RWops* source = SDL_RWFromConstMem(bytes, static_cast<int>(size));
    if (!source) return fail("out of memory");
    // The BMP reader needs no IMG_Init: nothing is set up behind it.
    SDL_Surface* loaded = IMG_LoadTyped_RW(source, 1, "BMP");
    if (!loaded) return fail("damaged BMP data");
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
