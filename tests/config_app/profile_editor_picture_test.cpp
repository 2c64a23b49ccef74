// Pictures of the profile editor's five tabs on a booted QVGA and VGA phone:
// the tab header names the current tab in the middle with its neighbours
// at the sides, and read-only rows are drawn gray while editable ones are
// drawn black, at both screen sizes. The screenshots stay in the test's
// device folder while it runs.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/text.h"
#include "common/graphics/image_loader.h"
#include "common/graphics/rgba_image.h"
#include "config_app_fixture.h"

namespace {

constexpr uint32_t kCmdEdit = 1510;
// The row list's geometry in 96-dpi units and its colours (row_paint.cpp).
constexpr int kTitleUnits = 24;
constexpr int kRowUnits = 26;
constexpr uint8_t kGray = 150;
constexpr uint8_t kTitleBlue[3] = {16, 52, 120};

class EditorPictureTest : public ConfigAppProcessTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override { Boot({"--screen", GetParam()}); }

    // Takes a screenshot into the device and reads it.
    tlw::RgbaImage Shot(const std::string& name) {
        std::filesystem::path file = std::filesystem::path(dir_) / (name + ".png");
        tlw::RgbaImage image;
        EXPECT_EQ(TlwsimCommand("shot", dir_, {file.string()}).exitCode, 0);
        EXPECT_EQ(tlw::LoadImageFile(&image, tlw::Utf8ToUtf16("\\" + name + ".png")), tlw::kImageOk);
        return image;
    }
    // The pixels of a row between two fractions of the screen's width.
    struct Ink {
        int black = 0;     // pixels of black text
        int gray = 0;      // pixels of the read-only gray
        int blue = 0;      // pixels of the header's title blue
    };
    Ink InkOf(const tlw::RgbaImage& image, int row, double from, double to) {
        plat::Rect r = MainRect();
        int s = Scale();
        Ink ink;
        int top = r.top + s * (kTitleUnits + kRowUnits * row) + 2;
        int bottom = top + s * kRowUnits - 4;
        int left = r.left + static_cast<int>((r.right - r.left) * from);
        int right = r.left + static_cast<int>((r.right - r.left) * to);
        for (int y = top; y < bottom && y < static_cast<int>(image.height); ++y) {
            for (int x = left; x < right && x < static_cast<int>(image.width); ++x) {
                size_t p = tlw::PixelIndex(image, static_cast<uint32_t>(x), static_cast<uint32_t>(y));
                uint8_t red = image.red[p], green = image.green[p], blue = image.blue[p];
                if (red < 40 && green < 40 && blue < 40) ++ink.black;
                if (red == kGray && green == kGray && blue == kGray) ++ink.gray;
                if (red == kTitleBlue[0] && green == kTitleBlue[1] && blue == kTitleBlue[2]) ++ink.blue;
            }
        }
        return ink;
    }
    // A row's label is drawn in black (editable) or in gray only (read-only).
    void ExpectLabel(const tlw::RgbaImage& image, int row, bool readOnly, const char* what) {
        Ink ink = InkOf(image, row, 0.02, 0.45);
        if (readOnly) {
            EXPECT_GT(ink.gray, 0) << what;
            EXPECT_EQ(ink.black, 0) << what;
        } else {
            EXPECT_GT(ink.black, 0) << what;
        }
    }
    // Taps the header's right side and waits until the program handled it.
    void NextTab() {
        TapRow(0, 230);
        ASSERT_EQ(TlwsimCommand("sync", dir_, {"Tlwconfig"}).exitCode, 0);
    }
    void ExpectHeader(const tlw::RgbaImage& image, const char* what) {
        EXPECT_GT(InkOf(image, 0, 0.34, 0.66).blue, 0) << what << ": the current tab in the middle";
        EXPECT_GT(InkOf(image, 0, 0.0, 0.33).gray, 0) << what << ": the previous tab at the left";
        EXPECT_GT(InkOf(image, 0, 0.67, 1.0).gray, 0) << what << ": the next tab at the right";
    }
};

TEST_P(EditorPictureTest, EveryTabShowsItsHeaderAndItsReadOnlyRows) {
    StartConfig();
    TapRow(1);
    ASSERT_TRUE(WaitSoftKeys("Save", "Menu"));
    ASSERT_TRUE(WaitSelected(0));
    Menu(kCmdEdit);  // Silent: manual, sound mode silent, no program
    ASSERT_TRUE(WaitSoftKeys("OK", "Cancel"));
    ASSERT_TRUE(WaitSelected(0));

    tlw::RgbaImage trigger = Shot("editor_trigger");
    ExpectHeader(trigger, "trigger");
    ExpectLabel(trigger, 1, false, "trigger type");
    ExpectLabel(trigger, 2, true, "override of a manual profile");
    ExpectLabel(trigger, 3, false, "time-out check box");
    ExpectLabel(trigger, 4, true, "time-out while the check box is clear");

    NextTab();
    tlw::RgbaImage sounds = Shot("editor_sounds");
    ExpectHeader(sounds, "sounds");
    ExpectLabel(sounds, 1, false, "sound mode");
    ExpectLabel(sounds, 2, true, "volume while the sound mode is not normal");

    NextTab();
    tlw::RgbaImage radios = Shot("editor_radios");
    ExpectHeader(radios, "radios");
    for (int row = 1; row <= 6; ++row) ExpectLabel(radios, row, false, "radio rows");

    NextTab();
    tlw::RgbaImage power = Shot("editor_power");
    ExpectHeader(power, "light and power");
    ExpectLabel(power, 1, false, "backlight");
    ExpectLabel(power, 3, false, "first time-out");

    NextTab();
    tlw::RgbaImage program = Shot("editor_program");
    ExpectHeader(program, "program and icon");
    ExpectLabel(program, 1, false, "start program");
    ExpectLabel(program, 2, true, "parameters while no program starts");
    ExpectLabel(program, 5, false, "own icon");
}

INSTANTIATE_TEST_SUITE_P(Screens, EditorPictureTest, ::testing::Values("qvga", "vga"));

}  // namespace
