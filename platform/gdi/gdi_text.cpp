// Fonts and text: font objects, metrics and extents, TextOut, ExtTextOut and
// DrawText with its formatting flags.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_font.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_pixels.h"
#include "platform/kernel/last_error.h"

namespace plat {
namespace {

using namespace gdi;

// Tab stops of DrawText with kDtExpandTabs, in average character widths.
constexpr int32_t kTabColumns = 8;

// One line of text to draw.
struct TextLine {
    std::u32string chars;          // code points
    std::vector<bool> underlined;  // per code point: "&" prefix underline
};

SizedFace* DcFace(DcObj& dc) {
    FontObj* f = FindFont(dc.state.font);
    if (!f) return nullptr;
    SizedFace* face = FaceFor(f->log);
    if (!face) SetLastError(kErrorFileNotFound);
    return face;
}

bool DcUnderline(DcObj& dc) {
    FontObj* f = FindFont(dc.state.font);
    return f && f->log.underline;
}

// Pen advance of a character at pen offset `pen` from the line start.
int32_t AdvanceAt(SizedFace* face, char32_t c, int32_t pen, bool expandTabs) {
    if (c == U'\t') {
        if (!expandTabs) return GlyphOf(face, U' ').advance;
        int32_t stop = std::max(1, MetricsOf(face).aveCharWidth * kTabColumns);
        return stop - pen % stop;
    }
    return GlyphOf(face, c).advance;
}

int32_t Measure(SizedFace* face, std::u32string_view chars, bool expandTabs) {
    int32_t pen = 0;
    for (char32_t c : chars) pen += AdvanceAt(face, c, pen, expandTabs);
    return pen;
}

// Draws a line with its cell top-left at (x, top), limited to `clip`.
void DrawLine(BitmapObj& target, const Rect& clip, SizedFace* face, ColorRef color, int32_t x, int32_t top,
              const TextLine& line, bool underlineAll, bool expandTabs) {
    const FaceMetrics& m = MetricsOf(face);
    int32_t baseline = top + m.ascent;
    int32_t pen = 0;
    for (size_t i = 0; i < line.chars.size(); ++i) {
        char32_t c = line.chars[i];
        int32_t advance = AdvanceAt(face, c, pen, expandTabs);
        if (c != U'\t') {
            const Glyph& g = GlyphOf(face, c);
            int32_t gx = x + pen + g.left, gy = baseline - g.top;
            Rect box = Intersect(Rect{gx, gy, gx + g.width, gy + g.rows}, clip);
            for (int32_t yy = box.top; yy < box.bottom; ++yy) {
                const uint8_t* cov = g.coverage.data() + size_t(yy - gy) * size_t(g.width);
                for (int32_t xx = box.left; xx < box.right; ++xx) {
                    uint8_t a = cov[xx - gx];
                    if (a == 0) continue;
                    if (target.bitCount == 1) {
                        if (a >= 128) WritePixel(target, xx, yy, color);
                    } else {
                        WritePixel(target, xx, yy, a == 255 ? color : BlendColor(color, ReadPixel(target, xx, yy), a));
                    }
                }
            }
        }
        if (underlineAll || (i < line.underlined.size() && line.underlined[i])) {
            int32_t uy = baseline + m.underlineOffset;
            Rect bar = Intersect(Rect{x + pen, uy, x + pen + advance, uy + m.underlineThickness}, clip);
            for (int32_t yy = bar.top; yy < bar.bottom; ++yy)
                for (int32_t xx = bar.left; xx < bar.right; ++xx) WritePixel(target, xx, yy, color);
        }
        pen += advance;
    }
}

void FillColor(BitmapObj& target, const Rect& area, ColorRef color) {
    for (int32_t y = area.top; y < area.bottom; ++y)
        for (int32_t x = area.left; x < area.right; ++x) WritePixel(target, x, y, color);
}

// TextOut and ExtTextOut.
bool OutputText(Hdc hdc, int32_t x, int32_t y, uint32_t options, const Rect* rect, std::u16string_view text) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return false;
    SizedFace* face = DcFace(*dc);
    if (!face) return false;
    BitmapObj* target = TargetBitmap(*dc);
    Rect area = DrawableArea(*dc, *target);
    TextLine line{DecodeUtf16(text), {}};
    int32_t width = Measure(face, line.chars, false);
    if (rect && (options & kEtoOpaque)) FillColor(*target, Intersect(*rect, area), dc->state.bkColor);
    Rect clip = rect && (options & kEtoClipped) ? Intersect(*rect, area) : area;
    if (dc->state.bkMode == kOpaque)
        FillColor(*target, Intersect(Rect{x, y, x + width, y + MetricsOf(face).height}, clip), dc->state.bkColor);
    DrawLine(*target, clip, face, dc->state.textColor, x, y, line, DcUnderline(*dc), false);
    return true;
}

// Splits DrawText's text into lines by its flags (before wrapping).
std::vector<TextLine> SplitLines(std::u16string_view text, uint32_t format) {
    std::u32string chars = DecodeUtf16(text);
    std::vector<TextLine> lines(1);
    bool prefixes = !(format & kDtNoPrefix);
    bool underlineNext = false;
    for (size_t i = 0; i < chars.size(); ++i) {
        char32_t c = chars[i];
        if (c == U'\r' || c == U'\n') {
            if (format & kDtSingleLine) continue;
            if (c == U'\r' && i + 1 < chars.size() && chars[i + 1] == U'\n') ++i;
            lines.emplace_back();
            underlineNext = false;
            continue;
        }
        if (prefixes && c == U'&') {
            if (i + 1 < chars.size() && chars[i + 1] == U'&') {
                ++i;  // "&&" is one "&"
            } else {
                underlineNext = true;
                continue;
            }
        }
        lines.back().chars.push_back(c);
        lines.back().underlined.push_back(underlineNext);
        underlineNext = false;
    }
    return lines;
}

// Breaks a line between words so that each part fits `width`; a word wider
// than the width stays whole on its own line.
void WrapLine(SizedFace* face, const TextLine& line, int32_t width, bool expandTabs, std::vector<TextLine>* out) {
    TextLine current;
    size_t i = 0;
    const std::u32string& s = line.chars;
    while (i < s.size()) {
        // The next word with the blanks that follow it.
        size_t end = i;
        while (end < s.size() && s[end] != U' ' && s[end] != U'\t') ++end;
        size_t wordEnd = end;
        while (end < s.size() && (s[end] == U' ' || s[end] == U'\t')) ++end;
        std::u32string candidate = current.chars + s.substr(i, wordEnd - i);
        if (!current.chars.empty() && Measure(face, candidate, expandTabs) > width) {
            // Drop the blanks the line ended with and start a new one.
            while (!current.chars.empty() && (current.chars.back() == U' ' || current.chars.back() == U'\t')) {
                current.chars.pop_back();
                current.underlined.pop_back();
            }
            out->push_back(std::move(current));
            current = TextLine{};
        }
        current.chars.append(s, i, end - i);
        current.underlined.insert(current.underlined.end(), line.underlined.begin() + ptrdiff_t(i),
                                  line.underlined.begin() + ptrdiff_t(end));
        i = end;
    }
    out->push_back(std::move(current));
}

// Shortens a line that does not fit `width` so that it ends in "...".
void AddEllipsis(SizedFace* face, TextLine* line, int32_t width, bool expandTabs) {
    if (Measure(face, line->chars, expandTabs) <= width) return;
    const std::u32string dots = U"...";
    while (!line->chars.empty() && Measure(face, line->chars + dots, expandTabs) > width) {
        line->chars.pop_back();
        line->underlined.pop_back();
    }
    line->chars += dots;
    line->underlined.resize(line->chars.size(), false);
}

}  // namespace

