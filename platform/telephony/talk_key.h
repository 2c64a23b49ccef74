// The phone's Talk key (virtual key 0x72, the green key): pressed while a
// call rings it answers the call. The key itself reaches the phone as
// keyboard input (platform/window/keyboard.h).
#pragma once

#include <cstdint>

namespace plat {

inline constexpr uint8_t kVkTalk = 0x72;

// What the phone does when the Talk key is released: a ringing call becomes
// the active call (journalled "call answered"); otherwise nothing.
void HandleTalkKey();

}  // namespace plat
