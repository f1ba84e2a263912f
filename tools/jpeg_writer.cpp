// JPEG files through libjpeg-turbo: the high-resolution theme textures.
#include <turbojpeg.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <memory>
#include <vector>

#include "tools/artwork.h"

bool writeJpeg(const std::string& path, const Image& image, int quality)
{
    std::vector<uint8_t> rgb(size_t(image.width) * image.height * 3);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        rgb[i * 3] = uint8_t(std::lround(clamp01(image.pixels[i].r) * 255.0f));
        rgb[i * 3 + 1] = uint8_t(std::lround(clamp01(image.pixels[i].g) * 255.0f));
        rgb[i * 3 + 2] = uint8_t(std::lround(clamp01(image.pixels[i].b) * 255.0f));
    }
    std::unique_ptr<void, int (*)(tjhandle)> handle(tjInitCompress(), tjDestroy);
    if (!handle) return false;
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    if (tjCompress2(handle.get(), rgb.data(), image.width, 0, image.height, TJPF_RGB, &jpeg, &size, TJSAMP_444,
                    quality, TJFLAG_ACCURATEDCT) != 0) {
        tjFree(jpeg);
        return false;
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file) file.write(reinterpret_cast<const char*>(jpeg), std::streamsize(size));
    tjFree(jpeg);
    return bool(file);
}