HFont CreateFontIndirect(const LogFont& font) {
    GdiGuard guard(Lock());
    FontObj f;
    f.log = font;
    f.log.faceName[31] = 0;
    if (f.log.weight == 0) f.log.weight = kFwNormal;
    Object o;
    o.data = f;
    return HFont{Add(Kind::kFont, std::move(o))};
}

HFont GetStockFont(int32_t which) {
    if (which != kSystemFont) {
        SetLastError(kErrorInvalidParameter);
        return HFont{};
    }
    GdiGuard guard(Lock());
    return HFont{Stock(which)};
}

bool GetFontInfo(HFont font, LogFont* out) {
    GdiGuard guard(Lock());
    FontObj* f = FindFont(font.value);
    if (!f || !out) return false;
    *out = f->log;
    if (out->height == 0 && IsStock(font.value)) out->height = -SystemFontEm();
    return true;
}

bool GetTextMetrics(Hdc hdc, TextMetrics* out) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc || !out) return false;
    SizedFace* face = DcFace(*dc);
    if (!face) return false;
    const FaceMetrics& m = MetricsOf(face);
    out->height = m.height;
    out->ascent = m.ascent;
    out->descent = m.descent;
    out->internalLeading = std::max(0, m.height - m.em);
    out->externalLeading = 0;
    out->aveCharWidth = m.aveCharWidth;
    out->maxCharWidth = m.maxCharWidth;
    out->weight = FindFont(dc->state.font)->log.weight >= 550 ? kFwBold : kFwNormal;
    return true;
}

