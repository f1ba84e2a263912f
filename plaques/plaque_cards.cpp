// A plaque's card: the title wrapped to the room beside its photo, the date
// below it in a smaller, lighter type, a thin edge, and the mipmaps.
#include "plaques/plaques.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <langinfo.h>
#include <locale.h>

#include "plaques/plaque_text.h"

namespace {

constexpr int kMaxCardTexels = 1024;
constexpr uint8_t kTitleInk = 34, kDateInk = 92, kEdge = 200, kCard = 255;

// Whether a line may break before text[i]: after a blank, or beside a
// character of the scripts written without blanks (Han, kana, their
// punctuation and full-width forms).
bool isUnspaced(char32_t c)
{
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF) ||
           (c >= 0x20000 && c <= 0x3FFFF);
}
bool mayBreakBefore(const std::u32string& text, size_t i)
{
    return i > 0 && i < text.size() && (text[i - 1] == U' ' || isUnspaced(text[i]) || isUnspaced(text[i - 1]));
}

std::u32string trimmed(const std::u32string& text)
{
    size_t start = 0, end = text.size();
    while (start < end && text[start] == U' ') ++start;
    while (end > start && text[end - 1] == U' ') --end;
    return text.substr(start, end - start);
}

// The title in at most kPlaqueTitleLines lines of at most room pixels: each
// line the most words (or, for one word longer than the line, characters)
// that fit; the last one ends in an ellipsis when words are left over.
std::vector<ShapedLine> wrapTitle(const std::u32string& title, int pixelSize, float room, bool rightToLeft)
{
    std::vector<ShapedLine> lines;
    auto width = [&](const std::u32string& text) { return shapeLine(text, true, pixelSize, rightToLeft).width; };
    size_t start = 0;
    while (start < title.size() && static_cast<int>(lines.size()) < kPlaqueTitleLines) {
        const std::u32string rest = title.substr(start);
        const bool lastLine = static_cast<int>(lines.size()) == kPlaqueTitleLines - 1;
        if (width(trimmed(rest)) <= room) {
            lines.push_back(shapeLine(trimmed(rest), true, pixelSize, rightToLeft));
            break;
        }
        if (lastLine) {
            // As many words as fit with the ellipsis after them, else as many characters.
            size_t keep = 0;
            for (size_t i = 1; i < rest.size(); ++i)
                if (mayBreakBefore(rest, i) && width(trimmed(rest.substr(0, i)) + U"\u2026") <= room) keep = i;
            if (keep == 0) {
                keep = rest.size();
                while (keep > 1 && width(trimmed(rest.substr(0, keep)) + U"\u2026") > room) --keep;
            }
            lines.push_back(shapeLine(trimmed(rest.substr(0, keep)) + U"\u2026", true, pixelSize, rightToLeft));
            break;
        }
        size_t end = 0;
        for (size_t i = 1; i < rest.size(); ++i)
            if (mayBreakBefore(rest, i) && width(trimmed(rest.substr(0, i))) <= room) end = i;
        if (end == 0) {   // one word wider than the line: as many characters as fit
            end = 1;
            while (end + 1 < rest.size() && width(rest.substr(0, end + 1)) <= room) ++end;
        }
        lines.push_back(shapeLine(trimmed(rest.substr(0, end)), true, pixelSize, rightToLeft));
        start += end;
        while (start < title.size() && title[start] == U' ') ++start;
    }
    return lines;
}

int powerOfTwoAtLeast(int n)
{
    int p = 1;
    while (p < n) p *= 2;
    return p;
}

void buildLevels(PlaqueCard& card)
{
    int w = card.width, h = card.height;
    while (w > 1 || h > 1) {
        const std::vector<uint8_t>& above = card.levels.back();
        const int nw = std::max(1, w / 2), nh = std::max(1, h / 2);
        const int dx = w > 1 ? 1 : 0, dy = h > 1 ? 1 : 0;
        std::vector<uint8_t> level(static_cast<size_t>(nw) * nh);
        for (int y = 0; y < nh; ++y)
            for (int x = 0; x < nw; ++x) {
                const size_t a = static_cast<size_t>(y * (1 + dy)) * w + x * (1 + dx);
                const size_t c = a + static_cast<size_t>(dy) * w;
                level[static_cast<size_t>(y) * nw + x] =
                    static_cast<uint8_t>((above[a] + above[a + dx] + above[c] + above[c + dx] + 2) / 4);
            }
        card.levels.push_back(std::move(level));
        w = nw, h = nh;
    }
}

