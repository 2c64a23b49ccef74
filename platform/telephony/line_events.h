// Delivery of line events to the applications that opened lines: when the
// call on the line changes (a call rings, is answered, ends; in any process
// of the device, `tlwsim hw call=...` among them), every open line with the
// monitor or owner privilege gets a LINE_CALLSTATE event through its
// application's callback. With the hidden-window option the callback runs
// on the thread that initialised the application, through a hidden window of
// that thread, as on the phone; the thread must run a message loop.
//
// Also the application priority of media modes (lineSetAppPriority),
// journalled ("line priority Tallowd.exe media 0x4 = 1").
#pragma once

#include <cstdint>

#include "platform/telephony/line_device.h"

namespace plat {

// Line events and call states.
inline constexpr uint32_t kLineCallState = 2;                // message of a call-state change
inline constexpr uint32_t kLineCallStateIdle = 0x00000001;   // no call
inline constexpr uint32_t kLineCallStateOffering = 0x00000002;  // a call rings
inline constexpr uint32_t kLineCallStateConnected = 0x00000100; // the call is connected

// Called by the line layer: starts the delivery for an initialised
// application (on the calling thread) and ends it at shut-down.
void AttachLineEvents(HLineApp app, uint32_t options);
void DetachLineEvents(HLineApp app);

// One open line that receives events, as the line layer reports it.
struct EventLine {
    uint32_t device;          // the line device
    uintptr_t instance;       // the callback instance given at opening
    LineCallback callback;    // the application's callback
};

// Makes the application the one with the given priority for the media mode
// (1 highest, 0 gives it up). kLineErrInvalParam for a null name or more
// than one media mode bit.
int32_t LineSetAppPriority(const char16_t* appName, uint32_t mediaMode, const void* extensionId, uint32_t requestMode,
                           const char16_t* extensionName, uint32_t priority);

}  // namespace plat
