#include "platform/power/power_state.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <functional>

#include "base/text.h"
#include "platform/storage/device.h"
#include "platform/storage/device_store.h"
#include "platform/storage/journal.h"
#include "platform/kernel/last_error.h"
#include "platform/shell/soft_reset.h"
#include "platform/notify/user_notify.h"

namespace plat {
namespace {

bool ProcessAlive(uint32_t pid) {
    if (pid == 0 || pid > static_cast<uint32_t>(INT32_MAX)) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Reads the stored state; the defaults when there is none, and
// kErrorInvalidData when it cannot be read. Holders whose process has ended
// are dropped: a program that ends without leaving unattended mode must not
// keep the device running for ever.
uint32_t ReadStored(store::Transaction& t, PowerState* out) {
    *out = PowerState{};
    PowerState s;
    {
        store::Query q(t, "SELECT power FROM power_state WHERE id = 1");
        if (q.Next()) {
            if (!ParseDevicePower(q.Text(0), &s.power)) return kErrorInvalidData;
        } else if (q.Error() != kErrorSuccess) {
            return q.Error();
        }
    }
    store::Query q(t, "SELECT pid FROM unattended_holders ORDER BY id");
    while (q.Next()) {
        if (!q.IsInteger(0) || q.Int(0) < 0 || q.Int(0) > UINT32_MAX) return kErrorInvalidData;
        uint32_t pid = static_cast<uint32_t>(q.Int(0));
        if (ProcessAlive(pid)) s.unattendedHolders.push_back(pid);
    }
    if (q.Error() != kErrorSuccess) return q.Error();
    if (s.unattendedHolders.empty() && s.power == DevicePower::kUnattended) s.power = DevicePower::kSuspend;
    *out = s;
    return kErrorSuccess;
}

// Stores s in place of what is stored (readBefore: what was read, when it
// could be); only what changed is written.
uint32_t WriteStored(store::Transaction& t, const PowerState& s, const PowerState* readBefore) {
    if (!readBefore || readBefore->power != s.power) {
        store::Query power(t, "INSERT OR REPLACE INTO power_state(id, power) VALUES(1, ?1)");
        power.Bind(1, DevicePowerName(s.power));
        if (uint32_t error = power.Run(); error != kErrorSuccess) return error;
    }
    if (readBefore && readBefore->unattendedHolders == s.unattendedHolders) return kErrorSuccess;
    store::Query clear(t, "DELETE FROM unattended_holders");
    if (uint32_t error = clear.Run(); error != kErrorSuccess) return error;
    for (uint32_t pid : s.unattendedHolders) {
        store::Query add(t, "INSERT INTO unattended_holders(pid) VALUES(?1)");
        add.Bind(1, static_cast<int64_t>(pid));
        if (uint32_t error = add.Run(); error != kErrorSuccess) return error;
    }
    return kErrorSuccess;
}

// Reads, changes and writes the state in one transaction, with its journal
// line (journal(before, after), empty for none). *before receives the state
// as it was. Returns the store's error (nothing written) when it fails, so
// that a full or failing disk is named as such; a stored state that cannot
// be read is replaced by the change applied to the defaults rather than
// blocking the power manager for good.
uint32_t ChangePowerState(const std::function<void(PowerState&)>& change, PowerState* before,
                          const std::function<std::string(const PowerState&, const PowerState&)>& journal) {
    if (DeviceRoot().empty()) return kErrorPathNotFound;
    uint32_t error = store::Write([&](store::Transaction& t) -> uint32_t {
        PowerState s;
        bool readable = ReadStored(t, &s) == kErrorSuccess;
        *before = s;
        change(s);
        uint32_t written = WriteStored(t, s, readable ? before : nullptr);
        if (written != kErrorSuccess) return written;
        std::string line = journal(*before, s);
        if (!line.empty()) JournalAppend(line);  // joins this transaction
        return kErrorSuccess;
    });
    return error;
}

// The state a request for power leads to from s.
DevicePower Requested(const PowerState& s, DevicePower power) {
    if (power == DevicePower::kSuspend && !s.unattendedHolders.empty()) return DevicePower::kUnattended;
    return power;
}

bool Wakes(DevicePower from, DevicePower to) {
    return from == DevicePower::kSuspend && (to == DevicePower::kOn || to == DevicePower::kIdle);
}

// Moves the device to power (as a request would) and journals the effect.
// Fires the wake-up notifications when the device left suspend.
uint32_t MoveTo(DevicePower power, const std::string& journalPrefix) {
    PowerState before;
    DevicePower reached = power;
    uint32_t error = ChangePowerState(
        [&](PowerState& s) {
            reached = Requested(s, power);
            s.power = reached;
        },
        &before,
        [&](const PowerState&, const PowerState&) {
            std::string line = journalPrefix;
            if (reached != power) line += std::string(" -> ") + DevicePowerName(reached);
            return line;
        });
    if (error != kErrorSuccess) return error;
    if (Wakes(before.power, reached)) FireEventNotifications(kNotificationEventWakeup);
    return kErrorSuccess;
}

}  // namespace

const char* DevicePowerName(DevicePower power) {
    switch (power) {
    case DevicePower::kIdle: return "idle";
    case DevicePower::kSuspend: return "suspend";
    case DevicePower::kUnattended: return "unattended";
    default: return "on";
    }
}

uint32_t DevicePowerFlags(DevicePower power) {
    switch (power) {
    case DevicePower::kIdle: return kPowerStateIdle;
    case DevicePower::kSuspend: return kPowerStateSuspend;
    case DevicePower::kUnattended: return kPowerStateUnattended;
    default: return kPowerStateOn | kPowerStateBacklightOn;
    }
}

bool ParseDevicePower(std::string_view name, DevicePower* out) {
    for (DevicePower p : {DevicePower::kOn, DevicePower::kIdle, DevicePower::kSuspend, DevicePower::kUnattended}) {
        if (name == DevicePowerName(p)) {
            *out = p;
            return true;
        }
    }
    return false;
}

bool ReadPowerState(PowerState* out) {
    *out = PowerState{};
    if (DeviceRoot().empty()) return false;
    return store::Read([&](store::Transaction& t) { return ReadStored(t, out); }) == kErrorSuccess;
}

uint32_t GetSystemPowerState(std::u16string* name, uint32_t* flags) {
    PowerState s;
    if (!ReadPowerState(&s)) return kErrorAccessDenied;
    if (name) *name = tlw::Utf8ToUtf16(DevicePowerName(s.power));
    if (flags) *flags = DevicePowerFlags(s.power);
    return kErrorSuccess;
}

uint32_t SetSystemPowerState(std::u16string_view name, uint32_t state, uint32_t options) {
    DevicePower power = DevicePower::kOn;
    bool reset = false;
    if (!name.empty()) {
        std::string text = tlw::Utf16ToUtf8(name);
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        reset = text == "reset";
        if (!reset && (!ParseDevicePower(text, &power) || power == DevicePower::kUnattended))
            return kErrorInvalidParameter;
    } else {
        switch (state & kPowerStateMask) {
        case kPowerStateOn: case kPowerStateOn | kPowerStateBacklightOn: power = DevicePower::kOn; break;
        case kPowerStateIdle: power = DevicePower::kIdle; break;
        case kPowerStateSuspend: power = DevicePower::kSuspend; break;
        case kPowerStateReset: reset = true; break;
        default: return kErrorInvalidParameter;
        }
    }
    std::string forced = (options & kPowerForce) ? " forced" : "";
    if (reset) {
        JournalAppend("power request reset" + forced);
        return RequestSoftReset() ? kErrorSuccess : kErrorNotEnoughMemory;
    }
    return MoveTo(power, std::string("power request ") + DevicePowerName(power) + forced);
}

bool PowerPolicyNotify(uint32_t type, uint32_t data) {
    if (type != kPpnUnattendedMode) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    uint32_t self = static_cast<uint32_t>(::getpid());
    PowerState before;
    uint32_t error = ChangePowerState(
        [&](PowerState& s) {
            auto& holders = s.unattendedHolders;
            if (data != 0) {
                holders.push_back(self);
                if (s.power == DevicePower::kSuspend) s.power = DevicePower::kUnattended;
                return;
            }
            auto mine = std::find(holders.begin(), holders.end(), self);
            if (mine != holders.end()) holders.erase(mine);
            // The last holder gone: a suspend it held off happens now.
            if (holders.empty() && s.power == DevicePower::kUnattended) s.power = DevicePower::kSuspend;
        },
        &before,
        [&](const PowerState&, const PowerState&) {
            return std::string(data != 0 ? "unattended mode on" : "unattended mode off");
        });
    SetLastError(error);
    return error == kErrorSuccess;
}

bool SetDevicePower(DevicePower power) {
    if (power == DevicePower::kUnattended) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    uint32_t error = MoveTo(power, std::string("power ") + DevicePowerName(power));
    SetLastError(error);
    return error == kErrorSuccess;
}

}  // namespace plat
