// Message boxes. Until the device has a screen to show them on, a message
// box is recorded in the device journal ("message box [caption] text") and
// answered with its default button, as a user confirming it would.
#pragma once

#include <cstdint>
#include <string_view>

namespace plat {

enum MessageBoxFlags : uint32_t {
    kMbOk = 0x0,
    kMbOkCancel = 0x1,
    kMbYesNo = 0x4,
    kMbIconHand = 0x10,
    kMbIconQuestion = 0x20,
    kMbIconExclamation = 0x30,
    kMbIconAsterisk = 0x40,
};
enum MessageBoxResult : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

int MessageBox(std::u16string_view text, std::u16string_view caption, uint32_t flags);

}  // namespace plat
