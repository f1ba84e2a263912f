// The gallery pictures' textures before they reach OpenGL: how large each
// one is made, and its resampled level 0 with the smaller mipmap levels.
// Plain pixel work, safe on the worker threads.
#include <algorithm>
#include <cmath>

#include "world/museum.h"
#include "world/textures.h"

namespace {

// The walk keeps to the cell centres: a picture is never nearer the eye than
// half a cell less its gap to the wall.
constexpr double kNearestDistance = 0.5 - 0.02;
constexpr double kHalfFieldOfView = 42.0 * 3.14159265358979 / 180.0;   // the projection's 84 degrees

int powerOfTwoAtLeast(int n)
{
    int p = 1;
    while (p < n && p < kMaxPictureTexture) p *= 2;
    return p;
}

int powerOfTwoAtMost(int n)
{
    int p = 1;
    while (p * 2 <= n && p * 2 <= kMaxPictureTexture) p *= 2;
    return p;
}

// Weights of a 1-D resampling from `from` samples to `to`: each output sample
// averages the inputs under a tent as wide as the reduction (at least one
// input sample either side), so a large reduction reads every input.
struct Taps {
    std::vector<int> first, count;
    std::vector<float> weights;   // count[i] weights of output i, one after the other
};

Taps tapsFor(int from, int to)
{
    Taps taps;
    const double scale = static_cast<double>(from) / to;
    const double radius = std::max(1.0, scale);
    for (int i = 0; i < to; ++i) {
        const double centre = (i + 0.5) * scale - 0.5;
        int lo = static_cast<int>(std::ceil(centre - radius)), hi = static_cast<int>(std::floor(centre + radius));
        lo = std::max(lo, 0), hi = std::min(hi, from - 1);
        double sum = 0;
        const size_t start = taps.weights.size();
        for (int j = lo; j <= hi; ++j) {
            const double w = std::max(0.0, 1.0 - std::fabs(j - centre) / radius);
            taps.weights.push_back(static_cast<float>(w));
            sum += w;
        }
        if (hi < lo || sum <= 0) {   // no input under the tent: take the nearest
            lo = hi = std::min(std::max(static_cast<int>(std::lround(centre)), 0), from - 1);
            taps.weights.resize(start);
            taps.weights.push_back(1.0f);
            sum = 1;
        }
        for (size_t k = start; k < taps.weights.size(); ++k) taps.weights[k] = static_cast<float>(taps.weights[k] / sum);
        taps.first.push_back(lo);
        taps.count.push_back(hi - lo + 1);
    }
    return taps;
}

// Resamples along the rows (stride 3 between samples, rows apart by rowBytes)
// or down the columns, from `from` to `to` samples, `lines` lines.
void resampleLines(const uint8_t* in, uint8_t* out, int from, int to, int lines, bool alongRows)
{
    const Taps taps = tapsFor(from, to);
    for (int line = 0; line < lines; ++line) {
        size_t weight = 0;
        for (int i = 0; i < to; ++i) {
            float sum[3] = {0, 0, 0};
            for (int k = 0; k < taps.count[i]; ++k) {
                const int j = taps.first[i] + k;
                const uint8_t* p = alongRows ? in + (static_cast<size_t>(line) * from + j) * 3
                                             : in + (static_cast<size_t>(j) * lines + line) * 3;
                const float w = taps.weights[weight + k];
                sum[0] += w * p[0], sum[1] += w * p[1], sum[2] += w * p[2];
            }
            weight += taps.count[i];
            uint8_t* q = alongRows ? out + (static_cast<size_t>(line) * to + i) * 3
                                   : out + (static_cast<size_t>(i) * lines + line) * 3;
            for (int c = 0; c < 3; ++c) q[c] = static_cast<uint8_t>(std::min(255.0f, sum[c] + 0.5f));
        }
    }
}

} // namespace

