#include "config_app/row_list.h"

#include <algorithm>

#include "base/text.h"
#include "config_app/pages.h"
#include "config_app/row_paint.h"
#include "platform/gdi/gdi.h"
#include "platform/controls/message_box.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace tlw {
namespace {

// Language texts of the editor's refusals.
constexpr int32_t kTextNumberRange = 127;
constexpr int32_t kTextTimeFormat = 128;

// Stylus travel that turns a tap into a drag, in 96-dpi units.
constexpr int32_t kDragUnits = 8;

int32_t RowCount(const ConfigAppState& app) { return static_cast<int32_t>(app.rows.size()); }

bool ValidRow(const ConfigAppState& app, int32_t row) { return row >= 0 && row < RowCount(app); }

plat::Rect ClientRect(const ConfigAppState& app) {
    plat::Rect r;
    if (app.rowList) plat::GetClientRect(app.rowList, &r);
    return r;
}

void Notify(ConfigAppState& app, const RowEvent& event) {
    if (!app.mainWindow) return;
    plat::SendMessage(app.mainWindow, kRowNotifyMessage, static_cast<uint32_t>(event.code), PackRowEvent(event));
}

void NotifyValue(ConfigAppState& app, int32_t row, int32_t value) {
    RowEvent e;
    e.code = kRowValueChanged;
    e.row = row;
    e.value = value;
    Notify(app, e);
}

void NotifyToggle(ConfigAppState& app, int32_t row) {
    RowEvent e;
    e.code = kRowToggled;
    e.row = row;
    Notify(app, e);
}

void NotifyFlagged(ConfigAppState& app, int32_t code, int32_t row, bool flag) {
    RowEvent e;
    e.code = code;
    e.row = row;
    e.flag = flag;
    Notify(app, e);
}

bool Selectable(const Row& row) { return row.kind != RowKind::kHeading; }

int32_t ClampScroll(const ConfigAppState& app, int32_t scroll) {
    plat::Rect c = ClientRect(app);
    int32_t visible = c.bottom - c.top - TitleHeight();
    int32_t content = RowCount(app) * RowHeight();
    return std::clamp(scroll, 0, std::max(0, content - visible));
}

bool IsTextKind(RowKind kind) {
    return kind == RowKind::kText || kind == RowKind::kMasked || kind == RowKind::kNumber || kind == RowKind::kTime;
}

// Sets a choice row to one of its entries and reports it.
void Choose(ConfigAppState& app, int32_t rowIndex, int32_t entry) {
    Row& row = app.rows[rowIndex];
    if (!row.number || entry < 0 || entry >= static_cast<int32_t>(row.choices.size())) return;
    int32_t value = row.choices[entry].value;
    if (*row.number == value) return;
    *row.number = value;
    NotifyValue(app, rowIndex, value);
}

void SetNumber(ConfigAppState& app, int32_t rowIndex, int32_t value) {
    Row& row = app.rows[rowIndex];
    if (!row.number) return;
    value = std::clamp(value, row.minimum, row.maximum);
    if (*row.number == value) return;
    *row.number = value;
    NotifyValue(app, rowIndex, value);
}

void Toggle(ConfigAppState& app, int32_t rowIndex, bool* flag) {
    if (!flag) return;
    *flag = !*flag;
    NotifyToggle(app, rowIndex);
}

// Steps a row left (-1) or right (+1) with the keys.
void Step(ConfigAppState& app, int32_t rowIndex, int32_t direction) {
    Row& row = app.rows[rowIndex];
    switch (row.kind) {
    case RowKind::kTabHeader:
        NotifyFlagged(app, kRowTabSide, rowIndex, direction > 0);
        return;
    default:
        break;
    }
    if (!RowEditable(row)) return;
    switch (row.kind) {
    case RowKind::kChoice: {
        int32_t count = static_cast<int32_t>(row.choices.size());
        if (count == 0) return;
        int32_t i = ChosenIndex(row);
        int32_t next = i < 0 ? 0 : std::clamp(i + direction, 0, count - 1);
        Choose(app, rowIndex, next);
        return;
    }
    case RowKind::kNumber:
    case RowKind::kSlider:
        if (row.number) SetNumber(app, rowIndex, *row.number + direction);
        return;
    case RowKind::kTime: {
        int32_t h = 0, m = 0;
        if (!row.text || !ParseTimeText(row.text, &h, &m)) h = m = 0;
        int32_t total = ((h * 60 + m + direction) % 1440 + 1440) % 1440;
        std::u16string text = Format(u"%02d:%02d", {total / 60, total % 60});
        std::u16string_view(text).copy(row.text, std::min(text.size(), row.textCapacity - 1));
        row.text[std::min(text.size(), row.textCapacity - 1)] = 0;
        NotifyValue(app, rowIndex, total);
        return;
    }
    default:
        return;
    }
}

// A tap on a row, or the action key on the selected row (x -1).
void Activate(ConfigAppState& app, int32_t rowIndex, int32_t x, bool wasSelected) {
    Row& row = app.rows[rowIndex];
    if (row.kind == RowKind::kEntry) {
        NotifyFlagged(app, kRowActivated, rowIndex, wasSelected);
        return;
    }
    if (row.kind == RowKind::kTabHeader) {
        plat::Rect r = RowRect(app, rowIndex);
        int32_t third = (r.right - r.left) / 3;
        if (x >= 0 && x < r.left + third) NotifyFlagged(app, kRowTabSide, rowIndex, false);
        else if (x >= r.right - third) NotifyFlagged(app, kRowTabSide, rowIndex, true);
        return;
    }
    if (!RowEditable(row)) return;
    RowZones z = RowZonesOf(row, RowRect(app, rowIndex));
    switch (row.kind) {
    case RowKind::kCheck:
    case RowKind::kLocation:
        if (row.kind == RowKind::kCheck) Toggle(app, rowIndex, row.check);
        else NotifyToggle(app, rowIndex);
        return;
    case RowKind::kChoice:
        app.list.choiceOpen = rowIndex;
        app.list.choiceHot = std::max(0, ChosenIndex(row));
        return;
    case RowKind::kText:
    case RowKind::kMasked:
    case RowKind::kNumber:
    case RowKind::kTime:
        BeginRowEdit(app, rowIndex);
        return;
    case RowKind::kFolder:
        NotifyFlagged(app, kRowActivated, rowIndex, wasSelected);
        return;
    case RowKind::kFile:
        if (x < 0 || x < z.check.right + RowScale(4)) Toggle(app, rowIndex, row.check);
        else NotifyFlagged(app, kRowActivated, rowIndex, wasSelected);
        return;
    case RowKind::kSlider: {
        if (x < 0 || !row.number) return;
        int32_t span = row.maximum - row.minimum;
        int32_t width = std::max(1, z.track.right - z.track.left);
        int32_t pos = row.minimum + ((x - z.track.left) * span + width / 2) / width;
        SetNumber(app, rowIndex, pos);
        return;
    }
    case RowKind::kTodaySlot:
        if (x >= z.moveDown.left) NotifyFlagged(app, kRowSlotMove, rowIndex, false);
        else if (x >= z.moveUp.left) NotifyFlagged(app, kRowSlotMove, rowIndex, true);
        else Toggle(app, rowIndex, row.check);
        return;
    default:
        return;
    }
}

void MoveSelection(ConfigAppState& app, int32_t direction) {
    int32_t count = RowCount(app);
    int32_t i = app.list.selected;
    for (;;) {
        i += direction;
        if (i < 0 || i >= count) return;
        if (Selectable(app.rows[i])) break;
    }
    SelectRow(app, i);
}

void ChoiceKey(ConfigAppState& app, uint32_t vk) {
    const Row& row = app.rows[app.list.choiceOpen];
    int32_t count = static_cast<int32_t>(row.choices.size());
    switch (vk) {
    case plat::VK_UP:
        app.list.choiceHot = std::max(0, app.list.choiceHot - 1);
        break;
    case plat::VK_DOWN:
        app.list.choiceHot = std::min(count - 1, app.list.choiceHot + 1);
        break;
    case plat::VK_RETURN: {
        int32_t rowIndex = app.list.choiceOpen, entry = app.list.choiceHot;
        app.list.choiceOpen = -1;
        RedrawRowList(app);
        Choose(app, rowIndex, entry);
        break;
    }
    case plat::VK_ESCAPE:
    case plat::VK_BACK:
    case plat::VK_LEFT:
        app.list.choiceOpen = -1;
        break;
    default:
        break;
    }
    RedrawRowList(app);
}

void OnKey(ConfigAppState& app, uint32_t vk) {
    if (app.list.choiceOpen >= 0) {
        ChoiceKey(app, vk);
        return;
    }
    if (app.list.editing >= 0) {
        switch (vk) {
        case plat::VK_RETURN:
            EndRowEdit(app, true);
            return;
        case plat::VK_ESCAPE:
            EndRowEdit(app, false);
            return;
        case plat::VK_BACK:
            if (app.list.editFresh) app.list.editBuffer.clear();
            else if (!app.list.editBuffer.empty()) app.list.editBuffer.pop_back();
            app.list.editFresh = false;
            RedrawRowList(app);
            return;
        case plat::VK_UP:
        case plat::VK_DOWN:
            EndRowEdit(app, true);
            break;  // and move on
        default:
            return;
        }
    }
    int32_t sel = app.list.selected;
    switch (vk) {
    case plat::VK_UP:
        MoveSelection(app, -1);
        break;
    case plat::VK_DOWN:
        MoveSelection(app, 1);
        break;
    case plat::VK_LEFT:
    case plat::VK_RIGHT:
        if (ValidRow(app, sel)) Step(app, sel, vk == plat::VK_RIGHT ? 1 : -1);
        break;
    case plat::VK_RETURN:
    case plat::VK_SPACE:
        if (ValidRow(app, sel)) Activate(app, sel, -1, true);
        break;
    default:
        return;
    }
    RedrawRowList(app);
}

bool AcceptsCharacter(const Row& row, char16_t c, const std::u16string& buffer) {
    if (c < 0x20 || c == 0x7F) return false;
    switch (row.kind) {
    case RowKind::kNumber:
        return (c >= u'0' && c <= u'9') || (c == u'-' && buffer.empty() && row.minimum < 0);
    case RowKind::kTime:
        return (c >= u'0' && c <= u'9') || c == u':';
    default:
        return true;
    }
}

void OnChar(ConfigAppState& app, char16_t c) {
    if (app.list.choiceOpen >= 0) return;
    if (app.list.editing < 0) {
        // Typing on a selected text row starts editing it.
        int32_t sel = app.list.selected;
        if (!ValidRow(app, sel) || !IsTextKind(app.rows[sel].kind) || !BeginRowEdit(app, sel)) return;
    }
    const Row& row = app.rows[app.list.editing];
    if (c == u'\r' || c == u'\n') return;  // the action key commits (WM_KEYDOWN)
    if (c == 0x08) return;                  // back is a key too
    std::u16string base = app.list.editFresh ? std::u16string() : app.list.editBuffer;
    if (!AcceptsCharacter(row, c, base)) return;
    if (base.size() + 1 >= row.textCapacity && IsTextKind(row.kind) && row.kind != RowKind::kNumber) return;
    if (row.kind == RowKind::kNumber && base.size() >= 9) return;
    if (row.kind == RowKind::kEntry && base.size() + 1 >= row.textCapacity) return;
    app.list.editBuffer = base + c;
    app.list.editFresh = false;
    RedrawRowList(app);
}

void OnPenUp(ConfigAppState& app, int32_t x, int32_t y) {
    plat::Rect client = ClientRect(app);
    if (app.list.choiceOpen >= 0) {
        ChoiceOverlay o = ChoiceOverlayOf(app, client);
        int32_t rowIndex = app.list.choiceOpen;
        app.list.choiceOpen = -1;
        RedrawRowList(app);
        if (x >= o.rect.left && x < o.rect.right && y > o.rect.top && y < o.rect.bottom - 1) {
            int32_t entry = o.first + (y - o.rect.top - 1) / RowHeight();
            if (entry < o.first + o.shown) Choose(app, rowIndex, entry);
        }
        RedrawRowList(app);
        return;
    }
    int32_t rowIndex = RowAtPoint(app, y);
    if (app.list.editing >= 0) {
        if (rowIndex == app.list.editing) return;
        EndRowEdit(app, true);
        rowIndex = RowAtPoint(app, y);  // the rows may have been built again
    }
    if (!ValidRow(app, rowIndex) || !Selectable(app.rows[rowIndex])) return;
    bool wasSelected = app.list.selected == rowIndex;
    SelectRow(app, rowIndex);
    Activate(app, rowIndex, x, wasSelected);
    RedrawRowList(app);
}

plat::LResult RowListProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    ConfigAppState& app = App();
    switch (message) {
    case plat::WM_PAINT: {
        plat::PaintStruct ps;
        plat::Hdc hdc = plat::BeginPaint(hwnd, &ps);
        plat::Rect client;
        plat::GetClientRect(hwnd, &client);
        if (hdc) PaintRowList(app, hdc, client);
        plat::EndPaint(hwnd, &ps);
        return 0;
    }
    case plat::WM_ERASEBKGND:
        return 1;
    case plat::WM_SIZE:
        app.list.scrollTop = ClampScroll(app, app.list.scrollTop);
        plat::InvalidateRect(hwnd, nullptr, false);
        return 0;
    case plat::WM_LBUTTONDOWN:
        plat::SetFocus(hwnd);
        plat::SetCapture(hwnd);
        app.list.penDown = true;
        app.list.dragged = false;
        app.list.penStartY = app.list.penLastY = plat::PointParamY(lParam);
        return 0;
    case plat::WM_MOUSEMOVE:
        if (app.list.penDown && app.list.choiceOpen < 0) {
            int32_t y = plat::PointParamY(lParam);
            if (!app.list.dragged && std::abs(y - app.list.penStartY) >= RowScale(kDragUnits)) app.list.dragged = true;
            if (app.list.dragged) {
                app.list.scrollTop = ClampScroll(app, app.list.scrollTop - (y - app.list.penLastY));
                app.list.penLastY = y;
                RedrawRowList(app);
            }
        }
        return 0;
    case plat::WM_LBUTTONUP: {
        bool wasDown = app.list.penDown;
        app.list.penDown = false;
        plat::ReleaseCapture();
        if (wasDown && !app.list.dragged) OnPenUp(app, plat::PointParamX(lParam), plat::PointParamY(lParam));
        return 0;
    }
    case plat::WM_KEYDOWN:
        OnKey(app, static_cast<uint32_t>(wParam));
        return 0;
    case plat::WM_CHAR:
        OnChar(app, static_cast<char16_t>(wParam));
        return 0;
    default:
        return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int32_t RowHeight() { return RowScale(26); }
int32_t TitleHeight() { return RowScale(24); }

bool RowEditable(const Row& row) {
    if (row.readOnly) return false;
    switch (row.kind) {
    case RowKind::kHeading:
        return false;
    case RowKind::kChoice:
    case RowKind::kNumber:
    case RowKind::kSlider:
        return row.number != nullptr;
    case RowKind::kCheck:
    case RowKind::kTodaySlot:
        return row.check != nullptr;
    case RowKind::kText:
    case RowKind::kMasked:
    case RowKind::kTime:
        return row.text != nullptr && row.textCapacity > 1;
    default:
        return true;
    }
}

bool RegisterRowListClass() {
    static bool registered = false;
    if (registered) return true;
    plat::WndClass c;
    c.className = kRowListClass;
    c.proc = RowListProc;
    c.style = plat::CS_HREDRAW | plat::CS_VREDRAW;
    registered = plat::RegisterClass(c);
    return registered;
}

plat::Hwnd CreateRowList(ConfigAppState& app) {
    if (!RegisterRowListClass()) return {};
    plat::Rect client;
    plat::GetClientRect(app.mainWindow, &client);
    app.rowList = plat::CreateWindow(kRowListClass, u"", plat::WS_CHILD | plat::WS_VISIBLE, 0, 0,
                                     client.right - client.left, client.bottom - client.top, app.mainWindow);
    return app.rowList;
}

plat::Rect RowRect(const ConfigAppState& app, int32_t row) {
    plat::Rect c = ClientRect(app);
    int32_t top = c.top + TitleHeight() + row * RowHeight() - app.list.scrollTop;
    return {c.left, top, c.right, top + RowHeight()};
}

int32_t RowAtPoint(const ConfigAppState& app, int32_t y) {
    plat::Rect c = ClientRect(app);
    int32_t inside = y - c.top - TitleHeight();
    if (inside < 0) return -1;
    int32_t row = (inside + app.list.scrollTop) / RowHeight();
    return ValidRow(app, row) ? row : -1;
}

void SelectRow(ConfigAppState& app, int32_t row) {
    int32_t previous = app.list.selected;
    app.list.selected = ValidRow(app, row) ? row : -1;
    if (app.list.selected >= 0) {
        plat::Rect c = ClientRect(app);
        int32_t visible = c.bottom - c.top - TitleHeight();
        int32_t top = app.list.selected * RowHeight();
        if (top < app.list.scrollTop) app.list.scrollTop = top;
        else if (top + RowHeight() > app.list.scrollTop + visible) app.list.scrollTop = top + RowHeight() - visible;
        app.list.scrollTop = ClampScroll(app, app.list.scrollTop);
    }
    if (previous != app.list.selected) UpdateSoftKeys(app);
    RedrawRowList(app);
}

bool BeginRowEdit(ConfigAppState& app, int32_t rowIndex) {
    if (!ValidRow(app, rowIndex)) return false;
    const Row& row = app.rows[rowIndex];
    bool textual = IsTextKind(row.kind) || (row.kind == RowKind::kEntry && row.text);
    if (!textual || (row.kind != RowKind::kEntry && !RowEditable(row))) return false;
    if (row.kind != RowKind::kNumber && (!row.text || row.textCapacity < 2)) return false;
    if (row.kind == RowKind::kNumber && !row.number) return false;
    if (app.list.editing >= 0 && app.list.editing != rowIndex) EndRowEdit(app, true);
    app.list.editing = rowIndex;
    if (row.kind == RowKind::kNumber) app.list.editBuffer = Format(u"%d", {*row.number});
    else if (row.kind == RowKind::kTime) app.list.editBuffer = RowValueText(row);
    else app.list.editBuffer = row.text;
    app.list.editOriginal = app.list.editBuffer;
    app.list.editFresh = true;
    if (app.list.selected != rowIndex) SelectRow(app, rowIndex);
    if (app.rowList) plat::SetFocus(app.rowList);
    RedrawRowList(app);
    return true;
}

void EndRowEdit(ConfigAppState& app, bool commit) {
    int32_t rowIndex = app.list.editing;
    if (!ValidRow(app, rowIndex)) {
        app.list.editing = -1;
        return;
    }
    app.list.editing = -1;
    app.list.editFresh = false;
    RedrawRowList(app);
    if (!commit || app.list.editBuffer == app.list.editOriginal) return;
    Row& row = app.rows[rowIndex];
    const std::u16string& typed = app.list.editBuffer;
    if (row.kind == RowKind::kNumber) {
        bool digits = !typed.empty() && typed.size() <= 9;
        for (size_t i = 0; i < typed.size() && digits; ++i) {
            digits = (typed[i] >= u'0' && typed[i] <= u'9') || (i == 0 && typed[i] == u'-' && typed.size() > 1);
        }
        int32_t value = digits ? ParseInt(typed) : 0;
        if (!digits || value < row.minimum || value > row.maximum) {
            std::u16string message = Format(Text(app, kTextNumberRange), {row.minimum, row.maximum});
            plat::MessageBox(message, row.label, plat::kMbOk | plat::kMbIconExclamation);
            return;
        }
        if (*row.number == value) return;
        *row.number = value;
        NotifyValue(app, rowIndex, value);
        return;
    }
    if (row.kind == RowKind::kTime) {
        int32_t h = 0, m = 0;
        if (!ParseTimeText(typed, &h, &m)) {
            plat::MessageBox(Text(app, kTextTimeFormat), row.label, plat::kMbOk | plat::kMbIconExclamation);
            return;
        }
        std::u16string text = Format(u"%02d:%02d", {h, m});
        size_t n = std::min(text.size(), row.textCapacity - 1);
        text.copy(row.text, n);
        row.text[n] = 0;
        NotifyValue(app, rowIndex, h * 60 + m);
        return;
    }
    size_t n = std::min(typed.size(), row.textCapacity - 1);
    typed.copy(row.text, n);
    row.text[n] = 0;
    NotifyValue(app, rowIndex, 0);
}

void SetRowListTitle(ConfigAppState& app, std::u16string title) {
    app.pageTitle = std::move(title);
    RedrawRowList(app);
}

void RedrawRowList(ConfigAppState& app) {
    if (app.rowList) plat::InvalidateRect(app.rowList, nullptr, false);
}

}  // namespace tlw
