// The option record and the small item tables of the configuration: Today
// items, popup switches, popup counters and location entries.
#pragma once

#include <cstdint>

#include "base/fixed_string.h"

namespace tlw {

constexpr int kTodayItemCount = 15;    // items of the Today plug-in
constexpr int kPopupSwitchCount = 5;   // switches of the popup menu
constexpr int kPopupCounterCount = 4;  // counters of the popup menu
constexpr int kMaxLocations = 16;      // location entries read at most

struct Options {
    int32_t language = 0;            // index of the language section in the language file
    int32_t bklLevels = 0;           // backlight level count
    int32_t layout = 0;              // Today page preset: 0, 1 presets, 2 custom
    int32_t bar_icon = 0;            // taskbar icon mode; 2 uses taskbar_icon_pos
    int32_t taskbar_icon_pos = 0;    // taskbar icon position in pixels
    int32_t menu_type = 0;           // popup menu style
    bool skin_enabled = false;       // draw with the skin images
    FixedString<260> skin;           // skin folder, ending in a backslash
    FixedString<260> iconStore;      // icon-store folder for the resolution; never stored
    int32_t bklmin = 0;              // lowest backlight level
    FixedString<50> voicemail;       // voice-mail number
    bool thumb_menu = false;         // menu style of the plug-in and popup
    bool tdy_sound = false;          // click sound on taps
    int32_t locationMode = 0;        // location sensing: 0 cell towers, 1 access points (`location_mode`)
};

struct TodayItem {
    bool enabled = false;  // the item is shown
    int32_t type = 0;      // what it shows
    bool height = false;   // size flag: tall
    bool width = false;    // size flag: wide
};

struct PopupSwitch {
    bool enabled = false;  // the switch is shown
    int32_t type = 0;      // which switch
};

struct PopupCounter {
    bool enabled = false;  // the counter is shown
    int32_t type = 0;      // which counter
};

struct LocationEntry {
    FixedString<32> name;         // the Location profile it belongs to
    int32_t cell = 0;             // cell identity: LAC * 65536 + cell id
    FixedString<32> accessPoint;  // access point MAC text (`locationap%d`); empty when none
};

struct LocationTable {
    LocationEntry entries[kMaxLocations];  // entries 0 .. count-1 are in use
    int32_t count = 0;                     // number of entries in use
};

}  // namespace tlw
