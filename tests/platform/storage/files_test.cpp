// Device paths, code pages and files of the simulated phone.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/stat.h>
#include <time.h>

#include <fstream>

#include "platform/storage/code_page.h"
#include "platform/storage/file.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/paths.h"
#include "support/temp_device.h"

namespace {

TEST(Paths, DevicePathsMatchWithoutRegardToCase) {
    TempDevice device;
    ASSERT_TRUE(plat::CreateDirectory(u"\\My Documents"));
    ASSERT_TRUE(plat::CreateDirectory(u"\\My Documents\\Korvel"));
    std::ofstream(device.Root() / "My Documents" / "Korvel" / "Tallowd.ini") << "x";
    EXPECT_EQ(plat::HostPath(u"\\MY DOCUMENTS\\korvel\\TALLOWD.INI"), device.Root() / "My Documents" / "Korvel" / "Tallowd.ini");
    EXPECT_TRUE(plat::FileExists(u"\\my documents\\KORVEL\\tallowd.ini"));
    // A missing tail keeps its spelling; forward slashes are accepted.
    EXPECT_EQ(plat::HostPath(u"/my documents/New Folder/a.txt"), device.Root() / "My Documents" / "New Folder" / "a.txt");
    // Nothing reaches outside the device or into its platform state.
    EXPECT_TRUE(plat::HostPath(u"\\..\\etc\\passwd").empty());
    EXPECT_TRUE(plat::HostPath(u"\\.device\\device.db").empty());
    EXPECT_TRUE(plat::HostPath(u"\\My Documents\\..\\..\\etc").empty());
    EXPECT_TRUE(plat::HostPath(u"\\My Documents\\.\\Korvel").empty());
    EXPECT_EQ(plat::HostPath(u"\\My Documents\\.device"), device.Root() / "My Documents" / ".device");
    // Two host files that differ only in case: an exact spelling finds its own.
    std::ofstream(device.Root() / "My Documents" / "Case.txt") << "upper";
    std::ofstream(device.Root() / "My Documents" / "case.txt") << "lower";
    EXPECT_EQ(plat::HostPath(u"\\My Documents\\case.txt"), device.Root() / "My Documents" / "case.txt");
    EXPECT_EQ(plat::HostPath(u"\\my documents\\Case.txt"), device.Root() / "My Documents" / "Case.txt");
    EXPECT_EQ(plat::HostPath(u"\\"), device.Root());
    EXPECT_EQ(plat::GetSpecialFolderPath(plat::kFolderPersonal), u"\\My Documents");
    EXPECT_EQ(plat::GetSpecialFolderPath(plat::kFolderAppData), u"\\Application Data");
    EXPECT_EQ(plat::GetSpecialFolderPath(plat::kFolderWindows), u"\\Windows");
    EXPECT_EQ(plat::GetSpecialFolderPath(999), u"");
    EXPECT_EQ(plat::JoinDevicePath(u"\\Windows\\", u"\\Tallowd.exe"), u"\\Windows\\Tallowd.exe");
    EXPECT_EQ(plat::DevicePathOf(device.Root() / "My Documents" / "Korvel"), u"\\My Documents\\Korvel");
}

// A folder's names are remembered between look-ups; whatever another program
// makes, renames or removes in it afterwards is seen by the next look-up.
TEST(Paths, LookUpsSeeEveryChangeOfAFolderTheyListedBefore) {
    TempDevice device;
    const std::filesystem::path box = device.Root() / "Box";
    std::filesystem::create_directory(box);
    std::ofstream(box / "Mixed.TXT") << "x";
    // Once the coarse clock has passed the folder's last change, its listing
    // is kept (a listing made on the same tick is not).
    struct stat info {};
    ASSERT_EQ(::stat(box.c_str(), &info), 0);
    for (int i = 0; i < 100000; ++i) {
        struct timespec now {};
        ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
        if (now.tv_sec > info.st_ctim.tv_sec || (now.tv_sec == info.st_ctim.tv_sec && now.tv_nsec > info.st_ctim.tv_nsec))
            break;
        ::sched_yield();
    }
    EXPECT_EQ(plat::HostPath(u"\\box\\MIXED.txt"), box / "Mixed.TXT");
    EXPECT_EQ(plat::HostPath(u"\\BOX\\other.dat"), box / "other.dat");  // not there yet

    std::ofstream(box / "Other.DAT") << "y";
    EXPECT_EQ(plat::HostPath(u"\\box\\other.dat"), box / "Other.DAT");
    EXPECT_EQ(plat::FileSize(u"\\box\\OTHER.dat"), 1);
    std::filesystem::rename(box / "Mixed.TXT", box / "Renamed.txt");
    EXPECT_EQ(plat::HostPath(u"\\box\\mixed.txt"), box / "mixed.txt");
    EXPECT_EQ(plat::HostPath(u"\\box\\RENAMED.TXT"), box / "Renamed.txt");
    std::filesystem::remove(box / "Other.DAT");
    EXPECT_EQ(plat::FileSize(u"\\box\\other.dat"), -1);
    // A folder made anew under the same name is listed anew.
    std::filesystem::remove_all(box);
    std::filesystem::create_directory(box);
    std::ofstream(box / "fresh.txt") << "z";
    EXPECT_EQ(plat::HostPath(u"\\box\\RENAMED.TXT"), box / "RENAMED.TXT");
    EXPECT_EQ(plat::HostPath(u"\\Box\\FRESH.txt"), box / "fresh.txt");
}

TEST(CodePage, Windows1252ConvertsLikeThePlatform) {
    EXPECT_EQ(plat::AnsiCodePage(), 1252u);
    EXPECT_EQ(plat::AnsiToWide("\x80\xe4\x9f\x81", 1252), u"\u20ac\u00e4\u0178\u0081");
    EXPECT_EQ(plat::WideToAnsi(u"\u20ac\u00e4\u0178", 1252), "\x80\xe4\x9f");
    // Characters the code page cannot hold become "?", a surrogate pair once.
    EXPECT_EQ(plat::WideToAnsi(u"a\u4e2db\U0001F600c", 1252), "a?b?c");
    EXPECT_EQ(plat::AnsiToWide("\xc0", 1251), u"\u0410");
    EXPECT_EQ(plat::WideToAnsi(u"\u0410\u00e4", 1251), "\xc0?");
    EXPECT_FALSE(plat::IsKnownCodePage(932));
}

// The in-place conversion a line reader uses: a buffer that held a longer
// line holds only the new one afterwards, in the device's code page.
TEST(CodePage, ConversionIntoAReusedBufferKeepsNothingOfTheOldText) {
    std::u16string line = u"a much longer line read before";
    plat::AnsiToWideInto("Name=\x80\xe4", &line);
    EXPECT_EQ(line, u"Name=\u20ac\u00e4");
    plat::SetAnsiCodePage(65001);
    plat::AnsiToWideInto("\xe2\x82\xac!", &line);
    plat::SetAnsiCodePage(1252);
    EXPECT_EQ(line, u"\u20ac!");
    plat::AnsiToWideInto("", &line);
    EXPECT_TRUE(line.empty());
}

// Appending conversion a writer uses: runs of ASCII, characters of the
// upper half, characters the code page lacks and surrogate pairs in any
// order give the same bytes as converting the text alone.
TEST(CodePage, AppendingConversionMatchesTheWholeConversion) {
    const std::u16string texts[] = {u"", u"plain ascii only", u"\u20acstart", u"end\u00e4", u"a\u4e2d\u4e2db",
                                    u"\U0001F600", u"x\U0001F600y\u0178z", std::u16string(70, u'k') + u"\u00e9" +
                                    std::u16string(33, u'q'), std::u16string(1, u'\xD800') + u"lone"};
    for (unsigned codePage : {1252u, 1251u, 65001u}) {
        plat::SetAnsiCodePage(codePage);
        std::string appended = "kept>";
        std::string whole = "kept>";
        for (const std::u16string& text : texts) {
            plat::WideToAnsiAppend(text, &appended);
            whole += plat::WideToAnsi(text, codePage);
        }
        EXPECT_EQ(appended, whole) << codePage;
    }
    plat::SetAnsiCodePage(1252);
    std::string out;
    plat::WideToAnsiAppend(u"a\u20ac\u4e2d", &out);
    EXPECT_EQ(out, "a\x80?");
}

TEST(Files, EndOfFileCutsAndExtendsAtThePosition) {
    TempDevice device;
    plat::File f;
    ASSERT_TRUE(f.Open(u"\\cut.txt", plat::kGenericRead | plat::kGenericWrite, plat::kShareNone, plat::kCreateAlways));
    ASSERT_TRUE(f.Write("a longer old content", 20));
    // Read it, so that the buffer holds bytes the cut removes.
    char buf[32] = {};
    uint32_t got = 0;
    ASSERT_EQ(f.Seek(0, plat::kFileBegin), 0);
    ASSERT_TRUE(f.Read(buf, sizeof buf, &got));
    ASSERT_EQ(got, 20u);
    ASSERT_EQ(f.Seek(0, plat::kFileBegin), 0);
    ASSERT_TRUE(f.Write("new", 3));
    ASSERT_TRUE(f.SetEndOfFile());
    EXPECT_EQ(f.Size(), 3);
    ASSERT_EQ(f.Seek(0, plat::kFileBegin), 0);
    ASSERT_TRUE(f.Read(buf, sizeof buf, &got));
    EXPECT_EQ(std::string(buf, got), "new");
    // Beyond the end it extends the file with zero bytes.
    ASSERT_EQ(f.Seek(5, plat::kFileBegin), 5);
    ASSERT_TRUE(f.SetEndOfFile());
    ASSERT_EQ(f.Seek(0, plat::kFileBegin), 0);
    ASSERT_TRUE(f.Read(buf, sizeof buf, &got));
    EXPECT_EQ(std::string(buf, got), std::string("new\0\0", 5));
    f.Close();
    EXPECT_FALSE(f.SetEndOfFile());
    EXPECT_EQ(plat::GetLastError(), plat::kErrorInvalidHandle);
}

TEST(Files, ReadWriteSeekAndSharing) {
    TempDevice device;
    plat::File w;
    ASSERT_TRUE(w.Open(u"\\note.txt", plat::kGenericWrite, plat::kShareNone, plat::kCreateAlways));
    ASSERT_TRUE(w.Write("hello world", 11));
    EXPECT_EQ(w.Size(), 11);

    // The writer shares nothing: nobody else may open the file meanwhile.
    plat::File r;
    EXPECT_FALSE(r.Open(u"\\NOTE.TXT", plat::kGenericRead, plat::kShareRead, plat::kOpenExisting));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorSharingViolation);
    w.Close();

