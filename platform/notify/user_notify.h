// User notifications: the phone's scheduler of program starts and named-event
// signals. A notification of the time kind falls due at its start time; one
// of the event kind fires each time its system event happens (event 11: the
// device wakes up). When a notification fires, the platform starts its
// application with its arguments as a device program, or, when the
// application is "\\.\Notifications\NamedEvents\NAME", signals the named
// event NAME.
//
// Pending notifications are stored per device in
// the device store ("<root>/.device/device.db") and shared by every process of the
// device; they outlive the programs that set them. Handles are small
// integers that stay the same in every process and are never reused.
//
// Nothing on the phone polls the store: the device host fires due time
// notifications as its clock reaches them (FireDueNotifications), the power
// manager fires the wake-up event notifications when the device wakes, and a
// time notification set for a time that is not in the future fires at once,
// from the process that sets it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel/clock.h"
#include "platform/kernel/sync_objects.h"  // kNamedEventTargetPrefix

namespace plat {

// A notification's handle; 0 is no notification.
using NotificationHandle = uint32_t;

// Trigger kinds.
enum : uint32_t {
    kNotificationTriggerEvent = 1,  // fires on a system event, each time it happens
    kNotificationTriggerTime = 2,   // fires once, at its start time
};

// System events an event notification waits for.
enum : uint32_t {
    kNotificationEventNone = 0,
    kNotificationEventTimeChange = 1,   // the clock was set
    kNotificationEventAcPowerOn = 3,    // external power connected
    kNotificationEventAcPowerOff = 4,   // external power removed
    kNotificationEventWakeup = 11,      // the device woke from suspend
    kNotificationEventLast = 13,        // highest event number the platform knows
};

// Longest application path and argument text, in characters.
constexpr size_t kMaxNotificationApplication = 260;
constexpr size_t kMaxNotificationArguments = 1024;

// What starts a notification and what it starts.
struct NotificationTrigger {
    uint32_t type = kNotificationTriggerTime;  // kNotificationTriggerTime or kNotificationTriggerEvent
    uint32_t event = kNotificationEventNone;   // event kind: the event number; time kind: 0
    std::u16string application;  // device path of the program, or kNamedEventTargetPrefix + event name
    std::u16string arguments;    // the program's command line (ignored for a named event)
    SystemTime startTime;        // time kind: when it falls due (milliseconds ignored)
    SystemTime endTime;          // time kind: end of its period, not before startTime
};

// One stored notification as GetUserNotification returns it.
struct UserNotificationInfo {
    NotificationHandle handle = 0;  // its handle
    NotificationTrigger trigger;    // what starts it and what it starts
};

// Bytes of a notification's record on the phone: a 16-byte header, the
// 52-byte trigger, and the application and arguments as UTF-16 text with
// terminators. GetUserNotification reports this size and wants a buffer of
// at least this size.
constexpr uint32_t kNotificationHeaderBytes = 16;
constexpr uint32_t kNotificationTriggerBytes = 52;
uint32_t UserNotificationRecordSize(const NotificationTrigger& trigger);

// Stores a new notification and returns its handle, or 0 with the last error
// set (kErrorInvalidParameter for an unknown kind or event, an empty or
// too long application, an invalid time or an end before the start; a store
// error otherwise). A time notification whose start time is not after the
// device's current time fires at once and is not kept; its handle is still
// returned (and then names nothing).
NotificationHandle SetUserNotification(const NotificationTrigger& trigger);

// Removes a notification. False (kErrorInvalidHandle) for a handle that
// names no pending notification.
bool ClearUserNotification(NotificationHandle handle);

// The pending notifications' handles, oldest first. Sets *needed to their
// number and copies them into handles when capacity is enough; false
// (kErrorInsufficientBuffer) when it is not, so a caller asks with capacity
// 0 first and then again with the number it got. False with a store error
// (and *needed 0) when the store cannot be read.
bool GetUserNotificationHandles(NotificationHandle* handles, uint32_t capacity, uint32_t* needed);

// Reads one notification. Sets *bytesNeeded to its record size and fills
// *out when bufferSize is at least that size; false (kErrorInsufficientBuffer)
// when it is smaller. For a handle that names no pending notification,
// *bytesNeeded is 0 and the result false (kErrorInvalidHandle).
bool GetUserNotification(NotificationHandle handle, uint32_t bufferSize, uint32_t* bytesNeeded,
                         UserNotificationInfo* out);

// Every pending notification: time notifications by start time (then by
// handle), then event notifications by event (then by handle). False with
// the last error set when the store cannot be read.
bool ListUserNotifications(std::vector<UserNotificationInfo>* out);

// --- Firing (the device host and the power manager) ---

// One notification that fired.
struct FiredNotification {
    NotificationHandle handle = 0;  // its handle (no longer pending for the time kind)
    NotificationTrigger trigger;    // what it was
    uint32_t processId = 0;         // the program it started; 0 for a named event or a failed start
};

// The start time of the earliest pending time notification. False when none
// is pending (or the store cannot be read).
bool NextNotificationTime(SystemTime* out);

// Fires the earliest time notification whose start time is not after the
// device's current time: removes it, then starts its application or signals
// its named event. False when none is due. Of two processes firing at once,
// each notification is fired by exactly one.
bool FireNextDueNotification(FiredNotification* fired = nullptr);

// Fires every time notification due at the device's current time, in time
// order; returns how many fired.
int FireDueNotifications(std::vector<FiredNotification>* fired = nullptr);

// The system event happened: fires every event notification waiting for it,
// in the order they were set. They stay pending for the next time.
int FireEventNotifications(uint32_t event, std::vector<FiredNotification>* fired = nullptr);

}  // namespace plat
