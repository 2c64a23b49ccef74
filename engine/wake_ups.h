// The engine's own wake-ups: platform user notifications that start
// "\Windows\Tallowd.exe" with an argument at a given time.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/engine_state.h"
#include "platform/kernel/clock.h"
#include "platform/notify/user_notify.h"

namespace tlw {

// Query kinds of FindOwnWakeUps.
enum WakeUpQuery : int32_t {
    kFindDelayedActivation = 500,  // is there one with argument "500"?
    kDeleteReevaluations = 710,    // delete those with argument "500"
    kDeleteTimeWakeUps = 200,      // delete those whose argument begins below '3', but
                                   // the notification repetition's ("2263" ... "2267")
    kDeleteCalendarWakeUps = 35,   // delete those whose argument begins with '3'
    kDeleteCellVerify = 20,        // delete the named-event "TlwCellVerify" ones
};

// Walks the pending notifications and acts on the engine's own (or, for
// kind 20, the location re-timing ones) as the query kind says. Returns true
// only for kind 500 when a "500" wake-up exists.
bool FindOwnWakeUps(const EngineState& engine, int32_t kind);

// Schedules the engine to be started at `when` with `argument`. Returns the
// notification's handle, 0 when it could not be set.
plat::NotificationHandle ScheduleWakeUp(const EngineState& engine, const plat::SystemTime& when,
                                        std::u16string_view argument);

// True while the wake-up is still pending (it has neither fired nor been
// deleted).
bool WakeUpPending(plat::NotificationHandle handle);

// Deletes the time wake-ups and sets the midnight ("16") and next-slot
// (200 + i) ones; those of them already pending at the same second stay.
void RescheduleTimeWakeUps(EngineState& engine, bool fromMinuteStart);

// Deletes every pending notification whose application is the engine.
void DeleteAllOwnWakeUps(const EngineState& engine);

}  // namespace tlw
