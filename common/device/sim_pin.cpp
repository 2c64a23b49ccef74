#include "common/device/sim_pin.h"

#include <algorithm>

#include "common/config/registry_state.h"

namespace tlw {
namespace {

constexpr uint32_t kLongFormDigits = 8;
constexpr uint32_t kShortFormLimit = 6;  // PINs shorter than this take the short form
constexpr uint32_t kLegacyForm = 9;      // bits 28 ... 31 of a legacy PIN

void Blank(char16_t* buffer) {
    std::copy_n(kNoSimPinText, 5, buffer);  // four blanks and the terminator
}

bool AllDigits(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

}  // namespace

bool DecodeSimPin(char16_t* buffer) {
    Blank(buffer);
    SimPinValues values;
    if (!ReadSimPinValues(&values)) return false;
    uint32_t flags = values.profileFlags;
    if (flags == kNoSimPin) return false;
    char16_t pin[kSimPinBufferSize] = {};
    size_t length = 0;
    if (values.profileFlags2 == 1) {
        for (uint32_t i = 0; i < kLongFormDigits; ++i) {
            uint32_t nibble = (flags >> (4 * i)) & 0xF;
            if (nibble == 0) break;
            if (nibble < kSimPinLongOffset || nibble - kSimPinLongOffset > 9) return false;
            pin[length++] = static_cast<char16_t>(u'0' + nibble - kSimPinLongOffset);
        }
        if (length == 0) return false;
    } else {
        uint32_t form = flags >> 28;
        if (form == 4 || form == 5) {
            uint32_t digits = flags & 0x0FFFFFFFu;
            for (uint32_t i = 0; i < form; ++i) {
                uint32_t digit = ((digits >> (5 * i)) & 0x1F) ^ kSimPinShortMask;
                if (digit > 9) return false;
                pin[length++] = static_cast<char16_t>(u'0' + digit);
            }
        } else if (form == kLegacyForm) {
            for (uint32_t i = 0; i < 4; ++i)
                pin[length++] = static_cast<char16_t>(((flags >> (8 * i)) & 0xFF) ^ kSimPinLegacyMask);
        } else {
            return false;
        }
    }
    std::copy_n(pin, length, buffer);
    buffer[length] = 0;
    return true;
}

bool EncodeSimPin(std::u16string_view pin) {
    SimPinValues values;
    if (pin.empty() || pin == kNoSimPinText) {
        values.profileFlags = kNoSimPin;
        values.profileFlags2 = 0;
        return WriteSimPinValues(values);
    }
    if (pin.size() < 4 || pin.size() > kLongFormDigits || !AllDigits(pin)) return false;
    uint32_t encoded = 0;
    if (pin.size() >= kShortFormLimit) {
        for (size_t i = 0; i < pin.size(); ++i)
            encoded |= (static_cast<uint32_t>(pin[i] - u'0') + kSimPinLongOffset) << (4 * i);
        values.profileFlags2 = 1;
    } else {
        for (size_t i = 0; i < pin.size(); ++i)
            encoded |= ((static_cast<uint32_t>(pin[i] - u'0')) ^ kSimPinShortMask) << (5 * i);
        encoded |= static_cast<uint32_t>(pin.size()) << 28;
        values.profileFlags2 = 0;
    }
    values.profileFlags = encoded;
    return WriteSimPinValues(values);
}

}  // namespace tlw
