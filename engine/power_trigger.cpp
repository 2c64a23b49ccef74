#include "engine/power_trigger.h"

#include "common/device/probes.h"
#include "engine/calendar_trigger.h"
#include "engine/engine_actions.h"
#include "engine/later_parts.h"
#include "engine/engine_log.h"

namespace tlw {

int32_t SelectPowerProfile(const ProfileTable& profiles, const PowerInputs& in) {
    const bool C = in.cradled;
    const bool P = in.externalPower;
    int32_t result = kNoDecision;
    for (int i = 0; i < profiles.count && i < kMaxProfiles; ++i) {
        const Profile& p = profiles.profiles[i];
        if (!p.enabled || p.eventType != kEventPower) continue;
        const bool c0 = p.aspower[0];
        const bool all = p.aspower[1];
        const bool p2 = p.aspower[2];
        const bool H = p.headphones == 2 || in.accessory == (p.headphones == 1);
        // Any of the chosen conditions.
        if (!all && ((c0 && C) || (p2 && P)) && H) result = i;
        // Exactly the chosen conditions.
        if (all && C == c0 && P == p2 && H) result = i;
        // Neither cradle nor power, with the accessory condition alone.
        if (!C && !P && !c0 && !p2 && H && p.headphones != 2) result = i;
    }
    return result;
}

TriggerEvaluators DefaultTriggerEvaluators() { return {EvaluateCalendar, MatchPower, MatchLocation}; }

void TakeCradleSnapshot(EngineState& engine) { engine.cradled = IsCradled(); }
void TakeAccessorySnapshot(EngineState& engine) { engine.headset = IsHeadsetConnected(); }

int32_t MatchPower(EngineState& engine, bool cradleForced) {
    // Without an enabled power profile nothing can match: the device's power,
    // cradle and accessories are not read.
    if (!HasEnabledProfileOfKind(engine, kEventPower)) {
        LogEvent(engine, u"Power profile: %d", {kNoDecision});
        return kNoDecision;
    }
    PowerInputs in;
    in.externalPower = IsOnExternalPower();
    in.cradled = cradleForced || IsCradled();
    in.accessory = IsHeadsetConnected();
    int32_t result = SelectPowerProfile(engine.model.profiles, in);
    LogEvent(engine, u"Power profile: %d", {result});
    return result;
}

}  // namespace tlw
