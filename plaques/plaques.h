// Plaques: the small card beside a photo that names it, as a museum labels
// its pictures. The words come from the photo loader (a title and the day
// the photo was taken); here they are set in a sans-serif that fontconfig
// chooses for every character (DejaVu Sans at the least), shaped by HarfBuzz
// in their script and direction (Latin, Greek, Cyrillic, CJK, Arabic from
// right to left, mixed in one line), drawn by FreeType onto the card, and the
// card made ready as a texture with its mipmaps.
//
// Everything here is safe to call from the picture workers: no OpenGL, and
// the font machinery is used by one thread at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// ---- Sizes on the wall (world units) ---------------------------------------------------

constexpr float kPlaqueTitleSize = 0.02f;        // the title's type size (its em)
constexpr float kPlaqueDateSize = 0.0145f;       // the date's, below it
constexpr float kPlaqueMaxWidth = 0.22f;         // widest card; narrower where the wall has less room
constexpr float kPlaqueMinWidth = 0.06f;         // narrowest room a card is made for
constexpr int kPlaqueTitleLines = 3;             // a longer title ends in an ellipsis
constexpr uint8_t kPlaqueCardColour[3] = {244, 240, 229};  // the card; the texture is its shading

// ---- The words --------------------------------------------------------------------------

// The day as the user's locale writes a date (its LC_TIME date format, with
// the year in full), or "2019-06-14" in the C and POSIX locales or when the
// locale is not installed. Empty when year is 0.
std::string plaqueDate(int year, int month, int day);

// ---- The card ---------------------------------------------------------------------------

// A card ready for OpenGL: a luminance texture (255 the card's own colour,
// the text darker) whose level 0 holds the card in its upper left corner.
struct PlaqueCard {
    int width = 0, height = 0;              // level 0, texels (powers of two)
    float usedS = 1.0f, usedT = 1.0f;       // the card's share of the texture across and down
    float worldWidth = 0, worldHeight = 0;  // the card's size on the wall, world units
    std::vector<std::vector<uint8_t>> levels;   // level 0 first, each half the one before, down to 1 x 1
};

// Sets title (up to kPlaqueTitleLines lines, wrapped between words, or
// between characters in scripts without blanks) over date on a card at most
// maxWidth world units wide, texelsPerUnit texels to a world unit (the card
// is never more than 1024 texels across). Returns 0, or 1 with card empty
// when there is nothing to set (both empty) or no font can be found.
int makePlaqueCard(const std::string& title, const std::string& date, float maxWidth, float texelsPerUnit,
                   PlaqueCard& card);
