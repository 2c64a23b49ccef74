// Keyboard input made by a program (keybd_event): each key-down and key-up
// is journalled ("key 0x72 down"). The phone's own keys act on release: the
// Talk key answers a ringing call (platform/telephony/talk_key.h).
#pragma once

#include <cstdint>

namespace plat {

inline constexpr uint32_t kKeyEventKeyUp = 0x0002;  // flag: the key is released

void KeybdEvent(uint8_t virtualKey, uint8_t scanCode, uint32_t flags, uintptr_t extraInfo);

}  // namespace plat
