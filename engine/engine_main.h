// The engine program: start-up, hand-off to a running instance, the window
// procedure and shut-down.
#pragma once

#include <string_view>

#include "engine/engine_state.h"
#include "platform/message/messages.h"

namespace tlw {

// The engine record of this process.
EngineState& Engine();
// Replaces it with a fresh record (an in-process test starting over).
EngineState& ResetEngine();

// Runs the program with its command line; returns the exit code.
int RunEngine(std::u16string_view commandLine);

// First-instance set-up of the engine record (window, model, platform
// registrations); also used by in-process tests with their own window.
void InitializeEngineState(EngineState& engine);
// What the first instance starts once it has read the device states: the
// location sensing of the configured mode when an enabled `Location`
// profile exists (cell towers only while the phone radio is on), and call
// monitoring when the phone radio is on and the mode is cell towers.
struct TriggerSources {
    int32_t sensingMode = -1;     // 0 cell towers, 1 access points, -1 none
    bool callMonitoring = false;  // open call monitoring
};
TriggerSources TriggerSourcesAtStart(const EngineState& engine);

// The shut-down sequence, run on WM_DESTROY of the main window.
void ShutDownEngine(EngineState& engine);

// The window procedure of the class "Tallowd".
plat::LResult EngineWindowProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam);

// The power-notification thread: arms the settle timer on power changes.
void StartPowerThread(EngineState& engine);
void StopPowerThread(EngineState& engine);

}  // namespace tlw
