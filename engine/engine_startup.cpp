// Start-up of the engine: the hand-off of a second start to the running
// instance, and the set-up of the first instance.
#include <memory>

#include "common/config/config_file.h"
#include "common/config/config_load.h"
#include "common/config/language_file.h"
#include "common/config/log_file.h"
#include "common/config/registry_key.h"
#include "common/config/registry_state.h"
#include "common/device/flexmail.h"
#include "common/device/location_reading.h"
#include "common/device/location_sensing.h"
#include "common/device/probes.h"
#include "common/graphics/image_loader.h"
#include "base/text.h"
#include "engine/calendar_trigger.h"
#include "engine/command_line.h"
#include "engine/engine_actions.h"
#include "engine/engine_log.h"
#include "engine/engine_main.h"
#include "engine/engine_messages.h"
#include "engine/later_parts.h"
#include "engine/taskbar_icon.h"
#include "engine/sound_repetition.h"
#include "engine/wake_ups.h"
#include "platform/hardware/device_model.h"
#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/window/registry_notify.h"
#include "platform/window/system_info.h"
#include "platform/kernel/threads.h"
#include "platform/window/window.h"

namespace tlw {
namespace {

std::unique_ptr<EngineState> g_engine;  // the engine record of this process

constexpr uint32_t kReadyPollMs = 200;  // poll interval of the wait for the shell

// One registry-change notification of the engine window.
struct RegistryWatch {
    plat::HKey root;            // HKLM or HKCU
    const char16_t* key;        // key below the root
    const char16_t* value;      // watched value
    uint32_t message;           // message sent to the window
    uint32_t mask;              // bits compared; all bits for any change
};

constexpr RegistryWatch kRegistryWatches[9] = {
    {plat::kHkeyLocalMachine, u"System\\State\\Shell\\Notifications\\Active", u"ID", TLWM_NOTIFICATION, 0},
    {plat::kHkeyLocalMachine, u"System\\State\\Hardware", u"Cradled", TLWM_CRADLE, 0},
    {plat::kHkeyLocalMachine, u"System\\State\\Hardware", u"Headset", TLWM_ACCESSORY, 0},
    {plat::kHkeyLocalMachine, u"System\\State\\Hardware", u"Car Kit", TLWM_ACCESSORY, 0},
    {plat::kHkeyLocalMachine, u"System\\State\\Hardware", u"Handsfree", TLWM_ACCESSORY, 0},
    {plat::kHkeyLocalMachine, u"System\\State\\Hardware", u"Bluetooth", TLWM_ACCESSORY, 0x10},
    {plat::kHkeyLocalMachine, u"System\\State\\DateTime", u"Timezone Bias", TLWM_TIMEZONE, 0},
    {plat::kHkeyCurrentUser, kTallowinKey, u"Locked", TLWM_LOCKED, 0},
    {plat::kHkeyLocalMachine, u"System\\State\\Phone", u"Status", TLWM_PHONESTATUS, 0x10},
};

void RegisterRegistryWatches(EngineState& engine) {
    for (int i = 0; i < 9; ++i) {
        const RegistryWatch& w = kRegistryWatches[i];
        plat::RegistryNotifyCondition condition;
        if (w.mask != 0) {
            condition.kind = plat::RegistryNotifyCondition::kRegMaskChange;
            condition.mask = w.mask;
        }
        plat::HRegNotify handle = 0;
        plat::RegistryNotifyWindow(w.root, w.key, w.value, engine.mainWindow, w.message, 0, &condition, &handle);
        engine.registryWatches[i] = handle;
    }
}

void TakeScreenResources(EngineState& engine) {
    engine.screenWidth = plat::GetSystemMetrics(plat::kSmCxScreen);
    engine.screenHeight = plat::GetSystemMetrics(plat::kSmCyScreen);
    engine.textColor = plat::GetSysColor(plat::kColorWindowText);
    engine.highlightBrush = plat::CreateSolidBrush(plat::GetSysColor(plat::kColorHighlight));
    engine.whiteBrush = plat::CreateSolidBrush(0x00FFFFFF);
    plat::LogFont system;
    plat::GetFontInfo(plat::GetStockFont(plat::kSystemFont), &system);
    system.height = system.height < 0 ? system.height - 1 : system.height + 1;
    system.weight = plat::kFwNormal;
    engine.font = plat::CreateFontIndirect(system);
    system.weight = 700;
    engine.boldFont = plat::CreateFontIndirect(system);
}

void ReadOemFlags(EngineState& engine) {
    char16_t oem[100] = {};
    plat::SystemParametersInfo(plat::kSpiGetOemInfo, sizeof oem, oem, 0);
    std::u16string_view text(oem);
    engine.treo = text.find(u"Palm Treo") != std::u16string_view::npos;
    engine.treo800w = text.find(u"Palm Treo 800w") != std::u16string_view::npos;
}

}  // namespace

EngineState& Engine() {
    if (!g_engine) g_engine = std::make_unique<EngineState>();
    return *g_engine;
}

EngineState& ResetEngine() {
    g_engine = std::make_unique<EngineState>();
    return *g_engine;
}

void LoadEngineSkin(EngineState& engine) {
    SkinSource source;
    source.skinsFolder = engine.paths.skinsFolder.Str();
    source.skin = engine.model.options.skin.Str();
    source.skinEnabled = engine.model.options.skin_enabled;
    for (RgbaImage& image : engine.skin) FreeImage(&image);
    LoadSkinImages(kEngineSkinSlots, engine.skin, source);
}

void ReloadConfiguration(EngineState& engine) {
    ReadConfigurationAndLanguage(engine.model, engine.language);
}

TriggerSources TriggerSourcesAtStart(const EngineState& engine) {
    TriggerSources sources;
    bool locationProfiles = HasEnabledProfileOfKind(engine, kEventLocation);
    int32_t mode = engine.model.options.locationMode;
    if (engine.deviceStates[kStatePhone] == 1 && mode == 0) {
        if (locationProfiles) sources.sensingMode = 0;
        sources.callMonitoring = true;
    }
    if (mode == 1 && locationProfiles) sources.sensingMode = 1;
    return sources;
}

void InitializeEngineState(EngineState& engine) {
    engine.locked = ReadLocked();
    engine.paths = BuildConfigPaths();
    for (int i = 0; i < 4; ++i) engine.model.profiles.profiles[i].name.Clear();
    ReloadConfiguration(engine);
    TakeScreenResources(engine);
    LoadEngineSkin(engine);
    engine.iconWindow = {};
    int32_t running = ReadRunningProfile();
    engine.displayedProfile = running;
    engine.lastDisplayedProfile = running;
    int32_t manual = ReadManualProfile();
    engine.manualActive = manual != kNoProfile && manual == running;
    RefreshIcon(engine, false);
    ReadOemFlags(engine);
    InitRepetitionSlots(engine);
    DeleteAllOwnWakeUps(engine);
    engine.repetitionWanted = ComputeRepetition(engine, engine.displayedProfile);
    if (engine.displayedProfile != kNoProfile && IsProfileIndex(engine, engine.displayedProfile) &&
        engine.model.profiles.profiles[engine.displayedProfile].eventType != kEventManual && engine.manualActive)
        engine.manualActive = false;
    engine.powerLog = engine.logMode >= 1;  // read by the power thread: set before it starts
    StartPowerThread(engine);
    engine.cradled = false;
    engine.headset = false;
    engine.callMonitoring = false;
    engine.flexMail = FindFlexMail(&engine.flexMailProgram);
    InitSensing();
    RegisterRegistryWatches(engine);
    engine.watched.processId.store(0);
    engine.watched.thread = {};
    engine.watched.event = {};
}

int RunEngine(std::u16string_view commandLine) {
    uint32_t instance = plat::Random();
    // Only a command line that names a profile needs the profile table, and
    // so the engine's record (some 450 KB) before the running engine is
    // looked for: a second start that hands a number on never builds it.
    EngineState* record = nullptr;
    int32_t parameter = kNoDecision;
    if (IsProfileNameCommandLine(commandLine)) {
        record = &Engine();
        record->paths = BuildConfigPaths();
        ReloadConfiguration(*record);
        parameter = ParseCommandLine(commandLine, record->model.profiles);
    } else {
        parameter = ParseNumberCommandLine(commandLine);
    }
    uint32_t logMode = QueryLogMode();
    if (logMode & kLogEvents)
        WriteLog(Format(u"Entering program. Command line:%s Instance=%08X", {commandLine, instance}), true);

    plat::Hwnd running = plat::FindWindow(kEngineClass, nullptr);
    if (!running) running = plat::FindWindow(nullptr, kEngineTitle);
    if (running) {
        HandOff h = HandOffFor(commandLine, parameter);
        plat::SendNotifyMessage(running, h.message, h.wParam, 0);
        return 0;
    }

    EngineState& engine = record ? *record : Engine();
    engine.instance = instance;
    engine.logMode = QueryLogMode();
    plat::WndClass wc;
    wc.className = kEngineClass;
    wc.proc = EngineWindowProc;
    wc.style = plat::CS_HREDRAW | plat::CS_VREDRAW;
    plat::RegisterClass(wc);
    engine.mainWindow = plat::CreateWindow(kEngineClass, kEngineTitle, plat::WS_POPUP | plat::WS_CAPTION, 0, 50, 0, 50, {});
    while (!plat::IsApiReady(plat::kShShell) || !plat::IsApiReady(plat::kShGdi) || !plat::IsApiReady(plat::kShWmgr))
        plat::Sleep(kReadyPollMs);

    StartImaging();  // the image-decoding factory of the imaging component
    InitializeEngineState(engine);
    RegisterCalendarNotifications(engine);
    ReadDeviceStates(engine);
    FindOwnWakeUps(engine, kDeleteCellVerify);
    TriggerSources sources = TriggerSourcesAtStart(engine);
    if (sources.sensingMode >= 0) StartLocationSensing(sources.sensingMode);
    if (sources.callMonitoring) engine.callMonitoring = OpenCallMonitoring(engine);
    if (!engine.locked) {
        WriteRunningProfile(kNoProfile, kNoRunningProfileName, u"", 0);
        SetDisplayedProfile(engine, kNoProfile);
        ProcessParameter(engine, kParamReevaluate);
    }
    if (!commandLine.empty() && commandLine[0] == u'9') {
        ProcessCommand(engine, ParseInt(commandLine));
    } else if (!commandLine.empty() && ParseInt(commandLine) < 1024) {
        ProcessParameter(engine, ParseInt(commandLine));
    }
    return plat::RunMessageLoop();
}

}  // namespace tlw
