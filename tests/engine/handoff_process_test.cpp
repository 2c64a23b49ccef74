// Process tests: a running Tallowd on a temporary device, second starts
// handing their command line over, settings changed by other processes, and
// the shut-down.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/text.h"
#include "platform/storage/device.h"
#include "platform/window/window.h"
#include "support/run_program.h"
#include "engine_process_fixture.h"

namespace {

TEST_F(EngineProcessTest, SecondStartsHandTheirCommandLineOver) {
    EXPECT_NE(Log().find("Entering program. Command line: Instance="), std::string::npos);
    EXPECT_NE(Log().find("Processing parameter, Param:500"), std::string::npos);

    SecondStart({});
    EXPECT_NE(Journal().find("message 2259 to Tallowd"), std::string::npos);
    SecondStart({"1500"});
    EXPECT_NE(Journal().find("message 1500 to Tallowd (0, 0)"), std::string::npos);
    SecondStart({"1200"});
    EXPECT_NE(Log().find("Processing parameter, Param:1200"), std::string::npos);
    SecondStart({"Night"});  // the second profile's English default name
    EXPECT_NE(Log().find("Processing parameter, Param:101"), std::string::npos);
    SecondStart({"NIGHT"});
    EXPECT_NE(Log().find("Processing parameter, Param:600"), std::string::npos);
    SecondStart({"-5"});
    EXPECT_NE(Log().find("Processing parameter, Param:-5"), std::string::npos);
    SecondStart({"935"});
    EXPECT_NE(Log().find("Processing command, Param:935"), std::string::npos);
    EXPECT_EQ(Tlwsim({"reg", dir_, "get", "HKCU\\Software\\Korvel\\Tallowin", "Locked"}).output, "1\n");
}

TEST_F(EngineProcessTest, LockedFromAnotherProcessReachesTheEngine) {
    ASSERT_EQ(Tlwsim({"reg", dir_, "set", "HKCU\\Software\\Korvel\\Tallowin", "Locked", "dword:1"}).exitCode, 0);
    ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    EXPECT_NE(Journal().find("message 2273 to Tallowd"), std::string::npos);
}

TEST_F(EngineProcessTest, CloseShutsTheEngineDownWithoutPendingWakeUps) {
    ASSERT_EQ(Tlwsim({"halt", dir_}).exitCode, 0);
    EXPECT_FALSE(plat::FindWindow(u"Tallowd", nullptr));
    std::string log = Log();
    EXPECT_NE(log.find("Exiting program."), std::string::npos);
    EXPECT_NE(log.find("\r\n \r\n"), std::string::npos);  // the blank line after it
    EXPECT_EQ(Tlwsim({"notify", dir_, "list"}).output.find("Tallowd.exe"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(EngineProcessTest, ChargerPluggedInEvaluatesFifteenSecondsLater) {
    ASSERT_EQ(Tlwsim({"hw", dir_, "ac=on"}).exitCode, 0);
    ASSERT_TRUE(WaitUntil([&] { return Log().find("Power change Notified.") != std::string::npos; }));
    ASSERT_EQ(Tlwsim({"time", dir_, "advance", "14s"}).exitCode, 0);
    ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    EXPECT_EQ(Log().find("Param:10,"), std::string::npos);
    ASSERT_EQ(Tlwsim({"time", dir_, "advance", "1s"}).exitCode, 0);
    EXPECT_TRUE(WaitUntil([&] { return Log().find("Processing parameter, Param:10,") != std::string::npos; }));
}

}  // namespace
