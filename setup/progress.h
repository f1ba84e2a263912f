// The progress panel of the installer: the percentage and the bar, computed
// into an RGB picture that the progress dialog puts on its client area.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// ---- The numbers -------------------------------------------------------------

// The share of copied in total, as width * copied / total truncated, in exact
// integer arithmetic (29 of 100 is 29 percent, never 28.99...). A total of 0
// or less counts as nothing copied yet; the result is never above width (a
// script whose total is below the bytes really copied ends at the full share).
int progressShare(int width, int64_t copied, int32_t total);
// The panel's text: the percentage copied, truncated, then "% complete".
std::string progressText(int64_t copied, int32_t total);
// The bar's right edge in pixels, exclusive: trunc((width - 1) * copied / total).
int progressBarRight(int width, int64_t copied, int32_t total);

// ---- The picture -------------------------------------------------------------

// Where the panel goes on the progress dialog, in pixels of its client area.
constexpr int kPanelLeft = 8;
constexpr int kPanelTop = 82;

// A picture of width x height pixels, rows top-down, 3 bytes (red, green, blue) each.
struct PanelImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

// Draws the panel of width x height pixels: a white box with a black border,
// the text in black centred on x = width/2 with its cell's top at height/2 - 8,
// and the bar from (1,1) to (right, height-1) drawn so that each pixel becomes
// the bar's colour OR the inverse of what is beneath: blue over white, white
// over the black text. Its outline is the pen of red 0, green 0, blue 10.
void drawProgressPanel(int width, int height, int64_t copied, int32_t total, PanelImage& image);

// ---- The font ----------------------------------------------------------------

// One character of the panel's font: rows of a 16-pixel cell from its fourth row on.
struct PanelGlyph {
    char character;
    int width; // pixels; the advance is one more
    const char* rows[12];
};
constexpr int kPanelGlyphTopRow = 3; // cell rows above the glyphs' first row
extern const PanelGlyph kPanelFont[];
extern const int kPanelFontSize;
