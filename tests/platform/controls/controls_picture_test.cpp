// Pictures of the controls on the composed screen at QVGA (96 dpi) and VGA
// (192 dpi): a dialog with a check box, an edit, a trackbar and a time
// picker, checked by the pixels each control draws and by their sizes
// doubling with the dots per inch. With TLW_PICTURE_DIR set the screens
// are also written there as PNG files to look at.
#include <cstdlib>
#include <fstream>

#include "platform/controls/button.h"
#include "platform/controls/date_time_picker.h"
#include "platform/controls/dialog.h"
#include "platform/controls/edit.h"
#include "platform/controls/trackbar.h"
#include "platform/gdi/gdi.h"
#include "platform/hardware/device_model.h"
#include "platform/window/compositor.h"
#include "controls_test_support.h"

namespace {

using namespace plat;

const char kPanel[] =
    "DIALOG 0, 0, 124, 110\n"
    "STYLE WS_POPUP | WS_CAPTION\n"
    "CAPTION \"Controls\"\n"
    "BEGIN\n"
    "    AUTOCHECKBOX \"Vibrate\", 10, 6, 6, 80, 12\n"
    "    EDITTEXT 11, 6, 22, 100, 14, ES_PASSWORD\n"
    "    CONTROL \"\", 12, \"msctls_trackbar32\", WS_TABSTOP, 6, 42, 110, 20\n"
    "    CONTROL \"\", 13, \"SysDateTimePick32\", DTS_TIMEFORMAT | WS_TABSTOP, 6, 68, 60, 14\n"
    "    DEFPUSHBUTTON \"OK\", IDOK, 66, 90, 50, 14\n"
    "END\n";

uint32_t Screen(ColorRef c) { return (uint32_t(RedOf(c)) << 16) | (uint32_t(GreenOf(c)) << 8) | BlueOf(c); }

struct Picture {
    SurfaceImage screen;
    uint32_t At(int32_t x, int32_t y) const { return screen.pixels[static_cast<size_t>(y) * screen.width + x]; }
    // Pixels of one colour inside a screen rectangle.
    int Count(const Rect& r, ColorRef c, bool other = false) const {
        int n = 0;
        for (int32_t y = std::max(0, r.top); y < std::min(screen.height, r.bottom); ++y)
            for (int32_t x = std::max(0, r.left); x < std::min(screen.width, r.right); ++x) n += (At(x, y) == Screen(c)) != other;
        return n;
    }
    // The columns of a row span holding the colour: first and last (-1 when none).
    std::pair<int32_t, int32_t> Span(int32_t y, int32_t left, int32_t right, ColorRef c) const {
        int32_t first = -1, last = -1;
        for (int32_t x = left; x < right; ++x)
            if (At(x, y) == Screen(c)) {
                if (first < 0) first = x;
                last = x;
            }
        return {first, last};
    }
};

class ControlsPictureTest : public ctltest::ControlTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        scale_ = GetParam();
        if (scale_ == 2) {
            std::ofstream(device_.StateDir() / "model") << "name=vga\nscreen=480x640\ndpi=192\n";
            SetScreenSize(480, 640);
            SetScreenDpi(192, 192);
        }
    }
    void TearDown() override {
        SetScreenSize(240, 320);
        SetScreenDpi(96, 96);
        ControlTest::TearDown();
    }

    Picture Shoot(const char* name) {
        PumpMessagesUntilIdle();
        Picture p;
        ComposeScreen(&p.screen);
        if (const char* dir = std::getenv("TLW_PICTURE_DIR"))
            SaveScreenPng(std::string(dir) + "/" + name + (scale_ == 2 ? "_vga.png" : "_qvga.png"));
        return p;
    }
    static Rect ScreenRect(Hwnd hwnd) {
        Rect r;
        GetWindowRect(hwnd, &r);
        return r;
    }

    int scale_ = 1;
};

