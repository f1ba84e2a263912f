// The textures of a saver run: the chosen theme's floor, ceiling and wall
// textures, read from their BMP files and handed to OpenGL right after the
// scene's fixed state is set, and the gallery pictures, read in the
// background and handed over during the first frames.
#pragma once

#include <cstdint>
#include <vector>

#include "settings/settings.h"
#include "world/museum.h"

struct Bitmap;
struct Museum;

// ---- The record ---------------------------------------------------------------------

// A picture of the list while the run loads it.
enum PictureState : int32_t {
    kPictureWaiting = 0,   // being read in the background
    kPictureShown = 1,     // uploaded; its slots show it
    kPictureSkipped = 2,   // could not be read; its slots show other pictures
};

// The run's textures. One instance, `museumTextures`, owned by the world:
// filled by loadThemeTextures and loadPictureTextures in initScene (the
// user's pictures arrive over the first frames, through hangArrivedPictures)
// and kept to the end of the process (a later load replaces the earlier one).
struct MuseumTextures {
    int themeRow = 0;                          // 0..20, the museum type minus 1
    uint32_t floorTextures[2] = {};            // floorMap value v uses entry v - 1
    uint32_t ceilingTextures[1] = {};          // ceilingMap value 1
    uint32_t wallTextures[1] = {};             // wallMap value 1
    Bitmap* themeBitmaps[4] = {};              // floor 1, floor 2, ceiling, wall; they stay loaded
                                               //   (the classic look; null with the detailed one)
    bool detailedThemes = false;               // the theme's 1024 x 1024 textures, filtered smoothly
    float anisotropy = 1.0f;                   // their anisotropic filtering (1: none)
    int32_t pictureCount = 0;                  // pictures of the run (folders expanded), 0..90
    uint32_t pictureTextures[kMaxPictures] = {};       // in list order; 0 until uploaded
    float pictureAspectRatios[kMaxPictures] = {};      // height / width of the picture's own size; 1 until known
    int32_t pictureStates[kMaxPictures] = {};          // PictureState
    uint8_t pictureFrameStyles[kMaxPictures] = {};     // 0 the bundled picture (it paints its own frame), else 1..4
    int32_t textureWidths[kMaxPictures] = {};          // level 0 of the uploaded texture, pixels
    int32_t textureHeights[kMaxPictures] = {};
    SlotPlaque picturePlaques[kMaxPictures] = {};      // each picture's plaque; texture 0 none
};
extern MuseumTextures museumTextures;

// ---- Texture sizes of the gallery pictures ------------------------------------------------

constexpr int kMaxPictureTexture = 1024;                        // pixels along either side
// All gallery textures together, counted as the driver keeps them (4 bytes a
// texel, the smaller mipmap levels a third more): 90 pictures cost at most this.
constexpr int64_t kPictureTextureBudget = 128ll << 20;

struct TextureSize {
    int width, height;
};

// Pixels a world unit spans on a screen (or display window) of viewHeight
// pixels, on a wall seen square from the nearest point of the walk.
float pixelsPerUnitAtNearest(int viewHeight);
// Pixels the photo's longer side spans on a screen (or display window) of
// viewHeight pixels, seen from the nearest point of the walk.
int photoPixelsAtNearest(int viewHeight);
// The texture for an image of width x height pixels: each side the smallest
// power of two that holds what the frame shows of it at viewHeight, at most
// 1024 and never more than the image (the largest power of two within it);
// then, while it costs more than its share of the budget among pictureCount
// pictures, the longer side halved.
TextureSize chooseTextureSize(int width, int height, int viewHeight, int pictureCount);
// What a texture of that size costs with its mipmap levels (4 bytes a texel).
int64_t textureBytes(TextureSize size);

