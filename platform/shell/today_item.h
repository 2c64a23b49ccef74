// The Today screen's custom item interface: what the Today screen (the
// desktop of the device host) and a Today item library say to each other.
//
// A custom item is listed under the key
// HKEY_LOCAL_MACHINE\Software\Microsoft\Today\Items\NAME with the values `DLL` (device path of its library), `Type`
// (4 = custom item), `Enabled` (DWORD, 1 = shown) and `Order` (DWORD, items
// shown top to bottom by it). The Today screen loads the library and calls
// its entry by ordinal kTodayInitializeOrdinal (InitializeCustomItem) with
// the item's list record and the Today screen's window; the entry creates
// the item's child window and returns it. From then on the Today screen
// asks the item through window messages: periodically whether to refresh
// (kWmTodayQueryRefreshCache, lParam the list record; the item stores its
// height in the record's `cyp` and answers TRUE when the height changed),
// when it gets and loses the selection, the navigation keys while it has
// it, and the action key. The item asks the Today screen for its colours
// and to draw the background under it.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi_types.h"
#include "platform/message/messages.h"

namespace plat {

// Where the Today screen finds its items.
inline constexpr const char16_t* kTodayItemsKey = u"Software\\Microsoft\\Today\\Items";
// The ordinal of the item library's initialisation entry.
constexpr uint32_t kTodayInitializeOrdinal = 240;
// Item type of a custom item.
constexpr uint32_t kTodayTypeCustom = 4;

// Messages the Today screen sends to an item window.
constexpr uint32_t WM_TODAYCUSTOM_CLEARCACHE = WM_USER + 242;          // 1266
constexpr uint32_t WM_TODAYCUSTOM_QUERYREFRESHCACHE = WM_USER + 243;   // 1267: lParam TodayListItem*
constexpr uint32_t WM_TODAYCUSTOM_RECEIVEDSELECTION = WM_USER + 244;   // 1268: wParam the key that brought it
constexpr uint32_t WM_TODAYCUSTOM_LOSTSELECTION = WM_USER + 245;       // 1269
constexpr uint32_t WM_TODAYCUSTOM_USERNAVIGATION = WM_USER + 246;      // 1270: wParam the virtual key
constexpr uint32_t WM_TODAYCUSTOM_ACTION = WM_USER + 247;              // 1271: wParam the virtual key

// Messages an item sends to the Today screen (its parent window).
constexpr uint32_t TODAYM_GETCOLOR = WM_USER + 100;       // 1124: wParam a TODAYCOLOR_*; answers the ColorRef
constexpr uint32_t TODAYM_DRAWWATERMARK = WM_USER + 101;  // 1125: lParam TodayDrawWatermarkInfo*; answers TRUE

// Colours an item may ask for.
constexpr uint32_t TODAYCOLOR_TEXT = 0x10000004;
constexpr uint32_t TODAYCOLOR_HIGHLIGHT = 0x10000022;
constexpr uint32_t TODAYCOLOR_HIGHLIGHTEDTEXT = 0x10000023;

// Longest item name kept, in characters.
constexpr size_t kTodayNameCapacity = 32;

// The Today screen's record of one item (TODAYLISTITEM).
struct TodayListItem {
    char16_t name[kTodayNameCapacity + 1] = {};  // the registry key's name
    uint32_t type = kTodayTypeCustom;            // kTodayTypeCustom
    uint32_t order = 0;                          // place in the list
    int32_t cyp = 0;                             // height in pixels the item asks for
    bool enabled = true;                         // shown
    bool options = false;                        // has an options dialog (not offered)
    uint32_t grpFlags = 0;                       // kept
    char16_t dllPath[260] = {};                  // device path of its library
    uintptr_t hinstDll = 0;                      // the loaded library
    Hwnd hwndCustom;                             // the item's window
    bool sizeModified = false;                   // cyp changed since the last layout
};

// What TODAYM_DRAWWATERMARK asks to be drawn.
struct TodayDrawWatermarkInfo {
    Hdc hdc;      // where to draw
    Rect rc;      // the area, in the item window's client coordinates
    Hwnd hwnd;    // the item window
};

// The entry of a Today item library at kTodayInitializeOrdinal.
using InitializeCustomItemFn = Hwnd (*)(TodayListItem* item, Hwnd parent);

}  // namespace plat
