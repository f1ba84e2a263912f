#include "setup/script.h"

#include <climits>
#include <cstring>

namespace {

// Line 2 holds the total; only its first characters are read as the number.
constexpr size_t kTotalLineLength = 39;

// Reads the bytes one at a time, knowing which line it is on.
struct Reader {
    const uint8_t* bytes;
    size_t size;
    size_t pos;
    int line; // 1-based line of the next character

    bool atEnd() const { return pos >= size; }
    int next()
    {
        uint8_t c = bytes[pos++];
        if (c == '\n') ++line;
        return c;
    }
    // The rest of the current line without its line end (a carriage return
    // before the line feed is part of the line end); the line end is consumed.
    // Returns the characters' start and sets *length.
    const char* restOfLine(size_t* length)
    {
        const char* start = reinterpret_cast<const char*>(bytes + pos);
        const void* found = memchr(start, '\n', size - pos);
        size_t end = found ? static_cast<size_t>(static_cast<const char*>(found) - start) : size - pos;
        pos += end;
        if (found) {
            ++pos;
            ++line;
        }
        if (found && end > 0 && start[end - 1] == '\r') --end;
        *length = end;
        return start;
    }
};

// A decimal number as the total's line gives it: leading blanks, an optional
// sign, digits up to the first non-digit. Values past the 32-bit range stop at its ends.
int32_t readDecimal(const char* text, size_t length)
{
    size_t i = 0;
    while (i < length && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\v' || text[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<int64_t>(INT32_MAX) + 1) value = static_cast<int64_t>(INT32_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<int32_t>(value);
}

int fail(std::string* failure, int line, const std::string& what)
{
    if (failure)
        *failure = "Setup file, line " + std::to_string(line) + ": " + what + "\nSetup not complete!";
    return 1;
}

void store(char* slot, const char* text, size_t length)
{
    memcpy(slot, text, length);
    slot[length] = '\0';
}

} // namespace

void resetSetupScript(SetupScript& script)
{
    script.totalBytes = 0;
    script.directoryCount = 0;
    script.fileCount = 0;
    script.diskChangeCount = 0;
    script.sourceNames[0][0] = '\0';
}

int parseSetupScript(const uint8_t* bytes, size_t size, SetupScript& script, std::string* failure)
{
    resetSetupScript(script);
    if (failure) failure->clear();
    Reader in{bytes, size, 0, 1};
    size_t length;

    in.restOfLine(&length); // the name line
    const char* total = in.restOfLine(&length);
    script.totalBytes = readDecimal(total, length < kTotalLineLength ? length : kTotalLineLength);

    bool armed = false;
    while (!in.atEnd()) {
        int c = in.next();
        if (!armed) {
            armed = c == '%';
            continue;
        }
        if (c != 'D' && c != 'R' && c != 'W' && c != 'C') continue; // stays armed until a command letter
        armed = false;
        int line = in.line;
        const char* argument = in.restOfLine(&length);

        if (c == 'C') {
            if (script.diskChangeCount >= kMaxDiskChanges)
                return fail(failure, line, "more than " + std::to_string(kMaxDiskChanges) + " disk changes!");
            if (length > static_cast<size_t>(kMaxDiskLabel))
                return fail(failure, line, "disk label longer than " + std::to_string(kMaxDiskLabel) + " characters!");
            DiskChange& change = script.diskChanges[script.diskChangeCount++];
            change.beforeFile = script.fileCount;
            store(change.label, argument, length);
            continue;
        }
        if (length > static_cast<size_t>(kMaxScriptName))
            return fail(failure, line, "name longer than " + std::to_string(kMaxScriptName) + " characters!");
        if (c == 'D') {
            if (script.directoryCount >= kMaxScriptEntries)
                return fail(failure, line, "more than " + std::to_string(kMaxScriptEntries) + " directories!");
            store(script.directoryNames[script.directoryCount++], argument, length);
            continue;
        }
        if (script.fileCount >= kMaxScriptEntries)
            return fail(failure, line, "more than " + std::to_string(kMaxScriptEntries) + " files!");
        if (c == 'R') {
            store(script.sourceNames[script.fileCount], argument, length);
        } else {
            store(script.destinationNames[script.fileCount], argument, length);
            // A "%W" without its "%R" leaves the entry without a source, so its copy fails.
            if (++script.fileCount < kMaxScriptEntries) script.sourceNames[script.fileCount][0] = '\0';
        }
    }
    return 0;
}
