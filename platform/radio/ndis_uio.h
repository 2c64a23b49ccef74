// The NDIS user-mode I/O driver "UIO1:": the door through which programs
// talk to the phone's network adapters. Opened like a stream driver, it
// answers the public NDIS user-mode I/O control codes: the list of adapter
// bindings, and queries and sets of an adapter's objects (802.11 scans and
// access-point lists, link speed, the associated access point).
//
// On the simulated phone the bindings are the USB network adapter while the
// phone sits in its cradle and the wireless adapter while the Wi-Fi radio is
// on (in that order). The wireless adapter sees the access points that
// `tlwsim hw ap+=...` put in reach and is associated with the strongest of
// them that is not an ad-hoc network. Every scan request is journalled
// ("UIO1: scan ADAPTER").
#pragma once

#include <cstdint>

#include "platform/kernel/kernel_handle.h"

namespace plat {

inline constexpr char16_t kNdisUioDevice[] = u"UIO1:";
// The adapters the simulated phone binds.
inline constexpr char16_t kWirelessAdapterName[] = u"WLAN1";
inline constexpr char16_t kUsbAdapterName[] = u"RNDISFN1";

// Control codes.
inline constexpr uint32_t kIoctlNdisUioQueryOid = 0x00120804;
inline constexpr uint32_t kIoctlNdisUioQueryBinding = 0x0012080C;
inline constexpr uint32_t kIoctlNdisUioSetOid = 0x00120814;

// Object identifiers the adapters answer.
inline constexpr uint32_t kOidGenLinkSpeed = 0x00010107;       // uint32, units of 100 bit/s
inline constexpr uint32_t kOid80211Bssid = 0x0D010101;         // 6-byte MAC of the associated access point
inline constexpr uint32_t kOid80211BssidListScan = 0x0D01011A; // set: start a scan
inline constexpr uint32_t kOid80211BssidList = 0x0D010217;     // query: Ndis80211BssidList

// The platform's errors of the driver.
inline constexpr uint32_t kErrorGenFailure = 31;          // the adapter refused the request
inline constexpr uint32_t kErrorNotSupported = 50;        // the adapter has no such object
inline constexpr uint32_t kErrorDeviceNotConnected = 1167; // no access point associated

// Input and output of kIoctlNdisUioQueryBinding: the binding's device name
// and description (wide, not terminated) follow in the output buffer at the
// given byte offsets from the record's start.
struct NdisUioQueryBinding {
    uint32_t bindingIndex;       // in: 0, 1, ...
    uint32_t deviceNameOffset;   // out
    uint32_t deviceNameLength;   // out, in bytes
    uint32_t deviceDescrOffset;  // out
    uint32_t deviceDescrLength;  // out, in bytes
};
static_assert(sizeof(NdisUioQueryBinding) == 20);

// Header of kIoctlNdisUioQueryOid and kIoctlNdisUioSetOid: the object's data
// follows the header in the same buffer.
struct NdisUioOidRequest {
    uint32_t oid;                   // the object
    const char16_t* deviceName;     // the adapter (a binding's device name)
    // uint8_t data[]: the object's data
};
inline constexpr uint32_t kNdisUioOidHeaderSize = static_cast<uint32_t>(sizeof(NdisUioOidRequest));

// 802.11 records of the access-point list.
struct Ndis80211Ssid {
    uint32_t ssidLength;  // bytes used of ssid
    uint8_t ssid[32];     // network name, not terminated
};
struct Ndis80211ConfigurationFh {
    uint32_t length;       // 16
    uint32_t hopPattern;
    uint32_t hopSet;
    uint32_t dwellTime;
};
struct Ndis80211Configuration {
    uint32_t length;          // 32
    uint32_t beaconPeriod;    // kilo-microseconds
    uint32_t atimWindow;
    uint32_t dsConfig;        // the configured frequency (kHz on most adapters)
    Ndis80211ConfigurationFh fhConfig;
};
struct NdisWlanBssid {
    uint32_t length;               // size of this item; the next one starts there
    uint8_t macAddress[6];         // the access point's MAC
    uint8_t reserved[2];
    Ndis80211Ssid ssid;            // network name
    uint32_t privacy;              // 1: encrypted
    int32_t rssi;                  // signal in dBm
    uint32_t networkTypeInUse;     // 1 DS (2.4 GHz)
    Ndis80211Configuration configuration;
    uint32_t infrastructureMode;   // 0 ad-hoc, 1 infrastructure
    uint8_t supportedRates[8];
};
static_assert(sizeof(NdisWlanBssid) == 104, "the driver's item layout");
struct Ndis80211BssidList {
    uint32_t numberOfItems;  // items that follow
    // NdisWlanBssid items, each starting where the previous one ends
};

// Opens the driver (CreateFile on "UIO1:"); close the handle with
// CloseHandle. Empty handle (kErrorFileNotFound) when the device model has
// no such driver.
Handle OpenNdisUio();

// DeviceIoControl on a handle from OpenNdisUio. *returned gets the bytes
// written to out. False with the last error set: kErrorInvalidHandle,
// kErrorInvalidParameter (bad code or buffers), kErrorNoMoreItems (no
// binding of that index), kErrorInsufficientBuffer, kErrorFileNotFound (no
// adapter of that name), kErrorNotSupported, kErrorGenFailure,
// kErrorDeviceNotConnected. An access-point list that does not fit is cut
// to the items that fit.
bool NdisUioIoControl(Handle driver, uint32_t code, void* in, uint32_t inSize, void* out, uint32_t outSize,
                      uint32_t* returned);

}  // namespace plat
