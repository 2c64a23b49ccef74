// The taskbar: the foreground window's title at the left, the notification
// icons and the device clock at the right. A tap on an icon posts the
// icon's callback message to its window.
#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/kernel/clock.h"
#include "platform/shell/notify_icon.h"
#include "platform/storage/locale.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"
#include "sim/shell.h"

namespace sim {
namespace {

constexpr plat::ColorRef kBarColor = plat::Rgb(16, 52, 120);
constexpr plat::ColorRef kBarEdge = plat::Rgb(90, 130, 200);
constexpr plat::ColorRef kBarText = plat::Rgb(255, 255, 255);

// The places of the notification icons: right to left from the clock, in
// the order the icons were added (the first nearest the clock).
std::vector<plat::Rect> IconSlots(const plat::Rect& client, const plat::Rect& clock, size_t count) {
    std::vector<plat::Rect> slots;
    int32_t side = Scale(16);
    int32_t gap = Scale(4);
    int32_t right = clock.left - gap;
    int32_t top = (client.bottom - side) / 2;
    for (size_t i = 0; i < count; ++i) {
        slots.push_back({right - side, top, right, top + side});
        right -= side + gap;
    }
    return slots;
}

// Draws a 0xAARRGGBB picture at (x, y), blended over what is there.
void DrawArgb(plat::Hdc hdc, int32_t x, int32_t y, const plat::NotifyIconEntry& icon) {
    for (int32_t row = 0; row < icon.height; ++row) {
        for (int32_t col = 0; col < icon.width; ++col) {
            uint32_t p = icon.argb[static_cast<size_t>(row) * icon.width + col];
            uint32_t a = p >> 24;
            if (a == 0) continue;
            plat::ColorRef under = plat::GetPixel(hdc, x + col, y + row);
            if (under == plat::kClrInvalid) continue;
            auto mix = [&](uint32_t top, uint32_t bottom) { return uint8_t((top * a + bottom * (255 - a) + 127) / 255); };
            plat::SetPixel(hdc, x + col, y + row,
                           plat::Rgb(mix((p >> 16) & 0xFF, plat::RedOf(under)), mix((p >> 8) & 0xFF, plat::GreenOf(under)),
                                     mix(p & 0xFF, plat::BlueOf(under))));
        }
    }
}

}  // namespace

TaskBarLook CurrentTaskBarLook() {
    TaskBarLook look;
    plat::Hwnd front = plat::GetForegroundWindow();
    if (front) look.title = plat::GetWindowText(front);
    look.clock = plat::FormatTimeString(plat::GetLocalTime(), u"HH:mm");
    uint64_t digest = 1469598103934665603ull;
    auto mixIn = [&](uint64_t v) { digest = (digest ^ v) * 1099511628211ull; };
    for (const plat::NotifyIconEntry& icon : plat::ListNotifyIcons()) {
        mixIn(icon.hwnd.value);
        mixIn(icon.id);
        for (uint32_t p : icon.argb) mixIn(p);
        mixIn(icon.width);
    }
    look.iconStamp = digest;
    return look;
}

plat::Rect TaskBarClockRect(const plat::Rect& client, plat::Hdc hdc, const std::u16string& clock) {
    plat::HFont old = plat::SelectObject(hdc, ShellFont(true));
    plat::Size size;
    plat::GetTextExtentPoint(hdc, clock, &size);
    plat::SelectObject(hdc, old);
    int32_t right = client.right - Scale(4);
    int32_t top = (client.bottom - size.cy) / 2;
    return {right - size.cx, top, right, top + size.cy};
}

void PaintTaskBar(plat::Hdc hdc, const plat::Rect& client, const TaskBarLook& look) {
    plat::HBrush bar = plat::CreateSolidBrush(kBarColor);
    plat::FillRect(hdc, client, bar);
    plat::DeleteObject(bar);
    plat::HBrush edge = plat::CreateSolidBrush(kBarEdge);
    plat::FillRect(hdc, {client.left, client.bottom - 1, client.right, client.bottom}, edge);
    plat::DeleteObject(edge);

    plat::SetBkMode(hdc, plat::kTransparent);
    plat::SetTextColor(hdc, kBarText);
    plat::Rect clock = TaskBarClockRect(client, hdc, look.clock);
    plat::HFont old = plat::SelectObject(hdc, ShellFont(true));
    plat::TextOut(hdc, clock.left, clock.top, look.clock);

    std::vector<plat::NotifyIconEntry> icons = plat::ListNotifyIcons();
    std::vector<plat::Rect> slots = IconSlots(client, clock, icons.size());
    int32_t titleRight = clock.left - Scale(4);
    for (size_t i = 0; i < icons.size(); ++i) {
        const plat::Rect& r = slots[i];
        titleRight = r.left - Scale(4);
        const plat::NotifyIconEntry& icon = icons[i];
        if (icon.width <= 0) continue;
        DrawArgb(hdc, r.left + ((r.right - r.left) - icon.width) / 2, r.top + ((r.bottom - r.top) - icon.height) / 2,
                 icon);
    }
    plat::Rect title{client.left + Scale(6), client.top, std::max(titleRight, client.left + Scale(6)), client.bottom};
    plat::DrawText(hdc, look.title, &title, plat::kDtLeft | plat::kDtVCenter | plat::kDtSingleLine |
                                               plat::kDtEndEllipsis | plat::kDtNoPrefix);
    plat::SelectObject(hdc, old);
}

plat::LResult TaskBarProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    ShellState& s = Shell();
    switch (message) {
    case plat::WM_PAINT: {
        plat::PaintStruct ps;
        plat::Hdc hdc = plat::BeginPaint(hwnd, &ps);
        if (hdc) {
            plat::Rect client;
            plat::GetClientRect(hwnd, &client);
            PaintTaskBar(hdc, client, s.taskBarLook);
            plat::EndPaint(hwnd, &ps);
        }
        return 0;
    }
    case plat::WM_SHELLCHANGED:
        RefreshShell();
        return 0;
    case plat::WM_LBUTTONUP: {
        plat::Point p{plat::PointParamX(lParam), plat::PointParamY(lParam)};
        plat::Rect client;
        plat::GetClientRect(hwnd, &client);
        plat::Hdc probe = plat::CreateCompatibleDC(plat::Hdc{});
        plat::Rect clock = TaskBarClockRect(client, probe, s.taskBarLook.clock);
        plat::DeleteDC(probe);
        std::vector<plat::NotifyIconEntry> icons = plat::ListNotifyIcons();
        std::vector<plat::Rect> slots = IconSlots(client, clock, icons.size());
        for (size_t i = 0; i < icons.size(); ++i) {
            const plat::Rect& r = slots[i];
            if (p.x < r.left || p.x >= r.right || p.y < client.top || p.y >= client.bottom) continue;
            if (icons[i].callbackMessage == 0) break;
            plat::PostMessage(icons[i].hwnd, icons[i].callbackMessage, icons[i].id, plat::WM_LBUTTONDOWN);
            plat::PostMessage(icons[i].hwnd, icons[i].callbackMessage, icons[i].id, plat::WM_LBUTTONUP);
            break;
        }
        return 0;
    }
    case plat::WM_CLOSE:
        // The device shuts down: the shell goes with its taskbar.
        s.ending = true;
        plat::PostQuitMessage(0);
        return 0;
    default:
        return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace sim
