// The Today screen: the desktop below every program's window, with the
// date, the owner's name and the Today items of the registry, each a child
// window of a loaded item library. The Today screen asks each item
// periodically whether to refresh, passes the selection and the navigation
// keys on, and answers the items' colour and background requests.
#include <algorithm>
#include <chrono>

#include "base/text.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/clock.h"
#include "platform/storage/journal.h"
#include "platform/storage/locale.h"
#include "platform/storage/registry.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "sim/shell.h"

namespace sim {
namespace {

constexpr plat::ColorRef kTextColor = plat::Rgb(0, 0, 0);
constexpr plat::ColorRef kHighlight = plat::Rgb(10, 80, 180);
constexpr plat::ColorRef kHighlightText = plat::Rgb(255, 255, 255);
constexpr plat::ColorRef kWashTop = plat::Rgb(196, 216, 244);
constexpr plat::ColorRef kWashBottom = plat::Rgb(255, 255, 255);
// Height of the date and owner lines, in 96-dpi units.
constexpr int32_t kLineUnits = 22;
// How often the items are asked whether to refresh.
constexpr std::chrono::milliseconds kRefreshPeriod{2000};

// The desktop's background at row y of the desktop: a wash from light
// blue at the top to white at a third of its height.
plat::ColorRef WashAt(int32_t y, int32_t height) {
    int32_t span = std::max(height / 3, 1);
    int32_t t = std::clamp(y, 0, span);
    auto mix = [&](uint8_t a, uint8_t b) { return uint8_t((a * (span - t) + b * t) / span); };
    return plat::Rgb(mix(plat::RedOf(kWashTop), plat::RedOf(kWashBottom)),
                     mix(plat::GreenOf(kWashTop), plat::GreenOf(kWashBottom)),
                     mix(plat::BlueOf(kWashTop), plat::BlueOf(kWashBottom)));
}

// Draws the background of desktop rows [rect.top + originY, ...) into rect.
void DrawWash(plat::Hdc hdc, const plat::Rect& rect, int32_t originY) {
    int32_t height = Shell().layout.work.bottom - Shell().layout.work.top;
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        plat::HBrush b = plat::CreateSolidBrush(WashAt(y + originY, height));
        plat::FillRect(hdc, {rect.left, y, rect.right, y + 1}, b);
        plat::DeleteObject(b);
    }
}

std::u16string OwnerLine() {
    std::u16string name;
    if (plat::RegReadString(plat::kHkeyCurrentUser, kOwnerKey, kOwnerValue, &name) && !name.empty())
        return u"Owner: " + name;
    return u"No owner information";
}

void PaintDesktop(plat::Hwnd hwnd, plat::Hdc hdc) {
    ShellState& s = Shell();
    plat::Rect client;
    plat::GetClientRect(hwnd, &client);
    DrawWash(hdc, client, 0);
    plat::SetBkMode(hdc, plat::kTransparent);
    plat::SetTextColor(hdc, kTextColor);
    int32_t line = Scale(kLineUnits);
    plat::HFont old = plat::SelectObject(hdc, ShellFont(true));
    plat::Rect date{Scale(8), 0, client.right - Scale(4), line};
    plat::DrawText(hdc, s.dateShown, &date, plat::kDtLeft | plat::kDtVCenter | plat::kDtSingleLine | plat::kDtEndEllipsis);
    plat::SelectObject(hdc, ShellFont(false));
    plat::Rect owner{Scale(8), line, client.right - Scale(4), 2 * line};
    plat::DrawText(hdc, OwnerLine(), &owner,
                   plat::kDtLeft | plat::kDtVCenter | plat::kDtSingleLine | plat::kDtEndEllipsis | plat::kDtNoPrefix);
    plat::HBrush rule = plat::CreateSolidBrush(plat::Rgb(160, 180, 210));
    plat::FillRect(hdc, {Scale(4), 2 * line - 1, client.right - Scale(4), 2 * line}, rule);
    plat::DeleteObject(rule);
    plat::SelectObject(hdc, old);
}

// The enabled custom items of the registry, by their order.
std::vector<plat::TodayListItem> ListedItems() {
    std::vector<plat::TodayListItem> items;
    plat::HKey key = 0;
    if (plat::RegOpenKey(plat::kHkeyLocalMachine, plat::kTodayItemsKey, &key) != 0) return items;
    std::u16string name;
    for (uint32_t i = 0; plat::RegEnumKey(key, i, &name) == 0; ++i) {
        std::u16string path = std::u16string(plat::kTodayItemsKey) + u"\\" + name;
        uint32_t type = 0, enabled = 1, order = 0;
        std::u16string dll;
        plat::RegReadDword(plat::kHkeyLocalMachine, path, u"Type", &type);
        plat::RegReadDword(plat::kHkeyLocalMachine, path, u"Enabled", &enabled);
        plat::RegReadDword(plat::kHkeyLocalMachine, path, u"Order", &order);
        if (type != plat::kTodayTypeCustom || !enabled ||
            !plat::RegReadString(plat::kHkeyLocalMachine, path, u"DLL", &dll) || dll.empty())
            continue;
        plat::TodayListItem item;
        size_t n = std::min(name.size(), plat::kTodayNameCapacity);
        std::copy_n(name.begin(), n, item.name);
        size_t m = std::min(dll.size(), std::size(item.dllPath) - 1);
        std::copy_n(dll.begin(), m, item.dllPath);
        item.order = order;
        item.enabled = true;
        items.push_back(item);
    }
    plat::RegCloseKey(key);
    std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) { return a.order < b.order; });
    return items;
}

