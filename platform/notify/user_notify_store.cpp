#include "platform/notify/user_notify_store.h"

#include <string>

#include "platform/kernel/last_error.h"
#include "platform/storage/device_store.h"

namespace plat::notifystore {
namespace {

// Every statement below is prepared once per connection and kept (see
// device_store.h), so listing and changing notifications costs no parsing.
#define TLW_NOTIFY_COLUMNS "id, type, event, application, arguments, start_s, end_s"

SystemTime TimeOfSeconds(int64_t seconds) {
    SystemTime t;
    FileTimeToSystemTime(static_cast<FileTime>(seconds) * 10000000u, &t);
    return t;
}

// Reads one row of the columns above.
UserNotificationInfo RowInfo(const store::Query& s) {
    UserNotificationInfo info;
    info.handle = static_cast<NotificationHandle>(s.Int(0));
    info.trigger.type = static_cast<uint32_t>(s.Int(1));
    info.trigger.event = static_cast<uint32_t>(s.Int(2));
    info.trigger.application = s.Text16(3);
    info.trigger.arguments = s.Text16(4);
    if (info.trigger.type == kNotificationTriggerTime) {
        info.trigger.startTime = TimeOfSeconds(s.Int(5));
        info.trigger.endTime = TimeOfSeconds(s.Int(6));
    }
    return info;
}

// Collects the rows of a query of the columns above.
uint32_t Collect(store::Query& q, std::vector<UserNotificationInfo>* out) {
    while (q.Next()) out->push_back(RowInfo(q));
    return q.Error();
}

}  // namespace

int64_t SecondsOf(const SystemTime& t) {
    FileTime ft = 0;
    if (!SystemTimeToFileTime(t, &ft)) return 0;
    return static_cast<int64_t>(ft / 10000000u);
}

uint32_t Insert(const NotificationTrigger& trigger, NotificationHandle* handle) {
    return store::Write([&](store::Transaction& t) -> uint32_t {
        store::Query s(t,
                       "INSERT INTO notifications(type, event, application, arguments, start_s, end_s)"
                       " VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
        bool timed = trigger.type == kNotificationTriggerTime;
        s.Bind(1, static_cast<int64_t>(trigger.type)).Bind(2, static_cast<int64_t>(trigger.event));
        s.Bind(3, std::u16string_view(trigger.application)).Bind(4, std::u16string_view(trigger.arguments));
        s.Bind(5, timed ? SecondsOf(trigger.startTime) : 0).Bind(6, timed ? SecondsOf(trigger.endTime) : 0);
        if (uint32_t error = s.Run(); error != kErrorSuccess) return error;
        int64_t id = t.LastInsertId();
        // Handles are 32-bit on the phone; a store that ran out of them
        // refuses new notifications instead of wrapping around (the
        // transaction is rolled back).
        if (id <= 0 || id > static_cast<int64_t>(UINT32_MAX)) return kErrorNotEnoughMemory;
        *handle = static_cast<NotificationHandle>(id);
        return kErrorSuccess;
    });
}

uint32_t Remove(NotificationHandle handle) {
    return store::Write([&](store::Transaction& t) -> uint32_t {
        store::Query s(t, "DELETE FROM notifications WHERE id = ?1");
        s.Bind(1, static_cast<int64_t>(handle));
        if (uint32_t error = s.Run(); error != kErrorSuccess) return error;
        return t.Changes() == 1 ? kErrorSuccess : kErrorInvalidHandle;
    });
}

uint32_t Handles(std::vector<NotificationHandle>* out) {
    return store::Read([&](store::Transaction& t) -> uint32_t {
        store::Query s(t, "SELECT id FROM notifications ORDER BY id");
        while (s.Next()) out->push_back(static_cast<NotificationHandle>(s.Int(0)));
        return s.Error();
    });
}

uint32_t Get(NotificationHandle handle, UserNotificationInfo* out) {
    return store::Read([&](store::Transaction& t) -> uint32_t {
        store::Query s(t, "SELECT " TLW_NOTIFY_COLUMNS " FROM notifications WHERE id = ?1");
        s.Bind(1, static_cast<int64_t>(handle));
        std::vector<UserNotificationInfo> rows;
        if (uint32_t error = Collect(s, &rows); error != kErrorSuccess) return error;
        if (rows.empty()) return kErrorInvalidHandle;
        *out = std::move(rows.front());
        return kErrorSuccess;
    });
}

uint32_t List(std::vector<UserNotificationInfo>* out) {
    return store::Read([&](store::Transaction& t) -> uint32_t {
        store::Query s(t, "SELECT " TLW_NOTIFY_COLUMNS
                          " FROM notifications ORDER BY type = ?1 DESC, start_s, event, id");
        s.Bind(1, static_cast<int64_t>(kNotificationTriggerTime));
        return Collect(s, out);
    });
}

uint32_t EarliestTime(SystemTime* out) {
    return store::Read([&](store::Transaction& t) -> uint32_t {
        store::Query s(t, "SELECT start_s FROM notifications WHERE type = ?1 ORDER BY start_s, id LIMIT 1");
        s.Bind(1, static_cast<int64_t>(kNotificationTriggerTime));
        if (!s.Next()) return s.Error() != kErrorSuccess ? s.Error() : kErrorNoMoreItems;
        *out = TimeOfSeconds(s.Int(0));
        return kErrorSuccess;
    });
}

uint32_t TakeEarliestDue(const SystemTime& now, UserNotificationInfo* out) {
    UserNotificationInfo taken;
    uint32_t error = store::Write([&](store::Transaction& t) -> uint32_t {
        std::vector<UserNotificationInfo> rows;
        {
            store::Query s(t, "SELECT " TLW_NOTIFY_COLUMNS
                              " FROM notifications WHERE type = ?1 AND start_s <= ?2 ORDER BY start_s, id LIMIT 1");
            s.Bind(1, static_cast<int64_t>(kNotificationTriggerTime)).Bind(2, SecondsOf(now));
            if (uint32_t failed = Collect(s, &rows); failed != kErrorSuccess) return failed;
        }
        if (rows.empty()) return kErrorNoMoreItems;
        store::Query del(t, "DELETE FROM notifications WHERE id = ?1");
        del.Bind(1, static_cast<int64_t>(rows.front().handle));
        if (uint32_t failed = del.Run(); failed != kErrorSuccess) return failed;
        taken = std::move(rows.front());
        return kErrorSuccess;
    });
    if (error == kErrorSuccess) *out = std::move(taken);  // only once the removal is committed
    return error;
}

uint32_t ForEvent(uint32_t event, std::vector<UserNotificationInfo>* out) {
    return store::Read([&](store::Transaction& t) -> uint32_t {
        store::Query s(t, "SELECT " TLW_NOTIFY_COLUMNS
                          " FROM notifications WHERE type = ?1 AND event = ?2 ORDER BY id");
        s.Bind(1, static_cast<int64_t>(kNotificationTriggerEvent)).Bind(2, static_cast<int64_t>(event));
        return Collect(s, out);
    });
}

}  // namespace plat::notifystore
