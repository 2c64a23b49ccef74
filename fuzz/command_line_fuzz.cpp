// Fuzz target: the engine's command line, as a second start hands it to the
// running engine. The input is the profile names, one a line, then a NUL
// byte, then the command line (UTF-8, as the device passes it). Checks that
// the parameter is the number the line spells, the first profile whose name
// is the whole line, or "no decision", and that the hand-off carries it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "base/text.h"
#include "engine/command_line.h"
#include "engine/engine_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t split = input.rfind('\0');
    std::string_view names = split == std::string_view::npos ? std::string_view() : input.substr(0, split);
    std::u16string line = tlw::Utf8ToUtf16(split == std::string_view::npos ? input : input.substr(split + 1));

    static auto profiles = std::make_unique<tlw::ProfileTable>();
    profiles->count = 0;
    while (!names.empty() && profiles->count < tlw::kMaxProfiles) {
        size_t end = names.find('\n');
        profiles->profiles[profiles->count++].name = tlw::Utf8ToUtf16(names.substr(0, end));
        names = end == std::string_view::npos ? std::string_view() : names.substr(end + 1);
    }

    int32_t parameter = tlw::ParseCommandLine(line, *profiles);
    if (line.empty()) {
        if (parameter != tlw::kNoDecision) std::abort();
    } else if (tlw::IsProfileNameCommandLine(line)) {
        int first = -1;
        for (int i = 0; i < profiles->count && first < 0; ++i)
            if (profiles->profiles[i].name.View() == line) first = i;
        if (parameter != (first < 0 ? tlw::kNoDecision : tlw::kParamManualBase + first)) std::abort();
    } else if (parameter != tlw::ParseInt(line)) {
        std::abort();
    }

    tlw::HandOff handOff = tlw::HandOffFor(line, parameter);
    if (line.empty()) {
        if (handOff.message != tlw::TLWM_SHOWMENU) std::abort();
    } else if (parameter > 1200) {
        if (handOff.message != static_cast<uint32_t>(parameter) || handOff.wParam != 0) std::abort();
    } else if (handOff.message != tlw::TLWM_PARAMETER || handOff.wParam != static_cast<uint32_t>(parameter)) {
        std::abort();
    }
    return 0;
}
