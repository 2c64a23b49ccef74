// The engine's backlight calls: the device layer's operations with the
// level options of the configuration and the engine's own program path,
// which a wake-up notification starts with command 40.
#include "common/device/device_operations.h"
#include "engine/engine_actions.h"

namespace tlw {

void ApplyProfileBacklight(EngineState& engine, int32_t level) {
    const Options& o = engine.model.options;
    SetBacklight(level, engine.paths.engineProgram.View(), o.bklmin == 1, o.bklLevels);
}

void ApplySavedBacklight(EngineState& engine) {
    const Options& o = engine.model.options;
    ApplyBacklight(engine.paths.engineProgram.View(), o.bklmin == 1, o.bklLevels);
}

}  // namespace tlw
