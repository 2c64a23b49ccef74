#include "platform/radio/ndis_uio.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/hardware/device_model.h"
#include "platform/hardware/hardware.h"
#include "platform/kernel/kernel_object.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/journal.h"
#include "platform/storage/registry.h"

namespace plat {
namespace {

// An open handle of the driver; it keeps no state of its own.
class NdisUioObject : public KernelObject {};

constexpr uint32_t kLinkSpeed54Mbit = 540000;  // 54 Mbit/s in units of 100 bit/s

struct Binding {
    const char16_t* name;         // device name
    const char16_t* description;  // what the adapter is
    bool wireless;                // answers the 802.11 objects
};

// The adapters bound now, in binding order.
std::vector<Binding> CurrentBindings(const HardwareState& hw) {
    std::vector<Binding> list;
    uint32_t cradled = 0;
    RegReadDword(kHkeyLocalMachine, u"System\\State\\Hardware", u"Cradled", &cradled);
    if (cradled == 1) list.push_back({kUsbAdapterName, u"USB network adapter", false});
    if (CurrentDeviceModel().hasWifi && hw.wifiState != 0)
        list.push_back({kWirelessAdapterName, u"Wireless LAN adapter", true});
    return list;
}

// The access point the wireless adapter is associated with: the strongest
// infrastructure network in reach.
const AccessPoint* AssociatedAccessPoint(const HardwareState& hw) {
    const AccessPoint* best = nullptr;
    for (const AccessPoint& ap : hw.accessPoints)
        if (!ap.adhoc && (!best || ap.rssi > best->rssi)) best = &ap;
    return best;
}

bool Fail(uint32_t error) {
    SetLastError(error);
    return false;
}

bool QueryBinding(const HardwareState& hw, const void* in, uint32_t inSize, void* out, uint32_t outSize,
                  uint32_t* returned) {
    if (!in || inSize < sizeof(NdisUioQueryBinding) || !out || outSize < sizeof(NdisUioQueryBinding))
        return Fail(kErrorInvalidParameter);
    NdisUioQueryBinding query;
    std::memcpy(&query, in, sizeof query);
    std::vector<Binding> bindings = CurrentBindings(hw);
    if (query.bindingIndex >= bindings.size()) return Fail(kErrorNoMoreItems);
    const Binding& b = bindings[query.bindingIndex];
    std::u16string_view name = b.name, description = b.description;
    uint32_t nameBytes = static_cast<uint32_t>(name.size() * 2), descrBytes = static_cast<uint32_t>(description.size() * 2);
    uint32_t needed = static_cast<uint32_t>(sizeof query) + nameBytes + descrBytes;
    if (outSize < needed) return Fail(kErrorInsufficientBuffer);
    query.deviceNameOffset = sizeof query;
    query.deviceNameLength = nameBytes;
    query.deviceDescrOffset = sizeof query + nameBytes;
    query.deviceDescrLength = descrBytes;
    auto* bytes = static_cast<uint8_t*>(out);
    std::memcpy(bytes, &query, sizeof query);
    std::memcpy(bytes + query.deviceNameOffset, name.data(), nameBytes);
    std::memcpy(bytes + query.deviceDescrOffset, description.data(), descrBytes);
    *returned = needed;
    return true;
}

// Fills an item of the access-point list.
NdisWlanBssid MakeItem(const AccessPoint& ap) {
    NdisWlanBssid item{};
    item.length = sizeof item;
    std::copy(ap.mac.begin(), ap.mac.end(), item.macAddress);
    size_t ssidBytes = std::min(ap.ssid.size(), sizeof item.ssid.ssid);
    item.ssid.ssidLength = static_cast<uint32_t>(ssidBytes);
    std::memcpy(item.ssid.ssid, ap.ssid.data(), ssidBytes);
    item.privacy = ap.privacy ? 1 : 0;
    item.rssi = ap.rssi;
    item.networkTypeInUse = 1;
    item.configuration.length = sizeof item.configuration;
    item.configuration.beaconPeriod = 100;
    item.configuration.dsConfig = ap.frequency;
    item.configuration.fhConfig.length = sizeof item.configuration.fhConfig;
    item.infrastructureMode = ap.adhoc ? 0 : 1;
    const uint8_t rates[8] = {0x82, 0x84, 0x8B, 0x96, 0x0C, 0x12, 0x18, 0x24};  // 1 ... 12 Mbit/s
    std::memcpy(item.supportedRates, rates, sizeof rates);
    return item;
}

// Answers or applies an object of the named adapter; data/dataSize is the
// caller's data area behind the request header.
bool HandleOid(bool set, const HardwareState& hw, uint32_t oid, std::u16string_view adapter, uint8_t* data,
               uint32_t dataSize, uint32_t* dataWritten) {
    *dataWritten = 0;
    const Binding* binding = nullptr;
    std::vector<Binding> bindings = CurrentBindings(hw);
    for (const Binding& b : bindings)
        if (tlw::EqualsNoCase(b.name, adapter)) binding = &b;
    if (!binding) return Fail(kErrorFileNotFound);
    if (set) {
        if (oid != kOid80211BssidListScan) return Fail(kErrorNotSupported);
        if (!binding->wireless) return Fail(kErrorNotSupported);
        JournalAppend("UIO1: scan " + tlw::Utf16ToUtf8(adapter));
        return true;
    }
    switch (oid) {
    case kOidGenLinkSpeed: {
        if (dataSize < 4) return Fail(kErrorInsufficientBuffer);
        uint32_t speed = binding->wireless ? (AssociatedAccessPoint(hw) ? kLinkSpeed54Mbit : 0) : 120000;
        std::memcpy(data, &speed, 4);
        *dataWritten = 4;
        return true;
    }
    case kOid80211Bssid: {
        if (!binding->wireless) return Fail(kErrorNotSupported);
        const AccessPoint* ap = AssociatedAccessPoint(hw);
        if (!ap) return Fail(kErrorDeviceNotConnected);
        if (dataSize < 6) return Fail(kErrorInsufficientBuffer);
        std::copy(ap->mac.begin(), ap->mac.end(), data);
        *dataWritten = 6;
        return true;
    }
    case kOid80211BssidList: {
        if (!binding->wireless) return Fail(kErrorNotSupported);
        if (dataSize < sizeof(Ndis80211BssidList)) return Fail(kErrorInsufficientBuffer);
        uint32_t used = sizeof(Ndis80211BssidList);
        uint32_t count = 0;
        for (const AccessPoint& ap : hw.accessPoints) {
            if (dataSize - used < sizeof(NdisWlanBssid)) break;  // the list is cut to what fits
            NdisWlanBssid item = MakeItem(ap);
            std::memcpy(data + used, &item, sizeof item);
            used += sizeof item;
            ++count;
        }
        std::memcpy(data, &count, sizeof count);
        *dataWritten = used;
        return true;
    }
    default:
        return Fail(kErrorNotSupported);
    }
}

}  // namespace

Handle OpenNdisUio() {
    if (!ModelHasDriver(CurrentDeviceModel(), kNdisUioDevice)) {
        SetLastError(kErrorFileNotFound);
        return {};
    }
    return InsertKernelObject(std::make_shared<NdisUioObject>());
}

bool NdisUioIoControl(Handle driver, uint32_t code, void* in, uint32_t inSize, void* out, uint32_t outSize,
                      uint32_t* returned) {
    if (!LookupKernelObjectAs<NdisUioObject>(driver)) return false;
    uint32_t ignored = 0;
    if (!returned) returned = &ignored;
    *returned = 0;
    HardwareState hw;
    ReadHardwareState(&hw);
    switch (code) {
    case kIoctlNdisUioQueryBinding:
        return QueryBinding(hw, in, inSize, out, outSize, returned);
    case kIoctlNdisUioQueryOid:
    case kIoctlNdisUioSetOid: {
        // Set requests carry everything in the input buffer; queries are
        // answered in the output buffer (which may be the input buffer).
        bool set = code == kIoctlNdisUioSetOid;
        void* buffer = set ? in : out;
        uint32_t size = set ? inSize : outSize;
        if (!buffer || size < kNdisUioOidHeaderSize) return Fail(kErrorInvalidParameter);
        NdisUioOidRequest header;
        std::memcpy(&header, set ? in : (in ? in : out), sizeof header);
        if (!header.deviceName) return Fail(kErrorInvalidParameter);
        uint32_t written = 0;
        if (!HandleOid(set, hw, header.oid, header.deviceName, static_cast<uint8_t*>(buffer) + kNdisUioOidHeaderSize,
                       size - kNdisUioOidHeaderSize, &written))
            return false;
        if (!set) std::memcpy(out, &header, sizeof header);
        *returned = set ? 0 : kNdisUioOidHeaderSize + written;
        return true;
    }
    default:
        return Fail(kErrorInvalidParameter);
    }
}

}  // namespace plat
