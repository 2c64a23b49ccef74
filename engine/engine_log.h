// The engine's log lines: written only when their LogMode bit is set.
#pragma once

#include <initializer_list>
#include <string_view>

#include "base/text.h"
#include "engine/engine_state.h"

namespace tlw {

// A general event line (LogMode bit 0).
void LogEvent(const EngineState& engine, std::u16string_view format, std::initializer_list<FormatArg> args = {},
              bool stamp = true);
// A detail line: commands, devices, location (LogMode bit 2).
void LogDetail(const EngineState& engine, std::u16string_view format, std::initializer_list<FormatArg> args = {},
               bool stamp = true);

}  // namespace tlw
