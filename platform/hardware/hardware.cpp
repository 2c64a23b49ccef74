#include "platform/hardware/hardware.h"

#include <charconv>
#include <cstdint>
#include <iterator>
#include <type_traits>

#include "platform/kernel/last_error.h"
#include "platform/storage/device.h"
#include "platform/storage/device_store.h"
#include "platform/storage/registry.h"

namespace plat {
namespace {

bool ParseInt64(std::string_view text, int64_t min, int64_t max, int64_t* out) {
    int64_t v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || v < min || v > max) return false;
    *out = v;
    return true;
}

// One fact of HardwareState: its key (in the store, in the text form and in
// "tlwsim hw"), what a bad value is told, and how its value is written and read.
struct Field {
    const char* key;
    const char* expected;
    std::string (*format)(const HardwareState&);
    bool (*parse)(std::string_view, HardwareState&);
};

// A whole number from min to max, or the one other value also (255 "unknown").
template <auto Member, int64_t Min, int64_t Max, int64_t Also = Min>
constexpr Field Number(const char* key, const char* expected) {
    return {key, expected,
            [](const HardwareState& s) { return std::to_string(static_cast<int64_t>(s.*Member)); },
            [](std::string_view text, HardwareState& s) {
                int64_t v = 0;
                if (!ParseInt64(text, INT64_MIN, INT64_MAX, &v) || ((v < Min || v > Max) && v != Also)) return false;
                s.*Member = static_cast<std::remove_reference_t<decltype(s.*Member)>>(v);
                return true;
            }};
}

constexpr const char* kCallNames[] = {"none", "offered", "active"};  // by CallState

// One of the names, stored by its index.
template <auto Member, const char* const* Names, size_t Count>
constexpr Field Named(const char* key, const char* expected) {
    return {key, expected,
            [](const HardwareState& s) {
                size_t i = static_cast<size_t>(s.*Member);
                return std::string(i < Count ? Names[i] : Names[0]);
            },
            [](std::string_view text, HardwareState& s) {
                for (size_t i = 0; i < Count; ++i) {
                    if (text == Names[i]) {
                        s.*Member = static_cast<std::remove_reference_t<decltype(s.*Member)>>(i);
                        return true;
                    }
                }
                return false;
            }};
}

// Every fact, in the order the text form lists them. A new fact is one line
// here (and its member in HardwareState).
constexpr Field kFields[] = {
    Number<&HardwareState::acLineStatus, 0, 1, 255>("ac", "0, 1 or 255 expected"),
    Number<&HardwareState::batteryPercent, 0, 100, 255>("battery", "0 ... 100 or 255 expected"),
    Number<&HardwareState::batteryCurrent, INT32_MIN, INT32_MAX>("current", "a number of mA expected"),
    Number<&HardwareState::charging, 0, 1>("charging", "0 or 1 expected"),
    Number<&HardwareState::wifiState, 0, UINT32_MAX>("wifi", "a state number expected"),
    Number<&HardwareState::phoneState, 0, UINT32_MAX>("phone", "a state number expected"),
    Number<&HardwareState::bluetoothMode, 0, 2>("btmode", "0, 1 or 2 expected"),
    Named<&HardwareState::call, kCallNames, std::size(kCallNames)>("call", "none, offered or active expected"),
    Number<&HardwareState::soundProfile, 0, 3>("soundprofile", "0 ... 3 expected"),
    Number<&HardwareState::waveOutVolume, 0, UINT32_MAX>("waveout", "a number expected"),
    Number<&HardwareState::handsetVolume, 0, 0xFFFF>("handset", "0 ... 65535 expected"),
    Number<&HardwareState::headsetVolume, 0, 0xFFFF>("headsetvol", "0 ... 65535 expected"),
    Number<&HardwareState::speakerVolume, 0, 0xFFFF>("speaker", "0 ... 65535 expected"),
    Number<&HardwareState::brightness, 0, UINT32_MAX>("brightness", "a number expected"),
    Number<&HardwareState::brightnessExternal, 0, UINT32_MAX>("brightness_ac", "a number expected"),
};

const Field* FindField(std::string_view key) {
    for (const Field& f : kFields)
        if (key == f.key) return &f;
    return nullptr;
}

// Reads the stored facts over the defaults; *stored receives the keys and
// values as stored. kErrorInvalidData for a fact that cannot be read.
uint32_t ReadStored(store::Transaction& t, HardwareState* out, std::vector<std::pair<std::string, std::string>>* stored) {
    HardwareState s;
    store::Query q(t, "SELECT key, value FROM hardware");
    while (q.Next()) {
        std::string key = q.Text(0), value = q.Text(1);
        const Field* field = FindField(key);
        if (!field || !field->parse(value, s)) return kErrorInvalidData;
        stored->emplace_back(std::move(key), std::move(value));
    }
    if (q.Error() != kErrorSuccess) return q.Error();
    *out = s;
    return kErrorSuccess;
}

// Writes every fact whose stored value differs from state (or is missing).
uint32_t WriteChanged(store::Transaction& t, const HardwareState& state,
                      const std::vector<std::pair<std::string, std::string>>& stored) {
    for (const Field& f : kFields) {
        std::string value = f.format(state);
        bool same = false;
        for (const auto& [key, old] : stored)
            if (key == f.key) same = old == value;
        if (same) continue;
        store::Query q(t, "INSERT OR REPLACE INTO hardware(key, value) VALUES(?1, ?2)");
        q.Bind(1, f.key).Bind(2, value);
        if (uint32_t error = q.Run(); error != kErrorSuccess) return error;
    }
    return kErrorSuccess;
}

// Sets or clears bits of a DWORD of the state registry (a missing value
// counts as 0). Each change is one write, as the platform's own state
// publisher does.
bool UpdateStatusBits(uint32_t mask, bool set) {
    uint32_t status = 0;
    bool exists = RegReadDword(kHkeyLocalMachine, kPhoneStateKey, kPhoneStatusValue, &status);
    uint32_t changed = set ? (status | mask) : (status & ~mask);
    if (exists && changed == status) return true;  // no write, so no change notification
    return RegWriteDword(kHkeyLocalMachine, kPhoneStateKey, kPhoneStatusValue, changed);
}

}  // namespace

