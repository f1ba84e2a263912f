// Textures after nature and paint: wood, marble, stone, water, sky, dirt,
// bubbles, splatter, swirls. All built from tileable noise, so they repeat
// without seams.
#include <cmath>

#include "tools/artwork.h"

namespace {

constexpr float kPi = 3.14159265f;

float u(int x, const Image& image) { return (x + 0.5f) / image.width; }
float v(int y, const Image& image) { return (y + 0.5f) / image.height; }

// ---- Wood ------------------------------------------------------------------------

void floor1(Image& image)  // varnished oak planks, staggered joints
{
    const int planks = 8;
    const int plankHeight = image.height / planks;
    const float k = image.detail;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const int plank = y / plankHeight;
            const int joint = int(hash01(plank, 0, 201) * image.width);
            const int piece = (x - joint + image.width) % image.width < image.width / 2 ? 0 : 1;
            const float tone = hash01(plank, piece, 202);
            // Grain: growth rings stretched along the plank, bent by noise.
            const float warp = tileFbm(u(x, image), v(y, image), 2, 16, 4, 203 + piece);
            const float ring = 0.5f + 0.5f * std::sin((y % plankHeight / k + 14.0f * warp + plank * 5.0f) * 1.3f);
            const float fibre = tileNoise(u(x, image) * 64, v(y, image) * 512, 64, 512, 204);
            Rgb light = mix(rgb255(196, 140, 84), rgb255(214, 164, 104), tone);
            Rgb dark = mix(rgb255(134, 84, 44), rgb255(156, 100, 56), tone);
            Rgb c = mix(light, dark, std::pow(ring, 3.0f) * 0.8f + 0.2f * fibre);
            // The varnish: a broad soft reflection across the floor.
            c = mix(c, rgb255(255, 236, 200), 0.12f * std::pow(std::sin(u(x, image) * kPi), 8.0f));
            // Dark gaps between the planks and at the butt joints.
            const int along = (x - joint + image.width) % (image.width / 2);
            if (y % plankHeight < k || along < k) c = rgb255(70, 42, 22);
            else if (y % plankHeight < 2 * k) c = scale(c, 1.1f);
            image.at(x, y) = c;
        }
}

// ---- Marble and stone ----------------------------------------------------------------

// Turbulence: octaves of folded noise, which gives marble its sharp bends.
float turbulence(float s, float t, int period, int octaves, int seed)
{
    float sum = 0.0f, weight = 0.5f, total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        const int p = period << i;
        sum += weight * std::fabs(2.0f * tileNoise(s * p, t * p, p, p, seed + i * 31) - 1.0f);
        total += weight;
        weight *= 0.5f;
    }
    return sum / total;
}

// Veined marble: bands bent by turbulence; the veins are where a band crosses
// zero, soft at the edges, with a second finer set across them.
void paintMarble(Image& image, Rgb base, Rgb cloud, Rgb vein, int seed)
{
    const int more = extraOctaves(image);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const float s = u(x, image), t = v(y, image);
            const float band = std::sin(2 * kPi * (s + t) + 5.0f * tileFbm(s, t, 2, 2, 6 + more, seed) +
                                        1.5f * turbulence(s, t, 4, 4 + more, seed + 5));
            const float fine = std::sin(2 * kPi * (2 * s - t) + 9.0f * turbulence(s, t, 3, 5 + more, seed + 7));
            Rgb c = mix(base, cloud, smoothstep(0.35f, 0.75f, tileFbm(s, t, 3, 3, 5 + more, seed + 3)));
            // A broad soft vein with a darker core, and faint hair veins.
            const float veinDepth = 1.0f - std::fabs(band);
            c = mix(c, mix(cloud, vein, 0.5f), 0.6f * std::pow(veinDepth, 5.0f));
            c = mix(c, vein, 0.7f * std::pow(veinDepth, 30.0f));
            c = mix(c, vein, 0.15f * std::pow(1.0f - std::fabs(fine), 40.0f));
            image.at(x, y) = c;
        }
}

