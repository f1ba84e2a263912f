// The default gallery picture and the password prompt pictures.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "tools/artwork.h"

namespace {

constexpr float kPi = 3.14159265f;

// Noise along one line (wraps every `period` units), 0..1, for ridge lines.
float lineNoise(float x, int octaves, int seed)
{
    float sum = 0.0f, weight = 0.5f, total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        const float f = x * float(1 << i);
        const int x0 = int(std::floor(f));
        const float t = f - x0, s = t * t * (3 - 2 * t);
        sum += weight * (hash01(x0, i, seed) + (hash01(x0 + 1, i, seed) - hash01(x0, i, seed)) * s);
        total += weight;
        weight *= 0.5f;
    }
    return sum / total;
}

void fillDisc(Image& image, float cx, float cy, float r, Rgb c, float alpha = 1.0f)
{
    for (int y = std::max(0, int(cy - r - 1)); y <= std::min(image.height - 1, int(cy + r + 1)); ++y)
        for (int x = std::max(0, int(cx - r - 1)); x <= std::min(image.width - 1, int(cx + r + 1)); ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            blend(image.at(x, y), c, alpha * clamp01(r + 0.5f - d));
        }
}

// A round-topped tree: trunk, a dark crown with a lit side.
void paintTree(Image& image, float x, float ground, float size, int seed)
{
    for (int y = int(ground - size * 0.9f); y < int(ground); ++y)
        for (int dx = -1; dx <= 0; ++dx)
            if (y >= 0 && y < image.height) image.at(int(x) + dx, y) = rgb255(70, 46, 30);
    for (int i = 0; i < 7; ++i) {
        const float ox = (hash01(i, 0, seed) - 0.5f) * size * 0.9f;
        const float oy = -size * (0.9f + 0.6f * hash01(i, 1, seed));
        const float r = size * (0.35f + 0.2f * hash01(i, 2, seed));
        fillDisc(image, x + ox, ground + oy, r, mix(rgb255(30, 76, 40), rgb255(46, 104, 50), hash01(i, 3, seed)));
    }
    fillDisc(image, x - size * 0.2f, ground - size * 1.45f, size * 0.28f, rgb255(92, 150, 70), 0.55f);
}

// ---- A 5 x 7 bitmap font, only the glyphs the prompt needs -----------------------

struct Glyph {
    char character;
    const char* rows[7];
};

