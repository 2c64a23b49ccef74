// The Wi-Fi radio and the access points in reach: switching the radio with
// its chain of fallbacks for phones whose radio does not answer the
// wireless-device switch, and the wireless adapter behind the NDIS
// user-mode I/O driver "UIO1:" (scan, access-point list, link speed,
// associated access point).
//
// The adapter handle, its name and its power-manager name are process-wide;
// the activation path and the location thread share them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tlw {

// Most access points one scan reports.
inline constexpr size_t kMaxAccessPoints = 32;
// Signal strength of a record no access point filled.
inline constexpr int32_t kNoSignal = -100;

// One access point found by a scan.
struct AccessPointInfo {
    int32_t channel;          // channel number
    int32_t privacy;          // privacy flag times 16
    char name[11];            // the first 10 bytes of the SSID at most, terminated
    int32_t signal;           // signal strength in dBm, kNoSignal when not filled
    int32_t reserved;         // always 0
    uint8_t mac[6];           // the access point's MAC address
    char16_t macText[32];     // the MAC as "%02X:%02X:%02X:%02X:%02X:%02X"
    int32_t infrastructure;   // 1 unless an ad-hoc network
};

// `SetWifiRadio`: switches through the wireless-device switch and polls up
// to 20 x 200 ms for the radio to follow; otherwise tries, stopping at the
// first that applies, OEMUtil.dll, AximSDK.dll, the "TOSHIBA" program
// "\Windows\tfwifi.exe" (polled again), and last an unspecified device-power
// request to the adapter. Reports nothing.
void SetWifiRadio(bool on);

// `OpenWirelessAdapter`: true when the driver handle is open and a wireless
// adapter (the first binding, of indexes 0 ... 4, that accepts a scan
// request) was found. The handle stays open until CloseWirelessAdapter; an
// open handle without an adapter searches again.
bool OpenWirelessAdapter();
// `CloseWirelessAdapter`: closes the handle when open and marks it closed.
void CloseWirelessAdapter();

// `ScanAccessPoints`: sets the signal of all 32 records to kNoSignal, asks
// for a scan, waits 700 ms, reads the list and fills at most 32 records;
// returns their number (0 when the list cannot be read).
size_t ScanAccessPoints(AccessPointInfo records[kMaxAccessPoints]);

// `GetLinkSpeed`: the adapter's link speed (units of 100 bit/s) divided by
// 1000, 0 when the query fails.
uint32_t GetLinkSpeed();

// `GetConnectedAccessPoint`: copies the MAC of the associated access point
// into mac and returns 0; when the query fails fills the 6 bytes with blanks
// (0x20) and returns the platform's last error code.
uint32_t GetConnectedAccessPoint(uint8_t mac[6]);

// The channel of a configured frequency as adapters report it: kHz from
// 2412000 up, a channel number below 20, else units of 100 kHz.
int32_t ChannelFromFrequency(uint32_t frequency);

}  // namespace tlw
