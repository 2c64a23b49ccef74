// The chooser's listing window: painting, taps, keys and scrolling.
#include "config_app/chooser_list.h"

#include <algorithm>
#include <map>
#include <memory>

#include "common/graphics/screen_scale.h"
#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace tlw {

namespace {

// The state of one list window, kept per window of this process.
struct ChooserListState {
    std::vector<ChooserEntry> entries;  // what it shows, in order
    int32_t selected = -1;              // selected entry, -1 for none
    int32_t top = 0;                    // first entry shown
    bool penDown = false;               // the stylus went down on the list
    int32_t penEntry = -1;              // the entry it went down on
    int32_t penY = 0;                   // where it went down (client y)
    bool dragged = false;               // it moved far enough to scroll
};

std::map<uint64_t, std::unique_ptr<ChooserListState>>& States() {
    static std::map<uint64_t, std::unique_ptr<ChooserListState>> states;
    return states;
}

ChooserListState* StateOf(plat::Hwnd hwnd) {
    auto it = States().find(hwnd.value);
    return it == States().end() ? nullptr : it->second.get();
}

const plat::ColorRef kText = plat::Rgb(0, 0, 0);
const plat::ColorRef kSelectedBack = plat::Rgb(0x31, 0x6A, 0xC5);
const plat::ColorRef kSelectedText = plat::Rgb(0xFF, 0xFF, 0xFF);
const plat::ColorRef kFrame = plat::Rgb(0x80, 0x80, 0x80);

int32_t VisibleEntries(plat::Hwnd hwnd) {
    plat::Rect client;
    plat::GetClientRect(hwnd, &client);
    return std::max(1, (client.bottom - client.top - 2) / ChooserListEntryHeight());
}

void ScrollIntoView(plat::Hwnd hwnd, ChooserListState& s) {
    int32_t shown = VisibleEntries(hwnd);
    if (s.selected >= 0) {
        if (s.selected < s.top) s.top = s.selected;
        if (s.selected >= s.top + shown) s.top = s.selected - shown + 1;
    }
    int32_t most = std::max(0, static_cast<int32_t>(s.entries.size()) - shown);
    s.top = std::clamp(s.top, 0, most);
}

void Fill(plat::Hdc hdc, const plat::Rect& r, plat::ColorRef colour) {
    plat::HBrush brush = plat::CreateSolidBrush(colour);
    plat::FillRect(hdc, r, brush);
    plat::DeleteObject(brush);
}

// A folder: a tab and a body in manila, outlined.
void DrawFolderIcon(plat::Hdc hdc, int32_t x, int32_t y, int32_t size) {
    int32_t u = std::max(1, size / 16);
    Fill(hdc, {x + u, y + 2 * u, x + 7 * u, y + 5 * u}, plat::Rgb(0x9C, 0x74, 0x1C));
    Fill(hdc, {x + 2 * u, y + 3 * u, x + 6 * u, y + 5 * u}, plat::Rgb(0xE8, 0xB8, 0x40));
    Fill(hdc, {x, y + 4 * u, x + 16 * u, y + 14 * u}, plat::Rgb(0x9C, 0x74, 0x1C));
    Fill(hdc, {x + u, y + 5 * u, x + 15 * u, y + 13 * u}, plat::Rgb(0xF8, 0xD0, 0x60));
}

// A file: a white page with a folded corner and a few lines of text.
void DrawFileIcon(plat::Hdc hdc, int32_t x, int32_t y, int32_t size) {
    int32_t u = std::max(1, size / 16);
    plat::ColorRef edge = plat::Rgb(0x60, 0x60, 0x70);
    Fill(hdc, {x + 2 * u, y, x + 11 * u, y + 16 * u}, edge);
    Fill(hdc, {x + 2 * u, y + 4 * u, x + 14 * u, y + 16 * u}, edge);
    Fill(hdc, {x + 3 * u, y + u, x + 10 * u, y + 15 * u}, plat::Rgb(0xFF, 0xFF, 0xFF));
    Fill(hdc, {x + 3 * u, y + 5 * u, x + 13 * u, y + 15 * u}, plat::Rgb(0xFF, 0xFF, 0xFF));
    Fill(hdc, {x + 10 * u, y + u, x + 11 * u, y + 5 * u}, edge);  // the fold
    Fill(hdc, {x + 10 * u, y + 4 * u, x + 14 * u, y + 5 * u}, edge);
    for (int line = 0; line < 4; ++line)
        Fill(hdc, {x + 5 * u, y + (7 + 2 * line) * u, x + 12 * u, y + (8 + 2 * line) * u}, plat::Rgb(0x90, 0xA0, 0xC0));
}

// An icon-mode image: its opaque pixels, scaled to the icon size.
void DrawImageIcon(plat::Hdc hdc, int32_t x, int32_t y, int32_t size, const RgbaImage& image) {
    if (image.width == 0 || image.height == 0) return;
    for (int32_t py = 0; py < size; ++py) {
        for (int32_t px = 0; px < size; ++px) {
            uint32_t sx = static_cast<uint32_t>(px) * image.width / static_cast<uint32_t>(size);
            uint32_t sy = static_cast<uint32_t>(py) * image.height / static_cast<uint32_t>(size);
            std::size_t i = PixelIndex(image, sx, sy);
            if (image.alpha[i] > 127) plat::SetPixel(hdc, x + px, y + py, plat::Rgb(image.red[i], image.green[i], image.blue[i]));
        }
    }
}

plat::HFont ListFont() {
    static plat::HFont font;
    static int32_t madeFor = 0;
    int32_t height = ScaleY(12);
    if (madeFor != height) {
        if (font) plat::DeleteObject(font);
        plat::LogFont f;
        f.height = -height;
        font = plat::CreateFontIndirect(f);
        madeFor = height;
    }
    return font;
}

void Paint(plat::Hwnd hwnd, ChooserListState& s) {
    plat::PaintStruct ps;
    plat::Hdc hdc = plat::BeginPaint(hwnd, &ps);
    plat::Rect client;
    plat::GetClientRect(hwnd, &client);
    Fill(hdc, client, plat::Rgb(0xFF, 0xFF, 0xFF));
    plat::HBrush frame = plat::CreateSolidBrush(kFrame);
    plat::FrameRect(hdc, client, frame);
    plat::DeleteObject(frame);

    plat::SelectObject(hdc, ListFont());
    plat::SetBkMode(hdc, plat::kTransparent);
    int32_t h = ChooserListEntryHeight();
    int32_t icon = ScaleX(16);
    int32_t shown = VisibleEntries(hwnd);
    for (int32_t i = s.top; i < static_cast<int32_t>(s.entries.size()) && i < s.top + shown; ++i) {
        const ChooserEntry& e = s.entries[static_cast<std::size_t>(i)];
        plat::Rect r{client.left + 1, client.top + 1 + (i - s.top) * h, client.right - 1, client.top + 1 + (i - s.top + 1) * h};
        bool selected = i == s.selected;
        if (selected) Fill(hdc, r, kSelectedBack);
        int32_t ix = r.left + ScaleX(2);
        int32_t iy = r.top + (h - icon) / 2;
        if (e.folder) DrawFolderIcon(hdc, ix, iy, icon);
        else if (!e.icon.alpha.empty()) DrawImageIcon(hdc, ix, iy, icon, e.icon);
        else DrawFileIcon(hdc, ix, iy, icon);
        plat::SetTextColor(hdc, selected ? kSelectedText : kText);
        plat::Rect text{ix + icon + ScaleX(4), r.top, r.right - ScaleX(2), r.bottom};
        plat::DrawText(hdc, e.name, &text, plat::kDtLeft | plat::kDtVCenter | plat::kDtSingleLine | plat::kDtEndEllipsis | plat::kDtNoPrefix);
    }
    plat::EndPaint(hwnd, &ps);
}

int32_t EntryAt(plat::Hwnd hwnd, const ChooserListState& s, int32_t y) {
    int32_t i = s.top + (y - 1) / ChooserListEntryHeight();
    if (y < 1 || i < 0 || i >= static_cast<int32_t>(s.entries.size()) || i >= s.top + VisibleEntries(hwnd)) return -1;
    return i;
}

void Notify(plat::Hwnd hwnd, uint32_t what, int32_t index) {
    plat::SendMessage(plat::GetParent(hwnd), kChooserListNotify, what, index);
}

plat::LResult ListProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    ChooserListState* s = StateOf(hwnd);
    switch (message) {
    case plat::WM_CREATE:
        States()[hwnd.value] = std::make_unique<ChooserListState>();
        return 0;
    case plat::WM_DESTROY:
        States().erase(hwnd.value);
        return 0;
    case plat::WM_PAINT:
        if (s) Paint(hwnd, *s);
        return 0;
    case plat::WM_ERASEBKGND:
        return 1;
    case plat::WM_SIZE:
        if (s) ScrollIntoView(hwnd, *s);
        plat::InvalidateRect(hwnd, nullptr, false);
        return 0;
    case plat::WM_LBUTTONDOWN:
        if (!s) return 0;
        plat::SetFocus(hwnd);
        plat::SetCapture(hwnd);
        s->penDown = true;
        s->dragged = false;
        s->penY = plat::PointParamY(lParam);
        s->penEntry = EntryAt(hwnd, *s, s->penY);
        return 0;
    case plat::WM_MOUSEMOVE:
        if (s && s->penDown) {
            int32_t y = plat::PointParamY(lParam);
            int32_t h = ChooserListEntryHeight();
            if (std::abs(y - s->penY) >= h) {  // a drag scrolls by whole entries
                s->dragged = true;
                s->top -= (y - s->penY) / h;
                s->penY += ((y - s->penY) / h) * h;
                int32_t most = std::max(0, static_cast<int32_t>(s->entries.size()) - VisibleEntries(hwnd));
                s->top = std::clamp(s->top, 0, most);
                plat::InvalidateRect(hwnd, nullptr, false);
            }
        }
        return 0;
    case plat::WM_LBUTTONUP:
        if (s && s->penDown) {
            s->penDown = false;
            plat::ReleaseCapture();
            int32_t entry = EntryAt(hwnd, *s, plat::PointParamY(lParam));
            if (!s->dragged && entry >= 0 && entry == s->penEntry) {
                SelectChooserListEntry(hwnd, entry);
                Notify(hwnd, kChooserListTapped, entry);
            }
        }
        return 0;
    case plat::WM_KEYDOWN:
        if (!s) return 0;
        if (wParam == plat::VK_DOWN || wParam == plat::VK_UP) {
            int32_t count = static_cast<int32_t>(s->entries.size());
            if (count == 0) return 0;
            int32_t next = s->selected < 0 ? 0 : s->selected + (wParam == plat::VK_DOWN ? 1 : -1);
            SelectChooserListEntry(hwnd, std::clamp(next, 0, count - 1));
        } else if (wParam == plat::VK_RETURN && s->selected >= 0) {
            Notify(hwnd, kChooserListOpened, s->selected);
        }
        return 0;
    default:
        return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace

bool RegisterChooserList() {
    static bool registered = false;
    if (registered) return true;
    plat::WndClass c;
    c.className = kChooserListClass;
    c.proc = ListProc;
    registered = plat::RegisterClass(c);
    return registered;
}

int32_t ChooserListEntryHeight() { return ScaleY(20); }

void SetChooserListEntries(plat::Hwnd list, std::vector<ChooserEntry> entries) {
    ChooserListState* s = StateOf(list);
    if (!s) return;
    s->entries = std::move(entries);
    s->selected = -1;
    s->top = 0;
    s->penDown = false;
    plat::InvalidateRect(list, nullptr, false);
}

const std::vector<ChooserEntry>& ChooserListEntries(plat::Hwnd list) {
    static const std::vector<ChooserEntry> none;
    ChooserListState* s = StateOf(list);
    return s ? s->entries : none;
}

int32_t ChooserListSelection(plat::Hwnd list) {
    ChooserListState* s = StateOf(list);
    return s ? s->selected : -1;
}

void SelectChooserListEntry(plat::Hwnd list, int32_t index) {
    ChooserListState* s = StateOf(list);
    if (!s) return;
    s->selected = index >= 0 && index < static_cast<int32_t>(s->entries.size()) ? index : -1;
    ScrollIntoView(list, *s);
    plat::InvalidateRect(list, nullptr, false);
}

}  // namespace tlw
