// The calendar's storage: the device's appointments (with the patterns of
// recurring ones and their deleted occurrences) and the windows that asked to
// hear of changes, in the device store (tables appointments,
// appointment_recurrences, appointment_exceptions and calendar_watchers of
// "<root>/.device/device.db", see device_store.h).
// Object identifiers are row ids with AUTOINCREMENT, so an identifier is
// never given to a second appointment.
//
// Every function is one transaction and returns a platform error code.
// Programs use the store through calendar_store.h; this layer only keeps
// the rows.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/pim/appointment.h"
#include "platform/message/messages.h"

namespace plat::calendardb {

// Adds an appointment (its oid is ignored); *oid receives the new one.
uint32_t Insert(const Appointment& appointment, int64_t* oid);
// Replaces the fields of appointment.oid; kErrorInvalidParameter when the
// store has no such appointment.
uint32_t Update(const Appointment& appointment);
// Removes one; kErrorInvalidParameter when the store has no such appointment.
uint32_t Remove(int64_t oid);
// Removes every appointment; *oids receives the identifiers removed.
uint32_t RemoveAll(std::vector<int64_t>* oids);
// Every appointment, by start time, then by identifier.
uint32_t List(std::vector<Appointment>* out);

// A window that receives the item notifications, and the process that
// registered it.
struct Watcher {
    Hwnd window;          // receives 33029 ... 33031
    uint32_t processId;   // the registering process (it does not hear its own changes)
};
uint32_t AddWatcher(const Watcher& watcher);
uint32_t RemoveWatcher(Hwnd window);
uint32_t Watchers(std::vector<Watcher>* out);

}  // namespace plat::calendardb
