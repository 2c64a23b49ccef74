// The system locale's date and time formats, as the phone's national
// language support gives them. The device has one locale ("en-US" unless its
// model names another); the supported ones are "en-US", "en-GB" and "de-DE".
#pragma once

#include <string>
#include <string_view>

#include "platform/kernel/clock.h"

namespace plat {

// Selects the locale of this process. False, keeping the current one, for a
// name that is not supported (names match without regard to case).
bool SetLocaleName(std::string_view name);
// The current locale's name in its canonical spelling ("en-US").
std::string LocaleName();

// The date in the locale's short date form: "M/d/yyyy" (en-US),
// "dd/MM/yyyy" (en-GB), "dd.MM.yyyy" (de-DE). Empty for an invalid date.
std::u16string GetShortDateString(const SystemTime& t);

// Formats the date of t with a picture of the platform's date formats:
// d dd (day), ddd dddd (weekday name, abbreviated and full), M MM (month),
// MMM MMMM (month name), y yy (year in the century), yyyy (full year).
// Text in single quotes is copied ('' is one quote); any other character
// is copied as it stands. Names are the locale's. Empty for an invalid date.
std::u16string FormatDateString(const SystemTime& t, std::u16string_view picture);

// Formats the time of t with a picture of the platform's time formats:
// HH H (24-hour, with and without leading zero), hh h (12-hour), mm m, ss s,
// tt t (AM/PM marker, whole or its first letter). Quoting and other
// characters as in FormatDateString. Empty for an invalid time.
std::u16string FormatTimeString(const SystemTime& t, std::u16string_view picture);

}  // namespace plat
