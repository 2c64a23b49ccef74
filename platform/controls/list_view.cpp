// The report list view.
#include "platform/controls/list_view.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/control_support.h"
#include "platform/controls/edit.h"
#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace plat {
namespace {

constexpr uint32_t VK_PRIOR = 0x21;
constexpr uint32_t VK_NEXT = 0x22;
constexpr uint32_t SB_LINEUP = 0, SB_LINEDOWN = 1, SB_PAGEUP = 2, SB_PAGEDOWN = 3, SB_THUMBTRACK = 5, SB_TOP = 6,
                   SB_BOTTOM = 7;
constexpr ColorRef kClrDefault = 0xFF000000u;  // the system colour
constexpr int64_t kDoubleTapMs = 500;          // a second tap this soon on the same row is a double tap
// Private message from the label editor: wParam 1 = keep the text, 0 = cancel.
constexpr uint32_t kEndLabelEdit = WM_USER + 0x3F0;

struct Column {
    int32_t fmt = LVCFMT_LEFT;
    int32_t width = 0;
    std::u16string text;
    int32_t subItem = 0;
};

struct Row {
    std::vector<std::u16string> texts;  // by subitem
    int32_t image = -1;
    int64_t lParam = 0;
    uint32_t state = 0;  // LVIS_*
    int32_t indent = 0;
};

struct ListRecord {
    std::vector<Column> columns;
    std::vector<Row> rows;
    HImageList smallImages, normalImages, stateImages;
    int32_t top = 0;           // first row shown
    int32_t rowHeight = 0;     // 0: not yet known (owner-drawn rows ask the parent)
    uint32_t exStyle = 0;
    ColorRef background = kClrDefault;
    ColorRef textColor = kClrDefault;
    ColorRef textBackground = kClrDefault;
    HFont font;
    bool draggingThumb = false;  // the pen holds the scroll bar's thumb
    int32_t grabOffset = 0;      // where on the thumb it was taken
    bool clickPending = false;   // pen went down on the rows: NM_CLICK at the release
    bool doubleTap = false;      // that press was the second of a double tap
    int32_t pressedRow = -1;
    Point pressedAt;
    int32_t lastTapRow = -1;     // for double taps
    std::chrono::steady_clock::time_point lastTapTime;
    Hwnd editor;                 // the label editor while open
    int32_t editRow = -1;
};

ctl::ControlTable<ListRecord>& Table() {
    static ctl::ControlTable<ListRecord> table;
    return table;
}

int32_t Count(const ListRecord& l) { return static_cast<int32_t>(l.rows.size()); }
bool ValidRow(const ListRecord& l, int32_t row) { return row >= 0 && row < Count(l); }

int32_t HeaderHeight(Hwnd hwnd, const ListRecord& l) {
    return ctl::Has(hwnd, LVS_NOCOLUMNHEADER) ? 0 : ctl::LineHeight(l.font) + ctl::ScaleY(4);
}

int32_t RowHeight(Hwnd hwnd, ListRecord& l) {
    if (l.rowHeight > 0) return l.rowHeight;
    int32_t natural = ctl::LineHeight(l.font) + ctl::ScaleY(2);
    int32_t iw = 0, ih = 0;
    if (ImageList_GetIconSize(l.smallImages, &iw, &ih)) natural = std::max(natural, ih + 2);
    if (ctl::Has(hwnd, LVS_OWNERDRAWFIXED)) {
        MeasureItemStruct mis;
        mis.ctlType = ODT_LISTVIEW;
        mis.ctlId = ctl::ControlId(hwnd);
        mis.itemHeight = static_cast<uint32_t>(natural);
        Hwnd parent = GetParent(hwnd);
        if (parent) SendMessage(parent, WM_MEASUREITEM, mis.ctlId, reinterpret_cast<LParam>(&mis));
        l.rowHeight = std::max<int32_t>(1, static_cast<int32_t>(mis.itemHeight));
        return l.rowHeight;
    }
    return natural;  // follows the font and image list as they change
}

Rect Client(Hwnd hwnd) {
    Rect r;
    GetClientRect(hwnd, &r);
    return r;
}

int32_t PageRows(Hwnd hwnd, ListRecord& l) {
    Rect c = Client(hwnd);
    return std::max(1, (c.bottom - c.top - HeaderHeight(hwnd, l)) / RowHeight(hwnd, l));
}

bool HasScrollBar(Hwnd hwnd, ListRecord& l) {
    return !ctl::Has(hwnd, LVS_NOSCROLL) && Count(l) > PageRows(hwnd, l);
}

int32_t ScrollBarWidth() { return ctl::ScaleX(10); }

int32_t RowsRight(Hwnd hwnd, ListRecord& l) {
    return Client(hwnd).right - (HasScrollBar(hwnd, l) ? ScrollBarWidth() : 0);
}

int32_t MaxTop(Hwnd hwnd, ListRecord& l) { return std::max(0, Count(l) - PageRows(hwnd, l)); }

void ClampTop(Hwnd hwnd, ListRecord& l) { l.top = std::clamp(l.top, 0, MaxTop(hwnd, l)); }

Rect RowRect(Hwnd hwnd, ListRecord& l, int32_t row) {
    int32_t h = RowHeight(hwnd, l);
    int32_t y = HeaderHeight(hwnd, l) + (row - l.top) * h;
    return {0, y, RowsRight(hwnd, l), y + h};
}

// Left edges of the columns (one more entry: the end of the last).
std::vector<int32_t> ColumnEdges(const ListRecord& l) {
    std::vector<int32_t> edges{0};
    for (const Column& c : l.columns) edges.push_back(edges.back() + std::max(0, c.width));
    return edges;
}

const std::u16string& TextOf(const Row& r, int32_t subItem) {
    static const std::u16string kEmpty;
    return subItem >= 0 && subItem < static_cast<int32_t>(r.texts.size()) ? r.texts[subItem] : kEmpty;
}

void SetText(Row& r, int32_t subItem, std::u16string text) {
    if (subItem < 0) return;
    if (static_cast<int32_t>(r.texts.size()) <= subItem) r.texts.resize(static_cast<size_t>(subItem) + 1);
    r.texts[static_cast<size_t>(subItem)] = std::move(text);
}

void InvalidateRow(Hwnd hwnd, ListRecord& l, int32_t row) {
    Rect r = RowRect(hwnd, l, row);
    InvalidateRect(hwnd, &r, true);
}

// Changes a row's state bits within mask, telling the parent; false when
// the parent refused (LVN_ITEMCHANGING answered nonzero) or nothing changed.
bool SetState(Hwnd hwnd, ListRecord& l, int32_t row, uint32_t state, uint32_t mask) {
    if (!ValidRow(l, row)) return false;
    uint32_t old = l.rows[static_cast<size_t>(row)].state;
    uint32_t now = (old & ~mask) | (state & mask);
    if (now == old) return false;
    NmListView change;
    change.iItem = row;
    change.uNewState = now;
    change.uOldState = old;
    change.uChanged = LVIF_STATE;
    change.lParam = l.rows[static_cast<size_t>(row)].lParam;
    if (ctl::NotifyParent(hwnd, &change.hdr, LVN_ITEMCHANGING)) return false;
    if (!ValidRow(l, row)) return false;  // the parent changed the rows meanwhile
    l.rows[static_cast<size_t>(row)].state = now;
    InvalidateRow(hwnd, l, row);
    change = NmListView{};
    change.iItem = row;
    change.uNewState = now;
    change.uOldState = old;
    change.uChanged = LVIF_STATE;
    change.lParam = l.rows[static_cast<size_t>(row)].lParam;
    ctl::NotifyParent(hwnd, &change.hdr, LVN_ITEMCHANGED);
    return true;
}

// Applies a state change with the rules of one focused row and, for a
// single-selection list, one selected row.
void ApplyState(Hwnd hwnd, ListRecord& l, int32_t row, uint32_t state, uint32_t mask) {
    if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED))
        for (int32_t i = 0; i < Count(l); ++i)
            if (i != row && (l.rows[static_cast<size_t>(i)].state & LVIS_FOCUSED)) SetState(hwnd, l, i, 0, LVIS_FOCUSED);
    if ((mask & LVIS_SELECTED) && (state & LVIS_SELECTED) && ctl::Has(hwnd, LVS_SINGLESEL))
        for (int32_t i = 0; i < Count(l); ++i)
            if (i != row && (l.rows[static_cast<size_t>(i)].state & LVIS_SELECTED)) SetState(hwnd, l, i, 0, LVIS_SELECTED);
    SetState(hwnd, l, row, state, mask);
}

