#include "engine/later_parts.h"

#include "common/config/registry_state.h"
#include "engine/engine_actions.h"

namespace tlw {

void SetDisplayedProfile(EngineState& engine, int32_t profile) {
    engine.displayedProfile = profile;
    int32_t manual = ReadManualProfile();
    bool manualActive = manual != kNoProfile && manual == ReadRunningProfile();
    if (manualActive != engine.manualActive) {
        engine.manualActive = manualActive;
        RefreshIcon(engine, false);
    }
    if (engine.displayedProfile != engine.lastDisplayedProfile) {
        RefreshIcon(engine, false);
        engine.lastDisplayedProfile = engine.displayedProfile;
        engine.repetitionWanted = ComputeRepetition(engine, engine.displayedProfile);
    }
}

int32_t ShowPlainMenu(EngineState&, plat::Hwnd) { return 0; }
int32_t ShowSkinnedMenu(EngineState&) { return 0; }
void RunMenuCommand(EngineState&, int32_t) {}
plat::LResult HandleMenuItemMessage(EngineState&, uint32_t, plat::WParam, plat::LParam) { return 0; }
void PaintTaskbarIcon(EngineState&, plat::Hdc) {}
void RefreshIcon(EngineState&, bool) {}

}  // namespace tlw
