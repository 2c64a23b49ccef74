// The power manager's notifications: a program asks for them with a
// point-to-point queue of its own (RequestPowerNotifications), and every
// change of the power source or battery reaches every such queue of every
// process of the device as a power-broadcast record.
//
// Across processes: a process with at least one request binds a datagram
// socket "<root>/.device/power/<pid>"; that folder is the device's table of
// listening processes. RaisePowerStatusChange (called by whatever changed the
// power state, e.g. `tlwsim hw ac=...`) sends the records to every socket of
// the folder; a thread of the receiving process writes them into its
// registered queues whose notification flags ask for them. Sockets of
// processes that died are removed by the next raise.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/kernel/kernel_handle.h"

namespace plat {

// Notification kinds (the record's message, and the request flags).
inline constexpr uint32_t kPbtTransition = 0x1;          // power state changed (on, idle, suspend)
inline constexpr uint32_t kPbtResume = 0x2;              // the device resumed
inline constexpr uint32_t kPbtPowerStatusChange = 0x4;   // power source or battery changed
inline constexpr uint32_t kPbtPowerInfoChange = 0x8;     // the same, with the power info record
inline constexpr uint32_t kPowerNotifyAll = 0xFFFFFFFFu; // every kind

// One notification as it arrives in the queue (the platform's record).
// systemPowerState is the start of `length` bytes of data that follow the
// three fields (power state name, or a PowerBroadcastPowerInfo).
struct PowerBroadcast {
    uint32_t message;             // kPbt* kind
    uint32_t flags;               // power state flags (transition) or 0
    uint32_t length;              // bytes of data from systemPowerState on
    char16_t systemPowerState[1]; // data; the record is longer when length > 0
};
static_assert(sizeof(PowerBroadcast) == 16, "the platform's power broadcast record is 16 bytes");
inline constexpr std::size_t kPowerBroadcastDataOffset = offsetof(PowerBroadcast, systemPowerState);

// The data of a kPbtPowerInfoChange record.
struct PowerBroadcastPowerInfo {
    uint32_t numLevels;                   // battery levels the driver reports (0: none)
    uint32_t batteryLifeTime;             // seconds left, 0xFFFFFFFF unknown
    uint32_t batteryFullLifeTime;         // seconds of a full charge, 0xFFFFFFFF unknown
    uint32_t backupBatteryLifeTime;       // seconds, 0xFFFFFFFF unknown
    uint32_t backupBatteryFullLifeTime;   // seconds, 0xFFFFFFFF unknown
    uint8_t acLineStatus;                 // 0 offline, 1 online, 255 unknown
    uint8_t batteryFlag;                  // kBatteryFlag* bits (platform/power/power_status.h)
    uint8_t batteryLifePercent;           // 0 ... 100, 255 unknown
    uint8_t backupBatteryFlag;            // kBatteryFlag* bits
    uint8_t backupBatteryLifePercent;     // 0 ... 100, 255 unknown
};
static_assert(sizeof(PowerBroadcastPowerInfo) == 28, "the platform's power info record is 28 bytes");

// Asks for the notifications of the kinds in flags into queue (a read or
// write handle of a queue of this process). Returns the registration's
// handle, empty on failure (last error: kErrorInvalidHandle for a bad
// queue, kErrorInvalidParameter for flags 0). The registration holds a
// writer of the queue until StopPowerNotifications.
Handle RequestPowerNotifications(Handle queue, uint32_t flags);
// Ends a registration (the same as CloseHandle).
bool StopPowerNotifications(Handle registration);

// Tells every registered queue of every process of the device that the
// power source or battery changed: a kPbtPowerStatusChange record
// (16 bytes, length 0) and a kPbtPowerInfoChange record with the current
// power info, each to the queues that asked for its kind. A full queue
// drops the record, as the phone's power manager does. Returns the number
// of processes reached.
int RaisePowerStatusChange();

}  // namespace plat
