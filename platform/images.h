// Pictures decoded from bytes in memory by the host's image libraries (PNG,
// WebP, TIFF and BMP). Safe to call from several threads at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The image formats the host decodes here.
enum class ImageFormat { Png, Webp, Tiff, Bmp };

// Decodes bytes (size of them) holding one picture of the given format into
// width * height RGBA pixels, 4 bytes each, top row first (a GIF gives its
// first frame; its transparent colour has alpha 0). The caller has checked the
// picture's size from its header. Returns 0, or 1 with rgba empty and *why
// (when given) saying why in a few words.
int decodeImageBytes(const uint8_t* bytes, size_t size, ImageFormat format, int& width, int& height,
                     std::vector<uint8_t>& rgba, std::string* why);
