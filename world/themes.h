// The 21 museum themes: which texture files cover the floors, ceiling and
// walls, the choice of a run's theme, and the pixel order the textures take.
#pragma once

#include <cstdint>
#include <string>

// ---- The theme table (theme_table.cpp) -----------------------------------------

constexpr int kThemeCount = 21;

// One theme's texture files, names within "Brevane\graphics". A floorMap value
// k uses floor texture k; ceilingMap and wallMap value 1 use the one ceiling
// and wall texture.
struct MuseumTheme {
    const char* floorTexture1;
    const char* floorTexture2;
    const char* ceilingTexture;
    const char* wallTexture;
};

// Rows 0..20 are museum types 1..21, in the order of museumTypeNames.
extern const MuseumTheme museumThemes[kThemeCount];

// ---- Choosing and naming -------------------------------------------------------------

// The theme row (0..20) for a museumType: one nextRandom draw for 0 ("Random
// Museum"), museumType - 1 for 1..21. Any other value counts as random, as the
// settings loader reads it.
int chooseTheme(int museumType);
// The display name of theme row 0..20 (museumTypeNames[row + 1]).
const char* themeName(int row);
// The file's name as the saver opens it and names it in a fatal error:
// "Brevane\graphics\" + fileName.
std::string themeTexturePath(const char* fileName);
// The 1024 x 1024 copy of that texture beside it, for the screen's own size:
// the same name with ".jpg" for its extension ("Brevane\graphics\brick1.jpg").
std::string detailedTexturePath(const char* fileName);

// ---- Pixels -----------------------------------------------------------------------------

// Exchanges the first and third byte of each of width * height three-byte
// pixels in place (blue-green-red to red-green-blue). The rows must be packed
// tightly (width * 3 bytes, no padding): see packedBitmapBGR in kgl/bitmap.h.
void swapRedBlue(int width, int height, uint8_t* pixels);
