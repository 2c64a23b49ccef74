// The location trigger: the `Location` profile that the serving cell tower
// or the strongest access point selects, and when the engine senses.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/engine_state.h"

namespace tlw {

// The first enabled `Location` profile in table order that owns a location
// entry of the place (cell mode: entry cell equals cell; access-point mode:
// entry access point equals accessPoint, exactly), or 600.
int32_t SelectLocationProfile(const ConfigModel& model, bool accessPointMode, uint32_t cell,
                              std::u16string_view accessPoint);

// True when an enabled `Location` profile exists (only then the engine senses).
bool HasLocationProfiles(const EngineState& engine);

}  // namespace tlw
