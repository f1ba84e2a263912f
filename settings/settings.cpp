#include "settings/settings.h"

#include <cstring>

#include "platform/files.h"

Settings settings;
char windowsDirectory[256];

const char* const museumTypeNames[kMuseumTypeCount] = {
    "Random Museum", "Checker Museum", "Spots", "Swirled Walls", "Museum of Tiles",
    "Museum of Marble", "Shiny Wooden Floors", "Color Tiles", "Outdoors", "Bubble Ceiling",
    "Abstract 1", "Abstract 2", "Marble and Stone", "Blue Bumps", "Green Tile",
    "Red Checker Floors", "Blue Tile", "Wood and Tile", "Bubbles and Stone", "Brick Museum",
    "Brick and Tile", "Brick and Dirt",
};

std::string defaultPicturePath()
{
    return std::string(windowsDirectory) + "\\brevane\\graphics\\Default1.bmp";
}

void setDefaultPicture(Settings& record)
{
    for (std::string& path : record.pictures) path.clear();
    record.pictures[0] = defaultPicturePath();
    record.pictureCount = 1;
}

float displayScaleFor(int displaySizeId)
{
    static const float scales[] = {1.0f, 0.9f, 0.8f, 0.7f, 0.6f, 0.5f, 0.4f, 0.3f, 0.2f, 0.1f};
    if (displaySizeId < kDisplayFullScreen || displaySizeId > kDisplay10Percent) return 0.5f;
    return scales[displaySizeId - kDisplayFullScreen];
}

int passwordCanBeTyped(const char* text)
{
    for (size_t i = 0; i < kPasswordBuffer && text[i]; ++i)
        if (static_cast<unsigned char>(text[i]) < 32 || static_cast<unsigned char>(text[i]) > 126) return 0;
    return 1;
}

namespace {

// Reads little-endian fields from the file's bytes. A read past the end takes
// nothing, leaves its destination as it was and moves to the end, so a file
// that ends early keeps the cut field and every field after it at its earlier
// value: the leftover bytes of a cut field are never read as the next one.
struct Reader {
    const uint8_t* bytes;
    size_t size;
    size_t at = 0;

    bool take(void* out, size_t count)
    {
        if (size - at < count) {
            at = size;
            return false;
        }
        memcpy(out, bytes + at, count);
        at += count;
        return true;
    }
    bool readShort(int16_t& value)
    {
        uint8_t b[2];
        if (!take(b, 2)) return false;
        value = static_cast<int16_t>(b[0] | b[1] << 8);
        return true;
    }
    bool readInt(int32_t& value)
    {
        uint8_t b[4];
        if (!take(b, 4)) return false;
        value = static_cast<int32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24);
        return true;
    }
    void readFloat(float& value)
    {
        int32_t bits = 0;
        uint8_t b[4];
        if (!take(b, 4)) return;
        bits = static_cast<int32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24);
        memcpy(&value, &bits, 4);
    }
    void skip(size_t count) { at += count < size - at ? count : size - at; }
    // A path runs to the next zero byte, which is consumed; *ended tells
    // whether that byte was there or the end of the file cut the path.
    std::string readPath(bool* ended)
    {
        const uint8_t* start = bytes + at;
        const void* zero = memchr(start, 0, size - at);
        *ended = zero != nullptr;
        size_t length = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - start) : size - at;
        at += zero ? length + 1 : length;
        if (length > static_cast<size_t>(kMaxPicturePath)) length = kMaxPicturePath;
        return std::string(reinterpret_cast<const char*>(start), length);
    }
};

