#include "platform/power/power_state.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <system_error>

#include "base/text.h"
#include "platform/storage/device.h"
#include "platform/storage/device_lock.h"
#include "platform/storage/journal.h"
#include "platform/kernel/last_error.h"
#include "platform/shell/soft_reset.h"
#include "platform/notify/user_notify.h"

namespace plat {
namespace {

std::filesystem::path StatePath() { return DeviceStateDir() / "power_state"; }

bool ProcessAlive(uint32_t pid) {
    if (pid == 0 || pid > static_cast<uint32_t>(INT32_MAX)) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::string FormatState(const PowerState& s) {
    std::string text = std::string("power=") + DevicePowerName(s.power) + "\nunattended=";
    for (size_t i = 0; i < s.unattendedHolders.size(); ++i) {
        if (i > 0) text += ' ';
        text += std::to_string(s.unattendedHolders[i]);
    }
    return text + "\n";
}

bool ParseHolders(std::string_view text, std::vector<uint32_t>* out) {
    out->clear();
    while (!text.empty()) {
        size_t blank = text.find(' ');
        std::string_view word = text.substr(0, blank);
        text = blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
        if (word.empty()) continue;
        uint32_t pid = 0;
        auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), pid);
        if (ec != std::errc() || end != word.data() + word.size()) return false;
        out->push_back(pid);
    }
    return true;
}

bool ParseState(std::string_view text, PowerState* out) {
    PowerState s;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty()) continue;
        size_t eq = line.find('=');
        if (eq == std::string_view::npos) return false;
        std::string_view key = line.substr(0, eq);
        std::string_view value = line.substr(eq + 1);
        if (key == "power") {
            if (!ParseDevicePower(value, &s.power)) return false;
        } else if (key == "unattended") {
            if (!ParseHolders(value, &s.unattendedHolders)) return false;
        } else {
            return false;
        }
    }
    *out = s;
    return true;
}

// Reads the state file; the defaults when there is none. Holders whose
// process has ended are dropped: a program that ends without leaving
// unattended mode must not keep the device running for ever.
bool ReadStateFile(PowerState* out) {
    *out = PowerState{};
    std::ifstream in(StatePath(), std::ios::binary);
    if (!in) {
        std::error_code ec;
        return !std::filesystem::exists(StatePath(), ec);
    }
    std::stringstream text;
    text << in.rdbuf();
    if (!ParseState(text.str(), out)) {
        *out = PowerState{};
        return false;
    }
    auto& holders = out->unattendedHolders;
    holders.erase(std::remove_if(holders.begin(), holders.end(), [](uint32_t pid) { return !ProcessAlive(pid); }),
                  holders.end());
    if (holders.empty() && out->power == DevicePower::kUnattended) out->power = DevicePower::kSuspend;
    return true;
}

bool WriteStateFile(const PowerState& state) {
    std::filesystem::path temp = StatePath();
    temp += ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << FormatState(state);
        out.flush();
        if (!out) return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, StatePath(), ec);
    return !ec;
}

// Reads, changes and writes the state under the lock. *before receives the
// state as it was. False (nothing written) when the lock or the file fails;
// a state file that cannot be parsed is replaced by the change applied to
// the defaults rather than blocking the power manager for good.
bool ChangePowerState(const std::function<void(PowerState&)>& change, PowerState* before) {
    DeviceLock lock("power_state");
    if (!lock.Held()) return false;
    PowerState s;
    ReadStateFile(&s);
    *before = s;
    change(s);
    return WriteStateFile(s);
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
    if (!ChangePowerState(
            [&](PowerState& s) {
                reached = Requested(s, power);
                s.power = reached;
            },
            &before)) {
        return kErrorAccessDenied;
    }
    std::string line = journalPrefix;
    if (reached != power) line += std::string(" -> ") + DevicePowerName(reached);
    JournalAppend(line);
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
    DeviceLock lock("power_state");
    return ReadStateFile(out);
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
    bool ok = ChangePowerState(
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
        &before);
    if (!ok) {
        SetLastError(kErrorAccessDenied);
        return false;
    }
    JournalAppend(data != 0 ? "unattended mode on" : "unattended mode off");
    SetLastError(kErrorSuccess);
    return true;
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
