// `tlwsim reg` and `tlwsim journal`: the console's view of the registry and
// the journal, run as real processes against a temporary device.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/storage/journal.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/registry.h"
#include "support/run_program.h"
#include "support/temp_device.h"

namespace {

class RegCommandTest : public ::testing::Test {
protected:
    ProgramResult Run(const std::string& command, std::initializer_list<std::string> args) {
        return TlwsimCommand(command, device_.Root().string(), args, ErrorStream::kCaptured);
    }
    ProgramResult Reg(std::initializer_list<std::string> args) { return Run("reg", args); }

    TempDevice device_;
};

TEST_F(RegCommandTest, SetGetAndListEveryType) {
    const std::string key = "HKCU\\Software\\Korvel\\Tallowin";
    EXPECT_EQ(Reg({"set", key, "RunningProfile", "dword:700"}).exitCode, 0);
    EXPECT_EQ(Reg({"set", key, "Big", "dword:0xFFFFFFFF"}).exitCode, 0);
    EXPECT_EQ(Reg({"set", key, "RunningProfileName", "sz:Nacht \xc3\xbc"}).exitCode, 0);
    EXPECT_EQ(Reg({"set", key, "Blob", "hex:01,A0 ff"}).exitCode, 0);
    EXPECT_EQ(Reg({"set", key + "\\Sub"}).exitCode, 0);

    EXPECT_EQ(Reg({"get", "hkey_current_user\\software\\korvel\\tallowin", "runningprofile"}).output, "700\n");
    EXPECT_EQ(Reg({"get", key, "Big"}).output, "4294967295\n");
    EXPECT_EQ(Reg({"get", key, "RunningProfileName"}).output, "Nacht \xc3\xbc\n");
    EXPECT_EQ(Reg({"get", key, "Blob"}).output, "01,a0,ff\n");
    ProgramResult list = Reg({"list", key});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.output,
              "Sub\\\n"
              "Big=dword:4294967295\n"
              "Blob=hex:01,a0,ff\n"
              "RunningProfile=dword:700\n"
              "RunningProfileName=sz:Nacht \xc3\xbc\n");

    // This process reads what the console wrote.
    uint32_t value = 0;
    EXPECT_TRUE(plat::RegReadDword(plat::kHkeyCurrentUser, u"Software\\Korvel\\Tallowin", u"RunningProfile", &value));
    EXPECT_EQ(value, 700u);
}

TEST_F(RegCommandTest, MissingKeysAndValuesFailWithExitOne) {
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyLocalMachine, u"System\\Test", u"Here", 1));
    ProgramResult r = Reg({"get", "HKLM\\System\\Test", "Gone"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(Reg({"get", "HKLM\\System\\Nowhere", "Here"}).exitCode, 1);
    EXPECT_EQ(Reg({"list", "HKLM\\System\\Nowhere"}).exitCode, 1);
    EXPECT_EQ(Reg({"del", "HKLM\\System\\Test", "Gone"}).exitCode, 1);
}

TEST_F(RegCommandTest, DeleteValueAndKey) {
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyCurrentUser, u"A\\B\\C", u"x", 1));
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyCurrentUser, u"A", u"y", 2));
    EXPECT_EQ(Reg({"del", "HKCU\\A", "Y"}).exitCode, 0);
    EXPECT_EQ(Reg({"list", "HKCU\\A"}).output, "B\\\n");
    EXPECT_EQ(Reg({"del", "HKCU\\a\\b"}).exitCode, 0);
    EXPECT_EQ(Reg({"list", "HKCU\\A"}).output, "");
    EXPECT_NE(Reg({"del", "HKCU"}).exitCode, 0);
    EXPECT_EQ(Reg({"list", "HKCU"}).output, "A\\\n");
}

TEST_F(RegCommandTest, BadInputChangesNothing) {
    for (auto args : {std::initializer_list<std::string>{"set", "HKCU\\K", "v", "dword:-1"},
                      {"set", "HKCU\\K", "v", "dword:4294967296"},
                      {"set", "HKCU\\K", "v", "dword:12abc"},
                      {"set", "HKCU\\K", "v", "hex:0"},
                      {"set", "HKCU\\K", "v", "hex:zz"},
                      {"set", "HKCU\\K", "v", "700"},
                      {"set", "HKCU\\K", "v"},
                      {"set", "HKXY\\K", "v", "dword:1"},
                      {"get", "HKCU\\K"},
                      {"copy", "HKCU\\K"}}) {
        ProgramResult r = Reg(args);
        EXPECT_NE(r.exitCode, 0) << *(args.begin() + 1) << " " << *(args.end() - 1);
    }
    plat::HKey key = 0;
    EXPECT_EQ(plat::RegOpenKey(plat::kHkeyCurrentUser, u"K", &key), plat::kErrorFileNotFound);
}

TEST_F(RegCommandTest, JournalPrintsEveryLine) {
    EXPECT_EQ(Run("journal", {}).output, "");
    plat::JournalAppend("sound played");
    plat::JournalAppend("radio wifi on");
    ProgramResult r = Run("journal", {});
    EXPECT_EQ(r.exitCode, 0);
    std::vector<std::string> lines = plat::JournalRead();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(r.output, lines[0] + "\n" + lines[1] + "\n");
    EXPECT_EQ(Run("journal", {"--tail"}).exitCode, 2);
}

// A damaged device store is named once, in words, and left as it is.
TEST_F(RegCommandTest, ADamagedStoreIsNamedAndLeftAsItIs) {
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyLocalMachine, u"System\\Test", u"Here", 1));
    std::filesystem::path store = device_.StateDir() / "device.db";
    std::filesystem::remove(device_.StateDir() / "device.db-wal");
    std::filesystem::remove(device_.StateDir() / "device.db-shm");
    std::ofstream(store, std::ios::binary | std::ios::trunc) << std::string(4096, 'x');
    auto size = std::filesystem::file_size(store);

    ProgramResult r = Reg({"set", "HKLM\\System\\Test", "Other", "dword:2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.errors.find(store.string() + " is damaged"), std::string::npos) << r.errors;
    EXPECT_EQ(std::filesystem::file_size(store), size);
    EXPECT_FALSE(std::filesystem::exists(device_.StateDir() / "device.db-wal"));
}

// A disk that takes no more writes: the console says so in one line and
// exits 1; the value it could not write keeps its old contents, and once
// there is room again the store takes changes as before.
TEST_F(RegCommandTest, AFullDiskIsSaidInOneLineAndLosesNothing) {
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyLocalMachine, u"System\\Test", u"Here", 1));
    ProgramResult full =
        TlwsimOnAFullDisk({"reg", device_.Root().string(), "set", "HKLM\\System\\Test", "Here", "dword:2"});
    const std::string& errors = full.errors;
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(errors.rfind("tlwsim: cannot write 'Here' of HKLM\\System\\Test: ", 0), 0u) << errors;
    EXPECT_NE(errors.find("disk"), std::string::npos) << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;

    EXPECT_EQ(Reg({"get", "HKLM\\System\\Test", "Here"}).output, "1\n");
    EXPECT_EQ(Reg({"set", "HKLM\\System\\Test", "Here", "dword:3"}).exitCode, 0);
    EXPECT_EQ(Reg({"get", "HKLM\\System\\Test", "Here"}).output, "3\n");
}

}  // namespace
