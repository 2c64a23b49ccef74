// The Today plug-in's state: one record per process (the Today screen makes
// at most one item of this kind), shared by the window procedure, the
// refresh and the power-notification thread.
#pragma once

#include <atomic>
#include <cstdint>

#include "base/fixed_string.h"
#include "common/config/config_model.h"
#include "common/config/config_paths.h"
#include "common/config/language_table.h"
#include "common/device/counters.h"
#include "common/device/wifi.h"
#include "common/graphics/rgba_image.h"
#include "common/graphics/skin.h"
#include "platform/gdi/gdi_types.h"
#include "platform/hardware/library.h"
#include "platform/kernel/kernel_handle.h"
#include "today/today_layout.h"

namespace today {

// The window class and title of the item.
inline constexpr char16_t kTodayClassName[] = u"TlwToday";
// The timer of the CPU meter and its period.
constexpr uint32_t kCpuTimerId = 18468;
constexpr uint32_t kCpuTimerMs = 2000;
// CPU samples kept for the graph.
constexpr int kCpuSampleCount = 30;
// Resource identifiers of the library.
constexpr int kIconResource = 101;
constexpr int kTimeOutDialogResource = 102;
// The four counters: messages, e-mail, missed calls, voice mail.
constexpr int kCounterCount = tlw::kCounterCount;
// Battery percent when the platform gives none.
constexpr int kBatteryPercentUnknown = 255;

// The pattern brushes of the meters.
enum PatternBrush { kBrushGrey, kBrushGreen, kBrushRed, kBrushYellow, kBrushBlue, kPatternBrushCount };

// The CPU load reading method.
enum class CpuMethod { kIdleTime, kThreadTimes };

struct TodayState {
    // Library and window.
    plat::HModule instance = 0;           // set while the library is attached
    plat::HIcon icon;                     // the library's icon (resource 101, 16 x 16)
    plat::Hwnd window;                    // the item window made by the entry
    plat::Hwnd parent;                    // the Today screen's window
    bool initialised = false;             // the initialisation sequence completed

    // Configuration.
    tlw::ConfigPaths paths;               // install paths
    tlw::ConfigModel model;               // profiles, options and add-on slots
    tlw::LanguageTable language;          // language texts

    // The engine's shared state as last seen.
    int32_t currentProfile = tlw::kNoProfile;  // the running profile, or the menu's choice
    int32_t lastProfile = tlw::kNoProfile;     // RunningProfile at the last refresh
    bool manual = false;                  // the running profile was chosen by hand
    bool locked = false;                  // Locked
    tlw::FixedString<6> timeOutText;      // remaining manual time-out "HH:MM", or empty

    // Counters (messages, e-mail, missed calls, voice mail).
    int32_t counts[kCounterCount] = {};                 // the counts
    tlw::CounterText countTexts[kCounterCount];         // the counts as shown ("%2d")
    tlw::MailAccountName messageAccount;                // the text-message account
    tlw::MailAccountName mailAccount;                   // the e-mail account
    bool flexMailInstalled = false;                     // the alternative mail client is there
    bool flexMailUnread = false;                        // it reports unread mail

    // Switches and radios.
    uint8_t switchStates[tlw::kTodayItemCount] = {};    // shown state of each switch slot

    // Wi-Fi.
    bool wifiConnected = false;                         // Wi-Fi is on and connected
    uint32_t linkSpeed = 0;                             // link speed, 100 kbit/s
    tlw::AccessPointInfo accessPoints[tlw::kMaxAccessPoints] = {};  // visible access points
    int32_t connectedAccessPoint = -1;                  // index of the connected one
    int32_t wifiTextMode = 0;                           // 0 name, 1 channel, 2 speed

    // Battery.
    bool charging = false;                              // on external power
    int32_t batteryPercent = kBatteryPercentUnknown;    // 0 ... 100, 255 unknown
    int32_t batteryCurrent = 0;                         // mA
    std::atomic<bool> batteryDirty{false};              // set by the power thread
    int32_t batteryTextMode = 0;                        // 0 percent, 1 current

    // CPU meter.
    CpuMethod cpuMethod = CpuMethod::kThreadTimes;      // how the load is read
    void* getIdleTime = nullptr;                        // the platform's idle-time entry, when present
    plat::HModule coredll = 0;                          // the library it came from
    uint32_t lastIdle = 0;                              // idle time at the last sample, ms
    uint32_t lastTick = 0;                              // tick count at the last sample, ms
    uint64_t lastThreadTime = 0;                        // summed thread times at the last sample, 100 ns
    int32_t cpuSamples[kCpuSampleCount] = {};           // load percentages
    int32_t cpuWrite = 0;                               // next write position
    bool cpuGraph = true;                               // graph (true) or bar
    bool cpuTimerOn = false;                            // timer kCpuTimerId runs
    bool cpuOnlyRepaint = false;                        // the next paint copies only the CPU meter
    plat::HPen cpuPen;                                  // red, one scaled pixel

    // Brightness slider.
    int32_t brightness = 100;                           // slider position
    bool brightnessBusy = false;                        // the user just moved the slider
    bool sliderAdjust = false;                          // keyboard-adjust mode
    plat::Hwnd slider;                                  // the trackbar control

    // Layout and selection.
    TodayLayout layout;                                 // the current layout
    bool layoutChanged = false;                         // the height may have changed
    plat::Rect screenRect;                              // item rectangle on the screen
    int32_t selection = kNoHit;                         // selected hit area
    bool hasSelection = false;                          // the item has the Today screen's selection

    // Power-notification thread.
    plat::Handle stopEvent;                             // ends the thread
    plat::Handle powerThread;                           // the thread

    // Drawing resources.
    plat::HFont menuFont;                               // profile menu entries
    plat::HFont menuBoldFont;                           // the running profile's entry
    plat::HFont itemFont;                               // the item's text
    plat::HFont smallFont;                              // network name, battery current
    plat::HBrush patterns[kPatternBrushCount];          // meter gradients
    plat::HBrush menuHighlightBrush;                    // selected menu entry
    plat::HBrush menuWhiteBrush;                        // other menu entries
    plat::HBrush highlightBrush;                        // the Today screen's highlight colour
    tlw::RgbaImage images[tlw::kPluginSkinSlotCount];   // skin images by slot
};

// The process's plug-in state.
TodayState& Plugin();

}  // namespace today
