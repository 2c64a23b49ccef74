// Message boxes as a program shows them: the box on the screen above its
// disabled owner, answered by a tap on a button or by the keys, ending on a
// quit, its owner going or a close from another thread, and only journalled
// when the device has no shell to show it on. Each test scripts the user
// from inside the box's loop: the owner gets a message that posts the
// stylus and keys to the box, as the phone's input would. The pictures of a
// question box and an exclamation box at QVGA and VGA are compared with
// data/message_box_*.png (TLW_UPDATE_PICTURES=1 writes them anew).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include "platform/controls/button.h"
#include "platform/controls/common_controls.h"
#include "platform/controls/message_box.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/imaging.h"
#include "platform/gdi/png_save.h"
#include "platform/storage/journal.h"
#include "platform/window/compositor.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

constexpr uint32_t kScript = WM_APP + 9;
constexpr ColorRef kDesktopColour = Rgb(90, 140, 90);
constexpr ColorRef kOwnerColour = Rgb(230, 230, 250);

struct OwnerLog {
    std::vector<std::function<void()>> steps;  // run inside the box's loop, by wParam
    int taps = 0;                              // stylus messages that reached the owner
};
OwnerLog g_log;

void FillClient(Hwnd hwnd, ColorRef colour) {
    PaintStruct ps;
    Hdc hdc = BeginPaint(hwnd, &ps);
    Rect r;
    GetClientRect(hwnd, &r);
    HBrush brush = CreateSolidBrush(colour);
    FillRect(hdc, r, brush);
    DeleteObject(brush);
    EndPaint(hwnd, &ps);
}

LResult OwnerProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
    case kScript:
        if (wParam < g_log.steps.size()) g_log.steps[wParam]();
        return 0;
    case WM_LBUTTONDOWN:
        ++g_log.taps;
        return 0;
    case WM_PAINT:
        FillClient(hwnd, kOwnerColour);
        return 0;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// The shell's desktop, as the device host shows it: with it the device has
// a screen to show boxes on.
LResult DesktopProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_PAINT) {
        FillClient(hwnd, kDesktopColour);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

long JournalCount(const std::string& text) {
    std::vector<std::string> lines = JournalRead();
    return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log = OwnerLog{};
        InitCommonControls();
        for (auto [name, proc] : {std::pair{u"BoxOwner", &OwnerProc}, std::pair{u"StandInDesktop", &DesktopProc}}) {
            WndClass wc;
            wc.className = name;
            wc.proc = proc;
            RegisterClass(wc);
        }
    }
    void TearDown() override {
        if (IsWindow(owner_)) DestroyWindow(owner_);
        if (IsWindow(desktop_)) DestroyWindow(desktop_);
        PumpMessagesUntilIdle();
        SetScreenSize(240, 320);
        SetScreenDpi(96, 96);
    }

    // Shows the shell's desktop and the owner as the screen stands.
    void BootScreen() {
        ScreenLayout l = CurrentScreenLayout();
        desktop_ = CreateWindow(u"StandInDesktop", u"Today", 0, l.work.left, l.work.top, l.work.right - l.work.left,
                                l.work.bottom - l.work.top, Hwnd{});
        ASSERT_TRUE(desktop_);
        SetShellFlags(desktop_, kShellDesktop, 0);
        ShowWindow(desktop_, SW_SHOW);
        MakeOwner();
    }
    void MakeOwner() {
        ScreenLayout l = CurrentScreenLayout();
        owner_ = CreateWindow(u"BoxOwner", u"Owner", WS_VISIBLE, l.work.left, l.work.top, l.work.right - l.work.left,
                              l.work.bottom - l.work.top, Hwnd{});
        ASSERT_TRUE(owner_);
        PumpMessagesUntilIdle();
    }

    // Shows a box owned by the owner, running the script inside its loop.
    int Show(std::u16string_view text, uint32_t flags, std::function<void()> script) {
        g_log.steps.clear();
        g_log.steps.reserve(16);  // steps add steps while one runs
        g_log.steps.push_back(std::move(script));
        PostMessage(owner_, kScript, 0, 0);
        return MessageBox(owner_, text, u"Tallowin", flags);
    }
    // Runs a further step inside the loop once what was posted is handled.
    void Then(std::function<void()> step) {
        g_log.steps.push_back(std::move(step));
        PostMessage(owner_, kScript, g_log.steps.size() - 1, 0);
    }

    static Hwnd Box() { return FindWindow(kMessageBoxClass, nullptr); }
    static Hwnd Button(const char16_t* label) {
        for (Hwnd child : ListChildWindows(Box()))
            if (GetWindowText(child) == label) return child;
        return Hwnd{};
    }
    static void TapButton(const char16_t* label) {
        Hwnd b = Button(label);
        Rect r;
        GetClientRect(b, &r);
        PostMessage(b, WM_LBUTTONDOWN, MK_LBUTTON, MakePointParam(r.right / 2, r.bottom / 2));
        PostMessage(b, WM_LBUTTONUP, 0, MakePointParam(r.right / 2, r.bottom / 2));
    }
    // A key as the phone sends it: to the window with the focus.
    static void Key(uint32_t vk) {
        PostMessage(GetFocus(), WM_KEYDOWN, vk, 1);
        PostMessage(GetFocus(), WM_KEYUP, vk, 1);
    }
    // Presses the keys one after another, each once the one before was handled.
    void PressInTurn(std::vector<uint32_t> keys) {
        Key(keys.front());
        keys.erase(keys.begin());
        if (!keys.empty()) Then([this, keys] { PressInTurn(keys); });
    }

    TempDevice device_;
    Hwnd desktop_;
    Hwnd owner_;
};