void EnsureVisible(Hwnd hwnd, ListRecord& l, int32_t row) {
    if (!ValidRow(l, row)) return;
    int32_t page = PageRows(hwnd, l);
    int32_t old = l.top;
    if (row < l.top) l.top = row;
    else if (row >= l.top + page) l.top = row - page + 1;
    ClampTop(hwnd, l);
    if (l.top != old) InvalidateRect(hwnd, nullptr, true);
}

// The user's choice of a row: it alone is selected, and focused.
void Choose(Hwnd hwnd, ListRecord& l, int32_t row) {
    for (int32_t i = 0; i < Count(l); ++i)
        if (i != row && (l.rows[static_cast<size_t>(i)].state & LVIS_SELECTED)) SetState(hwnd, l, i, 0, LVIS_SELECTED);
    if (ValidRow(l, row)) {
        ApplyState(hwnd, l, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        EnsureVisible(hwnd, l, row);
    }
}

int32_t FocusedRow(const ListRecord& l) {
    for (int32_t i = 0; i < Count(l); ++i)
        if (l.rows[static_cast<size_t>(i)].state & LVIS_FOCUSED) return i;
    return -1;
}

void Activate(Hwnd hwnd, ListRecord& l, uint32_t code, int32_t row, Point at) {
    NmItemActivate a;
    a.iItem = row;
    a.ptAction = at;
    if (ValidRow(l, row)) {
        a.uNewState = l.rows[static_cast<size_t>(row)].state;
        a.lParam = l.rows[static_cast<size_t>(row)].lParam;
    }
    ctl::NotifyParent(hwnd, &a.hdr, code);
}

// The scroll bar's track and thumb.
void ScrollBarParts(Hwnd hwnd, ListRecord& l, Rect* track, Rect* thumb) {
    Rect c = Client(hwnd);
    *track = {c.right - ScrollBarWidth(), HeaderHeight(hwnd, l), c.right, c.bottom};
    int32_t length = track->bottom - track->top;
    int32_t count = std::max(1, Count(l));
    int32_t page = PageRows(hwnd, l);
    int32_t size = std::max(ctl::ScaleY(8), length * std::min(page, count) / count);
    int32_t maxTop = std::max(1, MaxTop(hwnd, l));
    int32_t y = track->top + (length - size) * l.top / maxTop;
    if (MaxTop(hwnd, l) == 0) y = track->top;
    *thumb = {track->left, y, track->right, y + size};
}

void ScrollTo(Hwnd hwnd, ListRecord& l, int32_t top) {
    int32_t old = l.top;
    l.top = top;
    ClampTop(hwnd, l);
    if (l.top != old) InvalidateRect(hwnd, nullptr, true);
}

ColorRef Or(ColorRef chosen, int32_t sys) { return chosen == kClrDefault ? GetSysColor(sys) : chosen; }

void Paint(Hwnd hwnd, ListRecord& l) {
    PaintStruct ps;
    Hdc hdc = BeginPaint(hwnd, &ps);
    if (!hdc) return;
    Rect c = Client(hwnd);
    bool enabled = ctl::IsEnabled(hwnd);
    ColorRef background = Or(l.background, kColorWindow);
    ctl::FillSolid(hdc, c, background);
    std::vector<int32_t> edges = ColumnEdges(l);
    int32_t rowsRight = RowsRight(hwnd, l);
    int32_t pad = ctl::ScaleX(3);
    // The header.
    int32_t header = HeaderHeight(hwnd, l);
    if (header > 0) {
        ctl::FillSolid(hdc, Rect{0, 0, c.right, header}, GetSysColor(kColorBtnFace));
        ctl::FillSolid(hdc, Rect{0, header - 1, c.right, header}, GetSysColor(kColorBtnShadow));
        for (size_t i = 0; i < l.columns.size(); ++i) {
            Rect cell{edges[i] + pad, 0, edges[i + 1] - pad, header - 1};
            uint32_t align = l.columns[i].fmt == LVCFMT_RIGHT ? kDtRight : l.columns[i].fmt == LVCFMT_CENTER ? kDtCenter : kDtLeft;
            ctl::DrawLabel(hdc, l.font, l.columns[i].text, cell, align | kDtVCenter | kDtSingleLine | kDtEndEllipsis | kDtNoPrefix,
                           GetSysColor(kColorBtnText));
            ctl::FillSolid(hdc, Rect{edges[i + 1] - 1, ctl::ScaleY(2), edges[i + 1], header - ctl::ScaleY(2)},
                           GetSysColor(kColorBtnShadow));
        }
    }
    SaveDC(hdc);
    IntersectClipRect(hdc, 0, header, rowsRight, c.bottom);
    bool focused = ctl::HasFocus(hwnd) || (l.editor && ctl::HasFocus(l.editor));
    bool showSelection = focused || ctl::Has(hwnd, LVS_SHOWSELALWAYS);
    int32_t h = RowHeight(hwnd, l);
    bool ownerDraw = ctl::Has(hwnd, LVS_OWNERDRAWFIXED);
    int32_t iconWidth = 0, iconHeight = 0;
    bool icons = ImageList_GetIconSize(l.smallImages, &iconWidth, &iconHeight);
    for (int32_t row = l.top; row < Count(l); ++row) {
        Rect r = RowRect(hwnd, l, row);
        if (r.top >= c.bottom) break;
        const Row& item = l.rows[static_cast<size_t>(row)];
        bool selected = (item.state & LVIS_SELECTED) != 0;
        if (ownerDraw) {
            DrawItemStruct dis;
            dis.ctlType = ODT_LISTVIEW;
            dis.ctlId = ctl::ControlId(hwnd);
            dis.itemId = static_cast<uint32_t>(row);
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = (selected ? ODS_SELECTED : 0) | ((item.state & LVIS_FOCUSED) && focused ? ODS_FOCUS : 0) |
                            (enabled ? 0 : ODS_DISABLED);
            dis.hwndItem = hwnd;
            dis.hdc = hdc;
            dis.rcItem = Rect{0, r.top, std::max(edges.back(), rowsRight), r.bottom};
            dis.itemData = static_cast<uint64_t>(item.lParam);
            Hwnd parent = GetParent(hwnd);
            SaveDC(hdc);
            if (parent) SendMessage(parent, WM_DRAWITEM, dis.ctlId, reinterpret_cast<LParam>(&dis));
            RestoreDC(hdc, -1);
            continue;
        }
        bool fullRow = (l.exStyle & LVS_EX_FULLROWSELECT) != 0;
        int32_t labelLeft = edges[0] + pad + (icons ? iconWidth + pad : 0) + item.indent * iconWidth;
        Rect highlight = fullRow ? Rect{0, r.top, rowsRight, r.bottom}
                                 : Rect{labelLeft - 1, r.top, edges.size() > 1 ? edges[1] : rowsRight, r.bottom};
        if (selected && showSelection)
            ctl::FillSolid(hdc, highlight, focused ? GetSysColor(kColorHighlight) : GetSysColor(kColorBtnFace));
        if (icons && item.image >= 0)
            ImageList_Draw(l.smallImages, item.image, hdc, edges[0] + pad + item.indent * iconWidth,
                           r.top + (h - iconHeight) / 2, selected && focused ? ILD_SELECTED : ILD_NORMAL);
        for (size_t col = 0; col < std::max<size_t>(1, l.columns.size()); ++col) {
            int32_t subItem = col < l.columns.size() ? l.columns[col].subItem : 0;
            int32_t left = col == 0 ? labelLeft : edges[col] + pad;
            int32_t right = col < l.columns.size() ? edges[col + 1] - pad : rowsRight - pad;
            int32_t fmt = col < l.columns.size() ? l.columns[col].fmt : LVCFMT_LEFT;
            bool inHighlight = selected && showSelection && (fullRow || col == 0);
            ColorRef color = !enabled ? GetSysColor(kColorGrayText)
                             : inHighlight && focused ? GetSysColor(kColorHighlightText)
                                                      : Or(l.textColor, kColorWindowText);
            uint32_t align = fmt == LVCFMT_RIGHT ? kDtRight : fmt == LVCFMT_CENTER ? kDtCenter : kDtLeft;
            ctl::DrawLabel(hdc, l.font, TextOf(item, subItem), Rect{left, r.top, right, r.bottom},
                           align | kDtVCenter | kDtSingleLine | kDtEndEllipsis | kDtNoPrefix, color);
        }
        if ((item.state & LVIS_FOCUSED) && focused) ctl::DrawFocusFrame(hdc, highlight);
        if (l.exStyle & LVS_EX_GRIDLINES) ctl::FillSolid(hdc, Rect{0, r.bottom - 1, rowsRight, r.bottom}, GetSysColor(kColorBtnFace));
    }
    RestoreDC(hdc, -1);
    if (HasScrollBar(hwnd, l)) {
        Rect track, thumb;
        ScrollBarParts(hwnd, l, &track, &thumb);
        ctl::FillSolid(hdc, track, GetSysColor(kColorScrollbar));
        ctl::FillSolid(hdc, thumb, l.draggingThumb ? GetSysColor(kColorHighlight) : GetSysColor(kColorBtnShadow));
    }
    EndPaint(hwnd, &ps);
}

int32_t HitRow(Hwnd hwnd, ListRecord& l, Point p, uint32_t* flags, int32_t* column) {
    int32_t header = HeaderHeight(hwnd, l);
    *flags = LVHT_NOWHERE;
    *column = 0;
    if (p.y < header || p.x < 0 || p.x >= RowsRight(hwnd, l)) return -1;
    int32_t row = l.top + (p.y - header) / RowHeight(hwnd, l);
    if (row >= Count(l)) {
        *flags = LVHT_NOWHERE | LVHT_BELOW;
        return -1;
    }
    std::vector<int32_t> edges = ColumnEdges(l);
    for (size_t i = 0; i + 1 < edges.size(); ++i)
        if (p.x >= edges[i] && p.x < edges[i + 1]) *column = static_cast<int32_t>(i);
    int32_t iw = 0, ih = 0;
    bool icons = ImageList_GetIconSize(l.smallImages, &iw, &ih);
    *flags = icons && p.x < ctl::ScaleX(3) + iw ? LVHT_ONITEMICON : LVHT_ONITEMLABEL;
    return row;
}

void CopyOut(const std::u16string& text, LvItem* item) {
    if (!item->pszText || item->cchTextMax <= 0) return;
    size_t n = std::min(text.size(), static_cast<size_t>(item->cchTextMax - 1));
    std::memcpy(item->pszText, text.data(), n * sizeof(char16_t));
    item->pszText[n] = 0;
}

LResult InsertItem(Hwnd hwnd, ListRecord& l, const LvItem* item) {
    if (!item || item->iSubItem != 0) return -1;
    Row row;
    if (item->mask & LVIF_TEXT) SetText(row, 0, item->pszText ? std::u16string(item->pszText) : std::u16string());
    if (item->mask & LVIF_IMAGE) row.image = item->iImage;
    if (item->mask & LVIF_PARAM) row.lParam = item->lParam;
    if (item->mask & LVIF_INDENT) row.indent = std::max(0, item->iIndent);
    int32_t at = std::clamp(item->iItem, 0, Count(l));
    bool ascending = ctl::Has(hwnd, LVS_SORTASCENDING), descending = ctl::Has(hwnd, LVS_SORTDESCENDING);
    if (ascending || descending) {
        at = 0;
        while (at < Count(l)) {
            int cmp = TextOf(l.rows[static_cast<size_t>(at)], 0).compare(TextOf(row, 0));
            if (ascending ? cmp > 0 : cmp < 0) break;
            ++at;
        }
    }
    l.rows.insert(l.rows.begin() + at, std::move(row));
    InvalidateRect(hwnd, nullptr, true);
    NmListView inserted;
    inserted.iItem = at;
    inserted.lParam = l.rows[static_cast<size_t>(at)].lParam;
    ctl::NotifyParent(hwnd, &inserted.hdr, LVN_INSERTITEM);
    if ((item->mask & LVIF_STATE) && item->stateMask) ApplyState(hwnd, l, at, item->state, item->stateMask);
    return at;
}

bool DeleteItem(Hwnd hwnd, ListRecord& l, int32_t row, bool notify) {
    if (!ValidRow(l, row)) return false;
    if (notify) {
        NmListView gone;
        gone.iItem = row;
        gone.lParam = l.rows[static_cast<size_t>(row)].lParam;
        ctl::NotifyParent(hwnd, &gone.hdr, LVN_DELETEITEM);
        if (!ValidRow(l, row)) return false;
    }
    l.rows.erase(l.rows.begin() + row);
    ClampTop(hwnd, l);
    InvalidateRect(hwnd, nullptr, true);
    return true;
}

int32_t NextItem(const ListRecord& l, int32_t start, uint32_t flags) {
    uint32_t want = flags & (LVNI_FOCUSED | LVNI_SELECTED);
    auto matches = [&](int32_t i) { return (l.rows[static_cast<size_t>(i)].state & want) == want; };
    if (flags & LVNI_ABOVE) {
        for (int32_t i = std::min(start, Count(l)) - 1; i >= 0; --i)
            if (matches(i)) return i;
        return -1;
    }
    for (int32_t i = start < 0 ? 0 : start + 1; i < Count(l); ++i)
        if (matches(i)) return i;
    return -1;
}

// The label editor: an edit over the row's text.
LResult LabelEditProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_GETDLGCODE) return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_HASSETSEL;
    if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
        PostMessage(GetParent(hwnd), kEndLabelEdit, wParam == VK_RETURN ? 1 : 0, 0);
        return 0;
    }
    if (message == WM_KILLFOCUS) {
        LResult r = EditProc(hwnd, message, wParam, lParam);
        PostMessage(GetParent(hwnd), kEndLabelEdit, 1, 0);
        return r;
    }
    return EditProc(hwnd, message, wParam, lParam);
}