// One decoded picture made ready for upload: level 0 resampled to a power-of-
// two size, then every smaller level down to 1 x 1, each a 2 x 2 box average
// of the one before. Tightly packed RGB rows, top row first.
struct MipmapChain {
    std::vector<TextureSize> sizes;
    std::vector<std::vector<uint8_t>> levels;
};
// Resamples width x height RGB pixels to size (a tent filter as wide as the
// reduction, so nothing aliases) and builds the smaller levels.
MipmapChain buildMipmaps(const uint8_t* rgb, int width, int height, TextureSize size);

// ---- The look of a run ---------------------------------------------------------------

// Whether the run takes the look made for the screen's own size: the video
// mode "Screen size" (also a screen-saver daemon's window) without the
// setting "Classic textures". Then the themes come in 1024 x 1024 and full
// colour, mipmapped and filtered trilinearly (anisotropically too on
// hardware that offers it), and edges are multisampled on hardware. The
// fixed video modes (640 x 480 .. 1600 x 1200) always keep the classic look.
bool detailedLook();

// ---- Loading (needs a current OpenGL context) ---------------------------------------

// Chooses the theme for museumType (one draw for "Random Museum") and uploads
// its floor texture 1, floor texture 2, ceiling texture and wall texture in
// that order: the classic BMP files, or with detailedLook() their 1024 x
// 1024 JPEG copies (detailedTexturePath). A file that cannot be read ends the
// run with "Fatal Error: Could not load Bitmap named Brevane\graphics\<file>".
void loadThemeTextures(int museumType);
// Starts the run's gallery pictures: the settings' list with its folders
// expanded (at most 90). The bundled default picture (the list entry start-up
// puts there, defaultPicturePath) is read with the BMP reader at once, and its
// missing file is fatal as for a theme texture; the user's pictures are read
// by worker threads, started once the first frame is out, while the next
// frames are drawn. A texture of
// chooseTextureSize, mipmapped and filtered trilinearly, per picture. At the
// screen's own size (the "Screen size" mode, a daemon's window) with plaques
// on, the workers also make each user picture's plaque.
void loadPictureTextures();

// Once per pass of the frame loop, on the drawing thread: uploads the
// pictures the workers have finished (a few per call, so frames keep coming)
// and hangs them in their slots, each slot reshaped to its picture's aspect.
// A picture that cannot be read is skipped with one line on standard error
// naming it and why, and its slots show the other pictures; when none can be
// read, the bundled default picture hangs. Returns the pictures still to come.
int hangArrivedPictures(Museum& museum);
// The user's pictures not yet hung or skipped.
int picturesStillComing();
// Waits for every picture and hangs it (the benchmark's and the tests' end of loading).
void finishPictureLoading(Museum& museum);
// Ends the workers of the run (pictures not read by then are dropped).
void stopPictureLoading();

// One theme texture from the named file: read (loadPalette 0), rows packed
// tightly, red and blue swapped, uploaded at the file's own size with repeat
// wrap and nearest filters. Returns the texture name; the bitmap goes to
// *bitmap. Fatal as above when the file cannot be read.
uint32_t uploadThemeTexture(const char* path, Bitmap** bitmap);

// One detailed theme texture from the named JPEG file: decoded, its mipmaps
// built, uploaded with repeat wrap, filtered trilinearly and with the given
// anisotropy (1: none). Fatal as above when the file cannot be read.
uint32_t uploadDetailedThemeTexture(const char* path, float anisotropy);
// The anisotropy the detailed themes get: the most the OpenGL offers through
// EXT_texture_filter_anisotropic, on a hardware renderer; 1 without the
// extension and on Mesa's software renderers (which would sample a texture
// up to sixteen times per pixel for it).
float themeAnisotropy();

// How a texture is sampled: a classic theme texture tiles with nearest
// filters; a detailed one tiles, filtered trilinearly over its mipmaps; a
// picture is clamped and filtered trilinearly.
enum class TextureLook { Tiled, TiledSmooth, Smooth };
// A new texture name, bound, with the wrap and filters of look and rows
// unpacked tightly; the caller gives it its levels.
uint32_t newBoundTexture(TextureLook look);
