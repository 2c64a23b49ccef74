// The item's start and end: the initialisation sequence of WM_CREATE, the
// configuration and skin loads it shares with the reload, the layout glue,
// and the shutdown of WM_DESTROY.
#include <algorithm>

#include "common/config/config_load.h"
#include "common/config/log_file.h"
#include "common/config/registry_state.h"
#include "common/device/flexmail.h"
#include "common/graphics/image_loader.h"
#include "common/graphics/screen_scale.h"
#include "base/text.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/cpu_time.h"
#include "platform/kernel/sync_objects.h"
#include "platform/kernel/wait.h"
#include "platform/message/timers.h"
#include "platform/window/window.h"
#include "today/today_plugin.h"

namespace today {
namespace {

constexpr char16_t kShellReadyEvent[] = u"SYSTEM/ShellAPIReady";
constexpr uint32_t kShellReadyWaitMs = 1000;

// Pattern bitmaps: the 96-dpi and the high-resolution set, by brush.
constexpr int kPatternLow[kPatternBrushCount] = {104, 109, 111, 113, 107};
constexpr int kPatternHigh[kPatternBrushCount] = {106, 110, 112, 105, 108};

plat::HFont MakeFont(const plat::LogFont& base, int32_t height, int32_t weight) {
    plat::LogFont font = base;
    font.height = height;
    font.weight = weight;
    return plat::CreateFontIndirect(font);
}

void CreateFonts() {
    plat::LogFont system;
    plat::GetFontInfo(plat::GetStockFont(plat::kSystemFont), &system);
    int32_t height = -(16 * tlw::ScreenDpiY() / 72) / 2;
    TodayState& s = Plugin();
    s.menuFont = MakeFont(system, height, system.weight);
    s.menuBoldFont = MakeFont(system, height, plat::kFwBold);
    s.itemFont = MakeFont(system, height, plat::kFwBold);
    s.smallFont = MakeFont(system, height + 2, plat::kFwNormal);  // 2 smaller in magnitude
}

void DeleteFonts() {
    TodayState& s = Plugin();
    for (plat::HFont* font : {&s.menuFont, &s.menuBoldFont, &s.itemFont, &s.smallFont}) {
        if (*font) plat::DeleteObject(*font);
        *font = {};
    }
}

void LoadPatternBrushes() {
    TodayState& s = Plugin();
    bool low = tlw::ScaleX(1) == 1;
    for (int i = 0; i < kPatternBrushCount; ++i) {
        std::u16string name = tlw::Utf8ToUtf16(std::to_string(low ? kPatternLow[i] : kPatternHigh[i]));
        plat::HBitmap bitmap = plat::LoadBitmap(kResourceModule, name);
        if (!bitmap) continue;
        s.patterns[i] = plat::CreatePatternBrush(bitmap);
        plat::DeleteObject(bitmap);  // the brush keeps its own copy
    }
}

void DeleteBrushes() {
    TodayState& s = Plugin();
    for (plat::HBrush& brush : s.patterns) {
        if (brush) plat::DeleteObject(brush);
        brush = {};
    }
    for (plat::HBrush* brush : {&s.menuHighlightBrush, &s.menuWhiteBrush, &s.highlightBrush}) {
        if (*brush) plat::DeleteObject(*brush);
        *brush = {};
    }
    if (s.cpuPen) plat::DeleteObject(s.cpuPen);
    s.cpuPen = {};
}

// Starts the item's state afresh: the Today screen may make the item again
// while the library stays loaded.
void ResetItemState() {
    TodayState& s = Plugin();
    s.timeOutText.Clear();
    for (int i = 0; i < kCounterCount; ++i) {
        s.counts[i] = 0;
        s.countTexts[i].Clear();
    }
    s.wifiConnected = false;
    s.linkSpeed = 0;
    s.wifiTextMode = 0;
    s.batteryTextMode = 0;
    std::fill(std::begin(s.cpuSamples), std::end(s.cpuSamples), 0);
    s.cpuWrite = 0;
    s.cpuOnlyRepaint = false;
    s.cpuTimerOn = false;
    s.brightnessBusy = false;
    s.sliderAdjust = false;
    s.slider = {};
    s.layout = TodayLayout{};
    s.layoutChanged = false;
    s.screenRect = {};
    s.selection = kNoHit;
    s.hasSelection = false;
}

}  // namespace

void LogToday(std::u16string_view line) {
    if (tlw::QueryLogMode() & tlw::kLogToday) tlw::WriteLog(line, true);
}

void LoadConfiguration() {
    TodayState& s = Plugin();
    tlw::ReadConfigurationAndLanguage(s.model, s.language);
}

void LoadSkin() {
    TodayState& s = Plugin();
    tlw::SkinSource source;
    source.skinsFolder = s.paths.skinsFolder.Str();
    source.skin = s.model.options.skin.Str();
    source.skinEnabled = s.model.options.skin_enabled;
    for (tlw::RgbaImage& image : s.images) image = {};
    tlw::LoadSkinImages(tlw::kPluginSkinSlots, s.images, source);
}

void RecomputeLayout() {
    TodayState& s = Plugin();
    LogToday(u"TODAY PLUGIN: Calculating layout");
    plat::Rect client;
    if (s.parent) plat::GetClientRect(s.parent, &client);
    else if (s.window) plat::GetClientRect(s.window, &client);
    LayoutInput input;
    input.width = client.right - client.left;
    input.dpiX = tlw::ScreenDpiX();
    input.dpiY = tlw::ScreenDpiY();
    input.slots = s.model.todayItems;
    input.thumbMenu = s.model.options.thumb_menu;
    input.profileRunning = s.currentProfile != tlw::kNoProfile;
    // The special add-ons of the previous layout go first.
    if (s.cpuTimerOn && s.window) plat::KillTimer(s.window, kCpuTimerId);
    s.cpuTimerOn = false;
    DestroySlider();
    ComputeLayout(input, &s.layout);
    SetTimeOutNavigable(&s.layout, !s.timeOutText.Empty());
    if (s.layout.cpuHit >= 0) StartCpuSampling();
    if (s.layout.sliderHit >= 0) CreateSlider();
}

void InitialisePlugin(plat::Hwnd hwnd) {
    TodayState& s = Plugin();
    ResetItemState();
    s.window = hwnd;
    s.parent = plat::GetParent(hwnd);
    tlw::InitScreenScale(false);
    tlw::StartImaging();
    s.initialised = false;
    LogToday(u"TODAY PLUGIN: Initialize Plugin");

    // The shell may still be starting: wait for it a little, and stay blank
    // when it does not come up.
    plat::Handle ready = plat::OpenEvent(kShellReadyEvent);
    if (ready) {
        uint32_t waited = plat::WaitForSingleObject(ready, kShellReadyWaitMs);
        plat::CloseHandle(ready);
        if (waited == plat::kWaitTimeout) return;
    }
    s.initialised = true;
    s.hasSelection = false;
    s.selection = kNoHit;

    s.paths = tlw::BuildConfigPaths();
    LoadConfiguration();

    // CPU sampling prefers the kernel's idle time.
    s.coredll = plat::LoadLibrary(u"coredll.dll");
    s.getIdleTime = s.coredll ? plat::GetProcAddress(s.coredll, "GetIdleTime") : nullptr;
    if (s.getIdleTime) {
        s.cpuMethod = CpuMethod::kIdleTime;
        s.lastIdle = reinterpret_cast<uint32_t (*)()>(s.getIdleTime)();
        s.lastTick = plat::GetTickCount();
    } else {
        s.cpuMethod = CpuMethod::kThreadTimes;
        TakeCpuSample();  // the first reading is the base of the next
    }
    s.cpuPen = plat::CreatePen(plat::kPsSolid, tlw::ScaleX(1), plat::Rgb(255, 0, 0));
    s.cpuGraph = true;

    s.menuHighlightBrush = plat::CreateSolidBrush(plat::GetSysColor(plat::kColorHighlight));
    s.menuWhiteBrush = plat::CreateSolidBrush(plat::Rgb(255, 255, 255));
    CreateFonts();
    LoadSkin();

    std::fill(std::begin(s.switchStates), std::end(s.switchStates), 0);
    s.locked = tlw::ReadLocked();
    s.currentProfile = tlw::ReadRunningProfile();
    s.lastProfile = s.currentProfile;
    s.manual = s.currentProfile != tlw::kNoProfile && tlw::ReadManualProfile() == s.currentProfile;
    if (s.currentProfile >= 0 && s.currentProfile < s.model.profiles.count &&
        s.model.profiles.profiles[s.currentProfile].eventType != tlw::kEventManual)
        s.manual = false;

    StartPowerThread();

    s.batteryTextMode = 0;
    ReadBatteryState();
    LoadPatternBrushes();

    for (tlw::AccessPointInfo& ap : s.accessPoints) {
        ap = {};
        ap.signal = -90;
    }
    s.connectedAccessPoint = -1;
    s.brightness = 100;
    s.sliderAdjust = false;
    tlw::PathString flexMail;
    s.flexMailInstalled = tlw::FindFlexMail(&flexMail);
    ReadCounterState();
    s.batteryDirty = true;
    s.layoutChanged = false;
}

void ShutdownPlugin(plat::Hwnd hwnd) {
    TodayState& s = Plugin();
    StopPowerThread();
    plat::KillTimer(hwnd, kCpuTimerId);
    s.cpuTimerOn = false;
    DestroySlider();
    DeleteFonts();
    DeleteBrushes();
    if (s.coredll) plat::FreeLibrary(s.coredll);
    s.coredll = 0;
    s.getIdleTime = nullptr;
    tlw::StopImaging();
    s.initialised = false;
    s.window = {};
    s.parent = {};
}

}  // namespace today
