// The screen scale rule: lengths given in units of a 96-dpi screen become
// pixels of this screen. Each deliverable reads the screen's logical dots per
// inch once, at first use, together with a force-double flag given by the
// first caller (false when a scale is asked for before any initialisation).
#pragma once

namespace tlw {

// The two screen classes the default skins and icon store are made for.
enum class ResolutionClass {
    kQvga,  // one unit is one pixel (below 144 dpi)
    kVga,   // one unit is more than one pixel
};

// Reads the screen's dots per inch from the platform and stores the
// force-double flag. Only the first call (or the first scale) takes effect.
void InitScreenScale(bool forceDouble);

// Forgets the stored dpi and flag, so that the next use reads them again
// (a test that changes the simulated screen, a device host switching device).
void ResetScreenScale();

// The rule for one direction, without stored state:
// force-double: v * 2; keep-small below 136 dpi: v; otherwise
// sign(v) * ((|v| * dpi + 48) / 96), v * dpi / 96 rounded to nearest.
int ScaleLength(int v, int dpi, bool forceDouble, bool keepSmall);

// v in 96-dpi units scaled with the horizontal or vertical dpi. With
// keepSmall, screens below 136 dpi keep v unchanged.
int ScaleX(int v, bool keepSmall = false);
int ScaleY(int v, bool keepSmall = false);

// The stored dots per inch (read at first use).
int ScreenDpiX();
int ScreenDpiY();

// QVGA when ScaleX(1) is 1, VGA otherwise (from 144 dpi up).
ResolutionClass GetResolutionClass();
// True for the VGA class: one unit scales to more than one pixel.
bool IsHighResolution();

}  // namespace tlw
