#include "platform/pim/calendar_db.h"

#include <string>
#include <unordered_map>

#include "platform/kernel/last_error.h"
#include "platform/storage/device_store.h"

namespace plat::calendardb {
namespace {

// The appointment's columns, then its recurrence's (NULL for a single one).
#define TLW_APPOINTMENT_COLUMNS                                                                              \
    "a.oid, a.subject, a.start_s, a.end_s, a.all_day, a.busy, a.meeting, a.sensitivity, a.categories, r.type, " \
    "r.interval, r.days, r.until_s, r.count"

int64_t SecondsOf(const SystemTime& t) {
    FileTime ft = 0;
    if (!SystemTimeToFileTime(t, &ft)) return 0;
    return static_cast<int64_t>(ft / 10000000u);
}

SystemTime TimeOfSeconds(int64_t seconds) {
    SystemTime t;
    FileTimeToSystemTime(static_cast<FileTime>(seconds) * 10000000u, &t);
    return t;
}

Appointment RowAppointment(const store::Query& s) {
    Appointment a;
    a.oid = s.Int(0);
    a.subject = s.Text16(1);
    a.start = TimeOfSeconds(s.Int(2));
    a.end = TimeOfSeconds(s.Int(3));
    a.allDay = s.Int(4) != 0;
    a.busyStatus = static_cast<int32_t>(s.Int(5));
    a.meetingStatus = static_cast<int32_t>(s.Int(6));
    a.sensitivity = static_cast<int32_t>(s.Int(7));
    a.categories = s.Text16(8);
    a.isRecurring = !s.IsNull(9);
    if (a.isRecurring) {
        RecurrencePattern& p = a.recurrence;
        p.type = static_cast<int32_t>(s.Int(9));
        p.interval = static_cast<int32_t>(s.Int(10));
        p.daysOfWeek = static_cast<uint32_t>(s.Int(11));
        p.hasEndDate = !s.IsNull(12);
        if (p.hasEndDate) p.patternEnd = TimeOfSeconds(s.Int(12));
        p.occurrences = static_cast<int32_t>(s.Int(13));
    }
    return a;
}

SystemTime DayOf(const SystemTime& t) {
    SystemTime day = t;
    day.hour = day.minute = day.second = day.milliseconds = 0;
    return day;
}

// Removes what a series of oid keeps beside its row: the pattern and the
// deleted occurrences.
uint32_t DropRecurrence(store::Transaction& t, int64_t oid) {
    for (const char* sql : {"DELETE FROM appointment_recurrences WHERE oid = ?1",
                            "DELETE FROM appointment_exceptions WHERE oid = ?1"}) {
        store::Query drop(t, sql);
        drop.Bind(1, oid);
        if (uint32_t error = drop.Run(); error != kErrorSuccess) return error;
    }
    return kErrorSuccess;
}

// Reads the deleted occurrences of the recurring appointments in *list.
uint32_t ReadExceptions(store::Transaction& t, std::vector<Appointment>* list) {
    std::unordered_map<int64_t, Appointment*> series;
    for (Appointment& a : *list)
        if (a.isRecurring) series[a.oid] = &a;
    if (series.empty()) return kErrorSuccess;
    store::Query q(t, "SELECT oid, day_s FROM appointment_exceptions ORDER BY oid, day_s");
    while (q.Next()) {
        auto it = series.find(q.Int(0));
        if (it != series.end()) it->second->recurrence.deleted.push_back(TimeOfSeconds(q.Int(1)));
    }
    return q.Error();
}

// Stores the recurrence of appointment oid (replacing the one it had).
uint32_t PutRecurrence(store::Transaction& t, int64_t oid, const Appointment& a) {
    if (uint32_t error = DropRecurrence(t, oid); error != kErrorSuccess || !a.isRecurring) return error;
    const RecurrencePattern& p = a.recurrence;
    store::Query put(t,
                     "INSERT INTO appointment_recurrences(oid, type, interval, days, until_s, count)"
                     " VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    put.Bind(1, oid).Bind(2, static_cast<int64_t>(p.type)).Bind(3, static_cast<int64_t>(p.interval));
    put.Bind(4, static_cast<int64_t>(p.daysOfWeek));
    if (p.hasEndDate) put.Bind(5, SecondsOf(DayOf(p.patternEnd)));
    else put.BindNull(5);
    put.Bind(6, static_cast<int64_t>(p.occurrences));
    if (uint32_t error = put.Run(); error != kErrorSuccess) return error;
    for (const SystemTime& deleted : p.deleted) {
        store::Query add(t, "INSERT OR IGNORE INTO appointment_exceptions(oid, day_s) VALUES(?1, ?2)");
        add.Bind(1, oid).Bind(2, SecondsOf(DayOf(deleted)));
        if (uint32_t error = add.Run(); error != kErrorSuccess) return error;
    }
    return kErrorSuccess;
}

// Binds the fields of a to ?1 ... ?8 in the order of kColumns after oid.
void BindFields(store::Query& s, const Appointment& a) {
    s.Bind(1, a.subject);
    s.Bind(2, SecondsOf(a.start));
    s.Bind(3, SecondsOf(a.end));
    s.Bind(4, static_cast<int64_t>(a.allDay));
    s.Bind(5, static_cast<int64_t>(a.busyStatus));
    s.Bind(6, static_cast<int64_t>(a.meetingStatus));
    s.Bind(7, static_cast<int64_t>(a.sensitivity));
    s.Bind(8, a.categories);
}

}  // namespace

uint32_t Insert(const Appointment& appointment, int64_t* oid) {
    return store::Write([&](store::Transaction& t) -> uint32_t {
        store::Query s(t,
                       "INSERT INTO appointments(subject, start_s, end_s, all_day, busy, meeting, sensitivity, "
                       "categories) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
        BindFields(s, appointment);
        if (uint32_t error = s.Run(); error != kErrorSuccess) return error;
        int64_t added = t.LastInsertId();
        if (uint32_t error = PutRecurrence(t, added, appointment); error != kErrorSuccess) return error;
        *oid = added;
        return kErrorSuccess;
    });
}

uint32_t Update(const Appointment& appointment) {
    return store::Write([&](store::Transaction& t) -> uint32_t {
        store::Query s(t,
                       "UPDATE appointments SET subject = ?1, start_s = ?2, end_s = ?3, all_day = ?4, busy = ?5,"
                       " meeting = ?6, sensitivity = ?7, categories = ?8 WHERE oid = ?9");
        BindFields(s, appointment);
        s.Bind(9, appointment.oid);
        if (uint32_t error = s.Run(); error != kErrorSuccess) return error;
        if (t.Changes() == 0) return kErrorInvalidParameter;
        return PutRecurrence(t, appointment.oid, appointment);
    });
}

uint32_t Remove(int64_t oid) {
    return store::Write([&](store::Transaction& t) -> uint32_t {
        store::Query s(t, "DELETE FROM appointments WHERE oid = ?1");
        s.Bind(1, oid);
        if (uint32_t error = s.Run(); error != kErrorSuccess) return error;
        if (t.Changes() == 0) return kErrorInvalidParameter;
        return DropRecurrence(t, oid);
    });
}

uint32_t RemoveAll(std::vector<int64_t>* oids) {
    oids->clear();
    uint32_t error = store::Write([&](store::Transaction& t) -> uint32_t {
        oids->clear();
        {
            store::Query s(t, "SELECT oid FROM appointments ORDER BY start_s, oid");
            while (s.Next()) oids->push_back(s.Int(0));
            if (s.Error() != kErrorSuccess) return s.Error();
        }
        for (const char* sql : {"DELETE FROM appointment_recurrences", "DELETE FROM appointment_exceptions"})
            if (uint32_t failed = store::Query(t, sql).Run(); failed != kErrorSuccess) return failed;
        return store::Query(t, "DELETE FROM appointments").Run();
    });
    if (error != kErrorSuccess) oids->clear();
    return error;
}

uint32_t List(std::vector<Appointment>* out) {
    out->clear();
    return store::Read([&](store::Transaction& t) -> uint32_t {
        store::Query s(t, "SELECT " TLW_APPOINTMENT_COLUMNS " FROM appointments a LEFT JOIN appointment_recurrences r"
                          " ON r.oid = a.oid ORDER BY a.start_s, a.oid");
        while (s.Next()) out->push_back(RowAppointment(s));
        if (s.Error() != kErrorSuccess) return s.Error();
        return ReadExceptions(t, out);
    });
}

uint32_t AddWatcher(const Watcher& watcher) {
    return store::Write([&](store::Transaction& t) -> uint32_t {
        store::Query s(t, "INSERT OR REPLACE INTO calendar_watchers(window, pid) VALUES(?1, ?2)");
        s.Bind(1, static_cast<int64_t>(watcher.window.value));
        s.Bind(2, static_cast<int64_t>(watcher.processId));
        return s.Run();
    });
}

uint32_t RemoveWatcher(Hwnd window) {
    return store::Write([&](store::Transaction& t) -> uint32_t {
        store::Query s(t, "DELETE FROM calendar_watchers WHERE window = ?1");
        s.Bind(1, static_cast<int64_t>(window.value));
        return s.Run();
    });
}

uint32_t Watchers(std::vector<Watcher>* out) {
    out->clear();
    return store::Read([&](store::Transaction& t) -> uint32_t {
        store::Query s(t, "SELECT window, pid FROM calendar_watchers ORDER BY window");
        while (s.Next()) {
            Watcher w;
            w.window.value = static_cast<uint64_t>(s.Int(0));
            w.processId = static_cast<uint32_t>(s.Int(1));
            out->push_back(w);
        }
        return s.Error();
    });
}

}  // namespace plat::calendardb