void marble1(Image& image)
{
    paintMarble(image, rgb255(236, 236, 232), rgb255(196, 198, 200), rgb255(92, 94, 102), 211);
}

void marble2p(Image& image)
{
    paintMarble(image, rgb255(226, 180, 176), rgb255(244, 222, 214), rgb255(132, 56, 66), 221);
}

void texture1(Image& image)  // granite: speckles of three minerals in a grey ground
{
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const float s = u(x, image), t = v(y, image);
            const int more = extraOctaves(image);
            Rgb c = mix(rgb255(150, 144, 136), rgb255(184, 178, 168), tileFbm(s, t, 4, 4, 5 + more, 231));
            // Larger copies bend the grains' outlines a little, so they do not
            // follow the noise lattice in straight runs.
            const float bend = more ? 0.012f * (tileFbm(s, t, 32, 32, more + 2, 236) - 0.5f) : 0.0f;
            const float bs = s + bend, bt = t - bend;
            const float dark = tileNoise(bs * 48, bt * 48, 48, 48, 232);
            const float pink = tileNoise(bs * 32, bt * 32, 32, 32, 233);
            const float white = tileNoise(bs * 64, bt * 64, 64, 64, 234);
            if (dark > 0.72f) c = mix(c, rgb255(52, 50, 52), smoothstep(0.72f, 0.8f, dark));
            if (pink > 0.74f) c = mix(c, rgb255(196, 150, 130), smoothstep(0.74f, 0.82f, pink));
            if (white > 0.78f) c = mix(c, rgb255(236, 234, 228), smoothstep(0.78f, 0.84f, white));
            c = scale(c, 0.92f + 0.16f * pixelNoise(x, y, image, 235));
            image.at(x, y) = c;
        }
}

void dirt1(Image& image)  // packed earth with pebbles
{
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const float s = u(x, image), t = v(y, image);
            const float n = tileFbm(s, t, 6, 6, 6 + extraOctaves(image), 241);
            Rgb c = mix(rgb255(72, 50, 32), rgb255(136, 102, 68), n);
            c = scale(c, 0.85f + 0.3f * pixelNoise(x, y, image, 242));
            image.at(x, y) = c;
        }
    // Pebbles: small shaded ovals, lit from above.
    for (int i = 0; i < 70; ++i) {
        const float cx = hash01(i, 0, 243) * image.width, cy = hash01(i, 1, 243) * image.height;
        const float rx = (2.0f + 5.0f * hash01(i, 2, 243)) * image.detail, ry = rx * (0.6f + 0.4f * hash01(i, 3, 243));
        const Rgb stone = mix(rgb255(120, 112, 100), rgb255(190, 176, 150), hash01(i, 4, 243));
        for (int dy = -int(ry) - 2; dy <= int(ry) + 2; ++dy)
            for (int dx = -int(rx) - 2; dx <= int(rx) + 2; ++dx) {
                const float ox = (int(cx) + dx + 0.5f - cx) / rx, oy = (int(cy) + dy + 0.5f - cy) / ry;
                const float d = std::sqrt(ox * ox + oy * oy);
                if (d < 1.0f) {
                    blend(image.wrapped(int(cx) + dx, int(cy) + dy), scale(stone, 1.1f - 0.4f * oy - 0.2f * d),
                          clamp01((1.0f - d) * rx));
                } else if (d < 1.25f && oy > 0.2f) {
                    Rgb& p = image.wrapped(int(cx) + dx, int(cy) + dy);
                    p = scale(p, 0.75f);  // the pebble's shadow
                }
            }
    }
}

// ---- Water and sky ----------------------------------------------------------------------

