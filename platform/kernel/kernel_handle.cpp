#include "platform/kernel/kernel_handle.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <vector>

#include "platform/kernel/kernel_object.h"
#include "platform/kernel/last_error.h"

namespace plat {
namespace {

// A handle value is (generation << kSlotBits) | (slot + 1).
constexpr uint32_t kSlotBits = 20;
constexpr uint32_t kSlotMask = (1u << kSlotBits) - 1;
constexpr uint32_t kMaxSlots = kSlotMask;  // slot + 1 must fit in the mask

// One entry of the handle table.
struct Slot {
    uint32_t generation = 1;               // bumped on every close; part of the handle value
    std::shared_ptr<KernelObject> object;  // the object, null while the slot is free
};

// This process's handle table.
struct HandleTable {
    std::mutex mutex;            // guards the fields below
    std::vector<Slot> slots;     // indexed by slot number
    std::vector<uint32_t> free;  // numbers of free slots, reused last-freed first
};

HandleTable& Table() {
    static HandleTable* table = new HandleTable;  // never destroyed: handles may be closed during exit
    return *table;
}

Handle MakeHandle(uint32_t slot, uint32_t generation) {
    uint32_t value = ((generation & ((1u << (32 - kSlotBits)) - 1)) << kSlotBits) | (slot + 1);
    return Handle{value};
}

// The slot of a handle when it is open; -1 otherwise. Table lock held.
int64_t SlotOf(const HandleTable& table, Handle handle) {
    uint32_t slotPlusOne = handle.value & kSlotMask;
    if (slotPlusOne == 0 || slotPlusOne > table.slots.size()) return -1;
    const Slot& slot = table.slots[slotPlusOne - 1];
    if (!slot.object || MakeHandle(slotPlusOne - 1, slot.generation).value != handle.value) return -1;
    return slotPlusOne - 1;
}

}  // namespace

Handle InsertKernelObject(std::shared_ptr<KernelObject> object) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.mutex);
    uint32_t slot;
    if (!table.free.empty()) {
        slot = table.free.back();
        table.free.pop_back();
    } else {
        if (table.slots.size() >= kMaxSlots) {
            SetLastError(kErrorNotEnoughMemory);
            return Handle{};
        }
        slot = static_cast<uint32_t>(table.slots.size());
        table.slots.emplace_back();
    }
    Slot& s = table.slots[slot];
    s.object = std::move(object);
    Handle handle = MakeHandle(slot, s.generation);
    if ((handle.value >> kSlotBits) == 0) {  // generation wrapped to 0: keep values non-zero and distinct
        s.generation = 1;
        handle = MakeHandle(slot, s.generation);
    }
    return handle;
}

std::shared_ptr<KernelObject> LookupKernelObject(Handle handle) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.mutex);
    int64_t slot = SlotOf(table, handle);
    if (slot < 0) {
        SetLastError(kErrorInvalidHandle);
        return nullptr;
    }
    return table.slots[static_cast<size_t>(slot)].object;
}

bool CloseHandle(Handle handle) {
    std::shared_ptr<KernelObject> object;  // released after the lock
    HandleTable& table = Table();
    {
        std::lock_guard<std::mutex> guard(table.mutex);
        int64_t slot = SlotOf(table, handle);
        if (slot < 0) {
            SetLastError(kErrorInvalidHandle);
            return false;
        }
        Slot& s = table.slots[static_cast<size_t>(slot)];
        object = std::move(s.object);
        s.object.reset();
        ++s.generation;
        table.free.push_back(static_cast<uint32_t>(slot));
    }
    return true;
}

// ---------------------------------------------------------------------------
// LevelSignal

LevelSignal::LevelSignal() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

LevelSignal::~LevelSignal() {
    if (fd_ >= 0) ::close(fd_);
}

void LevelSignal::Set() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (set_) return;
    set_ = true;
    uint64_t one = 1;
    ssize_t n;
    do {
        n = ::write(fd_, &one, sizeof one);
    } while (n < 0 && errno == EINTR);
}

void LevelSignal::Clear() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!set_) return;
    set_ = false;
    uint64_t count;
    ssize_t n;
    do {
        n = ::read(fd_, &count, sizeof count);
    } while (n < 0 && errno == EINTR);
}

bool LevelSignal::IsSet() {
    std::lock_guard<std::mutex> guard(mutex_);
    return set_;
}

bool LevelSignal::Take(bool reset) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!set_) return false;
    if (reset) {
        set_ = false;
        uint64_t count;
        ssize_t n;
        do {
            n = ::read(fd_, &count, sizeof count);
        } while (n < 0 && errno == EINTR);
    }
    return true;
}

}  // namespace plat
