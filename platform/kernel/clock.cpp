// The device clock, shared by every process of the device through the row
// of the table clock in the device store (device_schema.sql), and the
// process-local virtual clock of tests.
//
// The row holds the mode and one number: a running clock's local time is the
// host's UTC time (milliseconds since 1601) plus offset_ms, and a frozen clock
// stands at local time time_ms (milliseconds since 1601). Without the row, or
// with a row that makes no sense, the clock runs at host local time. Changes
// are one write transaction each, so that two consoles advancing at once
// both count.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>

#include "platform/kernel/clock.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/device.h"
#include "platform/storage/device_store.h"

namespace plat {
namespace {

constexpr int64_t kUnixEpochMs = 11644473600000LL;  // 1 January 1970 in milliseconds since 1601
constexpr int64_t kFileTimePerMs = 10000;

// The stored clock.
struct StoredClock {
    bool frozen = false;  // frozen: value is the local time; running: value is the offset
    int64_t value = 0;    // milliseconds (see the comment at the top)
};

// The process's virtual clock.
struct ClockState {
    std::mutex lock;                   // guards every field below
    bool virtualActive = false;        // a test's virtual clock replaces the device clock
    int64_t virtualMs = 0;             // the virtual clock's local time, ms since 1601
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
// stored clock.
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
int64_t DeviceMs(bool exists, const StoredClock& file, int64_t utcMs) {
    if (!exists) return HostLocalMs(utcMs);
    return file.frozen ? file.value : utcMs + file.value;
}

// Reads the clock row. *exists is false when there is none or it makes no
// sense (the device then runs at host local time). Returns the store's error.
uint32_t ReadClock(store::Session& session, bool* exists, StoredClock* file) {
    *exists = false;
    store::Query q(session, "SELECT mode, offset_ms, time_ms FROM clock WHERE id = 1");
    if (!q.Next()) return q.Error();
    std::string mode = q.Text(0);
    bool frozen = mode == "frozen";
    if (!frozen && mode != "running") return kErrorSuccess;
    int column = frozen ? 2 : 1;
    if (!q.IsInteger(column) || !q.IsNull(frozen ? 1 : 2)) return kErrorSuccess;
    int64_t value = q.Int(column);
    // Nothing beyond the range of device times (keeps the sums below exact).
    if (value < -2 * MaxDeviceMs() || value > 2 * MaxDeviceMs()) return kErrorSuccess;
    file->frozen = frozen;
    file->value = value;
    *exists = true;
    return kErrorSuccess;
}

// The device clock's state now.
void CurrentState(bool* exists, StoredClock* file) {
    *exists = false;
    if (DeviceRoot().empty()) return;
    store::Session session;
    if (session.Ok()) ReadClock(session, exists, file);
}

// Read-modify-write of the clock row in one write transaction. change gets
// whether the row exists, its content (to modify), the device time and the
// host UTC time now (ms since 1601); it returns false to refuse (last error
// set) and clears *write when nothing needs writing.
template <typename Change>
bool ChangeDeviceClock(Change change) {
    if (DeviceRoot().empty()) {
        SetLastError(kErrorPathNotFound);
        return false;
    }
    bool refused = false;
    uint32_t error = store::Write([&](store::Transaction& t) -> uint32_t {
        bool exists = false;
        StoredClock file;
        uint32_t readError = ReadClock(t.GetSession(), &exists, &file);
        if (readError != kErrorSuccess) return readError;
        int64_t utcMs = HostUtcMs();
        bool write = true;
        if (!change(exists, Clamp(DeviceMs(exists, file, utcMs)), utcMs, &file, &write)) {
            refused = true;
            return kErrorInvalidParameter;
        }
        if (!write) return kErrorSuccess;
        store::Query q(t, "INSERT OR REPLACE INTO clock(id, mode, offset_ms, time_ms) VALUES(1, ?1, ?2, ?3)");
        q.Bind(1, file.frozen ? "frozen" : "running");
        if (file.frozen) q.BindNull(2).Bind(3, file.value);
        else q.Bind(2, file.value).BindNull(3);
        return q.Run();
    });
    if (refused) return false;  // the change set the last error
    if (error != kErrorSuccess) SetLastError(error);
    return error == kErrorSuccess;
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
    {
        ClockState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.virtualActive) return s.virtualMs;
    }
    // Read without the clock's lock: a caller inside a store transaction
    // holds the store's lock and may read the clock (the journal does).
    bool exists = false;
    StoredClock file;
    CurrentState(&exists, &file);
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
    return ChangeDeviceClock([target](bool exists, int64_t, int64_t utcMs, StoredClock* file, bool*) {
        file->frozen = exists && file->frozen;
        file->value = file->frozen ? target : target - utcMs;
        return true;
    });
}

bool ClockIsFrozen() {
    {
        ClockState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.virtualActive) return true;
    }
    bool exists = false;
    StoredClock file;
    CurrentState(&exists, &file);
    return exists && file.frozen;
}

bool FreezeClock() {
    {
        ClockState& s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.virtualActive) return true;
    }
    return ChangeDeviceClock([](bool exists, int64_t deviceMs, int64_t, StoredClock* file, bool* write) {
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
    return ChangeDeviceClock([](bool exists, int64_t deviceMs, int64_t utcMs, StoredClock* file, bool* write) {
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
    return ChangeDeviceClock([delta](bool exists, int64_t deviceMs, int64_t utcMs, StoredClock* file, bool*) {
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
