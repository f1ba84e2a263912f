// Geometric textures: checkers, spots, tiles, rugs, ceiling panels, bumps, bricks.
// Every one repeats seamlessly, since each wall, floor and ceiling square
// shows one whole copy.
#include <algorithm>
#include <cmath>

#include "tools/artwork.h"

namespace {

constexpr float kPi = 3.14159265f;

// A modulo period, never negative.
float wrapped(float a, float period)
{
    const float r = std::fmod(a, period);
    return r < 0 ? r + period : r;
}

// A faint cloudy variation that keeps flat colours from looking printed.
float grain(int x, int y, const Image& image, int seed)
{
    return tileFbm(float(x) / image.width, float(y) / image.height, 8, 8, 4 + extraOctaves(image), seed) - 0.5f;
}

// ---- Checkers -----------------------------------------------------------------

void paintChecker(Image& image, Rgb dark, Rgb light, int squares, int seed)
{
    const int side = image.width / squares;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const bool isDark = ((x / side) + (y / side)) % 2 == 0;
            Rgb c = isDark ? dark : light;
            // Polished stone: a slow sheen plus a little cloudiness per square.
            const float sheen = 0.06f * std::sin((x + y) * 2 * kPi / image.width);
            c = scale(c, 1.0f + sheen + 0.12f * grain(x, y, image, seed));
            // A fine seam between the squares.
            if (x % side < image.detail || y % side < image.detail) c = scale(c, 0.85f);
            image.at(x, y) = c;
        }
}

void checker(Image& image) { paintChecker(image, rgb255(28, 28, 32), rgb255(236, 232, 222), 4, 1); }
void bchecker(Image& image) { paintChecker(image, rgb255(34, 70, 168), rgb255(232, 236, 244), 4, 2); }
void rchecker(Image& image) { paintChecker(image, rgb255(168, 30, 34), rgb255(240, 232, 220), 4, 3); }

// ---- Spots ----------------------------------------------------------------------

// Round spots, one per cell of a 4 x 4 grid, jittered, shaded like buttons.
void paintSpots(Image& image, Rgb background, Rgb spot, int seed)
{
    const int cells = 4;
    const float cell = float(image.width) / cells;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.at(x, y) = scale(background, 1.0f + 0.08f * grain(x, y, image, seed));

    for (int cy = 0; cy < cells; ++cy)
        for (int cx = 0; cx < cells; ++cx) {
            const float centreX = (cx + 0.3f + 0.4f * hash01(cx, cy, seed)) * cell;
            const float centreY = (cy + 0.3f + 0.4f * hash01(cx, cy, seed + 1)) * cell;
            const float radius = cell * (0.22f + 0.12f * hash01(cx, cy, seed + 2));
            const Rgb tone = scale(spot, 0.85f + 0.3f * hash01(cx, cy, seed + 3));
            const int reach = int(radius) + 3;
            for (int dy = -reach; dy <= reach; ++dy)
                for (int dx = -reach; dx <= reach; ++dx) {
                    const int px = int(centreX) + dx, py = int(centreY) + dy;
                    const float ox = px + 0.5f - centreX, oy = py + 0.5f - centreY;
                    const float d = std::sqrt(ox * ox + oy * oy);
                    const float cover = clamp01(radius + 0.5f - d);
                    if (cover <= 0.0f) continue;
                    // Light from the upper left: brighter there, darker below.
                    const float shade = 1.0f - 0.35f * (ox + oy) / (2.0f * radius);
                    const float glint = std::exp(-((ox + radius * 0.4f) * (ox + radius * 0.4f) +
                                                   (oy + radius * 0.4f) * (oy + radius * 0.4f)) /
                                                 (radius * radius * 0.05f));
                    Rgb c = mix(scale(tone, shade), {1, 1, 1}, 0.6f * glint);
                    blend(image.wrapped(px, py), c, cover);
                }
        }
}

void purpspot(Image& image) { paintSpots(image, rgb255(236, 226, 244), rgb255(120, 46, 150), 10); }
void bluespot(Image& image) { paintSpots(image, rgb255(222, 234, 246), rgb255(36, 84, 178), 20); }
void redspot(Image& image) { paintSpots(image, rgb255(246, 236, 222), rgb255(190, 36, 40), 30); }

// ---- Tiles -----------------------------------------------------------------------

