// An appointment of the device's calendar, as the personal-information
// store keeps it and hands it to programs.
#pragma once

#include <cstdint>
#include <string>

#include "platform/kernel/clock.h"
#include "platform/pim/recurrence.h"

namespace plat {

// Busy status of an appointment.
enum AppointmentBusyStatus : int32_t {
    kBusyFree = 0,
    kBusyTentative = 1,
    kBusyBusy = 2,
    kBusyOutOfOffice = 3,
};

// Meeting status: 0 a plain appointment, 1 a meeting the user organises,
// 3 a meeting request received, 5 and 7 cancelled ones.
enum AppointmentMeetingStatus : int32_t {
    kMeetingNone = 0,
    kMeetingOrganised = 1,
    kMeetingReceived = 3,
};

// Sensitivity: 0 normal, 1 personal, 2 private, 3 confidential.
constexpr int32_t kMaxSensitivity = 3;
constexpr int32_t kMaxBusyStatus = 3;
constexpr int32_t kMaxMeetingStatus = 7;

struct Appointment {
    int64_t oid = 0;                 // object identifier; unique in the store, never reused
    std::u16string subject;          // the title the user gave it
    SystemTime start;                // local start time
    SystemTime end;                  // local end time, not before start
    bool allDay = false;             // an all-day event (start and end at midnight)
    int32_t busyStatus = kBusyBusy;  // AppointmentBusyStatus
    int32_t meetingStatus = kMeetingNone;  // AppointmentMeetingStatus
    int32_t sensitivity = 0;         // 0 ... 3
    std::u16string categories;       // category names joined by ", "
    bool isRecurring = false;        // a series: its start's day begins it, start and end give each occurrence's times
    RecurrencePattern recurrence;    // how it repeats, when isRecurring
};

}  // namespace plat
