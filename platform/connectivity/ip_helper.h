// The IP helper: the list of network adapters with their addresses, and
// releasing an adapter's address. On the simulated phone the adapters are
// the cellular line (always, on a phone; it has an address while a data
// connection is open), the wireless adapter while the Wi-Fi radio is on and
// the USB adapter while the phone is cradled. Releasing the cellular
// adapter's address drops the data connections; each release is journalled
// ("release IP address of CELLULAR1").
#pragma once

#include <cstdint>

namespace plat {

// Errors of the IP helper calls.
inline constexpr uint32_t kErrorBufferOverflow = 111;
inline constexpr uint32_t kErrorNoData = 232;

// One adapter of the list. The entries of one list are chained by next, in
// the caller's buffer.
struct IpAdapterInfo {
    IpAdapterInfo* next;       // the next adapter, null after the last
    uint32_t comboIndex;       // reserved
    char adapterName[260];     // its device name, terminated
    char description[132];     // what it is, terminated
    uint32_t addressLength;    // bytes of address used
    uint8_t address[8];        // the hardware address
    uint32_t index;            // the adapter's index
    uint32_t type;             // 6 Ethernet, 23 PPP, 71 802.11
    uint32_t dhcpEnabled;      // 1 when the address came from DHCP
    char ipAddress[16];        // "a.b.c.d", "0.0.0.0" without one
    char ipMask[16];           // its mask
};

// What IpReleaseAddress takes.
struct IpAdapterIndexMap {
    uint32_t index;        // the adapter's index
    char16_t name[128];    // its device name, terminated
};

// Lists the adapters into buffer (*size its bytes). 0 on success;
// kErrorBufferOverflow with the size needed in *size when they do not fit;
// kErrorNoData when there is no adapter.
uint32_t GetAdaptersInfo(IpAdapterInfo* buffer, uint32_t* size);
// Releases the adapter's address: 0, or kErrorInvalidParameter for an
// adapter that does not exist.
uint32_t IpReleaseAddress(const IpAdapterIndexMap* adapter);

}  // namespace plat
