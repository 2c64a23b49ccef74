#include "platform/power/power_notify.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/storage/device.h"
#include "platform/kernel/kernel_errors.h"
#include "platform/kernel/msg_queue.h"
#include "platform/kernel/msg_queue_object.h"
#include "platform/power/power_status.h"

namespace plat {
namespace {

// Largest record sent between processes (a broadcast with its data).
constexpr size_t kMaxRecordSize = 512;

// "<root>/.device/power": one socket per listening process, named by its id.
std::filesystem::path PowerFolder() {
    if (DeviceRoot().empty()) return {};
    return DeviceStateDir() / "power";
}

// The address of a socket file. A path too long for an address is reached
// through the folder's descriptor (/proc/self/fd/N/NAME), which the caller
// keeps open in *folderFd while the address is used.
bool SocketAddress(const std::filesystem::path& file, sockaddr_un* address, socklen_t* length, int* folderFd) {
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    std::string path = file.string();
    if (path.size() >= sizeof address->sun_path) {
        *folderFd = ::open(file.parent_path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (*folderFd < 0) return false;
        path = "/proc/self/fd/" + std::to_string(*folderFd) + "/" + file.filename().string();
        if (path.size() >= sizeof address->sun_path) return false;
    }
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    *length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    return true;
}

// One request: a queue and the kinds it asked for.
struct PowerRequest {
    std::shared_ptr<MsgQueueCore> queue;  // where the records go
    uint32_t flags = 0;                   // kPbt* kinds asked for
};

// This process's listener: the socket other processes send records to, and
// the thread that hands them to the requesting queues. It exists while at
// least one request does.
class PowerListener {
public:
    // Adds a request, starting the listener when none runs. False (last
    // error set) when the socket cannot be made. The request is known before
    // the socket is bound: a sender may reach the socket as soon as its file
    // exists, and a record delivered before the request was added would be
    // dropped although the sender counted this process as reached.
    bool Add(PowerRequest* request) {
        std::lock_guard<std::mutex> life(lifecycle_);
        {
            std::lock_guard<std::mutex> guard(mutex_);
            requests_.push_back(request);
        }
        if (thread_.joinable() || Start()) return true;
        std::lock_guard<std::mutex> guard(mutex_);
        requests_.pop_back();
        return false;
    }

    // Removes a request; the last one stops the listener.
    void Remove(PowerRequest* request) {
        std::lock_guard<std::mutex> life(lifecycle_);
        {
            std::lock_guard<std::mutex> guard(mutex_);
            for (auto it = requests_.begin(); it != requests_.end(); ++it) {
                if (*it == request) {
                    requests_.erase(it);
                    break;
                }
            }
            if (!requests_.empty()) return;
        }
        if (!thread_.joinable()) return;
        uint64_t one = 1;
        if (::write(stopFd_, &one, sizeof one) == sizeof one) thread_.join();
        else thread_.detach();  // cannot happen with an eventfd; never leave a joinable thread behind
        Stop();
    }

private:
    bool Start() {
        std::filesystem::path folder = PowerFolder();
        std::error_code ec;
        if (folder.empty() || (std::filesystem::create_directories(folder, ec), ec)) {
            SetLastError(kErrorPathNotFound);
            return false;
        }
        path_ = folder / std::to_string(::getpid());
        sockaddr_un address;
        socklen_t length = 0;
        int folderFd = -1;
        socket_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        stopFd_ = ::eventfd(0, EFD_CLOEXEC);
        bool ok = socket_ >= 0 && stopFd_ >= 0 && SocketAddress(path_, &address, &length, &folderFd);
        if (ok) {
            std::filesystem::remove(path_, ec);  // left by an earlier process with this id
            ok = ::bind(socket_, reinterpret_cast<sockaddr*>(&address), length) == 0;
        }
        if (folderFd >= 0) ::close(folderFd);
        if (ok) {
            try {
                thread_ = std::thread([this] { Listen(); });
            } catch (const std::system_error&) {
                ok = false;
            }
        }
        if (!ok) {
            Stop();
            SetLastError(kErrorNotEnoughMemory);
        }
        return ok;
    }

    void Stop() {
        if (socket_ >= 0) {
            ::close(socket_);
            std::error_code ec;
            std::filesystem::remove(path_, ec);
        }
        if (stopFd_ >= 0) ::close(stopFd_);
        socket_ = stopFd_ = -1;
    }

    void Listen() {
        pollfd fds[2] = {{socket_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        uint8_t record[kMaxRecordSize];
        for (;;) {
            int ready = ::poll(fds, 2, -1);
            if (ready < 0 && errno == EINTR) continue;
            if (ready < 0 || fds[1].revents) return;
            ssize_t n = ::recv(socket_, record, sizeof record, MSG_DONTWAIT);
            if (n < static_cast<ssize_t>(kPowerBroadcastDataOffset)) continue;
            PowerBroadcast head;
            std::memcpy(&head, record, kPowerBroadcastDataOffset);
            if (kPowerBroadcastDataOffset + head.length > static_cast<size_t>(n)) continue;  // damaged record
            Deliver(head.message, record, static_cast<uint32_t>(n));
        }
    }

    void Deliver(uint32_t kind, const uint8_t* record, uint32_t size) {
        std::lock_guard<std::mutex> guard(mutex_);
        for (PowerRequest* request : requests_) {
            if (!(request->flags & kind)) continue;
            std::lock_guard<std::mutex> queueGuard(request->queue->mutex);
            request->queue->Push(record, size, 0);  // a full queue drops it
        }
    }

    std::mutex lifecycle_;                 // guards starting and stopping: the fields below but requests_
    std::mutex mutex_;                     // guards requests_ (held while delivering)
    std::vector<PowerRequest*> requests_;  // this process's requests
    std::filesystem::path path_;           // the socket's file
    int socket_ = -1;                      // datagram socket bound to path_
    int stopFd_ = -1;                      // eventfd that ends the thread
    std::thread thread_;                   // the listening thread
};

PowerListener& Listener() {
    static PowerListener* listener = new PowerListener;  // never destroyed: requests may end during exit
    return *listener;
}

// The handle of a request: while it is open the queue has one more writer.
class PowerRegistration : public KernelObject {
public:
    explicit PowerRegistration(PowerRequest request) : request_(std::move(request)) {
        std::lock_guard<std::mutex> guard(request_.queue->mutex);
        ++request_.queue->writers;
    }
    ~PowerRegistration() override {
        if (added_) Listener().Remove(&request_);
        std::lock_guard<std::mutex> guard(request_.queue->mutex);
        --request_.queue->writers;
    }
    bool Register() { return added_ = Listener().Add(&request_); }

private:
    PowerRequest request_;  // the queue and the kinds
    bool added_ = false;    // the listener knows the request
};

// Sends one record to every listening process of the device; removes the
// sockets of processes that have ended. Returns the processes reached.
int SendToAll(const std::vector<std::vector<uint8_t>>& records) {
    std::filesystem::path folder = PowerFolder();
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec)) return 0;
    int sender = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (sender < 0) return 0;
    int reached = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        sockaddr_un address;
        socklen_t length = 0;
        int folderFd = -1;
        if (!SocketAddress(entry.path(), &address, &length, &folderFd)) {
            if (folderFd >= 0) ::close(folderFd);
            continue;
        }
        bool sent = false;
        bool gone = false;
        for (const auto& record : records) {
            ssize_t n = ::sendto(sender, record.data(), record.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                                 reinterpret_cast<sockaddr*>(&address), length);
            if (n >= 0) sent = true;
            if (n < 0 && (errno == ECONNREFUSED || errno == ENOENT)) gone = true;
        }
        if (folderFd >= 0) ::close(folderFd);
        if (gone) {
            std::error_code removeError;
            std::filesystem::remove(entry.path(), removeError);
        }
        if (sent) ++reached;
    }
    ::close(sender);
    return reached;
}

}  // namespace

Handle RequestPowerNotifications(Handle queue, uint32_t flags) {
    std::shared_ptr<MsgQueueCore> core = QueueOfHandle(queue);
    if (!core) return Handle{};
    if (flags == 0) {
        SetLastError(kErrorInvalidParameter);
        return Handle{};
    }
    auto registration = std::make_shared<PowerRegistration>(PowerRequest{std::move(core), flags});
    if (!registration->Register()) return Handle{};
    return InsertKernelObject(std::move(registration));
}

bool StopPowerNotifications(Handle registration) {
    if (!LookupKernelObjectAs<PowerRegistration>(registration)) return false;
    return CloseHandle(registration);
}

int RaisePowerStatusChange() {
    std::vector<std::vector<uint8_t>> records;

    PowerBroadcast status{};
    status.message = kPbtPowerStatusChange;
    records.emplace_back(reinterpret_cast<const uint8_t*>(&status),
                         reinterpret_cast<const uint8_t*>(&status) + sizeof status);

    SystemPowerStatusEx2 power{};
    if (GetSystemPowerStatusEx2(&power, sizeof power, true) != 0) {
        PowerBroadcastPowerInfo info{};
        info.numLevels = 0;  // the simulated battery reports no discrete levels
        info.batteryLifeTime = power.BatteryLifeTime;
        info.batteryFullLifeTime = power.BatteryFullLifeTime;
        info.backupBatteryLifeTime = power.BackupBatteryLifeTime;
        info.backupBatteryFullLifeTime = power.BackupBatteryFullLifeTime;
        info.acLineStatus = power.ACLineStatus;
        info.batteryFlag = power.BatteryFlag;
        info.batteryLifePercent = power.BatteryLifePercent;
        info.backupBatteryFlag = power.BackupBatteryFlag;
        info.backupBatteryLifePercent = power.BackupBatteryLifePercent;
        PowerBroadcast head{};
        head.message = kPbtPowerInfoChange;
        head.length = sizeof info;
        std::vector<uint8_t> record(kPowerBroadcastDataOffset + sizeof info);
        std::memcpy(record.data(), &head, kPowerBroadcastDataOffset);
        std::memcpy(record.data() + kPowerBroadcastDataOffset, &info, sizeof info);
        records.push_back(std::move(record));
    }
    return SendToAll(records);
}

}  // namespace plat
