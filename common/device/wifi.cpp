#include "common/device/wifi.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "common/device/device_operations.h"
#include "common/device/radio_states.h"
#include "platform/hardware/device_model.h"
#include "platform/hardware/library.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/threads.h"
#include "platform/power/device_power.h"
#include "platform/process/process.h"
#include "platform/radio/ndis_uio.h"
#include "platform/radio/wifi_oem.h"

namespace tlw {
namespace {

constexpr int kPollTries = 20;           // reads of the radio state while it follows
constexpr uint32_t kPollMs = 200;        // between them
constexpr uint32_t kOemUtilSettleMs = 2000;
constexpr uint32_t kScanMs = 700;        // a scan's time to find the access points
constexpr uint32_t kObjectBufferBytes = 4096;
constexpr uint32_t kLinkSpeedBufferBytes = 64;
constexpr uint32_t kBssidBufferBytes = 128;
constexpr uint32_t kBindingBufferBytes = 1024;
constexpr uint32_t kBindingsSearched = 5;
constexpr size_t kAdapterNameCapacity = 39;  // wide characters
constexpr size_t kOemInfoCapacity = 256;
constexpr char16_t kToshibaWifiProgram[] = u"\\Windows\\tfwifi.exe";

// The process-wide wireless adapter.
struct WirelessAdapter {
    std::recursive_mutex lock;       // guards the fields below between threads
    plat::Handle driver;             // "UIO1:", empty when closed
    bool found = false;              // a wireless adapter was found on this handle
    std::u16string name;             // its device name (at most 39 characters)
    std::u16string powerName;        // "{98C5250D-...}\" + name
};

WirelessAdapter& Adapter() {
    static WirelessAdapter adapter;
    return adapter;
}

// A request buffer: the object header and its data area.
struct ObjectBuffer {
    std::vector<uint8_t> bytes;
    explicit ObjectBuffer(uint32_t dataBytes) : bytes(plat::kNdisUioOidHeaderSize + dataBytes, 0) {}
    void Address(uint32_t oid, const std::u16string& adapter) {
        plat::NdisUioOidRequest header{oid, adapter.c_str()};
        std::memcpy(bytes.data(), &header, sizeof header);
    }
    uint8_t* Data() { return bytes.data() + plat::kNdisUioOidHeaderSize; }
    uint32_t Size() const { return static_cast<uint32_t>(bytes.size()); }
};

// Sets or queries an object of the adapter; for a query, *dataBytes gets the
// bytes of data returned.
bool ObjectRequest(WirelessAdapter& a, bool set, uint32_t oid, ObjectBuffer* buffer, uint32_t* dataBytes) {
    buffer->Address(oid, a.name);
    uint32_t returned = 0;
    bool ok = plat::NdisUioIoControl(a.driver, set ? plat::kIoctlNdisUioSetOid : plat::kIoctlNdisUioQueryOid,
                                     buffer->bytes.data(), buffer->Size(), set ? nullptr : buffer->bytes.data(),
                                     set ? 0 : buffer->Size(), &returned);
    if (dataBytes) *dataBytes = returned > plat::kNdisUioOidHeaderSize ? returned - plat::kNdisUioOidHeaderSize : 0;
    return ok;
}

bool RequestScan(WirelessAdapter& a) {
    ObjectBuffer buffer(kObjectBufferBytes);
    return ObjectRequest(a, true, plat::kOid80211BssidListScan, &buffer, nullptr);
}

// Polls until the Wi-Fi state matches on; true when it did.
bool WaitForWifi(bool on) {
    for (int i = 0; i < kPollTries && (GetWifiState() != 0) != on; ++i) plat::Sleep(kPollMs);
    return (GetWifiState() != 0) == on;
}

// The first fallbacks: the makers' libraries. True when one of them loaded
// (the chain stops there).
bool SwitchThroughOemLibrary(bool on) {
    if (plat::HModule lib = plat::LoadLibrary(u"OEMUtil.dll")) {
        if (auto fn = reinterpret_cast<plat::OemSetWlanRadioFn>(plat::GetProcAddress(lib, plat::kOemSetWlanRadio))) {
            uint32_t radioOff = on ? 0 : 1;
            fn(&radioOff);
            plat::Sleep(kOemUtilSettleMs);
        }
        plat::FreeLibrary(lib);
        return true;
    }
    if (plat::HModule lib = plat::LoadLibrary(u"AximSDK.dll")) {
        if (auto fn = reinterpret_cast<plat::AximSetWlanPowerStateExFn>(
                plat::GetProcAddress(lib, plat::kAximSetWlanPowerStateEx))) {
            uint32_t powerOn = on ? 1 : 0;
            fn(&powerOn);
        }
        plat::FreeLibrary(lib);
        return true;
    }
    return false;
}

bool IsToshiba() {
    char16_t info[kOemInfoCapacity] = {};
    if (!plat::GetOemInfo(info, kOemInfoCapacity)) return false;
    return std::u16string_view(info) == u"TOSHIBA";
}

}  // namespace

int32_t ChannelFromFrequency(uint32_t frequency) {
    int64_t f = frequency;
    if (f >= 2412000) return static_cast<int32_t>((f - 2412000) / 5000 + 1);
    if (f < 20) return static_cast<int32_t>(f);
    return static_cast<int32_t>((f - 24120) / 50 + 1);
}

void SetWifiRadio(bool on) {
    SetRadioState(kRadioTypeWifi, on ? 1 : 0);
    if (WaitForWifi(on)) return;
    if (SwitchThroughOemLibrary(on)) return;
    if (IsToshiba()) {
        // The maker's program toggles the radio, for on and off alike.
        plat::ProcessInformation info{};
        if (plat::CreateProcess(kToshibaWifiProgram, u"", 0, &info)) {
            plat::CloseHandle(info.thread);
            plat::CloseHandle(info.process);
        }
        if (WaitForWifi(on)) return;
    }
    WirelessAdapter& a = Adapter();
    std::lock_guard<std::recursive_mutex> guard(a.lock);
    if (OpenWirelessAdapter()) {
        plat::SetDevicePower(a.powerName, plat::kPowerName, plat::kPwrDeviceUnspecified);
        CloseWirelessAdapter();
    }
}

bool OpenWirelessAdapter() {
    WirelessAdapter& a = Adapter();
    std::lock_guard<std::recursive_mutex> guard(a.lock);
    if (a.driver && a.found) return true;
    if (!a.driver) {
        a.driver = plat::OpenNdisUio();
        if (!a.driver) return false;
    }
    a.found = false;
    a.powerName.clear();
    for (uint32_t index = 0; index < kBindingsSearched; ++index) {
        std::vector<uint8_t> buffer(kBindingBufferBytes, 0);
        plat::NdisUioQueryBinding query{};
        query.bindingIndex = index;
        std::memcpy(buffer.data(), &query, sizeof query);
        uint32_t returned = 0;
        if (!plat::NdisUioIoControl(a.driver, plat::kIoctlNdisUioQueryBinding, buffer.data(), sizeof query,
                                    buffer.data(), kBindingBufferBytes, &returned))
            continue;
        std::memcpy(&query, buffer.data(), sizeof query);
        // The name must lie inside what the driver returned.
        if (query.deviceNameOffset > returned || query.deviceNameLength > returned - query.deviceNameOffset) continue;
        std::u16string name(query.deviceNameLength / 2, u'\0');
        std::memcpy(name.data(), buffer.data() + query.deviceNameOffset, name.size() * 2);
        size_t end = name.find(u'\0');
        if (end != std::u16string::npos) name.resize(end);
        if (name.size() > kAdapterNameCapacity) name.resize(kAdapterNameCapacity);
        a.name = name;
        if (RequestScan(a)) {
            a.found = true;
            a.powerName = std::u16string(plat::kPmNetworkAdapterClass) + u"\\" + a.name;
            break;
        }
    }
    return a.found;
}

void CloseWirelessAdapter() {
    WirelessAdapter& a = Adapter();
    std::lock_guard<std::recursive_mutex> guard(a.lock);
    if (a.driver) plat::CloseHandle(a.driver);
    a.driver = {};
    a.found = false;
}

size_t ScanAccessPoints(AccessPointInfo records[kMaxAccessPoints]) {
    for (size_t i = 0; i < kMaxAccessPoints; ++i) records[i].signal = kNoSignal;
    WirelessAdapter& a = Adapter();
    std::lock_guard<std::recursive_mutex> guard(a.lock);
    RequestScan(a);
    plat::Sleep(kScanMs);
    ObjectBuffer buffer(kObjectBufferBytes);
    uint32_t dataBytes = 0;
    if (!ObjectRequest(a, false, plat::kOid80211BssidList, &buffer, &dataBytes)) return 0;
    dataBytes = std::min(dataBytes, kObjectBufferBytes);
    if (dataBytes < sizeof(plat::Ndis80211BssidList)) return 0;
    const uint8_t* data = buffer.Data();
    uint32_t items = 0;
    std::memcpy(&items, data, sizeof items);
    size_t count = std::min<size_t>(items, kMaxAccessPoints);
    size_t offset = sizeof(plat::Ndis80211BssidList);
    size_t filled = 0;
    for (; filled < count; ++filled) {
        // Each item starts with its own length; one that does not fit in
        // what the driver returned ends the list.
        if (dataBytes - offset < sizeof(plat::NdisWlanBssid)) break;
        plat::NdisWlanBssid item;
        std::memcpy(&item, data + offset, sizeof item);
        if (item.length < sizeof item || item.length > dataBytes - offset) break;
        AccessPointInfo& r = records[filled];
        r.channel = ChannelFromFrequency(item.configuration.dsConfig);
        r.privacy = static_cast<int32_t>(item.privacy) * 16;
        size_t nameBytes = std::min<size_t>({item.ssid.ssidLength, sizeof item.ssid.ssid, sizeof r.name - 1});
        std::memcpy(r.name, item.ssid.ssid, nameBytes);
        r.name[nameBytes] = 0;
        r.signal = item.rssi;
        r.reserved = 0;
        std::memcpy(r.mac, item.macAddress, sizeof r.mac);
        char text[18];
        std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", r.mac[0], r.mac[1], r.mac[2], r.mac[3],
                      r.mac[4], r.mac[5]);
        std::fill(std::begin(r.macText), std::end(r.macText), u'\0');
        std::copy(text, text + 17, r.macText);
        r.infrastructure = item.infrastructureMode != 0 ? 1 : 0;
        offset += item.length;
    }
    return filled;
}

uint32_t GetLinkSpeed() {
    WirelessAdapter& a = Adapter();
    std::lock_guard<std::recursive_mutex> guard(a.lock);
    ObjectBuffer buffer(kLinkSpeedBufferBytes);
    uint32_t dataBytes = 0;
    if (!ObjectRequest(a, false, plat::kOidGenLinkSpeed, &buffer, &dataBytes) || dataBytes < 4) return 0;
    uint32_t speed = 0;
    std::memcpy(&speed, buffer.Data(), sizeof speed);
    return speed / 1000;
}

uint32_t GetConnectedAccessPoint(uint8_t mac[6]) {
    WirelessAdapter& a = Adapter();
    std::lock_guard<std::recursive_mutex> guard(a.lock);
    ObjectBuffer buffer(kBssidBufferBytes);
    uint32_t dataBytes = 0;
    if (!ObjectRequest(a, false, plat::kOid80211Bssid, &buffer, &dataBytes) || dataBytes < 6) {
        uint32_t error = plat::GetLastError();
        std::memset(mac, 0x20, 6);
        return error;
    }
    std::memcpy(mac, buffer.Data(), 6);
    return 0;
}

}  // namespace tlw