bool GetTextExtentExPoint(Hdc hdc, std::u16string_view text, int32_t maxWidth, int32_t* fit, Size* size) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return false;
    SizedFace* face = DcFace(*dc);
    if (!face) return false;
    int32_t pen = 0, fitUnits = 0;
    bool fitting = true;
    for (char32_t c : DecodeUtf16(text)) {
        pen += AdvanceAt(face, c, pen, false);
        if (fitting && pen <= maxWidth) fitUnits += c >= 0x10000 ? 2 : 1;
        else fitting = false;
    }
    if (fit) *fit = fitUnits;
    if (size) *size = Size{pen, MetricsOf(face).height};
    return true;
}

bool GetTextExtentPoint(Hdc hdc, std::u16string_view text, Size* out) {
    return GetTextExtentExPoint(hdc, text, INT32_MAX, nullptr, out);
}

bool TextOut(Hdc hdc, int32_t x, int32_t y, std::u16string_view text) {
    return OutputText(hdc, x, y, 0, nullptr, text);
}

bool ExtTextOut(Hdc hdc, int32_t x, int32_t y, uint32_t options, const Rect* rect, std::u16string_view text) {
    return OutputText(hdc, x, y, options, rect, text);
}

int32_t DrawText(Hdc hdc, std::u16string_view text, Rect* rect, uint32_t format) {
    if (!rect) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return 0;
    SizedFace* face = DcFace(*dc);
    if (!face) return 0;
    const FaceMetrics& m = MetricsOf(face);
    bool single = format & kDtSingleLine;
    bool tabs = format & kDtExpandTabs;
    int32_t boxWidth = std::max(0, rect->right - rect->left);

    std::vector<TextLine> lines;
    for (TextLine& line : SplitLines(text, format)) {
        if ((format & kDtWordBreak) && !single) WrapLine(face, line, boxWidth, tabs, &lines);
        else lines.push_back(std::move(line));
    }
    std::vector<int32_t> widths;
    int32_t widest = 0;
    for (TextLine& line : lines) {
        if (format & kDtEndEllipsis) AddEllipsis(face, &line, boxWidth, tabs);
        widths.push_back(Measure(face, line.chars, tabs));
        widest = std::max(widest, widths.back());
    }
    int32_t lineHeight = m.height;
    int32_t total = lineHeight * int32_t(lines.size());
    if (format & kDtCalcRect) {
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total;
        return total;
    }
    int32_t top = rect->top;
    if (single && (format & kDtVCenter)) top = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
    else if (single && (format & kDtBottom)) top = rect->bottom - lineHeight;

    BitmapObj* target = TargetBitmap(*dc);
    Rect area = DrawableArea(*dc, *target);
    Rect clip = (format & kDtNoClip) ? area : Intersect(area, *rect);
    bool underlineAll = DcUnderline(*dc);
    for (size_t i = 0; i < lines.size(); ++i) {
        int32_t x = rect->left;
        if (format & kDtCenter) x = rect->left + (boxWidth - widths[i]) / 2;
        else if (format & kDtRight) x = rect->right - widths[i];
        int32_t y = top + int32_t(i) * lineHeight;
        if (dc->state.bkMode == kOpaque)
            FillColor(*target, Intersect(Rect{x, y, x + widths[i], y + lineHeight}, clip), dc->state.bkColor);
        DrawLine(*target, clip, face, dc->state.textColor, x, y, lines[i], underlineAll, tabs);
    }
    if (single && (format & (kDtVCenter | kDtBottom))) return top + total - rect->top;
    return total;
}

}  // namespace plat
