#include "platform/window/keyboard.h"

#include <cstdio>

#include "platform/storage/journal.h"
#include "platform/telephony/talk_key.h"

namespace plat {

void KeybdEvent(uint8_t virtualKey, uint8_t /*scanCode*/, uint32_t flags, uintptr_t /*extraInfo*/) {
    bool up = (flags & kKeyEventKeyUp) != 0;
    char text[32];
    std::snprintf(text, sizeof text, "key 0x%02X %s", virtualKey, up ? "up" : "down");
    JournalAppend(text);
    if (up && virtualKey == kVkTalk) HandleTalkKey();
}

}  // namespace plat
