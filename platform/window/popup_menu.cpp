// Popup menus: the item lists of this process and the tracking of one menu
// per thread in a nested message loop.
#include "platform/window/popup_menu.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/threads.h"
#include "platform/storage/journal.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace plat {
namespace {

struct MenuItem {
    uint32_t flags = 0;
    uint32_t id = 0;
    std::u16string text;
    uint64_t itemData = 0;
};

struct Menu {
    std::vector<MenuItem> items;
    bool tracking = false;
};

// The menus of this process.
struct MenuTable {
    std::mutex lock;
    std::map<uint32_t, Menu> menus;
    uint32_t next = 1;
};

MenuTable& Menus() {
    static MenuTable table;
    return table;
}

// One item as the open menu lays it out.
struct PlacedItem {
    MenuItem item;
    Rect rect;  // in the menu window
};

// The menu the calling thread tracks.
struct Tracking {
    Hwnd window;
    Hwnd owner;
    std::vector<PlacedItem> items;
    int32_t hot = -1;       // the highlighted item, -1 for none
    bool done = false;
    uint32_t chosen = 0;    // identifier of the chosen item; 0 when cancelled
    bool chosenAny = false;
    bool penDownInside = false;
};

thread_local Tracking* t_tracking = nullptr;

int32_t ScaleUnits(int32_t v) {
    int32_t dpi = GetScreenDpiY();
    if (dpi <= 0) dpi = 96;
    return (v * dpi + 48) / 96;
}

HFont MenuFont(bool bold) {
    LogFont font;
    GetFontInfo(GetStockFont(kSystemFont), &font);
    font.weight = bold ? kFwBold : kFwNormal;
    return CreateFontIndirect(font);
}

bool Choosable(const MenuItem& item) {
    return (item.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)) == 0;
}

void Fill(Hdc hdc, const Rect& r, ColorRef colour) {
    HBrush brush = CreateSolidBrush(colour);
    FillRect(hdc, r, brush);
    DeleteObject(brush);
}

void PaintItem(Tracking& t, Hdc hdc, size_t index) {
    const PlacedItem& p = t.items[index];
    bool selected = static_cast<int32_t>(index) == t.hot;
    if (p.item.flags & MF_SEPARATOR) {
        Fill(hdc, p.rect, GetSysColor(kColorMenu));
        int32_t mid = (p.rect.top + p.rect.bottom) / 2;
        Fill(hdc, {p.rect.left + ScaleUnits(2), mid, p.rect.right - ScaleUnits(2), mid + 1},
             GetSysColor(kColorGrayText));
        return;
    }
    if (p.item.flags & MF_OWNERDRAW) {
        DrawItemStruct dis;
        dis.itemId = p.item.id;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = (selected ? ODS_SELECTED : 0) | ((p.item.flags & MF_GRAYED) ? ODS_GRAYED : 0) |
                        ((p.item.flags & MF_DISABLED) ? ODS_DISABLED : 0) |
                        ((p.item.flags & MF_CHECKED) ? ODS_CHECKED : 0);
        dis.hwndItem = t.window;
        dis.hdc = hdc;
        dis.rcItem = p.rect;
        dis.itemData = p.item.itemData;
        int32_t saved = SaveDC(hdc);
        IntersectClipRect(hdc, p.rect.left, p.rect.top, p.rect.right, p.rect.bottom);
        SendMessage(t.owner, WM_DRAWITEM, 0, reinterpret_cast<LParam>(&dis));
        RestoreDC(hdc, saved);
        return;
    }
    Fill(hdc, p.rect, GetSysColor(selected ? kColorHighlight : kColorMenu));
    SetBkMode(hdc, kTransparent);
    ColorRef text = (p.item.flags & MF_GRAYED)  ? GetSysColor(kColorGrayText)
                    : selected                  ? GetSysColor(kColorHighlightText)
                                                : GetSysColor(kColorMenuText);
    SetTextColor(hdc, text);
    HFont font = MenuFont(false);
    HFont old = SelectObject(hdc, font);
    if (p.item.flags & MF_CHECKED) {
        Rect mark{p.rect.left + ScaleUnits(2), p.rect.top, p.rect.left + ScaleUnits(16), p.rect.bottom};
        DrawText(hdc, u"\u2713", &mark, kDtCenter | kDtVCenter | kDtSingleLine | kDtNoPrefix);
    }
    Rect r{p.rect.left + ScaleUnits(18), p.rect.top, p.rect.right - ScaleUnits(4), p.rect.bottom};
    DrawText(hdc, p.item.text, &r, kDtLeft | kDtVCenter | kDtSingleLine | kDtNoPrefix | kDtEndEllipsis);
    SelectObject(hdc, old);
    DeleteObject(font);
}

