// The device's personal-information store, calendar part: the application
// object that a program logs on to, the default calendar folder and its
// items (sorted, searched with a restriction, walked with find next), and
// the changes other programs make, which reach every window that asked for
// the folder's item notifications.
//
// Items are read as one snapshot when the collection is taken; a change
// made afterwards is seen by the next collection. A recurring appointment is
// one item, until recurrences are included: it is then listed as its
// occurrences (recurrence.h), each in its place in the order, up to
// kOccurrenceHorizonYears past the device's time (or past the series' start
// when that is later), where a series without an end is cut. Every change is recorded
// in the device journal ("calendar add 7", "calendar delete 7", ...).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pim/appointment.h"
#include "platform/pim/calendar_restriction.h"
#include "platform/message/messages.h"

namespace plat {

// Folder kind of the calendar in GetDefaultFolder.
constexpr int32_t kPimFolderCalendar = 9;
// Folder property that turns the item notifications on (1) or off (0).
constexpr uint32_t kPimPropFolderNotifications = 0x10010013;
// How far ahead recurring appointments are listed as occurrences.
constexpr int32_t kOccurrenceHorizonYears = 5;
// Item notifications sent to the logged-on window; wParam is the item's oid.
constexpr uint32_t kPimItemCreated = 33029;
constexpr uint32_t kPimItemDeleted = 33030;
constexpr uint32_t kPimItemChanged = 33031;

// The application object of one program.
struct PimSession {
    bool loggedOn = false;  // LogOn succeeded and LogOff has not run
    Hwnd window;            // window of the logon; none when logged on without one
    bool notifying = false; // the window is registered for item notifications
};

// A folder of a logged-on session.
struct PimFolder {
    PimSession* session = nullptr;  // the session it came from; null when none
    int32_t kind = 0;               // kPimFolderCalendar
};

// The items of a folder: a snapshot with its order and the state of the
// last find.
struct PimItems {
    std::vector<Appointment> series;  // the appointments as stored, by start then oid
    std::vector<Appointment> items;   // in the current order: the series, or their occurrences
    bool includeRecurrences = false;  // occurrences of recurring items are listed one by one
    std::u16string sortField;         // of the last sort; empty: by start then oid
    bool sortDescending = false;      // of the last sort
    Restriction restriction;          // of the last find
    size_t next = 0;                  // where find next goes on
    bool finding = false;             // a find has run
};

// Logs on; window receives the item notifications once they are turned on.
// False when the session is already logged on.
bool PimLogOn(PimSession* session, Hwnd window);
// Logs off and ends its notifications. Harmless on a session not logged on.
void PimLogOff(PimSession* session);

// The default folder of a kind; only the calendar (9) exists in this
// store. False (kErrorInvalidParameter) for another kind or a session not
// logged on.
bool PimGetDefaultFolder(PimSession* session, int32_t kind, PimFolder* folder);
// Sets a folder property. kPimPropFolderNotifications with 1 registers the
// session's window for the item notifications, 0 ends them. False for other
// properties, or for notifications without a window.
bool PimSetFolderProperty(PimFolder* folder, uint32_t property, int64_t value);

// Takes the folder's items (by start, then oid). False when the store
// cannot be read or the folder is not valid.
bool PimGetItems(const PimFolder& folder, PimItems* items);
// Orders the items by "[Start]", "[End]" or "[Subject]" (stable); false for
// another field.
bool PimSortItems(PimItems* items, std::u16string_view field, bool descending);
// Sets whether recurring items are listed as their occurrences (each with
// its own start and end, in the order of the last sort). Starts a find
// afresh.
void PimIncludeRecurrences(PimItems* items, bool include);
// The first item in the current order that meets the restriction. False
// when none does, or (kErrorInvalidParameter) when the restriction cannot be
// read.
bool PimFindItem(PimItems* items, std::u16string_view restriction, Appointment* out);
// The next item after the last one found that meets the same restriction.
bool PimFindNextItem(PimItems* items, Appointment* out);

// Changes made by a program (the calendar application, the console). Each
// checks the appointment (end not before start, statuses and recurrence in
// range), stores
// it and notifies every registered window of another process. Return a
// platform error code.
uint32_t PimAddAppointment(const Appointment& appointment, int64_t* oid);
uint32_t PimChangeAppointment(const Appointment& appointment);
uint32_t PimDeleteAppointment(int64_t oid);
// Deletes the one occurrence of series oid that starts on `day` (the rest of
// the series stays; the series counts as changed). kErrorInvalidParameter
// when oid is no recurring appointment or has no occurrence that day.
uint32_t PimDeleteOccurrence(int64_t oid, const SystemTime& day);
uint32_t PimClearAppointments();
// Every appointment of the store, by start.
uint32_t PimListAppointments(std::vector<Appointment>* out);

// Why an appointment cannot be stored, or empty when it can.
std::string CheckAppointment(const Appointment& appointment);

}  // namespace plat
