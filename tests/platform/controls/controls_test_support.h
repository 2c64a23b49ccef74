// Shared pieces of the control tests: a parent window that records what its
// controls tell it, stylus and key helpers that deliver input as the phone
// does (posted, then the queue pumped), on a fresh device with a virtual
// clock.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/common_controls.h"
#include "platform/kernel/clock.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"
#include "support/temp_device.h"

namespace ctltest {

// One message a control sent its parent.
struct Told {
    uint32_t message = 0;  // WM_COMMAND, WM_NOTIFY, WM_HSCROLL, WM_VSCROLL
    uint32_t id = 0;       // the control's id
    uint32_t code = 0;     // notification code (or scroll code)
    uint32_t extra = 0;    // WM_HSCROLL: the high word (the position)
};

inline std::vector<Told>& Log() {
    static std::vector<Told> log;
    return log;
}

inline plat::LResult ParentProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    switch (message) {
    case plat::WM_COMMAND:
        Log().push_back({message, plat::LowWord(wParam), plat::HighWord(wParam), 0});
        return 0;
    case plat::WM_NOTIFY: {
        const auto* header = reinterpret_cast<const plat::NmHdr*>(lParam);
        Log().push_back({message, static_cast<uint32_t>(header->idFrom), header->code, 0});
        return 0;
    }
    case plat::WM_HSCROLL:
    case plat::WM_VSCROLL:
        Log().push_back({message, static_cast<uint32_t>(plat::GetWindowLong(plat::Hwnd{static_cast<uint64_t>(lParam)}, plat::GWL_ID)),
                         plat::LowWord(wParam), plat::HighWord(wParam)});
        return 0;
    default:
        return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// The codes of the logged messages of one kind, in order.
inline std::vector<uint32_t> Codes(uint32_t message) {
    std::vector<uint32_t> codes;
    for (const Told& t : Log())
        if (t.message == message) codes.push_back(t.code);
    return codes;
}

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::SystemTime start;
        ASSERT_TRUE(plat::ParseDeviceTime("2024-03-01T08:00:00", &start));
        ASSERT_TRUE(plat::UseVirtualClock(start));
        plat::InitCommonControls();
        plat::WndClass wc;
        wc.className = u"ControlParent";
        wc.proc = &ParentProc;
        plat::RegisterClass(wc);
        parent_ = plat::CreateWindow(u"ControlParent", u"Parent", plat::WS_VISIBLE, 0, 26, 240, 268, plat::Hwnd{});
        ASSERT_TRUE(parent_);
        plat::PumpMessagesUntilIdle();
        Log().clear();
    }
    void TearDown() override {
        if (plat::IsWindow(parent_)) plat::DestroyWindow(parent_);
        plat::PumpMessagesUntilIdle();
        Log().clear();
        plat::UseDeviceClock();
    }

    // A control of the parent.
    plat::Hwnd Make(const char16_t* className, const char16_t* text, uint32_t style, int32_t id, plat::Rect r) {
        plat::Hwnd hwnd = plat::CreateWindow(className, text, style | plat::WS_CHILD | plat::WS_VISIBLE, r.left, r.top,
                                             r.right - r.left, r.bottom - r.top, parent_);
        EXPECT_TRUE(hwnd);
        plat::SetWindowLong(hwnd, plat::GWL_ID, id);
        plat::PumpMessagesUntilIdle();
        return hwnd;
    }

    // Input as the phone delivers it: posted, then handled.
    static void PenDown(plat::Hwnd hwnd, int32_t x, int32_t y) {
        plat::PostMessage(hwnd, plat::WM_LBUTTONDOWN, plat::MK_LBUTTON, plat::MakePointParam(x, y));
        plat::PumpMessagesUntilIdle();
    }
    static void PenMove(plat::Hwnd hwnd, int32_t x, int32_t y) {
        plat::PostMessage(hwnd, plat::WM_MOUSEMOVE, plat::MK_LBUTTON, plat::MakePointParam(x, y));
        plat::PumpMessagesUntilIdle();
    }
    static void PenUp(plat::Hwnd hwnd, int32_t x, int32_t y) {
        plat::PostMessage(hwnd, plat::WM_LBUTTONUP, 0, plat::MakePointParam(x, y));
        plat::PumpMessagesUntilIdle();
    }
    static void Tap(plat::Hwnd hwnd, int32_t x, int32_t y) {
        PenDown(hwnd, x, y);
        PenUp(hwnd, x, y);
    }
    static void Key(plat::Hwnd hwnd, uint32_t vk) {
        plat::PostMessage(hwnd, plat::WM_KEYDOWN, vk, 1);
        plat::PostMessage(hwnd, plat::WM_KEYUP, vk, 1);
        plat::PumpMessagesUntilIdle();
    }
    static void Type(plat::Hwnd hwnd, std::u16string_view text) {
        for (char16_t c : text) plat::PostMessage(hwnd, plat::WM_CHAR, c, 1);
        plat::PumpMessagesUntilIdle();
    }

    TempDevice device_;
    plat::Hwnd parent_;
};

}  // namespace ctltest
