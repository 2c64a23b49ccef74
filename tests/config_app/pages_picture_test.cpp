// Pictures of each page of Tlwconfig at QVGA and VGA: the page title and
// its rule, the rows at their scaled height, the selected row, headings,
// check boxes with their ticks, right-aligned values, the slot rows' move
// zones and an open choice, read from the row list's own surface.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "common/graphics/screen_scale.h"
#include "config_app/config_app.h"
#include "config_app/pages.h"
#include "config_app/row_list.h"
#include "config_app/row_paint.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/png_save.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "sim/install_language.h"
#include "support/temp_device.h"

namespace tlw {
namespace {

constexpr plat::ColorRef kWhite = plat::Rgb(255, 255, 255);
constexpr plat::ColorRef kTitleText = plat::Rgb(16, 52, 120);
constexpr plat::ColorRef kSelected = plat::Rgb(200, 220, 250);
constexpr plat::ColorRef kHeading = plat::Rgb(232, 236, 244);
constexpr plat::ColorRef kMark = plat::Rgb(16, 120, 40);

struct Screen {
    const char* name;
    int32_t width, height, dpi;
    int32_t scale;  // pixels per 96-dpi unit
};
constexpr Screen kScreens[] = {{"qvga", 240, 320, 96, 1}, {"vga", 480, 640, 192, 2}};

class PagesPictureTest : public ::testing::TestWithParam<Screen> {
protected:
    void SetUp() override {
        const Screen& s = GetParam();
        plat::SetScreenSize(s.width, s.height);
        plat::SetScreenDpi(s.dpi, s.dpi);
        ResetScreenScale();
        std::string error;
        ASSERT_TRUE(sim::InstallLanguageFile(&error)) << error;
        ConfigAppState& app = ResetApp();
        LoadStartConfiguration(app);
        plat::WndClass c;
        c.className = kConfigClass;
        c.proc = MainWindowProc;
        plat::RegisterClass(c);
        // The work area between the taskbar and the menu bar.
        int32_t bar = 26 * s.scale;
        app.mainWindow = plat::CreateWindow(kConfigClass, kConfigTitle, plat::WS_VISIBLE, 0, bar, s.width,
                                            s.height - 2 * bar, {});
        ASSERT_TRUE(app.mainWindow);
        ASSERT_TRUE(CreateRowList(app));
    }
    void TearDown() override {
        ConfigAppState& app = App();
        if (app.mainWindow) plat::DestroyWindow(app.mainWindow);
        plat::PumpMessagesUntilIdle();
        plat::UnregisterClass(kConfigClass);
        ResetApp();
        ResetScreenScale();
    }

    // Shows the page and paints it; the surface stays readable through At().
    void Show(int32_t page) {
        ShowPage(App(), page);
        Paint();
    }
    void Paint() {
        ConfigAppState& app = App();
        plat::InvalidateRect(app.rowList, nullptr, false);
        plat::UpdateWindow(app.rowList);
        surface_ = plat::GetWindowSurface(app.rowList);
        plat::GetClientRect(app.rowList, &client_);
        if (const char* dir = std::getenv("TLW_PICTURE_DIR")) {
            plat::SaveDcPng(surface_, std::filesystem::path(dir) /
                                          ("config_page" + std::to_string(app.page) + "_" + GetParam().name + ".png"));
        }
    }
    plat::ColorRef At(int32_t x, int32_t y) { return plat::GetPixel(surface_, x, y); }
    int32_t U(int32_t units) { return units * GetParam().scale; }
    // Top of a row on the unscrolled page.
    int32_t RowTop(int32_t row) { return U(24) + row * U(26); }
    // Whether any pixel of the area differs from the colour.
    bool Ink(const plat::Rect& r, plat::ColorRef background) {
        for (int32_t y = r.top; y < r.bottom; ++y)
            for (int32_t x = r.left; x < r.right; ++x)
                if (At(x, y) != background) return true;
        return false;
    }
    bool Has(const plat::Rect& r, plat::ColorRef color) {
        for (int32_t y = r.top; y < r.bottom; ++y)
            for (int32_t x = r.left; x < r.right; ++x)
                if (At(x, y) == color) return true;
        return false;
    }
    // The title band: text on the left, a rule along its bottom.
    void ExpectTitle() {
        EXPECT_TRUE(Has({U(4), 0, client_.right / 2, U(23)}, kTitleText)) << "title text";
        for (int32_t x : {0, client_.right / 2, client_.right - 1}) EXPECT_EQ(At(x, U(24) - 1), kTitleText) << x;
    }
    // The row is drawn as selected across its width and only it.
    void ExpectSelected(int32_t row) {
        int32_t y = RowTop(row) + U(13);
        EXPECT_EQ(At(1, y), kSelected) << "row " << row;
        EXPECT_EQ(At(client_.right - 2, RowTop(row) + 1), kSelected);
        EXPECT_NE(At(1, RowTop(row + 1) + U(13)), kSelected) << "the next row is not selected";
    }
    // A check box at the right of a row; ticked or not.
    void ExpectCheck(int32_t row, bool ticked) {
        int32_t right = client_.right - U(4);
        plat::Rect box{right - U(14), RowTop(row) + U(6), right, RowTop(row) + U(20)};
        EXPECT_TRUE(Ink(box, At(1, RowTop(row) + U(13)))) << "box of row " << row;
        EXPECT_EQ(Has(box, kMark), ticked) << "tick of row " << row;
    }

