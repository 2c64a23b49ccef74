// The engine's command line: an empty line, a number (parameter or 9xx
// command) or a profile name, and the message a second start hands to the
// running engine.
#pragma once

#include <cstdint>
#include <string_view>

#include "common/config/profile.h"

namespace tlw {

// The parameter a command line stands for: its number, or 100 + i for the
// name of profile i (compared whole and case-sensitively, first match), or
// 600 when a name matches nothing. A line whose first character code is
// above 0x40 is a name; anything else is read as a number (0 when none).
int32_t ParseCommandLine(std::u16string_view commandLine, const ProfileTable& profiles);

// ParseCommandLine for a command line that names no profile (the table is
// not needed then).
int32_t ParseNumberCommandLine(std::u16string_view commandLine);

// True when the command line names a profile rather than a number.
bool IsProfileNameCommandLine(std::u16string_view commandLine);

// The message a second instance sends to the running engine.
struct HandOff {
    uint32_t message;  // TLWM_SHOWMENU, TLWM_PARAMETER or the parameter itself
    uint32_t wParam;   // the parameter for TLWM_PARAMETER, else 0
};
HandOff HandOffFor(std::u16string_view commandLine, int32_t parameter);

}  // namespace tlw