    ASSERT_TRUE(r.Open(u"\\NOTE.TXT", plat::kGenericRead, plat::kShareRead, plat::kOpenExisting));
    plat::File r2;  // readers that share reading coexist
    EXPECT_TRUE(r2.Open(u"\\note.txt", plat::kGenericRead, plat::kShareRead, plat::kOpenExisting));
    char buf[16] = {};
    uint32_t got = 0;
    EXPECT_EQ(r.Seek(6, plat::kFileBegin), 6);
    ASSERT_TRUE(r.Read(buf, sizeof buf, &got));
    EXPECT_EQ(std::string(buf, got), "world");
    ASSERT_TRUE(r.Read(buf, sizeof buf, &got));
    EXPECT_EQ(got, 0u);

    EXPECT_FALSE(r.Open(u"\\missing.txt", plat::kGenericRead, plat::kShareRead, plat::kOpenExisting));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorFileNotFound);
    EXPECT_FALSE(r.Open(u"\\No Folder\\x.txt", plat::kGenericRead, plat::kShareRead, plat::kOpenExisting));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorPathNotFound);
}

TEST(Files, CopyMoveDeleteAndFolders) {
    TempDevice device;
    ASSERT_TRUE(plat::AppendFile(u"\\a.txt", "one\n", 4));
    ASSERT_TRUE(plat::AppendFile(u"\\a.txt", "two\n", 4));
    EXPECT_EQ(plat::FileSize(u"\\a.txt"), 8);
    ASSERT_TRUE(plat::CopyFile(u"\\a.txt", u"\\b.txt", false));
    EXPECT_FALSE(plat::CopyFile(u"\\a.txt", u"\\b.txt", true));
    EXPECT_FALSE(plat::CopyFile(u"\\none.txt", u"\\b.txt", false));
    EXPECT_EQ(plat::FileSize(u"\\b.txt"), 8);  // a failed copy leaves the target alone
    EXPECT_FALSE(plat::MoveFile(u"\\a.txt", u"\\b.txt"));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorAlreadyExists);
    ASSERT_TRUE(plat::DeleteFile(u"\\b.txt"));
    ASSERT_TRUE(plat::MoveFile(u"\\a.txt", u"\\b.txt"));
    EXPECT_FALSE(plat::FileExists(u"\\a.txt"));
    EXPECT_FALSE(plat::DeleteFile(u"\\a.txt"));
    EXPECT_FALSE(plat::CreateDirectory(u"\\x\\y"));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorPathNotFound);
    ASSERT_TRUE(plat::CreateDirectory(u"\\x"));
    EXPECT_FALSE(plat::CreateDirectory(u"\\X"));
    EXPECT_TRUE(plat::DirectoryExists(u"\\X"));
    EXPECT_EQ(plat::FileSize(u"\\x"), -1);
}