TEST_F(MessageBoxTest, WithoutAShellTheBoxIsJournalledAndAnsweredWithItsDefault) {
    MakeOwner();
    EXPECT_EQ(MessageBox(owner_, u"Turn the phone off?", u"Tallowin", kMbOkCancel | kMbIconQuestion), kIdOk);
    EXPECT_EQ(MessageBox(owner_, u"Sure?", u"Tallowin", kMbYesNo), kIdYes);
    EXPECT_EQ(MessageBox(owner_, u"Sure?", u"Tallowin", kMbYesNo | kMbDefButton2), kIdNo);
    EXPECT_EQ(JournalCount("message box [Tallowin] Turn the phone off? (question)"), 1);
    EXPECT_EQ(JournalCount("message box [Tallowin] answered OK (no screen)"), 1);
    EXPECT_EQ(JournalCount("message box [Tallowin] answered No (no screen)"), 1);
    EXPECT_FALSE(Box()) << "no window was left behind";
}

TEST_F(MessageBoxTest, ATapOnAButtonAnswersWhileTheOwnerIsDisabled) {
    BootScreen();
    bool ownerDisabled = false, boxInFront = false, focusOnOk = false, boxBackInFront = false;
    int answer = Show(u"Turn the phone off?", kMbOkCancel | kMbIconQuestion, [&] {
        ownerDisabled = !IsWindowEnabled(owner_);
        boxInFront = GetForegroundWindow() == Box();
        focusOnOk = GetFocus() == Button(u"OK");
        // A tap on the owner (which the phone brings to the front) does not
        // reach it while the box is up, and brings the box back to the front.
        SetForegroundWindow(owner_);
        PostMessage(owner_, WM_LBUTTONDOWN, MK_LBUTTON, MakePointParam(5, 5));
        PostMessage(owner_, WM_LBUTTONUP, 0, MakePointParam(5, 5));
        Then([&] {
            boxBackInFront = GetForegroundWindow() == Box() && GetFocus() == Button(u"OK");
            TapButton(u"Cancel");
        });
    });
    EXPECT_EQ(answer, kIdCancel);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(boxInFront);
    EXPECT_TRUE(focusOnOk) << "the default button has the focus";
    EXPECT_EQ(g_log.taps, 0);
    EXPECT_TRUE(boxBackInFront);
    EXPECT_TRUE(IsWindowEnabled(owner_)) << "the owner is enabled again";
    EXPECT_EQ(GetForegroundWindow(), owner_);
    EXPECT_FALSE(Box());
    EXPECT_EQ(JournalCount("message box [Tallowin] Turn the phone off? (question)"), 1);
    EXPECT_EQ(JournalCount("message box [Tallowin] answered Cancel"), 1);
}

