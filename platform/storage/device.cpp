#include "platform/storage/device.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <system_error>

namespace plat {
namespace {

// The process's device: chosen once, read by every platform call.
struct DeviceState {
    std::mutex lock;                  // guards the fields below
    std::filesystem::path root;       // host folder of the device root
    bool resolved = false;            // root was taken from SetDevice or TLW_DEVICE
    std::string programName = "tlw";  // name in journal lines
};

DeviceState& State() {
    static DeviceState state;
    return state;
}

// The device's state (registry with the encoded SIM PIN, journal, sockets)
// is its owner's alone: a state folder that others may enter, as devices of
// earlier versions made it, is closed to them.
void ProtectStateDir(const std::filesystem::path& root) {
    std::string dir = (root / ".device").string();
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return;
    if (st.st_mode & (S_IRWXG | S_IRWXO)) ::chmod(dir.c_str(), st.st_mode & S_IRWXU);
}

}  // namespace

bool SetDevice(const std::filesystem::path& root) {
    std::error_code ec;
    if (!std::filesystem::is_directory(root, ec)) return false;
    auto absolute = std::filesystem::absolute(root, ec);
    if (ec) return false;
    DeviceState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.root = absolute.lexically_normal();
    if (s.root.has_filename() == false && s.root.has_parent_path()) s.root = s.root.parent_path();
    s.resolved = true;
    ProtectStateDir(s.root);
    return true;
}

const std::filesystem::path& DeviceRoot() {
    DeviceState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.resolved) {
        s.resolved = true;
        if (const char* env = std::getenv("TLW_DEVICE"); env && *env) {
            std::error_code ec;
            s.root = std::filesystem::absolute(env, ec).lexically_normal();
            if (!s.root.has_filename() && s.root.has_parent_path()) s.root = s.root.parent_path();
            ProtectStateDir(s.root);
        }
    }
    return s.root;
}

std::filesystem::path DeviceStateDir() {
    return DeviceRoot() / ".device";
}

void SetProgramName(std::string_view name) {
    DeviceState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.programName = std::string(name);
}

const std::string& ProgramName() {
    return State().programName;
}

}  // namespace plat
