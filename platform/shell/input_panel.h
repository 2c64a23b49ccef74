// The input panel: the on-screen keyboard that rises above the menu bar.
//
// Shown or hidden for the whole device (SipShowIM, SHSipPreference); while
// it is up the visible desktop (the work area a program may fill) ends at
// its top edge. Each change is journalled ("input panel shown" / "input
// panel hidden") and tells every top-level window of the device with
// WM_SETTINGCHANGE (wParam SPI_SETSIPINFO, lParam 0), so programs re-fit
// their windows to SipGetInfo's visible desktop. The compositor draws the
// keyboard at its place on the screen.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi_types.h"
#include "platform/message/messages.h"

namespace plat {

constexpr uint32_t SIPF_OFF = 0x0000;
constexpr uint32_t SIPF_ON = 0x0001;
constexpr uint32_t SIPF_DOCKED = 0x0002;
constexpr uint32_t SIPF_LOCKED = 0x0004;

constexpr uint32_t SPI_SETSIPINFO = 224;
constexpr uint32_t SPI_GETSIPINFO = 225;

// Height of the keyboard in 96-dpi units.
constexpr int32_t kInputPanelHeightUnits = 80;

struct SipInfo {
    uint32_t cbSize = sizeof(SipInfo);  // of this record
    uint32_t fdwFlags = 0;              // SIPF_ON while shown, SIPF_DOCKED always
    Rect rcVisibleDesktop;              // the work area left to programs (screen coordinates)
    Rect rcSipRect;                     // where the keyboard is (or would be)
    uint32_t dwImDataSize = 0;          // no input-method data on this device
    void* pvImData = nullptr;
};

// Shows (SIPF_ON) or hides (SIPF_OFF) the input panel. False
// (kErrorInvalidParameter) for other flags.
bool SipShowIM(uint32_t flags);
// Fills the record; false (kErrorInvalidParameter) for null or a wrong size.
bool SipGetInfo(SipInfo* info);
// True while the input panel is up.
bool SipIsShown();

// What a window asks of the input panel when it becomes active.
constexpr int32_t SIP_UP = 1;
constexpr int32_t SIP_DOWN = 2;
constexpr int32_t SIP_FORCEDOWN = 3;
bool SHSipPreference(Hwnd hwnd, int32_t request);

// The character of the keyboard's key at a screen point while the panel is
// up: a letter, u' ' for the space bar, 0 for none (or a point beside the
// keys). Taps there type that character.
char16_t InputPanelKeyAt(Point screen);
// True for a point on the keyboard while it is up (no window gets taps there).
bool PointOnInputPanel(Point screen);

// Draws the keyboard into a screen image of width x height pixels
// 0x00RRGGBB at its place (the compositor's part).
void DrawInputPanel(uint32_t* pixels, int32_t width, int32_t height);

}  // namespace plat
