#include "common/device/location_sensing.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>

#include "base/text.h"
#include "common/config/log_file.h"
#include "common/device/location_reading.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/kernel_handle.h"
#include "platform/kernel/sync_objects.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/wait.h"
#include "platform/power/device_power.h"
#include "platform/power/power_state.h"
#include "platform/shell/full_screen.h"
#include "platform/message/message_loop.h"
#include "platform/window/system_info.h"
#include "platform/window/window.h"

namespace tlw {
namespace {

constexpr uint32_t kFirstCycleDelayMs = 100;  // after starting, before the first signal
constexpr uint32_t kSettleMs = 1000;          // at the start of every cycle
constexpr uint32_t kAwakeFlags = 0x00010000;  // on
constexpr uint32_t kAwakeLitFlags = 0x02010000;  // on with the backlight
constexpr char16_t kHideClass[] = u"szHideClass";
constexpr char16_t kBacklightDevice[] = u"BKL1:";
constexpr char16_t kEventName[] = u"TlwCellVerify";

// The sensing state of the process.
struct Sensing {
    std::mutex lock;                        // guards the fields below against start and stop
    plat::Handle event;                     // "TlwCellVerify"; none while stopped
    plat::Handle thread;                    // the running thread; none while stopped
    std::atomic<bool> stop{false};          // asks the thread to end at its next wake
    std::atomic<plat::NotificationHandle> wakeUp{0};  // the pending re-timing notification
    uint32_t lastCell = 0;                  // the cell last reported (thread only)
    char16_t newAccessPoint[kAccessPointTextCapacity] = {};  // sent by address to the engine
    char16_t oldAccessPoint[kAccessPointTextCapacity] = {};  // the one before
};

Sensing& State() {
    static Sensing sensing;
    return sensing;
}

void ClearWakeUp(Sensing& s) {
    plat::NotificationHandle pending = s.wakeUp.exchange(0);
    if (pending) plat::ClearUserNotification(pending);
}

plat::LResult HideWindowProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    switch (message) {
    case plat::WM_CLOSE:
        plat::DestroyWindow(hwnd);
        return 0;
    case plat::WM_DESTROY:
        plat::UnregisterClass(kHideClass);
        return 0;
    default:
        return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// Covers the screen with a black window that hides the taskbar, so that a
// device woken for a reading shows nothing, and keeps the backlight off.
plat::Hwnd HideWakeUp(int32_t mode) {
    plat::WndClass wc;
    wc.className = kHideClass;
    wc.proc = HideWindowProc;
    wc.style = plat::CS_HREDRAW | plat::CS_VREDRAW;
    wc.background = plat::GetStockBrush(plat::kBlackBrush);
    plat::RegisterClass(wc);
    plat::Hwnd hide = plat::CreateWindow(kHideClass, u"", plat::WS_VISIBLE, 0, 0, 50, 50, {});
    if (hide) {
        plat::UpdateWindow(hide);
        plat::ShFullScreen(hide, plat::kShfsHideTaskbar);
        plat::MoveWindow(hide, 0, 0, plat::GetSystemMetrics(plat::kSmCxScreen), plat::GetSystemMetrics(plat::kSmCyScreen),
                         true);
        plat::UpdateWindow(hide);
    }
    plat::SetDevicePower(kBacklightDevice, plat::kPowerName, plat::kPwrDeviceUnspecified);
    plat::SetSystemPowerState({}, mode == 0 ? plat::kPowerStateOn : plat::kPowerStateIdle, plat::kPowerForce);
    plat::SetDevicePower(kBacklightDevice, plat::kPowerName, plat::kD4);
    return hide;
}

void EndHiding(plat::Hwnd hide) {
    plat::SetDevicePower(kBacklightDevice, plat::kPowerName, plat::kPwrDeviceUnspecified);
    plat::SetSystemPowerState({}, plat::kPowerStateIdle, plat::kPowerForce);
    if (!hide) return;
    plat::ShFullScreen(hide, plat::kShfsShowTaskbar);
    plat::UpdateWindow(hide);
    plat::ShowWindow(hide, plat::SW_HIDE);
    plat::DestroyWindow(hide);
}

void Report(plat::WParam wParam) {
    plat::Hwnd engine = plat::FindWindow(u"Tallowd", nullptr);
    if (engine) plat::SendNotifyMessage(engine, kLocationChangedMessage, wParam, 0);
}

void ScheduleNextCycle(Sensing& s) {
    plat::NotificationTrigger t;
    t.type = plat::kNotificationTriggerTime;
    t.application = kCellVerifyTarget;
    t.startTime = plat::AddSeconds(plat::GetLocalTime(), kSensingPeriodSeconds);
    t.endTime = t.startTime;
    s.wakeUp.store(plat::SetUserNotification(t));
}

void RunCycle(Sensing& s, int32_t mode) {
    plat::Sleep(kSettleMs);
    std::u16string stateName;
    uint32_t flags = 0;
    plat::GetSystemPowerState(&stateName, &flags);
    flags &= 0x0FFF0000;
    ScheduleNextCycle(s);
    int32_t powerState = (flags == kAwakeFlags || flags == kAwakeLitFlags) ? 4 : 0;
    plat::Hwnd hide;
    if (powerState == 0) hide = HideWakeUp(mode);

    uint32_t cell = 0;
    bool found = false;
    if (mode == 0) {
        cell = ReadCellTower();
    } else {
        found = FindStrongestAccessPoint(s.newAccessPoint, kAccessPointTextCapacity);
    }
    if (powerState == 0) EndHiding(hide);

    if (mode == 0 && cell != s.lastCell) {
        Report(cell);
        s.lastCell = cell;
    }
    if ((mode != 0 && std::u16string_view(s.newAccessPoint) != std::u16string_view(s.oldAccessPoint)) || !found) {
        Report(reinterpret_cast<plat::WParam>(s.newAccessPoint));
        std::u16string_view text(s.newAccessPoint);
        text.copy(s.oldAccessPoint, kAccessPointTextCapacity - 1);
        s.oldAccessPoint[std::min(text.size(), kAccessPointTextCapacity - 1)] = 0;
    }
    if (QueryLogMode() & 4) {
        if (mode == 0) {
            WriteLog(Format(u"Retiming Cell:%d, Loc mode %d, PW State:%d PWflag:%08X %s",
                            {static_cast<int32_t>(cell), mode, powerState, flags, stateName}),
                     true);
        } else {
            WriteLog(Format(u"Retiming AP:%s, Old AP:%s, Found %d, P Loc mode %d, PW State:%d PWflag:%08X %s",
                            {std::u16string_view(s.newAccessPoint), std::u16string_view(s.oldAccessPoint),
                             found ? 1 : 0, mode, powerState, flags, stateName}),
                     true);
        }
    }
}

uint32_t SensingThread(plat::Handle event, int32_t mode) {
    Sensing& s = State();
    for (;;) {
        plat::WaitForSingleObject(event, plat::kInfinite);
        if (s.stop.load()) break;
        RunCycle(s, mode);
    }
    plat::CloseHandle(event);
    return 0;
}

}  // namespace

void StartLocationSensing(int32_t mode) {
    StopLocationSensing();
    Sensing& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    ClearWakeUp(s);
    s.lastCell = 0;
    s.stop.store(false);
    std::u16string_view start(u"---");
    start.copy(s.oldAccessPoint, start.size());
    s.oldAccessPoint[start.size()] = 0;
    s.newAccessPoint[0] = 0;
    s.event = plat::CreateEvent(false, false, kEventName);
    if (!s.event) return;
    // The thread keeps its own handle of the event, so that a stop may
    // close the one kept here at once.
    plat::Handle threadEvent = plat::CreateEvent(false, false, kEventName);
    s.thread = plat::CreateThread([threadEvent, mode] { return SensingThread(threadEvent, mode); }, nullptr);
    if (!s.thread) {
        plat::CloseHandle(threadEvent);
        return;
    }
    plat::Sleep(kFirstCycleDelayMs);
    plat::SetEvent(s.event);
}

void StopLocationSensing() {
    Sensing& s = State();
    plat::Handle thread;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        s.stop.store(true);
        if (s.event) plat::SetEvent(s.event);
        thread = s.thread;
        s.thread = {};
    }
    // The thread ends at its wake; a cycle in progress finishes first, so
    // that the notification it sets is cleared below and none is left.
    if (thread) {
        plat::WaitForSingleObject(thread, plat::kInfinite);
        plat::CloseHandle(thread);
    }
    std::lock_guard<std::mutex> guard(s.lock);
    ClearWakeUp(s);
    if (s.event) plat::CloseHandle(s.event);
    s.event = {};
}

plat::NotificationHandle PendingSensingWakeUp() { return State().wakeUp.load(); }

}  // namespace tlw
