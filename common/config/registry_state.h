// The run-time state the three programs share through the values of
// HKEY_CURRENT_USER\Software\Korvel\Tallowin: the running profile, the
// manual choice and its time-out, the lock, the reset guard, the started
// program, the user's switches, the reload flag and the stored SIM PIN.
//
// Every access opens the key, does its one read or write and closes the key
// again; nothing is cached. A read of a missing key or value gives the
// value's default below; a write creates the key when it is missing and is
// skipped (returning false) when the key cannot be opened.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/kernel/clock.h"

namespace tlw {

// Value names.
inline constexpr char16_t kRunningProfileValue[] = u"RunningProfile";
inline constexpr char16_t kRunningProfileTypeValue[] = u"RunningProfileType";
inline constexpr char16_t kRunningProfileNameValue[] = u"RunningProfileName";
inline constexpr char16_t kRunningProfileIconValue[] = u"RunningProfileIcon";
inline constexpr char16_t kManualProfileValue[] = u"ManualProfile";
inline constexpr char16_t kLastManualProfileValue[] = u"LastManualProfile";
inline constexpr char16_t kManualTimeOutValue[] = u"ManualTimeOut";
inline constexpr char16_t kLockedValue[] = u"Locked";
inline constexpr char16_t kAlreadyResetValue[] = u"AlreadyReset";
inline constexpr char16_t kRunProcessValue[] = u"RunProcess";
inline constexpr char16_t kRotateBeforeRunValue[] = u"RotateBeforeRun";
inline constexpr char16_t kBrightNessValue[] = u"BrightNess";
inline constexpr char16_t kNotUseHTCutilValue[] = u"NotUseHTCutil";
inline constexpr char16_t kFlags2Value[] = u"Flags2";
inline constexpr char16_t kProfileFlagsValue[] = u"ProfileFlags";
inline constexpr char16_t kProfileFlags2Value[] = u"ProfileFlags2";
inline constexpr char16_t kLogModeValue[] = u"LogMode";

// The running profile's name when none runs.
inline constexpr char16_t kNoRunningProfileName[] = u"---";
// Flags2 bit: the configuration changed since the plug-in last read it.
inline constexpr uint32_t kFlags2ConfigChanged = 1;
// ProfileFlags when no SIM PIN is stored.
inline constexpr uint32_t kNoSimPin = 15;

// Generic one-value access to the key. The reads return false and leave
// *value when the key or the value is missing (or has another type).
bool ReadTallowinDword(std::u16string_view name, uint32_t* value);
bool WriteTallowinDword(std::u16string_view name, uint32_t value);
bool ReadTallowinString(std::u16string_view name, std::u16string* value);
bool WriteTallowinString(std::u16string_view name, std::u16string_view value);

// Publishes the running profile: RunningProfile, RunningProfileType,
// RunningProfileName and RunningProfileIcon, written in that order, each in
// its own access. For no profile pass 700, "---", "" and 0.
void WriteRunningProfile(int32_t index, std::u16string_view name, std::u16string_view icon, int32_t type);
// RunningProfile; 700 when missing.
int32_t ReadRunningProfile();

// ManualProfile; 700 when missing.
int32_t ReadManualProfile();
bool WriteManualProfile(int32_t index);
// LastManualProfile; 700 when missing.
int32_t ReadLastManualProfile();
bool WriteLastManualProfile(int32_t index);

// ManualTimeOut: the end of the manual time-out, an OLE automation date
// times 10000 truncated to 32 bits; 0 (also when missing) when none runs.
uint32_t ReadManualTimeOut();
bool WriteManualTimeOut(uint32_t value);
// The encoding of ManualTimeOut: 1 January 2010 12:00 is 401795000. Returns
// 0 for an invalid time or one outside the 32-bit range.
uint32_t EncodeManualTimeOut(const plat::SystemTime& end);
// Back to a local time (resolution 8.64 seconds, rounded to the second);
// false for 0 or a value that is no valid time.
bool DecodeManualTimeOut(uint32_t value, plat::SystemTime* end);

// Locked: true only when the value is 1 (missing: unlocked).
bool ReadLocked();
bool WriteLocked(bool locked);

// AlreadyReset: the soft-reset guard; 1 when missing.
uint32_t ReadAlreadyReset();
bool WriteAlreadyReset(uint32_t value);

// RunProcess: the handle of the program to close at the next activation; 0
// when missing or none.
uint32_t ReadRunProcess();
bool WriteRunProcess(uint32_t handle);

// RotateBeforeRun (set by the user): true only when the value is 1.
bool ReadRotateBeforeRun();

// BrightNess: the backlight level last applied; 1 when missing.
uint32_t ReadBrightNess();
bool WriteBrightNess(uint32_t level);

// NotUseHTCutil (set by the user): true when non-zero; missing is false.
bool ReadNotUseHTCutil();

// Flags2: 0 when missing.
uint32_t ReadFlags2();
bool WriteFlags2(uint32_t value);

// The stored SIM PIN: ProfileFlags (the encoded PIN; 15 means none) and
// ProfileFlags2 (1 long form, 0 short form).
struct SimPinValues {
    uint32_t profileFlags = kNoSimPin;  // the encoded PIN, or kNoSimPin
    uint32_t profileFlags2 = 0;         // the form selector
};
// Reads both values over the defaults above; false when the key cannot be
// opened (a missing value leaves its default).
bool ReadSimPinValues(SimPinValues* values);
// Writes ProfileFlags, then ProfileFlags2, creating the key when missing.
bool WriteSimPinValues(const SimPinValues& values);

// LogMode (set by the user): the log switch bits; 0 when missing. This is
// the bare read; the log's own query (common/config/log_file.h) rotates the
// log first.
uint32_t ReadLogMode();

}  // namespace tlw