void EndLabelEdit(Hwnd hwnd, ListRecord& l, bool keep) {
    if (!l.editor) return;
    Hwnd editor = l.editor;
    int32_t row = l.editRow;
    l.editor = Hwnd{};
    l.editRow = -1;
    LResult length = SendMessage(editor, WM_GETTEXTLENGTH, 0, 0);
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    SendMessage(editor, WM_GETTEXT, text.size(), reinterpret_cast<LParam>(text.data()));
    text.resize(static_cast<size_t>(length));
    bool hadFocus = GetFocus() == editor;
    DestroyWindow(editor);
    if (hadFocus) SetFocus(hwnd);
    if (!ValidRow(l, row)) return;
    NmLvDispInfo info;
    info.item.iItem = row;
    info.item.mask = LVIF_TEXT;
    info.item.pszText = keep ? text.data() : nullptr;
    info.item.cchTextMax = static_cast<int32_t>(text.size()) + 1;
    info.item.lParam = l.rows[static_cast<size_t>(row)].lParam;
    LResult accepted = ctl::NotifyParent(hwnd, &info.hdr, LVN_ENDLABELEDIT);
    if (keep && accepted && ValidRow(l, row)) {
        SetText(l.rows[static_cast<size_t>(row)], 0, text);
        InvalidateRow(hwnd, l, row);
    }
}

