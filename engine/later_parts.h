// The power snapshots and call monitoring of the engine, which live in
// engine/power_trigger.cpp and engine/call_monitoring.cpp.
#pragma once

#include <cstdint>

#include "engine/engine_state.h"
#include "platform/gdi/gdi_types.h"
#include "platform/message/messages.h"

namespace tlw {

// Power, accessories and calls (engine/power_trigger.cpp,
// engine/call_monitoring.cpp).
void TakeCradleSnapshot(EngineState& engine);
void TakeAccessorySnapshot(EngineState& engine);
bool OpenCallMonitoring(EngineState& engine);
void CloseCallMonitoring(EngineState& engine);

}  // namespace tlw
