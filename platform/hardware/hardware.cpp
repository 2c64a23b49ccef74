#include "platform/hardware/hardware.h"

#include <charconv>
#include <chrono>
#include <cstdint>
#include <iterator>
#include <map>
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
// "tlwsim hw"), what a bad value is told, and how its values are written
// (none for an optional fact at rest, one each for a list) and read (a list
// gains an entry per value).
struct Field {
    const char* key;
    const char* expected;
    void (*format)(const HardwareState&, std::vector<std::string>*);
    bool (*parse)(std::string_view, HardwareState&, std::string* why);
};

template <typename T>
bool ToNumber(std::string_view text, int64_t min, int64_t max, int64_t also, T* out) {
    int64_t v = 0;
    if (!ParseInt64(text, INT64_MIN, INT64_MAX, &v) || ((v < min || v > max) && v != also)) return false;
    *out = static_cast<T>(v);
    return true;
}

// A whole number from min to max, or the one other value also (255
// "unknown"). An optional one is left out while it is 0.
template <auto Member, int64_t Min, int64_t Max, int64_t Also = Min, bool Optional = false>
constexpr Field Number(const char* key, const char* expected) {
    return {key, expected,
            [](const HardwareState& s, std::vector<std::string>* values) {
                int64_t v = static_cast<int64_t>(s.*Member);
                if (!Optional || v != 0) values->push_back(std::to_string(v));
            },
            [](std::string_view text, HardwareState& s, std::string*) {
                return ToNumber(text, Min, Max, Also, &(s.*Member));
            }};
}

// A list of whole numbers from min to max.
template <auto Member, int64_t Min, int64_t Max>
constexpr Field NumberList(const char* key, const char* expected) {
    return {key, expected,
            [](const HardwareState& s, std::vector<std::string>* values) {
                for (auto v : s.*Member) values->push_back(std::to_string(static_cast<int64_t>(v)));
            },
            [](std::string_view text, HardwareState& s, std::string*) {
                typename std::remove_reference_t<decltype(s.*Member)>::value_type v{};
                if (!ToNumber(text, Min, Max, Min, &v)) return false;
                (s.*Member).push_back(v);
                return true;
            }};
}

constexpr const char* kCallNames[] = {"none", "offered", "active"};  // by CallState

// One of the names, stored by its index.
template <auto Member, const char* const* Names, size_t Count>
constexpr Field Named(const char* key, const char* expected) {
    return {key, expected,
            [](const HardwareState& s, std::vector<std::string>* values) {
                size_t i = static_cast<size_t>(s.*Member);
                values->push_back(i < Count ? Names[i] : Names[0]);
            },
            [](std::string_view text, HardwareState& s, std::string*) {
                for (size_t i = 0; i < Count; ++i) {
                    if (text == Names[i]) {
                        s.*Member = static_cast<std::remove_reference_t<decltype(s.*Member)>>(i);
                        return true;
                    }
                }
                return false;
            }};
}