Hwnd BeginLabelEdit(Hwnd hwnd, ListRecord& l, int32_t row) {
    if (l.editor) EndLabelEdit(hwnd, l, true);
    if (!ValidRow(l, row)) return Hwnd{};
    NmLvDispInfo info;
    info.item.iItem = row;
    info.item.mask = LVIF_TEXT;
    std::u16string current = TextOf(l.rows[static_cast<size_t>(row)], 0);
    info.item.pszText = current.data();
    info.item.lParam = l.rows[static_cast<size_t>(row)].lParam;
    if (ctl::NotifyParent(hwnd, &info.hdr, LVN_BEGINLABELEDIT)) return Hwnd{};
    EnsureVisible(hwnd, l, row);
    Rect r = RowRect(hwnd, l, row);
    std::vector<int32_t> edges = ColumnEdges(l);
    int32_t iw = 0, ih = 0;
    int32_t left = ImageList_GetIconSize(l.smallImages, &iw, &ih) ? ctl::ScaleX(3) + iw : 0;
    int32_t right = edges.size() > 1 ? edges[1] : RowsRight(hwnd, l);
    Hwnd editor = CreateWindow(kEditClass, current, WS_CHILD | WS_VISIBLE | WS_BORDER, left, r.top,
                               std::max(ctl::ScaleX(20), right - left), r.bottom - r.top, hwnd);
    if (!editor) return Hwnd{};
    SetWindowLong(editor, GWL_WNDPROC, reinterpret_cast<int64_t>(&LabelEditProc));
    if (l.font) SendMessage(editor, WM_SETFONT, l.font.value, 0);
    l.editor = editor;
    l.editRow = row;
    SetFocus(editor);
    SendMessage(editor, EM_SETSEL, 0, -1);
    return editor;
}

