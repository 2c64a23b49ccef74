// Engine functions whose full behaviour comes with later parts of the
// engine: the taskbar icon and popup menu, notification sound repetition,
// the calendar store, call monitoring and location sensing. Until then each
// keeps the engine's state consistent and does nothing on the device.
#pragma once

#include <cstdint>

#include "engine/engine_state.h"
#include "platform/gdi/gdi_types.h"
#include "platform/window/messages.h"

namespace tlw {

// Taskbar icon and popup menu. The menus return the chosen command (0 for none).
int32_t ShowPlainMenu(EngineState& engine, plat::Hwnd window);
int32_t ShowSkinnedMenu(EngineState& engine);
void RunMenuCommand(EngineState& engine, int32_t command);
plat::LResult HandleMenuItemMessage(EngineState& engine, uint32_t message, plat::WParam wParam, plat::LParam lParam);
void PaintTaskbarIcon(EngineState& engine, plat::Hdc hdc);
// Creates or updates the icon, or with remove takes it away.
void RefreshIcon(EngineState& engine, bool remove);

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

// Calendar store: log on and have the calendar folder's item notifications
// sent to the window; log off and release the store.
void RegisterCalendarNotifications(EngineState& engine, plat::Hwnd window);
void LogOffCalendar(EngineState& engine);

// Power, accessories and calls.
void TakeCradleSnapshot(EngineState& engine);
void TakeAccessorySnapshot(EngineState& engine);
bool OpenCallMonitoring(EngineState& engine);
void CloseCallMonitoring(EngineState& engine);

// Location sensing (mode 0 cell towers, 1 access points). InitSensing resets
// the sensing state and creates its lock, once at start-up before any
// reading; DeleteSensing deletes the lock at shut-down.
void InitSensing(EngineState& engine);
void DeleteSensing(EngineState& engine);
void StartLocationSensing(EngineState& engine, int32_t mode);
void StopLocationSensing(EngineState& engine);

}  // namespace tlw
