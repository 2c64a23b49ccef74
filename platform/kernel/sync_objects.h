// Events: auto-reset (a wait that takes the signal resets it) or manual-reset
// (stays signalled until reset), unnamed (this process) or named (one event
// of the device, shared by all its processes).
//
// A named event lives in "<root>/.device/events/": one small state file per
// name holding its kind, its state and the processes that have it open. A
// wait watches that file (inotify), so a signal set by another process wakes
// the waiter at once. As on the phone, the event exists while some process
// has it open: the first opening after every holder closed it (or died)
// starts it afresh with the creator's kind and initial state.
#pragma once

#include <string>
#include <string_view>

#include "platform/kernel/kernel_handle.h"

namespace plat {

// Creates an event, or opens the named event of the device when name is not
// empty and the event already exists (its kind and state are then kept and
// the last error is kErrorAlreadyExists; else kErrorSuccess). Names are
// compared exactly (case matters); a name in the user-notification form
// "\\.\Notifications\NamedEvents\NAME" is the event NAME. An empty
// handle on failure (last error set).
Handle CreateEvent(bool manualReset, bool initialState, std::u16string_view name = {});

// Opens an existing named event; an empty handle (kErrorFileNotFound) when no
// process of the device has it open.
Handle OpenEvent(std::u16string_view name);

// Signals, resets an event. False for a handle that is not an event.
bool SetEvent(Handle event);
bool ResetEvent(Handle event);

// Signals the named event of the device (either spelling of its name, as
// for CreateEvent) as a user notification does: when
// some process has it open it is set (and the journal records
// "event NAME"); when none has, the signal has nowhere to go and is dropped,
// as on the phone. False only when the device's event folder cannot be used.
bool SignalNamedEvent(std::u16string_view name);

// A user notification's application "\\.\Notifications\NamedEvents\NAME"
// (prefix matched without regard to case) names the event NAME: true and
// *name set; false for any other application.
inline constexpr char16_t kNamedEventTargetPrefix[] = u"\\\\.\\Notifications\\NamedEvents\\";
bool NamedEventOfNotificationTarget(std::u16string_view application, std::u16string* name);

}  // namespace plat
