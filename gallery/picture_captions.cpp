// The words of a picture's plaque, from what its file says: its XMP title,
// its EXIF description and date, or its file name.
#include "gallery/gallery.h"
#include "gallery/picture_decoding.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

bool isValidUtf8(const std::string& text)
{
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        // Shortest forms only, no surrogates, nothing past U+10FFFF.
        const int extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 0;
        if (extra == 0 || n - i <= static_cast<size_t>(extra)) return false;
        unsigned long code = c & (0x3Fu >> extra);
        for (int k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = code << 6 | (next & 0x3F);
        }
        const unsigned long least = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += 1 + extra;
    }
    return true;
}

// Text from a file as UTF-8: kept when it is, else read as Latin-1 (what
// older cameras and file systems wrote).
std::string asUtf8(const std::string& text)
{
    if (isValidUtf8(text)) return text;
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// One line of words: control characters and runs of blanks become one blank,
// none at either end, at most kMaxCaptionTitle bytes, cut between characters.
std::string tidy(const std::string& text)
{
    std::string out;
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c == ' ') {
            if (!out.empty() && out.back() != ' ') out += ' ';
        } else {
            out += ch;
        }
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    if (out.size() > kMaxCaptionTitle) {
        size_t cut = kMaxCaptionTitle;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
        out.resize(cut);
    }
    return out;
}

void appendUtf8(std::string& out, unsigned long code)
{
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// XML character data with its entities and character references resolved
// (CDATA sections kept as they are).
std::string xmlText(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 9, "<![CDATA[") == 0) {
            const size_t end = text.find("]]>", i + 9);
            if (end == std::string::npos) break;
            out += text.substr(i + 9, end - i - 9);
            i = end + 2;
            continue;
        }
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const size_t end = text.find(';', i);
        if (end == std::string::npos || end - i > 12) {
            out += '&';
            continue;
        }
        const std::string name = text.substr(i + 1, end - i - 1);
        static const char* const kNamed[][2] = {{"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}};
        bool known = false;
        for (const auto& entity : kNamed)
            if (name == entity[0]) out += entity[1], known = true;
        if (!known && name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            appendUtf8(out, std::strtoul(name.c_str() + (hex ? 2 : 1), nullptr, hex ? 16 : 10));
            known = true;
        }
        if (!known) {
            out += '&';
            continue;
        }
        i = end;
    }
    return out;
}

// The dc:title of an XMP packet: its default language's entry, else its first.
std::string xmpTitle(const std::string& xmp)
{
    const size_t start = xmp.find("<dc:title");
    if (start == std::string::npos) return {};
    const size_t end = xmp.find("</dc:title>", start);
    if (end == std::string::npos) return {};
    const std::string title = xmp.substr(start, end - start);
    size_t item = title.find("xml:lang=\"x-default\"");
    if (item == std::string::npos) item = title.find("xml:lang='x-default'");
    if (item == std::string::npos) item = title.find("<rdf:li");
    if (item == std::string::npos) return {};
    const size_t open = title.find('>', item), close = title.find("</rdf:li>", item);
    if (open == std::string::npos || close == std::string::npos || close < open) return {};
    return xmlText(title.substr(open + 1, close - open - 1));
}

std::string lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Descriptions cameras write by themselves, which say nothing of the picture.
bool isCameraFiller(const std::string& description)
{
    const std::string text = lower(description);
    if (text.find("digital camera") != std::string::npos || text.find("digital still camera") != std::string::npos)
        return true;
    for (const char* filler : {"sony dsc", "exif_jpeg_picture", "dcim", "default", "untitled", "image", "picture",
                               "photo", "scanned image"})
        if (text == filler) return true;
    return false;
}

// "YYYY:MM:DD HH:MM:SS" (any separators) into the caption's day.
void readDay(const std::string& date, PictureCaption& caption)
{
    if (date.size() < 10) return;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!std::isdigit(static_cast<unsigned char>(date[i]))) return;
    const int year = std::atoi(date.substr(0, 4).c_str()), month = std::atoi(date.substr(5, 2).c_str()),
              day = std::atoi(date.substr(8, 2).c_str());
    if (year < 1800 || month < 1 || month > 12 || day < 1 || day > 31) return;
    caption.year = year, caption.month = month, caption.day = day;
}

// The file name without its folder and its extension.
std::string stemOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

// Words cameras, phones and screen grabs put into their file names.
const char* const kCameraWords[] = {"img", "dsc", "dscn", "dscf", "dsci", "p", "pxl", "mvimg", "vid", "pic", "pict",
                                    "cimg", "sam", "gopr", "gp", "gh", "gx", "dji", "hpim", "imgp", "sdc", "kif", "mg",
                                    "mp", "hdr", "wa", "pano", "burst", "cover", "portrait", "e", "edit", "edited",
                                    "copy", "screenshot", "photo", "image"};

} // namespace

bool isCameraFileName(const std::string& name)
{
    int digits = 0;
    std::string word;
    auto wordFits = [&](const std::string& w) {
        size_t letters = 0;
        while (letters < w.size() && std::isalpha(static_cast<unsigned char>(w[letters]))) ++letters;
        for (size_t i = letters; i < w.size(); ++i)
            if (!std::isdigit(static_cast<unsigned char>(w[i]))) return false;
        digits += static_cast<int>(w.size() - letters);
        if (letters == 0) return true;
        const std::string head = lower(w.substr(0, letters));
        for (const char* known : kCameraWords)
            if (head == known) return true;
        return false;
    };
    for (size_t i = 0; i <= name.size(); ++i) {
        const char c = i < name.size() ? name[i] : ' ';
        if (std::strchr(" _-.~()", c)) {
            if (!word.empty() && !wordFits(word)) return false;
            word.clear();
        } else {
            word += c;
        }
    }
    return digits >= 3;
}

PictureCaption readPictureCaption(const uint8_t* bytes, size_t size, const std::string& path)
{
    PictureCaption caption;
    const PictureMetadata metadata = readPictureMetadata(bytes, size, readPictureHeader(bytes, size).format);
    readDay(metadata.dateTaken, caption);
    caption.title = tidy(asUtf8(xmpTitle(metadata.xmp)));
    if (caption.title.empty()) {
        const std::string description = tidy(asUtf8(metadata.description));
        if (!isCameraFiller(description)) caption.title = description;
    }
    if (caption.title.empty()) {
        const std::string stem = stemOf(path);
        if (!isCameraFileName(stem)) {
            std::string words = stem;
            for (char& c : words)
                if (c == '_' || c == '-') c = ' ';
            caption.title = tidy(asUtf8(words));
        }
    }
    return caption;
}
