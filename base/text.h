// Small text helpers shared by every subsystem: conversion between UTF-16
// and UTF-8 at the program's edges, decimal parsing, case-insensitive
// comparison and a printf-style formatter over UTF-16.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tlw {

// UTF-8 (host side: paths, console, tests) to and from UTF-16 (the model).
// Invalid sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Decimal integer as the platform's wide-string-to-long conversion reads it:
// leading white space of every kind (blanks, tabs, line ends, the Unicode
// spaces), an optional sign, then as many digits as stand there; 0 when
// there are none. Values beyond 32 bits saturate at 2147483647 and
// -2147483648 instead of wrapping.
int32_t ParseInt(std::u16string_view text);

// Case-insensitive comparison for ASCII and Latin-1 letters, as the device
// compares file and registry names.
char16_t FoldCase(char16_t c);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);
bool StartsWith(std::u16string_view text, std::u16string_view prefix);
bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix);

// One argument of Format: an integer or a string.
struct FormatArg {
    enum class Kind { Int, UInt, Text };
    Kind kind;
    int64_t i = 0;
    std::u16string_view s;
    FormatArg(int v) : kind(Kind::Int), i(v) {}
    FormatArg(long v) : kind(Kind::Int), i(v) {}
    FormatArg(long long v) : kind(Kind::Int), i(v) {}
    FormatArg(unsigned v) : kind(Kind::UInt), i(v) {}
    FormatArg(unsigned long v) : kind(Kind::UInt), i(static_cast<int64_t>(v)) {}
    FormatArg(unsigned long long v) : kind(Kind::UInt), i(static_cast<int64_t>(v)) {}
    FormatArg(std::u16string_view v) : kind(Kind::Text), s(v) {}
    FormatArg(const char16_t* v) : kind(Kind::Text), s(v) {}
    FormatArg(const std::u16string& v) : kind(Kind::Text), s(v) {}
};

// printf-style formatting: %d %i %u %x %X %s %c %% with flags "-", "0",
// a width and a precision for strings ("%.3s"). A missing argument formats
// as nothing; an unknown conversion is copied as it stands.
std::u16string Format(std::u16string_view format, std::initializer_list<FormatArg> args);

}  // namespace tlw