float pixelsPerUnitAtNearest(int viewHeight)
{
    return static_cast<float>(std::max(0, viewHeight) / (2.0 * kNearestDistance * std::tan(kHalfFieldOfView)));
}

int photoPixelsAtNearest(int viewHeight)
{
    const double photoSide = kSlotSide - 2.0 * (kFrameBar + kMatWidth);
    const double seen = 2.0 * kNearestDistance * std::tan(kHalfFieldOfView);   // world units across the view's height
    return static_cast<int>(std::ceil(std::max(0, viewHeight) * photoSide / seen));
}

TextureSize chooseTextureSize(int width, int height, int viewHeight, int pictureCount)
{
    if (width < 1 || height < 1) return {1, 1};
    const int longer = std::max(1, photoPixelsAtNearest(viewHeight));
    const double shorterShare = static_cast<double>(std::min(width, height)) / std::max(width, height);
    const int shorter = std::max(1, static_cast<int>(std::ceil(longer * shorterShare)));
    const int wanted[2] = {width >= height ? longer : shorter, width >= height ? shorter : longer};
    TextureSize size{std::min(powerOfTwoAtLeast(wanted[0]), powerOfTwoAtMost(width)),
                     std::min(powerOfTwoAtLeast(wanted[1]), powerOfTwoAtMost(height))};
    const int64_t share = kPictureTextureBudget / std::max(1, std::min(pictureCount, kMaxPictures));
    while (textureBytes(size) > share && (size.width > 1 || size.height > 1)) {
        if (size.width >= size.height)
            size.width /= 2;
        else
            size.height /= 2;
    }
    return size;
}

int64_t textureBytes(TextureSize size)
{
    int64_t bytes = 0;
    for (int w = size.width, h = size.height;; w = std::max(1, w / 2), h = std::max(1, h / 2)) {
        bytes += static_cast<int64_t>(w) * h * 4;
        if (w == 1 && h == 1) break;
    }
    return bytes;
}

MipmapChain buildMipmaps(const uint8_t* rgb, int width, int height, TextureSize size)
{
    MipmapChain chain;
    if (width < 1 || height < 1 || size.width < 1 || size.height < 1) return chain;
    // Along the rows first, then down the columns (the column pass writes rows again).
    std::vector<uint8_t> across(static_cast<size_t>(size.width) * height * 3);
    resampleLines(rgb, across.data(), width, size.width, height, true);
    std::vector<uint8_t> base(static_cast<size_t>(size.width) * size.height * 3);
    resampleLines(across.data(), base.data(), height, size.height, size.width, false);
    across = std::vector<uint8_t>();
    chain.sizes.push_back(size);
    chain.levels.push_back(std::move(base));

    while (size.width > 1 || size.height > 1) {
        const TextureSize next{std::max(1, size.width / 2), std::max(1, size.height / 2)};
        const std::vector<uint8_t>& above = chain.levels.back();
        std::vector<uint8_t> level(static_cast<size_t>(next.width) * next.height * 3);
        // A side already 1 texel long averages only along the other.
        const int dx = size.width > 1 ? 1 : 0, dy = size.height > 1 ? 1 : 0;
        for (int y = 0; y < next.height; ++y)
            for (int x = 0; x < next.width; ++x) {
                const int sx = x * (1 + dx), sy = y * (1 + dy);
                const uint8_t* a = &above[(static_cast<size_t>(sy) * size.width + sx) * 3];
                const uint8_t* b = a + dx * 3;
                const uint8_t* c = a + static_cast<size_t>(dy) * size.width * 3;
                const uint8_t* d = c + dx * 3;
                uint8_t* q = &level[(static_cast<size_t>(y) * next.width + x) * 3];
                for (int k = 0; k < 3; ++k) q[k] = static_cast<uint8_t>((a[k] + b[k] + c[k] + d[k] + 2) / 4);
            }
        chain.sizes.push_back(next);
        chain.levels.push_back(std::move(level));
        size = next;
    }
    return chain;
}
