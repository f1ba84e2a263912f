// Paints the program's icon: a stone doorway into the gallery, a framed
// landscape hanging on the red wall beyond it, a checkered floor below.
// Usage: vellamir_icon <out.png> <size>   (a square icon, size pixels a side)
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/artwork.h"

namespace {

// One sample of the icon: colour and coverage.
struct Sample {
    Rgb colour;
    float alpha;
};

bool inBox(float u, float v, float left, float top, float right, float bottom)
{
    return u >= left && u < right && v >= top && v < bottom;
}

// Inside an arch: a rectangle whose top is a half circle.
bool inArch(float u, float v, float left, float right, float springLine, float bottom)
{
    if (u < left || u >= right || v >= bottom) return false;
    if (v >= springLine) return true;
    const float radius = (right - left) / 2, du = u - (left + radius), dv = v - springLine;
    return du * du + dv * dv < radius * radius;
}

// The picture on the far wall: sky, a sun, a green hill.
Rgb landscape(float u, float v)
{
    const float du = u - 0.68f, dv = v - 0.30f;
    if (du * du + dv * dv < 0.018f) return rgb255(255, 214, 90);
    const float hill = 0.62f - 0.22f * std::exp(-(u - 0.35f) * (u - 0.35f) * 8.0f);
    if (v > hill) return mix(rgb255(96, 160, 72), rgb255(52, 108, 44), (v - hill) / (1.0f - hill));
    return mix(rgb255(120, 176, 232), rgb255(196, 224, 248), v / hill);
}

// The room seen through the door, u and v 0..1 across the icon.
Rgb room(float u, float v)
{
    const float floorLine = 0.72f;
    if (v >= floorLine) {
        // Floor tiles in perspective: narrower and closer together towards the wall.
        const float depth = (v - floorLine) / (0.94f - floorLine);
        const float row = std::floor(std::log(1.0f + depth * 6.0f) * 2.2f);
        const float column = std::floor((u - 0.5f) / (0.05f + 0.09f * depth));
        const bool dark = (int(row + column) & 1) != 0;
        return dark ? rgb255(58, 46, 40) : rgb255(214, 204, 184);
    }
    // Picture frame with its gilt edge, hung in the middle of the wall.
    const float left = 0.33f, right = 0.67f, top = 0.34f, bottom = 0.58f, edge = 0.035f;
    if (inBox(u, v, left + edge, top + edge, right - edge, bottom - edge))
        return landscape((u - left - edge) / (right - left - 2 * edge), (v - top - edge) / (bottom - top - 2 * edge));
    if (inBox(u, v, left, top, right, bottom)) {
        const float shine = 0.5f + 0.5f * std::sin((u + v) * 40.0f);
        return mix(rgb255(176, 128, 36), rgb255(240, 200, 96), shine);
    }
    // The wall, a little lighter near the floor where the light falls.
    return mix(rgb255(120, 28, 36), rgb255(164, 52, 52), v / floorLine);
}

Sample iconAt(float u, float v)
{
    const Sample none = {{0, 0, 0}, 0.0f};
    // The wall the doorway is cut into: a block with softly rounded corners.
    const float margin = 0.04f, corner = 0.10f;
    const float cu = std::fabs(u - 0.5f) - (0.5f - margin - corner), cv = std::fabs(v - 0.5f) - (0.5f - margin - corner);
    if (cu > 0 && cv > 0 && cu * cu + cv * cv > corner * corner) return none;
    if (!inBox(u, v, margin, margin, 1 - margin, 1 - margin)) return none;

    if (inArch(u, v, 0.24f, 0.76f, 0.36f, 0.94f)) return {room(u, v), 1.0f};
    // The stone jambs and the arch around the opening, darker at their inner edge.
    if (inArch(u, v, 0.17f, 0.83f, 0.36f, 0.94f)) return {rgb255(150, 136, 112), 1.0f};
    const Rgb stone = mix(rgb255(226, 216, 194), rgb255(190, 178, 152), v);
    // Courses of stone blocks on the wall face.
    const float course = 0.125f;
    const int layer = int(v / course);
    const float joint = std::fmod(u + (layer & 1) * 0.125f, 0.25f);
    if (std::fmod(v, course) < 0.012f || joint < 0.012f) return {scale(stone, 0.82f), 1.0f};
    return {stone, 1.0f};
}

// Each pixel averages 4 x 4 samples, so edges come out smooth at any size.
void paintIcon(int size, Image& image, std::vector<float>& alpha)
{
    constexpr int kSamples = 4;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Rgb sum = {0, 0, 0};
            float cover = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const Sample s = iconAt((x + (sx + 0.5f) / kSamples) / size, (y + (sy + 0.5f) / kSamples) / size);
                    sum = {sum.r + s.colour.r * s.alpha, sum.g + s.colour.g * s.alpha, sum.b + s.colour.b * s.alpha};
                    cover += s.alpha;
                }
            image.at(x, y) = cover > 0 ? scale(sum, 1.0f / cover) : Rgb{0, 0, 0};
            alpha[size_t(y) * size + x] = cover / (kSamples * kSamples);
        }
}

}  // namespace

int main(int argc, char** argv)
{
    const int size = argc == 3 ? std::atoi(argv[2]) : 0;
    if (size < 16 || size > 1024) {
        std::fprintf(stderr, "usage: vellamir_icon <out.png> <size 16..1024>\n");
        return 2;
    }
    Image image(size, size);
    std::vector<float> alpha(size_t(size) * size);
    paintIcon(size, image, alpha);
    if (writePng(argv[1], image, alpha)) return 0;
    std::fprintf(stderr, "vellamir_icon: cannot write %s\n", argv[1]);
    return 1;
}
