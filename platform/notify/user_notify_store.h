// The storage of user notifications: the table notifications of the device
// store (device_store.h), shared by every process of the device. Row ids are
// the handles: AUTOINCREMENT keeps them from ever being reused, so a stale
// handle finds nothing.
//
// Internal to the user notifications (user_notify.cpp). Each function is
// one transaction and returns a platform error code.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/notify/user_notify.h"

namespace plat::notifystore {

// Adds a notification whose times are already checked; *handle receives
// its handle.
uint32_t Insert(const NotificationTrigger& trigger, NotificationHandle* handle);

// Removes one; kErrorInvalidHandle when it is not pending.
uint32_t Remove(NotificationHandle handle);

// Handles of every pending notification, oldest first.
uint32_t Handles(std::vector<NotificationHandle>* out);

// One notification; kErrorInvalidHandle when it is not pending.
uint32_t Get(NotificationHandle handle, UserNotificationInfo* out);

// Every pending notification in listing order (time kind by start time,
// then event kind by event; each then by handle).
uint32_t List(std::vector<UserNotificationInfo>* out);

// Times are kept as whole seconds since 1 January 1601 (device local time).
int64_t SecondsOf(const SystemTime& t);

// Start time of the earliest time notification; kErrorNoMoreItems when none.
uint32_t EarliestTime(SystemTime* out);

// Removes the earliest time notification starting at or before now and
// returns it; kErrorNoMoreItems when none is due. Removal and read are one
// transaction, so a notification is taken by one caller only.
uint32_t TakeEarliestDue(const SystemTime& now, UserNotificationInfo* out);

// The event notifications waiting for event, by handle.
uint32_t ForEvent(uint32_t event, std::vector<UserNotificationInfo>* out);

}  // namespace plat::notifystore