// Notification LED i: 0 off, 1 on, 2 blinking; left out while off.
template <size_t I>
constexpr Field Led(const char* key) {
    return {key, "0, 1 or 2 expected",
            [](const HardwareState& s, std::vector<std::string>* values) {
                if (s.leds[I] != 0) values->push_back(std::to_string(s.leds[I]));
            },
            [](std::string_view text, HardwareState& s, std::string*) {
                return ToNumber(text, 0, 2, 0, &s.leds[I]);
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
    {"cell", "LAC:CID or none expected",
     [](const HardwareState& s, std::vector<std::string>* values) {
         values->push_back(FormatCell(s.cellPresent, s.cellLac, s.cellId));
     },
     [](std::string_view text, HardwareState& s, std::string*) {
         return ParseCell(text, &s.cellPresent, &s.cellLac, &s.cellId);
     }},
    Number<&HardwareState::soundProfile, 0, 3>("soundprofile", "0 ... 3 expected"),
    Number<&HardwareState::waveOutVolume, 0, UINT32_MAX>("waveout", "a number expected"),
    Number<&HardwareState::handsetVolume, 0, 0xFFFF>("handset", "0 ... 65535 expected"),
    Number<&HardwareState::headsetVolume, 0, 0xFFFF>("headsetvol", "0 ... 65535 expected"),
    Number<&HardwareState::speakerVolume, 0, 0xFFFF>("speaker", "0 ... 65535 expected"),
    Number<&HardwareState::brightness, 0, UINT32_MAX>("brightness", "a number expected"),
    Number<&HardwareState::brightnessExternal, 0, UINT32_MAX>("brightness_ac", "a number expected"),
    Led<0>("led0"),
    Led<1>("led1"),
    // A late Wi-Fi change: its target only while one is pending.
    {"wifitarget", "a state number expected",
     [](const HardwareState& s, std::vector<std::string>* values) {
         if (s.wifiDueMs != 0) values->push_back(std::to_string(s.wifiTarget));
     },
     [](std::string_view text, HardwareState& s, std::string*) {
         return ToNumber(text, 0, UINT32_MAX, 0, &s.wifiTarget);
     }},
    Number<&HardwareState::wifiDueMs, 0, INT64_MAX, 0, true>("wifidue", "a time in ms expected"),
    {"ap", "an access point expected",
     [](const HardwareState& s, std::vector<std::string>* values) {
         for (const AccessPoint& ap : s.accessPoints) values->push_back(FormatAccessPoint(ap));
     },
     [](std::string_view text, HardwareState& s, std::string* why) {
         AccessPoint ap;
         if (!ParseAccessPoint(text, &ap, why)) return false;
         s.accessPoints.push_back(std::move(ap));
         return true;
     }},
    {"simpin", "4 ... 8 digits expected",
     [](const HardwareState& s, std::vector<std::string>* values) {
         if (!s.simPin.empty()) values->push_back(s.simPin);
     },
     [](std::string_view text, HardwareState& s, std::string*) {
         if (text.empty() || text.size() > 8 || text.find_first_not_of("0123456789") != std::string_view::npos)
             return false;
         s.simPin = std::string(text);
         return true;
     }},
    Number<&HardwareState::simUnlocked, 0, 1, 0, true>("simunlocked", "0 or 1 expected"),
    Number<&HardwareState::simBusyReads, 0, 100, 0, true>("simbusy", "a count expected"),
    NumberList<&HardwareState::dataConnections, 1, UINT32_MAX>("dataconn", "a handle expected"),
    Number<&HardwareState::nextDataConnection, 1, UINT32_MAX>("nextdataconn", "a handle expected"),
    Number<&HardwareState::peakFrequency, -1, 1440>("peak", "-1 ... 1440 minutes expected"),
    Number<&HardwareState::offPeakFrequency, -1, 1440>("offpeak", "-1 ... 1440 minutes expected"),
};

const Field* FindField(std::string_view key) {
    for (const Field& f : kFields)
        if (key == f.key) return &f;
    return nullptr;
}

// The values of each key as stored, in their order.
using Stored = std::map<std::string, std::vector<std::string>, std::less<>>;

// Reads the stored facts over the defaults into *out and *stored.
// kErrorInvalidData for a fact that cannot be read.
uint32_t ReadStored(store::Transaction& t, HardwareState* out, Stored* stored) {
    HardwareState s;
    store::Query q(t, "SELECT key, value FROM hardware ORDER BY key, seq");
    std::string why;
    while (q.Next()) {
        std::string key = q.Text(0), value = q.Text(1);
        const Field* field = FindField(key);
        if (!field || !field->parse(value, s, &why)) return kErrorInvalidData;
        (*stored)[std::move(key)].push_back(std::move(value));
    }
    if (q.Error() != kErrorSuccess) return q.Error();
    *out = s;
    return kErrorSuccess;
}

// Writes every fact whose values differ from the stored ones.
uint32_t WriteChanged(store::Transaction& t, const HardwareState& state, const Stored& stored) {
    for (const Field& f : kFields) {
        std::vector<std::string> values;
        f.format(state, &values);
        auto old = stored.find(f.key);
        if (old == stored.end() ? values.empty() : old->second == values) continue;
        store::Query clear(t, "DELETE FROM hardware WHERE key = ?1");
        clear.Bind(1, f.key);
        if (uint32_t error = clear.Run(); error != kErrorSuccess) return error;
        for (size_t i = 0; i < values.size(); ++i) {
            store::Query q(t, "INSERT INTO hardware(key, seq, value) VALUES(?1, ?2, ?3)");
            q.Bind(1, f.key).Bind(2, static_cast<int64_t>(i)).Bind(3, values[i]);
            if (uint32_t error = q.Run(); error != kErrorSuccess) return error;
        }
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
    for (const Field& f : kFields) {
        std::vector<std::string> values;
        f.format(s, &values);
        for (const std::string& value : values) text += std::string(f.key) + "=" + value + "\n";
    }
    return text;
}

std::string FormatCell(bool present, uint32_t lac, uint32_t cellId) {
    return present ? std::to_string(lac) + ":" + std::to_string(cellId) : "none";
}

bool ParseCell(std::string_view text, bool* present, uint32_t* lac, uint32_t* cellId) {
    if (text == "none") {
        *present = false;
        *lac = 0;
        *cellId = 0;
        return true;
    }
    auto number = [](std::string_view t, uint32_t* out) {
        int base = 10;
        if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
            t.remove_prefix(2);
            base = 16;
        }
        uint32_t v = 0;
        auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v, base);
        if (t.empty() || ec != std::errc() || end != t.data() + t.size() || v > 0xFFFF) return false;
        *out = v;
        return true;
    };
    size_t colon = text.find(':');
    uint32_t a = 0, b = 0;
    if (colon == std::string_view::npos || !number(text.substr(0, colon), &a) || !number(text.substr(colon + 1), &b))
        return false;
    *present = true;
    *lac = a;
    *cellId = b;
    return true;
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
        std::string why;
        if (!field->parse(line.substr(eq + 1), s, &why)) return bad(why.empty() ? field->expected : why.c_str());
    }
    *out = s;
    return true;
}