void OnKey(Hwnd hwnd, ListRecord& l, uint32_t vk) {
    NmLvKeyDown key;
    key.wVKey = static_cast<uint16_t>(vk);
    ctl::NotifyParent(hwnd, &key.hdr, LVN_KEYDOWN);
    if (Count(l) == 0) return;
    int32_t focus = FocusedRow(l);
    int32_t page = PageRows(hwnd, l);
    switch (vk) {
    case VK_UP: Choose(hwnd, l, focus < 0 ? 0 : std::max(0, focus - 1)); break;
    case VK_DOWN: Choose(hwnd, l, focus < 0 ? 0 : std::min(Count(l) - 1, focus + 1)); break;
    case VK_PRIOR: Choose(hwnd, l, std::max(0, (focus < 0 ? 0 : focus) - page)); break;
    case VK_NEXT: Choose(hwnd, l, std::min(Count(l) - 1, (focus < 0 ? 0 : focus) + page)); break;
    case VK_HOME: Choose(hwnd, l, 0); break;
    case VK_END: Choose(hwnd, l, Count(l) - 1); break;
    case VK_RETURN:
        Activate(hwnd, l, NM_RETURN, focus, Point{});
        Activate(hwnd, l, LVN_ITEMACTIVATE, focus, Point{});
        break;
    default: break;
    }
}

