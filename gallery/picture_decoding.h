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

// What a JPEG, PNG, WebP or TIFF file says of itself in its EXIF fields (or a
// TIFF's own) and its XMP packet, as stored: nothing is checked but that it
// lies within the file.
struct PictureMetadata {
    int orientation = 1;        // EXIF orientation 1..8; 1 when none or out of range
    std::string description;    // ImageDescription
    std::string dateTaken;      // DateTimeOriginal, "YYYY:MM:DD HH:MM:SS"
    std::string xmp;            // the XMP packet (XML)
};
PictureMetadata readPictureMetadata(const uint8_t* bytes, size_t size, PictureFormat format);
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

// The decoders that reduce while they decode, so that a large picture is
// never held whole: a PNG row by row (an interlaced one whole: its passes
// need every row), a TIFF by scanlines or by bands of strips or tiles, a WebP
// by its library's own scaled decoding. Each gives the picture as stored
// (orientation not applied) laid over the mat, at reducedSize of maxSide,
// with pictureWidth and pictureHeight its full size. Returns 0, or 1 with
// *why ("damaged PNG data", "larger than 100 megapixels", ...).
int decodePng(const uint8_t* bytes, size_t size, int maxSide, const uint8_t matRgb[3], GalleryImage& image,
              std::string* why);
int decodeTiff(const uint8_t* bytes, size_t size, int maxSide, const uint8_t matRgb[3], GalleryImage& image,
               std::string* why);
int decodeWebp(const uint8_t* bytes, size_t size, int maxSide, const uint8_t matRgb[3], GalleryImage& image,
               std::string* why);

// ---- Pixel work ---------------------------------------------------------------------------

// One row of width RGBA pixels laid over the mat colour into rgb (3 bytes a
// pixel); premultiplied when the colours are already multiplied by alpha.
void compositeRowOverMat(const uint8_t* rgba, int width, const uint8_t matRgb[3], uint8_t* rgb,
                         bool premultiplied = false);
// RGBA pixels laid over the mat colour into image (RGB).
void compositeOverMat(const std::vector<uint8_t>& rgba, int width, int height, const uint8_t matRgb[3],
                      GalleryImage& image);
// The size reduceToFit gives a picture of width x height: the longer side
// maxSide, the shorter one in proportion and at least 1 pixel (the size itself
// when it fits or maxSide < 1).
void reducedSize(int width, int height, int maxSide, int* reducedWidth, int* reducedHeight);

// A reduction to reducedSize done while the picture's rows come in, top row
// first, so that only the reduced picture and a few rows are ever held. The
// result is the same as reduceToFit's on the whole picture.
struct RowReduction {
    int sourceWidth = 0, sourceHeight = 0;   // pixels
    int rowsIn = 0;                          // source rows added so far
    int nextRow = 0;                         // first target row not yet finished
    bool reduces = false;                    // false: rows are only copied
    std::vector<int> acrossFirst, acrossCount, downFirst, downCount;
    std::vector<size_t> downAt;              // where each target row's weights start in downWeights
    std::vector<float> acrossWeights, downWeights;
    std::vector<float> row, sums[2];         // the row at the target width; the two open target rows
    GalleryImage image;                      // the reduced picture, filled as its rows finish
};
void startRowReduction(RowReduction& reduction, int width, int height, int maxSide);
// The next source row: width RGB pixels. Rows past the picture's height are ignored.
void addReducedRow(RowReduction& reduction, const uint8_t* rgb);
// Hands over the reduced picture (rows never added stay black), its
// pictureWidth and pictureHeight the source's size.
void finishRowReduction(RowReduction& reduction, GalleryImage& image);
// Reduces image so that its longer side is at most maxSide, averaging every
// source pixel a target pixel covers (an area filter: no aliasing, no blur
// beyond the reduction). Nothing happens when it already fits or maxSide < 1.
void reduceToFit(GalleryImage& image, int maxSide);
// Turns an image stored with EXIF orientation 2..8 upright.
void turnUpright(GalleryImage& image, int orientation);
