// Buttons: clicks by tap and key, check boxes, radio groups, disabled
// buttons.
#include "platform/controls/button.h"

#include "controls_test_support.h"

namespace {

using namespace plat;
using ctltest::Codes;

class ButtonTest : public ctltest::ControlTest {};

TEST_F(ButtonTest, TapTogglesAnAutomaticCheckBoxAndTellsTheParent) {
    Hwnd box = Make(kButtonClass, u"Vibrate", BS_AUTOCHECKBOX | WS_TABSTOP, 10, {4, 4, 120, 24});
    EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    Tap(box, 5, 5);
    EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(GetFocus(), box);
    Tap(box, 5, 5);
    EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(Codes(WM_COMMAND), (std::vector<uint32_t>{BN_CLICKED, BN_CLICKED}));
    EXPECT_EQ(ctltest::Log()[0].id, 10u);
}

TEST_F(ButtonTest, PenReleasedOutsideDoesNotClick) {
    Hwnd push = Make(kButtonClass, u"OK", BS_PUSHBUTTON, 1, {4, 4, 64, 28});
    PenDown(push, 10, 10);
    EXPECT_EQ(SendMessage(push, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
    EXPECT_EQ(GetCapture(), push);
    PenMove(push, 200, 10);  // dragged off: drawn released
    EXPECT_EQ(SendMessage(push, BM_GETSTATE, 0, 0) & BST_PUSHED, 0u);
    PenUp(push, 200, 10);
    EXPECT_TRUE(Codes(WM_COMMAND).empty());
    EXPECT_FALSE(GetCapture());
}

TEST_F(ButtonTest, AutomaticRadioButtonsClearTheirGroupOnly) {
    Hwnd a = Make(kButtonClass, u"Cell towers", BS_AUTORADIOBUTTON | WS_GROUP, 1, {4, 4, 120, 20});
    Hwnd b = Make(kButtonClass, u"Access points", BS_AUTORADIOBUTTON, 2, {4, 24, 120, 40});
    Hwnd c = Make(kButtonClass, u"Other group", BS_AUTORADIOBUTTON | WS_GROUP, 3, {4, 44, 120, 60});
    SendMessage(c, BM_SETCHECK, BST_CHECKED, 0);
    Tap(a, 2, 2);
    EXPECT_EQ(SendMessage(a, BM_GETCHECK, 0, 0), BST_CHECKED);
    Tap(b, 2, 2);
    EXPECT_EQ(SendMessage(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessage(c, BM_GETCHECK, 0, 0), BST_CHECKED);  // its own group is untouched
}

TEST_F(ButtonTest, SpaceAndActionKeysClickTheFocusedButton) {
    Hwnd box = Make(kButtonClass, u"Lock", BS_AUTOCHECKBOX, 7, {4, 4, 120, 24});
    Key(box, VK_SPACE);
    EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    Key(box, VK_RETURN);
    EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(Codes(WM_COMMAND).size(), 2u);
}

TEST_F(ButtonTest, DisabledButtonIgnoresTapsAndASetCheckIsKeptInRange) {
    Hwnd box = Make(kButtonClass, u"Off", BS_AUTOCHECKBOX, 5, {4, 4, 120, 24});
    EXPECT_FALSE(EnableWindow(box, false));
    EXPECT_FALSE(IsWindowEnabled(box));
    Tap(box, 5, 5);
    EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(Codes(WM_COMMAND).empty());
    EXPECT_TRUE(EnableWindow(box, true));
    // A two-state box has no third state: anything nonzero is checked.
    SendMessage(box, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    // A push button has no check at all.
    Hwnd push = Make(kButtonClass, u"Go", BS_PUSHBUTTON, 6, {4, 30, 64, 50});
    SendMessage(push, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessage(push, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

}  // namespace