void Paint(Tracking& t) {
    PaintStruct ps;
    Hdc hdc = BeginPaint(t.window, &ps);
    if (!hdc) return;
    Rect client;
    GetClientRect(t.window, &client);
    Fill(hdc, client, GetSysColor(kColorMenu));
    for (size_t i = 0; i < t.items.size(); ++i) PaintItem(t, hdc, i);
    HBrush frame = CreateSolidBrush(GetSysColor(kColorWindowFrame));
    FrameRect(hdc, client, frame);
    DeleteObject(frame);
    EndPaint(t.window, &ps);
}

int32_t ItemAt(const Tracking& t, Point p) {
    for (size_t i = 0; i < t.items.size(); ++i) {
        const Rect& r = t.items[i].rect;
        if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) return static_cast<int32_t>(i);
    }
    return -1;
}

bool Inside(const Tracking& t, Point p) {
    Rect client;
    GetClientRect(t.window, &client);
    return p.x >= client.left && p.x < client.right && p.y >= client.top && p.y < client.bottom;
}

void SetHot(Tracking& t, int32_t hot) {
    if (hot == t.hot) return;
    t.hot = hot;
    InvalidateRect(t.window, nullptr, false);
}

void Choose(Tracking& t, int32_t index) {
    if (index < 0 || !Choosable(t.items[index].item)) return;
    t.chosen = t.items[index].item.id;
    t.chosenAny = true;
    t.done = true;
}

// Moves the highlight to the next choosable item in a direction.
void Step(Tracking& t, int32_t direction) {
    int32_t n = static_cast<int32_t>(t.items.size());
    int32_t i = t.hot;
    for (int32_t tries = 0; tries < n; ++tries) {
        i = i < 0 ? (direction > 0 ? 0 : n - 1) : (i + direction + n) % n;
        if (Choosable(t.items[i].item)) {
            SetHot(t, i);
            return;
        }
    }
}

// Handles a message for the menu window; false when it is not the menu's.
bool HandleMenuMessage(Tracking& t, const Msg& msg) {
    if (msg.hwnd != t.window) return false;
    Point p{PointParamX(msg.lParam), PointParamY(msg.lParam)};
    switch (msg.message) {
    case WM_LBUTTONDOWN:
        if (!Inside(t, p)) {
            t.done = true;  // a tap outside closes the menu; the tap goes nowhere else
            return true;
        }
        t.penDownInside = true;
        SetHot(t, Choosable(t.items[std::max(0, ItemAt(t, p))].item) ? ItemAt(t, p) : -1);
        return true;
    case WM_MOUSEMOVE:
        if (t.penDownInside) {
            int32_t i = Inside(t, p) ? ItemAt(t, p) : -1;
            SetHot(t, i >= 0 && Choosable(t.items[i].item) ? i : -1);
        }
        return true;
    case WM_LBUTTONUP:
        if (t.penDownInside && Inside(t, p)) Choose(t, ItemAt(t, p));
        t.penDownInside = false;
        return true;
    case WM_KEYDOWN:
        if (msg.wParam == VK_ESCAPE || msg.wParam == VK_BACK) t.done = true;
        else if (msg.wParam == VK_DOWN) Step(t, 1);
        else if (msg.wParam == VK_UP) Step(t, -1);
        else if (msg.wParam == VK_RETURN) Choose(t, t.hot);
        return true;
    case WM_KEYUP:
    case WM_CHAR:
        return true;
    default:
        return false;
    }
}

