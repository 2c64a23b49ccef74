// The skinned list window: drawing the rows into the scroller's bitmap,
// turning the scroller's press and click into row actions, and the nested
// loop that runs until the list ends.
#include "common/widgets/skinned_list.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "common/graphics/alpha_draw.h"
#include "common/graphics/image_scale.h"
#include "common/graphics/kinetic_scroller.h"
#include "common/graphics/screen_scale.h"
#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/message/timers.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace tlw {
namespace {

// Lengths in 96-dpi units.
constexpr int32_t kHeaderUnits = 26;
constexpr int32_t kRowUnits = 44;
constexpr int32_t kChoiceUnits = 30;
constexpr int32_t kImageUnits = 32;
constexpr int32_t kMarginUnits = 6;
constexpr int32_t kLockZoneUnits = 28;
constexpr int32_t kTimeoutZoneUnits = 48;
constexpr int32_t kSwitchImageUnits = 16;

constexpr plat::ColorRef kHeaderColour = plat::Rgb(16, 52, 120);
constexpr plat::ColorRef kHeaderText = plat::Rgb(255, 255, 255);
constexpr plat::ColorRef kRowColour = plat::Rgb(255, 255, 255);
constexpr plat::ColorRef kPressedColour = plat::Rgb(198, 214, 240);
constexpr plat::ColorRef kLineColour = plat::Rgb(210, 210, 210);
constexpr plat::ColorRef kTitleColour = plat::Rgb(0, 0, 0);
constexpr plat::ColorRef kDetailColour = plat::Rgb(90, 90, 90);
constexpr plat::ColorRef kEditorColour = plat::Rgb(236, 240, 248);

// The two views of the list: the rows, and the time-out choices of one row.
constexpr int32_t kViewRows = 0;
constexpr int32_t kViewTimeouts = 1;

struct ListState {
    std::vector<SkinnedListItem>* items = nullptr;
    const SkinnedListLook* look = nullptr;
    plat::Hwnd window;
    KineticScroller scroller;
    KineticScrollerCallback callback;
    int32_t pressedRow = -1;      // the row shown pressed; -1 none
    int32_t editingRow = -1;      // the row whose time-out is being chosen
    int32_t rowsOffset = 0;       // the rows' offset while the choices are shown
    bool closePressed = false;    // the pen went down on the close button
    bool done = false;
    SkinnedListResult result;
};

ListState* StateOf(plat::Hwnd hwnd) { return reinterpret_cast<ListState*>(plat::GetWindowLong(hwnd, plat::GWL_USERDATA)); }

void Fill(plat::Hdc hdc, const plat::Rect& r, plat::ColorRef colour) {
    plat::HBrush brush = plat::CreateSolidBrush(colour);
    plat::FillRect(hdc, r, brush);
    plat::DeleteObject(brush);
}

void DrawScaled(const RgbaImage* image, plat::Hdc hdc, int32_t x, int32_t y, int32_t side) {
    RgbaImage scaled;
    if (image && side > 0 && ScaleImage(&scaled, *image, static_cast<uint32_t>(side), static_cast<uint32_t>(side)))
        DrawImage(scaled, hdc, x, y);
}

void Text(plat::Hdc hdc, plat::HFont font, plat::ColorRef colour, const std::u16string& text, plat::Rect r,
          uint32_t align) {
    plat::HFont old = plat::SelectObject(hdc, font);
    plat::SetTextColor(hdc, colour);
    plat::DrawText(hdc, text, &r, align | plat::kDtSingleLine | plat::kDtNoPrefix | plat::kDtEndEllipsis);
    plat::SelectObject(hdc, old);
}

int32_t RowCount(const ListState& s) {
    return s.scroller.tag == kViewRows ? static_cast<int32_t>(s.items->size())
                                       : static_cast<int32_t>(std::size(kTimeoutChoices)) + 1;
}

int32_t RowHeightOf(const ListState& s) {
    return s.scroller.tag == kViewRows ? SkinnedListRowHeight() : SkinnedListChoiceHeight();
}

// A row: the image at the left; the title on the upper line, with a
// profile's time-out editor and lock switch at its right end; the detail
// line below across the whole width, so a trigger kind followed by the
// remaining time is never cut short by the controls.
void DrawRow(const ListState& s, plat::Hdc hdc, const SkinnedListItem& item, plat::Rect r, int32_t width) {
    const SkinnedListLook& look = *s.look;
    int32_t h = r.bottom - r.top;
    int32_t image = ScaleX(kImageUnits);
    DrawScaled(&item.image, hdc, ScaleX(kMarginUnits), r.top + (h - image) / 2, image);
    int32_t textLeft = ScaleX(kMarginUnits * 2 + kImageUnits);
    int32_t titleRight = item.profileControls ? SkinnedListTimeoutZone(width, h).left : width - ScaleX(kMarginUnits);
    int32_t upperBottom = r.top + h / 2 + ScaleY(2);
    Text(hdc, item.bold ? look.boldFont : look.font, kTitleColour, item.title, {textLeft, r.top + ScaleY(3), titleRight, upperBottom},
         plat::kDtLeft | plat::kDtVCenter);
    Text(hdc, look.smallFont, kDetailColour, item.detail,
         {textLeft, r.top + h / 2, width - ScaleX(kMarginUnits), r.bottom - ScaleY(3)}, plat::kDtLeft | plat::kDtVCenter);
    if (!item.profileControls) return;
    plat::Rect editor = SkinnedListTimeoutZone(width, h);
    plat::Rect box{editor.left + ScaleX(2), r.top + ScaleY(4), editor.right - ScaleX(2), r.top + h / 2 + ScaleY(1)};
    Fill(hdc, box, kEditorColour);
    Text(hdc, look.font, kTitleColour, FormatTimeoutMinutes(item.timeoutMinutes), box,
         plat::kDtCenter | plat::kDtVCenter);
    plat::Rect lock = SkinnedListLockZone(width, h);
    int32_t side = ScaleX(kSwitchImageUnits);
    int32_t middle = (box.top + box.bottom) / 2;
    DrawScaled(item.lockOn ? look.lockedImage : look.unlockedImage, hdc, lock.left + (lock.right - lock.left - side) / 2,
               middle - side / 2, side);
}

int32_t DrawContent(int64_t user, plat::Hdc hdc, int32_t tag, int32_t offset, int32_t width, int32_t height) {
    ListState& s = *reinterpret_cast<ListState*>(user);
    Fill(hdc, {0, 0, width, height}, kRowColour);
    if (s.look->background && ImageHasPixels(*s.look->background)) DrawImage(*s.look->background, hdc, 0, 0, width, height);
    plat::SetBkMode(hdc, plat::kTransparent);
    int32_t rowHeight = RowHeightOf(s);
    int32_t count = RowCount(s);
    for (int32_t i = 0; i < count; ++i) {
        plat::Rect r{0, offset + i * rowHeight, width, offset + (i + 1) * rowHeight};
        if (r.bottom <= 0 || r.top >= height) continue;
        if (i == s.pressedRow) Fill(hdc, r, kPressedColour);
        Fill(hdc, {ScaleX(kMarginUnits), r.bottom - 1, width - ScaleX(kMarginUnits), r.bottom}, kLineColour);
        if (tag == kViewRows) {
            DrawRow(s, hdc, (*s.items)[static_cast<size_t>(i)], r, width);
        } else {
            std::u16string text = i == 0 ? s.look->noTimeoutText : FormatTimeoutMinutes(kTimeoutChoices[i - 1]);
            bool current = (*s.items)[static_cast<size_t>(s.editingRow)].timeoutMinutes ==
                           (i == 0 ? kNoTimeout : kTimeoutChoices[i - 1]);
            Text(hdc, current ? s.look->boldFont : s.look->font, kTitleColour, text,
                 {ScaleX(kMarginUnits * 2), r.top, width - ScaleX(kMarginUnits), r.bottom},
                 plat::kDtLeft | plat::kDtVCenter);
        }
    }
    return count * rowHeight;
}

int32_t RowAt(const ListState& s, int32_t contentY) {
    if (contentY < 0) return -1;
    int32_t row = contentY / RowHeightOf(s);
    return row < RowCount(s) ? row : -1;
}

int32_t Press(int64_t user, int32_t, int32_t contentY, int32_t) {
    ListState& s = *reinterpret_cast<ListState*>(user);
    s.pressedRow = RowAt(s, contentY);
    return s.pressedRow >= 0 ? 1 : 0;
}

void CancelPress(int64_t user) {
    ListState& s = *reinterpret_cast<ListState*>(user);
    if (s.pressedRow < 0) return;
    s.pressedRow = -1;
    KineticRedraw(&s.scroller);
}

void ShowView(ListState& s, int32_t view, int32_t offset) {
    plat::KillTimer(s.window, kScrollMomentumTimer);
    plat::KillTimer(s.window, kScrollBounceTimer);
    s.scroller.scrolling = false;
    s.scroller.velocity = 0;
    s.scroller.tag = view;
    s.scroller.offset = offset;
    KineticRedraw(&s.scroller);
    plat::InvalidateRect(s.window, nullptr, false);
}

bool InRect(const plat::Rect& r, int32_t x, int32_t y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

void Click(int64_t user, int32_t x, int32_t contentY) {
    ListState& s = *reinterpret_cast<ListState*>(user);
    int32_t row = RowAt(s, contentY);
    s.pressedRow = -1;
    if (row < 0) {
        KineticRedraw(&s.scroller);
        return;
    }
    if (s.look->onTap) s.look->onTap(s.look->tapContext);
    if (s.scroller.tag == kViewTimeouts) {
        (*s.items)[static_cast<size_t>(s.editingRow)].timeoutMinutes = row == 0 ? kNoTimeout : kTimeoutChoices[row - 1];
        ShowView(s, kViewRows, s.rowsOffset);
        return;
    }
    SkinnedListItem& item = (*s.items)[static_cast<size_t>(row)];
    int32_t h = SkinnedListRowHeight();
    int32_t localX = x - s.scroller.x, localY = contentY - row * h;
    if (item.profileControls) {
        plat::Rect lock = SkinnedListLockZone(s.scroller.width, h);
        plat::Rect editor = SkinnedListTimeoutZone(s.scroller.width, h);
        if (InRect(lock, localX, localY)) {
            item.lockOn = !item.lockOn;
            if (item.lockIsChoice) {
                s.result.index = row;
                s.result.lockOnly = true;
                s.done = true;
            }
            KineticRedraw(&s.scroller);
            return;
        }
        if (InRect(editor, localX, localY)) {
            s.editingRow = row;
            s.rowsOffset = s.scroller.offset;
            ShowView(s, kViewTimeouts, 0);
            return;
        }
    }
    s.result.index = row;
    s.done = true;
    KineticRedraw(&s.scroller);
}

plat::Rect CloseButton(plat::Hwnd hwnd) {
    plat::Rect client;
    plat::GetClientRect(hwnd, &client);
    int32_t h = SkinnedListHeaderHeight();
    return {client.right - h, 0, client.right, h};
}

void PaintHeader(const ListState& s, plat::Hdc hdc) {
    plat::Rect client;
    plat::GetClientRect(s.window, &client);
    int32_t h = SkinnedListHeaderHeight();
    Fill(hdc, {0, 0, client.right, h}, kHeaderColour);
    plat::SetBkMode(hdc, plat::kTransparent);
    const std::u16string& title = s.scroller.tag == kViewRows ? s.look->title : s.look->timeoutTitle;
    Text(hdc, s.look->boldFont, kHeaderText, title, {ScaleX(kMarginUnits), 0, client.right - h, h},
         plat::kDtLeft | plat::kDtVCenter);
    // The close button: a cross drawn with two lines.
    plat::Rect close = CloseButton(s.window);
    int32_t m = h / 3;
    plat::HPen pen = plat::CreatePen(0, std::max(1, ScaleX(2)), kHeaderText);
    plat::HPen old = plat::SelectObject(hdc, pen);
    plat::MoveToEx(hdc, close.left + m, close.top + m);
    plat::LineTo(hdc, close.right - m, close.bottom - m);
    plat::MoveToEx(hdc, close.right - m, close.top + m);
    plat::LineTo(hdc, close.left + m, close.bottom - m);
    plat::SelectObject(hdc, old);
    plat::DeleteObject(pen);
}

plat::LResult ListProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    ListState* s = StateOf(hwnd);
    if (!s) return plat::DefWindowProc(hwnd, message, wParam, lParam);
    int32_t x = plat::PointParamX(lParam), y = plat::PointParamY(lParam);
    switch (message) {
    case plat::WM_PAINT: {
        plat::PaintStruct ps;
        plat::Hdc hdc = plat::BeginPaint(hwnd, &ps);
        if (hdc) {
            PaintHeader(*s, hdc);
            KineticPaint(s->scroller, hdc);
            plat::EndPaint(hwnd, &ps);
        }
        return 0;
    }
    case plat::WM_LBUTTONDOWN:
        if (InRect(CloseButton(hwnd), x, y)) {
            s->closePressed = true;
            return 0;
        }
        KineticPointerDown(&s->scroller, x, y);
        return 0;
    case plat::WM_MOUSEMOVE:
        KineticPointerMove(&s->scroller, x, y);
        return 0;
    case plat::WM_LBUTTONUP:
        if (s->closePressed) {
            s->closePressed = false;
            if (InRect(CloseButton(hwnd), x, y)) {
                if (s->scroller.tag == kViewTimeouts) ShowView(*s, kViewRows, s->rowsOffset);
                else s->done = true;
            }
            return 0;
        }
        KineticPointerUp(&s->scroller, x, y);
        return 0;
    case plat::WM_TIMER:
        if (!KineticTimer(&s->scroller, static_cast<uint32_t>(wParam))) break;
        return 0;
    case plat::WM_KEYDOWN:
        if (wParam == plat::VK_ESCAPE || wParam == plat::VK_BACK) {
            if (s->scroller.tag == kViewTimeouts) ShowView(*s, kViewRows, s->rowsOffset);
            else s->done = true;
        }
        return 0;
    default:
        break;
    }
    return plat::DefWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace

int32_t SkinnedListHeaderHeight() { return ScaleY(kHeaderUnits); }
int32_t SkinnedListRowHeight() { return ScaleY(kRowUnits); }
int32_t SkinnedListChoiceHeight() { return ScaleY(kChoiceUnits); }

// Both controls take the upper part of the row, beside the title; a tap
// below them, on the detail line, chooses the row.
plat::Rect SkinnedListLockZone(int32_t listWidth, int32_t rowHeight) {
    return {listWidth - ScaleX(kLockZoneUnits), 0, listWidth, rowHeight / 2 + ScaleY(4)};
}

plat::Rect SkinnedListTimeoutZone(int32_t listWidth, int32_t rowHeight) {
    int32_t right = listWidth - ScaleX(kLockZoneUnits);
    return {right - ScaleX(kTimeoutZoneUnits), 0, right, rowHeight / 2 + ScaleY(4)};
}

std::u16string FormatTimeoutMinutes(int32_t minutes) {
    if (minutes < 0) return u"--:--";
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60, minutes % 60);
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

int32_t RunSkinnedList(plat::Hwnd parent, std::vector<SkinnedListItem>* items, const SkinnedListLook& look,
                       SkinnedListResult* result) {
    *result = SkinnedListResult{};
    plat::Rect client;
    if (!items || !plat::GetClientRect(parent, &client)) return 0;
    plat::WndClass wc;
    wc.className = kSkinnedListClass;
    wc.proc = ListProc;
    plat::RegisterClass(wc);  // once per process

    ListState state;
    state.items = items;
    state.look = &look;
    state.callback.drawContent = DrawContent;
    state.callback.press = Press;
    state.callback.cancelPress = CancelPress;
    state.callback.click = Click;
    state.window = plat::CreateWindow(kSkinnedListClass, u"", plat::WS_CHILD, 0, 0, client.right, client.bottom, parent);
    if (!state.window) return 0;
    plat::SetWindowLong(state.window, plat::GWL_USERDATA, reinterpret_cast<int64_t>(&state));
    int32_t header = SkinnedListHeaderHeight();
    KineticCreate(&state.scroller, reinterpret_cast<int64_t>(&state), state.window, &state.callback, 0, header,
                  client.right, client.bottom - header);
    state.scroller.clock = plat::GetMessageTime;  // the pen's own times, however late the list gets to them
    plat::ShowWindow(state.window, plat::SW_SHOW);
    plat::SetFocus(state.window);
    plat::UpdateWindow(state.window);

    plat::Msg msg;
    while (!state.done && plat::IsWindow(state.window)) {
        int32_t got = plat::GetMessage(&msg, plat::Hwnd{}, 0, 0);
        if (got <= 0) {
            if (got == 0) plat::PostQuitMessage(static_cast<int32_t>(msg.wParam));  // the thread's loop ends too
            break;
        }
        plat::TranslateMessage(&msg);
        plat::DispatchMessage(&msg);
    }
    KineticDestroy(&state.scroller);
    if (plat::IsWindow(state.window)) {
        plat::SetWindowLong(state.window, plat::GWL_USERDATA, 0);
        plat::DestroyWindow(state.window);
    }
    if (!state.done) return 0;
    *result = state.result;
    if (result->index < 0 || result->index >= static_cast<int32_t>(items->size())) return 0;
    return (*items)[static_cast<size_t>(result->index)].command;
}

}  // namespace tlw
