// Pictures of the item at QVGA and VGA with one, two and three rows; across
// the three every add-on kind is shown once. The references live in
// tests/today/data (TLW_UPDATE_PICTURES=1 rewrites them after a wanted
// change of the look).
#include "today_item_fixture.h"

#include "common/config/registry_state.h"
#include "common/graphics/screen_scale.h"
#include "platform/kernel/clock.h"
#include "platform/storage/registry.h"
#include "platform/message/message_loop.h"
#include "today/today_layout.h"
#include "today/today_plugin.h"

namespace todaytest {
namespace {

using namespace today;

class TodayPictureTest : public TodayItemTest, public ::testing::WithParamInterface<const char*> {};

// One row: the five switches, the lock and a manual profile with its time-out.
TEST_P(TodayPictureTest, OneRow) {
    MakePhone(GetParam());
    WriteConfig({{AddonBluetooth}, {AddonWifi}, {AddonPhoneRadio}, {AddonPushMail}, {AddonDataConnection}});
    SetRunning(2, true);
    plat::SystemTime end = plat::AddSeconds(plat::GetLocalTime(), 25 * 60);
    tlw::WriteManualTimeOut(tlw::EncodeManualTimeOut(end));
    tlw::WriteLocked(true);
    MakeItem();
    Refresh();
    EXPECT_EQ(today::Plugin().layout.rows, 1);
    EXPECT_EQ(today::Plugin().timeOutText.Str(), u"00:25");
    plat::SurfaceImage picture = Picture();
    EXPECT_EQ(picture.height, tlw::ScaleY(20));
    EXPECT_EQ(CompareWithReference(picture, std::string("one_row_") + GetParam()), "");
}

// Two rows: the four counters, one tall, and no profile.
TEST_P(TodayPictureTest, TwoRowsWithCounters) {
    MakePhone(GetParam());
    WriteConfig({{AddonMissedCalls, false, true},
                 {AddonVoiceMail, true, true},
                 {AddonMessages, false, true},
                 {AddonLineBreak},
                 {AddonEmail, false, true}});
    SetRunning(tlw::kNoProfile);
    // Three unread messages, no e-mail, twelve missed calls, one voice mail.
    plat::RegWriteDword(plat::kHkeyCurrentUser, u"System\\State\\Messages\\SMS\\Unread", u"Count", 3);
    plat::RegWriteDword(plat::kHkeyCurrentUser, u"System\\State\\Phone", u"Missed Call Count", 12);
    plat::RegWriteDword(plat::kHkeyCurrentUser, u"System\\State\\Messages\\VMail\\Total\\Unread", u"Count", 1);
    MakeItem();
    EXPECT_EQ(today::Plugin().layout.rows, 2);
    EXPECT_EQ(today::Plugin().countTexts[tlw::kCounterMissedCalls].Str(), u"12");
    EXPECT_EQ(today::Plugin().countTexts[tlw::kCounterMessages].Str(), u" 3");
    plat::SurfaceImage picture = Picture();
    EXPECT_EQ(picture.height, tlw::ScaleY(40));
    EXPECT_EQ(CompareWithReference(picture, std::string("two_rows_") + GetParam()), "");
}

// Three rows: the three meters, the slider and a tall switch, with the name
// selected.
TEST_P(TodayPictureTest, ThreeRowsWithMeters) {
    MakePhone(GetParam());
    WriteConfig({{AddonBattery, false, true},
                 {AddonLineBreak},
                 {AddonBluetooth, true, true},
                 {AddonWifiMeter, false, true},
                 {AddonCpuMeter, false, true},
                 {AddonBrightness, false, true}});
    SetRunning(1);
    MakeItem();
    TodayState& s = today::Plugin();
    EXPECT_EQ(s.layout.rows, 3);
    // Fixed readings, so that the picture does not follow the host.
    for (int i = 0; i < kCpuSampleCount; ++i) s.cpuSamples[i] = (i * 37) % 101;
    s.batteryPercent = 64;
    s.charging = false;
    plat::SendMessage(item_, plat::WM_TODAYCUSTOM_RECEIVEDSELECTION, 0, 0);
    plat::SurfaceImage picture = Picture();
    EXPECT_EQ(picture.height, tlw::ScaleY(60));
    EXPECT_EQ(CompareWithReference(picture, std::string("three_rows_") + GetParam()), "");
}

INSTANTIATE_TEST_SUITE_P(Screens, TodayPictureTest, ::testing::Values("qvga", "vga"));

}  // namespace
}  // namespace todaytest
