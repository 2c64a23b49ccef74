// The device clock, shared by every process of the device through the file
// "<root>/.device/clock", and the process-local virtual clock of tests.
//
// The file holds two lines, either
//     mode=running            mode=frozen
//     offset_ms=N             time_ms=N
// where a running clock's local time is the host's UTC time (milliseconds
// since 1601) plus N, and a frozen clock stands at local time N (milliseconds
// since 1601). Without the file the clock runs at host local time.
//
// Readers never lock: writers replace the file in one step (temporary file,
// then rename), so a reader sees the old or the new state whole. Changes take
// an exclusive lock on "clock.lock" for their read-modify-write, so that two
// consoles advancing at once both count.
//
// GetLocalTime runs often, so the parsed file is cached by its identity
// (device, inode, size, change and modification times). Such a key can miss a
// rewrite made within the file system's timestamp granularity (an inode number
// is soon reused), so an entry is only trusted once it was read well after
// the file's last change; until then the file is read again.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <system_error>

#include "platform/kernel/clock.h"
#include "platform/storage/device.h"
#include "platform/kernel/last_error.h"

namespace plat {
namespace {

constexpr int64_t kUnixEpochMs = 11644473600000LL;  // 1 January 1970 in milliseconds since 1601
constexpr int64_t kFileTimePerMs = 10000;
constexpr int64_t kTrustAfterNs = 2000000000LL;  // a cache entry read 2 s after its write is safe
constexpr size_t kMaxClockFile = 256;            // the file is two short lines

// The clock file's content.
struct ClockFile {
    bool frozen = false;  // frozen: value is the local time; running: value is the offset
    int64_t value = 0;    // milliseconds (see the file comment above)
};

// What identifies one version of the clock file on disk.
struct FileIdentity {
    dev_t device = 0;        // file system
    ino_t inode = 0;         // file
    off_t size = 0;          // bytes
    timespec modified = {};  // last data change
    timespec changed = {};   // last inode change (the rename)
};

// The process's clock state: the virtual clock and the cached clock file.
struct ClockState {
    std::mutex lock;                   // guards every field below
    bool virtualActive = false;        // a test's virtual clock replaces the device clock
    int64_t virtualMs = 0;             // the virtual clock's local time, ms since 1601
    std::string cachePath;             // clock file the cache describes; empty when none
    FileIdentity cacheIdentity;        // its identity when read
    bool cacheTrusted = false;         // read long enough after its write to skip re-reading
    bool cacheValid = false;           // the file parsed; else it counts as missing
    ClockFile cached;                  // its content
};

ClockState& State() {
    static ClockState state;
    return state;
}

int64_t HostUtcMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count() + kUnixEpochMs;
}

// The host's local time now, ms since 1601: the clock of a device without a
// clock file.
int64_t HostLocalMs(int64_t utcMs) {
    time_t seconds = static_cast<time_t>((utcMs - kUnixEpochMs) / 1000);
    tm local = {};
    long offset = 0;
    if (localtime_r(&seconds, &local)) offset = local.tm_gmtoff;
    return utcMs + static_cast<int64_t>(offset) * 1000;
}

// The last moment a SystemTime can hold, ms since 1601.
int64_t MaxDeviceMs() {
    static const int64_t max = [] {
        SystemTime last{30827, 12, 0, 31, 23, 59, 59, 999};
        FileTime ft = 0;
        SystemTimeToFileTime(last, &ft);
        return static_cast<int64_t>(ft / kFileTimePerMs);
    }();
    return max;
}

int64_t Clamp(int64_t ms) {
    if (ms < 0) return 0;
    int64_t max = MaxDeviceMs();
    return ms > max ? max : ms;
}

bool InRange(int64_t ms) { return ms >= 0 && ms <= MaxDeviceMs(); }

SystemTime TimeOfMs(int64_t ms) {
    SystemTime t;
    FileTimeToSystemTime(static_cast<FileTime>(Clamp(ms)) * kFileTimePerMs, &t);
    return t;
}

// The device's local time of a clock state at a host UTC time.
int64_t DeviceMs(bool exists, const ClockFile& file, int64_t utcMs) {
    if (!exists) return HostLocalMs(utcMs);
    return file.frozen ? file.value : utcMs + file.value;
}

int64_t NsBetween(const timespec& a, const timespec& b) {
    return (static_cast<int64_t>(b.tv_sec) - a.tv_sec) * 1000000000LL + (b.tv_nsec - a.tv_nsec);
}

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

bool SameFile(const FileIdentity& a, const FileIdentity& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size && SameTime(a.modified, b.modified) &&
           SameTime(a.changed, b.changed);
}

FileIdentity IdentityOf(const struct stat& st) {
    FileIdentity id;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = st.st_size;
    id.modified = st.st_mtim;
    id.changed = st.st_ctim;
    return id;
}

// Parses "mode=...\n" and "offset_ms=N\n" or "time_ms=N\n".
bool ParseClockFile(const std::string& text, ClockFile* out) {
    ClockFile file;
    bool haveMode = false, haveValue = false, valueIsTime = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (line.empty()) continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos) return false;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "mode") {
            if (value != "running" && value != "frozen") return false;
            file.frozen = value == "frozen";
            haveMode = true;
        } else if (key == "offset_ms" || key == "time_ms") {
            if (value.empty()) return false;
            errno = 0;
            char* stop = nullptr;
            long long number = std::strtoll(value.c_str(), &stop, 10);
            if (errno != 0 || *stop != '\0') return false;
            // Nothing beyond the range of device times (keeps the sums below exact).
            if (number < -2 * MaxDeviceMs() || number > 2 * MaxDeviceMs()) return false;
            if (haveValue) return false;
            file.value = number;
            valueIsTime = key == "time_ms";
            haveValue = true;
        } else {
            return false;
        }
    }
    // A frozen clock keeps a time, a running one an offset.
    if (!haveMode || !haveValue || valueIsTime != file.frozen) return false;
    *out = file;
    return true;
}

