// Letting the device settle after the console fired a user notification:
// the program it started has handed its argument on (or become the resident
// program), and the engine window has handled what it was sent. Used by
// every clock move, so that each notification's consequences (new wake-ups
// among them) are in place before the next one falls due.
#pragma once

#include "platform/notify/user_notify.h"

namespace sim {

// Waits until the started program has ended or shows a top-level window
// (at most kProgramLimitMs), then syncs with the engine window when one
// exists (at most kAnswerLimitMs). Never fails: a program or window that
// does not settle in time is left to run on.
void SettleAfterFiring(const plat::FiredNotification& fired);

}  // namespace sim
