// Reading the serving cell through the radio interface layer, and choosing
// the strongest access point of a scan.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>
#include <vector>

#include "common/device/location_reading.h"
#include "platform/hardware/hardware.h"
#include "platform/hardware/library.h"
#include "platform/hardware/ril.h"
#include "support/temp_device.h"

namespace tlw {
namespace {

class CellTowerTest : public ::testing::Test {
protected:
    void SetCell(const char* text) {
        ASSERT_TRUE(plat::ChangeHardwareState([&](plat::HardwareState& s) {
            ASSERT_TRUE(plat::ParseCell(text, &s.cellPresent, &s.cellLac, &s.cellId));
        }));
    }
    TempDevice device;
};

TEST_F(CellTowerTest, IdentityIsAreaTimes65536PlusCellAndCellZeroIsNone) {
    SetCell("0x1234:0x5678");
    EXPECT_EQ(ReadCellTower(), 0x12345678u);
    SetCell("21:7");
    EXPECT_EQ(ReadCellTower(), 21u * 65536 + 7);
    SetCell("0x1234:0");
    EXPECT_EQ(ReadCellTower(), 0u);
    SetCell("none");
    EXPECT_EQ(ReadCellTower(), 0u);
}

TEST_F(CellTowerTest, NoCellWithTheRadioOffOrWithoutTheLibrary) {
    SetCell("300:12");
    ASSERT_TRUE(plat::SetPhoneRadioHardware(false));
    EXPECT_EQ(ReadCellTower(), 0u);
    ASSERT_TRUE(plat::SetPhoneRadioHardware(true));
    EXPECT_EQ(ReadCellTower(), 300u * 65536 + 12);
    std::ofstream(device.StateDir() / "model", std::ios::trunc) << "libraries=ossvcs.dll,bthutil.dll\n";
    EXPECT_EQ(ReadCellTower(), 0u);
}

TEST_F(CellTowerTest, CellTextIsCheckedBeforeItIsStored) {
    bool present = false;
    uint32_t lac = 0, cid = 0;
    for (const char* bad : {"", "12", "12:", ":7", "0x10000:1", "1:65536", "-1:2", "1:2:3", "0x:1", "a:b"})
        EXPECT_FALSE(plat::ParseCell(bad, &present, &lac, &cid)) << bad;
    EXPECT_TRUE(plat::ParseCell("0xFFFF:65535", &present, &lac, &cid));
    EXPECT_EQ(plat::FormatCell(present, lac, cid), "65535:65535");
}

// Answers of the radio layer, as the result callback receives them.
struct Answer {
    uint32_t code;
    int32_t command;
    uint32_t cell;
    std::thread::id thread;
};
std::vector<Answer> g_answers;
std::mutex g_answersLock;

void Record(uint32_t code, int32_t command, const void* data, uint32_t size, uint32_t param) {
    EXPECT_EQ(param, 77u);
    uint32_t cell = 0;
    if (data && size == sizeof(plat::RilCellTowerInfo)) {
        const auto* info = static_cast<const plat::RilCellTowerInfo*>(data);
        EXPECT_EQ(info->size, sizeof(plat::RilCellTowerInfo));
        cell = info->locationAreaCode * 65536 + info->cellId;
    }
    std::lock_guard<std::mutex> guard(g_answersLock);
    g_answers.push_back({code, command, cell, std::this_thread::get_id()});
}

TEST_F(CellTowerTest, TheLayerAnswersEveryRequestOnItsOwnThread) {
    SetCell("2:3");
    plat::HModule ril = plat::LoadLibrary(u"ril.dll");
    ASSERT_NE(ril, 0u);
    auto init = reinterpret_cast<plat::RilInitializeFn>(plat::GetProcAddress(ril, "RIL_Initialize"));
    auto ask = reinterpret_cast<plat::RilGetCellTowerInfoFn>(plat::GetProcAddress(ril, "RIL_GetCellTowerInfo"));
    auto done = reinterpret_cast<plat::RilDeinitializeFn>(plat::GetProcAddress(ril, "RIL_Deinitialize"));
    ASSERT_TRUE(init && ask && done);
    plat::HRil handle = 0;
    EXPECT_EQ(init(2, Record, nullptr, 0, 77, &handle), plat::kRilInvalidArgument);  // one port only
    ASSERT_EQ(init(1, Record, nullptr, 0, 77, &handle), plat::kRilSucceeded);
    g_answers.clear();
    int32_t first = ask(handle);
    SetCell("none");
    int32_t second = ask(handle);
    EXPECT_GT(first, 0);
    EXPECT_GT(second, first);
    ASSERT_TRUE([&] {
        for (int i = 0; i < 500; ++i) {
            {
                std::lock_guard<std::mutex> guard(g_answersLock);
                if (g_answers.size() == 2) return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }());
    EXPECT_EQ(g_answers[0].command, first);
    EXPECT_EQ(g_answers[1].command, second);
    EXPECT_EQ(g_answers[1].code, plat::kRilResultNoService);
    EXPECT_NE(g_answers[0].thread, std::this_thread::get_id());
    EXPECT_EQ(done(handle), plat::kRilSucceeded);
    EXPECT_EQ(ask(handle), plat::kRilInvalidArgument);
    EXPECT_EQ(done(handle), plat::kRilInvalidArgument);
    plat::FreeLibrary(ril);
}

TEST(AccessPointChoice, StrongestUsableFirstListedWinsAmongTheClamped) {
    const int32_t scan[] = {-95, -60, -20, -25};
    EXPECT_EQ(ChooseStrongestAccessPoint(scan, 4), 2);
    const int32_t upperHalf[] = {-70, static_cast<int32_t>(static_cast<uint32_t>(-65) << 16)};
    EXPECT_EQ(ChooseStrongestAccessPoint(upperHalf, 2), 1);  // read as -65
    const int32_t weak[] = {-90, -100, -95};
    EXPECT_EQ(ChooseStrongestAccessPoint(weak, 3), -1);
    EXPECT_EQ(ChooseStrongestAccessPoint(nullptr, 0), -1);
}

}  // namespace
}  // namespace tlw
