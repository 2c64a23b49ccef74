#include "platform/pim/calendar_store.h"

#include <algorithm>

#include "base/text.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/threads.h"
#include "platform/pim/calendar_db.h"
#include "platform/storage/journal.h"
#include "platform/window/message_loop.h"
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

bool SetError(uint32_t error) {
    SetLastError(error);
    return error == kErrorSuccess;
}

}  // namespace

std::string CheckAppointment(const Appointment& a) {
    if (CompareSystemTime(a.end, a.start) < 0) return "the appointment ends before it starts";
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
    uint32_t error = calendardb::List(&fresh.items);
    if (error != kErrorSuccess) return SetError(error);
    *items = std::move(fresh);
    return true;
}

bool PimSortItems(PimItems* items, std::u16string_view field, bool descending) {
    auto key = [&](const Appointment& a, const Appointment& b) -> int {
        if (tlw::EqualsNoCase(field, u"[Start]")) return CompareSystemTime(a.start, b.start);
        if (tlw::EqualsNoCase(field, u"[End]")) return CompareSystemTime(a.end, b.end);
        return a.subject.compare(b.subject);
    };
    if (!tlw::EqualsNoCase(field, u"[Start]") && !tlw::EqualsNoCase(field, u"[End]") &&
        !tlw::EqualsNoCase(field, u"[Subject]"))
        return SetError(kErrorInvalidParameter);
    std::stable_sort(items->items.begin(), items->items.end(), [&](const Appointment& a, const Appointment& b) {
        int c = key(a, b);
        return descending ? c > 0 : c < 0;
    });
    items->finding = false;
    items->next = 0;
    return true;
}

void PimIncludeRecurrences(PimItems* items, bool include) { items->includeRecurrences = include; }

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
