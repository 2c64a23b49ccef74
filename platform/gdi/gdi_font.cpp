// The phone's typeface through FreeType: DejaVu Sans (regular, bold,
// oblique, bold oblique) from TLW_FONT_DIR, sized by the font record's
// height, glyphs rendered with FreeType's hinting into 8-bit coverage.
#include "platform/gdi/gdi_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/gdi/gdi.h"

#ifndef TLW_FONT_DIR
#error "TLW_FONT_DIR must name the folder of the DejaVu fonts"
#endif

namespace plat::gdi {

class SizedFace {
public:
    FT_Face face = nullptr;                         // FreeType face set to this size
    FaceMetrics metrics;                            // measurements at this size
    std::unordered_map<char32_t, Glyph> glyphs;     // rendered glyphs by code point
    ~SizedFace() {
        if (face) FT_Done_Face(face);
    }
};

namespace {

// The four cuts of the typeface.
constexpr const char* kFontFiles[4] = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf",
                                       "DejaVuSans-BoldOblique.ttf"};

// FreeType's library and every face opened, by (cut, em).
struct FontCache {
    FT_Library library = nullptr;                                    // null until first use
    bool failed = false;                                             // FreeType could not start
    std::map<std::pair<int, int32_t>, std::unique_ptr<SizedFace>> faces;  // by cut and em
    std::map<int, int32_t> cellToEm[4];                              // positive heights resolved
};

FontCache& Cache() {
    static FontCache cache;
    return cache;
}

FT_Library Library() {
    FontCache& c = Cache();
    if (!c.library && !c.failed && FT_Init_FreeType(&c.library) != 0) {
        c.library = nullptr;
        c.failed = true;
    }
    return c.library;
}

FT_Face OpenFace(int cut) {
    FT_Library lib = Library();
    if (!lib) return nullptr;
    std::string path = std::string(TLW_FONT_DIR) + "/" + kFontFiles[cut];
    FT_Face face = nullptr;
    if (FT_New_Face(lib, path.c_str(), 0, &face) != 0) return nullptr;
    return face;
}

int32_t Ceil26(FT_Pos v) { return int32_t((v + 63) >> 6); }

// Renders one glyph of a face set to its size.
Glyph Render(FT_Face face, char32_t c) {
    Glyph g;
    FT_UInt index = FT_Get_Char_Index(face, FT_ULong(c));
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return g;
    FT_GlyphSlot slot = face->glyph;
    g.advance = int32_t((slot->advance.x + 32) >> 6);
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.width == 0 || bm.rows == 0) return g;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = int32_t(bm.width);
    g.rows = int32_t(bm.rows);
    g.coverage.resize(size_t(g.width) * size_t(g.rows));
    int maxGrey = std::max(1, int(bm.num_grays) - 1);
    for (int32_t y = 0; y < g.rows; ++y) {
        const unsigned char* row = bm.pitch >= 0 ? bm.buffer + size_t(y) * size_t(bm.pitch)
                                                 : bm.buffer + size_t(g.rows - 1 - y) * size_t(-bm.pitch);
        for (int32_t x = 0; x < g.width; ++x)
            g.coverage[size_t(y) * size_t(g.width) + size_t(x)] = uint8_t(row[x] * 255 / maxGrey);
    }
    return g;
}

// The em size for a positive (cell) height: the em whose ascent + descent
// is closest to it without exceeding it.
int32_t EmForCell(int cut, int32_t cell) {
    FontCache& c = Cache();
    auto it = c.cellToEm[cut].find(cell);
    if (it != c.cellToEm[cut].end()) return it->second;
    FT_Face face = OpenFace(cut);
    int32_t em = cell;
    if (face) {
        double units = double(face->ascender) - double(face->descender);
        em = int32_t(double(cell) * face->units_per_EM / std::max(1.0, units) + 0.5);
        FT_Done_Face(face);
    }
    em = std::clamp(em, 1, kMaxFontEm);
    c.cellToEm[cut][cell] = em;
    return em;
}

}  // namespace

int32_t SystemFontEm() { return std::max(1, 9 * GetScreenDpiY() / 72); }

SizedFace* FaceFor(const LogFont& log) {
    int cut = (log.weight >= 550 ? 1 : 0) + (log.italic ? 2 : 0);
    int32_t em;
    if (log.height < 0) em = log.height == INT32_MIN ? kMaxFontEm : -log.height;
    else if (log.height > 0) em = EmForCell(cut, std::min(log.height, 4 * kMaxFontEm));
    else em = SystemFontEm();
    em = std::clamp(em, 1, kMaxFontEm);

    FontCache& c = Cache();
    auto key = std::make_pair(cut, em);
    auto it = c.faces.find(key);
    if (it != c.faces.end()) return it->second.get();
    auto sized = std::make_unique<SizedFace>();
    sized->face = OpenFace(cut);
    if (!sized->face || FT_Set_Pixel_Sizes(sized->face, 0, FT_UInt(em)) != 0) return nullptr;
    FaceMetrics& m = sized->metrics;
    const FT_Size_Metrics& sm = sized->face->size->metrics;
    m.em = em;
    m.ascent = Ceil26(sm.ascender);
    m.descent = Ceil26(-sm.descender);
    m.height = m.ascent + m.descent;
    m.maxCharWidth = Ceil26(sm.max_advance);
    m.underlineOffset = std::max(1, int32_t(-FT_MulFix(sized->face->underline_position, sm.y_scale) >> 6));
    m.underlineThickness = std::max(1, int32_t(FT_MulFix(sized->face->underline_thickness, sm.y_scale) >> 6));
    SizedFace* result = sized.get();
    c.faces[key] = std::move(sized);
    m.aveCharWidth = GlyphOf(result, U'x').advance;
    return result;
}

const FaceMetrics& MetricsOf(const SizedFace* face) { return face->metrics; }

const Glyph& GlyphOf(SizedFace* face, char32_t c) {
    auto it = face->glyphs.find(c);
    if (it != face->glyphs.end()) return it->second;
    return face->glyphs.emplace(c, Render(face->face, c)).first->second;
}

std::u32string DecodeUtf16(std::u16string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out.push_back(0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            out.push_back(0xFFFD);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace plat::gdi
