// The textures of a saver run: the chosen theme's floor, ceiling and wall
// textures and the gallery pictures, read from their BMP files and handed to
// OpenGL once, right after the scene's fixed state is set.
#pragma once

#include <cstdint>

#include "settings/settings.h"

struct Bitmap;

// ---- The record ---------------------------------------------------------------------

constexpr int kPictureTextureSide = 128;                                   // pixels
constexpr int kScaledPictureBytes = kPictureTextureSide * kPictureTextureSide * 3;  // 49152

// The run's textures. One instance, `museumTextures`, owned by the world:
// filled by loadThemeTextures and loadPictureTextures in initScene and kept to
// the end of the process (a later load replaces the earlier one).
struct MuseumTextures {
    int themeRow = 0;                          // 0..20, the museum type minus 1
    uint32_t floorTextures[2] = {};            // floorMap value v uses entry v - 1
    uint32_t ceilingTextures[1] = {};          // ceilingMap value 1
    uint32_t wallTextures[1] = {};             // wallMap value 1
    Bitmap* themeBitmaps[4] = {};              // floor 1, floor 2, ceiling, wall; they stay loaded
    int32_t pictureCount = 0;                  // pictures uploaded, 0..90
    uint32_t pictureTextures[kMaxPictures] = {};       // 128 x 128 each, in list order
    float pictureAspectRatios[kMaxPictures] = {};      // height / width of the image as loaded
    uint8_t* scaledPictures[kMaxPictures] = {};        // the 49152-byte RGB buffers uploaded
};
extern MuseumTextures museumTextures;

// ---- Loading (needs a current OpenGL context; every failure is fatal) --------------

// Chooses the theme for museumType (one draw for "Random Museum") and uploads
// its floor texture 1, floor texture 2, ceiling texture and wall texture in
// that order. A file that cannot be read ends the run with "Fatal Error:
// Could not load Bitmap named Brevane\graphics\<file>".
void loadThemeTextures(int museumType);
// Reads, scales to 128 x 128 and uploads the settings' gallery pictures in
// list order, keeping each one's aspect ratio; the loaded images are released.
void loadPictureTextures();

// One theme texture from the named file: read (loadPalette 0), rows packed
// tightly, red and blue swapped, uploaded at the file's own size with repeat
// wrap and nearest filters. Returns the texture name; the bitmap goes to
// *bitmap. Fatal as above when the file cannot be read.
uint32_t uploadThemeTexture(const char* path, Bitmap** bitmap);
