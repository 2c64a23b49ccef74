#include "sim/clock_moves.h"

#include "platform/kernel/last_error.h"
#include "platform/message/timers.h"
#include "platform/notify/user_notify.h"
#include "sim/command.h"
#include "sim/notification_settle.h"

namespace sim {
namespace {

// Most notifications one move fires; more means a program keeps setting
// new ones as fast as they fire.
constexpr int kMaxFiringsPerMove = 10000;

int FailSet(const plat::SystemTime& t) {
    return Fail("cannot set the device clock to " + plat::FormatDeviceTime(t) + " (error " +
                std::to_string(plat::GetLastError()) + ")");
}

}  // namespace

int MoveClockTo(const plat::SystemTime& target) {
    // Step through the notifications falling due on the way, earliest
    // first: the clock stands at each one's time while it fires, and the
    // device settles before the next, whose list may have changed meanwhile.
    for (int firings = 0;;) {
        plat::SystemTime next;
        if (!plat::NextNotificationTime(&next)) {
            if (plat::GetLastError() != plat::kErrorSuccess)
                return Fail("cannot read the pending notifications (error " +
                            std::to_string(plat::GetLastError()) + ")");
            break;
        }
        if (plat::CompareSystemTime(next, target) > 0) break;
        // One overdue (the clock ran past it) fires at the present time.
        if (plat::CompareSystemTime(next, plat::GetLocalTime()) > 0) {
            if (!plat::SetLocalTime(next)) return FailSet(next);
            plat::BroadcastClockChanged();
        }
        plat::FiredNotification fired;
        if (!plat::FireNextDueNotification(&fired)) {
            if (plat::GetLastError() != plat::kErrorSuccess)
                return Fail("cannot fire the notification due at " + plat::FormatDeviceTime(next) + " (error " +
                            std::to_string(plat::GetLastError()) + ")");
            continue;  // another process fired it first
        }
        SettleAfterFiring(fired);
        if (++firings >= kMaxFiringsPerMove)
            return Fail("more than " + std::to_string(kMaxFiringsPerMove) +
                        " notifications fell due; the clock stopped at " +
                        plat::FormatDeviceTime(plat::GetLocalTime()));
    }
    if (!plat::SetLocalTime(target)) return FailSet(target);
    plat::BroadcastClockChanged();
    return 0;
}

}  // namespace sim
