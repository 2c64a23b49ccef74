// The input panel's state, kept device-wide in the device store (the table
// input_panel has its row while the panel is up).
#include "platform/shell/input_panel.h"

#include <algorithm>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/device_store.h"
#include "platform/storage/journal.h"
#include "platform/window/compositor.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"

namespace plat {
namespace {

// The keyboard's rectangle on the screen as laid out now.
Rect PanelRect(const ScreenLayout& layout) {
    int32_t height = (kInputPanelHeightUnits * GetScreenDpiY() + 48) / 96;
    height = std::min(height, layout.work.bottom - layout.work.top);
    return {0, layout.work.bottom - height, layout.screen.cx, layout.work.bottom};
}

const char* const kRows[] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};

}  // namespace

bool SipIsShown() {
    bool shown = false;
    store::Read([&](store::Transaction& t) -> uint32_t {
        store::Query q(t, "SELECT 1 FROM input_panel WHERE id = 1");
        shown = q.Next();
        return q.Error();
    });
    return shown;
}

bool SipShowIM(uint32_t flags) {
    if (flags != SIPF_ON && flags != SIPF_OFF) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    bool show = flags == SIPF_ON;
    // Changed in one transaction: of two programs raising it at once, one
    // does (and tells the windows), the other finds it up.
    bool changed = false;
    uint32_t error = store::Write([&](store::Transaction& t) -> uint32_t {
        store::Query q(t, show ? "INSERT OR IGNORE INTO input_panel (id) VALUES (1)"
                               : "DELETE FROM input_panel WHERE id = 1");
        uint32_t failed = q.Run();
        changed = failed == kErrorSuccess && t.Changes() > 0;
        return failed;
    });
    if (error != kErrorSuccess) {
        SetLastError(error);
        return false;
    }
    if (!changed) return true;
    JournalAppend(show ? "input panel shown" : "input panel hidden");
    for (Hwnd hwnd : ListTopLevelWindows()) SendNotifyMessage(hwnd, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0);
    return true;
}

bool SipGetInfo(SipInfo* info) {
    if (!info || info->cbSize != sizeof(SipInfo)) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    ScreenLayout layout = CurrentScreenLayout();
    bool shown = SipIsShown();
    info->fdwFlags = SIPF_DOCKED | (shown ? SIPF_ON : 0);
    info->rcSipRect = PanelRect(layout);
    info->rcVisibleDesktop = layout.work;
    if (shown) info->rcVisibleDesktop.bottom = info->rcSipRect.top;
    info->dwImDataSize = 0;
    info->pvImData = nullptr;
    return true;
}

bool SHSipPreference(Hwnd hwnd, int32_t request) {
    if (!IsWindow(hwnd)) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    if (request == SIP_UP) return SipShowIM(SIPF_ON);
    if (request == SIP_DOWN || request == SIP_FORCEDOWN) return SipShowIM(SIPF_OFF);
    SetLastError(kErrorInvalidParameter);
    return false;
}

namespace {
// Each key's rectangle (panel coordinates) and character, as drawn.
template <class Fn>
void ForEachKey(int32_t w, int32_t h, Fn fn) {
    int32_t rowHeight = h / 4;
    int32_t keyWidth = w / 10;
    for (int row = 0; row < 4; ++row) {
        std::string keys = row < 3 ? kRows[row] : " ";
        int32_t count = static_cast<int32_t>(keys.size());
        int32_t rowWidth = row < 3 ? count * keyWidth : keyWidth * 6;
        int32_t left = (w - rowWidth) / 2;
        for (int32_t i = 0; i < count; ++i) {
            Rect cell{left + i * (rowWidth / count) + 1, row * rowHeight + 1, left + (i + 1) * (rowWidth / count) - 1,
                      (row + 1) * rowHeight - 1};
            fn(cell, static_cast<char16_t>(keys[static_cast<size_t>(i)]));
        }
    }
}
}  // namespace

bool PointOnInputPanel(Point screen) {
    if (!SipIsShown()) return false;
    Rect panel = PanelRect(CurrentScreenLayout());
    return screen.x >= panel.left && screen.x < panel.right && screen.y >= panel.top && screen.y < panel.bottom;
}

char16_t InputPanelKeyAt(Point screen) {
    if (!PointOnInputPanel(screen)) return 0;
    Rect panel = PanelRect(CurrentScreenLayout());
    Point p{screen.x - panel.left, screen.y - panel.top};
    char16_t found = 0;
    ForEachKey(panel.right - panel.left, panel.bottom - panel.top, [&](const Rect& cell, char16_t c) {
        if (p.x >= cell.left && p.x < cell.right && p.y >= cell.top && p.y < cell.bottom) found = c;
    });
    return found;
}

void DrawInputPanel(uint32_t* pixels, int32_t width, int32_t height) {
    ScreenLayout layout = CurrentScreenLayout();
    Rect panel = PanelRect(layout);
    int32_t w = panel.right - panel.left, h = panel.bottom - panel.top;
    if (w <= 0 || h <= 0) return;
    Hdc dc = CreateOffscreenDC(w, h);
    if (!dc) return;
    HBrush back = CreateSolidBrush(Rgb(200, 204, 212));
    HBrush key = CreateSolidBrush(Rgb(250, 250, 250));
    HBrush frame = CreateSolidBrush(Rgb(120, 124, 132));
    FillRect(dc, Rect{0, 0, w, h}, back);
    // Three rows of letters and a row with the space bar, each key a framed cell.
    SetBkMode(dc, kTransparent);
    SetTextColor(dc, Rgb(0, 0, 0));
    ForEachKey(w, h, [&](Rect cell, char16_t c) {
        FillRect(dc, cell, key);
        FrameRect(dc, cell, frame);
        DrawText(dc, std::u16string(1, c), &cell, kDtCenter | kDtVCenter | kDtSingleLine);
    });
    DeleteObject(back);
    DeleteObject(key);
    DeleteObject(frame);
    for (int32_t y = 0; y < h; ++y) {
        int32_t sy = panel.top + y;
        if (sy < 0 || sy >= height) continue;
        for (int32_t x = 0; x < w; ++x) {
            int32_t sx = panel.left + x;
            if (sx < 0 || sx >= width) continue;
            ColorRef c = GetPixel(dc, x, y);
            pixels[static_cast<size_t>(sy) * width + sx] = (uint32_t(RedOf(c)) << 16) | (uint32_t(GreenOf(c)) << 8) | BlueOf(c);
        }
    }
    DeleteDC(dc);
}

}  // namespace plat