void OnPenDown(Hwnd hwnd, ListRecord& l, Point p) {
    if (l.editor) EndLabelEdit(hwnd, l, true);
    SetFocus(hwnd);
    if (HasScrollBar(hwnd, l) && p.x >= Client(hwnd).right - ScrollBarWidth() && p.y >= HeaderHeight(hwnd, l)) {
        Rect track, thumb;
        ScrollBarParts(hwnd, l, &track, &thumb);
        if (p.y < thumb.top) ScrollTo(hwnd, l, l.top - PageRows(hwnd, l));
        else if (p.y >= thumb.bottom) ScrollTo(hwnd, l, l.top + PageRows(hwnd, l));
        else {
            l.draggingThumb = true;
            l.grabOffset = p.y - thumb.top;
            SetCapture(hwnd);
            InvalidateRect(hwnd, &track, true);
        }
        return;
    }
    if (p.y < HeaderHeight(hwnd, l)) {
        std::vector<int32_t> edges = ColumnEdges(l);
        for (size_t i = 0; i + 1 < edges.size(); ++i)
            if (p.x >= edges[i] && p.x < edges[i + 1]) {
                NmListView click;
                click.iSubItem = static_cast<int32_t>(i);
                ctl::NotifyParent(hwnd, &click.hdr, LVN_COLUMNCLICK);
            }
        return;
    }
    uint32_t flags = 0;
    int32_t column = 0;
    int32_t row = HitRow(hwnd, l, p, &flags, &column);
    auto now = std::chrono::steady_clock::now();
    l.doubleTap = row >= 0 && row == l.lastTapRow &&
                  std::chrono::duration_cast<std::chrono::milliseconds>(now - l.lastTapTime).count() < kDoubleTapMs;
    l.lastTapRow = l.doubleTap ? -1 : row;
    l.lastTapTime = now;
    l.pressedRow = row;
    l.pressedAt = p;
    l.clickPending = true;
    Choose(hwnd, l, row);  // below the rows: clears the selection
}

void OnPenUp(Hwnd hwnd, ListRecord& l) {
    if (l.draggingThumb) {
        l.draggingThumb = false;
        if (GetCapture() == hwnd) ReleaseCapture();
        InvalidateRect(hwnd, nullptr, true);
        return;
    }
    if (!l.clickPending) return;
    l.clickPending = false;
    if (l.doubleTap) {
        Activate(hwnd, l, NM_DBLCLK, l.pressedRow, l.pressedAt);
        Activate(hwnd, l, LVN_ITEMACTIVATE, l.pressedRow, l.pressedAt);
    } else {
        Activate(hwnd, l, NM_CLICK, l.pressedRow, l.pressedAt);
    }
}

void OnPenMove(Hwnd hwnd, ListRecord& l, Point p) {
    if (!l.draggingThumb) return;
    Rect track, thumb;
    ScrollBarParts(hwnd, l, &track, &thumb);
    int32_t room = (track.bottom - track.top) - (thumb.bottom - thumb.top);
    if (room <= 0) return;
    int32_t y = std::clamp(p.y - l.grabOffset - track.top, 0, room);
    ScrollTo(hwnd, l, (y * MaxTop(hwnd, l) + room / 2) / room);
}

}  // namespace