int64_t HostTimeMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void SettleLateRadios(HardwareState* state) {
    if (state->wifiDueMs != 0 && HostTimeMs() >= state->wifiDueMs) {
        state->wifiState = state->wifiTarget;
        state->wifiDueMs = 0;
    }
}

bool ReadHardwareState(HardwareState* out) {
    *out = HardwareState{};
    if (DeviceRoot().empty()) return false;
    HardwareState s;
    uint32_t error = store::Read([&](store::Transaction& t) {
        Stored stored;
        return ReadStored(t, &s, &stored);
    });
    if (error != kErrorSuccess) return false;
    SettleLateRadios(&s);
    *out = s;
    return true;
}

bool ChangeHardwareState(const std::function<void(HardwareState&)>& change) {
    if (DeviceRoot().empty()) return false;
    uint32_t error = store::Write([&](store::Transaction& t) {
        HardwareState state;
        Stored stored;
        // Never overwrite a state that could not be read.
        if (uint32_t readError = ReadStored(t, &state, &stored); readError != kErrorSuccess) return readError;
        SettleLateRadios(&state);
        change(state);
        return WriteChanged(t, state, stored);
    });
    if (error != kErrorSuccess) SetLastError(error);
    return error == kErrorSuccess;
}

bool ReplaceHardwareState(const HardwareState& state) {
    if (DeviceRoot().empty()) return false;
    uint32_t error = store::Write([&](store::Transaction& t) {
        store::Query clear(t, "DELETE FROM hardware");
        if (uint32_t clearError = clear.Run(); clearError != kErrorSuccess) return clearError;
        return WriteChanged(t, state, {});
    });
    if (error != kErrorSuccess) SetLastError(error);
    return error == kErrorSuccess;
}

bool SetPhoneRadioHardware(bool on) {
    // A SIM with a PIN asks for it again each time the radio comes up.
    if (!ChangeHardwareState([on](HardwareState& s) {
            s.phoneState = on ? 1 : 0;
            if (!on) s.simUnlocked = false;
        }))
        return false;
    return UpdateStatusBits(kPhoneStatusRadioOff, !on);
}

bool SetCallHardware(CallState call) {
    if (!ChangeHardwareState([call](HardwareState& s) { s.call = call; })) return false;
    bool ok = RegWriteDword(kHkeyLocalMachine, kPhoneStateKey, kActiveCallCountValue,
                            call == CallState::kActive ? 1u : 0u);
    return UpdateStatusBits(kPhoneStatusIncomingCall, call == CallState::kOffered) && ok;
}

}  // namespace plat