struct TileStyle {
    int across;        // tiles per side
    int grout;         // grout width, pixels
    Rgb groutColour;
    float variation;   // how much each tile's colour varies
    float bevel;       // strength of the raised edge
    float gloss;       // strength of the glaze highlight
};

// Square tiles; colourOf gives each tile's colour from its position and a 0..1 random.
template <typename ColourOf>
void paintTiles(Image& image, const TileStyle& style, int seed, ColourOf colourOf)
{
    const int side = image.width / style.across;
    const int grout = int(style.grout * image.detail), edge = int(2 * image.detail);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const int tx = x / side, ty = y / side;
            const int lx = x % side, ly = y % side;
            if (lx < grout || ly < grout) {
                image.at(x, y) = scale(style.groutColour, 1.0f + 0.2f * grain(x, y, image, seed));
                continue;
            }
            const float r = hash01(tx, ty, seed);
            Rgb c = colourOf(tx, ty, lx - grout, ly - grout, side - grout);
            c = scale(c, 1.0f + style.variation * (r - 0.5f) + 0.08f * grain(x, y, image, seed + 1));
            // Raised edges: lit along the top and left, shaded along the bottom and right.
            const int inner = side - grout;
            const int fromTopLeft = std::min(lx - grout, ly - grout);
            const int fromBottomRight = std::min(inner - 1 - (lx - grout), inner - 1 - (ly - grout));
            if (fromTopLeft < edge) c = scale(c, 1.0f + style.bevel);
            else if (fromBottomRight < edge) c = scale(c, 1.0f - style.bevel);
            // The glaze catches the light in a soft diagonal streak.
            const float streak = float(lx + ly) / (2 * side);
            c = mix(c, {1, 1, 1}, style.gloss * std::exp(-std::pow((streak - 0.3f) * 9.0f, 2.0f)));
            image.at(x, y) = c;
        }
}

void tile1(Image& image)  // green glazed tiles
{
    const TileStyle style{4, 2, rgb255(200, 204, 192), 0.25f, 0.18f, 0.25f};
    paintTiles(image, style, 41, [](int tx, int ty, int, int, int) {
        return mix(rgb255(38, 122, 82), rgb255(70, 156, 104), hash01(tx, ty, 42));
    });
}

void tile2(Image& image)  // large sandstone slabs
{
    const TileStyle style{2, 3, rgb255(120, 108, 92), 0.18f, 0.10f, 0.0f};
    paintTiles(image, style, 51, [](int tx, int ty, int lx, int ly, int inner) {
        const float n = tileFbm(float(lx) / inner, float(ly) / inner, 6, 6, 5, 52 + tx * 7 + ty);
        return mix(rgb255(196, 160, 118), rgb255(226, 198, 156), n);
    });
}

void tile3(Image& image)  // blue and white tiles with a painted motif
{
    const TileStyle style{2, 2, rgb255(214, 214, 220), 0.05f, 0.10f, 0.2f};
    const float k = image.detail;
    paintTiles(image, style, 61, [k](int, int, int lx, int ly, int inner) {
        const Rgb white = rgb255(240, 242, 246), blue = rgb255(28, 64, 156);
        const float h = inner * 0.5f;
        const float ox = lx + 0.5f - h, oy = ly + 0.5f - h;
        const float diamond = std::fabs(ox) + std::fabs(oy);
        // Quarter circles in the corners join into circles across four tiles.
        const float cx = std::min(float(lx), float(inner - lx)), cy = std::min(float(ly), float(inner - ly));
        const float corner = std::sqrt(cx * cx + cy * cy);
        const float petal = std::fabs(std::sin(std::atan2(oy, ox) * 2.0f));
        if (diamond < h * 0.45f * (0.6f + 0.4f * petal)) return blue;
        if (std::fabs(diamond - h * 0.62f) < 1.2f * k) return blue;
        if (corner < h * 0.32f) return blue;
        if (std::fabs(corner - h * 0.42f) < 1.0f * k) return blue;
        return white;
    });
}

void tile4(Image& image)  // small green and white mosaic
{
    const TileStyle style{8, 1, rgb255(170, 176, 168), 0.15f, 0.12f, 0.15f};
    paintTiles(image, style, 71, [](int tx, int ty, int, int, int) {
        return (tx + ty) % 2 == 0 ? rgb255(52, 140, 92) : rgb255(234, 238, 228);
    });
}

