// The programs the menus' counter items open: the inbox on the text-message
// or e-mail account (or the FlexMail client), the call log, and a call to
// the voice-mail number.
#pragma once

#include <cstdint>
#include <string>

#include "engine/engine_state.h"

namespace tlw {

// The count of a counter item type (4 text messages ... 7 voice mail), as
// the message counters show it.
std::u16string CounterItemText(int32_t type);

void OpenTextMessages(EngineState& engine);
void OpenEmail(EngineState& engine);
// Brings the call log to the front, starting it when it is not running.
void ShowCallLog(EngineState& engine);
// Dials the `voicemail` number through the phone library, prompting first.
void CallVoiceMail(EngineState& engine);

}  // namespace tlw
