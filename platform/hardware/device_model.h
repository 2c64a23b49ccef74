// The device model: what kind of phone the simulated device is. Its OEM
// information string, screen, platform version, code page and locale, the
// optional libraries and drivers it carries, its Bluetooth stack and how its
// radios answer the wireless-device switch.
//
// A model is a text file of "key=value" lines ('#' starts a comment line);
// `tlwsim init` copies one from assets/models/ into "<root>/.device/model".
// Keys:
//   name=NAME                      the model's name (else the file's name)
//   oem_info=TEXT                  the OEM information string
//   os_version=MAJOR.MINOR.BUILD   platform version, e.g. 5.2.19202
//   screen=WIDTHxHEIGHT            pixels, portrait
//   dpi=N or dpi=X,Y               logical dots per inch
//   code_page=N                    ANSI code page (1250, 1251, 1252, ...)
//   locale=NAME                    system locale, e.g. en-US, de-DE
//   libraries=A.dll,B.dll          optional libraries that load
//   drivers=BKL1:,UIO1:            stream drivers that open
//   radios=wifi,phone,bluetooth    radio nodes of the wireless-device switch
//   bluetooth=microsoft|widcomm|none   the Bluetooth stack
//   widcomm_version=TEXT           the WIDCOMM stack's version string
//   wifi_follows_switch=yes|no|late  the switch really turns the radio on/off
//                                  (late: one second after the switch)
//   phone_follows_switch=yes|no
//   bluetooth_follows_switch=yes|no
//   sim_busy_reads=N               SIM lock-state reads that fail after the
//                                  radio comes up (the SIM starting up)
//   reg=ROOT\KEY|NAME|dword:N      a registry value the phone starts with
//   reg=ROOT\KEY|NAME|sz:TEXT      (may repeat)
//   state.KEY=VALUE                a starting hardware fact (see `tlwsim hw`)
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plat {

enum class BluetoothStack : uint8_t {
    kNone = 0,       // no Bluetooth radio
    kMicrosoft = 1,  // the platform's own stack: switch node and utility library
    kWidcomm = 2,    // the WIDCOMM stack with its tray window
};

// A registry value the model's phone starts with.
struct RegistrySeed {
    std::u16string key;    // full key path with its root ("HKCU\ControlPanel\Backlight")
    std::u16string name;   // value name
    uint32_t type = 4;     // kRegDword or kRegSz
    uint32_t dword = 0;    // the value when a DWORD
    std::u16string text;   // the value when a string
};

struct DeviceModel {
    std::string name = "generic-qvga";           // model name (its file's name)
    std::u16string oemInfo = u"Generic QVGA Phone";  // OEM information string
    uint32_t osMajor = 5;                        // platform version: major
    uint32_t osMinor = 2;                        // minor
    uint32_t osBuild = 19202;                    // build number
    int32_t screenWidth = 240;                   // pixels
    int32_t screenHeight = 320;                  // pixels
    int32_t dpiX = 96;                           // logical dots per inch, horizontal
    int32_t dpiY = 96;                           // vertical
    unsigned codePage = 1252;                    // ANSI code page
    std::string locale = "en-US";                // system locale
    std::vector<std::u16string> libraries = {u"ossvcs.dll", u"bthutil.dll", u"ril.dll", u"Phone.dll"};  // optional libraries that load
    std::vector<std::u16string> drivers = {u"UIO1:", u"BKL1:"};  // stream drivers that open
    bool hasWifi = true;                         // a Wi-Fi node in the switch list
    bool hasPhone = true;                        // a phone node (a phone radio)
    bool hasBluetoothNode = true;                // a Bluetooth node in the switch list
    BluetoothStack bluetoothStack = BluetoothStack::kMicrosoft;  // the Bluetooth stack
    std::string widcommVersion;                  // WIDCOMM version string (widcomm stack only)
    bool wifiFollowsSwitch = true;               // the switch turns the Wi-Fi radio on and off
    uint32_t wifiSwitchDelayMs = 0;              // ... this long after the switch (0: at once)
    bool phoneFollowsSwitch = true;              // ... the phone radio
    bool bluetoothFollowsSwitch = true;          // ... the Bluetooth radio
    uint32_t simBusyReads = 0;                   // lock-state reads failing after the radio comes up
    std::vector<RegistrySeed> registry;          // starting registry values
    std::vector<std::pair<std::string, std::string>> initialState;  // starting hardware facts, in file order
};

// Parses a model file's text. name becomes the model's name. False with a
// message naming the line for an unknown key or a bad value.
bool ParseDeviceModel(std::string_view text, std::string_view name, DeviceModel* out, std::string* error);
// Reads and parses a model file; the name is the file name without extension.
bool ReadDeviceModelFile(const std::filesystem::path& file, DeviceModel* out, std::string* error);

// "<root>/.device/model".
std::filesystem::path DeviceModelPath();

// The model of this process's device, read from its model file (again when
// the file changes). A device without a model file is the generic QVGA
// phone, the defaults above. An unreadable model file also gives the
// defaults.
DeviceModel CurrentDeviceModel();

// Applies the model to this process: the ANSI code page, the locale, the
// screen size and dots per inch. Done once per device (a later call for the
// same device and model file does nothing). False when the model file exists
// but cannot be read (the defaults are applied then).
bool ApplyDeviceModel();

// True when the model carries the library (name matched without regard to
// case, folders ignored, ".dll" added when the name has no extension).
bool ModelHasLibrary(const DeviceModel& model, std::u16string_view name);
// True when the model carries the stream driver ("BKL1:").
bool ModelHasDriver(const DeviceModel& model, std::u16string_view name);

// The system-parameter query for the OEM information (SPI_GETOEMINFO):
// copies the string, cut to capacity - 1 characters, and terminates it.
// False for a null buffer or capacity 0.
constexpr uint32_t kSpiGetOemInfo = 258;
bool GetOemInfo(char16_t* buffer, uint32_t capacity);

// How long a Wi-Fi radio that follows the switch late takes.
inline constexpr uint32_t kLateRadioDelayMs = 1000;

}  // namespace plat
