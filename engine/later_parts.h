// Engine functions whose full behaviour comes with later parts of the
// engine: the taskbar icon and popup menu, notification sound repetition,
// the calendar store, call monitoring and location sensing. Until then each
// keeps the engine's state consistent and does nothing on the device.
#pragma once

#include <cstdint>

#include "engine/engine_state.h"
#include "platform/gdi_types.h"
#include "platform/messages.h"

namespace tlw {

// Taskbar icon and popup menu.
void ShowPopupMenu(EngineState& engine, bool skinned);
plat::LResult HandleMenuItemMessage(EngineState& engine, uint32_t message, plat::WParam wParam, plat::LParam lParam);
void PaintTaskbarIcon(EngineState& engine, plat::Hdc hdc);
void AddTaskbarIcon(EngineState& engine);
void RemoveTaskbarIcon(EngineState& engine);

// Notification sound repetition.
void RepeatNotificationSound(EngineState& engine, int slot);
void EndNotificationRepetition(EngineState& engine);
bool DisplayedProfileRepeats(const EngineState& engine);
void OnNotificationShown(EngineState& engine);
void StopNotificationRepetition(EngineState& engine);
void ReleaseMediaPlayer(EngineState& engine);

// Calendar store.
void LogOffCalendar(EngineState& engine);

// Power, accessories and calls.
void TakeCradleSnapshot(EngineState& engine);
void TakeAccessorySnapshot(EngineState& engine);
bool OpenCallMonitoring(EngineState& engine);
void CloseCallMonitoring(EngineState& engine);

// Location sensing (mode 0 cell towers, 1 access points).
void StartLocationSensing(EngineState& engine, int32_t mode);
void StopLocationSensing(EngineState& engine);

}  // namespace tlw
