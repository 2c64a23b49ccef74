// The program a profile starts: starting it, watching it, closing it at the
// next activation.
#pragma once

#include "engine/engine_state.h"

namespace tlw {

// Sends WM_CLOSE to every top-level window of the program remembered in
// RunProcess and forgets it.
void CloseRememberedProgram(EngineState& engine);
// Stops the watch thread of the last started program, if any.
void StopWatchingProgram(EngineState& engine);
// Ends the watch thread without forgetting the remembered program (shut-down).
void EndWatchThread(EngineState& engine);
// Starts the profile's program; watches it (auto_program) and remembers it
// for closing (close_program).
void StartProfileProgram(EngineState& engine, const Profile& profile);

}  // namespace tlw