TEST_F(MessageBoxTest, KeysAnswerWithTheFocusedButtonOrAsACancel) {
    BootScreen();
    EXPECT_EQ(Show(u"Go?", kMbOkCancel, [] { Key(VK_RETURN); }), kIdOk) << "the action key takes the default";
    EXPECT_EQ(Show(u"Go?", kMbOkCancel, [] { Key(VK_ESCAPE); }), kIdCancel);
    EXPECT_EQ(Show(u"Go?", kMbYesNo, [] { Key(VK_BACK); }), kIdNo) << "Back is No in a Yes/No box";
    EXPECT_EQ(Show(u"Done.", kMbOk | kMbIconExclamation, [] { Key(VK_ESCAPE); }), kIdOk);
    EXPECT_EQ(Show(u"Go?", kMbYesNo | kMbDefButton2, [] { Key(VK_RETURN); }), kIdNo);
    // The arrows move the focus; the action key then takes the focused button.
    EXPECT_EQ(Show(u"Go?", kMbOkCancel, [&] { PressInTurn({VK_RIGHT, VK_RETURN}); }), kIdCancel);
    EXPECT_EQ(Show(u"Go?", kMbOkCancel, [&] { PressInTurn({VK_RIGHT, VK_RIGHT, VK_RETURN}); }), kIdOk) << "wraps";
    EXPECT_EQ(Show(u"Go?", kMbYesNo, [&] { PressInTurn({VK_LEFT, VK_RETURN}); }), kIdNo);
    EXPECT_EQ(JournalCount("answered"), 8);
}

TEST_F(MessageBoxTest, AQuitTheOwnerGoingOrACloseFromAnotherThreadEndTheBox) {
    BootScreen();
    // A quit ends the box as a cancel and reaches the caller's loop after it.
    EXPECT_EQ(Show(u"Go?", kMbOkCancel, [] { PostQuitMessage(3); }), kIdCancel);
    bool quit = false;
    int32_t code = 0;
    PumpMessagesUntilIdle(&quit, &code);
    EXPECT_TRUE(quit);
    EXPECT_EQ(code, 3);
    // The owner going takes the box with it.
    EXPECT_EQ(Show(u"Go?", kMbYesNo, [&] { DestroyWindow(owner_); }), kIdNo);
    EXPECT_FALSE(Box());
    // A close sent from another thread (handled inside the box's wait) ends it.
    MakeOwner();
    std::thread closer;
    EXPECT_EQ(Show(u"Go?", kMbOkCancel, [&] {
                  Hwnd box = Box();
                  closer = std::thread([box] { SendMessage(box, WM_CLOSE, 0, 0); });
              }),
              kIdCancel);
    closer.join();
    EXPECT_FALSE(Box());
}

// Pictures at QVGA (96 dpi) and VGA (192 dpi).
class MessageBoxPictureTest : public MessageBoxTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        MessageBoxTest::SetUp();
        scale_ = GetParam();
        if (scale_ == 2) {
            std::ofstream(device_.StateDir() / "model") << "name=vga\nscreen=480x640\ndpi=192\n";
            SetScreenSize(480, 640);
            SetScreenDpi(192, 192);
        }
        BootScreen();
    }

    // Shows the box, takes the screen while it is up, answers it.
    SurfaceImage ShowAndShoot(std::u16string_view text, uint32_t flags, Rect* box, Rect* buttons) {
        SurfaceImage screen;
        Show(text, flags, [&] {
            PumpMessagesUntilIdle();
            ComposeScreen(&screen);
            GetWindowRect(Box(), box);
            std::vector<Hwnd> children = ListChildWindows(Box());
            *buttons = Rect{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
            for (Hwnd child : children) {
                Rect r;
                GetWindowRect(child, &r);
                buttons->left = std::min(buttons->left, r.left);
                buttons->top = std::min(buttons->top, r.top);
                buttons->right = std::max(buttons->right, r.right);
                buttons->bottom = std::max(buttons->bottom, r.bottom);
            }
            Key(VK_RETURN);
        });
        return screen;
    }

    // Compares with the reference picture: fewer than 1 pixel in 500 may
    // differ by more than a trace of anti-aliasing.
    void ExpectLooksLike(const SurfaceImage& screen, const std::string& name) {
        std::filesystem::path reference =
            std::filesystem::path(TLW_TEST_DATA) / (name + (scale_ == 2 ? "_vga.png" : "_qvga.png"));
        std::vector<uint8_t> argb(screen.pixels.size() * 4);
        for (size_t i = 0; i < screen.pixels.size(); ++i) {
            uint32_t p = screen.pixels[i];
            argb[4 * i] = p & 0xFF;
            argb[4 * i + 1] = (p >> 8) & 0xFF;
            argb[4 * i + 2] = (p >> 16) & 0xFF;
            argb[4 * i + 3] = 0xFF;
        }
        if (std::getenv("TLW_UPDATE_PICTURES")) {
            ASSERT_TRUE(SaveRgbPng(screen.width, screen.height, screen.pixels.data(), reference));
            return;
        }
        std::ifstream in(reference, std::ios::binary);
        std::vector<uint8_t> expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ArgbImage want;
        ASSERT_EQ(DecodePngAlways(expected, &want), ImagingResult::kOk) << reference;
        ASSERT_EQ(want.width, uint32_t(screen.width));
        ASSERT_EQ(want.height, uint32_t(screen.height));
        size_t differing = 0;
        for (size_t i = 0; i < screen.pixels.size(); ++i)
            for (size_t c = 0; c < 3; ++c)
                if (std::abs(int(argb[4 * i + c]) - int(want.pixels[4 * i + c])) > 24) {
                    ++differing;
                    break;
                }
        EXPECT_LT(differing, screen.pixels.size() / 500 + 1) << name << " differs from " << reference;
    }

    uint32_t At(const SurfaceImage& s, int32_t x, int32_t y) { return s.pixels[size_t(y) * s.width + x]; }

    int scale_ = 1;
};

