#include "engine/engine_log.h"

#include "common/config/log_file.h"

namespace tlw {

void LogEvent(const EngineState& engine, std::u16string_view format, std::initializer_list<FormatArg> args, bool stamp) {
    if (engine.logMode & kLogEvents) WriteLog(Format(format, args), stamp);
}

void LogDetail(const EngineState& engine, std::u16string_view format, std::initializer_list<FormatArg> args, bool stamp) {
    if (engine.logMode & kLogDetails) WriteLog(Format(format, args), stamp);
}

}  // namespace tlw
