// Engine functions whose full behaviour comes with later parts of the
// engine: the taskbar icon and popup menu and notification sound
// repetition. Until then each keeps the engine's state consistent and does
// nothing on the device. The power snapshots and call monitoring declared
// here live in engine/power_trigger.cpp and engine/call_monitoring.cpp.
#pragma once

#include <cstdint>

#include "engine/engine_state.h"
#include "platform/gdi/gdi_types.h"
#include "platform/window/messages.h"

namespace tlw {

// Notification sound repetition.
// Sets up the six repetition slots (their notification classes, intervals).
void InitRepetitionSlots(EngineState& engine);
void RepeatSlot(EngineState& engine, int slot, bool play);
void EndNotificationRepetition(EngineState& engine);
// Whether the profile repeats missed-event sounds (sets the slot flags).
bool ComputeRepetition(EngineState& engine, int32_t profile);
void CheckShownNotifications(EngineState& engine);
void StopNotificationRepetition(EngineState& engine);
void ReleaseMediaPlayer(EngineState& engine);

// Power, accessories and calls (engine/power_trigger.cpp,
// engine/call_monitoring.cpp).
void TakeCradleSnapshot(EngineState& engine);
void TakeAccessorySnapshot(EngineState& engine);
bool OpenCallMonitoring(EngineState& engine);
void CloseCallMonitoring(EngineState& engine);

}  // namespace tlw