std::string FormatHardwareState(const HardwareState& s) {
    std::string text;
    for (const Field& f : kFields) text += std::string(f.key) + "=" + f.format(s) + "\n";
    return text;
}

bool ParseHardwareState(std::string_view text, HardwareState* out, std::string* error) {
    HardwareState s = *out;
    int lineNumber = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        size_t eq = line.find('=');
        auto bad = [&](const char* why) {
            *error = "line " + std::to_string(lineNumber) + " '" + std::string(line) + "': " + why;
            return false;
        };
        if (eq == std::string_view::npos) return bad("not key=value");
        const Field* field = FindField(line.substr(0, eq));
        if (!field) return bad("unknown key");
        if (!field->parse(line.substr(eq + 1), s)) return bad(field->expected);
    }
    *out = s;
    return true;
}

bool ReadHardwareState(HardwareState* out) {
    *out = HardwareState{};
    if (DeviceRoot().empty()) return false;
    HardwareState s;
    uint32_t error = store::Read([&](store::Transaction& t) {
        std::vector<std::pair<std::string, std::string>> stored;
        return ReadStored(t, &s, &stored);
    });
    if (error != kErrorSuccess) return false;
    *out = s;
    return true;
}

bool ChangeHardwareState(const std::function<void(HardwareState&)>& change) {
    if (DeviceRoot().empty()) return false;
    uint32_t error = store::Write([&](store::Transaction& t) {
        HardwareState state;
        std::vector<std::pair<std::string, std::string>> stored;
        // Never overwrite a state that could not be read.
        if (uint32_t readError = ReadStored(t, &state, &stored); readError != kErrorSuccess) return readError;
        change(state);
        return WriteChanged(t, state, stored);
    });
    return error == kErrorSuccess;
}

bool ReplaceHardwareState(const HardwareState& state) {
    if (DeviceRoot().empty()) return false;
    uint32_t error = store::Write([&](store::Transaction& t) {
        store::Query clear(t, "DELETE FROM hardware");
        if (uint32_t clearError = clear.Run(); clearError != kErrorSuccess) return clearError;
        return WriteChanged(t, state, {});
    });
    return error == kErrorSuccess;
}

bool SetPhoneRadioHardware(bool on) {
    if (!ChangeHardwareState([on](HardwareState& s) { s.phoneState = on ? 1 : 0; })) return false;
    return UpdateStatusBits(kPhoneStatusRadioOff, !on);
}

bool SetCallHardware(CallState call) {
    if (!ChangeHardwareState([call](HardwareState& s) { s.call = call; })) return false;
    bool ok = RegWriteDword(kHkeyLocalMachine, kPhoneStateKey, kActiveCallCountValue,
                            call == CallState::kActive ? 1u : 0u);
    return UpdateStatusBits(kPhoneStatusIncomingCall, call == CallState::kOffered) && ok;
}

}  // namespace plat
