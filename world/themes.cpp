// The theme of a run and the pixel order of its textures.
#include "world/themes.h"

#include <utility>

#include "settings/settings.h"
#include "shell/random.h"

int chooseTheme(int museumType)
{
    // Out-of-range types come from a damaged record; they get the random
    // museum, which is also what the settings loader makes of them.
    if (museumType < 1 || museumType > kThemeCount) return nextRandom() % kThemeCount;
    return museumType - 1;
}

const char* themeName(int row)
{
    if (row < 0 || row >= kThemeCount) return museumTypeNames[0];
    return museumTypeNames[row + 1];
}

std::string themeTexturePath(const char* fileName)
{
    return std::string("Brevane\\graphics\\") + fileName;
}

std::string detailedTexturePath(const char* fileName)
{
    std::string name = fileName;
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return themeTexturePath((name + ".jpg").c_str());
}

void swapRedBlue(int width, int height, uint8_t* pixels)
{
    if (width <= 0 || height <= 0 || pixels == nullptr) return;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i) std::swap(pixels[i * 3], pixels[i * 3 + 2]);
}
