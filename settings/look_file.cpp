// The look file "Brevane\Vellamir.conf": the choices that came after the INI
// file's fixed layout, as text a person can read and edit.
#include <cstdio>

#include "platform/files.h"
#include "settings/settings.h"

namespace {

constexpr size_t kMaxLookFileBytes = 64 * 1024;

struct LookField {
    const char* name;
    int16_t Settings::*field;
};
const LookField lookFields[] = {
    {"classic_textures", &Settings::classicTextures},
    {"plaques", &Settings::plaques},
};

std::string trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// The field a line sets, or null for a comment, a blank or an unknown name.
const LookField* fieldOfLine(const std::string& line, std::string* value)
{
    std::string text = trimmed(line);
    size_t equals = text.find('=');
    if (text.empty() || text[0] == '#' || equals == std::string::npos) return nullptr;
    std::string name = trimmed(text.substr(0, equals));
    for (const LookField& field : lookFields)
        if (name == field.name) {
            *value = trimmed(text.substr(equals + 1));
            return &field;
        }
    return nullptr;
}

template <typename Visit>
void eachLine(const std::string& text, Visit visit)
{
    size_t start = 0;
    int number = 1;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        visit(text.substr(start, end - start), number++);
        start = end + 1;
    }
}

} // namespace

void parseLookSettings(const std::string& text, Settings& record, std::string* problems)
{
    eachLine(text, [&](const std::string& line, int number) {
        std::string value;
        const LookField* field = fieldOfLine(line, &value);
        if (field && (value == "0" || value == "1")) {
            record.*field->field = static_cast<int16_t>(value[0] - '0');
        } else if (field && problems) {
            *problems += "line " + std::to_string(number) + ": " + field->name + " takes 0 or 1, not \"" +
                         value.substr(0, 40) + "\"\n";
        } else if (!field && problems) {
            std::string rest = trimmed(line);
            // Names this version does not know are a newer version's, and fine.
            if (!rest.empty() && rest[0] != '#' && rest.find('=') == std::string::npos)
                *problems += "line " + std::to_string(number) + ": not name=value\n";
        }
    });
}

std::string serializeLookSettings(const Settings& record, const std::string& previousText)
{
    std::string out;
    eachLine(previousText, [&](const std::string& line, int) {
        std::string value;
        if (!fieldOfLine(line, &value)) out += line + "\n";
    });
    if (out.empty()) out = "# Vellamir: how the museum looks at the screen's own size (0 off, 1 on).\n";
    for (const LookField& field : lookFields)
        out += std::string(field.name) + "=" + (record.*field.field ? "1" : "0") + "\n";
    return out;
}

int LoadLookSettings(const char* path)
{
    std::string text;
    if (readWholeFile(path, text, kMaxLookFileBytes) != 0) return 1;
    std::string problems;
    parseLookSettings(text, settings, &problems);
    if (!problems.empty()) fprintf(stderr, "Vellamir: skipped in %s:\n%s", path, problems.c_str());
    return 0;
}

int SaveLookSettings(const char* path)
{
    std::string previous;
    readWholeFile(path, previous, kMaxLookFileBytes);
    std::string text = serializeLookSettings(settings, previous);
    return writeFileSafely(path, text.data(), text.size(), false);
}
