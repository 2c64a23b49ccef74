// What a firing user notification does: starts its application with its
// arguments as a device program, or signals the named event its application
// names. Internal to the user notifications (user_notify.cpp).
#pragma once

#include <cstdint>

#include "platform/notify/user_notify.h"

namespace plat {

// Starts the notification's program or signals its named event. Returns the
// started program's process id; 0 for a named event or a program that did
// not start.
uint32_t StartNotificationTarget(const NotificationTrigger& trigger);

}  // namespace plat
