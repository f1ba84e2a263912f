// Any bytes as a gallery picture of any format: decoding never reads past the
// buffer or allocates what the picture's header does not justify, and a
// picture it returns is consistent with itself and within the size asked for.
#include <cstdlib>

#include "gallery/gallery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t mat[3] = {200, 190, 170};
    // The size asked for varies with the input, so the reductions are reached too.
    const int maxSide = size > 0 ? 1 + data[size - 1] * 4 : 64;
    // The caption's readers walk the same bytes: a title is tidy UTF-8 within its bound.
    const PictureCaption caption = readPictureCaption(data, size, "/pictures/IMG_4711.jpg");
    if (caption.title.size() > kMaxCaptionTitle || caption.month > 12 || caption.day > 31) abort();
    for (char c : caption.title)
        if (static_cast<unsigned char>(c) < 0x20) abort();
    GalleryImage image;
    std::string why;
    if (decodeGalleryPictureBytes(data, size, maxSide, mat, image, &why) != 0) {
        if (why.empty() || !image.rgb.empty() || image.width != 0) abort();
        return 0;
    }
    if (image.width < 1 || image.height < 1 || image.width > maxSide || image.height > maxSide) abort();
    if (image.rgb.size() != size_t(image.width) * size_t(image.height) * 3) abort();
    unsigned sum = 0;
    for (uint8_t byte : image.rgb) sum += byte;  // every byte is read, so a short buffer shows up
    if (sum == 0xFFFFFFFF) abort();
    return 0;
}
