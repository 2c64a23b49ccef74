// A save of the configuration file killed at every step that changes a file:
// the file must read back as the old or the new configuration, whole, each
// time; and the next save after a crash must succeed.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "base/text.h"
#include "common/config/config_file.h"
#include "platform/storage/file.h"
#include "support/temp_device.h"

namespace {

using tlw::ConfigModel;
using tlw::LanguageTable;

class ConfigCrashTest : public ::testing::Test {
protected:
    void SetUp() override {
        language = std::make_unique<LanguageTable>();
        language->text[111] = u"Silent";
        language->text[112] = u"Night";
        language->text[113] = u"Day";
        language->text[170] = u"(any)";
        plat::CreateDirectory(u"\\My Documents");
        plat::CreateDirectory(u"\\Application Data");
        // The old configuration: the defaults, renamed. The new one: one
        // profile more, other names and settings, so that a file made of
        // parts of both is told apart from either.
        oldModel = std::make_unique<ConfigModel>();
        tlw::ReadConfiguration(false, *oldModel, *language);
        for (int i = 0; i < oldModel->profiles.count; ++i)
            oldModel->profiles.profiles[i].name = tlw::Format(u"Old %d", {i});
        newModel = std::make_unique<ConfigModel>(*oldModel);
        tlw::ProfileTable& p = newModel->profiles;
        p.profiles[p.count] = p.profiles[0];
        ++p.count;
        for (int i = 0; i < p.count; ++i) {
            p.profiles[i].name = tlw::Format(u"New profile %d", {i});
            p.profiles[i].volMaster = 3 + i;
            p.profiles[i].program = u"\\Windows\\calc.exe";
        }
        newModel->options.voicemail = u"+44 1632 960000";
        oldText = tlw::FormatConfiguration(*oldModel, *language);
        newText = tlw::FormatConfiguration(*newModel, *language);
        ASSERT_NE(oldText, newText);
    }

    // Saves `model` in a child process that ends at file step `step` (0:
    // never). Returns the child's exit status, -1 when it did not exit.
    int SaveInChild(const ConfigModel& model, int step) {
        pid_t child = ::fork();
        if (child == 0) {
            plat::ExitAtFileStep(step);
            bool saved = tlw::WriteConfiguration(false, "", model, *language);
            ::_exit(saved ? 0 : 1);
        }
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
        return WEXITSTATUS(status);
    }

    // What a reader finds now, as the writer would write it.
    std::string ReadBack() {
        auto model = std::make_unique<ConfigModel>();
        if (!tlw::ReadConfiguration(false, *model, *language)) return "(no version marker)";
        return tlw::FormatConfiguration(*model, *language);
    }

    TempDevice device;
    std::unique_ptr<LanguageTable> language;
    std::unique_ptr<ConfigModel> oldModel, newModel;
    std::string oldText, newText;
};

TEST_F(ConfigCrashTest, EveryKillPointOfASaveLeavesTheOldOrTheNewFile) {
    int points = 0;
    for (int step = 1;; ++step) {
        SCOPED_TRACE("killed at file step " + std::to_string(step));
        ASSERT_EQ(SaveInChild(*oldModel, 0), 0);
        ASSERT_EQ(ReadBack(), oldText);
        int status = SaveInChild(*newModel, step);
        if (status == 0) break;  // the save ran past its last step
        ASSERT_EQ(status, plat::kCrashTestExitCode);
        ++points;
        std::string found = ReadBack();
        EXPECT_TRUE(found == oldText || found == newText) << found;
        // The next save, after the crash, succeeds and is read back whole.
        ASSERT_EQ(SaveInChild(*newModel, 0), 0);
        EXPECT_EQ(ReadBack(), newText);
        ASSERT_LT(step, 100) << "a save of one file takes far fewer steps";
    }
    // Copying the backup and writing the file are several steps each; none
    // at all would mean the kills never happened.
    EXPECT_GE(points, 4);
    RecordProperty("kill_points", points);
    std::printf("kill points of one save: %d\n", points);
}

}  // namespace
