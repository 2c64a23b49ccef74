#include "sim/install_model.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/text.h"
#include "platform/storage/device.h"
#include "platform/hardware/device_model.h"
#include "platform/hardware/hardware.h"
#include "platform/storage/registry.h"
#include "sim/hardware_facts.h"

namespace sim {
namespace {

namespace fs = std::filesystem;

fs::path ModelFolder() { return fs::path(TLW_ASSET_DIR) / "models"; }

bool IsPlainName(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    });
}

std::string KnownNames() {
    std::string list;
    for (const std::string& n : DeviceModelNames()) list += (list.empty() ? "" : ", ") + n;
    return list;
}

bool WriteSeed(const plat::RegistrySeed& seed) {
    plat::HKey root = 0;
    std::u16string subKey;
    if (!plat::ParseRegistryPath(seed.key, &root, &subKey)) return false;
    if (seed.type == plat::kRegSz) return plat::RegWriteString(root, subKey, seed.name, seed.text);
    return plat::RegWriteDword(root, subKey, seed.name, seed.dword);
}

// The state every phone starts in, before the model's own starting facts.
std::vector<FactChange> StartingFacts(const plat::DeviceModel& m) {
    std::vector<FactChange> facts = {
        {"ac", "off"},      {"battery", "100"},  {"current", "-120"}, {"charging", "off"},
        {"cradle", "off"},  {"headset", "off"},  {"handsfree", "off"}, {"carkit", "off"},
        {"btaudio", "off"}, {"sms", "0"},        {"mms", "0"},         {"email", "0"},
        {"vmail", "0"},          {"push", "off"},
    };
    if (m.hasPhone) {
        facts.emplace_back("data", "off");
        facts.emplace_back("phone", "on");
        facts.emplace_back("call", "none");
        facts.emplace_back("missed", "0");
    }
    if (m.hasWifi) facts.emplace_back("wifi", "off");
    if (m.bluetoothStack != plat::BluetoothStack::kNone) facts.emplace_back("bt", "off");
    for (const auto& change : m.initialState) facts.push_back(change);
    return facts;
}

// The connection manager's standard networks, and on a phone the packet-data
// flag of its radio, unless the model's own registry values set them.
bool SeedNetworks(const plat::DeviceModel& m) {
    const std::pair<const char16_t*, const char16_t*> networks[] = {
        {u"The Internet", u"{436EF144-B4FB-4863-A041-8F905A62C572}"},
        {u"My Work Network", u"{A1182988-0D73-439E-87AD-2A5B369F808B}"},
        {u"WAP Network", u"{7022E968-5A97-4051-BC1C-C578E2FBA5D9}"},
        {u"Secure WAP Network", u"{F28D1F74-72BE-4394-A4A7-4E296219390C}"},
    };
    for (const auto& [name, guid] : networks) {
        std::u16string key = std::u16string(u"Comm\\ConnMgr\\Destinations\\") + name;
        std::u16string existing;
        if (!plat::RegReadString(plat::kHkeyLocalMachine, key, u"DestId", &existing) &&
            !plat::RegWriteString(plat::kHkeyLocalMachine, key, u"DestId", guid))
            return false;
    }
    uint32_t packet = 0;
    if (m.hasPhone && !plat::RegReadDword(plat::kHkeyLocalMachine, u"Comm\\Cellular\\RIL", u"Packet", &packet))
        return plat::RegWriteDword(plat::kHkeyLocalMachine, u"Comm\\Cellular\\RIL", u"Packet", 1);
    return true;
}

}  // namespace

std::vector<std::string> DeviceModelNames() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(ModelFolder(), ec)) {
        if (e.path().extension() == ".model") names.push_back(e.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool InstallDeviceModel(const std::string& modelName, std::string* error) {
    std::string name = modelName.empty() ? kDefaultModelName : modelName;
    fs::path source = ModelFolder() / (name + ".model");
    std::error_code ec;
    if (!IsPlainName(name) || !fs::is_regular_file(source, ec)) {
        *error = "unknown device model '" + name + "' (known: " + KnownNames() + ")";
        return false;
    }
    if (plat::DeviceRoot().empty()) {
        *error = "no device selected";
        return false;
    }
    plat::DeviceModel model;
    if (!plat::ReadDeviceModelFile(source, &model, error)) return false;

    fs::copy_file(source, plat::DeviceModelPath(), fs::copy_options::overwrite_existing, ec);
    if (ec) {
        *error = "cannot copy the device model into " + plat::DeviceModelPath().string() + ": " + ec.message();
        return false;
    }
    // A fresh hardware state, then every fact through the console's own
    // setters so that the registry side and the stored side agree.
    plat::HardwareState fresh;
    fresh.phoneState = model.hasPhone ? 1 : 0;
    if (!plat::ReplaceHardwareState(fresh)) {
        *error = "cannot write the hardware state of the device";
        return false;
    }
    if (model.bluetoothStack == plat::BluetoothStack::kWidcomm &&
        !plat::RegWriteString(plat::kHkeyLocalMachine, plat::kWidcommVersionKey, plat::kWidcommVersionValue,
                              tlw::Utf8ToUtf16(model.widcommVersion))) {
        *error = "cannot write the WIDCOMM version into the device registry";
        return false;
    }
    for (const plat::RegistrySeed& seed : model.registry) {
        if (!WriteSeed(seed)) {
            *error = "cannot write the model's registry value " + tlw::Utf16ToUtf8(seed.key) + " " +
                     tlw::Utf16ToUtf8(seed.name);
            return false;
        }
    }
    if (!SeedNetworks(model)) {
        *error = "cannot write the connection manager's networks into the device registry";
        return false;
    }
    std::string why;
    if (!ApplyHardwareFacts(StartingFacts(model), &why)) {
        *error = "device model '" + name + "': " + why;
        return false;
    }
    plat::ApplyDeviceModel();
    return true;
}

bool SetDeviceScreen(const std::string& screen, std::string* error) {
    const char* lines = nullptr;
    if (screen == "qvga") lines = "screen=240x320\ndpi=96\n";
    else if (screen == "vga") lines = "screen=480x640\ndpi=192\n";
    else {
        *error = "unknown screen '" + screen + "' (qvga or vga)";
        return false;
    }
    std::error_code ec;
    if (plat::DeviceRoot().empty() || !fs::is_regular_file(plat::DeviceModelPath(), ec)) {
        *error = "the device has no model yet";
        return false;
    }
    // Later keys of a model file override earlier ones.
    std::ofstream out(plat::DeviceModelPath(), std::ios::binary | std::ios::app);
    out << "\n# screen chosen at init\n" << lines;
    out.flush();
    if (!out) {
        *error = "cannot write " + plat::DeviceModelPath().string();
        return false;
    }
    plat::ApplyDeviceModel();
    return true;
}

}  // namespace sim
