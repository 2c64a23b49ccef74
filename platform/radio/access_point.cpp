#include "platform/radio/access_point.h"

#include <charconv>
#include <cstdio>
#include <vector>

namespace plat {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseInt(std::string_view text, int64_t min, int64_t max, int64_t* out) {
    int64_t v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v < min || v > max) return false;
    *out = v;
    return true;
}

bool IsReportedFrequency(int64_t v) {
    return (v >= 1 && v <= 14) || (v >= 24120 && v <= 24840) || (v >= 2412000 && v <= 2484000);
}

}  // namespace

bool ParseMacAddress(std::string_view text, MacAddress* out) {
    if (text.size() != 17) return false;
    MacAddress mac{};
    for (size_t i = 0; i < 6; ++i) {
        int high = HexDigit(text[i * 3]);
        int low = HexDigit(text[i * 3 + 1]);
        if (high < 0 || low < 0) return false;
        if (i < 5 && text[i * 3 + 2] != ':' && text[i * 3 + 2] != '-') return false;
        mac[i] = static_cast<uint8_t>(high * 16 + low);
    }
    *out = mac;
    return true;
}

std::string FormatMacAddress(const MacAddress& mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return text;
}

bool ParseAccessPoint(std::string_view text, AccessPoint* out, std::string* error) {
    std::vector<std::string_view> fields;
    while (true) {
        size_t comma = text.find(',');
        fields.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    if (fields.size() < 4 || fields.size() > 6) {
        *error = "MAC,NAME,DBM,CHANNEL[,privacy][,adhoc] expected";
        return false;
    }
    AccessPoint ap;
    if (!ParseMacAddress(fields[0], &ap.mac)) return *error = "a MAC address like 00:1A:2B:3C:4D:5E expected", false;
    if (fields[1].size() > kSsidCapacity) return *error = "the network name has more than 32 bytes", false;
    ap.ssid = std::string(fields[1]);
    int64_t v = 0;
    if (!ParseInt(fields[2], -120, 0, &v)) return *error = "a signal of -120 ... 0 dBm expected", false;
    ap.rssi = static_cast<int32_t>(v);
    if (!ParseInt(fields[3], 1, 2484000, &v) || !IsReportedFrequency(v))
        return *error = "a channel 1 ... 14, or its frequency in kHz (2412000 ...) or 100 kHz (24120 ...) expected", false;
    ap.frequency = static_cast<uint32_t>(v);
    for (size_t i = 4; i < fields.size(); ++i) {
        if (fields[i] == "privacy") ap.privacy = true;
        else if (fields[i] == "adhoc") ap.adhoc = true;
        else return *error = "'privacy' or 'adhoc' expected after the channel", false;
    }
    *out = std::move(ap);
    return true;
}

std::string FormatAccessPoint(const AccessPoint& ap) {
    std::string text = FormatMacAddress(ap.mac) + "," + ap.ssid + "," + std::to_string(ap.rssi) + "," +
                       std::to_string(ap.frequency);
    if (ap.privacy) text += ",privacy";
    if (ap.adhoc) text += ",adhoc";
    return text;
}

}  // namespace plat
