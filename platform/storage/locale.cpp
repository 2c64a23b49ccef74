// Date and time formatting of the system locale. A picture is read as runs of
// one letter ("dd", "MMMM", "HH"); each run of a known letter becomes a field,
// quoted text and every other character are copied.
#include "platform/storage/locale.h"

#include <atomic>


namespace plat {
namespace {

// The names and forms of one locale.
struct LocaleInfo {
    const char* name;                // canonical name, "en-US"
    const char16_t* shortDate;       // short date picture
    const char16_t* months[12];      // full month names, January first
    const char16_t* shortMonths[12]; // abbreviated month names
    const char16_t* days[7];         // full weekday names, Sunday first
    const char16_t* shortDays[7];    // abbreviated weekday names
    const char16_t* am;              // time marker before noon
    const char16_t* pm;              // time marker from noon
};

constexpr LocaleInfo kEnglishUs = {
    "en-US",
    u"M/d/yyyy",
    {u"January", u"February", u"March", u"April", u"May", u"June", u"July", u"August", u"September", u"October",
     u"November", u"December"},
    {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun", u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"},
    {u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday"},
    {u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"},
    u"AM",
    u"PM",
};

// The names of en-US; the short date puts the day first.
constexpr LocaleInfo kEnglishGb = [] {
    LocaleInfo info = kEnglishUs;
    info.name = "en-GB";
    info.shortDate = u"dd/MM/yyyy";
    return info;
}();

constexpr LocaleInfo kGerman = {
    "de-DE",
    u"dd.MM.yyyy",
    {u"Januar", u"Februar", u"M\u00e4rz", u"April", u"Mai", u"Juni", u"Juli", u"August", u"September", u"Oktober",
     u"November", u"Dezember"},
    {u"Jan", u"Feb", u"M\u00e4r", u"Apr", u"Mai", u"Jun", u"Jul", u"Aug", u"Sep", u"Okt", u"Nov", u"Dez"},
    {u"Sonntag", u"Montag", u"Dienstag", u"Mittwoch", u"Donnerstag", u"Freitag", u"Samstag"},
    {u"So", u"Mo", u"Di", u"Mi", u"Do", u"Fr", u"Sa"},
    u"AM",
    u"PM",
};

constexpr const LocaleInfo* kLocales[] = {&kEnglishUs, &kEnglishGb, &kGerman};

std::atomic<const LocaleInfo*> g_locale{&kEnglishUs};  // the process's locale

bool SameNameNoCase(std::string_view a, const char* b) {
    std::string_view bv(b);
    if (a.size() != bv.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = bv[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Appends value in decimal, with at least `digits` digits.
void AppendNumber(std::u16string& out, unsigned value, int digits) {
    char16_t text[12];
    int n = 0;
    do {
        text[n++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value && n < 12);
    while (n < digits) text[n++] = u'0';
    while (n > 0) out.push_back(text[--n]);
}

// Appends one field for a run of `count` letters; false when the letter is no
// field of this kind of picture.
using FieldWriter = bool (*)(std::u16string& out, const SystemTime& t, const LocaleInfo& info, char16_t letter,
                             size_t count);

bool WriteDateField(std::u16string& out, const SystemTime& t, const LocaleInfo& info, char16_t letter, size_t count) {
    switch (letter) {
        case u'd':
            if (count <= 2) AppendNumber(out, t.day, static_cast<int>(count));
            else out += count == 3 ? info.shortDays[t.dayOfWeek] : info.days[t.dayOfWeek];
            return true;
        case u'M':
            if (count <= 2) AppendNumber(out, t.month, static_cast<int>(count));
            else out += count == 3 ? info.shortMonths[t.month - 1] : info.months[t.month - 1];
            return true;
        case u'y':
            if (count <= 2) AppendNumber(out, t.year % 100u, static_cast<int>(count));
            else AppendNumber(out, t.year, 4);
            return true;
        default:
            return false;
    }
}

bool WriteTimeField(std::u16string& out, const SystemTime& t, const LocaleInfo& info, char16_t letter, size_t count) {
    int digits = count >= 2 ? 2 : 1;
    switch (letter) {
        case u'H':
            AppendNumber(out, t.hour, digits);
            return true;
        case u'h':
            AppendNumber(out, t.hour % 12 == 0 ? 12u : t.hour % 12u, digits);
            return true;
        case u'm':
            AppendNumber(out, t.minute, digits);
            return true;
        case u's':
            AppendNumber(out, t.second, digits);
            return true;
        case u't': {
            std::u16string_view marker = t.hour < 12 ? info.am : info.pm;
            out += count >= 2 ? marker : marker.substr(0, 1);
            return true;
        }
        default:
            return false;
    }
}

std::u16string FormatPicture(const SystemTime& t, std::u16string_view picture, FieldWriter writeField) {
    const LocaleInfo& info = *g_locale.load();
    std::u16string out;
    size_t i = 0;
    while (i < picture.size()) {
        char16_t c = picture[i];
        if (c == u'\'' && i + 1 < picture.size() && picture[i + 1] == u'\'') {
            out.push_back(u'\'');  // '' stands for one quote, inside quotes or out
            i += 2;
            continue;
        }
        if (c == u'\'') {
            // Quoted text up to the closing quote.
            ++i;
            while (i < picture.size()) {
                if (picture[i] == u'\'') {
                    if (i + 1 < picture.size() && picture[i + 1] == u'\'') {
                        out.push_back(u'\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out.push_back(picture[i++]);
            }
            continue;
        }
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) ++run;
        if (writeField(out, t, info, c, run)) {
            i += run;
        } else {
            out.push_back(c);
            ++i;
        }
    }
    return out;
}

}  // namespace

bool SetLocaleName(std::string_view name) {
    for (const LocaleInfo* info : kLocales) {
        if (SameNameNoCase(name, info->name)) {
            g_locale.store(info);
            return true;
        }
    }
    return false;
}

std::string LocaleName() { return g_locale.load()->name; }

std::u16string GetShortDateString(const SystemTime& t) {
    return FormatDateString(t, g_locale.load()->shortDate);
}

std::u16string FormatDateString(const SystemTime& t, std::u16string_view picture) {
    SystemTime date = t;
    // Only the date has to be valid here; the time of day is not shown.
    date.hour = date.minute = date.second = date.milliseconds = 0;
    if (!NormalizeSystemTime(&date)) return {};
    return FormatPicture(date, picture, WriteDateField);
}

std::u16string FormatTimeString(const SystemTime& t, std::u16string_view picture) {
    if (t.hour > 23 || t.minute > 59 || t.second > 59 || t.milliseconds > 999) return {};
    return FormatPicture(t, picture, WriteTimeField);
}

}  // namespace plat
