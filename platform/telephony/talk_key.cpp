#include "platform/telephony/talk_key.h"

#include "platform/hardware/hardware.h"
#include "platform/storage/journal.h"

namespace plat {

void HandleTalkKey() {
    HardwareState hw;
    if (!ReadHardwareState(&hw) || hw.call != CallState::kOffered) return;
    if (SetCallHardware(CallState::kActive)) JournalAppend("call answered");
}

}  // namespace plat