TEST_P(MessageBoxPictureTest, QuestionBoxWithOkAndCancel) {
    Rect box, buttons;
    SurfaceImage screen = ShowAndShoot(u"Do you want to turn the phone off? Calls and messages will not reach you.",
                                       kMbOkCancel | kMbIconQuestion, &box, &buttons);
    ScreenLayout l = CurrentScreenLayout();
    // Centred in the work area, inside it, nearly as wide as the screen.
    EXPECT_LE(std::abs(box.left + box.right - l.screen.cx), 1);
    EXPECT_LE(std::abs(box.top + box.bottom - (l.work.top + l.work.bottom)), 1);
    EXPECT_GE(box.top, l.work.top);
    EXPECT_LE(box.bottom, l.work.bottom);
    EXPECT_EQ(box.right - box.left, l.screen.cx - 12 * scale_);
    // Two buttons in a row inside the box, centred under the text.
    EXPECT_EQ(ListChildWindows(Box()).size(), 0u) << "gone after the answer";
    EXPECT_GT(buttons.left, box.left);
    EXPECT_LT(buttons.right, box.right);
    EXPECT_LE(std::abs(buttons.left + buttons.right - (box.left + box.right)), 1);
    EXPECT_EQ(buttons.bottom, box.bottom - 8 * scale_);
    // The question icon's blue disc under the caption, at the left.
    int32_t iconTop = box.top + 30 * scale_, iconLeft = box.left + 8 * scale_;
    EXPECT_EQ(At(screen, iconLeft + 4 * scale_, iconTop + 16 * scale_), 0x2864D2u);
    // The caption strip in the caption colour.
    EXPECT_EQ(At(screen, box.right - 3, box.top + 3), 0x00249Cu);
    ExpectLooksLike(screen, "message_box_question");
}

TEST_P(MessageBoxPictureTest, ExclamationBoxWithOk) {
    Rect box, buttons;
    SurfaceImage screen = ShowAndShoot(u"File creation error.", kMbOk | kMbIconExclamation, &box, &buttons);
    // One button, centred; a one-line text stands beside the middle of the icon.
    EXPECT_LE(std::abs(buttons.left + buttons.right - (box.left + box.right)), 1);
    EXPECT_EQ(buttons.right - buttons.left, 64 * scale_);
    int32_t iconTop = box.top + 30 * scale_, iconLeft = box.left + 8 * scale_;
    EXPECT_EQ(At(screen, iconLeft + 10 * scale_, iconTop + 24 * scale_), 0xFACC28u) << "the yellow triangle";
    EXPECT_EQ(At(screen, iconLeft + 16 * scale_, iconTop + 15 * scale_), 0x000000u) << "its black sign";
    EXPECT_EQ(buttons.top, iconTop + 32 * scale_ + 12 * scale_) << "the buttons follow the icon";
    ExpectLooksLike(screen, "message_box_exclamation");
}

INSTANTIATE_TEST_SUITE_P(Screens, MessageBoxPictureTest, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& p) { return p.param == 2 ? "Vga" : "Qvga"; });

}  // namespace
