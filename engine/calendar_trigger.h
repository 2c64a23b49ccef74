// The calendar trigger: the `Outlook` profile of the appointments in
// progress, the wake-up at the next moment that can change it, and the
// calendar notifications of the engine window.
#pragma once

#include <cstdint>

#include "engine/engine_state.h"
#include "platform/pim/appointment.h"

namespace tlw {

// Logs on with the engine window and turns on the calendar folder's item
// notifications (33029 ... 33031 to the window).
void RegisterCalendarNotifications(EngineState& engine);
// Ends the notifications and logs off (shut-down).
void LogOffCalendar(EngineState& engine);

// The first enabled `Outlook` profile in table order that the appointment
// fits, or 600.
int32_t MatchAppointment(const EngineState& engine, const plat::Appointment& appointment);

// The calendar profile in effect now, or 600; replaces the pending calendar
// wake-up by one at the next start ("30") or end ("34") plus 30 seconds.
int32_t EvaluateCalendar(EngineState& engine);

}  // namespace tlw
