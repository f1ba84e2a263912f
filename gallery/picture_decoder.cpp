// Decoding a gallery picture: JPEG through libjpeg-turbo (scaled while it is
// decoded), PNG, TIFF and WebP by decoders that reduce as they read, GIF
// through giflib and BMP through the host's image decoders; then laid over
// the mat, reduced to the size asked for and turned upright.
#include "gallery/gallery.h"
#include "gallery/picture_decoding.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/files.h"
#include "platform/images.h"

namespace {

// Largest picture file read, in bytes.
constexpr size_t kMaxPictureFileBytes = size_t(256) << 20;

int fail(std::string* why, const std::string& text)
{
    if (why) *why = text;
    return 1;
}

// CMYK as Adobe's encoders store it (inverted) to RGB.
void cmykToRgb(const std::vector<uint8_t>& cmyk, std::vector<uint8_t>& rgb)
{
    const size_t count = cmyk.size() / 4;
    rgb.resize(count * 3);
    for (size_t i = 0; i < count; ++i) {
        const unsigned k = cmyk[i * 4 + 3];
        for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = static_cast<uint8_t>((cmyk[i * 4 + c] * k + 127) / 255);
    }
}

const char* const kTooManyPixels = "larger than 100 megapixels";

int decodeJpeg(const uint8_t* bytes, size_t size, bool progressive, int maxSide, GalleryImage& image,
               std::string* why)
{
    std::unique_ptr<void, int (*)(tjhandle)> handle(tjInitDecompress(), tjDestroy);
    if (!handle) return fail(why, "out of memory");
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (size > 0xFFFFFFFFul ||
        tjDecompressHeader3(handle.get(), bytes, static_cast<unsigned long>(size), &width, &height, &subsampling,
                            &colourspace) != 0 ||
        width < 1 || height < 1)
        return fail(why, "damaged JPEG data");

    // The smallest of 1/2, 1/4 and 1/8 that still gives the longer side maxSide.
    tjscalingfactor scale = {1, 1};
    const int longer = std::max(width, height);
    for (int denominator : {2, 4, 8}) {
        const tjscalingfactor smaller = {1, denominator};
        if (maxSide >= 1 && TJSCALED(longer, smaller) >= maxSide) scale = smaller;
    }
    const int scaledWidth = TJSCALED(width, scale), scaledHeight = TJSCALED(height, scale);
    // A progressive JPEG keeps all of its coefficients, at full size, while
    // it is decoded: its full size is what is bounded.
    const long long bounded = progressive ? static_cast<long long>(width) * height
                                         : static_cast<long long>(scaledWidth) * scaledHeight;
    if (bounded > kMaxPicturePixels) return fail(why, kTooManyPixels);

    const bool cmyk = colourspace == TJCS_CMYK || colourspace == TJCS_YCCK;
    const int channels = cmyk ? 4 : 3;
    std::vector<uint8_t> pixels(static_cast<size_t>(scaledWidth) * scaledHeight * channels);
    if (tjDecompress2(handle.get(), bytes, static_cast<unsigned long>(size), pixels.data(), scaledWidth, 0,
                      scaledHeight, cmyk ? TJPF_CMYK : TJPF_RGB, 0) != 0) {
        // A warning leaves a whole picture (extra bytes between markers and
        // the like), except when the data ends early: the rest would be grey.
        const char* message = tjGetErrorStr2(handle.get());
        if (tjGetErrorCode(handle.get()) != TJERR_WARNING || std::strstr(message, "Premature end"))
            return fail(why, "damaged JPEG data");
    }
    image.width = scaledWidth;
    image.height = scaledHeight;
    image.pictureWidth = width;
    image.pictureHeight = height;
    if (cmyk)
        cmykToRgb(pixels, image.rgb);
    else
        image.rgb.swap(pixels);
    return 0;
}

} // namespace

int decodeGalleryPictureBytes(const uint8_t* bytes, size_t size, int maxSide, const uint8_t matRgb[3],
                              GalleryImage& image, std::string* why)
{
    image = GalleryImage();
    const PictureHeader header = readPictureHeader(bytes, size);
    if (header.format == PictureFormat::Unknown) return fail(why, "not a picture");

    GalleryImage decoded;
    if (header.format == PictureFormat::Jpeg) {
        if (decodeJpeg(bytes, size, header.progressive, maxSide, decoded, why) != 0) return 1;
    } else {
        // The size is checked before the decoder allocates it.
        if (header.width < 1 || header.height < 1 || !header.complete)
            return fail(why, std::string("damaged ") + pictureFormatName(header.format) + " data");
        if (header.width * header.height > kMaxPicturePixels) return fail(why, kTooManyPixels);
        int status = 0;
        if (header.format == PictureFormat::Png) {
            status = decodePng(bytes, size, maxSide, matRgb, decoded, why);
        } else if (header.format == PictureFormat::Tiff) {
            status = decodeTiff(bytes, size, maxSide, matRgb, decoded, why);
        } else if (header.format == PictureFormat::Webp) {
            status = decodeWebp(bytes, size, maxSide, matRgb, decoded, why);
        } else {
            int width = 0, height = 0;
            std::vector<uint8_t> rgba;
            // GIFs go through giflib: the image library's GIF reader frees
            // memory it does not own after some frames.
            status = header.format == PictureFormat::Gif
                         ? decodeGif(bytes, size, rgba, width, height, why)
                         : decodeBmpBytes(bytes, size, width, height, rgba, why);
            if (status == 0) {
                compositeOverMat(rgba, width, height, matRgb, decoded);
                decoded.pictureWidth = width;
                decoded.pictureHeight = height;
            }
        }
        if (status != 0) return 1;
    }
    reduceToFit(decoded, maxSide);
    const int orientation = readPictureOrientation(bytes, size, header.format);
    turnUpright(decoded, orientation);
    if (orientation >= 5) std::swap(decoded.pictureWidth, decoded.pictureHeight);
    image = std::move(decoded);
    return 0;
}

int decodeGalleryPicture(const std::string& path, int maxSide, const uint8_t matRgb[3], GalleryImage& image,
                         std::string* why, PictureCaption* caption)
{
    image = GalleryImage();
    std::string bytes;
    std::string reason;
    if (readWholeFile(path.c_str(), bytes, kMaxPictureFileBytes, &reason) != 0) return fail(why, reason);
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    if (decodeGalleryPictureBytes(data, bytes.size(), maxSide, matRgb, image, why) != 0) return 1;
    if (caption) *caption = readPictureCaption(data, bytes.size(), path);
    return 0;
}