void Select(int32_t index, uint32_t key) {
    ShellState& s = Shell();
    if (s.selectedItem == index) return;
    if (s.selectedItem >= 0 && s.selectedItem < static_cast<int32_t>(s.items.size()))
        plat::SendMessage(s.items[s.selectedItem].record.hwndCustom, plat::WM_TODAYCUSTOM_LOSTSELECTION, 0, 0);
    s.selectedItem = index;
    if (index >= 0 && index < static_cast<int32_t>(s.items.size()))
        plat::SendMessage(s.items[index].record.hwndCustom, plat::WM_TODAYCUSTOM_RECEIVEDSELECTION, key, 0);
}

// The navigation keys: the selected item may keep them (it answers TRUE);
// otherwise the selection moves to the next item up or down.
void Navigate(uint32_t key) {
    ShellState& s = Shell();
    int32_t count = static_cast<int32_t>(s.items.size());
    if (count == 0) return;
    int32_t at = s.selectedItem;
    if (at >= 0 && at < count &&
        plat::SendMessage(s.items[at].record.hwndCustom, plat::WM_TODAYCUSTOM_USERNAVIGATION, key, 0))
        return;
    if (key == plat::VK_DOWN) Select(at + 1 < count ? at + 1 : -1, key);
    else if (key == plat::VK_UP) Select(at < 0 ? count - 1 : at - 1, key);
}

}  // namespace

void LoadTodayItems() {
    ShellState& s = Shell();
    UnloadTodayItems();
    for (const plat::TodayListItem& listed : ListedItems()) {
        TodayItemHost host;
        host.record = listed;
        host.library = plat::LoadLibrary(listed.dllPath);
        std::string name = tlw::Utf16ToUtf8(listed.name);
        if (!host.library) {
            plat::JournalAppend("Today item " + name + " not loaded: no library " + tlw::Utf16ToUtf8(listed.dllPath));
            continue;
        }
        host.record.hinstDll = host.library;
        auto init = reinterpret_cast<plat::InitializeCustomItemFn>(
            plat::GetProcAddress(host.library, plat::kTodayInitializeOrdinal));
        plat::Hwnd window = init ? init(&host.record, s.desktop) : plat::Hwnd{};
        if (!window) {
            plat::JournalAppend("Today item " + name + " not loaded: its entry made no window");
            plat::FreeLibrary(host.library);
            continue;
        }
        host.record.hwndCustom = window;
        s.items.push_back(host);
    }
    s.itemsAskedAt = {};  // the new items are asked at the next refresh
    LayoutTodayItems();
}

