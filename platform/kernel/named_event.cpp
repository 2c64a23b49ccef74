// Named events of the device. Each name has a state file in
// "<root>/.device/events/" (the name, its characters other than letters,
// digits, '-' and '_' written as %XX of their UTF-8 bytes):
//   manual=0|1       the event's kind
//   signaled=0|1     its state
//   open=PID PID ... one entry per open handle of a process
// Every change happens under flock() on the file and rewrites it in place,
// so a waiter's inotify watch on the file sees every change. A waiter wakes
// on any change and tries again: an auto-reset signal goes to the one
// waiter that resets it first under the lock.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "base/text.h"
#include "platform/storage/device.h"
#include "platform/kernel/event_object.h"
#include "platform/process/host_process.h"
#include "platform/storage/journal.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/sync_objects.h"

namespace plat {
namespace {

// The content of a state file.
struct NamedEventState {
    bool manualReset = false;   // kind of the event
    bool signaled = false;      // its state
    std::vector<pid_t> openers; // one entry per open handle, by process
};

std::string FormatState(const NamedEventState& state) {
    std::string text = "manual=" + std::string(state.manualReset ? "1" : "0") + "\nsignaled=" +
                       (state.signaled ? "1" : "0") + "\nopen=";
    for (size_t i = 0; i < state.openers.size(); ++i) {
        if (i) text.push_back(' ');
        text += std::to_string(state.openers[i]);
    }
    text.push_back('\n');
    return text;
}

// Reads what FormatState wrote; anything unreadable gives an event that
// nobody holds (it then starts afresh).
NamedEventState ParseState(const std::string& text) {
    NamedEventState state;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line == "manual=1") state.manualReset = true;
        if (line == "signaled=1") state.signaled = true;
        if (line.rfind("open=", 0) == 0) {
            const char* p = line.c_str() + 5;
            while (*p) {
                char* next = nullptr;
                long pid = std::strtol(p, &next, 10);
                if (next == p) break;
                if (pid > 0) state.openers.push_back(static_cast<pid_t>(pid));
                p = next;
            }
        }
    }
    return state;
}

// Drops the entries of processes that have ended.
void PruneOpeners(NamedEventState* state) {
    std::vector<pid_t> alive;
    for (pid_t pid : state->openers)
        if (HostProcessRunning(pid)) alive.push_back(pid);
    state->openers.swap(alive);
}

uint64_t Fnv1a(const std::string& text) {
    uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

// The state file's name for an event name: safe as one file name, distinct
// for distinct names, and short enough for the file system.
std::string FileNameOf(std::u16string_view name) {
    std::string utf8 = tlw::Utf16ToUtf8(name);
    static const char kHex[] = "0123456789ABCDEF";
    std::string file;
    for (unsigned char c : utf8) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                     c == '_';
        if (plain) {
            file.push_back(static_cast<char>(c));
        } else {
            file.push_back('%');
            file.push_back(kHex[c >> 4]);
            file.push_back(kHex[c & 15]);
        }
    }
    if (file.size() > 200) {
        char tail[24];
        std::snprintf(tail, sizeof tail, "~%016llx", static_cast<unsigned long long>(Fnv1a(utf8)));
        file = file.substr(0, 180) + tail;
    }
    return file;
}

// Runs change on the event's state under the file's lock and writes the
// state back when change returns true. False (last error set) when the
// file cannot be used.
bool UpdateState(const std::filesystem::path& path, const std::function<bool(NamedEventState&)>& change) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        SetLastError(errno == ENOENT ? kErrorPathNotFound : kErrorAccessDenied);
        return false;
    }
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX);
    } while (locked < 0 && errno == EINTR);
    std::string text;
    char buffer[512];
    for (off_t offset = 0;;) {
        ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
        offset += n;
    }
    NamedEventState state = ParseState(text);
    bool ok = true;
    if (change(state)) {
        std::string out = FormatState(state);
        ok = ::pwrite(fd, out.data(), out.size(), 0) == static_cast<ssize_t>(out.size()) &&
             ::ftruncate(fd, static_cast<off_t>(out.size())) == 0;
        if (!ok) SetLastError(kErrorDiskFull);
    }
    ::close(fd);  // also releases the lock
    return ok;
}

