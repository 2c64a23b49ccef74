#include "platform/hardware/device_model.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <mutex>
#include <sstream>
#include <system_error>

#include "base/text.h"
#include "platform/storage/code_page.h"
#include "platform/storage/device.h"
#include "platform/gdi/gdi.h"
#include "platform/storage/locale.h"
#include "platform/storage/registry.h"

namespace plat {
namespace {

bool ParseUnsigned(std::string_view text, uint32_t max, uint32_t* out) {
    uint32_t v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || v > max) return false;
    *out = v;
    return true;
}

bool ParseYesNo(std::string_view text, bool* out) {
    if (text == "yes" || text == "1") *out = true;
    else if (text == "no" || text == "0") *out = false;
    else return false;
    return true;
}

std::vector<std::string_view> SplitList(std::string_view text, char separator) {
    std::vector<std::string_view> items;
    while (true) {
        size_t end = text.find(separator);
        std::string_view item = text.substr(0, end);
        while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
        while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
        if (!item.empty()) items.push_back(item);
        if (end == std::string_view::npos) break;
        text = text.substr(end + 1);
    }
    return items;
}

// "ROOT\KEY|NAME|dword:N" or "ROOT\KEY|NAME|sz:TEXT".
bool ParseRegistrySeed(std::string_view text, RegistrySeed* out) {
    size_t bar1 = text.find('|');
    if (bar1 == std::string_view::npos) return false;
    size_t bar2 = text.find('|', bar1 + 1);
    if (bar2 == std::string_view::npos) return false;
    RegistrySeed seed;
    seed.key = tlw::Utf8ToUtf16(text.substr(0, bar1));
    seed.name = tlw::Utf8ToUtf16(text.substr(bar1 + 1, bar2 - bar1 - 1));
    std::string_view value = text.substr(bar2 + 1);
    HKey root = 0;
    std::u16string subKey;
    if (!ParseRegistryPath(seed.key, &root, &subKey) || subKey.empty()) return false;
    if (value.substr(0, 6) == "dword:") {
        seed.type = kRegDword;
        if (!ParseUnsigned(value.substr(6), UINT32_MAX, &seed.dword)) return false;
    } else if (value.substr(0, 3) == "sz:") {
        seed.type = kRegSz;
        seed.text = tlw::Utf8ToUtf16(value.substr(3));
    } else {
        return false;
    }
    *out = std::move(seed);
    return true;
}

// Applies one "key=value" line to the model; false with the reason.
bool ApplyKey(std::string_view key, std::string_view value, DeviceModel* m, std::string* why) {
    uint32_t n = 0;
    if (key == "name") {
        if (value.empty()) return *why = "a name expected", false;
        m->name = std::string(value);
    } else if (key == "oem_info") {
        m->oemInfo = tlw::Utf8ToUtf16(value);
    } else if (key == "os_version") {
        std::vector<std::string_view> parts = SplitList(value, '.');
        uint32_t v[3] = {};
        if (parts.size() != 3) return *why = "MAJOR.MINOR.BUILD expected", false;
        for (int i = 0; i < 3; ++i)
            if (!ParseUnsigned(parts[i], 0xFFFF, &v[i])) return *why = "MAJOR.MINOR.BUILD expected", false;
        m->osMajor = v[0];
        m->osMinor = v[1];
        m->osBuild = v[2];
    } else if (key == "screen") {
        size_t x = value.find('x');
        uint32_t w = 0, h = 0;
        if (x == std::string_view::npos || !ParseUnsigned(value.substr(0, x), 4096, &w) ||
            !ParseUnsigned(value.substr(x + 1), 4096, &h) || w == 0 || h == 0)
            return *why = "WIDTHxHEIGHT expected", false;
        m->screenWidth = static_cast<int32_t>(w);
        m->screenHeight = static_cast<int32_t>(h);
    } else if (key == "dpi") {
        std::vector<std::string_view> parts = SplitList(value, ',');
        uint32_t x = 0, y = 0;
        if (parts.empty() || parts.size() > 2 || !ParseUnsigned(parts[0], 1000, &x) ||
            !ParseUnsigned(parts.back(), 1000, &y) || x == 0 || y == 0)
            return *why = "N or X,Y dots per inch expected", false;
        m->dpiX = static_cast<int32_t>(x);
        m->dpiY = static_cast<int32_t>(y);
    } else if (key == "code_page") {
        if (!ParseUnsigned(value, 65535, &n) || !IsKnownCodePage(n)) return *why = "a known code page expected", false;
        m->codePage = n;
    } else if (key == "locale") {
        if (value.empty()) return *why = "a locale name expected", false;
        m->locale = std::string(value);
    } else if (key == "libraries" || key == "drivers") {
        std::vector<std::u16string>& list = key == "libraries" ? m->libraries : m->drivers;
        list.clear();
        for (std::string_view item : SplitList(value, ',')) list.push_back(tlw::Utf8ToUtf16(item));
    } else if (key == "radios") {
        m->hasWifi = m->hasPhone = m->hasBluetoothNode = false;
        for (std::string_view item : SplitList(value, ',')) {
            if (item == "wifi") m->hasWifi = true;
            else if (item == "phone") m->hasPhone = true;
            else if (item == "bluetooth") m->hasBluetoothNode = true;
            else return *why = "radios are wifi, phone and bluetooth", false;
        }
    } else if (key == "bluetooth") {
        if (value == "microsoft") m->bluetoothStack = BluetoothStack::kMicrosoft;
        else if (value == "widcomm") m->bluetoothStack = BluetoothStack::kWidcomm;
        else if (value == "none") m->bluetoothStack = BluetoothStack::kNone;
        else return *why = "microsoft, widcomm or none expected", false;
    } else if (key == "widcomm_version") {
        m->widcommVersion = std::string(value);
    } else if (key == "wifi_follows_switch" && value == "late") {
        m->wifiFollowsSwitch = true;
        m->wifiSwitchDelayMs = kLateRadioDelayMs;
    } else if (key == "wifi_follows_switch" || key == "phone_follows_switch" || key == "bluetooth_follows_switch") {
        bool* flag = key == "wifi_follows_switch" ? &m->wifiFollowsSwitch
                   : key == "phone_follows_switch" ? &m->phoneFollowsSwitch
                                                   : &m->bluetoothFollowsSwitch;
        if (!ParseYesNo(value, flag)) return *why = key == "wifi_follows_switch" ? "yes, no or late expected" : "yes or no expected", false;
        if (key == "wifi_follows_switch") m->wifiSwitchDelayMs = 0;
    } else if (key == "sim_busy_reads") {
        if (!ParseUnsigned(value, 100, &m->simBusyReads)) return *why = "a count of 0 ... 100 expected", false;
    } else if (key == "reg") {
        RegistrySeed seed;
        if (!ParseRegistrySeed(value, &seed)) return *why = "ROOT\\KEY|NAME|dword:N or ROOT\\KEY|NAME|sz:TEXT expected", false;
        m->registry.push_back(std::move(seed));
    } else if (key.substr(0, 6) == "state." && key.size() > 6) {
        m->initialState.emplace_back(std::string(key.substr(6)), std::string(value));
    } else {
        return *why = "unknown key", false;
    }
    return true;
}

// The model of the device, kept while its model file stays the same.
struct ModelCache {
    std::mutex lock;                         // guards the fields below
    bool valid = false;                      // model below belongs to the key below
    std::filesystem::path root;              // device root of the cached model
    std::filesystem::file_time_type stamp;   // model file's last write time
    uintmax_t size = 0;                      // model file's size
    bool fileExists = false;                 // the device had a model file
    bool readOk = true;                      // the model file was read and parsed
    DeviceModel model;                       // the cached model
    bool applied = false;                    // ApplyDeviceModel ran for this key
};

ModelCache& Cache() {
    static ModelCache cache;
    return cache;
}

// Refreshes the cache when the device or its model file changed; call with
// the cache's lock held.
void RefreshLocked(ModelCache& c) {
    std::error_code ec;
    std::filesystem::path root = DeviceRoot();
    std::filesystem::path file = root.empty() ? std::filesystem::path() : root / ".device" / "model";
    bool exists = !file.empty() && std::filesystem::is_regular_file(file, ec);
    std::filesystem::file_time_type stamp{};
    uintmax_t size = 0;
    if (exists) {
        stamp = std::filesystem::last_write_time(file, ec);
        size = std::filesystem::file_size(file, ec);
    }
    if (c.valid && c.root == root && c.fileExists == exists && c.stamp == stamp && c.size == size) return;
    c.valid = true;
    c.root = root;
    c.fileExists = exists;
    c.stamp = stamp;
    c.size = size;
    c.applied = false;
    c.model = DeviceModel{};
    c.readOk = true;
    if (exists) {
        std::string error;
        DeviceModel m;
        if (ReadDeviceModelFile(file, &m, &error)) c.model = std::move(m);
        else c.readOk = false;
    }
}

// Folders dropped; ".dll" added when the name has no extension.
std::u16string LibraryFileName(std::u16string_view name) {
    size_t slash = name.find_last_of(u"\\/");
    if (slash != std::u16string_view::npos) name = name.substr(slash + 1);
    std::u16string file(name);
    if (file.find(u'.') == std::u16string::npos) file += u".dll";
    return file;
}

}  // namespace

