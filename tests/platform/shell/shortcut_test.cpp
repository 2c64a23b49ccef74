// Shortcut files and the Startup folder's shortcuts: written as the phone
// reads them, found by their program whatever their name, removed.
#include "platform/shell/shortcut.h"

#include <gtest/gtest.h>

#include "platform/kernel/last_error.h"
#include "platform/shell/startup_programs.h"
#include "platform/storage/file.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

std::string FileText(const TempDevice& device, const char* relative) {
    std::string text;
    File file;
    if (!file.Open(std::u16string(u"\\") + std::u16string(relative, relative + std::char_traits<char>::length(relative)),
                   kGenericRead, kShareRead, kOpenExisting))
        return "<missing>";
    text.resize(static_cast<size_t>(file.Size()));
    uint32_t got = 0;
    file.Read(text.data(), static_cast<uint32_t>(text.size()), &got);
    (void)device;
    return text;
}

TEST(Shortcut, StartupShortcutIsWrittenFoundAndRemoved) {
    TempDevice device;
    EXPECT_FALSE(FindStartupShortcut(u"\\Windows\\Tallowd.exe"));
    ASSERT_TRUE(CreateStartupShortcut(u"Tallowd", u"\\Windows\\Tallowd.exe"));
    EXPECT_EQ(FileText(device, "Windows\\StartUp\\Tallowd.lnk"), "20#\\Windows\\Tallowd.exe");
    // The boot reads it back as the command to start.
    std::vector<ShortcutCommand> commands = ListStartupCommands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].program, u"\\Windows\\Tallowd.exe");
    std::u16string found;
    EXPECT_TRUE(FindStartupShortcut(u"\\WINDOWS\\tallowd.EXE", &found));
    EXPECT_EQ(found, u"\\Windows\\StartUp\\Tallowd.lnk");
    // A program path with blanks is quoted, arguments follow it.
    ASSERT_TRUE(CreateStartupShortcut(u"Other.lnk", u"\\Program Files\\Tool.exe", u"-quiet"));
    EXPECT_EQ(FileText(device, "Windows\\StartUp\\Other.lnk"), "32#\"\\Program Files\\Tool.exe\" -quiet");
    std::u16string target;
    EXPECT_TRUE(SHGetShortcutTarget(u"\\Windows\\StartUp\\Other.lnk", &target));
    EXPECT_EQ(target, u"\\Program Files\\Tool.exe");
    EXPECT_TRUE(RemoveStartupShortcut(u"Tallowd"));
    EXPECT_FALSE(FindStartupShortcut(u"\\Windows\\Tallowd.exe"));
    EXPECT_TRUE(RemoveStartupShortcut(u"Tallowd"));  // gone already: fine
}

TEST(Shortcut, BadInputIsRefusedAndLeavesTheOldShortcut) {
    TempDevice device;
    ASSERT_TRUE(CreateStartupShortcut(u"Tallowd", u"\\Windows\\Tallowd.exe"));
    EXPECT_FALSE(CreateStartupShortcut(u"Tallowd", u""));
    EXPECT_EQ(GetLastError(), static_cast<uint32_t>(kErrorInvalidParameter));
    EXPECT_FALSE(CreateStartupShortcut(u"a\\b", u"\\x.exe"));
    EXPECT_FALSE(SHCreateShortcut(u"\\Windows\\StartUp\\Tallowd.lnk", u"\\bad\"quote.exe"));
    EXPECT_EQ(FileText(device, "Windows\\StartUp\\Tallowd.lnk"), "20#\\Windows\\Tallowd.exe");
    // A file that is no shortcut has no target.
    File junk;
    ASSERT_TRUE(junk.Open(u"\\Windows\\StartUp\\junk.lnk", kGenericWrite, kShareNone, kCreateAlways));
    junk.Write("hello", 5);
    junk.Close();
    std::u16string target;
    EXPECT_FALSE(SHGetShortcutTarget(u"\\Windows\\StartUp\\junk.lnk", &target));
    EXPECT_FALSE(SHGetShortcutTarget(u"\\Windows\\StartUp\\none.lnk", &target));
}

}  // namespace
