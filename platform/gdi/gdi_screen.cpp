// The screen's settings as the drawing layer sees them: dots per inch, size
// and the system colours.
#include <atomic>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_objects.h"

namespace plat {
namespace {

// Screen settings of this process (from the device model).
struct ScreenSettings {
    std::atomic<int32_t> dpiX{96};      // logical dots per inch, horizontal
    std::atomic<int32_t> dpiY{96};      // vertical
    std::atomic<int32_t> width{240};    // pixels
    std::atomic<int32_t> height{320};   // pixels
};

ScreenSettings& Screen() {
    static ScreenSettings s;
    return s;
}

// The phone's default colour scheme.
ColorRef g_sysColors[kSysColorCount] = {
    Rgb(200, 200, 200),  // scrollbar
    Rgb(0, 0, 0),        // background
    Rgb(0, 36, 156),     // active caption
    Rgb(128, 128, 128),  // inactive caption
    Rgb(255, 255, 255),  // menu
    Rgb(255, 255, 255),  // window
    Rgb(0, 0, 0),        // window frame
    Rgb(0, 0, 0),        // menu text
    Rgb(0, 0, 0),        // window text
    Rgb(255, 255, 255),  // caption text
    Rgb(192, 192, 192),  // active border
    Rgb(192, 192, 192),  // inactive border
    Rgb(128, 128, 128),  // app workspace
    Rgb(10, 80, 180),    // highlight
    Rgb(255, 255, 255),  // highlight text
    Rgb(220, 220, 220),  // button face
    Rgb(128, 128, 128),  // button shadow
    Rgb(128, 128, 128),  // grey text
    Rgb(0, 0, 0),        // button text
    Rgb(192, 192, 192),  // inactive caption text
    Rgb(255, 255, 255),  // button highlight
    Rgb(0, 0, 0),        // 3D dark shadow
    Rgb(224, 224, 224),  // 3D light
    Rgb(0, 0, 0),        // info text
    Rgb(255, 255, 225),  // info background
    Rgb(255, 255, 255),  // static
    Rgb(0, 0, 0),        // static text
};

}  // namespace

namespace gdi {
ColorRef SysColorValue(int32_t index) {
    return index >= 0 && index < kSysColorCount ? g_sysColors[index] : 0;
}
}  // namespace gdi

void SetScreenDpi(int32_t dpiX, int32_t dpiY) {
    if (dpiX > 0) Screen().dpiX = dpiX;
    if (dpiY > 0) Screen().dpiY = dpiY;
}
int32_t GetScreenDpiX() { return Screen().dpiX; }
int32_t GetScreenDpiY() { return Screen().dpiY; }

void SetScreenSize(int32_t width, int32_t height) {
    if (width > 0) Screen().width = width;
    if (height > 0) Screen().height = height;
}
Size GetScreenSize() { return Size{Screen().width, Screen().height}; }

ColorRef GetSysColor(int32_t index) {
    gdi::GdiGuard guard(gdi::Lock());
    return gdi::SysColorValue(index);
}

HBrush GetSysColorBrush(int32_t index) {
    gdi::GdiGuard guard(gdi::Lock());
    return HBrush{gdi::SysColorBrush(index)};
}

void SetSysColor(int32_t index, ColorRef color) {
    gdi::GdiGuard guard(gdi::Lock());
    if (index < 0 || index >= kSysColorCount) return;
    g_sysColors[index] = color & 0xFFFFFF;
    if (gdi::BrushObj* b = gdi::FindBrush(gdi::SysColorBrush(index))) b->color = color & 0xFFFFFF;
}

}  // namespace plat