void water1(Image& image)  // a pool seen from above: caustic light over deep blue
{
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const float s = u(x, image), t = v(y, image);
            const float depth = tileFbm(s, t, 3, 3, 4 + extraOctaves(image), 251);
            Rgb c = mix(rgb255(14, 70, 128), rgb255(34, 130, 178), depth);
            // Caustics: the bright ridges where two noise fields fold.
            const float a = 1.0f - std::fabs(2.0f * tileFbm(s, t, 5, 5, 3, 252) - 1.0f);
            const float b = 1.0f - std::fabs(2.0f * tileFbm(s, t, 7, 7, 3, 253) - 1.0f);
            const float light = std::pow(a, 10.0f) + 0.7f * std::pow(b, 12.0f);
            c = mix(c, rgb255(200, 246, 255), clamp01(light * 0.8f));
            image.at(x, y) = c;
        }
}

void sky1(Image& image)  // blue sky with drifting clouds
{
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const float s = u(x, image), t = v(y, image);
            Rgb c = mix(rgb255(76, 136, 220), rgb255(120, 172, 236), tileFbm(s, t, 2, 2, 3, 261));
            const int octaves = 7 + extraOctaves(image);
            const float cloud = tileFbm(s, t, 3, 3, octaves, 262);
            const float cover = smoothstep(0.48f, 0.72f, cloud);
            // Cloud bellies are a little grey: sample the cloud a bit further on.
            const float under = smoothstep(0.5f, 0.75f, tileFbm(s + 0.01f, t + 0.015f, 3, 3, octaves, 262));
            const Rgb white = mix(rgb255(252, 252, 255), rgb255(200, 206, 220), under * 0.7f);
            image.at(x, y) = mix(c, white, cover);
        }
}

// ---- Bubbles, splatter, swirls ------------------------------------------------------------

void bubble1(Image& image)  // soap bubbles rising through blue-green water
{
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.at(x, y) = mix(rgb255(20, 96, 120), rgb255(40, 150, 150),
                                 tileFbm(u(x, image), v(y, image), 3, 3, 4 + extraOctaves(image), 271));
    for (int i = 0; i < 34; ++i) {
        const float cx = hash01(i, 0, 272) * image.width, cy = hash01(i, 1, 272) * image.height;
        const float r = (3.0f + 13.0f * std::pow(hash01(i, 2, 272), 1.6f)) * image.detail;
        for (int dy = -int(r) - 2; dy <= int(r) + 2; ++dy)
            for (int dx = -int(r) - 2; dx <= int(r) + 2; ++dx) {
                const float ox = int(cx) + dx + 0.5f - cx, oy = int(cy) + dy + 0.5f - cy;
                const float d = std::sqrt(ox * ox + oy * oy) / r;
                if (d > 1.08f) continue;
                Rgb& p = image.wrapped(int(cx) + dx, int(cy) + dy);
                // A thin bright rim, a clear inside with a faint tint, a glint at the upper left.
                const float rim = std::exp(-std::pow((d - 0.95f) * 12.0f, 2.0f));
                const float film = 0.5f + 0.5f * std::sin(std::atan2(oy, ox) * 2.0f + i);
                blend(p, mix(rgb255(210, 250, 255), rgb255(250, 210, 250), film), 0.75f * rim);
                if (d < 0.95f) blend(p, rgb255(180, 230, 240), 0.12f);
                const float gx = ox / r + 0.4f, gy = oy / r + 0.4f;
                blend(p, {1, 1, 1}, std::exp(-(gx * gx + gy * gy) * 60.0f));
            }
    }
}

