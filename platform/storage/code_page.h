// The device's ANSI code page and the conversions between it and UTF-16,
// with the platform conversion's behaviour: a character the code page cannot
// hold becomes the default character "?", and a byte the code page leaves
// undefined becomes the control character of the same value.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// The code page of this device (from its model; 1252 when none is given).
unsigned AnsiCodePage();
// Changes the code page of this process (tests, device models).
void SetAnsiCodePage(unsigned codePage);
// True when the code page is one this platform can convert.
bool IsKnownCodePage(unsigned codePage);

std::u16string AnsiToWide(std::string_view ansi);
std::string WideToAnsi(std::u16string_view wide);
// The same with an explicit code page (1252, 1250, 1251, 28591, 65001).
std::u16string AnsiToWide(std::string_view ansi, unsigned codePage);
std::string WideToAnsi(std::u16string_view wide, unsigned codePage);
// AnsiToWide in the device's code page into *out, reusing its storage: for
// readers that convert line after line.
void AnsiToWideInto(std::string_view ansi, std::u16string* out);
// WideToAnsi in the device's code page, appended to *out: for writers that
// convert line after line into one buffer.
void WideToAnsiAppend(std::u16string_view wide, std::string* out);

}  // namespace plat
