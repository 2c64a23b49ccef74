#include "engine/location_trigger.h"

#include "common/device/location_reading.h"
#include "engine/engine_actions.h"
#include "engine/engine_log.h"
#include "engine/later_parts.h"

namespace tlw {

int32_t SelectLocationProfile(const ConfigModel& model, bool accessPointMode, uint32_t cell,
                              std::u16string_view accessPoint) {
    const ProfileTable& t = model.profiles;
    const LocationTable& l = model.locations;
    int entries = l.count < 0 ? 0 : l.count > kMaxLocations ? kMaxLocations : l.count;
    for (int i = 0; i < t.count && i < kMaxProfiles; ++i) {
        const Profile& p = t.profiles[i];
        if (!p.enabled || p.eventType != kEventLocation) continue;
        for (int d = 0; d < entries; ++d) {
            const LocationEntry& e = l.entries[d];
            bool place = accessPointMode ? e.accessPoint.View() == accessPoint
                                         : static_cast<uint32_t>(e.cell) == cell;
            if (place && e.name.View() == p.name.View()) return i;
        }
    }
    return kNoDecision;
}

bool HasLocationProfiles(const EngineState& engine) {
    const ProfileTable& t = engine.model.profiles;
    for (int i = 0; i < t.count && i < kMaxProfiles; ++i)
        if (t.profiles[i].enabled && t.profiles[i].eventType == kEventLocation) return true;
    return false;
}

int32_t MatchLocation(EngineState& engine) {
    if (!HasLocationProfiles(engine)) return kNoDecision;
    if (engine.model.options.locationMode != 0) {
        char16_t text[kAccessPointTextCapacity] = {};
        if (!FindStrongestAccessPoint(text, kAccessPointTextCapacity)) {
            LogEvent(engine, u"WIFI AP NOT available");
            return kNoDecision;
        }
        int32_t found = SelectLocationProfile(engine.model, true, 0, text);
        if (found != kNoDecision) LogEvent(engine, u"WIFI AP %s in profile: %d", {text, found});
        else LogEvent(engine, u"WIFI AP %s NOT in any profile", {text});
        return found;
    }
    uint32_t cell = ReadCellTower();
    if (cell == 0) {
        LogEvent(engine, u"Cell tower NOT available");
        return kNoDecision;
    }
    int32_t found = SelectLocationProfile(engine.model, false, cell, u"");
    if (found != kNoDecision) LogEvent(engine, u"Cell tower %d in profile: %d", {static_cast<int32_t>(cell), found});
    else LogEvent(engine, u"Cell tower %d NOT in any profile", {static_cast<int32_t>(cell)});
    return found;
}

}  // namespace tlw