std::string FormatClockFile(const ClockFile& file) {
    char text[96];
    std::snprintf(text, sizeof text, "mode=%s\n%s=%lld\n", file.frozen ? "frozen" : "running",
                  file.frozen ? "time_ms" : "offset_ms", static_cast<long long>(file.value));
    return text;
}

// Reads the clock file at path. *exists is false when it is missing or does
// not parse (the device then runs at host local time).
void ReadClockFile(const std::string& path, bool* exists, ClockFile* file, FileIdentity* identity) {
    *exists = false;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st = {};
    char buffer[kMaxClockFile + 1];
    ssize_t got = -1;
    if (::fstat(fd, &st) == 0 && st.st_size <= static_cast<off_t>(kMaxClockFile)) {
        got = ::read(fd, buffer, kMaxClockFile + 1);
    }
    ::close(fd);
    if (got < 0 || got > static_cast<ssize_t>(kMaxClockFile)) return;
    *identity = IdentityOf(st);
    *exists = ParseClockFile(std::string(buffer, static_cast<size_t>(got)), file);
}

std::string ClockPath() {
    if (DeviceRoot().empty()) return {};
    return (DeviceStateDir() / "clock").string();
}

// The device clock's state now, through the cache. Caller holds s.lock.
void CurrentState(ClockState& s, bool* exists, ClockFile* file) {
    *exists = false;
    std::string path = ClockPath();
    if (path.empty()) return;
    struct stat st = {};
    if (::stat(path.c_str(), &st) != 0) {
        s.cachePath.clear();
        return;
    }
    if (s.cachePath == path && SameFile(s.cacheIdentity, IdentityOf(st)) && s.cacheTrusted) {
        *exists = s.cacheValid;
        *file = s.cached;
        return;
    }
    FileIdentity identity;
    ReadClockFile(path, exists, file, &identity);
    s.cachePath = path;
    s.cacheIdentity = identity;
    s.cacheValid = *exists;
    s.cached = *file;
    timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    s.cacheTrusted = NsBetween(identity.modified, now) >= kTrustAfterNs &&
                     NsBetween(identity.changed, now) >= kTrustAfterNs;
}

uint32_t ErrorOfErrno(int error) {
    if (error == ENOSPC || error == EDQUOT) return kErrorDiskFull;
    if (error == ENOENT || error == ENOTDIR) return kErrorPathNotFound;
    return kErrorAccessDenied;
}

// Writes the clock file in one step. Returns false (last error set) on failure.
bool WriteClockFile(const std::string& path, const ClockFile& file) {
    static std::atomic<unsigned> counter{0};
    std::string temp = path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter++);
    std::string text = FormatClockFile(file);
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        SetLastError(ErrorOfErrno(errno));
        return false;
    }
    bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && ::fsync(fd) == 0;
    int error = errno;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        SetLastError(ErrorOfErrno(error));
    }
    return ok;
}

