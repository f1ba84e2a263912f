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

void compositeRowOverMat(const uint8_t* rgba, int width, const uint8_t matRgb[3], uint8_t* rgb, bool premultiplied)
{
    for (int i = 0; i < width; ++i, rgba += 4, rgb += 3) {
        const unsigned alpha = rgba[3];
        for (int c = 0; c < 3; ++c) {
            const unsigned colour = premultiplied ? rgba[c] * 255u : rgba[c] * alpha;
            rgb[c] = static_cast<uint8_t>(std::min(255u, (colour + matRgb[c] * (255 - alpha) + 127) / 255));
        }
    }
}

void compositeOverMat(const std::vector<uint8_t>& rgba, int width, int height, const uint8_t matRgb[3],
                      GalleryImage& image)
{
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    image.width = width;
    image.height = height;
    image.rgb.resize(count * 3);
    for (int y = 0; y < height; ++y)
        compositeRowOverMat(&rgba[static_cast<size_t>(y) * width * 4], width, matRgb,
                            &image.rgb[static_cast<size_t>(y) * width * 3]);
}

void reducedSize(int width, int height, int maxSide, int* reducedWidth, int* reducedHeight)
{
    const int longer = std::max(width, height);
    *reducedWidth = width, *reducedHeight = height;
    if (maxSide < 1 || longer <= maxSide) return;
    // The shorter side keeps the ratio, and at least one pixel.
    *reducedWidth = std::max(1, static_cast<int>(static_cast<long long>(width) * maxSide / longer));
    *reducedHeight = std::max(1, static_cast<int>(static_cast<long long>(height) * maxSide / longer));
}

void startRowReduction(RowReduction& reduction, int width, int height, int maxSide)
{
    reduction = RowReduction();
    reduction.sourceWidth = width;
    reduction.sourceHeight = height;
    int targetWidth = width, targetHeight = height;
    reducedSize(width, height, maxSide, &targetWidth, &targetHeight);
    reduction.image.width = targetWidth;
    reduction.image.height = targetHeight;
    reduction.image.rgb.assign(static_cast<size_t>(targetWidth) * targetHeight * 3, 0);
    reduction.reduces = targetWidth != width || targetHeight != height;
    if (!reduction.reduces) return;
    const std::vector<Span> across = areaSpans(width, targetWidth), down = areaSpans(height, targetHeight);
    for (const Span& span : across) {
        reduction.acrossFirst.push_back(span.first);
        reduction.acrossCount.push_back(static_cast<int>(span.weights.size()));
        reduction.acrossWeights.insert(reduction.acrossWeights.end(), span.weights.begin(), span.weights.end());
    }
    for (const Span& span : down) {
        reduction.downFirst.push_back(span.first);
        reduction.downAt.push_back(reduction.downWeights.size());
        reduction.downCount.push_back(static_cast<int>(span.weights.size()));
        reduction.downWeights.insert(reduction.downWeights.end(), span.weights.begin(), span.weights.end());
    }
    reduction.row.assign(static_cast<size_t>(targetWidth) * 3, 0.0f);
    reduction.sums[0].assign(reduction.row.size(), 0.0f);
    reduction.sums[1].assign(reduction.row.size(), 0.0f);
}

void addReducedRow(RowReduction& reduction, const uint8_t* rgb)
{
    const int y = reduction.rowsIn;
    if (y >= reduction.sourceHeight) return;
    reduction.rowsIn++;
    GalleryImage& image = reduction.image;
    if (!reduction.reduces) {
        std::copy(rgb, rgb + static_cast<size_t>(image.width) * 3, &image.rgb[static_cast<size_t>(y) * image.width * 3]);
        return;
    }
    // The row to the target width ...
    size_t weight = 0;
    for (int x = 0; x < image.width; ++x) {
        float r = 0, g = 0, b = 0;
        const uint8_t* pixel = rgb + static_cast<size_t>(reduction.acrossFirst[x]) * 3;
        for (int k = 0; k < reduction.acrossCount[x]; ++k, pixel += 3) {
            const float w = reduction.acrossWeights[weight + k];
            r += pixel[0] * w;
            g += pixel[1] * w;
            b += pixel[2] * w;
        }
        weight += reduction.acrossCount[x];
        reduction.row[x * 3] = r;
        reduction.row[x * 3 + 1] = g;
        reduction.row[x * 3 + 2] = b;
    }
    // ... then its share of the one or two target rows it lies in (a
    // reduction never makes a target row smaller than a source row).
    for (int i = 0; i < 2; ++i) {
        const int target = reduction.nextRow + i;
        if (target >= image.height) break;
        const int offset = y - reduction.downFirst[target];
        if (offset < 0 || offset >= reduction.downCount[target]) continue;
        const float w = reduction.downWeights[reduction.downAt[target] + offset];
        std::vector<float>& sum = reduction.sums[i];
        for (size_t k = 0; k < sum.size(); ++k) sum[k] += reduction.row[k] * w;
    }
    // A target row is done with the last source row it covers.
    while (reduction.nextRow < image.height &&
           y + 1 >= reduction.downFirst[reduction.nextRow] + reduction.downCount[reduction.nextRow]) {
        uint8_t* target = &image.rgb[static_cast<size_t>(reduction.nextRow) * image.width * 3];
        const std::vector<float>& sum = reduction.sums[0];
        for (size_t k = 0; k < sum.size(); ++k)
            target[k] = static_cast<uint8_t>(std::clamp(sum[k] + 0.5f, 0.0f, 255.0f));
        reduction.sums[0].swap(reduction.sums[1]);
        std::fill(reduction.sums[1].begin(), reduction.sums[1].end(), 0.0f);
        reduction.nextRow++;
    }
}

void finishRowReduction(RowReduction& reduction, GalleryImage& image)
{
    image = std::move(reduction.image);
    image.pictureWidth = reduction.sourceWidth;
    image.pictureHeight = reduction.sourceHeight;
    reduction = RowReduction();
}

void reduceToFit(GalleryImage& image, int maxSide)
{
    if (maxSide < 1 || std::max(image.width, image.height) <= maxSide) return;
    // The picture's own size stays what it was (a JPEG's is larger than its decode).
    const int pictureWidth = image.pictureWidth, pictureHeight = image.pictureHeight;
    RowReduction reduction;
    startRowReduction(reduction, image.width, image.height, maxSide);
    for (int y = 0; y < image.height; ++y) addReducedRow(reduction, &image.rgb[static_cast<size_t>(y) * image.width * 3]);
    finishRowReduction(reduction, image);
    if (pictureWidth > 0 && pictureHeight > 0) image.pictureWidth = pictureWidth, image.pictureHeight = pictureHeight;
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
