#include "platform/telephony/sim_manager.h"

#include <mutex>
#include <set>
#include <string>

#include "base/text.h"
#include "platform/hardware/hardware.h"
#include "platform/storage/journal.h"

namespace plat {
namespace {

struct SimSessions {
    std::mutex lock;          // guards the fields below
    std::set<HSim> open;      // open sessions
    HSim next = 1;            // the next session handle
};

SimSessions& Sessions() {
    static SimSessions sessions;
    return sessions;
}

bool IsOpen(HSim sim) {
    SimSessions& s = Sessions();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.open.count(sim) != 0;
}

}  // namespace

int32_t SimInitialize(uint32_t flags, SimCallback /*callback*/, uint32_t /*parameter*/, HSim* sim) {
    if (!sim || flags != 0) return kSimErrorInvalidArg;
    SimSessions& s = Sessions();
    std::lock_guard<std::mutex> guard(s.lock);
    *sim = s.next++;
    s.open.insert(*sim);
    return kSimOk;
}

int32_t SimDeinitialize(HSim sim) {
    SimSessions& s = Sessions();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.open.erase(sim) ? kSimOk : kSimErrorInvalidArg;
}

int32_t SimGetPhoneLockedState(HSim sim, uint32_t* state) {
    if (!state || !IsOpen(sim)) return kSimErrorInvalidArg;
    bool busy = false;
    HardwareState hw;
    bool ok = ChangeHardwareState([&](HardwareState& s) {
        hw = s;
        if (s.phoneState != 0 && s.simBusyReads > 0) {
            --s.simBusyReads;
            busy = true;
        }
    });
    if (!ok || busy || hw.phoneState == 0) return kSimErrorFail;
    *state = (!hw.simPin.empty() && !hw.simUnlocked) ? kSimLockedStateSimPin : kSimLockedStateReady;
    return kSimOk;
}

int32_t SimUnlockPhone(HSim sim, const char16_t* password, const char16_t* /*newPassword*/) {
    if (!password || !IsOpen(sim)) return kSimErrorInvalidArg;
    std::string pin = tlw::Utf16ToUtf8(password);
    int32_t result = kSimOk;
    bool ok = ChangeHardwareState([&](HardwareState& s) {
        if (s.phoneState == 0) result = kSimErrorFail;
        else if (s.simPin.empty() || s.simUnlocked) result = kSimOk;  // nothing to unlock
        else if (pin == s.simPin) s.simUnlocked = true;
        else result = kSimErrorIncorrectPassword;
    });
    if (!ok) result = kSimErrorFail;
    // The PIN itself never goes into the journal.
    JournalAppend(std::string("SIM unlock: ") + (result == kSimOk ? "unlocked" : result == kSimErrorIncorrectPassword ? "wrong PIN" : "failed"));
    return result;
}

}  // namespace plat
