// The trackbar (class "msctls_trackbar32"): a thumb on a channel choosing
// a position between a minimum and a maximum.
//
// A tap on the channel moves the thumb there, dragging moves it along;
// left/right (and up/down for a vertical one) step by the line size, a tap
// beside the thumb with TBS_PAGETAP steps by a page. Every move tells the
// parent with WM_HSCROLL (WM_VSCROLL for TBS_VERT): wParam's low word is the
// TB_* code, its high word the position for TB_THUMBTRACK and
// TB_THUMBPOSITION; lParam is the trackbar's window handle value. The end
// of a drag or key sends TB_ENDTRACK.
#pragma once

#include <cstdint>

#include "platform/message/messages.h"

namespace plat {

inline constexpr char16_t kTrackbarClass[] = u"msctls_trackbar32";

constexpr uint32_t TBS_HORZ = 0x0000;
constexpr uint32_t TBS_AUTOTICKS = 0x0001;  // a tick at every position
constexpr uint32_t TBS_VERT = 0x0002;
constexpr uint32_t TBS_NOTICKS = 0x0010;
constexpr uint32_t TBS_PAGETAP = 0x0400;    // a tap beside the thumb steps a page instead of jumping there

constexpr uint32_t TBM_GETPOS = WM_USER;          // the position
constexpr uint32_t TBM_GETRANGEMIN = WM_USER + 1;
constexpr uint32_t TBM_GETRANGEMAX = WM_USER + 2;
constexpr uint32_t TBM_SETPOS = WM_USER + 5;      // wParam: redraw; lParam: the position (kept in the range)
constexpr uint32_t TBM_SETRANGE = WM_USER + 6;    // wParam: redraw; lParam: minimum low word, maximum high word
constexpr uint32_t TBM_SETRANGEMIN = WM_USER + 7; // wParam: redraw; lParam: minimum
constexpr uint32_t TBM_SETRANGEMAX = WM_USER + 8; // wParam: redraw; lParam: maximum
constexpr uint32_t TBM_SETPAGESIZE = WM_USER + 21;  // lParam: page size; answers the previous one
constexpr uint32_t TBM_GETPAGESIZE = WM_USER + 22;
constexpr uint32_t TBM_SETLINESIZE = WM_USER + 23;  // lParam: line size; answers the previous one
constexpr uint32_t TBM_GETLINESIZE = WM_USER + 24;

// WM_HSCROLL / WM_VSCROLL codes.
constexpr uint32_t TB_LINEUP = 0;
constexpr uint32_t TB_LINEDOWN = 1;
constexpr uint32_t TB_PAGEUP = 2;
constexpr uint32_t TB_PAGEDOWN = 3;
constexpr uint32_t TB_THUMBPOSITION = 4;
constexpr uint32_t TB_THUMBTRACK = 5;
constexpr uint32_t TB_TOP = 6;
constexpr uint32_t TB_BOTTOM = 7;
constexpr uint32_t TB_ENDTRACK = 8;

LResult TrackbarProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam);

}  // namespace plat
