#include "platform/pim/calendar_store.h"

#include <algorithm>

#include "base/text.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/threads.h"
#include "platform/pim/calendar_db.h"
#include "platform/storage/journal.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"

namespace plat {
namespace {

// Tells every registered window of another process that item oid changed;
// windows that are gone are forgotten.
void NotifyWatchers(uint32_t message, int64_t oid) {
    std::vector<calendardb::Watcher> watchers;
    if (calendardb::Watchers(&watchers) != kErrorSuccess) return;
    uint32_t self = GetCurrentProcessId();
    for (const calendardb::Watcher& w : watchers) {
        if (!IsWindow(w.window)) {
            calendardb::RemoveWatcher(w.window);
            continue;
        }
        if (w.processId == self) continue;  // a program does not hear its own changes
        SendNotifyMessage(w.window, message, static_cast<WParam>(oid), 0);
    }
}

// Orders items by the field of the last sort (stable), or by start then
// oid without one.
void ApplyOrder(PimItems* items) {
    std::vector<Appointment>& list = items->items;
    std::stable_sort(list.begin(), list.end(), [](const Appointment& a, const Appointment& b) {
        int c = CompareSystemTime(a.start, b.start);
        return c != 0 ? c < 0 : a.oid < b.oid;
    });
    if (items->sortField.empty()) return;
    std::u16string_view field = items->sortField;
    bool descending = items->sortDescending;
    std::stable_sort(list.begin(), list.end(), [&](const Appointment& a, const Appointment& b) {
        int c = tlw::EqualsNoCase(field, u"[Start]") ? CompareSystemTime(a.start, b.start)
                : tlw::EqualsNoCase(field, u"[End]") ? CompareSystemTime(a.end, b.end)
                                                     : a.subject.compare(b.subject);
        return descending ? c > 0 : c < 0;
    });
}

// The items from the series: as stored, or with every recurring one
// replaced by its occurrences.
void BuildItems(PimItems* items) {
    items->items.clear();
    SystemTime now = GetLocalTime();
    for (const Appointment& a : items->series) {
        if (!items->includeRecurrences || !a.isRecurring) {
            items->items.push_back(a);
            continue;
        }
        const SystemTime& from = CompareSystemTime(a.start, now) > 0 ? a.start : now;
        SystemTime horizon = from;
        horizon.year = static_cast<uint16_t>(std::min(30000, from.year + kOccurrenceHorizonYears));
        if (horizon.month == 2 && horizon.day == 29) horizon.day = 28;
        ExpandOccurrences(a, horizon, &items->items);
    }
    ApplyOrder(items);
    items->finding = false;
    items->next = 0;
}

bool SetError(uint32_t error) {
    SetLastError(error);
    return error == kErrorSuccess;
}

}  // namespace

std::string CheckAppointment(const Appointment& a) {
    if (CompareSystemTime(a.end, a.start) < 0) return "the appointment ends before it starts";
    if (std::string problem = CheckRecurrence(a); !problem.empty()) return problem;
    if (a.busyStatus < 0 || a.busyStatus > kMaxBusyStatus) return "busy status must be 0 ... 3";
    if (a.meetingStatus < 0 || a.meetingStatus > kMaxMeetingStatus) return "meeting status must be 0 ... 7";
    if (a.sensitivity < 0 || a.sensitivity > kMaxSensitivity) return "sensitivity must be 0 ... 3";
    return {};
}

bool PimLogOn(PimSession* session, Hwnd window) {
    if (!session || session->loggedOn) return SetError(kErrorInvalidParameter);
    session->loggedOn = true;
    session->window = window;
    session->notifying = false;
    return true;
}

void PimLogOff(PimSession* session) {
    if (!session || !session->loggedOn) return;
    if (session->notifying) calendardb::RemoveWatcher(session->window);
    *session = PimSession{};
}

bool PimGetDefaultFolder(PimSession* session, int32_t kind, PimFolder* folder) {
    if (!session || !session->loggedOn || kind != kPimFolderCalendar || !folder) return SetError(kErrorInvalidParameter);
    folder->session = session;
    folder->kind = kind;
    return true;
}

bool PimSetFolderProperty(PimFolder* folder, uint32_t property, int64_t value) {
    if (!folder || !folder->session || !folder->session->loggedOn || property != kPimPropFolderNotifications)
        return SetError(kErrorInvalidParameter);
    PimSession& s = *folder->session;
    if (value != 0) {
        if (!s.window) return SetError(kErrorInvalidParameter);
        uint32_t error = calendardb::AddWatcher({s.window, GetCurrentProcessId()});
        if (error != kErrorSuccess) return SetError(error);
        s.notifying = true;
    } else if (s.notifying) {
        calendardb::RemoveWatcher(s.window);
        s.notifying = false;
    }
    return true;
}

bool PimGetItems(const PimFolder& folder, PimItems* items) {
    if (!folder.session || !folder.session->loggedOn || folder.kind != kPimFolderCalendar || !items)
        return SetError(kErrorInvalidParameter);
    PimItems fresh;
    uint32_t error = calendardb::List(&fresh.series);
    if (error != kErrorSuccess) return SetError(error);
    BuildItems(&fresh);
    *items = std::move(fresh);
    return true;
}

bool PimSortItems(PimItems* items, std::u16string_view field, bool descending) {
    if (!tlw::EqualsNoCase(field, u"[Start]") && !tlw::EqualsNoCase(field, u"[End]") &&
        !tlw::EqualsNoCase(field, u"[Subject]"))
        return SetError(kErrorInvalidParameter);
    items->sortField = std::u16string(field);
    items->sortDescending = descending;
    ApplyOrder(items);
    items->finding = false;
    items->next = 0;
    return true;
}

void PimIncludeRecurrences(PimItems* items, bool include) {
    if (items->includeRecurrences == include) return;
    items->includeRecurrences = include;
    BuildItems(items);
}

bool PimFindItem(PimItems* items, std::u16string_view restriction, Appointment* out) {
    std::string error;
    Restriction parsed;
    if (!ParseRestriction(restriction, &parsed, &error)) {
        items->finding = false;
        return SetError(kErrorInvalidParameter);
    }
    items->restriction = std::move(parsed);
    items->finding = true;
    items->next = 0;
    return PimFindNextItem(items, out);
}

bool PimFindNextItem(PimItems* items, Appointment* out) {
    if (!items->finding) return SetError(kErrorInvalidParameter);
    while (items->next < items->items.size()) {
        const Appointment& a = items->items[items->next++];
        if (MeetsRestriction(items->restriction, a)) {
            *out = a;
            return true;
        }
    }
    return SetError(kErrorNoMoreItems);
}

uint32_t PimAddAppointment(const Appointment& appointment, int64_t* oid) {
    if (!CheckAppointment(appointment).empty()) return kErrorInvalidParameter;
    uint32_t error = calendardb::Insert(appointment, oid);
    if (error != kErrorSuccess) return error;
    JournalAppend("calendar add " + std::to_string(*oid) + " " + FormatDeviceTime(appointment.start) + " " +
                  FormatDeviceTime(appointment.end) + " " + tlw::Utf16ToUtf8(appointment.subject));
    NotifyWatchers(kPimItemCreated, *oid);
    return kErrorSuccess;
}

uint32_t PimChangeAppointment(const Appointment& appointment) {
    if (!CheckAppointment(appointment).empty()) return kErrorInvalidParameter;
    uint32_t error = calendardb::Update(appointment);
    if (error != kErrorSuccess) return error;
    JournalAppend("calendar change " + std::to_string(appointment.oid));
    NotifyWatchers(kPimItemChanged, appointment.oid);
    return kErrorSuccess;
}

uint32_t PimDeleteAppointment(int64_t oid) {
    uint32_t error = calendardb::Remove(oid);
    if (error != kErrorSuccess) return error;
    JournalAppend("calendar delete " + std::to_string(oid));
    NotifyWatchers(kPimItemDeleted, oid);
    return kErrorSuccess;
}

uint32_t PimDeleteOccurrence(int64_t oid, const SystemTime& day) {
    std::vector<Appointment> all;
    if (uint32_t error = calendardb::List(&all); error != kErrorSuccess) return error;
    auto it = std::find_if(all.begin(), all.end(), [oid](const Appointment& a) { return a.oid == oid; });
    if (it == all.end() || !it->isRecurring || !HasOccurrenceOn(*it, day)) return kErrorInvalidParameter;
    Appointment series = *it;
    if (series.recurrence.deleted.size() >= kMaxDeletedOccurrences) return kErrorNotEnoughMemory;
    series.recurrence.deleted.push_back(day);
    uint32_t error = calendardb::Update(series);
    if (error != kErrorSuccess) return error;
    JournalAppend("calendar change " + std::to_string(oid) + " occurrence " + FormatDeviceTime(day).substr(0, 10) +
                  " deleted");
    NotifyWatchers(kPimItemChanged, oid);
    return kErrorSuccess;
}

uint32_t PimClearAppointments() {
    std::vector<int64_t> oids;
    uint32_t error = calendardb::RemoveAll(&oids);
    if (error != kErrorSuccess) return error;
    for (int64_t oid : oids) {
        JournalAppend("calendar delete " + std::to_string(oid));
        NotifyWatchers(kPimItemDeleted, oid);
    }
    return kErrorSuccess;
}

uint32_t PimListAppointments(std::vector<Appointment>* out) { return calendardb::List(out); }

}  // namespace plat
