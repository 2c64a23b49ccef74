// Interim: the profile menu, the time-out dialog, the wait cursor, the
// counters and the messaging actions come with the platform's popup menu,
// dialog manager and message counters; until they are in the build these
// taps leave everything as it is.
#include "today/today_plugin.h"

namespace today {

void ShowProfileMenu() {}
bool MeasureMenuItem(plat::LParam) { return false; }
bool DrawMenuItem(plat::LParam) { return false; }
void ShowTimeOutDialog() {}
void ShowWaitCursor(bool) {}
void OpenMessages() {}
void OpenEmail() {}
void CallVoiceMail() {}
void ReadCounterState() {}

}  // namespace today
