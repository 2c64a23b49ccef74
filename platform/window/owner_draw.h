// Owner drawing: the records a menu or a control hands to its owner when an
// element is to be measured (WM_MEASUREITEM) or drawn (WM_DRAWITEM), and
// their kinds and states. Menus (popup_menu.h) and controls (button, list
// view) share them, so that one window procedure can answer both.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi_types.h"
#include "platform/message/messages.h"

namespace plat {

// ctlType: what the element belongs to.
constexpr uint32_t ODT_MENU = 1;
constexpr uint32_t ODT_BUTTON = 4;
constexpr uint32_t ODT_LISTVIEW = 102;
// itemAction: why it is drawn.
constexpr uint32_t ODA_DRAWENTIRE = 0x0001;
constexpr uint32_t ODA_SELECT = 0x0002;
constexpr uint32_t ODA_FOCUS = 0x0004;
// itemState: how it is to look.
constexpr uint32_t ODS_SELECTED = 0x0001;
constexpr uint32_t ODS_GRAYED = 0x0002;
constexpr uint32_t ODS_DISABLED = 0x0004;
constexpr uint32_t ODS_CHECKED = 0x0008;
constexpr uint32_t ODS_FOCUS = 0x0010;

// What WM_MEASUREITEM's lParam points to; the owner fills the size.
struct MeasureItemStruct {
    uint32_t ctlType = ODT_MENU;  // ODT_*
    uint32_t ctlId = 0;           // the control's id (0 for a menu)
    uint32_t itemId = 0;          // the menu item's identifier, or the element (a list row)
    uint32_t itemWidth = 0;       // answer: width in pixels
    uint32_t itemHeight = 0;      // answer: height in pixels (a control presets its default)
    uint64_t itemData = 0;        // the menu item's AppendMenu value, or the element's data
};

// What WM_DRAWITEM's lParam points to: one element to draw.
struct DrawItemStruct {
    uint32_t ctlType = ODT_MENU;           // ODT_*
    uint32_t ctlId = 0;                    // the control's id (0 for a menu)
    uint32_t itemId = 0;                   // the menu item's identifier, or the element; 0 for a button
    uint32_t itemAction = ODA_DRAWENTIRE;  // ODA_* bits
    uint32_t itemState = 0;                // ODS_* bits
    Hwnd hwndItem;                         // the menu's window or the control
    Hdc hdc;                               // where to draw (that window's surface)
    Rect rcItem;                           // the element's rectangle in hdc
    uint64_t itemData = 0;                 // the menu item's AppendMenu value, or the element's data
};

}  // namespace plat
