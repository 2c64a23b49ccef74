// The location-sensing thread of the engine: every ten minutes, also while
// the device sleeps, it reads the serving cell (cell mode) or looks for the
// strongest access point (access-point mode) and tells the engine window
// when the place changed. A time notification whose target is the named
// event "TlwCellVerify" wakes the device and the thread for each cycle; a
// sleeping device is woken behind a black full-screen window with the
// backlight off and put back to idle afterwards.
#pragma once

#include <cstdint>

#include "platform/notify/user_notify.h"

namespace tlw {

// The message to the window of class "Tallowd": wParam is the new cell
// identity (cell mode) or the address of the new access point's text
// (access-point mode, valid until the thread's next cycle); lParam is 0.
constexpr uint32_t kLocationChangedMessage = 0x8F0;
// The period of the cycle, in seconds.
constexpr int64_t kSensingPeriodSeconds = 600;
// The re-timing notification's application.
inline constexpr char16_t kCellVerifyTarget[] = u"\\\\.\\Notifications\\NamedEvents\\TlwCellVerify";

// `StartLocationSensing`: starts the thread in the mode (0 cell towers,
// else access points); the first cycle runs at once. A thread already
// running is stopped first, so there is never more than one.
void StartLocationSensing(int32_t mode);
// `StopLocationSensing`: ends the thread (without another reading) and
// clears its pending notification. Harmless when it is not running.
void StopLocationSensing();

// The handle of the pending re-timing notification; 0 when none.
plat::NotificationHandle PendingSensingWakeUp();

}  // namespace tlw
