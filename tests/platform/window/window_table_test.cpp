// Windows and their attributes in the device's window table: classes,
// creation and destruction, titles, position, visibility, child windows,
// window data and painting.
#include "platform/gdi/gdi.h"
#include "platform/kernel/last_error.h"
#include "window_test_support.h"

namespace {

using namespace plat;
using wintest::Recorder;
using wintest::Seen;

class WindowTableTest : public wintest::WindowTest {};

LResult RefuseCreateProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_CREATE) return -1;
    Recorder::Instance().Add(message, wParam);
    return DefWindowProc(hwnd, message, wParam, lParam);
}

TEST_F(WindowTableTest, ClassesAreRegisteredOnceAndNeeded) {
    WndClass wc;
    wc.className = u"RECORDING";  // the same name in other letter case
    wc.proc = &wintest::RecordingProc;
    EXPECT_FALSE(RegisterClass(wc));
    EXPECT_EQ(GetLastError(), kErrorClassAlreadyExists);
    wc.className = u"";
    EXPECT_FALSE(RegisterClass(wc));
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);

    EXPECT_FALSE(CreateWindow(u"NoSuchClass", u"", 0, 0, 0, 1, 1, Hwnd{}));
    EXPECT_EQ(GetLastError(), kErrorClassDoesNotExist);
    Hwnd hwnd = MakeWindow();
    EXPECT_FALSE(UnregisterClass(u"Recording"));  // it still has a window

    // A window whose WM_CREATE answers -1 is not made.
    WndClass refusing;
    refusing.className = u"Refusing";
    refusing.proc = &RefuseCreateProc;
    ASSERT_TRUE(RegisterClass(refusing));
    EXPECT_FALSE(CreateWindow(u"Refusing", u"No", 0, 0, 0, 1, 1, Hwnd{}));
    EXPECT_FALSE(FindWindow(u"Refusing", nullptr));
    EXPECT_TRUE(UnregisterClass(u"Refusing"));
    EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(WindowTableTest, TitleAndClassAsOthersSeeThem) {
    Hwnd hwnd = MakeWindow(u"Before");
    EXPECT_TRUE(FindWindow(nullptr, u"Before") == hwnd);
    ASSERT_TRUE(SetWindowText(hwnd, u"After"));
    EXPECT_FALSE(FindWindow(nullptr, u"Before"));
    EXPECT_TRUE(FindWindow(u"Recording", u"after") == hwnd);
    EXPECT_EQ(GetWindowText(hwnd), u"After");

    char16_t buffer[4];
    EXPECT_EQ(GetWindowText(hwnd, buffer, 4), 3);
    EXPECT_EQ(std::u16string(buffer), u"Aft");
    EXPECT_EQ(GetClassName(hwnd, buffer, 4), 3);
    EXPECT_EQ(std::u16string(buffer), u"Rec");
    EXPECT_EQ(GetWindowText(Hwnd{}, buffer, 4), 0);
    EXPECT_EQ(buffer[0], u'\0');

    // The newest of two equal windows is found.
    Hwnd newer = MakeWindow(u"After");
    EXPECT_TRUE(FindWindow(u"Recording", u"After") == newer);
    std::vector<Hwnd> all = ListTopLevelWindows();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_TRUE(all[0] == hwnd);
    EXPECT_TRUE(all[1] == newer);
    int visited = 0;
    EXPECT_FALSE(EnumWindows([](Hwnd, void* context) { return ++*static_cast<int*>(context) < 1; }, &visited));
    EXPECT_EQ(visited, 1);
}

