// The sensing cycle: a sleeping device is woken behind a black window with
// the backlight off, read, reported to the engine window and put back to
// idle; stopping leaves no re-timing notification behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/device/location_sensing.h"
#include "platform/hardware/hardware.h"
#include "platform/notify/user_notify.h"
#include "platform/power/power_state.h"
#include "platform/storage/journal.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "support/run_program.h"
#include "support/temp_device.h"

namespace tlw {
namespace {

std::vector<plat::WParam> g_reports;  // wParams of the location messages, in order

plat::LResult EngineProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    if (message == kLocationChangedMessage) g_reports.push_back(wParam);
    return plat::DefWindowProc(hwnd, message, wParam, lParam);
}

class LocationSensingTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_reports.clear();
        plat::WndClass wc;
        wc.className = u"Tallowd";
        wc.proc = EngineProc;
        ASSERT_TRUE(plat::RegisterClass(wc));
        engine = plat::CreateWindow(u"Tallowd", u"Tallowd", 0, 0, 50, 0, 50, {});
        ASSERT_TRUE(engine);
        ASSERT_TRUE(plat::ChangeHardwareState([](plat::HardwareState& s) {
            s.cellPresent = true;
            s.cellLac = 0x1234;
            s.cellId = 0x5678;
        }));
    }
    void TearDown() override {
        StopLocationSensing();
        plat::DestroyWindow(engine);
        plat::UnregisterClass(u"Tallowd");
    }
    // The reports that carry a cell; in cell mode every cycle also sends the
    // address of the (unused) access-point text, which is no cell.
    static std::vector<plat::WParam> CellReports() {
        std::vector<plat::WParam> cells;
        for (plat::WParam w : g_reports)
            if (w <= 0xFFFFFFFFu) cells.push_back(w);
        return cells;
    }
    bool WaitForReports(size_t n) {
        return WaitUntil([&] {
            plat::PumpMessagesUntilIdle();
            return CellReports().size() >= n;
        });
    }
    static std::vector<std::string> Effects() {
        std::vector<std::string> out;
        for (const std::string& line : plat::JournalRead()) {
            size_t first = line.find(' ');
            size_t second = line.find(' ', first + 1);
            out.push_back(line.substr(second + 1));
        }
        return out;
    }
    static bool Has(const std::vector<std::string>& effects, const std::string& effect) {
        return std::find(effects.begin(), effects.end(), effect) != effects.end();
    }
    static std::vector<plat::UserNotificationInfo> Retimings() {
        std::vector<plat::UserNotificationInfo> all, out;
        plat::ListUserNotifications(&all);
        for (const auto& n : all)
            if (n.trigger.application == kCellVerifyTarget) out.push_back(n);
        return out;
    }
    TempDevice device;
    plat::Hwnd engine;
};

TEST_F(LocationSensingTest, ASleepingDeviceIsWokenReadReportedAndReturnedToIdle) {
    ASSERT_TRUE(plat::SetDevicePower(plat::DevicePower::kIdle));
    plat::SystemTime started = plat::GetLocalTime();
    StartLocationSensing(0);
    ASSERT_TRUE(WaitForReports(1));
    EXPECT_EQ(CellReports()[0], 0x12345678u);
    // The cycle has finished once the device is idle again.
    ASSERT_TRUE(WaitUntil([] { return Has(Effects(), "full screen szHideClass show taskbar"); }));
    std::vector<std::string> effects = Effects();
    EXPECT_TRUE(Has(effects, "full screen szHideClass hide taskbar"));
    // Backlight unspecified, device on, backlight off; afterwards unspecified and idle.
    std::vector<std::string> requests;
    for (const std::string& e : effects)
        if (e.rfind("device power", 0) == 0 || e.rfind("power request", 0) == 0) requests.push_back(e);
    EXPECT_EQ(requests, (std::vector<std::string>{"device power BKL1: unspecified", "power request on forced",
                                               "device power BKL1: D4", "device power BKL1: unspecified",
                                               "power request idle forced"}));
    EXPECT_TRUE(Has(effects, "load library ril.dll"));
    plat::PowerState power;
    ASSERT_TRUE(plat::ReadPowerState(&power));
    EXPECT_EQ(power.power, plat::DevicePower::kIdle);
    EXPECT_FALSE(plat::FindWindow(u"szHideClass", nullptr));
    std::vector<plat::UserNotificationInfo> retimings = Retimings();
    ASSERT_EQ(retimings.size(), 1u);
    EXPECT_GE(plat::SecondsBetween(started, retimings[0].trigger.startTime), kSensingPeriodSeconds);

    // The next cycle (signalled by the notification's named event) reports
    // the new cell.
    ASSERT_TRUE(plat::ChangeHardwareState([](plat::HardwareState& s) { s.cellId = 0x9999; }));
    plat::Handle cycle = plat::CreateEvent(false, false, u"TlwCellVerify");
    ASSERT_TRUE(plat::SignalNamedEvent(kCellVerifyTarget));
    ASSERT_TRUE(WaitForReports(2));
    EXPECT_EQ(CellReports()[1], 0x12349999u);
    plat::CloseHandle(cycle);
}

TEST_F(LocationSensingTest, AnAwakeDeviceIsReadWithoutHidingAnything) {
    ASSERT_TRUE(plat::SetDevicePower(plat::DevicePower::kOn));
    StartLocationSensing(0);
    ASSERT_TRUE(WaitForReports(1));
    std::vector<std::string> effects = Effects();
    for (const std::string& e : effects) {
        EXPECT_EQ(e.find("full screen"), std::string::npos) << e;
        EXPECT_EQ(e.find("device power"), std::string::npos) << e;
    }
    plat::PowerState power;
    ASSERT_TRUE(plat::ReadPowerState(&power));
    EXPECT_EQ(power.power, plat::DevicePower::kOn);
}

TEST_F(LocationSensingTest, StoppingLeavesNoPendingNotification) {
    StartLocationSensing(0);
    ASSERT_TRUE(WaitForReports(1));
    ASSERT_TRUE(WaitUntil([] { return Retimings().size() == 1; }));
    StopLocationSensing();
    EXPECT_TRUE(Retimings().empty());
    EXPECT_EQ(PendingSensingWakeUp(), 0u);
    // Starting again (also over a running thread) keeps one at most.
    StartLocationSensing(0);
    StartLocationSensing(0);
    ASSERT_TRUE(WaitUntil([] { return Retimings().size() == 1; }));
    StopLocationSensing();
    EXPECT_TRUE(Retimings().empty());
}

}  // namespace
}  // namespace tlw