bool ParseDeviceModel(std::string_view text, std::string_view name, DeviceModel* out, std::string* error) {
    DeviceModel m;
    m.name = std::string(name);
    int lineNumber = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (line.empty() || line.front() == '#') continue;
        size_t eq = line.find('=');
        std::string why = "key=value expected";
        if (eq == std::string_view::npos || !ApplyKey(line.substr(0, eq), line.substr(eq + 1), &m, &why)) {
            *error = "line " + std::to_string(lineNumber) + " '" + std::string(line) + "': " + why;
            return false;
        }
    }
    if (m.bluetoothStack == BluetoothStack::kWidcomm) m.hasBluetoothNode = false;  // the tray drives that radio
    if (m.bluetoothStack == BluetoothStack::kNone) m.hasBluetoothNode = false;
    *out = std::move(m);
    return true;
}

bool ReadDeviceModelFile(const std::filesystem::path& file, DeviceModel* out, std::string* error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        *error = "cannot read the device model '" + file.string() + "'";
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string why;
    if (!ParseDeviceModel(text.str(), file.stem().string(), out, &why)) {
        *error = file.string() + ": " + why;
        return false;
    }
    return true;
}

std::filesystem::path DeviceModelPath() { return DeviceStateDir() / "model"; }

DeviceModel CurrentDeviceModel() {
    ModelCache& c = Cache();
    std::lock_guard<std::mutex> guard(c.lock);
    RefreshLocked(c);
    return c.model;
}

