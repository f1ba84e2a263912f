// WebP through libwebp, which scales while it decodes: a large picture
// comes out at its reduced size straight away, averaged as it shrinks.
#include "gallery/picture_decoding.h"

#include <webp/decode.h>

namespace {

int fail(std::string* why, const char* text)
{
    if (why) *why = text;
    return 1;
}

} // namespace

int decodeWebp(const uint8_t* bytes, size_t size, int maxSide, const uint8_t matRgb[3], GalleryImage& image,
               std::string* why)
{
    image = GalleryImage();
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) return fail(why, "out of memory");
    // An animation has no single picture to show.
    if (WebPGetFeatures(bytes, size, &config.input) != VP8_STATUS_OK || config.input.has_animation ||
        config.input.width < 1 || config.input.height < 1)
        return fail(why, "damaged WebP data");
    const int width = config.input.width, height = config.input.height;
    if (static_cast<long long>(width) * height > kMaxPicturePixels) return fail(why, "larger than 100 megapixels");
    int reducedWidth = width, reducedHeight = height;
    reducedSize(width, height, maxSide, &reducedWidth, &reducedHeight);
    if (reducedWidth != width || reducedHeight != height) {
        config.options.use_scaling = 1;
        config.options.scaled_width = reducedWidth;
        config.options.scaled_height = reducedHeight;
    }
    const bool alpha = config.input.has_alpha != 0;
    const int channels = alpha ? 4 : 3;
    std::vector<uint8_t> pixels(static_cast<size_t>(reducedWidth) * reducedHeight * channels);
    config.output.colorspace = alpha ? MODE_RGBA : MODE_RGB;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = pixels.data();
    config.output.u.RGBA.stride = reducedWidth * channels;
    config.output.u.RGBA.size = pixels.size();
    const VP8StatusCode status = WebPDecode(bytes, size, &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) return fail(why, "damaged WebP data");
    if (alpha) {
        compositeOverMat(pixels, reducedWidth, reducedHeight, matRgb, image);
    } else {
        image.width = reducedWidth;
        image.height = reducedHeight;
        image.rgb.swap(pixels);
    }
    image.pictureWidth = width;
    image.pictureHeight = height;
    return 0;
}
