// tlwsim config read on a fresh device and on a German one.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/run_program.h"
#include "support/sim_device.h"

namespace {

class ConfigCommandTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(device_.Ready()); }
    SimDevice device_{{"--frozen"}};
};

TEST_F(ConfigCommandTest, FreshDeviceShowsTheFiveDefaultsWithEnglishNames) {
    ProgramResult r = Tlwsim({"config", device_.Dir(), "read"});
    ASSERT_EQ(r.exitCode, 0);
    for (const char* section : {"[profile0]", "[profile4]", "[Options]", "[Locations]"})
        EXPECT_NE(r.output.find(section), std::string::npos) << section;
    EXPECT_EQ(r.output.find("[profile5]"), std::string::npos);
    for (const char* name : {"Silent", "Night", "Day", "Car", "Flight mode"})
        EXPECT_NE(r.output.find(std::string("name=-\n;  default name: ") + name + "\n"), std::string::npos) << name;
    EXPECT_NE(r.output.find("profile_icon=\\Application Data\\Korvel\\Tallowin\\Icon_store\\QVGA\\night.png"),
              std::string::npos);
}

TEST_F(ConfigCommandTest, SelectedLanguageGivesTheDefaultNames) {
    std::string text = Tlwsim({"config", device_.Dir(), "read"}).output;
    size_t at = text.find("language=0");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 10, "language=1");
    std::string crlf;
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    std::filesystem::create_directories(device_.Base() / "phone" / "My Documents" / "Korvel");
    std::ofstream(device_.Base() / "phone" / "My Documents" / "Korvel" / "Tallowd.ini", std::ios::binary) << crlf;
    ProgramResult r = Tlwsim({"config", device_.Dir(), "read"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find(";  default name: Nacht\n"), std::string::npos);
    EXPECT_NE(r.output.find(";  default name: Flugmodus\n"), std::string::npos);
}

TEST_F(ConfigCommandTest, FileOfTheOlderLayoutIsReportedAndBadArgumentsRefused) {
    std::ofstream(device_.Base() / "old.ini") << "[profile0]\r\nname=Old\r\n";
    ProgramResult r = Tlwsim({"config", device_.Dir(), "read", (device_.Base() / "old.ini").string()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("[profile4]"), std::string::npos);  // the defaults
    EXPECT_NE(Tlwsim({"config", device_.Dir(), "write"}).exitCode, 0);
    EXPECT_NE(Tlwsim({"config", (device_.Base() / "nothing").string(), "read"}).exitCode, 0);
    EXPECT_NE(Tlwsim({"config", device_.Dir(), "read", "\\My Documents\\missing.tlw"}).exitCode, 0);
}

TEST_F(ConfigCommandTest, AHugeLineTakesNoMoreMemoryThanAShortFile) {
    ProgramResult fresh = Tlwsim({"config", device_.Dir(), "read"});
    ASSERT_EQ(fresh.exitCode, 0);
    std::filesystem::create_directories(device_.Base() / "phone" / "My Documents" / "Korvel");
    {
        std::ofstream ini(device_.Base() / "phone" / "My Documents" / "Korvel" / "Tallowd.ini", std::ios::binary);
        ini << ";Tallowin configuration file\r\n;VERSION 2.0\r\n\r\n[profile0]\r\nname=Only\r\n\r\n[Options]\r\n";
        ini << "skin=" << std::string(10 * 1024 * 1024, 'x') << "\r\nvoicemail=555\r\n";
    }
    ProgramResult r = Tlwsim({"config", device_.Dir(), "read"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("voicemail=555\n"), std::string::npos);
    EXPECT_NE(r.output.find("skin=" + std::string(259, 'x') + "\n"), std::string::npos);
    // The 10 MB line is never held: not in bytes, not as UTF-16 text.
    EXPECT_LT(r.peakMemoryKb, fresh.peakMemoryKb + 4096) << "kB; a fresh device takes " << fresh.peakMemoryKb;
}

}  // namespace