// "<root>/.device/events", made when missing; empty (last error set) when
// the process has no device.
std::filesystem::path EventsFolder() {
    if (DeviceRoot().empty()) {
        SetLastError(kErrorPathNotFound);
        return {};
    }
    std::filesystem::path folder = DeviceStateDir() / "events";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        SetLastError(kErrorPathNotFound);
        return {};
    }
    return folder;
}

void JournalSet(std::u16string_view name, bool delivered) {
    JournalAppend("event " + tlw::Utf16ToUtf8(name) + (delivered ? " set" : " set, not open"));
}

// One handle of a named event.
class NamedEvent : public EventObject {
public:
    NamedEvent(std::filesystem::path path, std::u16string name) : path_(std::move(path)), name_(std::move(name)) {}

    ~NamedEvent() override {
        pid_t self = ::getpid();
        UpdateState(path_, [self](NamedEventState& state) {
            for (auto it = state.openers.begin(); it != state.openers.end(); ++it) {
                if (*it == self) {
                    state.openers.erase(it);
                    if (state.openers.empty()) state.signaled = false;
                    return true;
                }
            }
            return false;
        });
    }

    int BeginWait() override {
        int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd < 0) return -1;
        if (::inotify_add_watch(fd, path_.c_str(), IN_MODIFY) < 0) {
            ::close(fd);
            return -1;
        }
        return fd;
    }
    void EndWait(int fd) override { ::close(fd); }
    void Drain(int fd) override {
        alignas(inotify_event) char buffer[1024];
        while (::read(fd, buffer, sizeof buffer) > 0) {
        }
    }
    bool TryAcquire() override {
        bool taken = false;
        UpdateState(path_, [&taken](NamedEventState& state) {
            if (!state.signaled) return false;
            taken = true;
            if (state.manualReset) return false;
            state.signaled = false;
            return true;
        });
        return taken;
    }
    bool Set() override {
        bool changed = false;
        bool ok = UpdateState(path_, [&changed](NamedEventState& state) {
            changed = !state.signaled;
            state.signaled = true;
            return changed;
        });
        if (ok) JournalSet(name_, true);
        return ok;
    }
    bool Reset() override {
        return UpdateState(path_, [](NamedEventState& state) {
            if (!state.signaled) return false;
            state.signaled = false;
            return true;
        });
    }

private:
    std::filesystem::path path_;  // the event's state file
    std::u16string name_;         // the event's name, for the journal
};

}  // namespace

Handle OpenNamedEvent(bool manualReset, bool initialState, std::u16string_view name, bool openOnly) {
    if (name.empty()) {
        SetLastError(kErrorInvalidParameter);
        return Handle{};
    }
    std::filesystem::path folder = EventsFolder();
    if (folder.empty()) return Handle{};
    std::filesystem::path path = folder / FileNameOf(name);
    if (openOnly) {
        std::error_code ec;
        if (!std::filesystem::exists(path, ec)) {
            SetLastError(kErrorFileNotFound);
            return Handle{};
        }
    }
    pid_t self = ::getpid();
    bool existed = false;
    bool opened = UpdateState(path, [&](NamedEventState& state) {
        PruneOpeners(&state);
        existed = !state.openers.empty();
        if (!existed) {
            if (openOnly) return false;
            state.manualReset = manualReset;
            state.signaled = initialState;
        }
        state.openers.push_back(self);
        return true;
    });
    if (!opened) return Handle{};
    if (openOnly && !existed) {
        SetLastError(kErrorFileNotFound);
        return Handle{};
    }
    Handle handle = InsertKernelObject(std::make_shared<NamedEvent>(path, std::u16string(name)));
    if (handle) SetLastError(existed ? kErrorAlreadyExists : kErrorSuccess);
    return handle;
}

bool SignalNamedEvent(std::u16string_view name) {
    name = PlainEventName(name);
    if (name.empty()) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    std::filesystem::path folder = EventsFolder();
    if (folder.empty()) return false;
    std::filesystem::path path = folder / FileNameOf(name);
    bool delivered = false;
    bool ok = UpdateState(path, [&delivered](NamedEventState& state) {
        size_t before = state.openers.size();
        PruneOpeners(&state);
        delivered = !state.openers.empty();
        bool changed = before != state.openers.size();
        if (!delivered) {
            changed = changed || state.signaled;
            state.signaled = false;
        } else if (!state.signaled) {
            state.signaled = true;
            changed = true;
        }
        return changed;
    });
    if (ok) JournalSet(name, delivered);
    return ok;
}

}  // namespace plat
