// A Wi-Fi access point in reach of the simulated phone, as the console
// names it: "MAC,NAME,DBM,CHANNEL[,privacy][,adhoc]", for example
// "00:1A:2B:3C:4D:5E,HomeNet,-55,6,privacy".
//
// CHANNEL is kept as the wireless adapter reports it in its configured
// frequency: drivers differ, so a channel number (1 ... 14), a frequency in
// kHz (2412000 ... 2484000) or one in units of 100 kHz (24120 ... 24840) are
// all accepted and handed out unchanged.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

// Longest network name (SSID) in bytes.
inline constexpr size_t kSsidCapacity = 32;

using MacAddress = std::array<uint8_t, 6>;

struct AccessPoint {
    MacAddress mac{};       // the access point's MAC address
    std::string ssid;       // network name, at most 32 bytes, no comma
    int32_t rssi = -100;    // signal strength in dBm (-120 ... 0)
    uint32_t frequency = 1; // channel or frequency as the adapter reports it (see above)
    bool privacy = false;   // the network is encrypted
    bool adhoc = false;     // an ad-hoc network (no infrastructure)
};

// "00:1A:2B:3C:4D:5E" (hex digits of either case, ':' or '-' between).
bool ParseMacAddress(std::string_view text, MacAddress* out);
// "00:1A:2B:3C:4D:5E".
std::string FormatMacAddress(const MacAddress& mac);

// Parses the console form; false with the reason for a bad field.
bool ParseAccessPoint(std::string_view text, AccessPoint* out, std::string* error);
// The console form, flags included when set.
std::string FormatAccessPoint(const AccessPoint& ap);

}  // namespace plat