    TempDevice device_;
    plat::Hdc surface_;
    plat::Rect client_;
};

TEST_P(PagesPictureTest, MainMenuListsTheFivePagesAtTheScaledRowHeight) {
    Show(kPageMainMenu);
    ExpectTitle();
    ExpectSelected(0);
    for (int32_t row = 0; row < 5; ++row) {
        EXPECT_TRUE(Ink({U(4), RowTop(row) + U(4), client_.right / 2, RowTop(row) + U(22)},
                        row == 0 ? kSelected : kWhite)) << "label of entry " << row;
    }
    EXPECT_FALSE(Ink({0, RowTop(5) + 1, client_.right, client_.bottom}, kWhite)) << "nothing below the entries";
}

TEST_P(PagesPictureTest, OptionsShowValuesOnTheRightAndTheClickSoundBox) {
    Show(kPageOptions);
    ExpectTitle();
    ExpectSelected(0);
    // Values end near the right edge, labels start at the left.
    for (int32_t row : {2, 3}) {
        plat::Rect right{client_.right * 3 / 4, RowTop(row) + U(4), client_.right - U(2), RowTop(row) + U(22)};
        EXPECT_TRUE(Ink(right, kWhite)) << "value of row " << row;
        EXPECT_TRUE(Ink({U(4), RowTop(row) + U(4), client_.right / 4, RowTop(row) + U(22)}, kWhite));
    }
    ExpectCheck(6, App().model.options.tdy_sound);
    App().model.options.tdy_sound = !App().model.options.tdy_sound;
    Paint();
    ExpectCheck(6, App().model.options.tdy_sound);
}

TEST_P(PagesPictureTest, AnOpenChoiceListsItsEntriesBelowTheRow) {
    Show(kPageOptions);
    ConfigAppState& app = App();
    SelectRow(app, 7);
    plat::SendMessage(app.rowList, plat::WM_KEYDOWN, plat::VK_RETURN, 0);
    ASSERT_EQ(app.list.choiceOpen, 7);
    Paint();
    ChoiceOverlay o = ChoiceOverlayOf(app, client_);
    EXPECT_EQ(o.shown, 2);
    EXPECT_EQ(o.rect.bottom - o.rect.top, 2 * U(26) + 2);
    EXPECT_TRUE(Has({o.rect.left + 1, o.rect.top + 1, o.rect.right - 1, o.rect.top + U(26)}, kSelected))
        << "the chosen entry is highlighted";
    EXPECT_TRUE(o.rect.top >= U(24) && o.rect.bottom <= client_.bottom) << "inside the list";
}

TEST_P(PagesPictureTest, ProfileListShowsEnabledAndShowMarks) {
    Show(kPageProfiles);
    ExpectTitle();
    ExpectSelected(0);
    const ProfileTable& t = App().model.profiles;
    for (int32_t row = 0; row < t.count; ++row) {
        const Profile& p = t.profiles[row];
        int32_t right = client_.right - U(4);
        plat::Rect showColumn{right - U(26), RowTop(row) + U(4), right, RowTop(row) + U(22)};
        plat::Rect enabledColumn{right - U(52), RowTop(row) + U(4), right - U(26), RowTop(row) + U(22)};
        EXPECT_EQ(Has(enabledColumn, kMark), p.enabled) << "row " << row;
        EXPECT_EQ(Has(showColumn, kMark), p.eventType != kEventManual && p.show) << "row " << row;
    }
}

TEST_P(PagesPictureTest, TodayPageHasAHeadingAndSlotRowsWithMoveZones) {
    Show(kPageToday);
    ExpectTitle();
    EXPECT_EQ(At(1, RowTop(2) + U(13)), kHeading) << "the add-ons heading";
    ConfigAppState& app = App();
    ASSERT_EQ(static_cast<int32_t>(app.rows.size()), 3 + app.editableTodaySlots);
    for (int32_t slot = 0; slot < app.editableTodaySlots; ++slot) {
        int32_t top = RowTop(3 + slot);
        if (top + U(26) > client_.bottom) break;
        // Two arrows in the two zones at the right edge.
        EXPECT_TRUE(Ink({client_.right - U(44), top + U(4), client_.right - U(22), top + U(22)}, kWhite));
        EXPECT_TRUE(Ink({client_.right - U(22), top + U(4), client_.right, top + U(22)}, kWhite));
        plat::Rect box{U(4), top + U(6), U(18), top + U(20)};
        EXPECT_EQ(Has(box, kMark), app.model.todayItems[slot].enabled) << "slot " << slot;
    }
}

TEST_P(PagesPictureTest, PopupPageGraysThePositionUnlessTheIconIsPlaced) {
    ConfigAppState& app = App();
    app.model.options.bar_icon = 0;
    Show(kPagePopup);
    ExpectTitle();
    EXPECT_TRUE(app.rows[1].readOnly);
    EXPECT_EQ(At(1, RowTop(3) + U(13)), kHeading);
    if (RowTop(10) <= client_.bottom) EXPECT_EQ(At(1, RowTop(9) + U(13)), kHeading);
    for (int32_t row = 4; row < 9; ++row) {
        if (RowTop(row) + U(26) <= client_.bottom) ExpectCheck(row, app.model.popupSwitches[row - 4].enabled);
    }
    app.model.options.bar_icon = 2;
    RebuildPage(app);
    EXPECT_FALSE(app.rows[1].readOnly);
}

TEST_P(PagesPictureTest, AboutPageShowsTheProductAndVersion) {
    Show(kPageAbout);
    ExpectTitle();
    EXPECT_EQ(At(client_.right - 2, RowTop(0) + U(13)), kHeading);
    EXPECT_TRUE(Ink({U(4), RowTop(0) + U(4), client_.right / 2, RowTop(0) + U(22)}, kHeading));
}

INSTANTIATE_TEST_SUITE_P(Screens, PagesPictureTest, ::testing::ValuesIn(kScreens),
                         [](const ::testing::TestParamInfo<Screen>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tlw
