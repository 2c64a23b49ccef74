// What the popup menus' commands do: manual choice, automatic selection,
// the lock, the switches and counters, closing the engine and starting the
// configuration program.
#include <string>

#include "common/config/registry_state.h"
#include "common/device/device_operations.h"
#include "engine/engine_actions.h"
#include "engine/engine_log.h"
#include "engine/engine_messages.h"
#include "engine/engine_menus.h"
#include "engine/menu_targets.h"
#include "engine/taskbar_icon.h"
#include "platform/kernel/kernel_handle.h"
#include "platform/kernel/threads.h"
#include "platform/process/process.h"
#include "platform/controls/message_box.h"
#include "platform/message/message_loop.h"

namespace tlw {
namespace {

// Pauses that let an activation settle before the icon is redrawn.
constexpr uint32_t kChoiceSettleMs = 1000;
constexpr uint32_t kUnlockSettleMs = 3000;

constexpr char16_t kCaption[] = u"Tallowin";
constexpr int32_t kTextAskPhoneOn = 560;
constexpr int32_t kTextAskPhoneOff = 561;

// Item 510: toggles the lock. Locking ends a pending time-out (the profile
// stays chosen by hand without one); unlocking lets the triggers decide.
void ToggleLock(EngineState& engine) {
    bool lock = !ReadLocked();
    WriteLocked(lock);
    engine.locked = lock;
    if (lock) {
        if (ReadManualTimeOut() != 0) {
            WriteManualTimeOut(0);
            SetManualProfile(engine, ReadRunningProfile(), true);
        }
    } else {
        ProcessParameter(engine, kParamReevaluate);
        plat::Sleep(kUnlockSettleMs);
    }
    RefreshIcon(engine, false);
}

// The phone radio asks first: switching it off cuts the phone off.
void AskPhoneRadio(EngineState& engine, bool on) {
    std::u16string question = LanguageText(engine, on ? kTextAskPhoneOff : kTextAskPhoneOn);
    bool wasMuted = false;
    if (on) {
        // The question must be heard: the mute bit is lifted while it is asked.
        wasMuted = IsSoundMuted();
        if (wasMuted) SetSoundMuted(false);
    }
    int answer = plat::MessageBox(question, kCaption, plat::kMbOkCancel | plat::kMbIconQuestion);
    if (answer == plat::kIdOk) ProcessCommand(engine, on ? 922 : 912);
    if (on && wasMuted) SetSoundMuted(true);  // after the switch, which may touch the sound too
}

void RunItemType(EngineState& engine, int32_t type) {
    ReadDeviceStates(engine);
    bool on = SwitchIsOn(engine, type);
    switch (type) {
    case kItemBluetooth: ProcessCommand(engine, on ? 921 : 911); break;
    case kItemWifi: ProcessCommand(engine, on ? 920 : 910); break;
    case kItemPhone: AskPhoneRadio(engine, on); break;
    case kItemPushMail: ProcessCommand(engine, on ? 923 : 913); break;
    case kItemMessages: OpenTextMessages(engine); break;
    case kItemEmail: OpenEmail(engine); break;
    case kItemMissedCalls: ShowCallLog(engine); break;
    case kItemVoiceMail: CallVoiceMail(engine); break;
    case kItemData: ProcessCommand(engine, on ? 924 : 914); break;
    default: LogDetail(engine, u"Unknown menu item type %d", {type}); break;
    }
}

}  // namespace

void RunMenuCommand(EngineState& engine, int32_t command) {
    if (command == 0) return;
    if (command >= 1 && command <= 99) {
        engine.manualActive = true;
        ProcessParameter(engine, command + 99);
        plat::Sleep(kChoiceSettleMs);
        RefreshIcon(engine, false);
        return;
    }
    if (command == kMenuAutomatic) {
        engine.manualActive = false;
        ProcessParameter(engine, kParamReevaluate);
        plat::Sleep(kChoiceSettleMs);
        RefreshIcon(engine, false);
        return;
    }
    if (command >= kMenuFirstSwitch && command < kMenuFirstSwitch + kPopupSwitchCount) {
        RunItemType(engine, engine.model.popupSwitches[command - kMenuFirstSwitch].type);
        return;
    }
    if (command >= kMenuFirstCounter && command < kMenuFirstCounter + kPopupCounterCount) {
        RunItemType(engine, engine.model.popupCounters[command - kMenuFirstCounter].type);
        return;
    }
    switch (command) {
    case kMenuLock: ToggleLock(engine); break;
    case kMenuClose: plat::PostMessage(engine.mainWindow, plat::WM_CLOSE, 0, 0); break;
    case kMenuSettings: {
        plat::ProcessInformation info;
        if (plat::CreateProcess(engine.paths.configProgram.View(), u"", 0, &info)) {
            plat::CloseHandle(info.process);
        } else {
            LogEvent(engine, u"Could not start %s", {engine.paths.configProgram.View()});
        }
        break;
    }
    default: LogDetail(engine, u"Unknown menu command %d", {command}); break;
    }
}

}  // namespace tlw