bool ApplyDeviceModel() {
    ModelCache& c = Cache();
    DeviceModel m;
    bool ok = true;
    {
        std::lock_guard<std::mutex> guard(c.lock);
        RefreshLocked(c);
        if (c.applied) return c.readOk;
        c.applied = true;
        m = c.model;
        ok = c.readOk;
    }
    SetAnsiCodePage(m.codePage);
    SetLocaleName(m.locale);  // an unsupported name keeps the locale in force
    SetScreenSize(m.screenWidth, m.screenHeight);
    SetScreenDpi(m.dpiX, m.dpiY);
    return ok;
}

bool ModelHasLibrary(const DeviceModel& model, std::u16string_view name) {
    std::u16string wanted = LibraryFileName(name);
    return std::any_of(model.libraries.begin(), model.libraries.end(),
                       [&](const std::u16string& lib) { return tlw::EqualsNoCase(LibraryFileName(lib), wanted); });
}

bool ModelHasDriver(const DeviceModel& model, std::u16string_view name) {
    return std::any_of(model.drivers.begin(), model.drivers.end(),
                       [&](const std::u16string& d) { return tlw::EqualsNoCase(d, name); });
}

bool GetOemInfo(char16_t* buffer, uint32_t capacity) {
    if (!buffer || capacity == 0) return false;
    std::u16string info = CurrentDeviceModel().oemInfo;
    size_t n = std::min<size_t>(info.size(), capacity - 1);
    std::copy_n(info.data(), n, buffer);
    buffer[n] = 0;
    return true;
}

}  // namespace plat
