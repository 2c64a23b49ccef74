#include "sim/hardware_facts.h"

#include <charconv>
#include <functional>

#include "base/text.h"

#include "platform/audio/wave_out.h"
#include "platform/connectivity/cellular_data.h"
#include "platform/connectivity/config_manager.h"
#include "platform/hardware/device_model.h"
#include "platform/hardware/display.h"
#include "platform/hardware/hardware.h"
#include "platform/hardware/notification_led.h"
#include "platform/kernel/last_error.h"
#include "platform/power/power_notify.h"
#include "platform/power/power_state.h"
#include "platform/radio/access_point.h"
#include "platform/storage/registry.h"
#include "sim/command.h"

namespace sim {
namespace {

using plat::BluetoothStack;
using plat::DeviceModel;
using plat::HardwareState;

// A registry DWORD that holds a fact (or one bit of it, when mask is set).
struct RegistrySpot {
    plat::HKey root;       // kHkeyLocalMachine or kHkeyCurrentUser
    const char16_t* key;   // key path below the root
    const char16_t* name;  // value name
    uint32_t mask;         // the fact's bit; 0: the whole value
};

constexpr char16_t kHardwareKey[] = u"System\\State\\Hardware";
constexpr RegistrySpot kCradle{plat::kHkeyLocalMachine, kHardwareKey, u"Cradled", 0};
constexpr RegistrySpot kHeadset{plat::kHkeyLocalMachine, kHardwareKey, u"Headset", 0};
constexpr RegistrySpot kHandsfree{plat::kHkeyLocalMachine, kHardwareKey, u"Handsfree", 0};
constexpr RegistrySpot kCarKit{plat::kHkeyLocalMachine, kHardwareKey, u"Car Kit", 0};
constexpr RegistrySpot kBtAudio{plat::kHkeyLocalMachine, kHardwareKey, u"Bluetooth", 0x10};
constexpr RegistrySpot kPush{plat::kHkeyCurrentUser, u"SOFTWARE\\Microsoft\\ActiveSync", u"KeepAlive", 0};
constexpr RegistrySpot kMissed{plat::kHkeyCurrentUser, u"System\\State\\Phone", u"Missed Call Count", 0};
constexpr RegistrySpot kSms{plat::kHkeyCurrentUser, u"System\\State\\Messages\\SMS\\Unread", u"Count", 0};
constexpr RegistrySpot kMms{plat::kHkeyCurrentUser, u"System\\State\\Messages\\MMS\\Unread", u"Count", 0};
constexpr RegistrySpot kEmail{plat::kHkeyCurrentUser, u"System\\State\\Messages\\TotalEmail\\Unread", u"Count", 0};
constexpr RegistrySpot kVmail{plat::kHkeyCurrentUser, u"System\\State\\Messages\\VMail\\Total\\Unread", u"Count", 0};
constexpr RegistrySpot kSystemVolume{plat::kHkeyCurrentUser, u"ControlPanel\\Volume", u"Volume", 0};
constexpr RegistrySpot kRingerVolume{plat::kHkeyCurrentUser, u"ControlPanel\\Volume", u"Ringer", 0};
constexpr RegistrySpot kStackMode{plat::kHkeyLocalMachine, plat::kWidcommGeneralKey, plat::kWidcommStackModeValue, 0};

uint32_t ReadSpot(const RegistrySpot& spot) {
    uint32_t v = 0;
    plat::RegReadDword(spot.root, spot.key, spot.name, &v);
    return spot.mask ? ((v & spot.mask) != 0) : v;
}

bool WriteSpot(const RegistrySpot& spot, uint32_t value) {
    uint32_t stored = 0;
    bool exists = plat::RegReadDword(spot.root, spot.key, spot.name, &stored);
    uint32_t next = value;
    if (spot.mask) next = value ? (stored | spot.mask) : (stored & ~spot.mask);
    if (exists && next == stored) return true;  // unchanged: no write, no change notification
    // Through the registry's calls that return their error, so that a
    // failure (a full disk) can be named.
    plat::HKey key{};
    uint32_t error = plat::RegCreateKey(spot.root, spot.key, &key);
    if (error == plat::kErrorSuccess) {
        error = plat::RegSetValue(key, spot.name, plat::kRegDword, &next, sizeof next);
        plat::RegCloseKey(key);
    }
    if (error != plat::kErrorSuccess) plat::SetLastError(error);
    return error == plat::kErrorSuccess;
}

// The kinds of value a fact takes; each parses to a number.
enum class Kind { kSwitch, kCount, kAc, kBattery, kCurrent, kCall, kBluetooth, kLevel, kSound, kBrightness, kOrientation, kPower, kData, kInterval, kCell, kLed };

// A parsed cell: -1 for none, else LAC * 65536 + CID.
constexpr int64_t kNoCell = -1;

bool ParseNumber(const std::string& text, int64_t min, int64_t max, int64_t* out) {
    int64_t v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v < min || v > max) return false;
    *out = v;
    return true;
}

bool ParseKind(Kind kind, const std::string& text, int64_t* out) {
    switch (kind) {
    case Kind::kSwitch:
        if (text == "on" || text == "1") return *out = 1, true;
        if (text == "off" || text == "0") return *out = 0, true;
        return false;
    case Kind::kCount: return ParseNumber(text, 0, 99999, out);
    case Kind::kAc:
        if (text == "on" || text == "1") return *out = 1, true;
        if (text == "off" || text == "0") return *out = 0, true;
        if (text == "unknown") return *out = 255, true;
        return false;
    case Kind::kBattery:
        if (text == "unknown") return *out = 255, true;
        return ParseNumber(text, 0, 100, out);
    case Kind::kCurrent: return ParseNumber(text, -100000, 100000, out);
    case Kind::kCall:
        if (text == "none") return *out = 0, true;
        if (text == "offered") return *out = 1, true;
        if (text == "active") return *out = 2, true;
        return false;
    case Kind::kCell: {
        bool present = false;
        uint32_t lac = 0, cid = 0;
        if (!plat::ParseCell(text, &present, &lac, &cid)) return false;
        *out = present ? static_cast<int64_t>(lac) * 65536 + cid : kNoCell;
        return true;
    }
    case Kind::kBluetooth:
        if (text == "off" || text == "0") return *out = 0, true;
        if (text == "on" || text == "1") return *out = 1, true;
        if (text == "discoverable" || text == "2") return *out = 2, true;
        return false;
    case Kind::kLevel: return ParseNumber(text, 0, 5, out);
    case Kind::kData:
        if (text == "on") return *out = 1, true;
        if (text == "off") return *out = 0, true;
        return ParseNumber(text, 0, 4, out);
    case Kind::kInterval:
        if (text == "push") return *out = -1, true;
        if (text == "manual") return *out = 0, true;
        return ParseNumber(text, 1, 1440, out);
    case Kind::kSound:
        if (text == "on") return *out = 0, true;
        if (text == "vibrate") return *out = 2, true;
        if (text == "silent") return *out = 3, true;
        return false;
    case Kind::kBrightness: return ParseNumber(text, 0, 10000, out);
    case Kind::kOrientation:
        if (text == "0" || text == "90" || text == "180" || text == "270") return ParseNumber(text, 0, 270, out);
        return false;
    case Kind::kLed:
        if (text == "off") return *out = plat::kNledOff, true;
        if (text == "on") return *out = plat::kNledOn, true;
        if (text == "blink") return *out = plat::kNledBlink, true;
        return false;
    case Kind::kPower: {
        plat::DevicePower power;
        if (text == "unattended" || !plat::ParseDevicePower(text, &power)) return false;
        return *out = static_cast<int64_t>(power), true;
    }
    }
    return false;
}

std::string OnOff(uint32_t v) { return v ? "on" : "off"; }

// Volume levels 0 ... 5 and their 32-bit volume (both channels).
constexpr uint32_t kVolumeStep = 0x33333333;
std::string LevelOfVolume(uint32_t volume) { return std::to_string(volume / kVolumeStep); }
// ... and of a hook-switch volume 0 ... 65535, to the nearest level.
std::string LevelOfPhoneVolume(uint32_t volume) { return std::to_string((volume * 5 + 32767) / 65535); }

const char* SoundName(uint32_t profile) { return profile == 2 ? "vibrate" : profile == 3 ? "silent" : "on"; }

std::string PowerName() {
    plat::PowerState power;
    plat::ReadPowerState(&power);
    return plat::DevicePowerName(power.power);
}

// Turns the screen as the display settings call does.
bool SetOrientation(int64_t degrees) {
    plat::DisplayMode mode;
    mode.fields = plat::kDmDisplayOrientation;
    mode.displayOrientation = degrees == 90 ? plat::kDmdo90 : degrees == 180 ? plat::kDmdo180
                              : degrees == 270 ? plat::kDmdo270 : plat::kDmdo0;
    return plat::ChangeDisplaySettingsEx(&mode, 0) == plat::kDispChangeSuccessful;
}

// Sets notification LED `led` as the LED driver does.
bool SetLed(uint32_t led, int64_t mode) {
    plat::NledSettingsInfo settings;
    settings.LedNum = led;
    settings.OffOnBlink = static_cast<int32_t>(mode);
    return plat::NLedSetDevice(plat::kNledSettingsInfoId, &settings);
}

// One fact: how to read it, whether the model has it, how to change it.
struct Fact {
    HardwareFactInfo info;                                         // key, values, description
    Kind kind;                                                     // the values it takes
    bool (*present)(const DeviceModel&);                           // the model has the hardware
    std::string (*read)(const DeviceModel&, const HardwareState&); // current value text
    bool (*write)(const DeviceModel&, int64_t value);              // applies a parsed value
};

bool Always(const DeviceModel&) { return true; }
bool HasPhone(const DeviceModel& m) { return m.hasPhone; }
bool HasWifi(const DeviceModel& m) { return m.hasWifi; }
bool HasBluetooth(const DeviceModel& m) { return m.bluetoothStack != BluetoothStack::kNone; }

bool ChangeHw(const std::function<void(HardwareState&)>& f) { return plat::ChangeHardwareState(f); }

#define TLW_SPOT_FACT(spot)                                                                  \
    [](const DeviceModel&, const HardwareState&) -> std::string { return OnOff(ReadSpot(spot)); }, \
    [](const DeviceModel&, int64_t v) { return WriteSpot(spot, static_cast<uint32_t>(v)); }
#define TLW_COUNT_FACT(spot)                                                                             \
    [](const DeviceModel&, const HardwareState&) -> std::string { return std::to_string(ReadSpot(spot)); }, \
    [](const DeviceModel&, int64_t v) { return WriteSpot(spot, static_cast<uint32_t>(v)); }

const std::vector<Fact>& Facts() {
    static const std::vector<Fact> facts = {
        {{"ac", "on|off|unknown", "external power (AC line)"}, Kind::kAc, Always,
         [](const DeviceModel&, const HardwareState& h) -> std::string {
             return h.acLineStatus == 255 ? "unknown" : OnOff(h.acLineStatus);
         },
         [](const DeviceModel&, int64_t v) { return ChangeHw([v](HardwareState& s) { s.acLineStatus = static_cast<uint8_t>(v); }); }},
        {{"battery", "0..100|unknown", "battery charge in percent"}, Kind::kBattery, Always,
         [](const DeviceModel&, const HardwareState& h) -> std::string {
             return h.batteryPercent == 255 ? "unknown" : std::to_string(h.batteryPercent);
         },
         [](const DeviceModel&, int64_t v) { return ChangeHw([v](HardwareState& s) { s.batteryPercent = static_cast<uint8_t>(v); }); }},
        {{"current", "mA", "battery current, negative while discharging"}, Kind::kCurrent, Always,
         [](const DeviceModel&, const HardwareState& h) { return std::to_string(h.batteryCurrent); },
         [](const DeviceModel&, int64_t v) { return ChangeHw([v](HardwareState& s) { s.batteryCurrent = static_cast<int32_t>(v); }); }},
        {{"charging", "on|off", "the battery is charging"}, Kind::kSwitch, Always,
         [](const DeviceModel&, const HardwareState& h) { return OnOff(h.charging); },
         [](const DeviceModel&, int64_t v) { return ChangeHw([v](HardwareState& s) { s.charging = v != 0; }); }},
        {{"cradle", "on|off", "the phone sits in its cradle"}, Kind::kSwitch, Always, TLW_SPOT_FACT(kCradle)},
        {{"headset", "on|off", "a wired headset is plugged in"}, Kind::kSwitch, Always, TLW_SPOT_FACT(kHeadset)},
        {{"handsfree", "on|off", "a hands-free set is connected"}, Kind::kSwitch, Always, TLW_SPOT_FACT(kHandsfree)},
        {{"carkit", "on|off", "the phone sits in a car kit"}, Kind::kSwitch, Always, TLW_SPOT_FACT(kCarKit)},
        {{"btaudio", "on|off", "a Bluetooth audio device is connected"}, Kind::kSwitch, Always, TLW_SPOT_FACT(kBtAudio)},
        {{"phone", "on|off", "the phone radio"}, Kind::kSwitch, HasPhone,
         [](const DeviceModel&, const HardwareState& h) { return OnOff(h.phoneState); },
         [](const DeviceModel&, int64_t v) { return plat::SetPhoneRadioHardware(v != 0); }},
        {{"call", "none|offered|active", "the call on the phone line"}, Kind::kCall, HasPhone,
         [](const DeviceModel&, const HardwareState& h) -> std::string {
             return h.call == plat::CallState::kActive ? "active" : h.call == plat::CallState::kOffered ? "offered" : "none";
         },
         [](const DeviceModel&, int64_t v) { return plat::SetCallHardware(static_cast<plat::CallState>(v)); }},
        {{"cell", "LAC:CID|none", "the serving cell (numbers decimal or 0x hex, each up to 0xFFFF)"}, Kind::kCell, HasPhone,
         [](const DeviceModel&, const HardwareState& h) { return plat::FormatCell(h.cellPresent, h.cellLac, h.cellId); },
         [](const DeviceModel&, int64_t v) {
             return ChangeHw([v](HardwareState& s) {
                 s.cellPresent = v != kNoCell;
                 s.cellLac = v == kNoCell ? 0 : static_cast<uint32_t>(v / 65536);
                 s.cellId = v == kNoCell ? 0 : static_cast<uint32_t>(v % 65536);
             });
         }},
        {{"missed", "count", "missed calls"}, Kind::kCount, HasPhone, TLW_COUNT_FACT(kMissed)},
        {{"sms", "count", "unread text messages"}, Kind::kCount, Always, TLW_COUNT_FACT(kSms)},
        {{"mms", "count", "unread multimedia messages"}, Kind::kCount, Always, TLW_COUNT_FACT(kMms)},
        {{"email", "count", "unread e-mail"}, Kind::kCount, Always, TLW_COUNT_FACT(kEmail)},
        {{"vmail", "count", "unread voice mail"}, Kind::kCount, Always, TLW_COUNT_FACT(kVmail)},
        {{"wifi", "on|off", "the Wi-Fi radio"}, Kind::kSwitch, HasWifi,
         [](const DeviceModel&, const HardwareState& h) { return OnOff(h.wifiState); },
         [](const DeviceModel&, int64_t v) { return ChangeHw([v](HardwareState& s) { s.wifiState = v ? 1 : 0; }); }},
        {{"bt", "off|on|discoverable", "the Bluetooth radio (discoverable: Microsoft stack only)"}, Kind::kBluetooth, HasBluetooth,
         [](const DeviceModel& m, const HardwareState& h) -> std::string {
             if (m.bluetoothStack == BluetoothStack::kWidcomm) return OnOff(ReadSpot(kStackMode));
             return h.bluetoothMode == 2 ? "discoverable" : OnOff(h.bluetoothMode);
         },
         [](const DeviceModel& m, int64_t v) {
             if (m.bluetoothStack == BluetoothStack::kWidcomm) return WriteSpot(kStackMode, v ? 1u : 0u);
             return ChangeHw([v](HardwareState& s) { s.bluetoothMode = static_cast<uint32_t>(v); });
         }},
        {{"data", "on|off|0..4", "cellular data connections open (on: one)"}, Kind::kData, HasPhone,
         [](const DeviceModel&, const HardwareState& h) -> std::string {
             size_t n = h.dataConnections.size();
             return n <= 1 ? OnOff(static_cast<uint32_t>(n)) : std::to_string(n);
         },
         [](const DeviceModel&, int64_t v) { return plat::SetCellularConnectionCount(static_cast<uint32_t>(v)); }},
        {{"pushinterval", "push|manual|1..1440", "mail synchronisation: as items arrive, by hand, or every N minutes"},
         Kind::kInterval, Always,
         [](const DeviceModel&, const HardwareState& h) -> std::string {
             return h.peakFrequency == -1 ? "push" : h.peakFrequency == 0 ? "manual" : std::to_string(h.peakFrequency);
         },
         [](const DeviceModel&, int64_t v) {
             int32_t minutes = static_cast<int32_t>(v);
             return ChangeHw([minutes](HardwareState& s) { s.peakFrequency = s.offPeakFrequency = minutes; }) &&
                    WriteSpot(kPush, minutes == -1 ? 1u : 0u);
         }},
        {{"push", "on|off", "push mail (ActiveSync keep-alive)"}, Kind::kSwitch, Always, TLW_SPOT_FACT(kPush)},
        {{"sound", "on|vibrate|silent", "sound mode: the shell's global sound profile"}, Kind::kSound, Always,
         [](const DeviceModel&, const HardwareState& h) -> std::string { return SoundName(h.soundProfile); },
         [](const DeviceModel&, int64_t v) { return ChangeHw([v](HardwareState& s) { s.soundProfile = static_cast<uint32_t>(v); }); }},
        {{"volume", "0..5", "system volume level (the volume panel and the wave-out mixer)"}, Kind::kLevel, Always,
         [](const DeviceModel&, const HardwareState& h) { return LevelOfVolume(h.waveOutVolume); },
         [](const DeviceModel&, int64_t v) {
             uint32_t volume = static_cast<uint32_t>(v) * kVolumeStep;
             bool ok = WriteSpot(kSystemVolume, volume);
             for (uint32_t i = 0; i < plat::WaveOutGetNumDevs(); ++i)
                 ok = plat::WaveOutSetVolume(i, volume) == plat::kMmSysErrNoError && ok;
             return ok;
         }},
        {{"ringer", "0..5", "ringer volume level"}, Kind::kLevel, Always,
         [](const DeviceModel&, const HardwareState&) { return LevelOfVolume(ReadSpot(kRingerVolume)); },
         [](const DeviceModel&, int64_t v) { return WriteSpot(kRingerVolume, static_cast<uint32_t>(v) * kVolumeStep); }},
        {{"callvolume", "0..5", "in-call volume level of the handset, headset and speaker"}, Kind::kLevel, HasPhone,
         [](const DeviceModel&, const HardwareState& h) { return LevelOfPhoneVolume(h.handsetVolume); },
         [](const DeviceModel&, int64_t v) {
             uint32_t volume = static_cast<uint32_t>(v * 65535 / 5);
             return ChangeHw([volume](HardwareState& s) { s.handsetVolume = s.headsetVolume = s.speakerVolume = volume; });
         }},
        {{"brightness", "N", "backlight brightness on battery, in the hardware's scale"}, Kind::kBrightness, Always,
         [](const DeviceModel&, const HardwareState& h) { return std::to_string(h.brightness); },
         [](const DeviceModel&, int64_t v) { return ChangeHw([v](HardwareState& s) { s.brightness = static_cast<uint32_t>(v); }); }},
        {{"brightness_ac", "N", "backlight brightness on external power"}, Kind::kBrightness, Always,
         [](const DeviceModel&, const HardwareState& h) { return std::to_string(h.brightnessExternal); },
         [](const DeviceModel&, int64_t v) { return ChangeHw([v](HardwareState& s) { s.brightnessExternal = static_cast<uint32_t>(v); }); }},
        {{"orientation", "0|90|180|270", "screen orientation in degrees"}, Kind::kOrientation, Always,
         [](const DeviceModel&, const HardwareState&) { return std::to_string(plat::OrientationDegrees(plat::GetDisplayOrientation())); },
         [](const DeviceModel&, int64_t v) { return SetOrientation(v); }},
        {{"led0", "off|on|blink", "notification LED 0"}, Kind::kLed, Always,
         [](const DeviceModel&, const HardwareState& h) -> std::string { return plat::NledStateName(h.leds[0]); },
         [](const DeviceModel&, int64_t v) { return SetLed(0, v); }},
        {{"led1", "off|on|blink", "notification LED 1"}, Kind::kLed, Always,
         [](const DeviceModel&, const HardwareState& h) -> std::string { return plat::NledStateName(h.leds[1]); },
         [](const DeviceModel&, int64_t v) { return SetLed(1, v); }},
        {{"power", "on|idle|suspend", "power state, as the power button and the idle timer set it (shows unattended too)"}, Kind::kPower, Always,
         [](const DeviceModel&, const HardwareState&) { return PowerName(); },
         [](const DeviceModel&, int64_t v) { return plat::SetDevicePower(static_cast<plat::DevicePower>(v)); }},
    };
    return facts;
}

#undef TLW_SPOT_FACT
#undef TLW_COUNT_FACT

// The access points in reach: "ap+=MAC,NAME,DBM,CHANNEL[,privacy][,adhoc]"
// adds or replaces one (by MAC), "ap-=MAC" removes one, "ap=none" clears
// them. Each is parsed first and applied later; false with the reason.
bool ParseAccessPointChange(const std::string& key, const std::string& value, std::function<bool()>* apply,
                            std::string* error) {
    if (key == "ap+") {
        plat::AccessPoint ap;
        std::string why;
        if (!plat::ParseAccessPoint(value, &ap, &why)) return *error = "bad access point '" + value + "': " + why, false;
        *apply = [ap] {
            return ChangeHw([&ap](HardwareState& s) {
                for (plat::AccessPoint& old : s.accessPoints)
                    if (old.mac == ap.mac) return void(old = ap);
                s.accessPoints.push_back(ap);
            });
        };
        return true;
    }
    if (key == "ap-") {
        plat::MacAddress mac;
        if (!plat::ParseMacAddress(value, &mac)) return *error = "bad value '" + value + "' for 'ap-' (expected a MAC address)", false;
        *apply = [mac] {
            return ChangeHw([&mac](HardwareState& s) {
                std::erase_if(s.accessPoints, [&mac](const plat::AccessPoint& ap) { return ap.mac == mac; });
            });
        };
        return true;
    }
    if (value != "none") return *error = "bad value '" + value + "' for 'ap' (expected none; use ap+= and ap-=)", false;
    *apply = [] { return ChangeHw([](HardwareState& s) { s.accessPoints.clear(); }); };
    return true;
}

// The connection manager's proxy entries that are enabled: "NAME", with
// " from SRC" and " via PROXY" when the entry names them.
std::vector<std::string> EnabledProxies() {
    std::vector<std::string> list;
    plat::HKey key = 0;
    if (plat::RegOpenKey(plat::kHkeyLocalMachine, plat::kProxyProvidersKey, &key) != 0) return list;
    std::u16string name;
    for (uint32_t i = 0; plat::RegEnumKey(key, i, &name) == 0; ++i) {
        std::u16string path = std::u16string(plat::kProxyProvidersKey) + u"\\" + name;
        uint32_t enable = 0;
        if (!plat::RegReadDword(plat::kHkeyLocalMachine, path, u"Enable", &enable) || enable != 1) continue;
        std::string line = tlw::Utf16ToUtf8(name);
        std::u16string text;
        if (plat::RegReadString(plat::kHkeyLocalMachine, path, u"SrcId", &text)) line += " from " + tlw::Utf16ToUtf8(text);
        if (plat::RegReadString(plat::kHkeyLocalMachine, path, u"Proxy", &text)) line += " via " + tlw::Utf16ToUtf8(text);
        list.push_back(line);
    }
    plat::RegCloseKey(key);
    return list;
}

bool IsAccessPointKey(const std::string& key) { return key == "ap+" || key == "ap-" || key == "ap"; }

// The SIM: "sim=ready" (no PIN) or "sim=locked:PIN" (4 ... 8 digits; locked
// until the PIN is entered).
bool ParseSimChange(const std::string& value, std::function<bool()>* apply, std::string* error) {
    std::string pin;
    if (value.rfind("locked:", 0) == 0) {
        pin = value.substr(7);
        if (pin.size() < 4 || pin.size() > 8 || pin.find_first_not_of("0123456789") != std::string::npos)
            return *error = "bad value '" + value + "' for 'sim' (expected ready or locked:PIN with 4 ... 8 digits)", false;
    } else if (value != "ready") {
        return *error = "bad value '" + value + "' for 'sim' (expected ready or locked:PIN)", false;
    }
    *apply = [pin] {
        return ChangeHw([&pin](HardwareState& s) {
            s.simPin = pin;
            s.simUnlocked = false;
        });
    };
    return true;
}

std::string SimText(const HardwareState& h) {
    if (h.simPin.empty()) return "ready";
    return (h.simUnlocked ? "unlocked:" : "locked:") + h.simPin;
}

const HardwareFactInfo kAccessPointFacts[] = {
    {"ap+", "MAC,NAME,DBM,CHANNEL[,privacy][,adhoc]", "puts a Wi-Fi access point in reach (or replaces the one with that MAC)"},
    {"ap-", "MAC", "takes the access point out of reach"},
    {"ap", "none", "no access point in reach; printed: one ap= line per access point"},
    {"sim", "ready|locked:PIN", "the SIM asks for no PIN, or for PIN (printed unlocked:PIN once entered)"},
    {"proxy", "(printed only)", "one proxy= line per enabled proxy entry of the connection manager, or none"},
};

const Fact* FindFact(const std::string& key) {
    for (const Fact& f : Facts())
        if (key == f.info.key) return &f;
    return nullptr;
}

}  // namespace

