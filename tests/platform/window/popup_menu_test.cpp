// Popup menus as a program tracks them: owner-drawn items measured and
// drawn by the owner, the menu shown above the shell's bars at the asked
// alignment, and the nested loop ending on a pick, a tap outside, Escape,
// EndMenu or a second request. Each test scripts its stylus and keys from
// inside the loop: the owner gets a message that posts them to the open
// menu, as the phone's input would.
#include <algorithm>
#include <functional>

#include "platform/gdi/gdi.h"
#include "platform/storage/journal.h"
#include "platform/window/compositor.h"
#include "platform/window/popup_menu.h"
#include "platform/window/window_order.h"
#include "window_test_support.h"

namespace {

using namespace plat;

constexpr uint32_t kScript = WM_APP + 7;
constexpr ColorRef kItemColour = Rgb(200, 40, 160);
constexpr ColorRef kSelectedColour = Rgb(20, 160, 60);

// What the owner saw, and the script it runs once the menu is open.
struct OwnerLog {
    std::vector<uint32_t> measured;        // identifiers measured
    std::vector<uint32_t> drawn;           // identifiers drawn
    std::vector<uint32_t> drawnSelected;   // identifiers drawn as selected
    std::vector<uint64_t> data;            // item data seen when measuring
    std::vector<WParam> commands;          // WM_COMMAND received
    std::vector<std::function<void()>> steps;  // run inside the menu's loop, by wParam
};
OwnerLog g_log;

LResult OwnerProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MeasureItemStruct*>(lParam);
        g_log.measured.push_back(mis->itemId);
        g_log.data.push_back(mis->itemData);
        mis->itemWidth = 100;
        mis->itemHeight = 20;
        return 1;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DrawItemStruct*>(lParam);
        g_log.drawn.push_back(dis->itemId);
        bool selected = (dis->itemState & ODS_SELECTED) != 0;
        if (selected) g_log.drawnSelected.push_back(dis->itemId);
        HBrush brush = CreateSolidBrush(selected ? kSelectedColour : kItemColour);
        FillRect(dis->hdc, dis->rcItem, brush);
        DeleteObject(brush);
        return 1;
    }
    case WM_COMMAND:
        g_log.commands.push_back(wParam);
        return 0;
    case kScript:
        if (wParam < g_log.steps.size()) g_log.steps[wParam]();
        return 0;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// How many journal lines end with the text (lines start with the device
// time and the program).
long JournalCount(const std::string& text) {
    std::vector<std::string> lines = JournalRead();
    return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
        return l.size() >= text.size() && l.compare(l.size() - text.size(), text.size(), text) == 0;
    });
}

class PopupMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log = OwnerLog{};
        SetScreenSize(240, 320);
        WndClass wc;
        wc.className = u"MenuOwner";
        wc.proc = &OwnerProc;
        RegisterClass(wc);
        owner_ = CreateWindow(u"MenuOwner", u"Owner", 0, 0, 0, 10, 10, Hwnd{});
        ASSERT_TRUE(owner_);
        menu_ = CreatePopupMenu();
        AppendMenu(menu_, MF_OWNERDRAW, 1, u"", 11);
        AppendMenu(menu_, MF_OWNERDRAW, 2, u"", 22);
        AppendMenu(menu_, MF_SEPARATOR, 0, u"");
        AppendMenu(menu_, MF_OWNERDRAW | MF_GRAYED, 3, u"", 33);
        AppendMenu(menu_, MF_OWNERDRAW, 4, u"", 44);
    }
    void TearDown() override {
        DestroyMenu(menu_);
        DestroyWindow(owner_);
        UnregisterClass(u"MenuOwner");
        PumpMessagesUntilIdle();
    }

    // The open menu's window and its screen rectangle.
    static Hwnd MenuWindow() { return FindWindow(kPopupMenuClass, nullptr); }
    static Rect MenuRect() {
        Rect r;
        GetWindowRect(MenuWindow(), &r);
        return r;
    }
    // Posts a tap to the open menu at a point of its client area.
    static void TapMenu(int32_t x, int32_t y) {
        Hwnd menu = MenuWindow();
        PostMessage(menu, WM_LBUTTONDOWN, MK_LBUTTON, MakePointParam(x, y));
        PostMessage(menu, WM_LBUTTONUP, 0, MakePointParam(x, y));
    }
    static void Key(uint32_t vk) { PostMessage(MenuWindow(), WM_KEYDOWN, vk, 1); }

    int32_t Track(uint32_t flags, std::function<void()> script) {
        g_log.steps.clear();
        g_log.steps.reserve(4);  // steps may add steps while running
        g_log.steps.push_back(std::move(script));
        PostMessage(owner_, kScript, 0, 0);
        return TrackPopupMenuEx(menu_, flags, 240, 295, owner_);
    }

    TempDevice device_;
    Hwnd owner_;
    HMenu menu_;
};