TEST_F(WindowTableTest, PositionAndVisibility) {
    Hwnd hwnd = MakeWindow();
    Rect rect;
    ASSERT_TRUE(GetWindowRect(hwnd, &rect));
    EXPECT_EQ(rect.right, 100);
    EXPECT_EQ(rect.bottom, 50);
    ASSERT_TRUE(MoveWindow(hwnd, 10, 20, 30, 40, false));
    ASSERT_TRUE(GetWindowRect(hwnd, &rect));
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.right, 40);
    EXPECT_EQ(rect.bottom, 60);
    ASSERT_TRUE(GetClientRect(hwnd, &rect));
    EXPECT_EQ(rect.right, 30);
    EXPECT_EQ(rect.bottom, 40);

    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_FALSE(ShowWindow(hwnd, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_TRUE(ShowWindow(hwnd, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_FALSE(ShowWindow(Hwnd{}, SW_SHOW));
    EXPECT_EQ(GetLastError(), kErrorInvalidWindowHandle);
}

TEST_F(WindowTableTest, ChildWindowsAreNotTopLevelAndGoWithTheirParent) {
    Hwnd parent = MakeWindow(u"Parent");
    Hwnd child = CreateWindow(u"Recording", u"Child", WS_CHILD, 0, 0, 5, 5, parent);
    ASSERT_TRUE(child);
    EXPECT_TRUE(GetParent(child) == parent);
    EXPECT_FALSE(GetParent(parent));
    EXPECT_FALSE(FindWindow(nullptr, u"Child"));
    EXPECT_EQ(ListTopLevelWindows().size(), 1u);
    EXPECT_FALSE(CreateWindow(u"Recording", u"", WS_CHILD, 0, 0, 5, 5, Hwnd{parent.value + 1000}));
    EXPECT_EQ(GetLastError(), kErrorInvalidWindowHandle);

    Recorder::Instance().Take();
    ASSERT_TRUE(DestroyWindow(parent));
    // The parent's WM_DESTROY first, then the child's.
    EXPECT_EQ(Recorder::Instance().Take(), (std::vector<Seen>{{WM_DESTROY, 0}, {WM_DESTROY, 0}}));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(parent));
    made_.clear();
}

LResult SubclassProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_USER) return 77;
    return wintest::RecordingProc(hwnd, message, wParam, lParam);
}

TEST_F(WindowTableTest, WindowDataAndSubclassing) {
    Hwnd hwnd = MakeWindow();
    EXPECT_EQ(SetWindowLong(hwnd, GWL_USERDATA, 1234), 0);
    EXPECT_EQ(GetWindowLong(hwnd, GWL_USERDATA), 1234);
    EXPECT_EQ(GetWindowLong(hwnd, 99), 0);
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
    SetWindowLong(hwnd, GWL_STYLE, WS_POPUP | WS_VISIBLE);
    EXPECT_FALSE(IsWindowVisible(hwnd));  // visibility changes through ShowWindow only
    EXPECT_EQ(static_cast<uint32_t>(GetWindowLong(hwnd, GWL_STYLE)), WS_POPUP);

    EXPECT_EQ(SendMessage(hwnd, WM_USER, 0, 0), 0);
    int64_t old = SetWindowLong(hwnd, GWL_WNDPROC, reinterpret_cast<intptr_t>(&SubclassProc));
    EXPECT_EQ(old, reinterpret_cast<intptr_t>(&wintest::RecordingProc));
    EXPECT_EQ(SendMessage(hwnd, WM_USER, 0, 0), 77);
    EXPECT_EQ(SetWindowLong(hwnd, GWL_WNDPROC, 0), 0);  // no procedure is refused
    EXPECT_EQ(SendMessage(hwnd, WM_USER, 0, 0), 77);
}

TEST_F(WindowTableTest, PaintingValidatesAndTheSurfaceFollowsTheSize) {
    Hwnd hwnd = MakeWindow(u"Paint", WS_VISIBLE);
    PaintStruct paint;
    Hdc hdc = BeginPaint(hwnd, &paint);
    ASSERT_TRUE(hdc);
    EXPECT_EQ(paint.paint.right, 100);
    EXPECT_EQ(paint.paint.bottom, 50);
    EXPECT_TRUE(EndPaint(hwnd, &paint));
    PumpMessagesUntilIdle();
    EXPECT_TRUE(Recorder::Instance().Take().empty());  // painted: no WM_PAINT

    Rect part{10, 10, 20, 20};
    InvalidateRect(hwnd, &part, false);
    hdc = BeginPaint(hwnd, &paint);
    EXPECT_EQ(paint.paint.left, 10);
    EXPECT_EQ(paint.paint.right, 20);
    EndPaint(hwnd, &paint);

    MoveWindow(hwnd, 0, 0, 200, 80, true);
    Hdc surface = GetWindowSurface(hwnd);
    ASSERT_TRUE(surface);
    BitmapDesc desc;
    ASSERT_TRUE(GetBitmapInfo(GetCurrentBitmap(surface), &desc));
    EXPECT_EQ(desc.width, 200);
    EXPECT_EQ(desc.height, 80);
    PumpMessagesUntilIdle();
    EXPECT_EQ(Recorder::Instance().Take(), (std::vector<Seen>{{WM_PAINT, 0}}));
}

}  // namespace
