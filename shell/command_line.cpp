#include "shell/shell.h"

#include <cstring>

namespace {

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool equalsIgnoringCase(const char* text, const char* word)
{
    for (; *text && *word; ++text, ++word)
        if (lowerAscii(*text) != *word) return false;
    return *text == *word;
}

} // namespace

RunMode classifyCommandLine(const char* argumentText)
{
    const char* text = argumentText ? argumentText : "";
    while (*text == ' ') ++text;
    if ((text[0] == '/' && lowerAscii(text[1]) == 's') || equalsIgnoringCase(text, "-s") || equalsIgnoringCase(text, "s"))
        return RunMode::Saver;
    if (equalsIgnoringCase(text, "/c") || equalsIgnoringCase(text, "-c") || equalsIgnoringCase(text, "c"))
        return RunMode::ConfigureDialog;
    if (strcmp(text, "--help") == 0) return RunMode::Help;
    if (strcmp(text, "--version") == 0) return RunMode::Version;
    return RunMode::Dialog;
}