LResult ListViewProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_CREATE) {
        Table().Make(hwnd);
        return 0;
    }
    std::shared_ptr<ListRecord> record = Table().Get(hwnd);
    if (!record) return DefWindowProc(hwnd, message, wParam, lParam);
    ListRecord& l = *record;
    auto item = [&]() { return reinterpret_cast<LvItem*>(lParam); };
    switch (message) {
    case WM_DESTROY:
        if (GetCapture() == hwnd) ReleaseCapture();
        Table().Drop(hwnd);
        return 0;
    case WM_SETFONT:
        l.font.value = static_cast<uint32_t>(wParam);
        l.rowHeight = 0;
        if (lParam) InvalidateRect(hwnd, nullptr, true);
        return 0;
    case WM_GETFONT:
        return l.font.value;
    case WM_PAINT:
        Paint(hwnd, l);
        return 0;
    case WM_SIZE:
        ClampTop(hwnd, l);
        InvalidateRect(hwnd, nullptr, true);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        InvalidateRect(hwnd, nullptr, true);
        NmHdr header;
        ctl::NotifyParent(hwnd, &header, message == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS);
        return 0;
    }
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, true);
        return 0;
    case WM_KEYDOWN:
        if (ctl::IsEnabled(hwnd)) OnKey(hwnd, l, static_cast<uint32_t>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (ctl::IsEnabled(hwnd)) OnPenDown(hwnd, l, Point{PointParamX(lParam), PointParamY(lParam)});
        return 0;
    case WM_MOUSEMOVE:
        OnPenMove(hwnd, l, Point{PointParamX(lParam), PointParamY(lParam)});
        return 0;
    case WM_LBUTTONUP:
        OnPenUp(hwnd, l);
        return 0;
    case WM_CAPTURECHANGED:
        l.draggingThumb = false;
        return 0;
    case WM_VSCROLL:
        switch (LowWord(wParam)) {
        case SB_LINEUP: ScrollTo(hwnd, l, l.top - 1); break;
        case SB_LINEDOWN: ScrollTo(hwnd, l, l.top + 1); break;
        case SB_PAGEUP: ScrollTo(hwnd, l, l.top - PageRows(hwnd, l)); break;
        case SB_PAGEDOWN: ScrollTo(hwnd, l, l.top + PageRows(hwnd, l)); break;
        case SB_THUMBTRACK: ScrollTo(hwnd, l, static_cast<int32_t>(HighWord(wParam))); break;
        case SB_TOP: ScrollTo(hwnd, l, 0); break;
        case SB_BOTTOM: ScrollTo(hwnd, l, MaxTop(hwnd, l)); break;
        default: break;
        }
        return 0;
    case WM_COMMAND:
        return 0;  // the label editor's notifications
    case kEndLabelEdit:
        EndLabelEdit(hwnd, l, wParam != 0);
        return 0;
    case LVM_GETITEMCOUNT: return Count(l);
    case LVM_SETITEMCOUNT:
        l.rows.reserve(static_cast<size_t>(std::max<WParam>(0, wParam)));
        return 1;
    case LVM_INSERTITEM: return InsertItem(hwnd, l, item());
    case LVM_DELETEITEM:
        if (l.editRow == static_cast<int32_t>(wParam)) EndLabelEdit(hwnd, l, false);
        return DeleteItem(hwnd, l, static_cast<int32_t>(wParam), true) ? 1 : 0;
    case LVM_DELETEALLITEMS: {
        if (l.editor) EndLabelEdit(hwnd, l, false);
        NmListView all;
        bool quiet = ctl::NotifyParent(hwnd, &all.hdr, LVN_DELETEALLITEMS) != 0;
        while (Count(l) > 0)
            if (!DeleteItem(hwnd, l, Count(l) - 1, !quiet)) break;
        l.top = 0;
        return 1;
    }
    case LVM_GETITEM: {
        LvItem* it = item();
        if (!it || !ValidRow(l, it->iItem)) return 0;
        const Row& row = l.rows[static_cast<size_t>(it->iItem)];
        if (it->mask & LVIF_TEXT) CopyOut(TextOf(row, it->iSubItem), it);
        if (it->mask & LVIF_IMAGE) it->iImage = it->iSubItem == 0 ? row.image : -1;
        if (it->mask & LVIF_PARAM) it->lParam = row.lParam;
        if (it->mask & LVIF_STATE) it->state = row.state & it->stateMask;
        if (it->mask & LVIF_INDENT) it->iIndent = row.indent;
        return 1;
    }
    case LVM_SETITEM: {
        LvItem* it = item();
        if (!it || !ValidRow(l, it->iItem) || it->iSubItem < 0) return 0;
        Row& row = l.rows[static_cast<size_t>(it->iItem)];
        if (it->mask & LVIF_TEXT) SetText(row, it->iSubItem, it->pszText ? std::u16string(it->pszText) : std::u16string());
        if (it->iSubItem == 0) {
            if (it->mask & LVIF_IMAGE) row.image = it->iImage;
            if (it->mask & LVIF_PARAM) row.lParam = it->lParam;
            if (it->mask & LVIF_INDENT) row.indent = std::max(0, it->iIndent);
        }
        InvalidateRow(hwnd, l, it->iItem);
        if ((it->mask & LVIF_STATE) && it->iSubItem == 0) ApplyState(hwnd, l, it->iItem, it->state, it->stateMask);
        return 1;
    }
    case LVM_GETITEMTEXT: {
        LvItem* it = item();
        if (!it || !ValidRow(l, static_cast<int32_t>(wParam))) return 0;
        CopyOut(TextOf(l.rows[wParam], it->iSubItem), it);
        return it->pszText ? static_cast<LResult>(std::char_traits<char16_t>::length(it->pszText)) : 0;
    }
    case LVM_SETITEMTEXT: {
        LvItem* it = item();
        if (!it || !ValidRow(l, static_cast<int32_t>(wParam))) return 0;
        SetText(l.rows[wParam], it->iSubItem, it->pszText ? std::u16string(it->pszText) : std::u16string());
        InvalidateRow(hwnd, l, static_cast<int32_t>(wParam));
        return 1;
    }
    case LVM_SETITEMSTATE: {
        LvItem* it = item();
        if (!it) return 0;
        int32_t row = static_cast<int32_t>(wParam);
        if (row == -1) {
            for (int32_t i = 0; i < Count(l); ++i) SetState(hwnd, l, i, it->state, it->stateMask);
            return 1;
        }
        if (!ValidRow(l, row)) return 0;
        ApplyState(hwnd, l, row, it->state, it->stateMask);
        return 1;
    }
    case LVM_GETITEMSTATE:
        return ValidRow(l, static_cast<int32_t>(wParam)) ? l.rows[wParam].state & static_cast<uint32_t>(lParam) : 0;
    case LVM_GETNEXTITEM: return NextItem(l, static_cast<int32_t>(wParam), static_cast<uint32_t>(lParam));
    case LVM_GETSELECTEDCOUNT: {
        int32_t n = 0;
        for (const Row& r : l.rows) n += (r.state & LVIS_SELECTED) != 0;
        return n;
    }
    case LVM_GETITEMRECT: {
        Rect* r = reinterpret_cast<Rect*>(lParam);
        if (!r || !ValidRow(l, static_cast<int32_t>(wParam))) return 0;
        int32_t part = r->left;
        Rect row = RowRect(hwnd, l, static_cast<int32_t>(wParam));
        int32_t iw = 0, ih = 0;
        int32_t iconRight = ImageList_GetIconSize(l.smallImages, &iw, &ih) ? ctl::ScaleX(3) + iw : 0;
        std::vector<int32_t> edges = ColumnEdges(l);
        if (part == LVIR_ICON) row.right = iconRight;
        else if (part == LVIR_LABEL) {
            row.left = iconRight;
            if (edges.size() > 1) row.right = edges[1];
        }
        *r = row;
        return 1;
    }
    case LVM_HITTEST: {
        auto* info = reinterpret_cast<LvHitTestInfo*>(lParam);
        if (!info) return -1;
        info->iItem = HitRow(hwnd, l, info->pt, &info->flags, &info->iSubItem);
        return info->iItem;
    }
    case LVM_ENSUREVISIBLE:
        if (!ValidRow(l, static_cast<int32_t>(wParam))) return 0;
        EnsureVisible(hwnd, l, static_cast<int32_t>(wParam));
        return 1;
    case LVM_SCROLL: {
        int32_t h = RowHeight(hwnd, l);
        int32_t dy = static_cast<int32_t>(lParam);
        ScrollTo(hwnd, l, l.top + (dy >= 0 ? (dy + h - 1) / h : -((-dy + h - 1) / h)));
        return 1;
    }
    case LVM_GETTOPINDEX: return l.top;
    case LVM_GETCOUNTPERPAGE: return PageRows(hwnd, l);
    case LVM_REDRAWITEMS:
        InvalidateRect(hwnd, nullptr, true);
        return 1;
    case LVM_INSERTCOLUMN: {
        const LvColumn* c = reinterpret_cast<const LvColumn*>(lParam);
        if (!c) return -1;
        Column column;
        int32_t at = std::clamp(static_cast<int32_t>(wParam), 0, static_cast<int32_t>(l.columns.size()));
        if (c->mask & LVCF_FMT) column.fmt = c->fmt;
        if (c->mask & LVCF_WIDTH) column.width = std::max(0, c->cx);
        if ((c->mask & LVCF_TEXT) && c->pszText) column.text = c->pszText;
        column.subItem = (c->mask & LVCF_SUBITEM) ? c->iSubItem : at;
        l.columns.insert(l.columns.begin() + at, column);
        InvalidateRect(hwnd, nullptr, true);
        return at;
    }
    case LVM_DELETECOLUMN:
        if (wParam >= l.columns.size()) return 0;
        l.columns.erase(l.columns.begin() + static_cast<int64_t>(wParam));
        InvalidateRect(hwnd, nullptr, true);
        return 1;
    case LVM_GETCOLUMN:
    case LVM_SETCOLUMN: {
        LvColumn* c = reinterpret_cast<LvColumn*>(lParam);
        if (!c || wParam >= l.columns.size()) return 0;
        Column& column = l.columns[wParam];
        if (message == LVM_SETCOLUMN) {
            if (c->mask & LVCF_FMT) column.fmt = c->fmt;
            if (c->mask & LVCF_WIDTH) column.width = std::max(0, c->cx);
            if ((c->mask & LVCF_TEXT) && c->pszText) column.text = c->pszText;
            if (c->mask & LVCF_SUBITEM) column.subItem = c->iSubItem;
            InvalidateRect(hwnd, nullptr, true);
            return 1;
        }
        if (c->mask & LVCF_FMT) c->fmt = column.fmt;
        if (c->mask & LVCF_WIDTH) c->cx = column.width;
        if (c->mask & LVCF_SUBITEM) c->iSubItem = column.subItem;
        if ((c->mask & LVCF_TEXT) && c->pszText && c->cchTextMax > 0) {
            size_t n = std::min(column.text.size(), static_cast<size_t>(c->cchTextMax - 1));
            std::memcpy(c->pszText, column.text.data(), n * sizeof(char16_t));
            c->pszText[n] = 0;
        }
        return 1;
    }
    case LVM_GETCOLUMNWIDTH: return wParam < l.columns.size() ? l.columns[wParam].width : 0;
    case LVM_SETCOLUMNWIDTH: {
        if (wParam >= l.columns.size()) return 0;
        int32_t width = static_cast<int32_t>(lParam);
        Column& column = l.columns[wParam];
        if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
            int32_t widest = width == LVSCW_AUTOSIZE_USEHEADER ? ctl::TextWidth(l.font, column.text) : 0;
            for (const Row& r : l.rows) widest = std::max(widest, ctl::TextWidth(l.font, TextOf(r, column.subItem)));
            width = widest + 2 * ctl::ScaleX(3);
            if (lParam == LVSCW_AUTOSIZE_USEHEADER && wParam + 1 == l.columns.size()) {
                // The last column fills what the others leave.
                int32_t used = 0;
                for (size_t i = 0; i + 1 < l.columns.size(); ++i) used += l.columns[i].width;
                width = std::max(width, RowsRight(hwnd, l) - used);
            }
        }
        column.width = std::max(0, width);
        InvalidateRect(hwnd, nullptr, true);
        return 1;
    }
    case LVM_SETIMAGELIST: {
        HImageList* slot = wParam == LVSIL_SMALL ? &l.smallImages : wParam == LVSIL_STATE ? &l.stateImages : &l.normalImages;
        HImageList old = *slot;
        slot->value = static_cast<uint32_t>(lParam);
        InvalidateRect(hwnd, nullptr, true);
        return old.value;
    }
    case LVM_GETIMAGELIST:
        return (wParam == LVSIL_SMALL ? l.smallImages : wParam == LVSIL_STATE ? l.stateImages : l.normalImages).value;
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        uint32_t old = l.exStyle;
        uint32_t mask = wParam ? static_cast<uint32_t>(wParam) : 0xFFFFFFFFu;
        l.exStyle = (l.exStyle & ~mask) | (static_cast<uint32_t>(lParam) & mask);
        InvalidateRect(hwnd, nullptr, true);
        return old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return l.exStyle;
    case LVM_SETBKCOLOR: l.background = static_cast<ColorRef>(lParam); InvalidateRect(hwnd, nullptr, true); return 1;
    case LVM_SETTEXTCOLOR: l.textColor = static_cast<ColorRef>(lParam); InvalidateRect(hwnd, nullptr, true); return 1;
    case LVM_SETTEXTBKCOLOR: l.textBackground = static_cast<ColorRef>(lParam); return 1;
    case LVM_EDITLABEL:
        if (static_cast<int32_t>(wParam) == -1) {
            EndLabelEdit(hwnd, l, false);
            return 0;
        }
        return static_cast<LResult>(BeginLabelEdit(hwnd, l, static_cast<int32_t>(wParam)).value);
    case LVM_GETEDITCONTROL: return static_cast<LResult>(l.editor.value);
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace plat
