#include "engine_fixture.h"

#include "common/config/config_file.h"
#include "common/config/config_paths.h"
#include "base/text.h"
#include "common/config/registry_key.h"
#include "platform/storage/registry.h"
#include "platform/storage/file.h"

namespace tlw::testing {

FakeTriggers EngineTest::fake;

void EngineTest::SetUp() {
    fake = {};
    plat::CreateDirectory(u"\\Windows");
    plat::CreateDirectory(u"\\My Documents");
    SetClock("2010-01-04T10:00:20");  // a Monday
    // The engine's registry key, as on a phone where the engine has run.
    plat::HKey key = 0;
    ASSERT_EQ(plat::RegCreateKey(plat::kHkeyCurrentUser, kTallowinKey, &key), 0u);
    plat::RegCloseKey(key);
    engine = std::make_unique<EngineState>();
    engine->paths = BuildConfigPaths();
    engine->model.profiles.count = 0;
    engine->triggers.calendar = [](EngineState&) { return fake.calendar; };
    engine->triggers.power = [](EngineState&, bool) { return fake.power; };
    engine->triggers.location = [](EngineState&) { return fake.location; };
}

void EngineTest::TearDown() { plat::UseDeviceClock(); }

void EngineTest::SetClock(const char* time) {
    plat::SystemTime t;
    ASSERT_TRUE(plat::ParseDeviceTime(time, &t));
    plat::UseVirtualClock(t);
}

Profile& EngineTest::AddProfile(int32_t eventType, bool override) {
    ProfileTable& table = engine->model.profiles;
    Profile& p = table.profiles[table.count];
    p = Profile();
    p.name = Format(u"P%d", {table.count});
    p.enabled = true;
    p.show = true;
    p.eventType = eventType;
    p.override = override;
    p.timeout = u"00:01";
    p.volMaster = 3;
    for (int32_t& r : p.radio) r = 2;
    p.push_email = 2;
    p.rotate = 3;
    p.pda_power = 3;
    for (int32_t& t : p.power_timeouts) t = 9;
    for (auto& t : p.time) t = u"00:00";
    ++table.count;
    return p;
}

Profile& EngineTest::AddTimeProfile(const char16_t* start, bool override) {
    Profile& p = AddProfile(kEventTime, override);
    p.time[0] = start;
    for (int day = 0; day < kWeekDays; ++day) p.schedule[day][0] = true;
    return p;
}

void EngineTest::Process(int32_t parameter) {
    ASSERT_TRUE(WriteConfiguration(false, "", engine->model, engine->language));
    ProcessParameter(*engine, parameter);
}

void EngineTest::Command(int32_t command) {
    ASSERT_TRUE(WriteConfiguration(false, "", engine->model, engine->language));
    ProcessCommand(*engine, command);
}

std::vector<std::string> EngineTest::WakeUps() {
    std::vector<plat::UserNotificationInfo> all;
    plat::ListUserNotifications(&all);
    std::vector<std::string> out;
    for (const auto& n : all) {
        const plat::SystemTime& t = n.trigger.startTime;
        char buf[64];
        std::snprintf(buf, sizeof buf, "%s@%02d:%02d:%02d", Utf16ToUtf8(n.trigger.arguments).c_str(), t.hour, t.minute,
                      t.second);
        out.push_back(buf);
    }
    return out;
}

void EngineTest::FireDueWakeUps() { plat::FireDueNotifications(); }

}  // namespace tlw::testing
