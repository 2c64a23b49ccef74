#include "platform/process/host_process.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "platform/storage/device.h"

namespace plat {
namespace {

// The whole content of a /proc file; false when it cannot be read.
bool ReadProcFile(const std::string& path, std::string* out) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    out->clear();
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        out->append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

}  // namespace

bool HostProcessRunning(pid_t pid) {
    if (pid <= 0) return false;
    std::string stat;
    if (!ReadProcFile("/proc/" + std::to_string(pid) + "/stat", &stat)) return false;
    // "pid (comm) S ...": the state follows the last ')' (comm may hold any
    // character, ')' included).
    size_t close = stat.rfind(')');
    if (close == std::string::npos || close + 2 >= stat.size()) return false;
    char state = stat[close + 2];
    return state != 'Z' && state != 'X' && state != 'x';
}

std::optional<std::string> HostProcessEnvironment(pid_t pid, const char* name) {
    std::string environ;
    if (!ReadProcFile("/proc/" + std::to_string(pid) + "/environ", &environ)) return std::nullopt;
    size_t nameLength = std::strlen(name);
    for (size_t start = 0; start < environ.size();) {
        size_t end = environ.find('\0', start);
        if (end == std::string::npos) end = environ.size();
        if (end - start > nameLength && environ.compare(start, nameLength, name) == 0 &&
            environ[start + nameLength] == '=')
            return environ.substr(start + nameLength + 1, end - start - nameLength - 1);
        start = end + 1;
    }
    return std::nullopt;
}

bool SameDeviceRoot(const std::string& tlwDevice, const std::filesystem::path& root) {
    if (tlwDevice.empty() || root.empty()) return false;
    std::filesystem::path other = std::filesystem::path(tlwDevice).lexically_normal();
    if (!other.has_filename() && other.has_parent_path()) other = other.parent_path();
    if (other == root) return true;
    std::error_code ec;
    return std::filesystem::equivalent(other, root, ec) && !ec;
}

bool HostProcessOnDevice(pid_t pid) {
    const std::filesystem::path& root = DeviceRoot();
    if (root.empty()) return false;
    if (pid == ::getpid()) return true;
    std::optional<std::string> device = HostProcessEnvironment(pid, "TLW_DEVICE");
    return device && SameDeviceRoot(*device, root);
}

}  // namespace plat