void splatter(Image& image)  // drops and splashes of paint on a pale floor
{
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.at(x, y) = scale(rgb255(240, 236, 226),
                                   0.96f + 0.08f * tileFbm(u(x, image), v(y, image), 8, 8, 3 + extraOctaves(image), 281));
    const Rgb paints[] = {rgb255(200, 30, 40), rgb255(30, 80, 190), rgb255(240, 190, 30),
                          rgb255(40, 150, 70), rgb255(30, 30, 36), rgb255(140, 50, 160)};
    for (int i = 0; i < 26; ++i) {
        const float cx = hash01(i, 0, 282) * image.width, cy = hash01(i, 1, 282) * image.height;
        const float r = (3.0f + 10.0f * hash01(i, 2, 282)) * image.detail;
        const Rgb paint = paints[int(hash01(i, 3, 282) * 6) % 6];
        const float phase = hash01(i, 4, 282) * 2 * kPi;
        // The splash: a blob with ragged lobes, then droplets flung outwards.
        auto splash = [&](float px, float py, float radius, float lobes) {
            const int reach = int(radius * 1.5f) + 2;
            for (int dy = -reach; dy <= reach; ++dy)
                for (int dx = -reach; dx <= reach; ++dx) {
                    const float ox = int(px) + dx + 0.5f - px, oy = int(py) + dy + 0.5f - py;
                    const float angle = std::atan2(oy, ox);
                    const float edge = radius * (1.0f + lobes * (0.25f * std::sin(angle * 5 + phase) +
                                                                 0.15f * std::sin(angle * 9 + phase * 2)));
                    const float cover = clamp01(edge + 0.5f - std::sqrt(ox * ox + oy * oy));
                    if (cover > 0) blend(image.wrapped(int(px) + dx, int(py) + dy), paint, cover * 0.95f);
                }
        };
        splash(cx, cy, r, 1.0f);
        for (int j = 0; j < 7; ++j) {
            const float angle = hash01(i, 10 + j, 283) * 2 * kPi;
            const float distance = r * (1.3f + 1.4f * hash01(i, 20 + j, 283));
            splash(cx + std::cos(angle) * distance, cy + std::sin(angle) * distance,
                   (0.6f + 1.8f * hash01(i, 30 + j, 283)) * image.detail, 0.0f);
        }
    }
}

void swirl1(Image& image)  // bands of four colours twisted round eight whirls
{
    const Rgb colours[] = {rgb255(28, 110, 130), rgb255(238, 224, 190), rgb255(190, 74, 40), rgb255(36, 48, 96)};
    const float n = float(image.width);
    const float radius = n / 7.0f;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            // Each whirl turns the plane round its centre, most near the middle;
            // neighbours turn opposite ways. Offsets wrap, so the whirls tile.
            for (int k = 0; k < 8; ++k) {
                const float cx = (k % 4 + 0.5f + 0.3f * (hash01(k, 0, 293) - 0.5f)) * n / 4;
                const float cy = (k / 4 + 0.25f + 0.5f * (k % 2) + 0.2f * (hash01(k, 1, 293) - 0.5f)) * n / 2;
                float dx = std::fmod(px - cx + 1.5f * n, n) - 0.5f * n;
                float dy = std::fmod(py - cy + 1.5f * n, n) - 0.5f * n;
                const float angle = (k % 2 ? 4.0f : -4.0f) * std::exp(-(dx * dx + dy * dy) / (radius * radius));
                const float c = std::cos(angle), sn = std::sin(angle);
                px = cx + dx * c - dy * sn;
                py = cy + dx * sn + dy * c;
            }
            // Position within the repeating run of bands: 4 colours, 4 runs across.
            const float wobble = 0.15f * std::sin(2 * kPi * py / n * 2);
            const float phase = std::fmod(4.0f * (px + py) / n + wobble + 40.0f, 1.0f) * 4.0f;
            const int band = int(phase) % 4;
            const float within = phase - std::floor(phase);
            Rgb col = mix(colours[band], colours[(band + 1) % 4], smoothstep(0.85f, 1.0f, within));
            // A fine dark line where each band begins.
            col = scale(col, 0.72f + 0.28f * smoothstep(0.0f, 0.08f, within));
            image.at(x, y) = col;
        }
}

}  // namespace

const TextureRecipe naturalTextures[] = {
    {"floor1.bmp", 256, floor1},     {"marble1.bmp", 256, marble1}, {"marble2p.bmp", 256, marble2p},
    {"texture1.bmp", 256, texture1}, {"dirt1.bmp", 256, dirt1},     {"water1.bmp", 256, water1},
    {"sky1.bmp", 256, sky1},         {"bubble1.bmp", 128, bubble1}, {"splatter.bmp", 128, splatter},
    {"swirl1.bmp", 128, swirl1},
};
const int naturalTextureCount = sizeof naturalTextures / sizeof naturalTextures[0];
