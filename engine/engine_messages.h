// The engine's window messages, command and parameter numbers, shared by
// every party that talks to the engine window "Tallowd".
#pragma once

#include <cstdint>

namespace tlw {

inline constexpr char16_t kEngineClass[] = u"Tallowd";  // class name of the engine window
inline constexpr char16_t kEngineTitle[] = u"Tallowd";  // its title
constexpr int kEngineVersion = 2201;                    // printed in log lines

enum EngineMessage : uint32_t {
    TLWM_SHOWMENU = 2259,      // second instance with empty command line: show the popup menu
    TLWM_ICONNOTIFY = 2260,    // notification-area icon: icon id / mouse message
    TLWM_PARAMETER = 2261,     // parameter or 9xx command in wParam
    TLWM_RELOAD = 2262,        // the configuration was saved: reload
    TLWM_REPEAT1 = 2263,       // replay notification sound of slot 1 (2264..2266: slots 2..4)
    TLWM_REPEAT4 = 2266,
    TLWM_REPEATEND = 2267,     // end of notification repetition
    TLWM_TODAYMENU = 2268,     // the Today plug-in asks for the skinned popup
    TLWM_NOTIFICATION = 2269,  // registry change: shell notification shown
    TLWM_CRADLE = 2270,        // registry change: cradle
    TLWM_ACCESSORY = 2271,     // registry change: headset, car kit, hands-free, Bluetooth audio
    TLWM_TIMEZONE = 2272,      // registry change: time zone
    TLWM_LOCKED = 2273,        // registry change: Locked
    TLWM_PHONESTATUS = 2284,   // registry change: phone status
    TLWM_LOCATION = 2288,      // the location-sensing thread: cell or access point
};

// Calendar store notifications: item created, deleted, changed elsewhere.
constexpr uint32_t kCalendarItemCreated = 33029;
constexpr uint32_t kCalendarItemDeleted = 33030;
constexpr uint32_t kCalendarItemChanged = 33031;

// The settle timer of power and accessory changes.
constexpr uint32_t IDT_POWERCHECK = 12587;
constexpr uint32_t kPowerSettleMs = 15000;      // after a power-status notification
constexpr uint32_t kAccessorySettleMs = 5000;   // after a cradle or accessory change

// Parameters with a meaning of their own.
enum EngineParameter : int32_t {
    kParamPowerChange = 10,
    kParamMidnight = 16,
    kParamLocation = 20,
    kParamCalendarDue = 30,
    kParamKeepManual = 34,
    kParamCalendarChanged = 35,
    kParamBacklight = 40,
    kParamCallActive = 50,
    kParamCallOffered = 51,
    kParamManualBase = 100,
    kParamTimeSlotBase = 200,
    kParamReevaluate = 500,
    kParamSkipCalendar = 701,
    kParamSkipPower = 702,
    kParamSkipLocation = 703,
    kParamTimeoutChanged = 720,
};

}  // namespace tlw
