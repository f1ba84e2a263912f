// The bundled artwork generator: images in memory, BMP and PNG writers,
// tileable noise and the painters of every texture and picture the saver ships.
// Build-time only; it shares no code with the saver.
#pragma once

#include <string>
#include <vector>

// ---- Images ----------------------------------------------------------------------

// One colour, components 0..1.
struct Rgb {
    float r, g, b;
};

// A picture in memory, top row first.
struct Image {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    // Pixels of this image per pixel of the texture's classic size: 1 for the
    // classic files, 4 or 8 for the 1024 x 1024 ones. The painters measure
    // their lines, grout and spots in classic pixels times this, so both
    // sizes show the same design.
    float detail = 1.0f;

    Image(int w, int h, Rgb fill = {0, 0, 0}) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    Rgb& at(int x, int y) { return pixels[size_t(y) * width + x]; }
    const Rgb& at(int x, int y) const { return pixels[size_t(y) * width + x]; }
    // The same pixel with both coordinates wrapped round, for seamless textures.
    Rgb& wrapped(int x, int y);
};

// Writes an uncompressed 24-bit BMP (bottom-up rows padded to 4 bytes). False on failure.
bool writeBmp(const std::string& path, const Image& image);
// Writes an 8-bit RGBA PNG with uncompressed (stored) data; alpha holds one
// coverage 0..1 per pixel, top row first, or nothing for an opaque image. False on failure.
bool writePng(const std::string& path, const Image& image, const std::vector<float>& alpha);
// Writes a baseline JPEG of the given quality (1..100), colour kept at full
// resolution (no chroma subsampling, so thin coloured lines stay sharp). False on failure.
bool writeJpeg(const std::string& path, const Image& image, int quality);

// ---- Colour and shape helpers (paint.cpp) ----------------------------------------

Rgb mix(Rgb a, Rgb b, float t);
Rgb scale(Rgb c, float factor);
Rgb rgb255(int r, int g, int b);
float clamp01(float v);
float smoothstep(float edge0, float edge1, float v);
// Blends colour c over the pixel with coverage alpha (0..1).
void blend(Rgb& pixel, Rgb c, float alpha);

// A deterministic hash of integers to 0..1.
float hash01(int x, int y, int seed);
// Value noise on a lattice that repeats every periodX by periodY cells; x, y
// in lattice units. 0..1.
float tileNoise(float x, float y, int periodX, int periodY, int seed);
// Sum of octaves of tileNoise (each twice the frequency, half the weight),
// 0..1. u, v run 0..1 across the texture, which it fills seamlessly;
// periodX, periodY are the first octave's lattice cells across it.
float tileFbm(float u, float v, int periodX, int periodY, int octaves, int seed);
// Shortest distance between two coordinates on a ring of the given size.
float wrapDelta(float a, float b, float size);

// ---- Painting at more than the classic size (paint.cpp) ------------------------------

// The octaves of noise a painter adds for the finer detail of a larger
// image: one per doubling of the classic size (0 for the classic files).
int extraOctaves(const Image& image);
// A pixel's position in classic pixels: the pixel itself at the classic
// size, the classic position under its centre otherwise.
float classicPosition(int pixel, const Image& image);
// Noise with one value per classic pixel: hash01 of the pixel at the classic
// size, smoothly interpolated between those values on a larger image (so a
// speckle keeps its size instead of turning into blocks).
float pixelNoise(int x, int y, const Image& image, int seed);
// The classic pixel whose speckle covers this pixel: the pixel itself at the
// classic size; on a larger image a round speckle of a classic pixel's area
// (its centre jittered a little, so they fall in no grid) inside each classic
// pixel, and false between speckles. Painters that mark a share of the
// pixels (pits, grit) hash its position as they hashed the pixel's.
bool speckleOf(int x, int y, const Image& image, int* classicX, int* classicY);

// ---- The painters -------------------------------------------------------------------

// A texture file the generator writes: its name in "Brevane\graphics", its
// classic size (a power of two) and the painter. The same painter also makes
// the texture's high-resolution copy (kDetailedSize, see detailedTextureName).
struct TextureRecipe {
    const char* fileName;
    int size;
    void (*paint)(Image& image);
};

// Side of the high-resolution textures, pixels; their JPEG quality.
constexpr int kDetailedSize = 1024;
constexpr int kDetailedQuality = 90;

// Every texture the theme table names (textures_patterns.cpp, textures_natural.cpp).
extern const TextureRecipe patternTextures[];
extern const int patternTextureCount;
extern const TextureRecipe naturalTextures[];
extern const int naturalTextureCount;

// The default gallery picture: a small landscape in a gilt frame (pictures.cpp).
Image paintDefaultPicture();
// The password prompt at scale 1 (184 x 36) or 2 (370 x 72): a "Password:"
// label above a light field that holds the dot line.
Image paintPasswordPrompt(int scale);
