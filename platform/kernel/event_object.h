// Inside the platform: the two kinds of event behind an event handle.
#pragma once

#include <string>
#include <string_view>

#include "platform/kernel/kernel_object.h"

namespace plat {

// What SetEvent and ResetEvent act on.
class EventObject : public KernelObject {
public:
    virtual bool Set() = 0;
    virtual bool Reset() = 0;
};

// Creates or opens (openOnly: only opens) the named event of the device.
// name is the event's name without the notification prefix.
Handle OpenNamedEvent(bool manualReset, bool initialState, std::u16string_view name, bool openOnly);

// The event's name without the user-notification prefix.
std::u16string_view PlainEventName(std::u16string_view name);

}  // namespace plat
