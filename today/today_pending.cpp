// TEMPORARY (not for landing): placeholders until the platform's popup menu,
// dialog manager, counters and phone library are merged.
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