const Glyph kFont[] = {
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
    {'s', {".....", ".....", ".####", "#....", ".###.", "....#", "####."}},
    {'w', {".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."}},
    {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
    {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
    {'d', {"....#", "....#", ".##.#", "#..##", "#...#", "#...#", ".####"}},
    {':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
};

const Glyph* findGlyph(char c)
{
    for (const Glyph& glyph : kFont)
        if (glyph.character == c) return &glyph;
    return nullptr;
}

// Draws text with its top-left corner at x, y; each font pixel becomes
// scale x scale pixels; a glyph advances 6 font pixels.
void drawText(Image& image, int x, int y, const char* text, int scale, Rgb colour)
{
    for (size_t i = 0; i < std::strlen(text); ++i) {
        const Glyph* glyph = findGlyph(text[i]);
        if (glyph == nullptr) continue;  // the prompt only needs these letters
        for (int row = 0; row < 7; ++row)
            for (int column = 0; column < 5; ++column) {
                if (glyph->rows[row][column] != '#') continue;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx) {
                        const int px = x + (int(i) * 6 + column) * scale + dx, py = y + row * scale + dy;
                        if (px >= 0 && px < image.width && py >= 0 && py < image.height) image.at(px, py) = colour;
                    }
            }
    }
}

void fillRect(Image& image, int x0, int y0, int x1, int y1, Rgb c)
{
    for (int y = std::max(0, y0); y < std::min(image.height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(image.width, x1); ++x) image.at(x, y) = c;
}

}  // namespace

Image paintDefaultPicture()
{
    const int width = 256, height = 192, frame = 10;
    Image image(width, height);
    const float horizon = height * 0.56f;

    // Evening sky: warm near the horizon, deep blue above, a low sun.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float t = float(y) / horizon;
            Rgb c = mix(rgb255(52, 92, 168), rgb255(250, 196, 130), std::pow(clamp01(t), 2.2f));
            const float cloud = smoothstep(0.55f, 0.75f, tileFbm(x / 256.0f, y / 96.0f, 4, 2, 5, 301));
            c = mix(c, rgb255(252, 226, 212), cloud * 0.6f * (1.0f - t * 0.5f));
            image.at(x, y) = c;
        }
    const float sunX = width * 0.7f, sunY = horizon - 64;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float d = std::hypot(x - sunX, y - sunY);
            blend(image.at(x, y), rgb255(255, 236, 180), 0.5f * std::exp(-d / 26.0f));
        }
    fillDisc(image, sunX, sunY, 10, rgb255(255, 248, 220));

    // Three ranges, hazier with distance; snow on the highest peaks.
    struct Range {
        float base, amplitude, frequency;
        Rgb colour;
    };
    const Range ranges[] = {
        {horizon - 6, 56, 1 / 40.0f, rgb255(128, 118, 164)},
        {horizon - 1, 30, 1 / 30.0f, rgb255(82, 98, 128)},
        {horizon + 2, 12, 1 / 50.0f, rgb255(58, 96, 62)},
    };
    for (int r = 0; r < 3; ++r) {
        const Range& range = ranges[r];
        for (int x = 0; x < width; ++x) {
            const float n = lineNoise(x * range.frequency + r * 3.7f, 5, 310 + r);
            const float peak = clamp01((n - 0.2f) / 0.6f);  // the noise rarely leaves 0.2..0.8
            const float ridge = range.base - range.amplitude * std::pow(peak, 1.5f);
            for (int y = std::max(0, int(ridge)); y <= int(horizon); ++y) {
                const float depth = (y - ridge) / (horizon - ridge + 1.0f);
                Rgb c = scale(range.colour, 1.05f - 0.2f * depth + 0.06f * (hash01(x, y, 320 + r) - 0.5f));
                if (r == 0 && ridge < horizon - 38 && y - ridge < (horizon - 38 - ridge) * 0.6f + 2)
                    c = mix(rgb255(236, 232, 244), c, 0.2f + 0.3f * hash01(x / 2, y, 321));
                // Haze gathers near the valley floor.
                image.at(x, y) = mix(c, rgb255(236, 200, 170), 0.35f * depth * (r == 2 ? 0.3f : 1.0f));
            }
        }
    }

    // A lake reflecting the sky, then a meadow with flowers in the foreground.
    for (int y = int(horizon) + 1; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float shore = horizon + 26 + 14 * std::sin(x * kPi / width * 1.5f + 0.4f) +
                                6 * lineNoise(x / 32.0f, 4, 330);
            if (y < shore) {
                const int mirror = std::max(0, int(2 * horizon - y));
                Rgb c = scale(image.at(x, std::min(mirror, height - 1)), 0.8f);
                // Glints on the ripples, brightest under the sun.
                const float ripple = tileNoise(x / 6.0f, y * 1.2f, 64, 256, 334);
                const float glint = smoothstep(0.7f, 0.9f, ripple) * (0.25f + 0.6f * std::exp(-std::fabs(x - sunX) / 24.0f));
                c = mix(mix(c, rgb255(40, 80, 110), 0.25f), rgb255(255, 236, 190), glint);
                image.at(x, y) = c;
            } else {
                const float n = tileFbm(x / 256.0f, y / 192.0f, 8, 6, 4, 331);
                Rgb c = mix(rgb255(70, 128, 52), rgb255(120, 164, 64), n);
                c = scale(c, 0.85f + 0.3f * float(y - shore) / height);
                if (hash01(x, y, 332) > 0.985f) c = hash01(x, y, 333) > 0.5f ? rgb255(240, 210, 60) : rgb255(230, 90, 110);
                image.at(x, y) = c;
            }
        }
    paintTree(image, width * 0.16f, height * 0.86f, 22, 340);
    paintTree(image, width * 0.27f, height * 0.9f, 16, 341);
    paintTree(image, width * 0.86f, height * 0.88f, 19, 342);

    // A gilt frame with a dark inner edge.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int edge = std::min(std::min(x, y), std::min(width - 1 - x, height - 1 - y));
            if (edge >= frame) continue;
            const float profile = std::sin((edge + 0.5f) / frame * kPi);
            // The light falls from the upper left: the top and left mouldings are lit.
            const bool litSide = edge == x || edge == y;
            Rgb c = mix(rgb255(120, 84, 30), rgb255(232, 190, 96), profile);
            if (!litSide) c = scale(c, 0.8f);
            if (edge == frame - 1) c = rgb255(60, 40, 20);
            image.at(x, y) = c;
        }
    return image;
}

Image paintPasswordPrompt(int scale)
{
    // The dots go from 8 * scale pixels right of the left edge, 4 * scale
    // apart, up to 43 of them, centred scale pixels below the middle row.
    const int width = scale == 1 ? 184 : 370, height = 36 * scale;
    Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.at(x, y) = mix(rgb255(58, 74, 120), rgb255(30, 38, 70), float(y) / height);

    // Bevelled border of the panel.
    fillRect(image, 0, 0, width, scale, rgb255(130, 150, 200));
    fillRect(image, 0, 0, scale, height, rgb255(130, 150, 200));
    fillRect(image, 0, height - scale, width, height, rgb255(14, 18, 36));
    fillRect(image, width - scale, 0, width, height, rgb255(14, 18, 36));

    // The label in the upper part, with a shadow.
    drawText(image, 7 * scale + scale / 2, 3 * scale + scale, "Password:", scale, rgb255(10, 14, 30));
    drawText(image, 7 * scale, 3 * scale, "Password:", scale, rgb255(250, 248, 236));

    // The field: a white band round the dot line, sunk into the panel.
    const int dotLine = height / 2 + scale;
    const int top = dotLine - 6 * scale, bottom = dotLine + 7 * scale;
    const int left = 4 * scale, right = width - 4 * scale;
    fillRect(image, left - scale, top - scale, right + scale, bottom + scale, rgb255(16, 20, 40));
    fillRect(image, left, top, right + scale, bottom + scale, rgb255(170, 180, 200));
    fillRect(image, left, top, right, bottom, rgb255(252, 252, 248));
    fillRect(image, left, top, right, top + scale, rgb255(214, 218, 226));  // the field's inner shadow
    return image;
}
