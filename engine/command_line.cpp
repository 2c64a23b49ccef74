#include "engine/command_line.h"

#include "base/text.h"
#include "engine/engine_messages.h"

namespace tlw {

bool IsProfileNameCommandLine(std::u16string_view commandLine) {
    return !commandLine.empty() && commandLine[0] > 0x40;
}

int32_t ParseNumberCommandLine(std::u16string_view commandLine) {
    return commandLine.empty() ? kNoDecision : ParseInt(commandLine);
}

int32_t ParseCommandLine(std::u16string_view commandLine, const ProfileTable& profiles) {
    if (!IsProfileNameCommandLine(commandLine)) return ParseNumberCommandLine(commandLine);
    for (int i = 0; i < profiles.count && i < kMaxProfiles; ++i)
        if (profiles.profiles[i].name.View() == commandLine) return kParamManualBase + i;
    return kNoDecision;
}

HandOff HandOffFor(std::u16string_view commandLine, int32_t parameter) {
    if (commandLine.empty()) return {TLWM_SHOWMENU, 0};
    if (parameter > 1200) return {static_cast<uint32_t>(parameter), 0};
    return {TLWM_PARAMETER, static_cast<uint32_t>(parameter)};
}

}  // namespace tlw
