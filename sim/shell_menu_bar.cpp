// The menu bar: the two soft keys of the foreground window, and the popup
// a soft key with commands opens above it.
#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"
#include "sim/shell.h"

namespace sim {
namespace {

constexpr plat::ColorRef kBarColor = plat::Rgb(16, 52, 120);
constexpr plat::ColorRef kBarEdge = plat::Rgb(90, 130, 200);
constexpr plat::ColorRef kKeyText = plat::Rgb(255, 255, 255);
constexpr plat::ColorRef kPopupColor = plat::Rgb(255, 255, 255);
constexpr plat::ColorRef kPopupFrame = plat::Rgb(16, 52, 120);
constexpr plat::ColorRef kGrayText = plat::Rgb(150, 150, 150);

// Height of one popup entry and of a separator, in 96-dpi units.
constexpr int32_t kEntryUnits = 22;
constexpr int32_t kSeparatorUnits = 7;

void Fill(plat::Hdc hdc, const plat::Rect& r, plat::ColorRef color) {
    plat::HBrush b = plat::CreateSolidBrush(color);
    plat::FillRect(hdc, r, b);
    plat::DeleteObject(b);
}

void PaintMenuBar(plat::Hdc hdc, const plat::Rect& client, const plat::MenuBarInfo& keys) {
    Fill(hdc, client, kBarColor);
    Fill(hdc, {client.left, client.top, client.right, client.top + 1}, kBarEdge);
    int32_t middle = (client.left + client.right) / 2;
    if (keys.left.label.empty() && keys.right.label.empty()) return;
    Fill(hdc, {middle, client.top + Scale(5), middle + 1, client.bottom - Scale(5)}, kBarEdge);
    plat::SetBkMode(hdc, plat::kTransparent);
    plat::SetTextColor(hdc, kKeyText);
    plat::HFont old = plat::SelectObject(hdc, ShellFont(true));
    plat::Rect left{client.left, client.top, middle, client.bottom};
    plat::Rect right{middle + 1, client.top, client.right, client.bottom};
    uint32_t format = plat::kDtCenter | plat::kDtVCenter | plat::kDtSingleLine | plat::kDtEndEllipsis;
    plat::DrawText(hdc, keys.left.label, &left, format);
    plat::DrawText(hdc, keys.right.label, &right, format);
    plat::SelectObject(hdc, old);
}

void PostCommand(plat::Hwnd owner, uint32_t command) {
    if (owner && command) plat::PostMessage(owner, plat::WM_COMMAND, command, 0);
}

}  // namespace

void PressSoftKey(bool right) {
    ShellState& s = Shell();
    if (s.popup) {
        CloseSoftKeyPopup();
        return;
    }
    RefreshShell();
    const plat::SoftKey& key = right ? s.menuBarShown.right : s.menuBarShown.left;
    if (key.label.empty()) return;
    if (!key.popup.empty()) OpenSoftKeyPopup(s.menuBarFor, key, right);
    else PostCommand(s.menuBarFor, key.command);
}

void OpenSoftKeyPopup(plat::Hwnd owner, const plat::SoftKey& key, bool right) {
    ShellState& s = Shell();
    CloseSoftKeyPopup();
    s.popupOwner = owner;
    s.popupRows.clear();
    s.popupHot = -1;
    int32_t width = std::max<int32_t>(Scale(120), (s.layout.screen.cx * 3) / 5);
    int32_t y = Scale(2);
    for (const plat::MenuBarEntry& e : key.popup) {
        int32_t h = Scale(e.separator ? kSeparatorUnits : kEntryUnits);
        s.popupRows.push_back({e, {Scale(2), y, width - Scale(2), y + h}});
        y += h;
    }
    int32_t height = y + Scale(2);
    int32_t x = right ? s.layout.menuBar.right - width : s.layout.menuBar.left;
    int32_t top = std::max(s.layout.menuBar.top - height, 0);
    s.popup = plat::CreateWindow(kMenuPopupClass, u"", 0, x, top, width, height, plat::Hwnd{});
    if (!s.popup) return;
    plat::SetShellFlags(s.popup, plat::kShellBar, 0);
    plat::ShowWindow(s.popup, plat::SW_SHOWNA);
    plat::BringWindowToTop(s.popup);
    // Every tap goes to the popup while it is open; one outside closes it.
    plat::SetCapture(s.popup);
}

void CloseSoftKeyPopup() {
    ShellState& s = Shell();
    plat::Hwnd popup = s.popup;
    s.popup = plat::Hwnd{};
    s.popupRows.clear();
    if (!popup) return;
    if (plat::GetCapture() == popup) plat::ReleaseCapture();
    if (plat::IsWindow(popup)) plat::DestroyWindow(popup);
}

plat::LResult MenuBarProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    ShellState& s = Shell();
    switch (message) {
    case plat::WM_PAINT: {
        plat::PaintStruct ps;
        plat::Hdc hdc = plat::BeginPaint(hwnd, &ps);
        if (hdc) {
            plat::Rect client;
            plat::GetClientRect(hwnd, &client);
            PaintMenuBar(hdc, client, s.menuBarShown);
            plat::EndPaint(hwnd, &ps);
        }
        return 0;
    }
    case plat::WM_LBUTTONUP: {
        plat::Rect client;
        plat::GetClientRect(hwnd, &client);
        PressSoftKey(plat::PointParamX(lParam) >= client.right / 2);
        return 0;
    }
    case plat::WM_KEYDOWN:
        if (wParam == plat::VK_TSOFT1 || wParam == plat::VK_TSOFT2) PressSoftKey(wParam == plat::VK_TSOFT2);
        return 0;
    case plat::WM_CLOSE:
        return 0;  // the shell closes with its taskbar
    default:
        return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

plat::LResult MenuPopupProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    ShellState& s = Shell();
    switch (message) {
    case plat::WM_PAINT: {
        plat::PaintStruct ps;
        plat::Hdc hdc = plat::BeginPaint(hwnd, &ps);
        if (!hdc) return 0;
        plat::Rect client;
        plat::GetClientRect(hwnd, &client);
        Fill(hdc, client, kPopupColor);
        plat::HBrush frame = plat::CreateSolidBrush(kPopupFrame);
        plat::FrameRect(hdc, client, frame);
        plat::DeleteObject(frame);
        plat::SetBkMode(hdc, plat::kTransparent);
        plat::HFont old = plat::SelectObject(hdc, ShellFont(false));
        for (size_t i = 0; i < s.popupRows.size(); ++i) {
            const PopupRow& row = s.popupRows[i];
            bool hot = static_cast<int32_t>(i) == s.popupHot;
            if (hot) Fill(hdc, row.rect, kPopupFrame);
            if (row.entry.separator) {
                int32_t mid = (row.rect.top + row.rect.bottom) / 2;
                Fill(hdc, {row.rect.left + Scale(4), mid, row.rect.right - Scale(4), mid + 1}, kGrayText);
                continue;
            }
            plat::SetTextColor(hdc, row.entry.grayed ? kGrayText : hot ? kKeyText : plat::Rgb(0, 0, 0));
            plat::Rect text{row.rect.left + Scale(16), row.rect.top, row.rect.right - Scale(4), row.rect.bottom};
            if (row.entry.checked)
                plat::TextOut(hdc, row.rect.left + Scale(4), row.rect.top + Scale(3), u"\u2713");
            plat::DrawText(hdc, row.entry.text, &text, plat::kDtLeft | plat::kDtVCenter | plat::kDtSingleLine |
                                                           plat::kDtEndEllipsis);
        }
        plat::SelectObject(hdc, old);
        plat::EndPaint(hwnd, &ps);
        return 0;
    }
    case plat::WM_LBUTTONUP: {
        plat::Point p{plat::PointParamX(lParam), plat::PointParamY(lParam)};
        plat::Hwnd owner = s.popupOwner;
        uint32_t command = 0;
        plat::Rect client;
        plat::GetClientRect(hwnd, &client);
        bool inside = p.x >= 0 && p.x < client.right && p.y >= 0 && p.y < client.bottom;
        for (const PopupRow& row : s.popupRows) {
            if (!inside) break;
            if (p.y < row.rect.top || p.y >= row.rect.bottom) continue;
            if (!row.entry.separator && !row.entry.grayed) command = row.entry.command;
            break;
        }
        CloseSoftKeyPopup();
        PostCommand(owner, command);
        return 0;
    }
    case plat::WM_KEYDOWN: {
        // Up and down move the highlight over the choosable entries, the
        // action key chooses, any other key closes the popup.
        int32_t count = static_cast<int32_t>(s.popupRows.size());
        auto choosable = [&](int32_t i) { return !s.popupRows[i].entry.separator && !s.popupRows[i].entry.grayed; };
        if (wParam == plat::VK_UP || wParam == plat::VK_DOWN) {
            int32_t step = wParam == plat::VK_DOWN ? 1 : -1;
            int32_t i = s.popupHot < 0 ? (step > 0 ? -1 : count) : s.popupHot;
            for (int32_t n = 0; n < count; ++n) {
                i = ((i + step) % count + count) % count;
                if (choosable(i)) break;
            }
            if (count > 0 && choosable(i)) s.popupHot = i;
            plat::InvalidateRect(hwnd, nullptr, true);
        } else if (wParam == plat::VK_RETURN && s.popupHot >= 0 && s.popupHot < count) {
            plat::Hwnd owner = s.popupOwner;
            uint32_t command = s.popupRows[s.popupHot].entry.command;
            CloseSoftKeyPopup();
            PostCommand(owner, command);
        } else if (wParam != plat::VK_TSOFT1 && wParam != plat::VK_TSOFT2) {
            CloseSoftKeyPopup();
        }
        return 0;
    }
    case plat::WM_CLOSE:
        CloseSoftKeyPopup();
        return 0;
    default:
        return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace sim
