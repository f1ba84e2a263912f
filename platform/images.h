// Bitmap pictures of every BMP variant (the header sizes, bit depths, run
// lengths and bit fields of the format's versions) decoded from bytes in
// memory by the host's image library. Safe to call from several threads at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Decodes bytes (size of them) holding one BMP picture into width * height
// RGBA pixels, 4 bytes each, top row first. The caller has checked the
// picture's size from its header. Returns 0, or 1 with rgba empty and *why
// (when given) saying why in a few words.
int decodeBmpBytes(const uint8_t* bytes, size_t size, int& width, int& height, std::vector<uint8_t>& rgba,
                   std::string* why);
