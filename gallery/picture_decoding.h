// The picture loader's own parts, shared by its files: recognising a format
// from its first bytes, reading the EXIF orientation, and the pixel work that
// turns a decoded picture into the one a frame shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gallery/gallery.h"

// ---- Recognising a picture ---------------------------------------------------------------

enum class PictureFormat { Unknown, Jpeg, Png, Webp, Gif, Tiff, Bmp };

// What the first bytes of a file say: its format and, for every format but
// JPEG (whose size the JPEG decoder reads), the size its decoder will
// allocate. width and height are 0 when the header is cut short or damaged.
struct PictureHeader {
    PictureFormat format = PictureFormat::Unknown;
    long long width = 0, height = 0;    // pixels
    bool complete = true;               // false for a GIF whose first frame is cut short, or a
                                        //   PNG with a chunk past its end
    bool progressive = false;           // a progressive JPEG: decoded whole in memory
};
PictureHeader readPictureHeader(const uint8_t* bytes, size_t size);
// The format's name in messages ("JPEG", "PNG", ...).
const char* pictureFormatName(PictureFormat format);

// The EXIF orientation (1..8) a JPEG, PNG, WebP or TIFF file carries, 1 when
// it carries none or a value out of range.
int readPictureOrientation(const uint8_t* bytes, size_t size, PictureFormat format);

// Most pixels a decoded picture may hold (after a JPEG's decode-time scaling).
// The fuzzing build takes less, so that its runs stay within their memory.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
constexpr long long kMaxPicturePixels = 4000000;
#else
constexpr long long kMaxPicturePixels = 100000000;
#endif

// ---- Decoding of our own ----------------------------------------------------------------

// A GIF's first frame on its logical screen as RGBA (transparent where the
// frame leaves the screen clear). Returns 0, or 1 with *why ("damaged GIF
// data", "larger than 100 megapixels").
int decodeGif(const uint8_t* bytes, size_t size, std::vector<uint8_t>& rgba, int& width, int& height,
              std::string* why);

// ---- Pixel work ---------------------------------------------------------------------------

// RGBA pixels laid over the mat colour into image (RGB).
void compositeOverMat(const std::vector<uint8_t>& rgba, int width, int height, const uint8_t matRgb[3],
                      GalleryImage& image);
// Reduces image so that its longer side is at most maxSide, averaging every
// source pixel a target pixel covers (an area filter: no aliasing, no blur
// beyond the reduction). Nothing happens when it already fits or maxSide < 1.
void reduceToFit(GalleryImage& image, int maxSide);
// Turns an image stored with EXIF orientation 2..8 upright.
void turnUpright(GalleryImage& image, int orientation);
