// The location trigger: which `Location` profile a place selects.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "engine/engine_messages.h"
#include "engine/location_trigger.h"
#include "engine_fixture.h"
#include "platform/hardware/hardware.h"
#include "platform/storage/paths.h"
#include "platform/storage/registry.h"
#include "common/config/registry_key.h"

namespace tlw::testing {
namespace {

class LocationTriggerTest : public EngineTest {
protected:
    Profile& Location(const char16_t* name) {
        Profile& p = AddProfile(kEventLocation);
        p.name = name;
        return p;
    }
    void Entry(const char16_t* name, int32_t cell, const char16_t* accessPoint = u"") {
        LocationTable& l = engine->model.locations;
        l.entries[l.count].name = name;
        l.entries[l.count].cell = cell;
        l.entries[l.count].accessPoint = accessPoint;
        ++l.count;
    }
    std::string Log() {
        std::ifstream in(plat::HostPath(u"\\Tallowd.log"), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(LocationTriggerTest, TheFirstProfileOfTheTableWinsATie) {
    Location(u"Home");
    Location(u"Office");
    Entry(u"Office", 0x12345678);
    Entry(u"Home", 0x12345678);
    Entry(u"Office", 77, u"00:11:22:33:44:55");
    EXPECT_EQ(SelectLocationProfile(engine->model, false, 0x12345678, u""), 0);
    EXPECT_EQ(SelectLocationProfile(engine->model, false, 77, u""), 1);
    EXPECT_EQ(SelectLocationProfile(engine->model, true, 0, u"00:11:22:33:44:55"), 1);
    EXPECT_EQ(SelectLocationProfile(engine->model, true, 0, u"00:11:22:33:44:5a"), kNoDecision);  // exact text
    engine->model.profiles.profiles[0].enabled = false;
    EXPECT_EQ(SelectLocationProfile(engine->model, false, 0x12345678, u""), 1);
    // An entry of a name no profile has is ignored.
    EXPECT_EQ(SelectLocationProfile(engine->model, false, 5, u""), kNoDecision);
}

TEST_F(LocationTriggerTest, CellZeroIsNotAvailableEvenWithAnEntryForIt) {
    engine->logMode = 1;
    Location(u"Nowhere");
    Entry(u"Nowhere", 0);
    ASSERT_TRUE(plat::ChangeHardwareState([](plat::HardwareState& s) {
        s.cellPresent = true;
        s.cellLac = 9;
        s.cellId = 0;
    }));
    EXPECT_EQ(MatchLocation(*engine), kNoDecision);
    EXPECT_NE(Log().find("Cell tower NOT available"), std::string::npos);
    ASSERT_TRUE(plat::ChangeHardwareState([](plat::HardwareState& s) { s.cellId = 3; }));
    Entry(u"Nowhere", 9 * 65536 + 3);
    EXPECT_EQ(MatchLocation(*engine), 0);
    EXPECT_NE(Log().find("Cell tower 589827 in profile: 0"), std::string::npos);
}

TEST_F(LocationTriggerTest, LeavingTheAreaEvaluatesWithoutTheLocationTrigger) {
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyCurrentUser, kTallowinKey, kLogModeValue, 1));
    engine->triggers.location = MatchLocation;
    Location(u"Office");
    AddTimeProfile(u"00:00");
    Entry(u"Office", 21 * 65536 + 7);
    auto camp = [](uint32_t lac, uint32_t cid) {
        ASSERT_TRUE(plat::ChangeHardwareState([&](plat::HardwareState& s) {
            s.cellPresent = true;
            s.cellLac = lac;
            s.cellId = cid;
        }));
    };
    camp(21, 7);
    Process(kParamLocation);
    EXPECT_EQ(ReadRunningProfile(), 0);
    camp(21, 8);
    Process(kParamLocation);
    EXPECT_NE(Log().find("Cell tower 1376264 NOT in any profile"), std::string::npos);
    EXPECT_NE(Log().find("Param:703,"), std::string::npos);
    EXPECT_EQ(ReadRunningProfile(), 1);
}

}  // namespace
}  // namespace tlw::testing