TEST_F(PopupMenuTest, OwnerDrawnItemsAreMeasuredDrawnAndPickedAtTheAlignment) {
    Rect placed{};
    uint32_t topPixel = 0, selectedPixel = 0;
    bool onTop = false;
    int32_t chosen = Track(TPM_RIGHTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD, [&] {
        placed = MenuRect();
        std::vector<StackEntry> stack = ListWindowStack();
        onTop = !stack.empty() && stack.front().className == kPopupMenuClass;
        SurfaceImage screen;
        ComposeScreen(&screen);
        topPixel = screen.pixels[static_cast<size_t>(placed.top + 5) * screen.width + placed.left + 5];
        // Touch the second item and look at it selected before letting go.
        Hwnd menu = MenuWindow();
        PostMessage(menu, WM_LBUTTONDOWN, MK_LBUTTON, MakePointParam(50, 1 + 20 + 5));
        PostMessage(owner_, kScript, 1, 0);
        g_log.steps.push_back([&] {
            PumpMessagesUntilIdle();
            SurfaceImage again;
            ComposeScreen(&again);
            selectedPixel = again.pixels[static_cast<size_t>(placed.top + 1 + 20 + 5) * again.width + placed.left + 5];
            PostMessage(MenuWindow(), WM_LBUTTONUP, 0, MakePointParam(50, 1 + 20 + 5));
        });
    });
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(g_log.measured, (std::vector<uint32_t>{1, 2, 3, 4})) << "separators are not measured";
    EXPECT_EQ(g_log.data, (std::vector<uint64_t>{11, 22, 33, 44}));
    EXPECT_NE(std::find(g_log.drawnSelected.begin(), g_log.drawnSelected.end(), 2u), g_log.drawnSelected.end());
    // 100 wide plus the frame, four items of 20 and a separator, right and
    // bottom aligned at (240, 295).
    EXPECT_EQ(placed.right, 240);
    EXPECT_EQ(placed.bottom, 295);
    EXPECT_EQ(placed.right - placed.left, 102);
    EXPECT_GT(placed.bottom - placed.top, 80);
    EXPECT_TRUE(onTop) << "the open menu lies above every window";
    EXPECT_EQ(topPixel, 0xC828A0u) << "the screen shows the owner's drawing";
    EXPECT_EQ(selectedPixel, 0x14A03Cu) << "the touched item is drawn selected";
    EXPECT_FALSE(MenuWindow()) << "the menu window goes when the menu ends";
    EXPECT_FALSE(IsMenuOpen());
    EXPECT_EQ(JournalCount("popup menu shown (5 items)"), 1);
    EXPECT_EQ(JournalCount("popup menu chose 2"), 1);
}

TEST_F(PopupMenuTest, TapOutsideEscapeAndEndMenuCancel) {
    EXPECT_EQ(Track(TPM_RETURNCMD, [] {
                  Rect r = MenuRect();
                  TapMenu(-5, (r.bottom - r.top) / 2);  // captured: client coordinates left of the menu
              }),
              0);
    EXPECT_EQ(Track(TPM_RETURNCMD, [] { Key(VK_ESCAPE); }), 0);
    EXPECT_EQ(Track(TPM_RETURNCMD, [] { EndMenu(); }), 0);
    // A second request while open closes the open menu.
    int32_t inner = -1;
    EXPECT_EQ(Track(TPM_RETURNCMD, [&] { inner = TrackPopupMenuEx(menu_, TPM_RETURNCMD, 0, 0, owner_); }), 0);
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(JournalCount("popup menu cancelled"), 4);
}

TEST_F(PopupMenuTest, SeparatorsAndGrayedItemsCannotBeChosen) {
    // A tap on the grayed item leaves the menu open; Escape ends it.
    EXPECT_EQ(Track(TPM_RETURNCMD, [] {
                  TapMenu(50, 1 + 40 + 2);       // the separator
                  TapMenu(50, 1 + 40 + 6 + 5);   // the grayed item
                  PostMessage(MenuWindow(), WM_KEYDOWN, VK_ESCAPE, 1);
              }),
              0);
    // The keys step over the separator and the grayed item.
    EXPECT_EQ(Track(TPM_RETURNCMD, [] {
                  Key(VK_DOWN);
                  Key(VK_DOWN);
                  Key(VK_DOWN);
                  Key(VK_RETURN);
              }),
              4);
}

TEST_F(PopupMenuTest, WithoutReturnCmdTheChoiceIsPostedToTheOwner) {
    EXPECT_EQ(Track(0, [] { TapMenu(50, 5); }), 1);
    PumpMessagesUntilIdle();
    EXPECT_EQ(g_log.commands, (std::vector<WParam>{1}));
}

TEST_F(PopupMenuTest, QuitDuringTheMenuEndsItAndReachesTheThreadLoop) {
    EXPECT_EQ(Track(TPM_RETURNCMD, [] { PostQuitMessage(3); }), 0);
    bool quit = false;
    int32_t code = 0;
    PumpMessagesUntilIdle(&quit, &code);
    EXPECT_TRUE(quit);
    EXPECT_EQ(code, 3);
}

TEST(PopupMenuBuild, BadMenusAndOwnersAreRefused) {
    TempDevice device;
    EXPECT_FALSE(AppendMenu(HMenu{9999}, MF_STRING, 1, u"x"));
    HMenu empty = CreatePopupMenu();
    WndClass wc;
    wc.className = u"MenuOwner2";
    wc.proc = &OwnerProc;
    RegisterClass(wc);
    Hwnd owner = CreateWindow(u"MenuOwner2", u"", 0, 0, 0, 1, 1, Hwnd{});
    EXPECT_EQ(TrackPopupMenuEx(empty, TPM_RETURNCMD, 0, 0, owner), 0) << "a menu without items";
    EXPECT_EQ(TrackPopupMenuEx(empty, TPM_RETURNCMD, 0, 0, Hwnd{}), 0) << "no owner";
    AppendMenu(empty, MF_STRING | MF_CHECKED, 5, u"Five");
    EXPECT_EQ(GetMenuItemCount(empty), 1);
    EXPECT_EQ(CheckMenuItem(empty, 5, false), static_cast<int32_t>(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(empty, 6, true), -1);
    EXPECT_TRUE(DestroyMenu(empty));
    EXPECT_FALSE(DestroyMenu(empty));
    DestroyWindow(owner);
    UnregisterClass(u"MenuOwner2");
}

}  // namespace
