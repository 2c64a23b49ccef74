#include "platform/hardware/hardware.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/storage/device.h"
#include "platform/storage/device_lock.h"
#include "platform/storage/registry.h"

namespace plat {
namespace {

std::filesystem::path StatePath() { return DeviceStateDir() / "hardware"; }

bool ParseInt64(std::string_view text, int64_t min, int64_t max, int64_t* out) {
    int64_t v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || v < min || v > max) return false;
    *out = v;
    return true;
}

const char* CallName(CallState call) {
    switch (call) {
    case CallState::kOffered: return "offered";
    case CallState::kActive: return "active";
    default: return "none";
    }
}

bool WriteStateFile(const HardwareState& state) {
    std::filesystem::path path = StatePath();
    std::filesystem::path temp = path;
    temp += ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << FormatHardwareState(state);
        out.flush();
        if (!out) return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    return !ec;
}

bool ReadStateFile(HardwareState* out) {
    *out = HardwareState{};
    std::ifstream in(StatePath(), std::ios::binary);
    if (!in) {
        std::error_code ec;
        return !std::filesystem::exists(StatePath(), ec);
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    return ParseHardwareState(text.str(), out, &error);
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
    text += "ac=" + std::to_string(s.acLineStatus) + "\n";
    text += "battery=" + std::to_string(s.batteryPercent) + "\n";
    text += "current=" + std::to_string(s.batteryCurrent) + "\n";
    text += std::string("charging=") + (s.charging ? "1" : "0") + "\n";
    text += "wifi=" + std::to_string(s.wifiState) + "\n";
    text += "phone=" + std::to_string(s.phoneState) + "\n";
    text += "btmode=" + std::to_string(s.bluetoothMode) + "\n";
    text += std::string("call=") + CallName(s.call) + "\n";
    text += "cell=" + FormatCell(s.cellPresent, s.cellLac, s.cellId) + "\n";
    text += "soundprofile=" + std::to_string(s.soundProfile) + "\n";
    text += "waveout=" + std::to_string(s.waveOutVolume) + "\n";
    text += "handset=" + std::to_string(s.handsetVolume) + "\n";
    text += "headsetvol=" + std::to_string(s.headsetVolume) + "\n";
    text += "speaker=" + std::to_string(s.speakerVolume) + "\n";
    text += "brightness=" + std::to_string(s.brightness) + "\n";
    text += "brightness_ac=" + std::to_string(s.brightnessExternal) + "\n";
    for (size_t i = 0; i < std::size(s.leds); ++i)
        if (s.leds[i] != 0) text += "led" + std::to_string(i) + "=" + std::to_string(s.leds[i]) + "\n";
    if (s.wifiDueMs != 0) {
        text += "wifitarget=" + std::to_string(s.wifiTarget) + "\n";
        text += "wifidue=" + std::to_string(s.wifiDueMs) + "\n";
    }
    for (const AccessPoint& ap : s.accessPoints) text += "ap=" + FormatAccessPoint(ap) + "\n";
    if (!s.simPin.empty()) text += "simpin=" + s.simPin + "\n";
    if (s.simUnlocked) text += "simunlocked=1\n";
    if (s.simBusyReads) text += "simbusy=" + std::to_string(s.simBusyReads) + "\n";
    for (uint32_t handle : s.dataConnections) text += "dataconn=" + std::to_string(handle) + "\n";
    text += "nextdataconn=" + std::to_string(s.nextDataConnection) + "\n";
    text += "peak=" + std::to_string(s.peakFrequency) + "\n";
    text += "offpeak=" + std::to_string(s.offPeakFrequency) + "\n";
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
    s.accessPoints.clear();
    s.simPin.clear();
    s.simUnlocked = false;
    s.simBusyReads = 0;
    s.dataConnections.clear();
    for (uint8_t& led : s.leds) led = 0;
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
        std::string_view key = line.substr(0, eq);
        std::string_view value = line.substr(eq + 1);
        int64_t v = 0;
        if (key == "ac") {
            if (!ParseInt64(value, 0, 255, &v) || (v > 1 && v != 255)) return bad("0, 1 or 255 expected");
            s.acLineStatus = static_cast<uint8_t>(v);
        } else if (key == "battery") {
            if (!ParseInt64(value, 0, 255, &v) || (v > 100 && v != 255)) return bad("0 ... 100 or 255 expected");
            s.batteryPercent = static_cast<uint8_t>(v);
        } else if (key == "current") {
            if (!ParseInt64(value, INT32_MIN, INT32_MAX, &v)) return bad("a number of mA expected");
            s.batteryCurrent = static_cast<int32_t>(v);
        } else if (key == "charging") {
            if (!ParseInt64(value, 0, 1, &v)) return bad("0 or 1 expected");
            s.charging = v != 0;
        } else if (key == "wifi" || key == "phone") {
            if (!ParseInt64(value, 0, UINT32_MAX, &v)) return bad("a state number expected");
            (key == "wifi" ? s.wifiState : s.phoneState) = static_cast<uint32_t>(v);
        } else if (key == "btmode") {
            if (!ParseInt64(value, 0, 2, &v)) return bad("0, 1 or 2 expected");
            s.bluetoothMode = static_cast<uint32_t>(v);
        } else if (key == "wifitarget") {
            if (!ParseInt64(value, 0, UINT32_MAX, &v)) return bad("a state number expected");
            s.wifiTarget = static_cast<uint32_t>(v);
        } else if (key == "wifidue") {
            if (!ParseInt64(value, 0, INT64_MAX, &v)) return bad("a time in ms expected");
            s.wifiDueMs = v;
        } else if (key == "simpin") {
            if (value.empty() || value.size() > 8 || value.find_first_not_of("0123456789") != std::string_view::npos)
                return bad("4 ... 8 digits expected");
            s.simPin = std::string(value);
        } else if (key == "simunlocked") {
            if (!ParseInt64(value, 0, 1, &v)) return bad("0 or 1 expected");
            s.simUnlocked = v != 0;
        } else if (key == "dataconn" || key == "nextdataconn") {
            if (!ParseInt64(value, 1, UINT32_MAX, &v)) return bad("a handle expected");
            if (key == "dataconn") s.dataConnections.push_back(static_cast<uint32_t>(v));
            else s.nextDataConnection = static_cast<uint32_t>(v);
        } else if (key == "peak" || key == "offpeak") {
            if (!ParseInt64(value, -1, 1440, &v)) return bad("-1 ... 1440 minutes expected");
            (key == "peak" ? s.peakFrequency : s.offPeakFrequency) = static_cast<int32_t>(v);
        } else if (key == "simbusy") {
            if (!ParseInt64(value, 0, 100, &v)) return bad("a count expected");
            s.simBusyReads = static_cast<uint32_t>(v);
        } else if (key == "ap") {
            AccessPoint ap;
            std::string why;
            if (!ParseAccessPoint(value, &ap, &why)) return bad(why.c_str());
            s.accessPoints.push_back(std::move(ap));
        } else if (key == "call") {
            if (value == "none") s.call = CallState::kNone;
            else if (value == "offered") s.call = CallState::kOffered;
            else if (value == "active") s.call = CallState::kActive;
            else return bad("none, offered or active expected");
        } else if (key == "cell") {
            if (!ParseCell(value, &s.cellPresent, &s.cellLac, &s.cellId)) return bad("LAC:CID or none expected");
        } else if (key == "soundprofile") {
            if (!ParseInt64(value, 0, 3, &v)) return bad("0 ... 3 expected");
            s.soundProfile = static_cast<uint32_t>(v);
        } else if (key == "waveout" || key == "brightness" || key == "brightness_ac") {
            if (!ParseInt64(value, 0, UINT32_MAX, &v)) return bad("a number expected");
            (key == "waveout" ? s.waveOutVolume : key == "brightness" ? s.brightness : s.brightnessExternal) =
                static_cast<uint32_t>(v);
        } else if (key == "led0" || key == "led1") {
            if (!ParseInt64(value, 0, 2, &v)) return bad("0, 1 or 2 expected");
            s.leds[key == "led0" ? 0 : 1] = static_cast<uint8_t>(v);
        } else if (key == "handset" || key == "headsetvol" || key == "speaker") {
            if (!ParseInt64(value, 0, 0xFFFF, &v)) return bad("0 ... 65535 expected");
            (key == "handset" ? s.handsetVolume : key == "speaker" ? s.speakerVolume : s.headsetVolume) =
                static_cast<uint32_t>(v);
        } else {
            return bad("unknown key");
        }
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
    if (DeviceRoot().empty()) {
        *out = HardwareState{};
        return false;
    }
    bool ok = ReadStateFile(out);
    SettleLateRadios(out);
    return ok;
}

bool ChangeHardwareState(const std::function<void(HardwareState&)>& change) {
    DeviceLock lock("hardware");
    if (!lock.Held()) return false;
    HardwareState state;
    if (!ReadStateFile(&state)) return false;  // never overwrite a state we could not read
    SettleLateRadios(&state);
    change(state);
    return WriteStateFile(state);
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