TEST_P(ControlsPictureTest, DialogOfControls) {
    DialogTemplate tmpl;
    std::string error;
    ASSERT_TRUE(ParseDialogTemplate(std::string_view(kPanel), &tmpl, &error)) << error;
    Hwnd dialog = CreateDialogIndirectParam(tmpl, parent_, nullptr, 0);
    ASSERT_TRUE(dialog);
    ShowWindow(dialog, SW_SHOW);
    Hwnd box = GetDlgItem(dialog, 10), edit = GetDlgItem(dialog, 11), bar = GetDlgItem(dialog, 12),
         picker = GetDlgItem(dialog, 13), ok = GetDlgItem(dialog, IDOK);
    SendMessage(bar, TBM_SETRANGE, 0, MakeLParam(0, 10));
    SendMessage(picker, DTM_SETFORMAT, 0, reinterpret_cast<LParam>(u"HH:mm"));
    SystemTime st = GetLocalTime();
    st.hour = 7;
    st.minute = 45;
    SendMessage(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LParam>(&st));
    Picture before = Shoot("controls_before");

    // The dialog sits in the work area, centred, with the caption's rule.
    Rect d = ScreenRect(dialog);
    ScreenLayout layout = CurrentScreenLayout();
    EXPECT_LE(std::abs(d.left + d.right - layout.screen.cx), 1);
    EXPECT_GE(d.top, layout.work.top);
    // Sizes follow the dots per inch: the check box's square is 13 units.
    Rect b = ScreenRect(box);
    int32_t boxTop = b.top + (b.bottom - b.top - 13 * scale_) / 2;
    EXPECT_EQ(before.At(b.left, boxTop), Screen(Rgb(0, 0, 0)));
    EXPECT_EQ(before.At(b.left + 13 * scale_ - 1, boxTop + 13 * scale_ - 1), Screen(Rgb(0, 0, 0)));
    EXPECT_EQ(before.At(b.left + 13 * scale_, boxTop + 6 * scale_), Screen(Rgb(255, 255, 255)));
    Rect inside{b.left + 2, boxTop + 2, b.left + 13 * scale_ - 2, boxTop + 13 * scale_ - 2};
    EXPECT_EQ(before.Count(inside, Rgb(0, 0, 0)), 0);  // unchecked: empty
    // The first tab stop (the check box) has the focus: a dotted frame by its label.
    EXPECT_EQ(GetFocus(), box);
    // The trackbar's thumb stands at the left end (position 0).
    Rect t = ScreenRect(bar);
    int32_t middle = (t.top + t.bottom) / 2;
    auto thumbBefore = before.Span(middle, t.left, t.right, Rgb(0, 0, 0));
    ASSERT_GE(thumbBefore.first, 0);
    EXPECT_LT(thumbBefore.first - t.left, (t.right - t.left) / 8);
    // The default button wears a double frame.
    Rect o = ScreenRect(ok);
    EXPECT_EQ(before.At(o.left + 1, (o.top + o.bottom) / 2), Screen(Rgb(0, 0, 0)));
    EXPECT_EQ(before.At(o.left + 2, (o.top + o.bottom) / 2), Screen(Rgb(220, 220, 220)));

    // Check, type a masked text, move the thumb to the end, focus the picker's minutes.
    PostMessage(box, WM_KEYDOWN, VK_SPACE, 1);
    PostMessage(box, WM_KEYUP, VK_SPACE, 1);
    for (char16_t c : std::u16string(u"1234")) PostMessage(edit, WM_CHAR, c, 1);
    SendMessage(bar, TBM_SETPOS, 1, 10);
    SetFocus(picker);
    PostMessage(picker, WM_KEYDOWN, VK_RIGHT, 1);
    Picture after = Shoot("controls_after");
    EXPECT_GT(after.Count(inside, Rgb(0, 0, 0)), 0);  // the tick
    auto thumbAfter = after.Span(middle, t.left, t.right, Rgb(0, 0, 0));
    EXPECT_GT(thumbAfter.first - t.left, (t.right - t.left) * 3 / 4);
    // Four stars in the edit, no caret (the picker has the focus).
    Rect e = ScreenRect(edit);
    Rect text{e.left + 1, e.top + 1, e.right - 1, e.bottom - 1};
    EXPECT_EQ(before.Count(text, Rgb(255, 255, 255), true), 0);
    EXPECT_GT(after.Count(text, Rgb(255, 255, 255), true), 8 * scale_);
    // The picker's minutes are highlighted, right of its hours.
    Rect p = ScreenRect(picker);
    auto field = after.Span((p.top + p.bottom) / 2, p.left, p.right, Rgb(10, 80, 180));
    ASSERT_GE(field.first, 0);
    EXPECT_GT(field.first - p.left, 12 * scale_);
    DestroyWindow(dialog);
}

INSTANTIATE_TEST_SUITE_P(Screens, ControlsPictureTest, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& screen) { return screen.param == 1 ? "Qvga" : "Vga"; });

}  // namespace