void UnloadTodayItems() {
    ShellState& s = Shell();
    for (TodayItemHost& item : s.items) {
        if (item.record.hwndCustom && plat::IsWindow(item.record.hwndCustom)) plat::DestroyWindow(item.record.hwndCustom);
        if (item.library) plat::FreeLibrary(item.library);
    }
    s.items.clear();
    s.selectedItem = -1;
}

void LayoutTodayItems() {
    ShellState& s = Shell();
    int32_t width = s.layout.work.right - s.layout.work.left;
    int32_t y = 2 * Scale(kLineUnits);
    s.todayBase = y;
    for (TodayItemHost& item : s.items) {
        item.top = y;
        plat::Rect now;
        plat::GetWindowRect(item.record.hwndCustom, &now);
        int32_t height = std::max(item.record.cyp, 0);
        plat::MoveWindow(item.record.hwndCustom, 0, y, width, height, true);
        item.record.sizeModified = false;
        y += height;
    }
}

void RefreshTodayItems() {
    ShellState& s = Shell();
    std::u16string date = plat::FormatDateString(plat::GetLocalTime(), u"dddd, MMMM d, yyyy");
    if (date != s.dateShown) {
        s.dateShown = date;
        plat::InvalidateRect(s.desktop, nullptr, true);
    }
    auto now = std::chrono::steady_clock::now();
    if (s.items.empty() || now - s.itemsAskedAt < kRefreshPeriod) return;
    s.itemsAskedAt = now;
    bool relayout = false;
    for (TodayItemHost& item : s.items) {
        if (plat::SendMessage(item.record.hwndCustom, plat::WM_TODAYCUSTOM_QUERYREFRESHCACHE, 0,
                              reinterpret_cast<plat::LParam>(&item.record)))
            relayout = true;
    }
    if (relayout) LayoutTodayItems();
}

plat::LResult DesktopProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    ShellState& s = Shell();
    switch (message) {
    case plat::WM_PAINT: {
        plat::PaintStruct ps;
        plat::Hdc hdc = plat::BeginPaint(hwnd, &ps);
        if (hdc) {
            PaintDesktop(hwnd, hdc);
            plat::EndPaint(hwnd, &ps);
        }
        return 0;
    }
    case plat::WM_SIZE:
        LayoutTodayItems();
        return 0;
    case plat::TODAYM_GETCOLOR:
        switch (wParam) {
        case plat::TODAYCOLOR_HIGHLIGHT: return kHighlight;
        case plat::TODAYCOLOR_HIGHLIGHTEDTEXT: return kHighlightText;
        default: return kTextColor;
        }
    case plat::TODAYM_DRAWWATERMARK: {
        auto* info = reinterpret_cast<const plat::TodayDrawWatermarkInfo*>(lParam);
        if (!info) return 0;
        // The item's place in the desktop decides which part of the wash it gets.
        int32_t originY = 0;
        for (const TodayItemHost& item : s.items)
            if (item.record.hwndCustom == info->hwnd) originY = item.top;
        DrawWash(info->hdc, info->rc, originY);
        return 1;
    }
    case plat::WM_KEYDOWN:
        if (wParam == plat::VK_UP || wParam == plat::VK_DOWN || wParam == plat::VK_LEFT || wParam == plat::VK_RIGHT) {
            Navigate(static_cast<uint32_t>(wParam));
        } else if (wParam == plat::VK_RETURN && s.selectedItem >= 0 &&
                   s.selectedItem < static_cast<int32_t>(s.items.size())) {
            plat::SendMessage(s.items[s.selectedItem].record.hwndCustom, plat::WM_TODAYCUSTOM_ACTION, wParam, 0);
        }
        return 0;
    case plat::WM_LBUTTONUP:
        Select(-1, 0);
        return 0;
    case plat::WM_CLOSE:
        return 0;  // the shell closes with its taskbar
    default:
        return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace sim
