// The engine window's procedure: every event reaches the engine here and is
// handled on its one window thread.
#include "common/config/log_file.h"
#include "common/config/registry_state.h"
#include "common/device/location_reading.h"
#include "common/device/location_sensing.h"
#include "common/device/probes.h"
#include "common/graphics/image_loader.h"
#include "base/text.h"
#include "engine/calendar_trigger.h"
#include "engine/engine_actions.h"
#include "engine/engine_log.h"
#include "engine/engine_main.h"
#include "engine/engine_messages.h"
#include "engine/engine_menus.h"
#include "engine/later_parts.h"
#include "engine/taskbar_icon.h"
#include "engine/sound_repetition.h"
#include "engine/program_watch.h"
#include "engine/wake_ups.h"
#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/window/registry_notify.h"
#include "platform/message/timers.h"
#include "platform/window/window.h"

namespace tlw {
namespace {

void OnLocation(EngineState& engine, plat::WParam wParam) {
    if (engine.model.options.locationMode == 1) {
        const char16_t* text = reinterpret_cast<const char16_t*>(wParam);
        std::u16string_view ap = text ? std::u16string_view(text) : std::u16string_view();
        LogDetail(engine, u"WIFI AP changed to: %s", {ap});
        int32_t running = ReadRunningProfile();
        if (!ap.empty() || (IsProfileIndex(engine, running) &&
                            engine.model.profiles.profiles[running].eventType == kEventLocation))
            ProcessParameter(engine, kParamLocation);
    } else {
        LogDetail(engine, u"Cell tower changed to: %d", {static_cast<int32_t>(wParam)});
        ProcessParameter(engine, kParamLocation);
    }
}

void OnPhoneStatus(EngineState& engine) {
    engine.deviceStates[kStatePhone] = IsPhoneOn() ? 1 : 0;
    bool locationProfiles = HasEnabledProfileOfKind(engine, kEventLocation);
    if (engine.deviceStates[kStatePhone] == 1 && engine.model.options.locationMode == 0) {
        if (locationProfiles) StartLocationSensing(0);
        engine.callMonitoring = OpenCallMonitoring(engine);
    } else {
        if (engine.model.options.locationMode == 1) {
            if (locationProfiles) StartLocationSensing(1);
        } else {
            StopLocationSensing();
        }
        CloseCallMonitoring(engine);
    }
    RefreshIcon(engine, false);
}

void OnReload(EngineState& engine) {
    ReloadConfiguration(engine);
    // The displayed profile's sound settings may have changed with the file.
    engine.repetitionWanted = ComputeRepetition(engine, engine.displayedProfile);
    LoadEngineSkin(engine);
    engine.deviceStates[kStatePhone] = IsPhoneOn() ? 1 : 0;
    if (HasEnabledProfileOfKind(engine, kEventLocation) &&
        (engine.deviceStates[kStatePhone] == 1 || engine.model.options.locationMode == 1))
        StartLocationSensing(engine.model.options.locationMode);
    ProcessParameter(engine, kParamReevaluate);
    RefreshIcon(engine, true);
    RefreshIcon(engine, false);
}

// The plain menu when `menu_type` is 0, else the skinned one; the chosen
// command is carried out.
void ShowPopupMenu(EngineState& engine, bool skinned) {
    int32_t command = skinned ? ShowSkinnedMenu(engine) : ShowPlainMenu(engine, engine.mainWindow);
    if (command != 0) RunMenuCommand(engine, command);
}

void OnParameter(EngineState& engine, plat::WParam wParam) {
    std::u16string text = Format(u"%d", {static_cast<int32_t>(static_cast<uint32_t>(wParam))});
    if (text.empty()) return;
    if (text[0] == u'9') ProcessCommand(engine, ParseInt(text));
    else ProcessParameter(engine, ParseInt(text));
}

}  // namespace

plat::LResult EngineWindowProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    EngineState& engine = Engine();
    bool isIconWindow = engine.iconWindow && hwnd == engine.iconWindow;
    switch (message) {
    case TLWM_REPEAT1:
    case TLWM_REPEAT1 + 1:
    case TLWM_REPEAT1 + 2:
    case TLWM_REPEAT4:
        RepeatSlot(engine, static_cast<int>(message - TLWM_REPEAT1) + 1, true);
        return 0;
    case TLWM_REPEATEND:
        EndNotificationRepetition(engine);
        return 0;
    case TLWM_LOCATION:
        OnLocation(engine, wParam);
        return 0;
    case TLWM_TODAYMENU:
        ShowPopupMenu(engine, true);
        return 0;
    case TLWM_NOTIFICATION:
        if (engine.repetitionWanted) CheckShownNotifications(engine);
        return 0;
    case TLWM_CRADLE:
        TakeCradleSnapshot(engine);
        plat::SetTimer(engine.mainWindow, IDT_POWERCHECK, kAccessorySettleMs);
        return 0;
    case TLWM_ACCESSORY:
        TakeAccessorySnapshot(engine);
        plat::SetTimer(engine.mainWindow, IDT_POWERCHECK, kAccessorySettleMs);
        return 0;
    case TLWM_TIMEZONE:
        ProcessParameter(engine, kParamMidnight);
        return 0;
    case TLWM_LOCKED:
        engine.locked = ReadLocked();
        RefreshIcon(engine, false);
        return 0;
    case TLWM_PHONESTATUS:
        OnPhoneStatus(engine);
        return 0;
    case kCalendarItemCreated:
    case kCalendarItemDeleted:
    case kCalendarItemChanged:
        if (HasEnabledProfileOfKind(engine, kEventOutlook)) ProcessParameter(engine, kParamCalendarChanged);
        return 1;
    case TLWM_RELOAD:
        OnReload(engine);
        return 0;
    case plat::WM_TIMER:
        plat::KillTimer(engine.mainWindow, IDT_POWERCHECK);
        ProcessParameter(engine, kParamPowerChange);
        return 0;
    case plat::WM_DRAWITEM:
    case plat::WM_MEASUREITEM:
        return HandleMenuItemMessage(engine, message, wParam, lParam);
    case plat::WM_PAINT: {
        plat::PaintStruct ps;
        plat::BeginPaint(hwnd, &ps);
        if (isIconWindow) PaintTaskbarIcon(engine, ps.hdc);
        plat::EndPaint(hwnd, &ps);
        return 0;
    }
    case plat::WM_CLOSE:
        if (isIconWindow) break;
        plat::DestroyWindow(engine.mainWindow);
        return 0;
    case plat::WM_DESTROY:
        if (isIconWindow) return 0;  // the icon window goes with every reload; the engine stays
        LogEvent(engine, u"Exiting program.");
        LogEvent(engine, u"", {}, false);
        if (hwnd == engine.mainWindow) ShutDownEngine(engine);
        return 0;
    case TLWM_PARAMETER:
        OnParameter(engine, wParam);
        return 0;
    case TLWM_SHOWMENU:
        ShowPopupMenu(engine, engine.model.options.menu_type != 0);
        return 0;
    case TLWM_ICONNOTIFY:
        if (lParam == plat::WM_LBUTTONUP) ShowPopupMenu(engine, engine.model.options.menu_type != 0);
        return 0;
    case plat::WM_LBUTTONDOWN:
        if (isIconWindow) {
            ShowPopupMenu(engine, engine.model.options.menu_type != 0);
            return 0;
        }
        break;
    default:
        break;
    }
    return plat::DefWindowProc(hwnd, message, wParam, lParam);
}

void ShutDownEngine(EngineState& engine) {
    for (uint64_t& watch : engine.registryWatches) {
        if (watch) plat::RegistryCloseNotification(watch);
        watch = 0;
    }
    CloseCallMonitoring(engine);
    StopLocationSensing();
    DeleteSensing();
    ReleaseMediaPlayer(engine);
    DeleteAllOwnWakeUps(engine);
    if (engine.treo) StopNotificationRepetition(engine);
    LogOffCalendar(engine);
    plat::KillTimer(engine.mainWindow, IDT_POWERCHECK);
    StopPowerThread(engine);
    EndWatchThread(engine);
    RefreshIcon(engine, true);
    StopImaging();
    plat::DeleteObject(engine.font);
    plat::DeleteObject(engine.boldFont);
    engine.ownWindowsDestroyed = true;
    plat::PostQuitMessage(0);
}

}  // namespace tlw
