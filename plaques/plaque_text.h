// The plaques' own parts, shared by their files: fonts chosen per character,
// lines shaped in their scripts and directions, and glyphs drawn onto a card.
// Every call here needs textLock held: FreeType faces and the font lists are
// shared by the picture workers.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

std::mutex& textLock();

// Unicode code points of UTF-8 text (a broken sequence becomes U+FFFD).
std::u32string decodeUtf8(const std::string& text);

// Opens fontconfig's sans-serif lists (regular and bold) once; false when no
// font at all can be had.
bool openFonts();

// One glyph of a shaped line: which font, which glyph, where its origin lies
// from the line's left end on its baseline (pixels, y down).
struct PlacedGlyph {
    int font = 0;
    unsigned glyph = 0;
    float x = 0, y = 0;
};
struct ShapedLine {
    std::vector<PlacedGlyph> glyphs;   // in visual order, left to right
    float width = 0;                   // pixels
};

// Whether text reads from right to left: its first letter with a direction
// (Arabic, Hebrew...) says so.
bool readsRightToLeft(const std::u32string& text);
// Shapes text on one line at pixelSize pixels to the em: characters split into
// runs of one font (the first of the list that has them), one script and one
// direction (the Unicode bidirectional algorithm, paragraph direction
// rightToLeft), each run shaped by HarfBuzz, the runs laid in visual order.
ShapedLine shapeLine(const std::u32string& text, bool bold, int pixelSize, bool rightToLeft);
// Draws a shaped line with its left end at left and its baseline at baseline
// (pixels) onto a luminance canvas, blending towards ink by each glyph's
// coverage; whatever falls outside the canvas is left out.
void drawLine(const ShapedLine& line, int pixelSize, int left, int baseline, uint8_t ink, std::vector<uint8_t>& canvas,
              int canvasWidth, int canvasHeight);
