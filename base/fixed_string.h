// Fixed-capacity, zero-terminated UTF-16 string: the string type of every
// record of the model. The capacity counts characters including the
// terminator; assigning a longer value cuts it to fit.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace tlw {

template <std::size_t N>
struct FixedString {
    static_assert(N >= 1, "a fixed string needs room for its terminator");
    static constexpr std::size_t kCapacity = N;  // characters, terminator included

    char16_t text[N] = {};  // the characters, always zero-terminated

    FixedString() = default;
    FixedString(std::u16string_view value) { Assign(value); }

    FixedString& operator=(std::u16string_view value) {
        Assign(value);
        return *this;
    }
    template <std::size_t M>
    FixedString& operator=(const FixedString<M>& other) {
        Assign(other.View());
        return *this;
    }

    // Copies value, cut to the capacity. Returns false when it was cut.
    bool Assign(std::u16string_view value) {
        std::size_t n = std::min(value.size(), N - 1);
        std::copy_n(value.data(), n, text);
        text[n] = 0;
        return n == value.size();
    }
    // Appends value as far as it fits. Returns false when it was cut.
    bool Append(std::u16string_view value) {
        std::size_t len = Length();
        std::size_t n = std::min(value.size(), N - 1 - len);
        std::copy_n(value.data(), n, text + len);
        text[len + n] = 0;
        return n == value.size();
    }
    void Clear() { text[0] = 0; }

    std::size_t Length() const { return std::char_traits<char16_t>::length(text); }
    bool Empty() const { return text[0] == 0; }
    const char16_t* CStr() const { return text; }
    std::u16string_view View() const { return std::u16string_view(text, Length()); }
    std::u16string Str() const { return std::u16string(View()); }

    friend bool operator==(const FixedString& a, std::u16string_view b) { return a.View() == b; }
    template <std::size_t M>
    friend bool operator==(const FixedString& a, const FixedString<M>& b) { return a.View() == b.View(); }
};

}  // namespace tlw