// Read-modify-write of the clock file under the device's clock lock. change
// gets whether the file exists, its content (to modify), the device time and
// the host UTC time now (ms since 1601); it returns false to refuse (last
// error set) and clears *write when nothing needs writing.
template <typename Change>
bool ChangeDeviceClock(Change change) {
    std::string path = ClockPath();
    if (path.empty()) {
        SetLastError(kErrorPathNotFound);
        return false;
    }
    std::error_code ec;
    if (std::filesystem::create_directory(DeviceStateDir(), ec))
        std::filesystem::permissions(DeviceStateDir(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace, ec);
    int lockFd = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lockFd < 0) {
        SetLastError(ErrorOfErrno(errno));
        return false;
    }
    while (::flock(lockFd, LOCK_EX) != 0 && errno == EINTR) {
    }
    bool exists = false;
    ClockFile file;
    FileIdentity identity;
    ReadClockFile(path, &exists, &file, &identity);
    int64_t utcMs = HostUtcMs();
    bool write = true;
    bool ok = change(exists, Clamp(DeviceMs(exists, file, utcMs)), utcMs, &file, &write);
    if (ok && write) ok = WriteClockFile(path, file);
    {
        ClockState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        s.cachePath.clear();  // read again on the next call
    }
    ::flock(lockFd, LOCK_UN);
    ::close(lockFd);
    return ok;
}

// Milliseconds since 1601 of a valid time, or false (last error set).
bool MsOfTime(const SystemTime& t, int64_t* ms) {
    FileTime ft = 0;
    if (!SystemTimeToFileTime(t, &ft)) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    *ms = static_cast<int64_t>(ft / kFileTimePerMs);
    return true;
}

int64_t NowMs() {
    ClockState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.virtualActive) return s.virtualMs;
    bool exists = false;
    ClockFile file;
    CurrentState(s, &exists, &file);
    return Clamp(DeviceMs(exists, file, HostUtcMs()));
}

}  // namespace

SystemTime GetLocalTime() { return TimeOfMs(NowMs()); }

int64_t DeviceSeconds() { return NowMs() / 1000; }

bool SetLocalTime(const SystemTime& t) {
    int64_t target = 0;
    if (!MsOfTime(t, &target)) return false;
    {
        ClockState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.virtualActive) {
            s.virtualMs = target;
            return true;
        }
    }
    return ChangeDeviceClock([target](bool exists, int64_t, int64_t utcMs, ClockFile* file, bool*) {
        file->frozen = exists && file->frozen;
        file->value = file->frozen ? target : target - utcMs;
        return true;
    });
}

bool ClockIsFrozen() {
    ClockState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.virtualActive) return true;
    bool exists = false;
    ClockFile file;
    CurrentState(s, &exists, &file);
    return exists && file.frozen;
}

bool FreezeClock() {
    {
        ClockState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.virtualActive) return true;
    }
    return ChangeDeviceClock([](bool exists, int64_t deviceMs, int64_t, ClockFile* file, bool* write) {
        if (exists && file->frozen) {
            *write = false;
            return true;
        }
        file->frozen = true;
        file->value = deviceMs;
        return true;
    });
}

bool ThawClock() {
    {
        ClockState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.virtualActive) {
            SetLastError(kErrorInvalidParameter);
            return false;
        }
    }
    return ChangeDeviceClock([](bool exists, int64_t deviceMs, int64_t utcMs, ClockFile* file, bool* write) {
        if (!exists || !file->frozen) {
            *write = false;
            return true;
        }
        file->frozen = false;
        file->value = deviceMs - utcMs;
        return true;
    });
}

bool AdvanceClock(int64_t seconds) {
    // Far beyond the whole range of SystemTime, and far from overflowing.
    constexpr int64_t kLimit = 10000000000000LL;
    if (seconds > kLimit || seconds < -kLimit) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    int64_t delta = seconds * 1000;
    {
        ClockState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.virtualActive) {
            if (!InRange(s.virtualMs + delta)) {
                SetLastError(kErrorInvalidParameter);
                return false;
            }
            s.virtualMs += delta;
            return true;
        }
    }
    return ChangeDeviceClock([delta](bool exists, int64_t deviceMs, int64_t utcMs, ClockFile* file, bool*) {
        if (!InRange(deviceMs + delta)) {
            SetLastError(kErrorInvalidParameter);
            return false;
        }
        if (exists && file->frozen) {
            file->value = deviceMs + delta;
        } else {
            // A running clock keeps running: only its offset moves.
            file->value = (exists ? file->value : deviceMs - utcMs) + delta;
            file->frozen = false;
        }
        return true;
    });
}

bool UseVirtualClock(const SystemTime& start) {
    int64_t ms = 0;
    if (!MsOfTime(start, &ms)) return false;
    ClockState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.virtualActive = true;
    s.virtualMs = ms;
    return true;
}

void UseDeviceClock() {
    ClockState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.virtualActive = false;
}

bool UsingVirtualClock() {
    ClockState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.virtualActive;
}

}  // namespace plat
