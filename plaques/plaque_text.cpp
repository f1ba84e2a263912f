// Setting a line of text: fontconfig's sans-serif for every character
// (falling back along its list for the scripts the first font lacks),
// FriBidi's levels for text in both directions, HarfBuzz's shaping for each
// run of one font, script and direction, FreeType's glyphs.
#include "plaques/plaque_text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <fribidi.h>
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <memory>

namespace {

// One font file (and face in it) from the lists, opened the first time a
// character needs it.
struct Font {
    std::string file;
    int index = 0;
    FcCharSet* characters = nullptr;   // owned by the font set
    FT_Face face = nullptr;
    bool failed = false;
};

// The fonts of the process, in fontconfig's order of preference for a
// regular and a bold sans-serif. Made once, kept to the end of the process
// (the workers may use them until then).
struct Fonts {
    bool opened = false, usable = false;
    FT_Library library = nullptr;
    std::vector<Font> fonts;
    std::vector<int> order[2];   // indices into fonts: regular, bold
};
Fonts* fontsOf = nullptr;

// The last resort when fontconfig has no list: the font the package depends on.
const char* const kFallbackFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

void addSortedFonts(Fonts& fonts, const char* name, std::vector<int>& order)
{
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name));
    if (!pattern) return;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcFontSet* set = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
    FcPatternDestroy(pattern);
    if (!set) return;
    // The set stays: its character sets are used for every lookup.
    for (int i = 0; i < set->nfont; ++i) {
        FcChar8* file = nullptr;
        FcCharSet* characters = nullptr;
        int index = 0;
        if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch ||
            FcPatternGetCharSet(set->fonts[i], FC_CHARSET, 0, &characters) != FcResultMatch)
            continue;
        FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
        const std::string path = reinterpret_cast<const char*>(file);
        int found = -1;
        for (size_t f = 0; f < fonts.fonts.size(); ++f)
            if (fonts.fonts[f].file == path && fonts.fonts[f].index == index) found = static_cast<int>(f);
        if (found < 0) {
            Font font;
            font.file = path;
            font.index = index;
            font.characters = characters;
            fonts.fonts.push_back(font);
            found = static_cast<int>(fonts.fonts.size()) - 1;
        }
        order.push_back(found);
    }
}

FT_Face faceOf(int font)
{
    Font& f = fontsOf->fonts[static_cast<size_t>(font)];
    if (!f.face && !f.failed &&
        FT_New_Face(fontsOf->library, f.file.c_str(), f.index, &f.face) != 0) {
        f.face = nullptr;
        f.failed = true;
    }
    return f.face;
}

bool hasCharacter(int font, char32_t c)
{
    const Font& f = fontsOf->fonts[static_cast<size_t>(font)];
    return f.failed ? false : !f.characters || FcCharSetHasChar(f.characters, c);
}

// The font for c: the one before it when that has it too (so that blanks and
// punctuation stay in their neighbours' run), else the first of the list
// that has it, else the first of the list (its empty box shows the gap).
int fontFor(char32_t c, bool bold, int previous)
{
    if (previous >= 0 && hasCharacter(previous, c)) return previous;
    const std::vector<int>& order = fontsOf->order[bold ? 1 : 0];
    for (int font : order)
        if (hasCharacter(font, c) && faceOf(font)) return font;
    for (int font : order)
        if (faceOf(font)) return font;
    return -1;
}

struct Run {
    size_t start, length;
    int font;
    FriBidiLevel level;
    hb_script_t script;
};

bool isLetterless(hb_script_t script)
{
    return script == HB_SCRIPT_COMMON || script == HB_SCRIPT_INHERITED || script == HB_SCRIPT_UNKNOWN;
}

} // namespace

std::mutex& textLock()
{
    static std::mutex lock;
    return lock;
}

std::u32string decodeUtf8(const std::string& text)
{
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        char32_t code = extra == 0 ? c : extra > 0 ? (c & (0x3Fu >> extra)) : 0xFFFD;
        bool good = extra >= 0 && i + static_cast<size_t>(extra) < text.size() + (extra == 0 ? 1 : 0);
        for (int k = 1; good && k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            good = (next & 0xC0) == 0x80;
            code = code << 6 | (next & 0x3F);
        }
        if (!good || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        out += code;
        i += 1 + static_cast<size_t>(extra);
    }
    return out;
}

bool openFonts()
{
    if (fontsOf) return fontsOf->usable;
    fontsOf = new Fonts;
    if (FT_Init_FreeType(&fontsOf->library) != 0) return false;
    if (FcInit()) {
        addSortedFonts(*fontsOf, "sans-serif", fontsOf->order[0]);
        addSortedFonts(*fontsOf, "sans-serif:bold", fontsOf->order[1]);
    }
    for (std::vector<int>& order : fontsOf->order) {
        if (!order.empty()) continue;
        Font font;
        font.file = kFallbackFont;
        fontsOf->fonts.push_back(font);
        order.push_back(static_cast<int>(fontsOf->fonts.size()) - 1);
    }
    for (const std::vector<int>& order : fontsOf->order)
        for (int font : order)
            if (faceOf(font)) {
                fontsOf->usable = true;
                break;
            }
    return fontsOf->usable;
}

bool readsRightToLeft(const std::u32string& text)
{
    for (char32_t c : text) {
        const FriBidiCharType type = fribidi_get_bidi_type(c);
        if (FRIBIDI_IS_STRONG(type)) return FRIBIDI_IS_RTL(type);
    }
    return false;
}