void putShort(std::string& out, int16_t value)
{
    uint16_t v = static_cast<uint16_t>(value);
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void putInt(std::string& out, int32_t value)
{
    uint32_t v = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void putFloat(std::string& out, float value)
{
    int32_t bits;
    memcpy(&bits, &value, 4);
    putInt(out, bits);
}

int16_t clampShort(int16_t value, int16_t low, int16_t high)
{
    return value < low ? low : value > high ? high : value;
}

// A file the writer did not produce may hold anything. Values that later code
// uses as switches, table indices or radio-button identifiers are brought
// back into their groups here; everything else stays as stored. The video
// mode is not touched: a mode outside the table is reported by the saver run
// as the library's own error.
void repairValues(Settings& record)
{
    if (record.passwordEnabled != 0) record.passwordEnabled = 1;
    if (record.colourDepthId < kColourDepth8 || record.colourDepthId > kColourDepth32) record.colourDepthId = 110;
    if (record.speedId < kSpeedMax || record.speedId > kSpeedVerySlow) record.speedId = 300;
    if (record.museumType < 0 || record.museumType >= kMuseumTypeCount) record.museumType = 0;
    record.fogDensity = clampShort(record.fogDensity, 0, 100);
    record.fogRed = clampShort(record.fogRed, 0, 255);
    record.fogGreen = clampShort(record.fogGreen, 0, 255);
    record.fogBlue = clampShort(record.fogBlue, 0, 255);
    if (record.displaySizeId < kDisplayFullScreen || record.displaySizeId > kDisplay10Percent) record.displaySizeId = 705;
    record.displayScale = displayScaleFor(record.displaySizeId);
    if (record.walkingSpeedId < kWalkingFast || record.walkingSpeedId > kWalkingVerySlow) record.walkingSpeedId = 901;
}

} // namespace

void parseSettings(const uint8_t* bytes, size_t size, Settings& record)
{
    Reader in{bytes, size};
    in.readShort(record.passwordEnabled);
    if (record.passwordEnabled != 0) {
        int16_t length = 0;
        // A negative length counts as 0; beyond 43 characters the rest is
        // skipped so the fields after the password stay in place. A password
        // cut by the end of the file is no password anyone typed: it keeps
        // its earlier value, as every other field cut off does.
        if (in.readShort(length)) {
            size_t stored = length < 0 ? 0 : static_cast<size_t>(length);
            if (in.size - in.at >= stored) {
                size_t kept = stored > static_cast<size_t>(kMaxPasswordLength) ? kMaxPasswordLength : stored;
                memset(record.password, 0, sizeof record.password);
                memcpy(record.password, in.bytes + in.at, kept);
            }
            in.skip(stored);
        }
    }
    in.readInt(record.videoMode);
    in.readInt(record.colourDepthId);
    in.readShort(record.speedId);

    // A negative count is read as no pictures; beyond 90 the first 90 paths
    // are kept and the others skipped, so the fields after them stay in place.
    // Only whole paths (ended by their zero byte, not empty) name a picture:
    // a list cut by the end of the file keeps the paths read whole, and when
    // not one was, the list the record held stays (the default picture at
    // start-up). Only a stored count of 0 empties the list.
    int32_t count = 0;
    if (in.readInt(count)) {
        int32_t stored = count < 0 ? 0 : count;
        std::string paths[kMaxPictures];
        int32_t whole = 0;
        for (int32_t i = 0; i < stored && in.at < in.size; ++i) {
            bool ended = false;
            std::string path = in.readPath(&ended);
            if (!ended) break;
            if (i < kMaxPictures && !path.empty()) paths[whole++] = std::move(path);
        }
        if (whole > 0 || stored == 0) {
            for (int32_t i = 0; i < kMaxPictures; ++i) record.pictures[i] = std::move(paths[i]);
            record.pictureCount = whole;
        }
    }

    in.readShort(record.museumType);
    in.readShort(record.furniture);
    in.readShort(record.cubePonds);
    in.readShort(record.sculptures);
    in.readShort(record.showcases);
    in.readShort(record.fogEnabled);
    in.readShort(record.fogDensity);
    in.readShort(record.fogRed);
    in.readShort(record.fogGreen);
    in.readShort(record.fogBlue);
    in.readShort(record.displaySizeId);
    in.readFloat(record.displayScale);
    in.readShort(record.moveSeconds);
    in.readShort(record.walkingSpeedId);
    repairValues(record);
}

std::string serializeSettings(const Settings& record)
{
    std::string out;
    putShort(out, record.passwordEnabled);
    if (record.passwordEnabled != 0) {
        size_t length = strnlen(record.password, kMaxPasswordLength);
        putShort(out, static_cast<int16_t>(length));
        out.append(record.password, length);
    }
    putInt(out, record.videoMode);
    putInt(out, record.colourDepthId);
    putShort(out, record.speedId);
    int count = record.pictureCount < 0 ? 0 : record.pictureCount > kMaxPictures ? kMaxPictures : record.pictureCount;
    putInt(out, count);
    for (int i = 0; i < count; ++i) {
        // No more of a path than the loader keeps, so no file of ours outgrows its bound.
        out.append(record.pictures[i], 0, kMaxPicturePath);
        out += '\0';
    }
    for (int16_t value : {record.museumType, record.furniture, record.cubePonds, record.sculptures,
                          record.showcases, record.fogEnabled, record.fogDensity, record.fogRed,
                          record.fogGreen, record.fogBlue, record.displaySizeId})
        putShort(out, value);
    putFloat(out, record.displayScale);
    putShort(out, record.moveSeconds);
    putShort(out, record.walkingSpeedId);
    return out;
}

int LoadSettings(const char* path)
{
    std::string bytes;
    if (readWholeFile(path, bytes, kMaxSettingsFileBytes) != 0) return 1;
    parseSettings(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), settings);
    return 0;
}

int SaveSettings(const char* path)
{
    std::string bytes = serializeSettings(settings);
    return writeFileSafely(path, bytes.data(), bytes.size(), true);
}
