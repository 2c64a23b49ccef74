// An exclusive lock shared by every process of the device: a lock file in
// "<root>/.device", held for the lifetime of the object. For a sequence of
// several calls that must not interleave with another process's (the shell's
// notification numbers); a change of the device's state alone is one
// transaction of the device store (device_store.h) and needs no lock.
#pragma once

#include <string_view>

namespace plat {

class DeviceLock {
public:
    // Takes the lock named `name` ("hardware" locks ".device/hardware.lock"),
    // waiting while another process holds it. Without a device, or when the
    // lock file cannot be made, the lock is not held (see Held).
    explicit DeviceLock(std::string_view name);
    ~DeviceLock();
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;  // descriptor of the lock file, -1 when not held
};

}  // namespace plat
