// The page of the live view: the phone in a frame, its screen, its keys and
// the hardware facts with switches. Served by sim/cmd_view.cpp.
#pragma once

namespace sim {

// The whole page (HTML with its style and script).
extern const char kViewPage[];

}  // namespace sim
