// The Today item's layout: the add-on slots placed on a grid of 18 by 20
// unit cells that fits the Today screen's width, right-aligned row by row,
// the profile area (icon, name, time-out, trigger icon, lock) to the left of
// the first rows, and the rectangles of the meters and the slider. The
// rectangles are the hit areas of taps, their grid positions the keyboard
// navigation. The computation is pure: it reads only its input.
#pragma once

#include <cstdint>

#include "common/config/options.h"
#include "platform/gdi/gdi_types.h"

namespace today {

// Add-on types of the [Today] slots.
enum AddonType : int32_t {
    AddonBluetooth = 0,
    AddonWifi = 1,
    AddonPhoneRadio = 2,
    AddonPushMail = 3,
    AddonMessages = 4,
    AddonEmail = 5,
    AddonMissedCalls = 6,
    AddonVoiceMail = 7,
    AddonLineBreak = 8,
    AddonDataConnection = 9,
    AddonWifiMeter = 10,
    AddonBattery = 11,
    AddonCpuMeter = 12,
    AddonBrightness = 13,
};

// Hit areas: 0 profile icon, 1 profile name, 2 time-out text, 3 trigger icon,
// 4 lock icon, 5 ... 19 the placed add-ons in slot order.
constexpr int kHitCount = 20;
constexpr int kHitProfileIcon = 0;
constexpr int kHitProfileName = 1;
constexpr int kHitTimeOut = 2;
constexpr int kHitTrigger = 3;
constexpr int kHitLock = 4;
constexpr int kHitFirstAddon = 5;
// The selection and navigation value of "nothing".
constexpr int kNoHit = 100;

// Grid cell size in 96-dpi units, and the first add-on column of the two
// rows beside the profile area.
constexpr int kCellWidth = 18;
constexpr int kCellHeight = 20;
constexpr int kFirstAddonColumn = 5;

// A keyboard-navigation position; (kNoHit, kNoHit) is not navigable.
struct NavPos {
    int row = kNoHit;     // grid row
    int column = kNoHit;  // grid column
};

struct HitArea {
    plat::Rect rect;  // in item client pixels; empty when the area has no content
    NavPos nav;       // where the area sits for the navigation keys
};

// What the layout depends on.
struct LayoutInput {
    int32_t width = 0;                        // the Today screen's client width, pixels
    int32_t dpiX = 96;                        // screen density, horizontal
    int32_t dpiY = 96;                        // screen density, vertical
    const tlw::TodayItem* slots = nullptr;    // the kTodayItemCount add-on slots
    bool thumbMenu = false;                   // the [Today] option thumb_menu
    bool profileRunning = false;              // a profile runs (RunningProfile is not 700)
};

// The computed layout.
struct TodayLayout {
    int32_t width = 0;            // the width it was made for, pixels
    int32_t columns = 0;          // grid columns: 12, 16, 21 or 30
    int32_t rows = 1;             // grid rows the item takes
    int32_t height = 0;           // item height, pixels (rows x 20 units)
    int32_t freeLeft = 0;         // free columns at the left end of row 0 (the name reserve)
    bool nameHidden = false;      // the name area shows only the profile's icon
    HitArea hits[kHitCount];      // the hit areas
    plat::Rect nameHighlight;     // the highlight rectangle of the profile name
    int32_t slotOfHit[kHitCount]; // the [Today] slot placed at an add-on hit area, -1 for none
    plat::Rect meterRect[kHitCount];  // Wi-Fi, battery and CPU meters: the drawn rectangle
    plat::Rect cpuBar;            // the CPU meter's inner bar
    int32_t cpuHit = -1;          // hit area of the CPU meter, -1 when none
    int32_t sliderHit = -1;       // hit area of the brightness slider, -1 when none
    plat::Rect sliderRect;        // where the slider control goes
};

// Scales 96-dpi units to pixels: (units x dpi + 48) / 96, sign kept.
int32_t ScaleUnits(int32_t units, int32_t dpi);

// Grid columns for a width in pixels (compared in scaled units).
int32_t ColumnsForWidth(int32_t width, int32_t dpiX);

// Computes the whole layout.
void ComputeLayout(const LayoutInput& input, TodayLayout* layout);

// Makes the time-out area (hit 2) navigable once it shows a time-out, or
// not navigable again when it does not.
void SetTimeOutNavigable(TodayLayout* layout, bool shown);

}  // namespace today
