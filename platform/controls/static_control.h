// The static control (class "STATIC"): a label, a frame or an icon that
// takes no input. The text is the window's title; WM_SETTEXT replaces and
// repaints it. SS_NOTIFY makes a tap send STN_CLICKED to the parent.
#pragma once

#include <cstdint>

#include "platform/message/messages.h"

namespace plat {

inline constexpr char16_t kStaticClass[] = u"STATIC";

constexpr uint32_t SS_LEFT = 0x0000;
constexpr uint32_t SS_CENTER = 0x0001;
constexpr uint32_t SS_RIGHT = 0x0002;
constexpr uint32_t SS_ICON = 0x0003;       // shows the icon given by STM_SETIMAGE
constexpr uint32_t SS_BLACKRECT = 0x0004;  // a filled black rectangle (a rule)
constexpr uint32_t SS_LEFTNOWORDWRAP = 0x000C;
constexpr uint32_t SS_BITMAP = 0x000E;     // shows the bitmap given by STM_SETIMAGE
constexpr uint32_t SS_TYPEMASK = 0x001F;
constexpr uint32_t SS_NOPREFIX = 0x0080;   // "&" is shown as it is
constexpr uint32_t SS_NOTIFY = 0x0100;
constexpr uint32_t SS_CENTERIMAGE = 0x0200;  // the text centred vertically

constexpr uint32_t STM_SETIMAGE = 0x0172;  // wParam: IMAGE_BITMAP or IMAGE_ICON; lParam: the handle value
constexpr uint32_t STM_GETIMAGE = 0x0173;
constexpr uint32_t IMAGE_BITMAP = 0;
constexpr uint32_t IMAGE_ICON = 1;

constexpr uint32_t STN_CLICKED = 0;

LResult StaticProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam);

}  // namespace plat
