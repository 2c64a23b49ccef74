#include "config_app/row_paint.h"

#include <algorithm>

#include "common/graphics/alpha_draw.h"
#include "common/graphics/screen_scale.h"
#include "config_app/row_list.h"
#include "platform/gdi/gdi.h"

namespace tlw {
namespace {

constexpr plat::ColorRef kBackground = plat::Rgb(255, 255, 255);
constexpr plat::ColorRef kTitleText = plat::Rgb(16, 52, 120);
constexpr plat::ColorRef kText = plat::Rgb(0, 0, 0);
constexpr plat::ColorRef kGrayText = plat::Rgb(150, 150, 150);
constexpr plat::ColorRef kValueText = plat::Rgb(30, 70, 150);
constexpr plat::ColorRef kSelected = plat::Rgb(200, 220, 250);
constexpr plat::ColorRef kHeading = plat::Rgb(232, 236, 244);
constexpr plat::ColorRef kLine = plat::Rgb(215, 220, 230);
constexpr plat::ColorRef kFrame = plat::Rgb(90, 100, 120);
constexpr plat::ColorRef kMark = plat::Rgb(16, 120, 40);
constexpr plat::ColorRef kEditBack = plat::Rgb(255, 255, 235);
constexpr plat::ColorRef kEditSelect = plat::Rgb(60, 100, 190);
constexpr plat::ColorRef kScrollBar = plat::Rgb(160, 170, 190);

void Fill(plat::Hdc hdc, const plat::Rect& r, plat::ColorRef color) {
    plat::HBrush b = plat::CreateSolidBrush(color);
    plat::FillRect(hdc, r, b);
    plat::DeleteObject(b);
}

void Frame(plat::Hdc hdc, const plat::Rect& r, plat::ColorRef color) {
    plat::HBrush b = plat::CreateSolidBrush(color);
    plat::FrameRect(hdc, r, b);
    plat::DeleteObject(b);
}

void Line(plat::Hdc hdc, int32_t x0, int32_t y0, int32_t x1, int32_t y1, plat::ColorRef color, int32_t width) {
    plat::HPen pen = plat::CreatePen(0, width, color);
    plat::HPen old = plat::SelectObject(hdc, pen);
    plat::MoveToEx(hdc, x0, y0);
    plat::LineTo(hdc, x1, y1);
    plat::SelectObject(hdc, old);
    plat::DeleteObject(pen);
}

void Text(plat::Hdc hdc, std::u16string_view text, plat::Rect r, uint32_t align, plat::ColorRef color, bool bold) {
    plat::SetTextColor(hdc, color);
    plat::HFont old = plat::SelectObject(hdc, RowFont(bold));
    plat::DrawText(hdc, text, &r, align | plat::kDtVCenter | plat::kDtSingleLine | plat::kDtEndEllipsis | plat::kDtNoPrefix);
    plat::SelectObject(hdc, old);
}

// A check box, ticked or not.
void CheckBox(plat::Hdc hdc, const plat::Rect& box, bool ticked, bool enabled) {
    Fill(hdc, box, kBackground);
    Frame(hdc, box, enabled ? kFrame : kGrayText);
    if (!ticked) return;
    int32_t w = box.right - box.left;
    int32_t pen = std::max(2, w / 7);
    plat::ColorRef color = enabled ? kMark : kGrayText;
    Line(hdc, box.left + w / 5, box.top + w / 2, box.left + w * 2 / 5, box.bottom - w / 4, color, pen);
    Line(hdc, box.left + w * 2 / 5, box.bottom - w / 4, box.right - w / 5, box.top + w / 5, color, pen);
}

// A small triangle pointing up or down, centred in r.
void Arrow(plat::Hdc hdc, const plat::Rect& r, bool up, plat::ColorRef color) {
    int32_t cx = (r.left + r.right) / 2;
    int32_t cy = (r.top + r.bottom) / 2;
    int32_t half = std::max(3, (r.right - r.left) / 4);
    for (int32_t i = 0; i <= half; ++i) {
        int32_t y = up ? cy - half / 2 + i : cy + half / 2 - i;
        Line(hdc, cx - i, y, cx + i + 1, y, color, 1);
    }
}

// The end of a path that fits the width, led by an ellipsis when cut.
std::u16string FitPathEnd(plat::Hdc hdc, const std::u16string& path, int32_t width) {
    plat::HFont old = plat::SelectObject(hdc, RowFont(false));
    plat::Size size{};
    plat::GetTextExtentPoint(hdc, path, &size);
    std::u16string shown = path;
    for (size_t cut = 1; size.cx > width && cut < path.size(); ++cut) {
        shown = u"\u2026" + path.substr(cut);
        plat::GetTextExtentPoint(hdc, shown, &size);
    }
    plat::SelectObject(hdc, old);
    return shown;
}

bool IsTextEditor(RowKind kind) {
    return kind == RowKind::kText || kind == RowKind::kMasked || kind == RowKind::kNumber || kind == RowKind::kTime ||
           kind == RowKind::kEntry;
}

void PaintEditor(const ConfigAppState& app, plat::Hdc hdc, const Row& row, const RowZones& z) {
    plat::Rect box = row.kind == RowKind::kEntry ? z.label : z.value;
    box.top += RowScale(3);
    box.bottom -= RowScale(3);
    Fill(hdc, box, kEditBack);
    Frame(hdc, box, kFrame);
    std::u16string shown = row.kind == RowKind::kMasked ? std::u16string(app.list.editBuffer.size(), u'*')
                                                         : app.list.editBuffer;
    plat::Rect inner{box.left + RowScale(3), box.top, box.right - RowScale(3), box.bottom};
    plat::HFont old = plat::SelectObject(hdc, RowFont(false));
    plat::Size extent{};
    plat::GetTextExtentPoint(hdc, shown, &extent);
    plat::SelectObject(hdc, old);
    if (app.list.editFresh && !shown.empty()) {
        // The whole text is selected: the first character typed replaces it.
        plat::Rect sel{inner.left, inner.top + RowScale(2), std::min(inner.right, inner.left + extent.cx),
                       inner.bottom - RowScale(2)};
        Fill(hdc, sel, kEditSelect);
        Text(hdc, shown, inner, plat::kDtLeft, kBackground, false);
    } else {
        Text(hdc, shown, inner, plat::kDtLeft, kText, false);
        int32_t caret = std::min(inner.right - 1, inner.left + extent.cx + 1);
        Line(hdc, caret, inner.top + RowScale(3), caret, inner.bottom - RowScale(3), kText, 1);
    }
}

void PaintRow(const ConfigAppState& app, plat::Hdc hdc, int32_t index, const plat::Rect& rect) {
    const Row& row = app.rows[index];
    bool selected = index == app.list.selected;
    bool enabled = RowEditable(row);
    RowZones z = RowZonesOf(row, rect);
    if (row.kind == RowKind::kHeading) {
        Fill(hdc, rect, kHeading);
        Text(hdc, row.label, z.label, plat::kDtLeft, kTitleText, true);
        return;
    }
    if (selected) Fill(hdc, rect, kSelected);
    Line(hdc, rect.left, rect.bottom - 1, rect.right, rect.bottom - 1, kLine, 1);
    plat::ColorRef labelColor = row.readOnly ? kGrayText : kText;
    plat::ColorRef valueColor = row.readOnly ? kGrayText : kValueText;
    bool editing = app.list.editing == index;

    switch (row.kind) {
    case RowKind::kTabHeader: {
        int32_t third = (rect.right - rect.left) / 3;
        plat::Rect prev{rect.left + RowScale(4), rect.top, rect.left + third, rect.bottom};
        plat::Rect cur{rect.left + third, rect.top, rect.right - third, rect.bottom};
        plat::Rect next{rect.right - third, rect.top, rect.right - RowScale(4), rect.bottom};
        if (!row.second.empty()) Text(hdc, u"\u2039 " + row.second, prev, plat::kDtLeft, kGrayText, false);
        Text(hdc, row.label, cur, plat::kDtCenter, kTitleText, true);
        if (!row.secondNext.empty()) Text(hdc, row.secondNext + u" \u203A", next, plat::kDtRight, kGrayText, false);
        return;
    }
    case RowKind::kEntry:
        if (editing) PaintEditor(app, hdc, row, z);
        else Text(hdc, row.label, z.label, plat::kDtLeft, labelColor, false);
        if (row.check) CheckBox(hdc, z.check, *row.check, true);
        if (row.check2 && !row.hideCheck2) CheckBox(hdc, z.check2, *row.check2, true);
        if (!row.second.empty()) Text(hdc, row.second, z.value, plat::kDtRight, valueColor, false);
        return;
    case RowKind::kCheck:
        Text(hdc, row.label, z.label, plat::kDtLeft, labelColor, false);
        CheckBox(hdc, z.check, row.check && *row.check, enabled);
        return;
    case RowKind::kTodaySlot: {
        CheckBox(hdc, z.check, row.check && *row.check, enabled);
        plat::Rect name = z.label;
        name.left = z.check.right + RowScale(6);
        Text(hdc, row.label, name, plat::kDtLeft, labelColor, false);
        if (row.large) {
            plat::Rect mark{z.value.left, rect.top + RowScale(4), z.value.left + RowScale(18), rect.bottom - RowScale(4)};
            Fill(hdc, mark, kValueText);
            Text(hdc, u"L", mark, plat::kDtCenter, kBackground, true);
        }
        Frame(hdc, z.moveUp, kLine);
        Frame(hdc, z.moveDown, kLine);
        Arrow(hdc, z.moveUp, true, enabled ? kFrame : kGrayText);
        Arrow(hdc, z.moveDown, false, enabled ? kFrame : kGrayText);
        return;
    }
    case RowKind::kSlider: {
        Text(hdc, row.label, z.label, plat::kDtLeft, labelColor, false);
        int32_t mid = (z.track.top + z.track.bottom) / 2;
        Fill(hdc, {z.track.left, mid - 1, z.track.right, mid + 2}, row.readOnly ? kGrayText : kFrame);
        int32_t span = std::max(1, row.maximum - row.minimum);
        int32_t pos = row.number ? std::clamp(*row.number, row.minimum, row.maximum) : row.minimum;
        int32_t x = z.track.left + (z.track.right - z.track.left) * (pos - row.minimum) / span;
        int32_t knob = RowScale(5);
        Fill(hdc, {x - knob, z.track.top, x + knob, z.track.bottom}, row.readOnly ? kGrayText : kValueText);
        plat::Rect number{z.value.left, rect.top, z.track.left - RowScale(4), rect.bottom};
        Text(hdc, RowValueText(row), number, plat::kDtRight, valueColor, false);
        return;
    }
    case RowKind::kFile: {
        Text(hdc, row.label, z.label, plat::kDtLeft, labelColor, false);
        CheckBox(hdc, z.check, row.check && *row.check, enabled);
        plat::Rect name{z.check.right + RowScale(4), rect.top, z.value.right, rect.bottom};
        if (row.icon && ImageHasPixels(*row.icon)) {
            // The icon stands right of the check box, the name after it.
            int32_t side = static_cast<int32_t>(row.icon->height);
            DrawImage(*row.icon, hdc, name.left, (rect.top + rect.bottom - side) / 2);
            name.left += static_cast<int32_t>(row.icon->width) + RowScale(4);
        }
        Text(hdc, RowValueText(row), name, plat::kDtRight, valueColor, false);
        return;
    }
    default:
        break;
    }
    // A short label leaves its unused room to the value.
    plat::HFont oldFont = plat::SelectObject(hdc, RowFont(false));
    plat::Size labelSize{};
    plat::GetTextExtentPoint(hdc, row.label, &labelSize);
    plat::SelectObject(hdc, oldFont);
    int32_t widest = rect.left + (rect.right - rect.left) * 3 / 10;
    z.value.left = std::clamp(z.label.left + labelSize.cx + RowScale(8), widest, z.value.left);
    z.label.right = std::min(z.label.right, z.value.left - RowScale(4));
    Text(hdc, row.label, z.label, plat::kDtLeft, labelColor, false);
    if (editing && IsTextEditor(row.kind)) {
        PaintEditor(app, hdc, row, z);
        return;
    }
    std::u16string value = RowValueText(row);
    if (row.kind == RowKind::kChoice) {
        plat::Rect arrow{z.value.right - RowScale(12), rect.top, z.value.right, rect.bottom};
        Arrow(hdc, arrow, false, row.readOnly ? kGrayText : kFrame);
        plat::Rect text = z.value;
        text.right = arrow.left - RowScale(2);
        Text(hdc, value, text, plat::kDtRight, valueColor, false);
        return;
    }
    if (row.kind == RowKind::kFolder) {
        // A path keeps its end (the folder's own name) and loses its start.
        Text(hdc, FitPathEnd(hdc, value, z.value.right - z.value.left), z.value, plat::kDtRight, valueColor, false);
        return;
    }
    Text(hdc, value, z.value, plat::kDtRight, valueColor, false);
}

void PaintChoice(const ConfigAppState& app, plat::Hdc hdc, const plat::Rect& client) {
    const Row& row = app.rows[app.list.choiceOpen];
    ChoiceOverlay o = ChoiceOverlayOf(app, client);
    Fill(hdc, o.rect, kBackground);
    Frame(hdc, o.rect, kFrame);
    int32_t h = RowHeight();
    int32_t chosen = ChosenIndex(row);
    for (int32_t i = 0; i < o.shown; ++i) {
        int32_t entry = o.first + i;
        plat::Rect r{o.rect.left + 1, o.rect.top + 1 + i * h, o.rect.right - 1, o.rect.top + 1 + (i + 1) * h};
        if (entry == app.list.choiceHot) Fill(hdc, r, kSelected);
        plat::Rect text{r.left + RowScale(6), r.top, r.right - RowScale(6), r.bottom};
        Text(hdc, row.choices[entry].label, text, plat::kDtLeft, kText, entry == chosen);
    }
    if (o.shown < static_cast<int32_t>(row.choices.size())) {
        int32_t total = static_cast<int32_t>(row.choices.size());
        int32_t height = o.rect.bottom - o.rect.top - 2;
        int32_t top = o.rect.top + 1 + height * o.first / total;
        int32_t bottom = o.rect.top + 1 + height * (o.first + o.shown) / total;
        Fill(hdc, {o.rect.right - RowScale(4), top, o.rect.right - 1, bottom}, kScrollBar);
    }
}

}  // namespace

int32_t RowScale(int32_t units) { return ScaleY(units); }

plat::HFont RowFont(bool bold) {
    static plat::HFont fonts[2];
    static int32_t madeFor = 0;
    int32_t height = RowScale(12);
    if (madeFor != height) {
        for (int i = 0; i < 2; ++i) {
            if (fonts[i]) plat::DeleteObject(fonts[i]);
            plat::LogFont f;
            f.height = -height;
            f.weight = i ? plat::kFwBold : plat::kFwNormal;
            fonts[i] = plat::CreateFontIndirect(f);
        }
        madeFor = height;
    }
    return fonts[bold ? 1 : 0];
}

RowZones RowZonesOf(const Row& row, const plat::Rect& rect) {
    RowZones z;
    int32_t pad = RowScale(4);
    int32_t width = rect.right - rect.left;
    int32_t box = RowScale(14);
    int32_t boxTop = (rect.top + rect.bottom - box) / 2;
    int32_t split = rect.left + width * 11 / 20;
    z.label = {rect.left + pad, rect.top, split - pad, rect.bottom};
    z.value = {split, rect.top, rect.right - pad, rect.bottom};
    switch (row.kind) {
    case RowKind::kCheck:
        z.check = {rect.right - pad - box, boxTop, rect.right - pad, boxTop + box};
        z.label.right = z.check.left - pad;
        break;
    case RowKind::kEntry: {
        int32_t marks = (row.check ? 1 : 0) + (row.check2 ? 1 : 0);
        int32_t column = RowScale(26);
        int32_t right = rect.right - pad;
        if (row.check2) {
            z.check2 = {right - (column + box) / 2, boxTop, right - (column - box) / 2, boxTop + box};
            right -= column;
        }
        if (row.check) z.check = {right - (column + box) / 2, boxTop, right - (column - box) / 2, boxTop + box};
        z.value = {split, rect.top, rect.right - pad - marks * column, rect.bottom};
        z.label.right = row.second.empty() ? z.value.right - pad : split - pad;
        break;
    }
    case RowKind::kTodaySlot: {
        int32_t zone = RowScale(22);
        z.moveDown = {rect.right - zone, rect.top + 1, rect.right, rect.bottom - 1};
        z.moveUp = {rect.right - 2 * zone, rect.top + 1, rect.right - zone, rect.bottom - 1};
        z.check = {rect.left + pad, boxTop, rect.left + pad + box, boxTop + box};
        z.value = {z.moveUp.left - RowScale(26), rect.top, z.moveUp.left - pad, rect.bottom};
        z.label.right = z.value.left - pad;
        break;
    }
    case RowKind::kSlider:
        z.track = {rect.left + width * 7 / 10, rect.top + RowScale(6), rect.right - pad - RowScale(5),
                   rect.bottom - RowScale(6)};
        break;
    case RowKind::kFile:
        z.check = {split, boxTop, split + box, boxTop + box};
        break;
    default:
        break;
    }
    return z;
}

ChoiceOverlay ChoiceOverlayOf(const ConfigAppState& app, const plat::Rect& client) {
    ChoiceOverlay o;
    if (app.list.choiceOpen < 0 || app.list.choiceOpen >= static_cast<int32_t>(app.rows.size())) return o;
    const Row& row = app.rows[app.list.choiceOpen];
    int32_t h = RowHeight();
    int32_t total = static_cast<int32_t>(row.choices.size());
    int32_t room = std::max(1, (client.bottom - client.top - TitleHeight() - 2) / h);
    o.shown = std::min(total, room);
    int32_t hot = std::max(0, app.list.choiceHot);
    o.first = std::clamp(hot - o.shown / 2, 0, std::max(0, total - o.shown));
    int32_t height = o.shown * h + 2;
    plat::Rect r = RowRect(app, app.list.choiceOpen);
    int32_t top = r.bottom;
    if (top + height > client.bottom) top = r.top - height;
    top = std::clamp(top, client.top + TitleHeight(), std::max(client.top + TitleHeight(), client.bottom - height));
    int32_t left = client.left + (client.right - client.left) / 4;
    o.rect = {left, top, client.right - RowScale(2), top + height};
    return o;
}

void PaintRowList(const ConfigAppState& app, plat::Hdc hdc, const plat::Rect& client) {
    Fill(hdc, client, kBackground);
    plat::SetBkMode(hdc, plat::kTransparent);
    int32_t titleHeight = TitleHeight();
    int32_t count = static_cast<int32_t>(app.rows.size());
    plat::IntersectClipRect(hdc, client.left, client.top + titleHeight, client.right, client.bottom);
    for (int32_t i = 0; i < count; ++i) {
        plat::Rect r = RowRect(app, i);
        if (r.bottom <= client.top + titleHeight || r.top >= client.bottom) continue;
        PaintRow(app, hdc, i, r);
    }
    int32_t content = count * RowHeight();
    int32_t visible = client.bottom - client.top - titleHeight;
    if (content > visible && visible > 0) {
        int32_t top = client.top + titleHeight + visible * app.list.scrollTop / content;
        int32_t bottom = client.top + titleHeight + visible * (app.list.scrollTop + visible) / content;
        Fill(hdc, {client.right - RowScale(3), top, client.right, bottom}, kScrollBar);
    }
    plat::ResetClipRect(hdc);
    plat::Rect title{client.left, client.top, client.right, client.top + titleHeight};
    Fill(hdc, title, kBackground);
    plat::Rect titleText{title.left + RowScale(4), title.top, title.right - RowScale(4), title.bottom};
    Text(hdc, app.pageTitle, titleText, plat::kDtLeft, kTitleText, true);
    Line(hdc, title.left, title.bottom - 1, title.right, title.bottom - 1, kTitleText, 1);
    if (app.list.choiceOpen >= 0 && app.list.choiceOpen < count) PaintChoice(app, hdc, client);
}

}  // namespace tlw
