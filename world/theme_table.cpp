// The texture files of the 21 themes, one row per museum type 1..21.
#include "world/themes.h"

const MuseumTheme museumThemes[kThemeCount] = {
    // floor texture 1  floor texture 2  ceiling texture  wall texture       museum type
    {"bchecker.bmp",    "checker.bmp",   "rchecker.bmp",  "checker.bmp"},   //  1 Checker Museum
    {"purpspot.bmp",    "checker.bmp",   "bluespot.bmp",  "redspot.bmp"},   //  2 Spots
    {"tile4.bmp",       "rug4.bmp",      "ceiling1.bmp",  "swirl1.bmp"},    //  3 Swirled Walls
    {"tile3.bmp",       "rug5.bmp",      "tile4.bmp",     "tile2.bmp"},     //  4 Museum of Tiles
    {"floor1.bmp",      "rug4.bmp",      "ceiling2.bmp",  "marble2p.bmp"},  //  5 Museum of Marble
    {"floor1.bmp",      "splatter.bmp",  "tile5.bmp",     "marble1.bmp"},   //  6 Shiny Wooden Floors
    {"bluetile.bmp",    "redtile.bmp",   "purptile.bmp",  "redtile.bmp"},   //  7 Color Tiles
    {"water1.bmp",      "water1.bmp",    "sky1.bmp",      "dirt1.bmp"},     //  8 Outdoors
    {"bchecker.bmp",    "rug4.bmp",      "bubble1.bmp",   "marble1.bmp"},   //  9 Bubble Ceiling
    {"swirl1.bmp",      "rug4.bmp",      "swirl1.bmp",    "rug5.bmp"},      // 10 Abstract 1
    {"purptile.bmp",    "splatter.bmp",  "bluetile.bmp",  "swirl1.bmp"},    // 11 Abstract 2
    {"tile1.bmp",       "rug6.bmp",      "ceiling1.bmp",  "texture1.bmp"},  // 12 Marble and Stone
    {"tile3.bmp",       "rug4.bmp",      "bluebmps.bmp",  "marble2p.bmp"},  // 13 Blue Bumps
    {"tile4.bmp",       "rug1.bmp",      "tile5.bmp",     "tile1.bmp"},     // 14 Green Tile
    {"rchecker.bmp",    "rug6.bmp",      "marble1.bmp",   "tile5.bmp"},     // 15 Red Checker Floors
    {"tile3.bmp",       "rug4.bmp",      "bchecker.bmp",  "marble1.bmp"},   // 16 Blue Tile
    {"floor1.bmp",      "rug1.bmp",      "bluebmps.bmp",  "tile3.bmp"},     // 17 Wood and Tile
    {"tile2.bmp",       "rug5.bmp",      "ceiling1.bmp",  "bubble1.bmp"},   // 18 Bubbles and Stone
    {"marble1.bmp",     "rug5.bmp",      "ceiling1.bmp",  "brick1.bmp"},    // 19 Brick Museum
    {"tile4.bmp",       "rug4.bmp",      "bubble1.bmp",   "brick1.bmp"},    // 20 Brick and Tile
    {"marble1.bmp",     "rug6.bmp",      "dirt1.bmp",     "brick1.bmp"},    // 21 Brick and Dirt
};
