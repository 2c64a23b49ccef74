#include "platform/storage/journal.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <string>

#include "platform/kernel/clock.h"
#include "platform/storage/device.h"
#include "support/store_sql.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

class JournalTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedName_ = ProgramName();
        SetProgramName("tester");
        SystemTime start{2010, 1, 0, 1, 12, 0, 0, 0};
        ASSERT_TRUE(UseVirtualClock(start));
    }
    void TearDown() override {
        UseDeviceClock();
        SetProgramName(savedName_);
    }
    // Adds an entry as another process of the device does, through a
    // connection of its own.
    void AppendFromOutside(const std::string& program, const std::string& effect) {
        StoreExec(device_.Root(), "INSERT INTO journal(time, program, effect) VALUES('2010-01-01T12:00:00', '" +
                                      program + "', '" + effect + "')");
    }

    TempDevice device_;
    std::string savedName_;  // the test program's own name, restored afterwards
};

TEST_F(JournalTest, LinesCarryDeviceTimeProgramAndEffect) {
    EXPECT_TRUE(JournalRead().empty());
    JournalAppend("sound played \\Windows\\Alarm1.wav");
    AdvanceClock(90);
    SetProgramName("Tallowd");
    JournalAppend("radio phone off");
    EXPECT_EQ(JournalRead(), (std::vector<std::string>{
                                 "2010-01-01T12:00:00 tester sound played \\Windows\\Alarm1.wav",
                                 "2010-01-01T12:01:30 Tallowd radio phone off",
                             }));
}

TEST_F(JournalTest, EveryEntryStaysOneLine) {
    SetProgramName("two words");
    JournalAppend("first\r\nsecond\tthird\n");
    JournalAppend("");
    EXPECT_EQ(JournalRead(), (std::vector<std::string>{
                                 "2010-01-01T12:00:00 two_words first  second third ",
                                 "2010-01-01T12:00:00 two_words ",
                             }));
}

TEST_F(JournalTest, ReadFromOffsetReturnsOnlyNewLines) {
    uint64_t offset = 0;
    JournalAppend("one");
    EXPECT_EQ(JournalReadFrom(&offset), (std::vector<std::string>{"2010-01-01T12:00:00 tester one"}));
    EXPECT_TRUE(JournalReadFrom(&offset).empty());

    AppendFromOutside("other", "half done");
    EXPECT_EQ(JournalReadFrom(&offset), (std::vector<std::string>{"2010-01-01T12:00:00 other half done"}));
    EXPECT_TRUE(JournalReadFrom(&offset).empty());

    // A device made anew (its store with it) is read from its start.
    for (const char* file : {"device.db", "device.db-wal", "device.db-shm"})
        std::filesystem::remove(device_.StateDir() / file);
    JournalAppend("two");
    EXPECT_EQ(JournalReadFrom(&offset), (std::vector<std::string>{"2010-01-01T12:00:00 tester two"}));
}

TEST_F(JournalTest, WithoutStateFolderNothingIsWritten) {
    std::filesystem::remove_all(device_.StateDir());
    JournalAppend("lost");
    EXPECT_TRUE(JournalRead().empty());
    EXPECT_FALSE(std::filesystem::exists(device_.StateDir()));
}

// Two processes append 200 lines each at once: no line may be lost, torn or
// mixed with another.
TEST_F(JournalTest, ConcurrentProcessesAppendWholeLines) {
    constexpr int kLines = 200;
    std::vector<pid_t> children;
    for (int child = 0; child < 2; ++child) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            SetProgramName("writer" + std::to_string(child));
            std::string padding(child == 0 ? 10 : 3000, child == 0 ? 'a' : 'b');
            for (int i = 0; i < kLines; ++i) JournalAppend("entry " + std::to_string(i) + " " + padding);
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::vector<std::string> lines = JournalRead();
    ASSERT_EQ(lines.size(), 2u * kLines);
    const std::string prefix = "2010-01-01T12:00:00 writer";
    std::map<char, int> next;  // per writer: the entry expected next
    for (const std::string& line : lines) {
        ASSERT_EQ(line.compare(0, prefix.size(), prefix), 0) << line.substr(0, 80);
        char writer = line[prefix.size()];
        ASSERT_TRUE(writer == '0' || writer == '1') << line.substr(0, 80);
        std::string expected = "entry " + std::to_string(next[writer]++) + " " +
                               std::string(writer == '0' ? 10 : 3000, writer == '0' ? 'a' : 'b');
        EXPECT_EQ(line.substr(prefix.size() + 2), expected) << line.substr(0, 80);
    }
    EXPECT_EQ(next['0'], kLines);
    EXPECT_EQ(next['1'], kLines);
}

}  // namespace
