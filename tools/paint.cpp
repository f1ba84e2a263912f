// Colour arithmetic and tileable noise for the painters.
#include <cmath>
#include <cstdint>

#include "tools/artwork.h"

Rgb mix(Rgb a, Rgb b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(Rgb c, float factor)
{
    return {c.r * factor, c.g * factor, c.b * factor};
}

Rgb rgb255(int r, int g, int b)
{
    return {r / 255.0f, g / 255.0f, b / 255.0f};
}

float clamp01(float v)
{
    return v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v;
}

float smoothstep(float edge0, float edge1, float v)
{
    const float t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

void blend(Rgb& pixel, Rgb c, float alpha)
{
    pixel = mix(pixel, c, clamp01(alpha));
}

float hash01(int x, int y, int seed)
{
    uint32_t h = uint32_t(x) * 0x8DA6B343u ^ uint32_t(y) * 0xD8163841u ^ uint32_t(seed) * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    h *= 0x27D4EB2Du;
    h ^= h >> 16;
    return float(h & 0xFFFFFF) / float(0xFFFFFF);
}

float tileNoise(float x, float y, int periodX, int periodY, int seed)
{
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const float fx = x - x0, fy = y - y0;
    auto corner = [&](int dx, int dy) {
        int cx = (x0 + dx) % periodX, cy = (y0 + dy) % periodY;
        if (cx < 0) cx += periodX;
        if (cy < 0) cy += periodY;
        return hash01(cx, cy, seed);
    };
    // Quintic easing keeps the lattice from showing.
    const float sx = fx * fx * fx * (fx * (fx * 6 - 15) + 10);
    const float sy = fy * fy * fy * (fy * (fy * 6 - 15) + 10);
    const float top = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * sx;
    const float bottom = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * sx;
    return top + (bottom - top) * sy;
}

float tileFbm(float u, float v, int periodX, int periodY, int octaves, int seed)
{
    float sum = 0.0f, weight = 0.5f, total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        const int px = periodX << i, py = periodY << i;
        sum += tileNoise(u * px, v * py, px, py, seed + i * 101) * weight;
        total += weight;
        weight *= 0.5f;
    }
    return sum / total;
}

float wrapDelta(float a, float b, float size)
{
    float d = std::fabs(a - b);
    if (d > size * 0.5f) d = size - d;
    return d;
}

int extraOctaves(const Image& image)
{
    int octaves = 0;
    for (float d = image.detail; d >= 2.0f; d *= 0.5f) ++octaves;
    return octaves;
}

float classicPosition(int pixel, const Image& image)
{
    if (image.detail == 1.0f) return float(pixel);
    return (pixel + 0.5f) / image.detail - 0.5f;
}

float pixelNoise(int x, int y, const Image& image, int seed)
{
    if (image.detail == 1.0f) return hash01(x, y, seed);
    // Two lattices half a pixel apart, averaged and their spread restored,
    // so the speckle shows no rows and columns; each repeats with the texture.
    const int periodX = int(std::lround(image.width / image.detail));
    const int periodY = int(std::lround(image.height / image.detail));
    const float px = classicPosition(x, image), py = classicPosition(y, image);
    const float a = tileNoise(px, py, periodX, periodY, seed);
    const float b = tileNoise(px + 0.5f, py + 0.5f, periodX, periodY, seed + 7919);
    return clamp01(0.5f + (a + b - 1.0f) * 0.7071f);
}

bool speckleOf(int x, int y, const Image& image, int* classicX, int* classicY)
{
    if (image.detail == 1.0f) {
        *classicX = x, *classicY = y;
        return true;
    }
    const float px = (x + 0.5f) / image.detail, py = (y + 0.5f) / image.detail;
    const int cx = int(std::floor(px)), cy = int(std::floor(py));
    const float centreX = cx + 0.5f + 0.25f * (hash01(cx, cy, 7001) - 0.5f);
    const float centreY = cy + 0.5f + 0.25f * (hash01(cx, cy, 7002) - 0.5f);
    const float dx = px - centreX, dy = py - centreY;
    *classicX = cx, *classicY = cy;
    return dx * dx + dy * dy < 1.0f / 3.14159265f;
}
