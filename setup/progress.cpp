#include "setup/progress.h"

namespace {

const PanelGlyph* findGlyph(char c)
{
    for (int i = 0; i < kPanelFontSize; ++i)
        if (kPanelFont[i].character == c) return &kPanelFont[i];
    return nullptr;
}

int textWidth(const std::string& text)
{
    int width = 0;
    for (char c : text)
        if (const PanelGlyph* glyph = findGlyph(c)) width += glyph->width + 1;
    return width;
}

struct Canvas {
    PanelImage& image;
    uint8_t* at(int x, int y) { return &image.rgb[(static_cast<size_t>(y) * image.width + x) * 3]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < image.width && y < image.height; }
    void set(int x, int y, uint8_t r, uint8_t g, uint8_t b)
    {
        if (!inside(x, y)) return;
        uint8_t* p = at(x, y);
        p[0] = r, p[1] = g, p[2] = b;
    }
    // The colour OR the inverse of the pixel beneath.
    void mergeNot(int x, int y, uint8_t r, uint8_t g, uint8_t b)
    {
        if (!inside(x, y)) return;
        uint8_t* p = at(x, y);
        p[0] = static_cast<uint8_t>(r | ~p[0]);
        p[1] = static_cast<uint8_t>(g | ~p[1]);
        p[2] = static_cast<uint8_t>(b | ~p[2]);
    }
};

} // namespace

int progressShare(int width, int64_t copied, int32_t total)
{
    if (total <= 0 || copied <= 0 || width <= 0) return 0;
    if (copied >= total) return width;
    // copied < total < 2^31 and width is a pixel count, so the product fits.
    return static_cast<int>(static_cast<int64_t>(width) * copied / total);
}

std::string progressText(int64_t copied, int32_t total)
{
    return std::to_string(progressShare(100, copied, total)) + "% complete";
}

int progressBarRight(int width, int64_t copied, int32_t total)
{
    return progressShare(width - 1, copied, total);
}

void drawProgressPanel(int width, int height, int64_t copied, int32_t total, PanelImage& image)
{
    image.width = width > 0 ? width : 0;
    image.height = height > 0 ? height : 0;
    image.rgb.assign(static_cast<size_t>(image.width) * image.height * 3, 0xFF);
    Canvas canvas{image};

    // The box: black border, white inside.
    for (int x = 0; x < width; ++x) {
        canvas.set(x, 0, 0, 0, 0);
        canvas.set(x, height - 1, 0, 0, 0);
    }
    for (int y = 0; y < height; ++y) {
        canvas.set(0, y, 0, 0, 0);
        canvas.set(width - 1, y, 0, 0, 0);
    }

    std::string text = progressText(copied, total);
    int x = width / 2 - textWidth(text) / 2;
    int top = height / 2 - 8 + kPanelGlyphTopRow;
    for (char c : text) {
        const PanelGlyph* glyph = findGlyph(c);
        if (!glyph) continue;
        for (int row = 0; row < 12; ++row)
            for (int column = 0; column < glyph->width; ++column)
                if (glyph->rows[row][column] == '#') canvas.set(x + column, top + row, 0, 0, 0);
        x += glyph->width + 1;
    }

    // The bar covers x 1 .. right-1 and y 1 .. height-2, outline in the pen.
    int right = progressBarRight(width, copied, total);
    for (int y = 1; y <= height - 2; ++y)
        for (int x2 = 1; x2 <= right - 1; ++x2) {
            bool edge = y == 1 || y == height - 2 || x2 == 1 || x2 == right - 1;
            canvas.mergeNot(x2, y, 0, 0, edge ? 10 : 255);
        }
}
