#include "base/text.h"

#include <vector>

namespace tlw {

std::u16string Utf8ToUtf16(std::string_view in) {
    std::u16string out;
    out.reserve(in.size());
    std::size_t i = 0;
    while (i < in.size()) {
        unsigned char c = static_cast<unsigned char>(in[i]);
        char32_t cp;
        std::size_t extra;
        if (c < 0x80) { cp = c; extra = 0; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; }
        else { out.push_back(0xFFFD); ++i; continue; }
        bool ok = true;
        for (std::size_t k = 1; k <= extra; ++k) {
            if (i + k >= in.size()) { ok = false; break; }
            unsigned char cc = static_cast<unsigned char>(in[i + k]);
            if ((cc & 0xC0) != 0x80) { ok = false; break; }
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok) { out.push_back(0xFFFD); ++i; continue; }
        i += extra + 1;
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(0xFFFD);
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view in) {
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        char32_t cp = in[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

namespace {

// The characters the platform's wide-character classification calls white
// space: the ASCII blanks and line ends, and the Unicode space separators.
bool IsWideSpace(char16_t c) {
    if (c == u' ' || (c >= u'\t' && c <= u'\r')) return true;
    if (c < 0x85) return false;
    return c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
           c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

}  // namespace

int32_t ParseInt(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsWideSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate the magnitude and stop growing it at the first value past
    // the range; the rest of the digits are still part of the number.
    constexpr int64_t kLimit = int64_t{INT32_MAX} + 1;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        if (value <= kLimit) value = value * 10 + (text[i] - u'0');
    if (negative) return value >= kLimit ? INT32_MIN : static_cast<int32_t>(-value);
    return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

char16_t FoldCase(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
    if (c == 0xFF) return 0x178;
    return c;
}

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

namespace {

void Pad(std::u16string& out, std::u16string_view body, int width, bool left, char16_t fill) {
    int padding = width - static_cast<int>(body.size());
    if (!left && padding > 0) {
        // Zero padding goes after a sign.
        if (fill == u'0' && !body.empty() && body[0] == u'-') {
            out.push_back(u'-');
            body.remove_prefix(1);
        }
        out.append(static_cast<std::size_t>(padding), fill);
    }
    out.append(body);
    if (left && padding > 0) out.append(static_cast<std::size_t>(padding), u' ');
}

std::u16string Digits(uint64_t v, unsigned base, bool upper) {
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::u16string s;
    do {
        s.insert(s.begin(), static_cast<char16_t>(set[v % base]));
        v /= base;
    } while (v != 0);
    return s;
}

}  // namespace

std::u16string Format(std::u16string_view format, std::initializer_list<FormatArg> args) {
    std::u16string out;
    auto next = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        char16_t c = format[i];
        if (c != u'%') {
            out.push_back(c);
            continue;
        }
        std::size_t start = i;
        ++i;
        bool left = false;
        char16_t fill = u' ';
        while (i < format.size() && (format[i] == u'-' || format[i] == u'0')) {
            if (format[i] == u'-') left = true; else fill = u'0';
            ++i;
        }
        int width = 0;
        while (i < format.size() && format[i] >= u'0' && format[i] <= u'9') width = width * 10 + (format[i++] - u'0');
        int precision = -1;
        if (i < format.size() && format[i] == u'.') {
            ++i;
            precision = 0;
            while (i < format.size() && format[i] >= u'0' && format[i] <= u'9') precision = precision * 10 + (format[i++] - u'0');
        }
        while (i < format.size() && (format[i] == u'l' || format[i] == u'h' || format[i] == u'I')) ++i;
        if (i >= format.size()) {
            out.append(format.substr(start));
            break;
        }
        char16_t conv = format[i];
        if (conv == u'%') {
            out.push_back(u'%');
            continue;
        }
        if (conv != u'd' && conv != u'i' && conv != u'u' && conv != u'x' && conv != u'X' && conv != u's' && conv != u'S' && conv != u'c') {
            out.append(format.substr(start, i - start + 1));
            continue;
        }
        if (next == args.end()) continue;
        const FormatArg& a = *next++;
        std::u16string body;
        switch (conv) {
        case u'd': case u'i':
            if (a.kind == FormatArg::Kind::Text) break;
            if (a.kind == FormatArg::Kind::Int && a.i < 0)
                body = u"-" + Digits(static_cast<uint64_t>(-(a.i + 1)) + 1, 10, false);
            else
                body = Digits(static_cast<uint64_t>(a.i), 10, false);
            break;
        case u'u':
            if (a.kind != FormatArg::Kind::Text) body = Digits(static_cast<uint32_t>(a.i), 10, false);
            break;
        case u'x': case u'X':
            if (a.kind != FormatArg::Kind::Text) body = Digits(static_cast<uint32_t>(a.i), 16, conv == u'X');
            break;
        case u'c':
            if (a.kind != FormatArg::Kind::Text) body.push_back(static_cast<char16_t>(a.i));
            break;
        default:  // s, S
            if (a.kind == FormatArg::Kind::Text) {
                std::u16string_view s = a.s;
                std::size_t z = s.find(u'\0');
                if (z != std::u16string_view::npos) s = s.substr(0, z);
                if (precision >= 0 && s.size() > static_cast<std::size_t>(precision)) s = s.substr(0, precision);
                body = std::u16string(s);
            }
            fill = u' ';
            break;
        }
        Pad(out, body, width, left, fill);
    }
    return out;
}

}  // namespace tlw
