#include "platform/storage/device_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/storage/device.h"

namespace plat {

DeviceLock::DeviceLock(std::string_view name) {
    if (DeviceRoot().empty()) return;
    std::string path = (DeviceStateDir() / (std::string(name) + ".lock")).string();
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ::close(fd_);
            fd_ = -1;
            return;
        }
    }
}

DeviceLock::~DeviceLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace plat
