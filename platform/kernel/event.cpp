// Events of this process, and the calls common to both kinds of event.
#include <string>

#include "base/text.h"
#include "platform/kernel/event_object.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/sync_objects.h"
#include "platform/storage/device_store.h"

namespace plat {
namespace {

// An unnamed event: a level flag that a wait can poll.
class LocalEvent : public EventObject {
public:
    LocalEvent(bool manualReset, bool initialState) : manualReset_(manualReset) {
        if (initialState) signal_.Set();
    }
    bool Valid() const { return signal_.Valid(); }
    int BeginWait() override { return signal_.Fd(); }
    bool TryAcquire() override { return signal_.Take(!manualReset_); }
    bool Set() override {
        signal_.Set();
        return true;
    }
    bool Reset() override {
        signal_.Clear();
        return true;
    }

private:
    bool manualReset_;    // stays set until reset, else a taken signal resets it
    LevelSignal signal_;  // the event's state
};

}  // namespace

std::u16string_view PlainEventName(std::u16string_view name) {
    std::u16string_view prefix(kNamedEventTargetPrefix);
    if (name.size() > prefix.size() && tlw::StartsWithNoCase(name, prefix)) name.remove_prefix(prefix.size());
    return name;
}

Handle CreateEvent(bool manualReset, bool initialState, std::u16string_view name) {
    if (!name.empty()) return OpenNamedEvent(manualReset, initialState, PlainEventName(name), false);
    auto event = std::make_shared<LocalEvent>(manualReset, initialState);
    if (!event->Valid()) {
        SetLastError(kErrorNotEnoughMemory);
        return Handle{};
    }
    Handle handle = InsertKernelObject(std::move(event));
    if (handle) SetLastError(kErrorSuccess);
    return handle;
}

Handle OpenEvent(std::u16string_view name) {
    if (name.empty()) {
        SetLastError(kErrorInvalidParameter);
        return Handle{};
    }
    return OpenNamedEvent(false, false, PlainEventName(name), true);
}

bool SetEvent(Handle event) {
    store::EndBatch();  // who wakes reads the changes made before
    auto object = LookupKernelObjectAs<EventObject>(event);
    return object && object->Set();
}

bool ResetEvent(Handle event) {
    auto object = LookupKernelObjectAs<EventObject>(event);
    return object && object->Reset();
}

bool NamedEventOfNotificationTarget(std::u16string_view application, std::u16string* name) {
    std::u16string_view prefix(kNamedEventTargetPrefix);
    if (application.size() <= prefix.size() || !tlw::StartsWithNoCase(application, prefix)) return false;
    if (name) *name = std::u16string(application.substr(prefix.size()));
    return true;
}

}  // namespace plat
