#include "engine/later_parts.h"

#include "common/config/registry_state.h"
#include "common/device/probes.h"
#include "engine/engine_actions.h"

namespace tlw {

void RefreshDisplayedProfile(EngineState& engine, int32_t profile) {
    engine.lastDisplayedProfile = engine.displayedProfile;
    engine.displayedProfile = profile;
    int32_t manual = ReadManualProfile();
    engine.manualActive = manual != kNoProfile && manual == profile;
}

void ShowPopupMenu(EngineState&, bool) {}
plat::LResult HandleMenuItemMessage(EngineState&, uint32_t, plat::WParam, plat::LParam) { return 0; }
void PaintTaskbarIcon(EngineState&, plat::Hdc) {}
void AddTaskbarIcon(EngineState&) {}
void RemoveTaskbarIcon(EngineState&) {}

void RepeatNotificationSound(EngineState&, int) {}
void EndNotificationRepetition(EngineState&) {}
bool DisplayedProfileRepeats(const EngineState&) { return false; }
void OnNotificationShown(EngineState&) {}
void StopNotificationRepetition(EngineState&) {}
void ReleaseMediaPlayer(EngineState&) {}

void LogOffCalendar(EngineState&) {}
void RescheduleCalendarWakeUp(EngineState&) {}

void TakeCradleSnapshot(EngineState& engine) { engine.cradled = IsCradled(); }
void TakeAccessorySnapshot(EngineState& engine) { engine.headset = IsHeadsetConnected(); }
bool OpenCallMonitoring(EngineState&) { return false; }
void CloseCallMonitoring(EngineState& engine) { engine.callMonitoring = false; }
void HandleCallActive(EngineState&) {}
void HandleCallOffered(EngineState&) {}

void StartLocationSensing(EngineState&, int32_t) {}
void StopLocationSensing(EngineState&) {}

TriggerEvaluators DefaultTriggerEvaluators() {
    return {EvaluateCalendarTrigger, EvaluatePowerTrigger, EvaluateLocationTrigger};
}
int32_t EvaluateCalendarTrigger(EngineState&) { return kNoDecision; }
int32_t EvaluatePowerTrigger(EngineState&, bool) { return kNoDecision; }
int32_t EvaluateLocationTrigger(EngineState&) { return kNoDecision; }

}  // namespace tlw