void tile5(Image& image)  // cream octagons with small dark insets at the corners
{
    const int across = 2, side = image.width / across;
    const float k = image.detail;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const int lx = x % side, ly = y % side;
            const float cx = std::min(lx + 0.5f, side - lx - 0.5f), cy = std::min(ly + 0.5f, side - ly - 0.5f);
            const float cut = cx + cy;  // distance from the nearest corner, L1
            Rgb c;
            if (cut < side * 0.22f)
                c = rgb255(92, 58, 44);  // the inset
            else if (cut < side * 0.22f + 2.0f * k || cx < 1.5f * k || cy < 1.5f * k)
                c = rgb255(168, 158, 140);  // grout
            else
                c = mix(rgb255(232, 220, 190), rgb255(244, 236, 214),
                        tileFbm(float(x) / image.width, float(y) / image.height, 4, 4, 5 + extraOctaves(image), 81));
            image.at(x, y) = scale(c, 1.0f + 0.06f * grain(x, y, image, 82));
        }
}

void colourTile(Image& image, Rgb base, int seed)
{
    const TileStyle style{4, 2, rgb255(60, 60, 64), 0.22f, 0.2f, 0.35f};
    paintTiles(image, style, seed, [base, seed](int tx, int ty, int, int, int) {
        return scale(base, 0.85f + 0.3f * hash01(tx, ty, seed + 5));
    });
}

void bluetile(Image& image) { colourTile(image, rgb255(40, 92, 190), 91); }
void redtile(Image& image) { colourTile(image, rgb255(184, 40, 38), 92); }
void purptile(Image& image) { colourTile(image, rgb255(118, 52, 160), 93); }

// ---- Rugs ------------------------------------------------------------------------

struct RugColours {
    Rgb field, border, accent, medallion, light;
};

// A rug: a fringe, a dark border with a running motif, a field with a
// stepped medallion in the middle and small ornaments around it. Drawn in
// classic pixels (x, y below), whatever the image's size.
void paintRug(Image& image, const RugColours& k, int motif, int seed)
{
    const float n = image.width / image.detail;
    const float half = n * 0.5f;
    for (int py = 0; py < image.height; ++py)
        for (int px = 0; px < image.width; ++px) {
            const float x = classicPosition(px, image), y = classicPosition(py, image);
            const float edge = std::min(std::min(x, y), std::min(n - 1 - x, n - 1 - y));
            const float ox = x + 0.5f - half, oy = y + 0.5f - half;
            Rgb c;
            if (edge < 3) {
                c = (int(std::floor(x + y)) % 3 + 3) % 3 == 0 ? k.light : scale(k.light, 0.8f);  // fringe
            } else if (edge < 5) {
                c = k.accent;
            } else if (edge < 17) {
                // The border band with its running motif along it.
                const float along = (edge == std::min(x, n - 1 - x)) ? y : x;
                const float u = wrapped(along, 16.0f) - 7.5f, v = edge - 11;
                const bool mark = motif == 0   ? std::fabs(u) + std::fabs(v) * 1.4f < 6.0f
                                  : motif == 1 ? (std::fabs(u) < 2.0f || std::fabs(v) < 1.5f) && std::fabs(u) + std::fabs(v) < 7.0f
                                               : std::fabs(std::fabs(u) - std::fabs(v) * 1.3f) < 1.6f;
                c = mark ? k.light : k.border;
            } else if (edge < 19) {
                c = k.accent;
            } else {
                const float d = std::fabs(ox) + std::fabs(oy) * 1.25f;
                if (d < 10.0f)
                    c = k.light;
                else if (d < 18.0f)
                    c = k.accent;
                else if (d < 30.0f)
                    c = k.medallion;
                else if (d < 33.0f)
                    c = k.light;
                else {
                    c = k.field;
                    // Small ornaments scattered over the field in a lattice.
                    const float gx = wrapped(x + 8, 16.0f), gy = wrapped(y + 8, 16.0f);
                    if (std::fabs(gx - 8) + std::fabs(gy - 8) < 3) c = k.accent;
                }
                // Stepped outline on the medallion, as knotted rugs have.
                if (d >= 18.0f && d < 30.0f && ((int(d) / 2) % 3 == 0)) c = mix(c, k.border, 0.6f);
                // Corner pieces: quarter medallions in the field's corners.
                const float qx = half - 19 - std::fabs(ox), qy = half - 19 - std::fabs(oy);
                if (qx + qy < 14.0f && qx >= 0 && qy >= 0) c = qx + qy < 8.0f ? k.medallion : k.accent;
            }
            // Knotted pile: tiny per-knot variation and a faint worn cloud;
            // where a knot spans many pixels, each is a little rounded.
            const int knotX = int(std::floor(x)) / 2, knotY = int(std::floor(y)) / 2;
            float knot = 0.08f * (hash01(knotX, knotY, seed) - 0.5f);
            if (image.detail > 1.0f) {
                const float kx = (x + 0.5f) * 0.5f - std::floor((x + 0.5f) * 0.5f);
                const float ky = (y + 0.5f) * 0.5f - std::floor((y + 0.5f) * 0.5f);
                knot += 0.06f * (std::sin(kPi * kx) * std::sin(kPi * ky) - 0.6f);
            }
            c = scale(c, 1.0f + knot + 0.12f * grain(px, py, image, seed + 1));
            image.at(px, py) = c;
        }
}

