// The item's life on a phone: the refresh and its answers, the reload on
// the configuration program's signal, polling only while the screen is on,
// the remaining time-out, the CPU load arithmetic, and the taps that need
// no menu or dialog (lock, switches, meters).
#include "today_item_fixture.h"

#include <algorithm>

#include "common/config/registry_state.h"
#include "common/graphics/screen_scale.h"
#include "platform/kernel/clock.h"
#include "platform/message/message_loop.h"
#include "platform/message/messages.h"
#include "platform/window/window.h"
#include "platform/storage/journal.h"
#include "platform/window/cursor.h"
#include "common/config/config_file.h"
#include "sim/hardware_facts.h"
#include "today/today_layout.h"
#include "today/today_plugin.h"

namespace todaytest {
namespace {

using namespace today;

void SetHardware(const std::string& fact) {
    std::vector<sim::FactChange> changes;
    std::string error;
    ASSERT_TRUE(sim::ParseFactArguments({fact}, &changes, &error)) << error;
    ASSERT_TRUE(sim::ApplyHardwareFacts(changes, &error)) << error;
}

void Tap(plat::Hwnd item, const plat::Rect& r) {
    plat::SendMessage(item, plat::WM_LBUTTONUP, 0, plat::MakePointParam((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    plat::PumpMessagesUntilIdle();
}

TEST(TodayTimeOut, RemainingTimeIsRoundedUpToTheMinute) {
    plat::SystemTime now;
    ASSERT_TRUE(plat::ParseDeviceTime("2010-01-04T10:42:00", &now));
    uint32_t at = tlw::EncodeManualTimeOut(now);
    auto ahead = [&](int64_t seconds) { return TimeOutText(tlw::EncodeManualTimeOut(plat::AddSeconds(now, seconds)), at); };
    EXPECT_EQ(ahead(20 * 60), u"00:20");
    EXPECT_EQ(ahead(19 * 60 + 30), u"00:20");
    EXPECT_EQ(ahead(60 * 60), u"01:00") << "a whole hour is counted once";
    EXPECT_EQ(ahead(3 * 60 * 60), u"03:00");
    EXPECT_EQ(ahead(59 * 60 + 50), u"01:00");
    EXPECT_EQ(ahead(2 * 3600 + 5 * 60), u"02:05");
    EXPECT_EQ(ahead(30), u"00:01");
    // An end already passed shows no time left rather than a negative count.
    EXPECT_EQ(ahead(-90), u"00:00");
    EXPECT_EQ(TimeOutText(at, at), u"00:00");
}

TEST(TodayCpuLoad, FromIdleTimeAndFromThreadTimes) {
    EXPECT_EQ(CpuLoadFromIdle(1500, 2000), 25);
    EXPECT_EQ(CpuLoadFromIdle(2000, 2000), 0);
    EXPECT_EQ(CpuLoadFromIdle(0, 2000), 100);
    EXPECT_EQ(CpuLoadFromIdle(2100, 2000), 0) << "clamped";
    EXPECT_EQ(CpuLoadFromIdle(5, 0), 0) << "no time passed";
    // 100 ns units over ms x 100: 2000 ms fully busy is 20,000,000 units.
    EXPECT_EQ(CpuLoadFromThreadTimes(20'000'000, 2000), 100);
    EXPECT_EQ(CpuLoadFromThreadTimes(5'000'000, 2000), 25);
    EXPECT_EQ(CpuLoadFromThreadTimes(80'000'000, 2000), 100) << "clamped";
}

class TodayLifeTest : public TodayItemTest {};

TEST_F(TodayLifeTest, RefreshAnswersAndReloadOnTheSaveSignal) {
    MakePhone("qvga");
    WriteConfig({{AddonBluetooth}, {AddonCpuMeter, false, true}});
    SetRunning(1);
    MakeItem();
    EXPECT_EQ(record_.cyp, 20);
    EXPECT_TRUE(Plugin().cpuTimerOn);
    EXPECT_EQ(plat::SendMessage(item_, plat::WM_TODAYCUSTOM_QUERYREFRESHCACHE, 0, 0), 0) << "no record: FALSE";
    EXPECT_FALSE(Refresh()) << "nothing changed";

    // The configuration program saved a layout with a line break first and
    // no CPU meter, and set Flags2 (with another bit beside it).
    WriteConfig({{AddonLineBreak}, {AddonBluetooth}});
    ASSERT_TRUE(tlw::WriteFlags2(3));
    EXPECT_TRUE(Refresh()) << "the height changed";
    EXPECT_EQ(tlw::ReadFlags2(), 0u) << "the whole value is cleared";
    EXPECT_EQ(record_.cyp, 40);
    EXPECT_FALSE(Plugin().cpuTimerOn) << "the removed CPU meter stops its timer";
}

TEST_F(TodayLifeTest, PollingWaitsForTheScreen) {
    MakePhone("qvga");
    WriteConfig({{AddonBluetooth}});
    SetRunning(1);
    MakeItem();
    EXPECT_EQ(Plugin().currentProfile, 1);
    SetHardware("power=idle");
    SetRunning(3);
    Refresh();
    EXPECT_EQ(Plugin().currentProfile, 1) << "the screen is dark: nothing is polled";
    SetHardware("power=on");
    Refresh();
    EXPECT_EQ(Plugin().currentProfile, 3);
}

TEST_F(TodayLifeTest, ManualTimeOutTextFollowsTheEngine) {
    MakePhone("qvga");
    WriteConfig({{AddonBluetooth}});
    SetRunning(0, true);
    plat::SystemTime now = plat::GetLocalTime();
    tlw::WriteManualTimeOut(tlw::EncodeManualTimeOut(plat::AddSeconds(now, 20 * 60)));
    MakeItem();
    Refresh();
    EXPECT_EQ(Plugin().timeOutText.Str(), u"00:20");
    EXPECT_EQ(Plugin().layout.hits[kHitTimeOut].nav.column, 2) << "the shown time-out can be selected";
    // The engine has not ended the manual mode yet although the end passed.
    plat::AdvanceClock(25 * 60);
    Refresh();
    EXPECT_EQ(Plugin().timeOutText.Str(), u"00:00");
    // Back to automatic: no text.
    SetRunning(0, false);
    Refresh();
    EXPECT_TRUE(Plugin().timeOutText.Empty());
    EXPECT_EQ(Plugin().layout.hits[kHitTimeOut].nav.row, kNoHit);
}

TEST_F(TodayLifeTest, LockIconLocksAndUnlocks) {
    MakePhone("qvga");
    WriteConfig({{AddonBluetooth}});
    SetRunning(1);
    MakeItem();
    const plat::Rect lock = Plugin().layout.hits[kHitLock].rect;
    Tap(item_, lock);
    EXPECT_TRUE(tlw::ReadLocked());
    EXPECT_TRUE(Commands().empty()) << "locking sends nothing";
    Tap(item_, lock);
    EXPECT_FALSE(tlw::ReadLocked());
    EXPECT_EQ(Commands(), std::vector<int64_t>{500});
    // The wait cursor shows while the engine takes over, and is gone after.
    std::vector<std::string> journal = plat::JournalRead();
    auto shown = std::find_if(journal.begin(), journal.end(),
                              [](const std::string& l) { return l.find("wait cursor shown") != std::string::npos; });
    ASSERT_NE(shown, journal.end());
    EXPECT_NE(std::find_if(shown, journal.end(),
                           [](const std::string& l) { return l.find("wait cursor hidden") != std::string::npos; }),
              journal.end());
    EXPECT_FALSE(plat::WaitCursorShown());
}

TEST_F(TodayLifeTest, SwitchesSendTheCommandOfTheirState) {
    MakePhone("qvga");
    WriteConfig({{AddonBluetooth}, {AddonWifi}, {AddonPushMail}, {AddonDataConnection}});
    SetRunning(1);
    MakeItem();
    SetHardware("bt=1");
    SetHardware("wifi=0");
    const TodayLayout& L = Plugin().layout;
    Tap(item_, L.hits[5].rect);
    Tap(item_, L.hits[6].rect);
    Tap(item_, L.hits[7].rect);
    Tap(item_, L.hits[8].rect);
    ASSERT_EQ(Commands().size(), 4u);
    EXPECT_EQ(Commands()[0], 921) << "Bluetooth on: off";
    EXPECT_EQ(Commands()[1], 910) << "Wi-Fi off: on";
    EXPECT_EQ(Commands()[2] % 10, 3);
    EXPECT_EQ(Commands()[3] % 10, 4);
    // The trigger icon does nothing.
    Commands().clear();
    Tap(item_, L.hits[kHitTrigger].rect);
    EXPECT_TRUE(Commands().empty());
}

TEST_F(TodayLifeTest, MetersCycleTheirTextOnATap) {
    MakePhone("qvga");
    WriteConfig({{AddonWifiMeter, false, true}, {AddonBattery, false, true}, {AddonCpuMeter, false, true}});
    SetRunning(1);
    MakeItem();
    const TodayLayout& L = Plugin().layout;
    for (int expected : {1, 2, 0}) {
        Tap(item_, L.hits[5].rect);
        EXPECT_EQ(Plugin().wifiTextMode, expected);
    }
    Tap(item_, L.hits[6].rect);
    EXPECT_EQ(Plugin().batteryTextMode, 1);
    Tap(item_, L.hits[6].rect);
    EXPECT_EQ(Plugin().batteryTextMode, 0);
    EXPECT_TRUE(Plugin().cpuGraph);
    Tap(item_, L.hits[7].rect);
    EXPECT_FALSE(Plugin().cpuGraph);
    EXPECT_TRUE(Commands().empty());
}

TEST_F(TodayLifeTest, KeysMoveTheSelectionAndTheActionKeyTaps) {
    MakePhone("qvga");
    WriteConfig({{AddonBluetooth}});
    SetRunning(1);
    SetHardware("bt=0");
    MakeItem();
    plat::SendMessage(item_, plat::WM_TODAYCUSTOM_RECEIVEDSELECTION, plat::VK_DOWN, 0);
    EXPECT_EQ(Plugin().selection, kHitProfileName);
    EXPECT_EQ(plat::SendMessage(item_, plat::WM_TODAYCUSTOM_USERNAVIGATION, plat::VK_RIGHT, 0), 1);
    EXPECT_EQ(Plugin().selection, kHitLock);
    EXPECT_EQ(plat::SendMessage(item_, plat::WM_TODAYCUSTOM_USERNAVIGATION, plat::VK_RIGHT, 0), 1);
    EXPECT_EQ(Plugin().selection, 5);
    EXPECT_EQ(plat::SendMessage(item_, plat::WM_TODAYCUSTOM_ACTION, plat::VK_RETURN, 0), 1);
    plat::PumpMessagesUntilIdle();
    EXPECT_EQ(Commands(), std::vector<int64_t>{911}) << "the action key taps the selected switch";
    EXPECT_EQ(plat::SendMessage(item_, plat::WM_TODAYCUSTOM_USERNAVIGATION, plat::VK_DOWN, 0), 0)
        << "nothing below: the Today screen moves on";
    plat::SendMessage(item_, plat::WM_TODAYCUSTOM_LOSTSELECTION, 0, 0);
    EXPECT_FALSE(Plugin().hasSelection);
}

}  // namespace
}  // namespace todaytest

namespace todaytest {
namespace {

using namespace today;

// The CPU meter's bar shows the sample before the write position, wrapping
// from the ring's start to its end.
TEST_F(TodayLifeTest, CpuBarShowsTheLatestSampleAcrossTheRingsEnd) {
    MakePhone("qvga");
    WriteConfig({{AddonCpuMeter, false, true}});
    SetRunning(1);
    MakeItem();
    TodayState& s = Plugin();
    s.cpuGraph = false;
    s.cpuWrite = 0;
    std::fill(std::begin(s.cpuSamples), std::end(s.cpuSamples), 0);
    auto barIsRed = [&] {
        plat::InvalidateRect(item_, nullptr, false);
        plat::SurfaceImage picture = Picture();
        const plat::Rect& bar = s.layout.cpuBar;
        uint32_t p = picture.pixels[static_cast<size_t>(bar.bottom - 2) * picture.width + bar.left + 1];
        return ((p >> 16) & 0xFF) > 150 && ((p >> 8) & 0xFF) < 110;
    };
    s.cpuSamples[0] = 100;
    EXPECT_FALSE(barIsRed()) << "entry 0 is the oldest";
    s.cpuSamples[kCpuSampleCount - 1] = 100;
    EXPECT_TRUE(barIsRed()) << "entry 29 is the latest";
}

}  // namespace
}  // namespace todaytest

namespace todaytest {
namespace {

using namespace today;

plat::LResult PlainProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    return plat::DefWindowProc(hwnd, message, wParam, lParam);
}

bool Journalled(const std::string& text) {
    for (const std::string& line : plat::JournalRead())
        if (line.find(text) != std::string::npos) return true;
    return false;
}

TEST_F(TodayLifeTest, CountersOpenMessagingAndCallVoiceMail) {
    MakePhone("qvga");
    model_ = {};
    WriteConfig({{AddonMessages, false, true}, {AddonEmail, false, true}, {AddonVoiceMail, false, true}});
    model_.options.voicemail = u"555123";
    ASSERT_TRUE(tlw::WriteConfiguration(false, {}, model_, language_));
    SetRunning(1);
    // The messaging program is running: the account switch brings it up.
    plat::WndClass wc;
    wc.className = u"tmail";
    wc.proc = &PlainProc;
    plat::RegisterClass(wc);
    plat::Hwnd messaging = plat::CreateWindow(u"tmail", u"Messaging", 0, 0, 0, 10, 10, {});
    MakeItem();
    const TodayLayout& L = Plugin().layout;
    Tap(item_, L.hits[5].rect);
    EXPECT_TRUE(Journalled("mail switch to account SMS"));
    // No e-mail and no other mail client: messaging opens on the mail account.
    Tap(item_, L.hits[6].rect);
    EXPECT_TRUE(Journalled("mail switch to account ActiveSync"));
    Tap(item_, L.hits[7].rect);
    EXPECT_TRUE(Journalled("phone make call 555123 prompt"));
    EXPECT_TRUE(Commands().empty());
    plat::DestroyWindow(messaging);
    plat::UnregisterClass(u"tmail");
}

}  // namespace
}  // namespace todaytest

namespace todaytest {
namespace {

using namespace today;

TEST_F(TodayLifeTest, HitTestFindsTheAreaUnderThePoint) {
    MakePhone("qvga");
    WriteConfig({{AddonBluetooth}});
    SetRunning(1);
    MakeItem();
    const TodayLayout& L = Plugin().layout;
    auto middle = [](const plat::Rect& r) { return std::pair{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
    auto [tx, ty] = middle(L.hits[kHitTrigger].rect);
    EXPECT_EQ(HitTest(tx, ty), kHitTrigger);
    auto [ox, oy] = middle(L.hits[kHitTimeOut].rect);
    EXPECT_EQ(HitTest(ox, oy), kHitTimeOut) << "the empty time-out area reaches the menu";
    EXPECT_EQ(HitTest(L.nameHighlight.left + 1, oy), kHitProfileName) << "the highlight left of the name";
    auto [lx, ly] = middle(L.hits[kHitLock].rect);
    EXPECT_EQ(HitTest(lx, ly), kHitLock);
    EXPECT_EQ(HitTest(L.hits[5].rect.left - 1, oy), kNoHit) << "between the lock and the add-on";
    auto [ax, ay] = middle(L.hits[5].rect);
    EXPECT_EQ(HitTest(ax, ay), 5);
}

}  // namespace
}  // namespace todaytest
