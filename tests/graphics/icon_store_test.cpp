#include "common/graphics/icon_store.h"

#include <gtest/gtest.h>

#include "common/graphics/screen_scale.h"
#include "platform/gdi/gdi.h"

namespace tlw {
namespace {

TEST(IconStore, LargeVariantInsertsLargeBeforeTheExtension) {
    EXPECT_EQ(LargeIconPath(u"\\Application Data\\Korvel\\Tallowin\\Icon_store\\QVGA\\car.png"),
              u"\\Application Data\\Korvel\\Tallowin\\Icon_store\\QVGA\\car_large.png");
    EXPECT_EQ(LargeIconPath(u"\\x\\Flight mode.png"), u"\\x\\Flight mode_large.png");
    EXPECT_EQ(LargeIconPath(u"\\x\\a.tga"), u"\\x\\a_large.tga");
    EXPECT_EQ(LargeIconPath(u".png"), u"_large.png");
    EXPECT_EQ(LargeIconPath(u""), u"_large");
}

TEST(IconStore, FolderFollowsTheResolutionClass) {
    const std::u16string root = u"\\Application Data\\Korvel\\Tallowin\\Icon_store\\";
    plat::SetScreenDpi(96, 96);
    ResetScreenScale();
    EXPECT_EQ(IconStoreFolder(root), root + u"QVGA\\");
    plat::SetScreenDpi(192, 192);
    ResetScreenScale();
    EXPECT_EQ(IconStoreFolder(root), root + u"VGA\\");
    plat::SetScreenDpi(96, 96);
    ResetScreenScale();
}

TEST(IconStore, GenericIconsOfAFolder) {
    EXPECT_EQ(GenericIconPath(u"\\S\\QVGA\\", false), u"\\S\\QVGA\\Generic.png");
    EXPECT_EQ(GenericIconPath(u"\\S\\QVGA", true), u"\\S\\QVGA\\Generic_large.png");
}

}  // namespace
}  // namespace tlw