const std::vector<HardwareFactInfo>& HardwareFactTable() {
    static const std::vector<HardwareFactInfo> table = [] {
        std::vector<HardwareFactInfo> t;
        for (const Fact& f : Facts()) t.push_back(f.info);
        for (const HardwareFactInfo& f : kAccessPointFacts) t.push_back(f);
        return t;
    }();
    return table;
}

std::vector<FactChange> ReadHardwareFacts() {
    DeviceModel model = plat::CurrentDeviceModel();
    HardwareState hw;
    plat::ReadHardwareState(&hw);
    std::vector<FactChange> out;
    for (const Fact& f : Facts()) out.emplace_back(f.info.key, f.present(model) ? f.read(model, hw) : "absent");
    out.emplace_back("sim", model.hasPhone ? SimText(hw) : "absent");
    std::vector<std::string> proxies = EnabledProxies();
    if (proxies.empty()) out.emplace_back("proxy", "none");
    for (const std::string& p : proxies) out.emplace_back("proxy", p);
    if (!model.hasWifi) out.emplace_back("ap", "absent");
    else if (hw.accessPoints.empty()) out.emplace_back("ap", "none");
    for (const plat::AccessPoint& ap : hw.accessPoints) out.emplace_back("ap", plat::FormatAccessPoint(ap));
    return out;
}

