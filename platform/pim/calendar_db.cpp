#include "platform/pim/calendar_db.h"

#include <string>

#include "platform/kernel/last_error.h"
#include "platform/storage/device_store.h"

namespace plat::calendardb {
namespace {

constexpr const char* kColumns = "oid, subject, start_s, end_s, all_day, busy, meeting, sensitivity, categories";

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
    return a;
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
        uint32_t error = s.Run();
        if (error == kErrorSuccess) *oid = t.LastInsertId();
        return error;
    });
}

uint32_t Update(const Appointment& appointment) {
    return store::Write([&](store::Transaction& t) -> uint32_t {
        store::Query s(t,
                       "UPDATE appointments SET subject = ?1, start_s = ?2, end_s = ?3, all_day = ?4, busy = ?5,"
                       " meeting = ?6, sensitivity = ?7, categories = ?8 WHERE oid = ?9");
        BindFields(s, appointment);
        s.Bind(9, appointment.oid);
        uint32_t error = s.Run();
        if (error == kErrorSuccess && t.Changes() == 0) return kErrorInvalidParameter;
        return error;
    });
}

uint32_t Remove(int64_t oid) {
    return store::Write([&](store::Transaction& t) -> uint32_t {
        store::Query s(t, "DELETE FROM appointments WHERE oid = ?1");
        s.Bind(1, oid);
        uint32_t error = s.Run();
        if (error == kErrorSuccess && t.Changes() == 0) return kErrorInvalidParameter;
        return error;
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
        return store::Query(t, "DELETE FROM appointments").Run();
    });
    if (error != kErrorSuccess) oids->clear();
    return error;
}

uint32_t List(std::vector<Appointment>* out) {
    out->clear();
    return store::Read([&](store::Transaction& t) -> uint32_t {
        store::Query s(t, std::string("SELECT ") + kColumns + " FROM appointments ORDER BY start_s, oid");
        while (s.Next()) out->push_back(RowAppointment(s));
        return s.Error();
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
