// Pictures of the chooser on a booted QVGA and VGA phone: the folder field,
// the up button and the listing stand where the layout rules put them, in
// 96-dpi units scaled to the screen; the up button's green is transparent
// and the listing shows folders with their picture.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/text.h"
#include "common/graphics/image_loader.h"
#include "common/graphics/rgba_image.h"
#include "common/graphics/screen_scale.h"
#include "config_app/chooser_dialog.h"
#include "config_app/chooser_list.h"
#include "config_app_fixture.h"
#include "platform/hardware/device_model.h"
#include "platform/window/window.h"

namespace {

constexpr uint32_t kCmdEdit = 1510;

struct Rgb {
    uint8_t r, g, b;
};
constexpr Rgb kFieldFrame = {0x80, 0x80, 0x80};
constexpr Rgb kListFrame = {0x80, 0x80, 0x80};
constexpr Rgb kArrow = {0x20, 0x40, 0xA0};      // the up bitmap's arrow
constexpr Rgb kGreen = {0x00, 0xFF, 0x00};      // the up bitmap's transparent colour
constexpr Rgb kFolder = {0xF8, 0xD0, 0x60};     // a folder entry's picture

class ChooserPictureTest : public ConfigAppProcessTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override { Boot({"--screen", GetParam()}); }

    bool Is(const tlw::RgbaImage& image, int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= static_cast<int>(image.width) || y >= static_cast<int>(image.height)) return false;
        size_t p = tlw::PixelIndex(image, static_cast<uint32_t>(x), static_cast<uint32_t>(y));
        return image.red[p] == c.r && image.green[p] == c.g && image.blue[p] == c.b;
    }
    int Count(const tlw::RgbaImage& image, const plat::Rect& r, Rgb c) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += Is(image, x, y, c);
        return n;
    }
};

TEST_P(ChooserPictureTest, PartsStandWhereTheLayoutPutsThem) {
    StartConfig();
    TapRow(1);
    ASSERT_TRUE(WaitSoftKeys("Save", "Menu"));
    ASSERT_TRUE(WaitSelected(0));
    Menu(kCmdEdit);
    ASSERT_TRUE(WaitSoftKeys("OK", "Cancel"));
    TapRow(0, 10);
    ASSERT_EQ(TlwsimCommand("sync", dir_, {"Tlwconfig"}).exitCode, 0);
    TapRow(1, 200);
    ASSERT_TRUE(WaitUntil([] { return bool(plat::FindWindow(tlw::kChooserClass, nullptr)); }));
    ASSERT_EQ(TlwsimCommand("sync", dir_, {"Tlwconfig"}).exitCode, 0);

    plat::Rect window;
    plat::GetWindowRect(plat::FindWindow(tlw::kChooserClass, nullptr), &window);
    plat::ApplyDeviceModel();  // this screen's dpi, for the scale of the units below
    tlw::ResetScreenScale();
    int width = window.right - window.left, height = window.bottom - window.top;
    tlw::ChooserLayout l = tlw::LayOutChooser(width, height, false);
    auto at = [&](plat::Rect r) {
        return plat::Rect{r.left + window.left, r.top + window.top, r.right + window.left, r.bottom + window.top};
    };
    plat::Rect field = at(l.folderField), up = at(l.upButton), list = at(l.listing);

    // The dialog paints when its messages are done: wait for its picture.
    std::filesystem::path file = std::filesystem::path(dir_) / "chooser.png";
    tlw::RgbaImage image;
    ASSERT_TRUE(WaitUntil([&] {
        if (TlwsimCommand("shot", dir_, {file.string()}, ErrorStream::kCaptured).exitCode != 0) return false;
        return tlw::LoadImageFile(&image, u"\\chooser.png") == tlw::kImageOk && Count(image, up, kArrow) > 0;
    }, 30000)) << "the up button is drawn";

    // The folder field from 10 units to 44 units before the right edge.
    EXPECT_EQ(field.left - window.left, tlw::ScaleX(10));
    EXPECT_EQ(window.right - field.right, tlw::ScaleX(44));
    int fieldMid = (field.top + field.bottom) / 2;
    EXPECT_TRUE(Is(image, field.left, fieldMid, kFieldFrame));
    EXPECT_TRUE(Is(image, field.right - 1, fieldMid, kFieldFrame));
    EXPECT_FALSE(Is(image, field.right + 1, fieldMid, kFieldFrame));

    // The up button: a 20-unit square 30 units before the right edge, its
    // green drawn as the white behind it.
    EXPECT_EQ(up.right - up.left, tlw::ScaleX(20));
    EXPECT_EQ(window.right - up.left, tlw::ScaleX(30));
    EXPECT_GT(Count(image, up, kArrow), 0);
    EXPECT_EQ(Count(image, up, kGreen), 0);
    plat::Rect around{up.left - tlw::ScaleX(6), up.top, up.left, up.bottom};
    EXPECT_EQ(Count(image, around, kArrow), 0) << "nothing of the button outside its square";

    // The listing from 10 units to 10 units before the right edge and 10
    // units above the bottom, folders first with their picture.
    int listMid = (list.top + list.bottom) / 2;
    EXPECT_TRUE(Is(image, list.left, listMid, kListFrame));
    EXPECT_TRUE(Is(image, list.right - 1, listMid, kListFrame));
    EXPECT_EQ(window.right - list.right, tlw::ScaleX(10));
    EXPECT_EQ(window.bottom - list.bottom, tlw::ScaleY(10));
    plat::Rect firstEntry{list.left + 1, list.top + 1, list.left + tlw::ScaleX(24), list.top + 1 + tlw::ChooserListEntryHeight()};
    EXPECT_GT(Count(image, firstEntry, kFolder), 0) << "the first entry is a folder";

    Key("softkey1");  // cancel
    ASSERT_TRUE(WaitUntil([] { return !plat::FindWindow(tlw::kChooserClass, nullptr); }));
}

INSTANTIATE_TEST_SUITE_P(Screens, ChooserPictureTest, ::testing::Values("qvga", "vga"));

}  // namespace
