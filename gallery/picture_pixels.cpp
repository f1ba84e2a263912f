#include "gallery/picture_decoding.h"

#include <algorithm>

namespace {

// One target pixel's share of the source along one axis: the source pixels
// [first, first + weights.size()) with the part of each the target covers.
struct Span {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Span> areaSpans(int from, int to)
{
    std::vector<Span> spans(static_cast<size_t>(to));
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double start = i * scale, end = (i + 1) * scale;
        Span& span = spans[static_cast<size_t>(i)];
        span.first = static_cast<int>(start);
        const int last = std::min(from - 1, static_cast<int>(end - 1e-9));
        for (int s = span.first; s <= last; ++s) {
            const double covered = std::min(end, s + 1.0) - std::max(start, static_cast<double>(s));
            span.weights.push_back(static_cast<float>(covered / scale));
        }
    }
    return spans;
}

} // namespace

void compositeOverMat(const std::vector<uint8_t>& rgba, int width, int height, const uint8_t matRgb[3],
                      GalleryImage& image)
{
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    image.width = width;
    image.height = height;
    image.rgb.resize(count * 3);
    for (size_t i = 0; i < count; ++i) {
        const unsigned alpha = rgba[i * 4 + 3];
        for (int c = 0; c < 3; ++c)
            image.rgb[i * 3 + c] =
                static_cast<uint8_t>((rgba[i * 4 + c] * alpha + matRgb[c] * (255 - alpha) + 127) / 255);
    }
}

void reduceToFit(GalleryImage& image, int maxSide)
{
    const int longer = std::max(image.width, image.height);
    if (maxSide < 1 || longer <= maxSide) return;
    // The shorter side keeps the ratio, and at least one pixel.
    const int width = std::max(1, static_cast<int>(static_cast<long long>(image.width) * maxSide / longer));
    const int height = std::max(1, static_cast<int>(static_cast<long long>(image.height) * maxSide / longer));
    const std::vector<Span> across = areaSpans(image.width, width), down = areaSpans(image.height, height);

    // Rows first (each source row to the target width), then columns.
    std::vector<float> rows(static_cast<size_t>(width) * image.height * 3);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* source = &image.rgb[static_cast<size_t>(y) * image.width * 3];
        float* target = &rows[static_cast<size_t>(y) * width * 3];
        for (int x = 0; x < width; ++x) {
            const Span& span = across[static_cast<size_t>(x)];
            float r = 0, g = 0, b = 0;
            for (size_t k = 0; k < span.weights.size(); ++k) {
                const uint8_t* pixel = source + (span.first + k) * 3;
                r += pixel[0] * span.weights[k];
                g += pixel[1] * span.weights[k];
                b += pixel[2] * span.weights[k];
            }
            target[x * 3] = r;
            target[x * 3 + 1] = g;
            target[x * 3 + 2] = b;
        }
    }
    std::vector<uint8_t> reduced(static_cast<size_t>(width) * height * 3);
    std::vector<float> sum(static_cast<size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        const Span& span = down[static_cast<size_t>(y)];
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (size_t k = 0; k < span.weights.size(); ++k) {
            const float* row = &rows[(span.first + k) * width * 3];
            for (size_t i = 0; i < sum.size(); ++i) sum[i] += row[i] * span.weights[k];
        }
        uint8_t* target = &reduced[static_cast<size_t>(y) * width * 3];
        for (size_t i = 0; i < sum.size(); ++i)
            target[i] = static_cast<uint8_t>(std::clamp(sum[i] + 0.5f, 0.0f, 255.0f));
    }
    image.width = width;
    image.height = height;
    image.rgb.swap(reduced);
}

void turnUpright(GalleryImage& image, int orientation)
{
    if (orientation < 2 || orientation > 8) return;
    const int w = image.width, h = image.height;
    const bool swapsSides = orientation >= 5;
    const int width = swapsSides ? h : w, height = swapsSides ? w : h;
    std::vector<uint8_t> upright(image.rgb.size());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // The stored pixel that shows at (x, y) once the picture is upright.
            int sx = x, sy = y;
            switch (orientation) {
            case 2: sx = w - 1 - x; break;
            case 3: sx = w - 1 - x; sy = h - 1 - y; break;
            case 4: sy = h - 1 - y; break;
            case 5: sx = y; sy = x; break;
            case 6: sx = y; sy = h - 1 - x; break;
            case 7: sx = w - 1 - y; sy = h - 1 - x; break;
            case 8: sx = w - 1 - y; sy = x; break;
            }
            const uint8_t* from = &image.rgb[(static_cast<size_t>(sy) * w + sx) * 3];
            uint8_t* to = &upright[(static_cast<size_t>(y) * width + x) * 3];
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
    image.width = width;
    image.height = height;
    image.rgb.swap(upright);
}