LResult PopupMenuProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    Tracking* t = t_tracking;
    if (t && hwnd == t->window) {
        switch (message) {
        case WM_PAINT:
            Paint(*t);
            return 0;
        case WM_CLOSE:
        case WM_CANCELMODE:
            t->done = true;
            return 0;
        default:
            break;
        }
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

// Lays out the items: owner-drawn ones at the size the owner gives, text
// items by their text, separators as a thin band.
Size LayOut(Tracking& t, const std::vector<MenuItem>& items) {
    int32_t width = ScaleUnits(60), y = 1;
    Hdc probe = CreateCompatibleDC(Hdc{});
    HFont font = MenuFont(false);
    HFont old = SelectObject(probe, font);
    std::vector<Size> sizes;
    for (const MenuItem& item : items) {
        Size s;
        if (item.flags & MF_SEPARATOR) {
            s = {0, ScaleUnits(6)};
        } else if (item.flags & MF_OWNERDRAW) {
            MeasureItemStruct mis;
            mis.itemId = item.id;
            mis.itemData = item.itemData;
            SendMessage(t.owner, WM_MEASUREITEM, 0, reinterpret_cast<LParam>(&mis));
            s = {static_cast<int32_t>(std::min<uint32_t>(mis.itemWidth, 4096)),
                 static_cast<int32_t>(std::min<uint32_t>(mis.itemHeight, 4096))};
        } else {
            Size text;
            GetTextExtentPoint(probe, item.text, &text);
            s = {text.cx + ScaleUnits(26), std::max(text.cy + ScaleUnits(6), ScaleUnits(20))};
        }
        width = std::max(width, s.cx);
        sizes.push_back(s);
    }
    SelectObject(probe, old);
    DeleteObject(font);
    DeleteDC(probe);
    for (size_t i = 0; i < items.size(); ++i) {
        t.items.push_back({items[i], Rect{1, y, 1 + width, y + sizes[i].cy}});
        y += sizes[i].cy;
    }
    return {width + 2, y + 1};
}

}  // namespace

HMenu CreatePopupMenu() {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.lock);
    uint32_t id = table.next++;
    table.menus[id] = Menu{};
    return HMenu{id};
}

bool DestroyMenu(HMenu menu) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.menus.find(menu.value);
    if (it == table.menus.end() || it->second.tracking) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    table.menus.erase(it);
    return true;
}

bool AppendMenu(HMenu menu, uint32_t flags, uint32_t id, std::u16string_view text, uint64_t itemData) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.menus.find(menu.value);
    if (it == table.menus.end()) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    MenuItem item;
    item.flags = flags;
    item.id = (flags & MF_SEPARATOR) ? 0 : id;
    if ((flags & (MF_SEPARATOR | MF_OWNERDRAW)) == 0) item.text = std::u16string(text);
    item.itemData = (flags & MF_OWNERDRAW) ? itemData : 0;
    it->second.items.push_back(std::move(item));
    return true;
}

int32_t GetMenuItemCount(HMenu menu) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.menus.find(menu.value);
    return it == table.menus.end() ? -1 : static_cast<int32_t>(it->second.items.size());
}

namespace {
int32_t SetItemFlag(HMenu menu, uint32_t id, uint32_t flag, bool set) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.menus.find(menu.value);
    if (it == table.menus.end()) return -1;
    for (MenuItem& item : it->second.items) {
        if (item.id != id || (item.flags & MF_SEPARATOR)) continue;
        int32_t previous = static_cast<int32_t>(item.flags & flag);
        item.flags = set ? (item.flags | flag) : (item.flags & ~flag);
        return previous;
    }
    return -1;
}
}  // namespace

int32_t CheckMenuItem(HMenu menu, uint32_t id, bool checked) { return SetItemFlag(menu, id, MF_CHECKED, checked); }
int32_t EnableMenuItem(HMenu menu, uint32_t id, bool enabled) { return SetItemFlag(menu, id, MF_GRAYED, !enabled); }

bool IsMenuOpen() { return t_tracking != nullptr; }

