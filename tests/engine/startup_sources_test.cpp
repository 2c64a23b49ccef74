// What the first instance starts for the location trigger and for calls,
// from the phone radio, the location mode and the profiles.
#include <gtest/gtest.h>

#include "engine/engine_main.h"
#include "engine_fixture.h"

namespace tlw::testing {
namespace {

struct SourcesCase {
    bool phoneOn;            // phone radio state read at start
    int32_t mode;            // locationMode
    bool locationProfile;    // an enabled Location profile exists
    int32_t sensingMode;     // expected sensing, -1 none
    bool callMonitoring;     // expected call monitoring
};

TEST_F(EngineTest, TriggerSourcesFollowTheRadioTheModeAndTheProfiles) {
    const SourcesCase cases[] = {
        {true, 0, true, 0, true},     // cell towers need the phone radio
        {true, 0, false, -1, true},   // calls are watched without Location profiles too
        {false, 0, true, -1, false},  // radio off: neither
        {true, 1, true, 1, false},    // access points, whatever the radio
        {false, 1, true, 1, false},
        {true, 1, false, -1, false},
        {true, 2, true, -1, false},   // a mode the engine does not know
    };
    for (const SourcesCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "phone " << c.phoneOn << " mode " << c.mode << " location "
                                        << c.locationProfile);
        engine->model.profiles.count = 0;
        AddProfile(kEventManual);
        Profile& where = AddProfile(kEventLocation);
        where.enabled = c.locationProfile;
        engine->model.options.locationMode = c.mode;
        engine->deviceStates[kStatePhone] = c.phoneOn ? 1 : 0;
        TriggerSources s = TriggerSourcesAtStart(*engine);
        EXPECT_EQ(s.sensingMode, c.sensingMode);
        EXPECT_EQ(s.callMonitoring, c.callMonitoring);
    }
}

}  // namespace
}  // namespace tlw::testing
