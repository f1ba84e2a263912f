// The user's gallery pictures: finding them (files and picture folders) and
// decoding them from any common image format into upright RGB pixels. The
// bundled data (theme textures, prompt pictures, the default picture) does not
// come through here; it keeps the graphics library's BMP reader.
//
// Everything here is safe to call from worker threads: no OpenGL, no global
// state but what the decoders keep per call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// ---- Finding the pictures ----------------------------------------------------------

// Largest picture folder walk: entries looked at in one listed folder and its
// sub-folders, and sub-folder depth.
constexpr int kMaxFolderEntries = 100000;
constexpr int kMaxFolderDepth = 16;

// The pictures a run hangs, from the settings' picture list: a file entry is
// kept as it is (even when it is missing: loading says why it is skipped); a
// folder entry is replaced by the image files found in it and its sub-folders
// (hidden folders ignored, links leading out of the folder not followed,
// sorted by path). With more than limit in all, a random choice of limit of
// them, different with every run (it does not draw from nextRandom, so the
// museum's own draws stay as they are).
std::vector<std::string> listGalleryPictures(const std::vector<std::string>& entries, int limit);

// 1 when the entry of a picture list names a folder, else 0.
int isPictureFolder(const std::string& entry);

// ---- Decoding ------------------------------------------------------------------------

// One decoded picture: tightly packed RGB rows, top row first, upright (the
// EXIF orientation applied), alpha composited over the mat colour.
struct GalleryImage {
    int width = 0, height = 0;          // pixels
    std::vector<uint8_t> rgb;           // width * height * 3 bytes
    int pictureWidth = 0, pictureHeight = 0;  // the picture's own size before any reduction, upright:
                                              //   its aspect ratio is this one, not the reduced size's
};

// ---- What a picture says about itself -------------------------------------------------

// The words of a picture's plaque. The title is UTF-8 text: the XMP dc:title,
// else the EXIF ImageDescription (unless it is a camera's filler such as
// "OLYMPUS DIGITAL CAMERA"), else the file name with "_" and "-" as blanks
// and no extension; empty when the file name is one a camera gives. The day
// is the EXIF DateTimeOriginal's.
struct PictureCaption {
    std::string title;
    int year = 0, month = 0, day = 0;   // 0 when the picture does not say
};
// Longest title kept, in bytes (cut at a character's boundary).
constexpr size_t kMaxCaptionTitle = 200;

// Whether a file name without its folder and extension is one a camera, a
// phone or a screen grab gives: numbers with at most a camera's letters
// ("IMG_4711", "DSC01234", "PXL_20230512_143012345.MP", "IMG-20230512-WA0003",
// "20230512_143012"): at least 3 digits, and every word (split at blanks,
// "_", "-", ".", "~", "(", ")") a number or a camera's word with or without
// digits after it.
bool isCameraFileName(const std::string& name);
// The caption of the picture file at path (its bytes in memory).
PictureCaption readPictureCaption(const uint8_t* bytes, size_t size, const std::string& path);

// Decodes the picture at path (JPEG, PNG, WebP, GIF's first frame, TIFF, every
// BMP variant), reduced so that its longer side is at most maxSide pixels
// (a JPEG is decoded at 1/2, 1/4 or 1/8 size where that is enough, then
// filtered down; a PNG, TIFF or WebP is reduced while it is decoded, never
// held whole at its full size but for an interlaced PNG; the aspect ratio is
// kept; maxSide < 1 keeps the size).
// matRgb is the colour transparent pixels are laid over. Returns 0, or 1 with
// image empty and *why saying in a few words why the file cannot be shown
// ("no such file", "not a regular file", "larger than 256 MB", "not a
// picture", "damaged JPEG data", "larger than 100 megapixels", ...). Files of
// at most 256 MB are read, and no picture of more than 100 megapixels is
// decoded (a JPEG's after its decode-time reduction, unless progressive).
// With caption, the picture's caption comes from the same read.
int decodeGalleryPicture(const std::string& path, int maxSide, const uint8_t matRgb[3],
                         GalleryImage& image, std::string* why, PictureCaption* caption = nullptr);
// The same for a file already read into memory (the fuzz target's entry).
int decodeGalleryPictureBytes(const uint8_t* bytes, size_t size, int maxSide, const uint8_t matRgb[3],
                              GalleryImage& image, std::string* why);
