// Inside the platform: the objects behind kernel handles and the handle
// table. Every object kind (event, thread, process, queue end, power
// registration, snapshot) derives from KernelObject; a waitable one lends a
// file descriptor for each wait that becomes readable when the object may be
// signalled, so that waits are one poll() over all their objects.
#pragma once

#include <memory>
#include <mutex>

#include "platform/kernel/kernel_handle.h"

namespace plat {

class KernelObject {
public:
    virtual ~KernelObject() = default;

    // Waitable objects: a descriptor for one wait of one thread, readable
    // when the object may be signalled (-1: the object cannot be waited on).
    // EndWait gives it back.
    virtual int BeginWait() { return -1; }
    virtual void EndWait(int fd) { (void)fd; }
    // Called when poll() found the wait's descriptor readable, before the
    // object is tried again (e.g. to read a notification descriptor empty).
    virtual void Drain(int fd) { (void)fd; }
    // Takes the signal when the object is signalled (an auto-reset event is
    // reset by it) and returns true; false when it is not signalled.
    virtual bool TryAcquire() { return false; }
};

// Enters an object in this process's handle table; an empty handle (last
// error kErrorNotEnoughMemory) when the table is full.
Handle InsertKernelObject(std::shared_ptr<KernelObject> object);

// The object of an open handle, null (last error kErrorInvalidHandle) for a
// handle that is not open.
std::shared_ptr<KernelObject> LookupKernelObject(Handle handle);

// The object of an open handle as type T, null (kErrorInvalidHandle) when the
// handle is not open or holds another kind of object.
template <typename T>
std::shared_ptr<T> LookupKernelObjectAs(Handle handle);

// A level flag that a poll() can wait for: an eventfd that is readable
// exactly while the flag is set. Set, Clear and Take are atomic under the
// flag's own lock.
class LevelSignal {
public:
    LevelSignal();
    ~LevelSignal();
    LevelSignal(const LevelSignal&) = delete;
    LevelSignal& operator=(const LevelSignal&) = delete;

    bool Valid() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    void Set();
    void Clear();
    bool IsSet();
    // Returns whether the flag was set; clears it when it was and reset.
    bool Take(bool reset);

private:
    std::mutex mutex_;    // guards set_ and the descriptor's count
    bool set_ = false;    // the flag
    int fd_ = -1;         // eventfd; its count is 1 exactly while set_
};

}  // namespace plat

#include "platform/kernel/last_error.h"

template <typename T>
std::shared_ptr<T> plat::LookupKernelObjectAs(Handle handle) {
    std::shared_ptr<T> object = std::dynamic_pointer_cast<T>(LookupKernelObject(handle));
    if (!object) SetLastError(kErrorInvalidHandle);
    return object;
}