ShapedLine shapeLine(const std::u32string& text, bool bold, int pixelSize, bool rightToLeft)
{
    ShapedLine line;
    if (text.empty() || !openFonts()) return line;
    const int count = static_cast<int>(text.size());
    std::vector<FriBidiChar> characters(text.begin(), text.end());
    std::vector<FriBidiCharType> types(text.size());
    std::vector<FriBidiBracketType> brackets(text.size());
    std::vector<FriBidiLevel> levels(text.size(), rightToLeft ? 1 : 0);
    fribidi_get_bidi_types(characters.data(), count, types.data());
    fribidi_get_bracket_types(characters.data(), count, types.data(), brackets.data());
    FriBidiParType direction = rightToLeft ? FRIBIDI_PAR_RTL : FRIBIDI_PAR_LTR;
    if (!fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), count, &direction, levels.data()))
        std::fill(levels.begin(), levels.end(), rightToLeft ? 1 : 0);

    // Runs of one font, one level and one script; characters of no script
    // of their own (blanks, digits, marks) join the run they stand in.
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    std::vector<Run> runs;
    int font = -1;
    for (size_t i = 0; i < text.size(); ++i) {
        font = fontFor(text[i], bold, font);
        if (font < 0) return line;
        hb_script_t script = hb_unicode_script(unicode, text[i]);
        Run* last = runs.empty() ? nullptr : &runs.back();
        if (last && isLetterless(script)) script = last->script;
        if (last && isLetterless(last->script) && !isLetterless(script) && last->font == font &&
            last->level == levels[i])
            last->script = script;
        if (last && last->font == font && last->level == levels[i] && last->script == script) {
            last->length++;
            continue;
        }
        runs.push_back(Run{i, 1, font, levels[i], script});
    }
    // Visual order: from the highest level down to the lowest odd one,
    // every stretch of runs at that level or above turns round.
    int highest = 0, lowestOdd = 256;
    for (const Run& run : runs) {
        highest = std::max(highest, static_cast<int>(run.level));
        if (run.level & 1) lowestOdd = std::min(lowestOdd, static_cast<int>(run.level));
    }
    for (int level = highest; level >= lowestOdd && level > 0; --level) {
        for (size_t i = 0; i < runs.size();) {
            if (runs[i].level < level) {
                ++i;
                continue;
            }
            size_t end = i;
            while (end < runs.size() && runs[end].level >= level) ++end;
            std::reverse(runs.begin() + static_cast<long>(i), runs.begin() + static_cast<long>(end));
            i = end;
        }
    }

    hb_buffer_t* buffer = hb_buffer_create();
    float pen = 0;
    for (const Run& run : runs) {
        FT_Face face = faceOf(run.font);
        if (!face || FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) continue;
        hb_font_t* shaper = hb_ft_font_create_referenced(face);
        hb_buffer_clear_contents(buffer);
        hb_buffer_add_utf32(buffer, reinterpret_cast<const uint32_t*>(text.data()), count,
                            static_cast<unsigned>(run.start), static_cast<int>(run.length));
        hb_buffer_set_direction(buffer, run.level & 1 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
        hb_buffer_set_script(buffer, run.script);
        hb_buffer_set_language(buffer, hb_language_get_default());
        hb_shape(shaper, buffer, nullptr, 0);
        unsigned glyphs = 0;
        const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &glyphs);
        const hb_glyph_position_t* position = hb_buffer_get_glyph_positions(buffer, &glyphs);
        // An RTL run comes out in visual order already, left to right.
        for (unsigned g = 0; g < glyphs; ++g) {
            PlacedGlyph placed;
            placed.font = run.font;
            placed.glyph = info[g].codepoint;
            placed.x = pen + position[g].x_offset / 64.0f;
            placed.y = -position[g].y_offset / 64.0f;
            line.glyphs.push_back(placed);
            pen += position[g].x_advance / 64.0f;
        }
        hb_font_destroy(shaper);
    }
    hb_buffer_destroy(buffer);
    line.width = pen;
    return line;
}

void drawLine(const ShapedLine& line, int pixelSize, int left, int baseline, uint8_t ink, std::vector<uint8_t>& canvas,
              int canvasWidth, int canvasHeight)
{
    for (const PlacedGlyph& placed : line.glyphs) {
        FT_Face face = faceOf(placed.font);
        if (!face || FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) continue;
        if (FT_Load_Glyph(face, placed.glyph, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) continue;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.pixel_mode != FT_PIXEL_MODE_MONO) continue;
        const int x0 = left + static_cast<int>(placed.x + 0.5f) + slot->bitmap_left;
        const int y0 = baseline + static_cast<int>(placed.y + 0.5f) - slot->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const int y = y0 + static_cast<int>(row);
            if (y < 0 || y >= canvasHeight) continue;
            const unsigned char* source = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
            for (unsigned column = 0; column < bitmap.width; ++column) {
                const int x = x0 + static_cast<int>(column);
                if (x < 0 || x >= canvasWidth) continue;
                const unsigned coverage = bitmap.pixel_mode == FT_PIXEL_MODE_GRAY
                                              ? source[column]
                                              : (source[column / 8] >> (7 - column % 8) & 1) * 255u;
                uint8_t& texel = canvas[static_cast<size_t>(y) * canvasWidth + x];
                texel = static_cast<uint8_t>((texel * (255 - coverage) + ink * coverage + 127) / 255);
            }
        }
    }
}