// The user's locale for dates, or none for the C and POSIX ones.
locale_t dateLocale()
{
    const char* name = nullptr;
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        name = std::getenv(variable);
        if (name && *name) break;
    }
    if (!name || !*name || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
        std::strncmp(name, "C.", 2) == 0)
        return nullptr;
    return newlocale(LC_TIME_MASK, name, nullptr);
}

} // namespace

std::string plaqueDate(int year, int month, int day)
{
    if (year <= 0) return {};
    std::tm when{};
    when.tm_year = year - 1900;
    when.tm_mon = month - 1;
    when.tm_mday = day;
    when.tm_hour = 12;
    timegm(&when);   // fills in the weekday, which some formats show
    char text[128] = {};
    locale_t locale = dateLocale();
    if (!locale) {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
        return text;
    }
    // The locale's own order and separators, the year in full.
    std::string format = nl_langinfo_l(D_FMT, locale);
    for (size_t at = format.find("%y"); at != std::string::npos; at = format.find("%y", at + 2)) format[at + 1] = 'Y';
    if (strftime_l(text, sizeof text, format.c_str(), &when, locale) == 0)
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    freelocale(locale);
    return text;
}

int makePlaqueCard(const std::string& title, const std::string& date, float maxWidth, float texelsPerUnit,
                   PlaqueCard& card)
{
    card = PlaqueCard();
    const std::u32string titleText = trimmed(decodeUtf8(title)), dateText = trimmed(decodeUtf8(date));
    if (titleText.empty() && dateText.empty()) return 1;
    maxWidth = std::max(maxWidth, kPlaqueMinWidth);
    const float scale = std::min(texelsPerUnit, kMaxCardTexels / maxWidth);
    if (!(scale > 0)) return 1;

    std::lock_guard<std::mutex> lock(textLock());
    if (!openFonts()) return 1;
    const int titleSize = std::max(6, static_cast<int>(std::lround(kPlaqueTitleSize * scale)));
    const int dateSize = std::max(5, static_cast<int>(std::lround(kPlaqueDateSize * scale)));
    const int margin = static_cast<int>(std::lround(titleSize * 0.6f));
    const int titleLine = static_cast<int>(std::lround(titleSize * 1.3f));
    const int dateLine = static_cast<int>(std::lround(dateSize * 1.35f));
    const float room = maxWidth * scale - 2.0f * margin;
    const bool rightToLeft = readsRightToLeft(titleText.empty() ? dateText : titleText);
    const std::vector<ShapedLine> lines = wrapTitle(titleText, titleSize, room, rightToLeft);
    const ShapedLine dateLineShaped = shapeLine(dateText, false, dateSize, rightToLeft);

    float textWidth = std::min(dateLineShaped.width, room);
    for (const ShapedLine& line : lines) textWidth = std::max(textWidth, line.width);
    // A single glyph wider than the room (a narrow wall, a wide ligature)
    // is cut at the card's edge rather than the card leaving its wall.
    const int width = std::min(static_cast<int>(std::ceil(textWidth)) + 2 * margin,
                               static_cast<int>(std::floor(maxWidth * scale)));
    const int gap = lines.empty() || dateText.empty() ? 0 : titleSize / 3;
    const int height = 2 * margin + static_cast<int>(lines.size()) * titleLine + gap + (dateText.empty() ? 0 : dateLine);
    card.width = powerOfTwoAtLeast(width);
    card.height = powerOfTwoAtLeast(height);
    std::vector<uint8_t> canvas(static_cast<size_t>(card.width) * card.height, kCard);

    // Lines start at the side their reading starts from.
    auto leftOf = [&](const ShapedLine& line) {
        return rightToLeft ? width - margin - static_cast<int>(std::ceil(line.width)) : margin;
    };
    int top = margin;
    for (const ShapedLine& line : lines) {
        drawLine(line, titleSize, leftOf(line), top + static_cast<int>(titleSize * 0.95f), kTitleInk, canvas, card.width,
                 card.height);
        top += titleLine;
    }
    top += gap;
    if (!dateText.empty())
        drawLine(dateLineShaped, dateSize, leftOf(dateLineShaped), top + static_cast<int>(dateSize * 0.95f), kDateInk,
                 canvas, card.width, card.height);
    // The card's cut edge, a little darker than its face.
    const int edge = std::max(1, static_cast<int>(scale * 0.0008f));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (x < edge || y < edge || x >= width - edge || y >= height - edge)
                canvas[static_cast<size_t>(y) * card.width + x] = kEdge;

    card.usedS = static_cast<float>(width) / card.width;
    card.usedT = static_cast<float>(height) / card.height;
    card.worldWidth = width / scale;
    card.worldHeight = height / scale;
    card.levels.push_back(std::move(canvas));
    buildLevels(card);
    return 0;
}
