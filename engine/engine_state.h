// Everything the engine keeps while it runs, in one record per process.
// Every engine function starts from it; nothing lives in scattered globals.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "common/config/config_model.h"
#include "common/config/config_paths.h"
#include "common/config/language_table.h"
#include "common/graphics/rgba_image.h"
#include "common/graphics/skin.h"
#include "engine/sound_repetition.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/kernel_handle.h"
#include "platform/gdi/gdi_types.h"
#include "platform/pim/calendar_store.h"
#include "platform/message/messages.h"

namespace tlw {

struct EngineState;

constexpr uint32_t kMaxMonitoredLines = 50;  // line devices call monitoring opens at most

// The trigger evaluators consulted by the decision procedure; each returns a
// profile index or 600. Tests may replace them to set up a trigger.
struct TriggerEvaluators {
    int32_t (*calendar)(EngineState& engine);                       // appointment in progress
    int32_t (*power)(EngineState& engine, bool powerConnected);     // power source and accessories
    int32_t (*location)(EngineState& engine);                       // cell tower or access point
};
TriggerEvaluators DefaultTriggerEvaluators();

// Device states read by the probes, in this order; each 1 when on.
enum DeviceStateIndex : int { kStateWifi = 0, kStatePhone, kStateBluetooth, kStatePushMail, kStateData, kDeviceStateCount };

// The program started by the last activation and the thread that watches it.
struct WatchedProgram {
    std::atomic<uint32_t> processId{0};  // watched process; 0 when none
    std::atomic<bool> stop{false};       // asks the watch thread to end
    plat::Handle event;                  // event "TlwProgramMonitor"; none when not watching
    plat::Handle thread;                 // the watch thread; none when not watching
};

struct EngineState {
    uint32_t instance = 0;           // random number of this run, for log lines
    uint32_t logMode = 0;            // LogMode bits, re-read at start and per parameter
    bool powerLog = false;           // power lines are logged (LogMode at start >= 1)
    plat::Hwnd mainWindow;           // the hidden window "Tallowd"
    plat::Hwnd iconWindow;           // the in-taskbar icon window; none when absent
    bool iconPresent = false;        // the taskbar icon (window or notification icon) is shown
    plat::HIcon icon;                // the notification icon's picture; none when absent
    RgbaImage profileImage;          // the displayed profile's image, as the icon last showed it

    ConfigModel model;               // the configuration, read in place
    LanguageTable language;          // the texts of the selected language
    ConfigPaths paths;               // the install paths

    int32_t deviceStates[kDeviceStateCount] = {};  // Wi-Fi, phone, Bluetooth, push mail, data
    bool locked = false;             // copy of Locked
    int32_t displayedProfile = kNoProfile;      // profile the taskbar icon shows
    int32_t lastDisplayedProfile = kNoProfile;  // what it showed before
    bool manualActive = false;       // the displayed profile was chosen by hand
    bool repetitionWanted = false;   // the displayed profile repeats missed-event sounds
    bool treo = false;               // OEM information names a Palm Treo
    bool treo800w = false;           // ... the Palm Treo 800w
    RepetitionState repetition;      // repetition of missed-event sounds

    int32_t screenWidth = 0;         // screen size in pixels
    int32_t screenHeight = 0;

    RgbaImage skin[kEngineSkinSlotCount];  // the skin images of the icon and popup menu

    WatchedProgram watched;          // program of the last activation
    // A manual choice whose activation waits for a call to end: the profile
    // index, or 700. Only the retry its postponement scheduled applies it
    // (while it is still the recorded manual choice); any other parameter
    // 500 drops it together with that retry.
    int32_t delayedManualProfile = kNoProfile;
    uint32_t delayedRetry = 0;       // notification handle of that retry; 0 when none

    plat::HFont font;                // the system font, one unit taller
    plat::HFont boldFont;            // the same at weight 700
    plat::HBrush highlightBrush;     // system highlight colour
    plat::HBrush whiteBrush;         // white
    plat::ColorRef textColor = 0;    // the screen's text colour
    uint64_t registryWatches[9] = {};  // the registry-change notifications, in order
    plat::PimSession calendar;       // logon of the calendar notifications, start-up to shut-down
    bool callMonitoring = false;     // call monitoring is open
    uint32_t lineApp = 0;            // the telephony application; 0 when not initialised
    uint32_t lineCount = 0;          // line devices in use, at most kMaxMonitoredLines
    uint32_t lines[kMaxMonitoredLines] = {};  // the open line handles; 0 none
    bool cradled = false;            // cradle snapshot
    bool headset = false;            // accessory snapshot: headset, hands-free or Bluetooth audio
    bool flexMail = false;           // the FlexMail client is installed
    PathString flexMailProgram;      // its program, when installed
    bool ownWindowsDestroyed = false;  // the shut-down sequence ran

    plat::Handle powerStopEvent;     // stops the power-notification thread
    plat::Handle powerThread;        // the power-notification thread

    TriggerEvaluators triggers = DefaultTriggerEvaluators();  // the evaluators in use
};

}  // namespace tlw