bool EndMenu() {
    if (!t_tracking) return false;
    t_tracking->done = true;
    return true;
}

int32_t TrackPopupMenuEx(HMenu menu, uint32_t flags, int32_t x, int32_t y, Hwnd owner) {
    uint32_t ownerThread = GetWindowThreadProcessId(owner, nullptr);
    if (!owner || ownerThread == 0) {
        SetLastError(kErrorInvalidWindowHandle);
        return 0;
    }
    if (ownerThread != GetCurrentThreadId()) {
        SetLastError(kErrorWindowOfOtherThread);
        return 0;
    }
    // A second request while a menu is open ends the open one.
    if (t_tracking) {
        t_tracking->done = true;
        return 0;
    }
    std::vector<MenuItem> items;
    {
        MenuTable& table = Menus();
        std::lock_guard<std::mutex> guard(table.lock);
        auto it = table.menus.find(menu.value);
        if (it == table.menus.end() || it->second.items.empty()) {
            SetLastError(kErrorInvalidParameter);
            return 0;
        }
        items = it->second.items;
        it->second.tracking = true;
    }

    WndClass wc;
    wc.className = kPopupMenuClass;
    wc.proc = PopupMenuProc;
    RegisterClass(wc);  // once per process; later calls find it registered

    Tracking t;
    t.owner = owner;
    Size size = LayOut(t, items);
    Size screen = GetScreenSize();
    int32_t left = (flags & TPM_RIGHTALIGN) ? x - size.cx : (flags & TPM_CENTERALIGN) ? x - size.cx / 2 : x;
    int32_t top = (flags & TPM_BOTTOMALIGN) ? y - size.cy : (flags & TPM_VCENTERALIGN) ? y - size.cy / 2 : y;
    left = std::max(0, std::min(left, screen.cx - size.cx));
    top = std::max(0, std::min(top, screen.cy - size.cy));

    t.window = CreateWindow(kPopupMenuClass, u"", WS_POPUP, left, top, size.cx, size.cy, Hwnd{});
    if (!t.window) {
        std::lock_guard<std::mutex> guard(Menus().lock);
        auto it = Menus().menus.find(menu.value);
        if (it != Menus().menus.end()) it->second.tracking = false;
        return 0;
    }
    t_tracking = &t;
    SetShellFlags(t.window, kShellBar | kShellPopup, 0);
    ShowWindow(t.window, SW_SHOWNA);
    BringWindowToTop(t.window);
    Hwnd previousFocus = SetFocus(t.window);
    SetCapture(t.window);
    UpdateWindow(t.window);
    JournalAppend("popup menu shown (" + std::to_string(items.size()) + " items)");

    bool quit = false;
    int32_t quitCode = 0;
    Msg msg;
    while (!t.done) {
        if (!IsWindow(owner) || !IsWindow(t.window)) break;
        int32_t got = GetMessage(&msg, Hwnd{}, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            quitCode = static_cast<int32_t>(msg.wParam);
            break;
        }
        if (HandleMenuMessage(t, msg)) continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }

    t_tracking = nullptr;
    if (GetCapture() == t.window) ReleaseCapture();
    if (GetFocus() == t.window) SetFocus(previousFocus);
    if (IsWindow(t.window)) DestroyWindow(t.window);
    {
        std::lock_guard<std::mutex> guard(Menus().lock);
        auto it = Menus().menus.find(menu.value);
        if (it != Menus().menus.end()) it->second.tracking = false;
    }
    if (quit) PostQuitMessage(quitCode);  // the thread's own loop ends too
    if (t.chosenAny) JournalAppend("popup menu chose " + std::to_string(t.chosen));
    else JournalAppend("popup menu cancelled");

    if (flags & TPM_RETURNCMD) return t.chosenAny ? static_cast<int32_t>(t.chosen) : 0;
    if (t.chosenAny && (flags & TPM_NONOTIFY) == 0 && IsWindow(owner)) PostMessage(owner, WM_COMMAND, t.chosen, 0);
    return t.chosenAny ? 1 : 0;
}

}  // namespace plat
