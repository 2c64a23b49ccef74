// SetManualProfile: recording a manual choice and its time-out.
#include "common/config/registry_key.h"
#include "common/config/registry_state.h"
#include "base/text.h"
#include "engine/engine_actions.h"
#include "engine/wake_ups.h"
#include "platform/storage/registry.h"

namespace tlw {

void SetManualProfile(EngineState& engine, int32_t profile, bool useStoredExpiry) {
    FindOwnWakeUps(engine, kDeleteReevaluations);
    engine.delayedRetry = 0;  // a postponed choice's retry was one of them
    if (profile != kNoProfile && !IsProfileIndex(engine, profile)) return;  // names no profile

    bool hasExpiry = false;
    plat::SystemTime expiry;
    if (profile == kNoProfile) {
        ReloadConfiguration(engine);
    } else if (engine.model.profiles.profiles[profile].timeoutSet) {
        if (useStoredExpiry) {
            // The stored value 0 is the OLE date origin: a wake-up long past,
            // which fires at once.
            uint32_t stored = ReadManualTimeOut();
            double ole = static_cast<double>(stored) / 10000.0;
            hasExpiry = plat::VariantTimeToSystemTime(ole, &expiry);
        } else {
            std::u16string_view t = engine.model.profiles.profiles[profile].timeout.View();
            int32_t hours = ParseInt(t.substr(0, std::min<std::size_t>(2, t.size())));
            int32_t minutes = t.size() > 3 ? ParseInt(t.substr(3, 2)) : 0;
            expiry = plat::AddSeconds(plat::GetLocalTime(), int64_t{hours} * 3600 + int64_t{minutes} * 60);
            hasExpiry = true;
        }
        if (hasExpiry) ScheduleWakeUp(engine, expiry, u"500");
    }

    // The engine's key exists once the engine has run; without it nothing is
    // recorded (the wake-up above stays).
    plat::HKey key = 0;
    if (plat::RegOpenKey(plat::kHkeyCurrentUser, kTallowinKey, &key) != 0) return;
    plat::RegCloseKey(key);
    if (profile != kNoProfile && !engine.model.profiles.profiles[profile].timeoutSet) WriteLastManualProfile(profile);
    WriteManualProfile(profile);
    WriteManualTimeOut(hasExpiry ? EncodeManualTimeOut(expiry) : 0);
}

}  // namespace tlw
