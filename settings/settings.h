// The saver's settings record and its file "Brevane\Vellamir.INI": a raw
// little-endian dump of the fields in a fixed order (no header, no keys).
#pragma once

#include <cstdint>
#include <string>

// ---- Limits and identifiers -------------------------------------------------

constexpr int kMaxPictures = 90;          // entries of the picture list
constexpr int kPasswordBuffer = 44;       // bytes of the password, terminator included
constexpr int kMaxPasswordLength = 43;    // characters
constexpr int kMuseumTypeCount = 22;      // "Random Museum" and the 21 themes
constexpr int kMaxPicturePath = 4999;     // characters kept of one stored path

// Radio-button identifiers the record stores for its choices.
constexpr int kColourDepth8 = 110, kColourDepth32 = 114;
constexpr int kSpeedMax = 300, kSpeedVerySlow = 304;
constexpr int kDisplayFullScreen = 700, kDisplay10Percent = 709;
constexpr int kWalkingFast = 900, kWalkingVerySlow = 903;

// The longest file the writer produces: the fixed fields, the longest
// password and 90 paths of the longest length kept, each with its zero byte
// (about 450 KB). A longer file is no settings file of ours and is not read.
constexpr size_t kMaxSettingsFileBytes =
    16 + 2 + kMaxPasswordLength + size_t(kMaxPictures) * (kMaxPicturePath + 1) + 30;

// ---- The record --------------------------------------------------------------

// Every user choice. One instance, `settings`, lives for the whole process:
// loaded once at start-up, edited by the settings dialog, written by "Apply".
struct Settings {
    int16_t passwordEnabled = 0;            // 1: the saver asks for the password
    char password[kPasswordBuffer] = {};    // plain text, zero-terminated
    int32_t videoMode = 49;                 // mode number, "640 x 480 SVGA 64k color"
    int32_t colourDepthId = 110;            // 110..114: 8, 15, 16, 24, 32 bit
    int16_t speedId = 300;                  // 300..304: max speed .. very slow
    int32_t pictureCount = 1;               // entries of pictures in use, 0..90
    std::string pictures[kMaxPictures];     // full paths of the gallery pictures
    int16_t museumType = 0;                 // 0 random, 1..21 a theme
    int16_t furniture = 0;                  // objects: 1 enabled
    int16_t cubePonds = 1;
    int16_t sculptures = 1;
    int16_t showcases = 1;
    int16_t fogEnabled = 0;
    int16_t fogDensity = 45;                // hundredths, 0..100
    int16_t fogRed = 0;                     // 0..255
    int16_t fogGreen = 0;
    int16_t fogBlue = 255;
    int16_t displaySizeId = 705;            // 700 full screen, 701..709: 90% .. 10%
    float displayScale = 0.5f;              // the fraction that belongs to displaySizeId
    int16_t moveSeconds = 60;               // seconds between moves of the display window
    int16_t walkingSpeedId = 901;           // 900..903: fast .. very slow

    // The look at the screen's own size ("Screen size" and a screen-saver
    // daemon's window), kept in "Brevane\Vellamir.conf" beside the INI file,
    // whose layout is fixed. The classic modes always look as they always did.
    int16_t classicTextures = 0;            // 1: the themes' 8-bit textures, unfiltered
    int16_t plaques = 1;                    // 1: a plaque beside each photo
};

extern Settings settings;

// The Windows directory, filled by the shell at start-up; the default picture
// and the settings file are named from it.
extern char windowsDirectory[256];

// The 22 museum type names; museumType indexes them, 0 is "Random Museum".
extern const char* const museumTypeNames[kMuseumTypeCount];

// ---- Defaults ----------------------------------------------------------------

// windowsDirectory + "\brevane\graphics\Default1.bmp".
std::string defaultPicturePath();
// Makes the default picture the only entry of the list.
void setDefaultPicture(Settings& record);
// displayScale that belongs to a display-size identifier (1.0 for 700 ..
// 0.1 for 709); 0.5 for an identifier outside the group.
float displayScaleFor(int displaySizeId);

// ---- The password ------------------------------------------------------------

// 1 when every character of text is one the password prompt can type (the
// codes 32 to 126), so that a password made of them can be entered.
int passwordCanBeTyped(const char* text);

// ---- The file ----------------------------------------------------------------

// Reads the file at path into the record. Returns 0 when it was opened and
// read, 1 when it could not be opened (the record is then unchanged).
int LoadSettings(const char* path);
// Writes the record to path without ever leaving a half-written file.
// Returns 0, or 1 when the file could not be written (the old one stays).
int SaveSettings(const char* path);

// The same on bytes: parse a file's content into record, and the bytes a record is saved as.
void parseSettings(const uint8_t* bytes, size_t size, Settings& record);
std::string serializeSettings(const Settings& record);

// ---- The look file (look_file.cpp) ---------------------------------------------

// "Brevane\Vellamir.conf": text lines "name=value" (classic_textures, plaques;
// 0 or 1), blank lines and "#" comments. A missing file keeps the record's
// values; a line that makes no sense is named on standard error and skipped.
// Returns 0 when read, 1 when the file could not be opened.
int LoadLookSettings(const char* path);
// Writes the look fields, keeping the file's comments and the lines this
// version does not know (a newer one's choices). 0, or 1 when not written.
int SaveLookSettings(const char* path);

// The same on text: the warnings for bad lines go to *problems (one line each).
void parseLookSettings(const std::string& text, Settings& record, std::string* problems);
std::string serializeLookSettings(const Settings& record, const std::string& previousText);
