// SHGetFileInfo: the kind of icon, the names, the system image lists at
// the screen's icon sizes, and missing paths.
#include "platform/shell/file_info.h"

#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/file.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

TEST(FileInfo, IconsAndNamesByKind) {
    TempDevice device;
    ASSERT_TRUE(CreateDirectory(u"\\My Documents"));
    File f;
    ASSERT_TRUE(f.Open(u"\\My Documents\\ring.WAV", kGenericWrite, kShareNone, kCreateAlways));
    f.Close();
    ShFileInfo info;
    uint64_t list = SHGetFileInfo(u"\\My Documents", 0, &info, sizeof(info),
                                  SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME);
    ASSERT_NE(list, 0u);
    EXPECT_EQ(HImageList{static_cast<uint32_t>(list)}, SystemImageList(true));
    EXPECT_EQ(info.iIcon, kIconFolder);
    EXPECT_EQ(std::u16string(info.szDisplayName), u"My Documents");
    EXPECT_EQ(std::u16string(info.szTypeName), u"Folder");
    SHGetFileInfo(u"\\My Documents\\ring.WAV", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_TYPENAME);
    EXPECT_EQ(info.iIcon, kIconSound);
    EXPECT_EQ(std::u16string(info.szTypeName), u"Sound");
    struct Case {
        const char16_t* name;
        int32_t icon;
        const char16_t* type;
    } cases[] = {
        {u"\\Windows\\Tallowd.exe", kIconProgram, u"Program"}, {u"a\\b.png", kIconPicture, u"Picture"},
        {u"Tallowd.ini", kIconFile, u"INI File"},               {u"README", kIconFile, u"File"},
        {u"x.dir\\noext", kIconFile, u"File"},
    };
    for (const Case& c : cases) {
        ShFileInfo i;
        EXPECT_EQ(SHGetFileInfo(c.name, FILE_ATTRIBUTE_NORMAL, &i, sizeof(i), SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_TYPENAME),
                  SystemImageList(false).value);
        EXPECT_EQ(i.iIcon, c.icon);
        EXPECT_EQ(std::u16string(i.szTypeName), c.type);
    }
}

TEST(FileInfo, SystemListsFollowTheIconSizesAndMissingPathsFail) {
    TempDevice device;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(ImageList_GetIconSize(SystemImageList(true), &w, &h));
    EXPECT_EQ(w, 16);
    ASSERT_TRUE(ImageList_GetIconSize(SystemImageList(false), &w, &h));
    EXPECT_EQ(w, 32);
    EXPECT_EQ(ImageList_GetImageCount(SystemImageList(true)), 5);
    ShFileInfo info;
    EXPECT_EQ(SHGetFileInfo(u"\\nowhere\\x.txt", 0, &info, sizeof(info), SHGFI_SYSICONINDEX), 0u);
    EXPECT_EQ(GetLastError(), static_cast<uint32_t>(kErrorFileNotFound));
    EXPECT_EQ(SHGetFileInfo(u"\\", 0, &info, 12, SHGFI_SYSICONINDEX), 0u);
    // An icon of its own for the caller: a folder at the small size.
    ASSERT_NE(SHGetFileInfo(u"\\", 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON), 0u);
    ASSERT_TRUE(info.hIcon);
    EXPECT_EQ(GetIconSize(info.hIcon).cx, 16);
    DestroyIcon(info.hIcon);
}

}  // namespace
