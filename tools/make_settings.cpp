// Writes a settings file "Vellamir.INI" with chosen values, for scripted runs
// of the saver (screenshots, demonstrations); every other field keeps its
// default. The picture list holds the given pictures, else the default one.
//
// Usage: vellamir_settings_file PATH WINDOWS_DIRECTORY [NAME=VALUE ...]
//   NAME: videoMode, speedId, museumType, furniture, cubePonds, sculptures,
//         showcases, fogEnabled, fogDensity, fogRed, fogGreen, fogBlue,
//         displaySizeId (sets displayScale with it), moveSeconds,
//         walkingSpeedId, picture (a path; repeat for more); classicTextures
//         and plaques also write "Vellamir.conf" beside PATH
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "settings/settings.h"

namespace {

bool setField(Settings& record, const std::string& name, const std::string& value)
{
    const int number = atoi(value.c_str());
    struct ShortField {
        const char* name;
        int16_t Settings::*field;
    };
    static const ShortField shorts[] = {
        {"speedId", &Settings::speedId},         {"museumType", &Settings::museumType},
        {"furniture", &Settings::furniture},     {"cubePonds", &Settings::cubePonds},
        {"sculptures", &Settings::sculptures},   {"showcases", &Settings::showcases},
        {"fogEnabled", &Settings::fogEnabled},   {"fogDensity", &Settings::fogDensity},
        {"fogRed", &Settings::fogRed},           {"fogGreen", &Settings::fogGreen},
        {"fogBlue", &Settings::fogBlue},         {"moveSeconds", &Settings::moveSeconds},
        {"walkingSpeedId", &Settings::walkingSpeedId},
        {"classicTextures", &Settings::classicTextures}, {"plaques", &Settings::plaques},
    };
    for (const ShortField& field : shorts) {
        if (name == field.name) {
            record.*field.field = static_cast<int16_t>(number);
            return true;
        }
    }
    if (name == "videoMode") {
        record.videoMode = number;
    } else if (name == "displaySizeId") {
        record.displaySizeId = static_cast<int16_t>(number);
        record.displayScale = displayScaleFor(number);
    } else if (name == "password") {
        // A password turns the password on; the prompt types only 32..126.
        if (value.size() > static_cast<size_t>(kMaxPasswordLength)) return false;
        for (char c : value)
            if (c < 32 || c > 126) return false;
        record.passwordEnabled = 1;
        snprintf(record.password, sizeof record.password, "%s", value.c_str());
    } else if (name == "picture") {
        if (record.pictureCount >= kMaxPictures) return false;
        record.pictures[record.pictureCount++] = value;
    } else {
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: %s PATH WINDOWS_DIRECTORY [NAME=VALUE ...]\n", argv[0]);
        return 2;
    }
    snprintf(windowsDirectory, sizeof windowsDirectory, "%s", argv[2]);
    Settings record;
    record.pictureCount = 0;
    bool lookGiven = false;
    for (int i = 3; i < argc; ++i) {
        const char* equals = strchr(argv[i], '=');
        if (equals && (strncmp(argv[i], "classicTextures=", 16) == 0 || strncmp(argv[i], "plaques=", 8) == 0))
            lookGiven = true;
        if (!equals || !setField(record, std::string(argv[i], static_cast<size_t>(equals - argv[i])), equals + 1)) {
            fprintf(stderr, "%s: unknown or invalid setting %s\n", argv[0], argv[i]);
            return 2;
        }
    }
    if (record.pictureCount == 0) setDefaultPicture(record);

    const std::string bytes = serializeSettings(record);
    FILE* file = fopen(argv[1], "wb");
    if (!file || fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || fclose(file) != 0) {
        fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    if (lookGiven) {
        std::string path = argv[1];
        size_t slash = path.rfind('/');
        path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "Vellamir.conf";
        const std::string text = serializeLookSettings(record, "");
        FILE* look = fopen(path.c_str(), "wb");
        if (!look || fwrite(text.data(), 1, text.size(), look) != text.size() || fclose(look) != 0) {
            fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
            return 1;
        }
    }
    return 0;
}
