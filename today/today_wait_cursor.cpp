// The wait cursor while the engine takes over after an unlock.
#include "platform/window/cursor.h"
#include "today/today_plugin.h"

namespace today {

void ShowWaitCursor(bool on) { plat::SetCursor(on ? plat::LoadCursor(plat::IDC_WAIT) : plat::HCursor{}); }

}  // namespace today