void rug1(Image& image)
{
    paintRug(image, {rgb255(150, 28, 34), rgb255(28, 36, 84), rgb255(214, 164, 64), rgb255(30, 60, 120),
                     rgb255(236, 222, 190)}, 0, 101);
}

void rug4(Image& image)
{
    paintRug(image, {rgb255(36, 70, 140), rgb255(236, 226, 200), rgb255(170, 40, 46), rgb255(224, 200, 150),
                     rgb255(246, 240, 224)}, 1, 104);
}

void rug5(Image& image)
{
    paintRug(image, {rgb255(34, 96, 64), rgb255(110, 26, 40), rgb255(220, 180, 90), rgb255(140, 30, 48),
                     rgb255(238, 226, 196)}, 2, 105);
}

void rug6(Image& image)
{
    paintRug(image, {rgb255(170, 92, 40), rgb255(64, 40, 28), rgb255(232, 190, 110), rgb255(110, 50, 30),
                     rgb255(240, 226, 196)}, 0, 106);
}

// ---- Ceilings, bumps, bricks -----------------------------------------------------

void ceiling1(Image& image)  // acoustic panels, 2 x 2, pitted
{
    const int side = image.width / 2;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            Rgb c = scale(rgb255(232, 230, 222), 1.0f + 0.10f * grain(x, y, image, 111));
            int sx, sy;
            if (speckleOf(x, y, image, &sx, &sy) && hash01(sx, sy, 112) > 0.93f)
                c = scale(c, 0.72f + 0.1f * hash01(sx, sy, 113));
            const float lx = x % side / image.detail, ly = y % side / image.detail;
            if (lx < 2 || ly < 2) c = rgb255(150, 150, 146);        // the metal grid
            else if (lx < 3 || ly < 3) c = scale(c, 0.88f);         // its shadow on the panel
            image.at(x, y) = c;
        }
}

void ceiling2(Image& image)  // a coffer with a gilt rosette, measured in classic pixels
{
    const int n = image.width;
    const float half = n * 0.5f / image.detail;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float ox = classicPosition(x, image) + 0.5f - half, oy = classicPosition(y, image) + 0.5f - half;
            const float ring = std::max(std::fabs(ox), std::fabs(oy));
            Rgb c = rgb255(236, 226, 204);
            if (ring > half - 8) {
                c = rgb255(224, 212, 186);  // the beam
            } else if (ring > half - 20) {
                // The sloping sides, lit from the room's light above the viewer.
                const bool upper = -oy > std::fabs(ox), lower = oy > std::fabs(ox);
                c = upper ? rgb255(208, 196, 170) : lower ? rgb255(246, 238, 220) : rgb255(226, 216, 192);
            } else if (ring > half - 23) {
                c = rgb255(196, 156, 70);  // gilt moulding
            }
            const float r = std::sqrt(ox * ox + oy * oy);
            const float petals = 0.5f + 0.5f * std::cos(std::atan2(oy, ox) * 8.0f);
            if (r < 10.0f + 8.0f * petals && ring <= half - 23) c = mix(rgb255(186, 140, 56), rgb255(232, 196, 104), 1.0f - r / 18.0f);
            image.at(x, y) = scale(c, 1.0f + 0.05f * grain(x, y, image, 121));
        }
}

