// Registered window messages: a message number agreed on by name between
// programs. The same name (compared without regard to case) gives the same
// number in every process of the device, 0xC000 ... 0xFFFF, kept in the
// device's window database.
#pragma once

#include <cstdint>
#include <string_view>

namespace plat {

inline constexpr uint32_t kFirstRegisteredMessage = 0xC000;

// The message's number; 0 (last error set) for an empty name, when the
// numbers are used up, or when the window database fails.
uint32_t RegisterWindowMessage(std::u16string_view name);

}  // namespace plat