TEST(Files, FinderMatchesWildcardsWithoutRegardToCase) {
    TempDevice device;
    for (const char16_t* name : {u"\\Tlw_Backup_1.tlw", u"\\tlw_backup_2.TLW", u"\\other.txt", u"\\noext"})
        ASSERT_TRUE(plat::AppendFile(name, "x", 1));
    ASSERT_TRUE(plat::CreateDirectory(u"\\Folder"));
    plat::FileFinder finder;
    plat::FindData d;
    std::vector<std::u16string> names;
    for (bool more = finder.First(u"\\*.tlw", &d); more; more = finder.Next(&d)) names.push_back(d.name);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Tlw_Backup_1.tlw", u"tlw_backup_2.TLW"}));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorNoMoreFiles);

    names.clear();
    for (bool more = finder.First(u"\\*.*", &d); more; more = finder.Next(&d)) names.push_back(d.name);
    EXPECT_EQ(names.size(), 5u);  // ".device" is not part of the phone's files
    EXPECT_FALSE(finder.First(u"\\*.bmp", &d));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorFileNotFound);
    EXPECT_TRUE(plat::MatchWildcard(u"t?w*.t*", u"TLW_backup.tlw"));
    EXPECT_FALSE(plat::MatchWildcard(u"*.tlw", u"backup.tlwx"));
    EXPECT_TRUE(plat::MatchWildcard(u"*", u""));
}

}  // namespace
