// The diagnostic log "\Tallowd.log" (previous content "\TallowdBack.log")
// that the programs append to, and the LogMode switch that says which of
// their lines are written.
#pragma once

#include <cstdint>
#include <string_view>

namespace tlw {

// LogMode bits.
enum LogModeBits : uint32_t {
    kLogEvents = 1,   // the event log of the engine and the configuration program
    kLogToday = 2,    // the Today plug-in's lines
    kLogDetails = 4,  // commands, device actions and location changes in detail
};

inline constexpr char16_t kLogFile[] = u"\\Tallowd.log";
inline constexpr char16_t kLogBackFile[] = u"\\TallowdBack.log";

// Rotates the log when it has grown above 100 KB, then returns the LogMode
// value (0 when missing). Callers keep the result until their next query.
uint32_t QueryLogMode();

// Appends "message stamp" and CR LF, where the stamp is the short date and
// "HH:mm:ss" time when stamp is set, else empty. The line goes out in the
// ANSI code page, at most 512 bytes of it. Callers test the LogMode bits.
void WriteLog(std::u16string_view message, bool stamp);

}  // namespace tlw
