#include "engine/later_parts.h"

namespace tlw {

void InitRepetitionSlots(EngineState&) {}
void RepeatSlot(EngineState&, int, bool) {}
void EndNotificationRepetition(EngineState&) {}
bool ComputeRepetition(EngineState&, int32_t) { return false; }
void CheckShownNotifications(EngineState&) {}
void StopNotificationRepetition(EngineState&) {}
void ReleaseMediaPlayer(EngineState&) {}

}  // namespace tlw
