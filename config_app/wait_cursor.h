// The wait cursor for a stretch of work the user has to wait for: shown
// when the guard is made, the cursor shown before put back when it ends.
#pragma once

#include "platform/window/cursor.h"

namespace tlw {

class WaitCursor {
public:
    WaitCursor() : previous_(plat::SetCursor(plat::LoadCursor(plat::IDC_WAIT))) {}
    ~WaitCursor() { plat::SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    plat::HCursor previous_;  // what showed before: none, or the wait cursor of an outer guard
};

}  // namespace tlw
