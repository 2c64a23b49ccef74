// Shared pieces of the window tests: a window class whose procedure records
// every message it handles, and a device with a virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "platform/kernel/clock.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "support/temp_device.h"

namespace wintest {

// One handled message.
struct Seen {
    uint32_t message = 0;   // message number
    plat::WParam wParam = 0;  // its first parameter
    bool operator==(const Seen& other) const { return message == other.message && wParam == other.wParam; }
};

inline void PrintTo(const Seen& s, std::ostream* os) { *os << "{" << s.message << ", " << s.wParam << "}"; }

// What the recording procedure saw, across threads.
class Recorder {
public:
    static Recorder& Instance() {
        static Recorder recorder;
        return recorder;
    }
    void Add(uint32_t message, plat::WParam wParam) {
        std::lock_guard<std::mutex> guard(lock_);
        seen_.push_back({message, wParam});
    }
    std::vector<Seen> Take() {
        std::lock_guard<std::mutex> guard(lock_);
        std::vector<Seen> out;
        out.swap(seen_);
        return out;
    }

private:
    std::mutex lock_;         // guards seen_
    std::vector<Seen> seen_;  // handled messages, in order
};

// Records every message but the housekeeping ones (creation, showing,
// moving, the focus); WM_CLOSE and WM_PAINT get the default handling.
inline plat::LResult RecordingProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    switch (message) {
    case plat::WM_CREATE:
    case plat::WM_SHOWWINDOW:
    case plat::WM_ERASEBKGND:
    case plat::WM_MOVE:
    case plat::WM_SIZE:
    case plat::WM_SETFOCUS:
    case plat::WM_KILLFOCUS:
        return plat::DefWindowProc(hwnd, message, wParam, lParam);
    default:
        Recorder::Instance().Add(message, wParam);
        return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

inline void RegisterRecordingClass() {
    plat::WndClass wc;
    wc.className = u"Recording";
    wc.proc = &RecordingProc;
    plat::RegisterClass(wc);  // a second registration in this process is refused, which is fine
}

// A test on a fresh device with a virtual clock at 2024-03-01 08:00:00.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::SystemTime start;
        ASSERT_TRUE(plat::ParseDeviceTime("2024-03-01T08:00:00", &start));
        ASSERT_TRUE(plat::UseVirtualClock(start));
        RegisterRecordingClass();
        Recorder::Instance().Take();
    }
    void TearDown() override {
        for (plat::Hwnd hwnd : made_) plat::DestroyWindow(hwnd);
        plat::PumpMessagesUntilIdle();
        Recorder::Instance().Take();
        plat::UseDeviceClock();
    }
    // A recording window of the calling thread, destroyed after the test.
    plat::Hwnd MakeWindow(const char16_t* title = u"Recorder", uint32_t style = 0) {
        plat::Hwnd hwnd = plat::CreateWindow(u"Recording", title, style, 0, 0, 100, 50, plat::Hwnd{});
        EXPECT_TRUE(hwnd);
        made_.push_back(hwnd);
        return hwnd;
    }

    TempDevice device_;
    std::vector<plat::Hwnd> made_;  // windows to destroy at the end
};

}  // namespace wintest
