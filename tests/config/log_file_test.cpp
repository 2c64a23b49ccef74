// The diagnostic log: line format, the 512-byte cap, rotation above 100 KB
// and the LogMode switch.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/config/log_file.h"
#include "common/config/registry_key.h"
#include "engine/engine_log.h"
#include "platform/kernel/clock.h"
#include "platform/storage/file.h"
#include "platform/storage/paths.h"
#include "platform/storage/registry.h"
#include "support/temp_device.h"

namespace {

class LogFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::SystemTime t;
        plat::ParseDeviceTime("2010-01-04T10:00:20", &t);
        plat::UseVirtualClock(t);
    }
    void TearDown() override { plat::UseDeviceClock(); }
    std::string Read(const char16_t* path) {
        std::ifstream in(plat::HostPath(path), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void Fill(size_t bytes) { std::ofstream(plat::HostPath(tlw::kLogFile), std::ios::binary) << std::string(bytes, 'x'); }
    TempDevice device;
};

TEST_F(LogFileTest, LinesCarryTheShortDateAndTimeOrOneBlank) {
    tlw::WriteLog(u"Entering program. \u00c4", true);
    tlw::WriteLog(u"  Resseting PDA", false);
    EXPECT_EQ(Read(tlw::kLogFile), "Entering program. \xc4 1/4/2010 10:00:20\r\n  Resseting PDA \r\n");
    // A line above 512 bytes is cut but keeps its line end.
    tlw::WriteLog(std::u16string(600, u'a'), false);
    std::string log = Read(tlw::kLogFile);
    size_t last = log.find("aaa");
    EXPECT_EQ(log.size() - last, 512u);
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
}

TEST_F(LogFileTest, RotatesAbove100KilobytesOnly) {
    Fill(102400);
    tlw::QueryLogMode();
    EXPECT_EQ(plat::FileSize(tlw::kLogFile), 102400);
    EXPECT_FALSE(plat::FileExists(tlw::kLogBackFile));
    Fill(103424);
    std::ofstream(plat::HostPath(tlw::kLogBackFile)) << "older";
    tlw::QueryLogMode();
    EXPECT_FALSE(plat::FileExists(tlw::kLogFile));
    EXPECT_EQ(plat::FileSize(tlw::kLogBackFile), 103424);
}

TEST_F(LogFileTest, LogModeZeroWritesNothingButStillRotates) {
    EXPECT_EQ(tlw::QueryLogMode(), 0u);
    auto engine = std::make_unique<tlw::EngineState>();
    engine->logMode = tlw::QueryLogMode();
    tlw::LogEvent(*engine, u"Processing parameter, Param:%d", {500});
    EXPECT_FALSE(plat::FileExists(tlw::kLogFile));
    Fill(200000);
    tlw::QueryLogMode();
    EXPECT_TRUE(plat::FileExists(tlw::kLogBackFile));

    plat::RegWriteDword(plat::kHkeyCurrentUser, tlw::kTallowinKey, u"LogMode", 4);
    engine->logMode = tlw::QueryLogMode();
    tlw::LogEvent(*engine, u"event line");
    tlw::LogDetail(*engine, u"detail %d", {7});
    EXPECT_EQ(Read(tlw::kLogFile), "detail 7 1/4/2010 10:00:20\r\n");
}

}  // namespace
