// Registry-change notification to a window: a watch on one registry value
// that sends a window its message when the value changes.
//
// Watches are kept device-wide (in the window table's database), so a value
// written by any process of the device reaches every watcher: the writing
// process finds the watches of the value after each successful write or
// delete (the registry's change hook), compares the new value with the one
// the watch last saw, and sends each watcher whose condition holds its
// message as a send-notify (no wait; a watcher window of the writing thread
// gets it through its queue, not inside the write):
//     wParam: the new value when it is a DWORD, else 0 (also 0 when deleted)
//     lParam: the watch's userData
// A write that leaves the value as it was sends nothing. Watches of ended
// processes are ignored and removed.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/message/messages.h"
#include "platform/storage/registry.h"

namespace plat {

// A watch handle; 0 is none.
using HRegNotify = uint64_t;

// When the watch fires.
struct RegistryNotifyCondition {
    // kRegAnyChange: any change of the value (data, type, creation,
    // deletion). kRegMaskChange: a change of the bits in mask of the value
    // read as a DWORD (a missing value or one of another type reads as 0).
    enum Kind : uint32_t { kRegAnyChange = 0, kRegMaskChange = 1 };
    Kind kind = kRegAnyChange;  // comparison
    uint32_t mask = 0xFFFFFFFFu;  // bits compared for kRegMaskChange
};

// Watches value valueName of key (below root) for window hwnd, a window of
// the calling process; condition null means any change. The key need not
// exist yet. Returns kErrorSuccess and *out, or kErrorInvalidParameter /
// kErrorInvalidWindowHandle (a bad window) / the table's error.
uint32_t RegistryNotifyWindow(HKey root, std::u16string_view key, std::u16string_view valueName, Hwnd hwnd,
                              uint32_t message, uint32_t userData, const RegistryNotifyCondition* condition,
                              HRegNotify* out);

// Ends a watch made by this process. kErrorInvalidHandle for an unknown
// handle or one of another process.
uint32_t RegistryCloseNotification(HRegNotify handle);

}  // namespace plat
