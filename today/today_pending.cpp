// Interim: the profile menu, the time-out dialog and the wait cursor come
// with the platform's popup menu and dialog manager; until they are in the
// build these taps leave everything as it is.
#include "today/today_plugin.h"

namespace today {

void ShowProfileMenu() {}
bool MeasureMenuItem(plat::LParam) { return false; }
bool DrawMenuItem(plat::LParam) { return false; }
void ShowTimeOutDialog() {}
void ShowWaitCursor(bool) {}

}  // namespace today
