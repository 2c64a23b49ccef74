// The engine's actions, each a free function over the engine record.
#pragma once

#include <cstdint>

#include "engine/engine_state.h"

namespace tlw {

// The decision procedure: evaluates what the parameter concerns and
// activates the winning profile unless the running one is locked.
void ProcessParameter(EngineState& engine, int32_t parameter);
// A 9xx command: radios, push mail, data, lock, backlight.
void ProcessCommand(EngineState& engine, int32_t command);
// Applies a profile (or 700: none) to the device.
void ActivateProfile(EngineState& engine, int32_t profile);
// Records a manual choice (or 700: cancels it) with its time-out wake-up.
void SetManualProfile(EngineState& engine, int32_t profile, bool useStoredExpiry);

// The backlight with the device's level options (`bklmin`, `bklLevels`):
// a profile's level, and the saved level (parameter 40, command 940).
void ApplyProfileBacklight(EngineState& engine, int32_t level);
void ApplySavedBacklight(EngineState& engine);

// Loads the skin images of the taskbar icon and popup menu (the chosen skin
// over the default one of the screen's class).
void LoadEngineSkin(EngineState& engine);

// Reads the five device states (Wi-Fi, phone, Bluetooth, push mail, data).
void ReadDeviceStates(EngineState& engine);

// Rereads the configuration into the model and applies the language file.
void ReloadConfiguration(EngineState& engine);

// True when no enabled profile is a `Time` profile.
bool NoTimeProfiles(const EngineState& engine);
// True when an enabled profile has this `eventType`.
bool HasEnabledProfileOfKind(const EngineState& engine, int32_t kind);
// True when index names a profile of the table.
bool IsProfileIndex(const EngineState& engine, int32_t index);

// Trigger evaluators (calendar: engine/calendar_trigger.h).
int32_t MatchPower(EngineState& engine, bool powerConnected);
int32_t MatchLocation(EngineState& engine);

// The calendar wake-up of the next appointment change.
void RescheduleCalendarWakeUp(EngineState& engine);
// Parameters 50 and 51: a call became active, a call is offered.
void HandleCallActive(EngineState& engine);
void HandleCallOffered(EngineState& engine);

// The taskbar icon shows the running profile.
void SetDisplayedProfile(EngineState& engine, int32_t profile);

}  // namespace tlw