void bluebmps(Image& image)  // rows of blue domes lit from the upper left
{
    const int cells = 8;
    const float cell = float(image.width) / cells;
    const float lx = -0.5f, ly = -0.6f, lz = 0.62f;  // light direction, roughly normalised
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            // Alternate rows are offset by half a cell, like a studded sheet.
            const int row = int(y / cell);
            const float shift = row % 2 ? cell * 0.5f : 0.0f;
            const float u = std::fmod(x + 0.5f + shift, cell) / cell - 0.5f;
            const float v = std::fmod(y + 0.5f, cell) / cell - 0.5f;
            const float r2 = (u * u + v * v) / (0.42f * 0.42f);
            Rgb c;
            if (r2 < 1.0f) {
                const float nz = std::sqrt(1.0f - r2), nx = u / 0.42f, ny = v / 0.42f;
                const float diffuse = clamp01(nx * lx + ny * ly + nz * lz);
                const float specular = std::pow(clamp01(2 * diffuse * nz - lz), 24.0f);
                c = mix(scale(rgb255(40, 90, 200), 0.35f + 0.75f * diffuse), {1, 1, 1}, 0.6f * specular);
            } else {
                c = rgb255(24, 46, 110);
                // The dome's shadow falls to the lower right.
                const float su = u - 0.06f, sv = v - 0.06f;
                if ((su * su + sv * sv) / (0.44f * 0.44f) < 1.0f) c = scale(c, 0.6f);
            }
            image.at(x, y) = scale(c, 1.0f + 0.05f * grain(x, y, image, 131));
        }
}

void brick1(Image& image)  // running bond, 8 courses
{
    const int courses = 8, perCourse = 4, mortar = int(3 * image.detail), wear = mortar + int(image.detail);
    const int height = image.height / courses, length = image.width / perCourse;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const int course = y / height;
            const int shifted = (x + (course % 2) * length / 2) % image.width;
            const int brick = shifted / length;
            const int bx = shifted % length, by = y % height;
            const float g = grain(x, y, image, 141);
            if (bx < mortar || by < mortar) {
                image.at(x, y) = scale(rgb255(176, 168, 152), 1.0f + 0.25f * g);
                continue;
            }
            const float r = hash01(brick, course, 142);
            Rgb c = mix(rgb255(150, 52, 36), rgb255(186, 92, 58), r);
            if (hash01(brick, course, 143) > 0.85f) c = mix(c, rgb255(96, 44, 34), 0.5f);  // an overburnt one
            int sx, sy;
            const float grit = speckleOf(x, y, image, &sx, &sy) && hash01(sx, sy, 144) > 0.9f ? -0.12f : 0.0f;
            c = scale(c, 1.0f + 0.3f * g + grit);
            // Edges worn darker next to the mortar.
            if (bx < wear || by < wear) c = scale(c, 0.85f);
            image.at(x, y) = c;
        }
}

}  // namespace

const TextureRecipe patternTextures[] = {
    {"checker.bmp", 128, checker},   {"bchecker.bmp", 128, bchecker}, {"rchecker.bmp", 128, rchecker},
    {"purpspot.bmp", 128, purpspot}, {"bluespot.bmp", 128, bluespot}, {"redspot.bmp", 128, redspot},
    {"tile1.bmp", 128, tile1},       {"tile2.bmp", 128, tile2},       {"tile3.bmp", 128, tile3},
    {"tile4.bmp", 128, tile4},       {"tile5.bmp", 128, tile5},       {"bluetile.bmp", 128, bluetile},
    {"redtile.bmp", 128, redtile},   {"purptile.bmp", 128, purptile}, {"rug1.bmp", 128, rug1},
    {"rug4.bmp", 128, rug4},         {"rug5.bmp", 128, rug5},         {"rug6.bmp", 128, rug6},
    {"ceiling1.bmp", 128, ceiling1}, {"ceiling2.bmp", 128, ceiling2}, {"bluebmps.bmp", 128, bluebmps},
    {"brick1.bmp", 256, brick1},
};
const int patternTextureCount = sizeof patternTextures / sizeof patternTextures[0];