bool ApplyHardwareFacts(const std::vector<FactChange>& changes, std::string* error) {
    DeviceModel model = plat::CurrentDeviceModel();
    std::vector<std::pair<const Fact*, int64_t>> parsed;
    std::vector<std::pair<size_t, std::function<bool()>>> listChanges;  // (position in parsed, change)
    for (const auto& [key, value] : changes) {
        if (IsAccessPointKey(key) || key == "sim") {
            if (key == "sim" ? !model.hasPhone : !model.hasWifi) {
                *error = "the device model '" + model.name + "' has no hardware for '" + key + "'";
                return false;
            }
            std::function<bool()> apply;
            if (key == "sim" ? !ParseSimChange(value, &apply, error) : !ParseAccessPointChange(key, value, &apply, error))
                return false;
            listChanges.emplace_back(parsed.size(), std::move(apply));
            continue;
        }
        const Fact* fact = FindFact(key);
        if (!fact) {
            *error = "unknown hardware key '" + key + "' (see tlwsim hw --help)";
            return false;
        }
        if (!fact->present(model)) {
            *error = "the device model '" + model.name + "' has no hardware for '" + key + "'";
            return false;
        }
        int64_t v = 0;
        if (!ParseKind(fact->kind, value, &v)) {
            *error = "bad value '" + value + "' for '" + key + "' (expected " + fact->info.values + ")";
            return false;
        }
        if (fact->kind == Kind::kBluetooth && v == 2 && model.bluetoothStack != BluetoothStack::kMicrosoft) {
            *error = "'bt=discoverable' needs the Microsoft Bluetooth stack; this model has WIDCOMM (use on or off)";
            return false;
        }
        parsed.emplace_back(fact, v);
    }
    plat::HardwareState before;
    plat::ReadHardwareState(&before);
    size_t nextList = 0;
    auto applyListChanges = [&](size_t position) {
        for (; nextList < listChanges.size() && listChanges[nextList].first == position; ++nextList) {
            plat::SetLastError(plat::kErrorSuccess);
            if (!listChanges[nextList].second()) return false;
        }
        return true;
    };
    // A change that fails says why (a full or failing disk, most likely);
    // the changes before it stay made.
    auto listFailed = [&] {
        *error = "cannot change the SIM or the access points: " + FailureReason(plat::GetLastError());
        return false;
    };
    for (size_t i = 0; i < parsed.size(); ++i) {
        if (!applyListChanges(i)) return listFailed();
        const auto& [fact, v] = parsed[i];
        plat::SetLastError(plat::kErrorSuccess);
        if (!fact->write(model, v)) {
            *error = std::string("cannot change '") + fact->info.key + "': " + FailureReason(plat::GetLastError());
            return false;
        }
    }
    if (!applyListChanges(parsed.size())) return listFailed();
    // A new power source or battery reaches the programs as the power
    // manager's notification, as on the phone; the registry facts notify
    // their watchers through the registry itself.
    plat::HardwareState after;
    plat::ReadHardwareState(&after);
    if (after.acLineStatus != before.acLineStatus || after.batteryPercent != before.batteryPercent ||
        after.batteryCurrent != before.batteryCurrent || after.charging != before.charging)
        plat::RaisePowerStatusChange();
    return true;
}

bool ParseFactArguments(const std::vector<std::string>& args, std::vector<FactChange>* out, std::string* error) {
    out->clear();
    for (const std::string& arg : args) {
        size_t eq = arg.find('=');
        if (eq == std::string::npos || eq == 0) {
            *error = "'" + arg + "' is not KEY=VALUE";
            return false;
        }
        out->emplace_back(arg.substr(0, eq), arg.substr(eq + 1));
    }
    return true;
}

}  // namespace sim
