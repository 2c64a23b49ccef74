// The single-line edit: typing, selection, limits, digits only, masked
// text, and text set from outside.
#include "platform/controls/edit.h"

#include "controls_test_support.h"

namespace {

using namespace plat;
using ctltest::Codes;

class EditTest : public ctltest::ControlTest {
protected:
    static std::u16string Text(Hwnd edit) {
        char16_t buffer[256] = {};
        SendMessage(edit, WM_GETTEXT, 256, reinterpret_cast<LParam>(buffer));
        return buffer;
    }
    static std::pair<uint32_t, uint32_t> Selection(Hwnd edit) {
        uint32_t start = 0, end = 0;
        SendMessage(edit, EM_GETSEL, reinterpret_cast<WParam>(&start), reinterpret_cast<LParam>(&end));
        return {start, end};
    }
};

TEST_F(EditTest, TypedTextGoesInAtTheCaretWithAChangeEach) {
    Hwnd edit = Make(kEditClass, u"", WS_BORDER, 20, {4, 4, 200, 26});
    Type(edit, u"Hom");
    Key(edit, VK_LEFT);
    Key(edit, VK_LEFT);
    Type(edit, u"X");
    EXPECT_EQ(Text(edit), u"HXom");
    EXPECT_EQ(GetWindowText(edit), u"HXom");
    EXPECT_EQ(SendMessage(edit, WM_GETTEXTLENGTH, 0, 0), 4);
    Key(edit, VK_BACK);
    EXPECT_EQ(Text(edit), u"Hom");
    Type(edit, u"\b");  // the back key as a character
    EXPECT_EQ(Text(edit), u"om");
    size_t changes = 0;
    for (uint32_t code : Codes(WM_COMMAND)) changes += code == EN_CHANGE;
    EXPECT_EQ(changes, 6u);  // three letters, one, two deletions
    EXPECT_EQ(SendMessage(edit, EM_GETMODIFY, 0, 0), 1);
}

TEST_F(EditTest, SelectionIsReplacedAndSetSelKeepsInsideTheText) {
    Hwnd edit = Make(kEditClass, u"Meeting", 0, 21, {4, 4, 200, 26});
    SendMessage(edit, EM_SETSEL, 0, -1);
    EXPECT_EQ(Selection(edit), std::make_pair(0u, 7u));
    Type(edit, u"Car");
    EXPECT_EQ(Text(edit), u"Car");
    SendMessage(edit, EM_SETSEL, 1, 99);
    EXPECT_EQ(Selection(edit), std::make_pair(1u, 3u));
    SendMessage(edit, EM_REPLACESEL, 0, reinterpret_cast<LParam>(u"ab"));
    EXPECT_EQ(Text(edit), u"Cab");
    SendMessage(edit, EM_SETSEL, static_cast<WParam>(-1), 0);
    EXPECT_EQ(Selection(edit), std::make_pair(3u, 3u));
    Key(edit, VK_HOME);
    Key(edit, VK_DELETE);
    EXPECT_EQ(Text(edit), u"ab");
}

TEST_F(EditTest, NumberStyleTakesDigitsOnlyAndTheLimitCutsTyping) {
    Hwnd edit = Make(kEditClass, u"", ES_NUMBER, 22, {4, 4, 200, 26});
    SendMessage(edit, EM_LIMITTEXT, 4, 0);
    EXPECT_EQ(SendMessage(edit, EM_GETLIMITTEXT, 0, 0), 4);
    Type(edit, u"1a2-3 45");
    EXPECT_EQ(Text(edit), u"1234");
    std::vector<uint32_t> codes = Codes(WM_COMMAND);
    EXPECT_NE(std::find(codes.begin(), codes.end(), EN_MAXTEXT), codes.end());
    // Set text is not cut by the typing limit.
    SendMessage(edit, WM_SETTEXT, 0, reinterpret_cast<LParam>(u"123456"));
    EXPECT_EQ(Text(edit), u"123456");
}

TEST_F(EditTest, PasswordTextIsMaskedOnScreenAndInTheTitle) {
    Hwnd edit = Make(kEditClass, u"", ES_PASSWORD | ES_NUMBER, 23, {4, 4, 200, 26});
    Type(edit, u"1234");
    EXPECT_EQ(Text(edit), u"1234");
    EXPECT_EQ(GetWindowText(edit), u"****");
    EXPECT_EQ(SendMessage(edit, EM_GETPASSWORDCHAR, 0, 0), u'*');
    SendMessage(edit, EM_SETPASSWORDCHAR, 0, 0);  // shows the text again
    EXPECT_EQ(GetWindowText(edit), u"1234");
}

TEST_F(EditTest, TextSetFromOutsideIsTakenAndReadOnlyRefusesTyping) {
    Hwnd edit = Make(kEditClass, u"first", 0, 24, {4, 4, 200, 26});
    SetWindowText(edit, u"second");
    EXPECT_EQ(Text(edit), u"second");
    SendMessage(edit, EM_SETREADONLY, 1, 0);
    Type(edit, u"x");
    Key(edit, VK_BACK);
    EXPECT_EQ(Text(edit), u"second");
    // A short buffer gets what fits and a terminator.
    char16_t small[4] = {u'?', u'?', u'?', u'?'};
    EXPECT_EQ(SendMessage(edit, WM_GETTEXT, 4, reinterpret_cast<LParam>(small)), 3);
    EXPECT_EQ(std::u16string(small), u"sec");
}

TEST_F(EditTest, TapPlacesTheCaretAndDragSelects) {
    Hwnd edit = Make(kEditClass, u"abcdef", 0, 25, {4, 4, 200, 26});
    Tap(edit, 199, 10);  // beyond the text: at the end
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(Selection(edit), std::make_pair(6u, 6u));
    PenDown(edit, 0, 10);
    PenMove(edit, 199, 10);
    PenUp(edit, 199, 10);
    EXPECT_EQ(Selection(edit), std::make_pair(0u, 6u));
    Type(edit, u"z");
    EXPECT_EQ(Text(edit), u"z");
}

}  // namespace
