#include "platform/pim/calendar_restriction.h"

#include <cmath>

#include "base/text.h"

namespace plat {
namespace {

using Field = RestrictionClause::Field;
using Op = RestrictionClause::Op;

struct FieldName {
    const char16_t* name;  // as written between the brackets
    Field field;
};
constexpr FieldName kFields[] = {
    {u"Start", Field::kStart},         {u"End", Field::kEnd},
    {u"AllDayEvent", Field::kAllDay},  {u"BusyStatus", Field::kBusy},
    {u"MeetingStatus", Field::kMeeting}, {u"Sensitivity", Field::kSensitivity},
    {u"Subject", Field::kSubject},     {u"Categories", Field::kCategories},
};

bool IsTime(Field f) { return f == Field::kStart || f == Field::kEnd; }
bool IsText(Field f) { return f == Field::kSubject || f == Field::kCategories; }

int64_t SecondsOf(const SystemTime& t) {
    FileTime ft = 0;
    if (!SystemTimeToFileTime(t, &ft)) return 0;
    return static_cast<int64_t>(ft / 10000000u);
}

// Reads the restriction left to right.
class Scanner {
public:
    explicit Scanner(std::u16string_view text) : text_(text) {}

    void SkipBlanks() {
        while (at_ < text_.size() && (text_[at_] == u' ' || text_[at_] == u'\t')) ++at_;
    }
    bool AtEnd() {
        SkipBlanks();
        return at_ >= text_.size();
    }
    size_t Position() const { return at_; }
    bool Take(char16_t c) {
        SkipBlanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    // Text up to (not including) the character stop; false when it never comes.
    bool Until(char16_t stop, std::u16string* out) {
        size_t end = text_.find(stop, at_);
        if (end == std::u16string_view::npos) return false;
        *out = std::u16string(text_.substr(at_, end - at_));
        at_ = end + 1;
        return true;
    }
    // A word of letters, digits, signs and dots.
    std::u16string Word() {
        SkipBlanks();
        size_t start = at_;
        while (at_ < text_.size()) {
            char16_t c = text_[at_];
            bool wordChar = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
                            c == u'-' || c == u'+' || c == u'.';
            if (!wordChar) break;
            ++at_;
        }
        return std::u16string(text_.substr(start, at_ - start));
    }
    bool TakeOperator(Op* op) {
        SkipBlanks();
        std::u16string_view rest = text_.substr(at_);
        struct OpText {
            const char16_t* text;
            Op op;
        };
        static constexpr OpText kOps[] = {{u"<>", Op::kNe}, {u"<=", Op::kLe}, {u">=", Op::kGe},
                                          {u"=", Op::kEq},  {u"<", Op::kLt},  {u">", Op::kGt}};
        for (const OpText& o : kOps) {
            std::u16string_view t(o.text);
            if (rest.substr(0, t.size()) == t) {
                at_ += t.size();
                *op = o.op;
                return true;
            }
        }
        return false;
    }

private:
    std::u16string_view text_;  // the whole restriction
    size_t at_ = 0;             // next character to read
};

bool ParseNumberText(std::u16string_view text, double* out) {
    std::string narrow = tlw::Utf16ToUtf8(text);
    if (narrow.empty()) return false;
    char* end = nullptr;
    double v = std::strtod(narrow.c_str(), &end);
    if (end != narrow.c_str() + narrow.size() || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

// A quoted time: "<N" (OLE day count) or a device time.
bool ParseTimeText(std::u16string_view text, int64_t* seconds) {
    SystemTime t;
    if (!text.empty() && text[0] == u'<') {
        double day = 0;
        if (!ParseNumberText(text.substr(1), &day) || !VariantTimeToSystemTime(day, &t)) return false;
    } else if (!ParseDeviceTime(tlw::Utf16ToUtf8(text).c_str(), &t)) {
        return false;
    }
    *seconds = SecondsOf(t);
    return true;
}

std::string Where(const Scanner& s) { return " at character " + std::to_string(s.Position() + 1); }

template <typename T>
bool Compare(Op op, T a, T b) {
    switch (op) {
    case Op::kEq: return a == b;
    case Op::kNe: return a != b;
    case Op::kLt: return a < b;
    case Op::kLe: return a <= b;
    case Op::kGt: return a > b;
    case Op::kGe: return a >= b;
    }
    return false;
}

}  // namespace

bool ParseRestriction(std::u16string_view text, Restriction* out, std::string* error) {
    Restriction result;
    Scanner s(text);
    while (!s.AtEnd()) {
        if (!result.clauses.empty()) {
            std::u16string joiner = s.Word();
            if (!tlw::EqualsNoCase(joiner, u"and")) {
                *error = "expected 'and'" + Where(s);
                return false;
            }
        }
        RestrictionClause clause;
        std::u16string name;
        if (!s.Take(u'[') || !s.Until(u']', &name)) {
            *error = "expected [Field]" + Where(s);
            return false;
        }
        bool known = false;
        for (const FieldName& f : kFields) {
            if (tlw::EqualsNoCase(name, f.name)) {
                clause.field = f.field;
                known = true;
            }
        }
        if (!known) {
            *error = "unknown field [" + tlw::Utf16ToUtf8(name) + "]";
            return false;
        }
        if (!s.TakeOperator(&clause.op)) {
            *error = "expected an operator" + Where(s);
            return false;
        }
        if (IsText(clause.field) && clause.op != Op::kEq && clause.op != Op::kNe) {
            *error = "text fields compare only with = and <>";
            return false;
        }
        if (s.Take(u'"')) {
            std::u16string value;
            if (!s.Until(u'"', &value)) {
                *error = "unterminated quoted value";
                return false;
            }
            if (IsText(clause.field)) {
                clause.text = value;
            } else if (!IsTime(clause.field) || !ParseTimeText(value, &clause.number)) {
                *error = "bad value \"" + tlw::Utf16ToUtf8(value) + "\" for [" + tlw::Utf16ToUtf8(name) + "]";
                return false;
            }
        } else {
            std::u16string word = s.Word();
            double number = 0;
            if (clause.field == Field::kAllDay && tlw::EqualsNoCase(word, u"TRUE")) {
                clause.number = 1;
            } else if (clause.field == Field::kAllDay && tlw::EqualsNoCase(word, u"FALSE")) {
                clause.number = 0;
            } else if (!IsText(clause.field) && !IsTime(clause.field) && clause.field != Field::kAllDay &&
                       ParseNumberText(word, &number) && number == std::floor(number)) {
                clause.number = static_cast<int64_t>(number);
            } else {
                *error = "bad value '" + tlw::Utf16ToUtf8(word) + "' for [" + tlw::Utf16ToUtf8(name) + "]";
                return false;
            }
        }
        result.clauses.push_back(std::move(clause));
    }
    *out = std::move(result);
    return true;
}

bool MeetsRestriction(const Restriction& restriction, const Appointment& a) {
    for (const RestrictionClause& c : restriction.clauses) {
        bool ok = false;
        switch (c.field) {
        case Field::kStart: ok = Compare(c.op, SecondsOf(a.start), c.number); break;
        case Field::kEnd: ok = Compare(c.op, SecondsOf(a.end), c.number); break;
        case Field::kAllDay: ok = Compare<int64_t>(c.op, a.allDay ? 1 : 0, c.number); break;
        case Field::kBusy: ok = Compare<int64_t>(c.op, a.busyStatus, c.number); break;
        case Field::kMeeting: ok = Compare<int64_t>(c.op, a.meetingStatus, c.number); break;
        case Field::kSensitivity: ok = Compare<int64_t>(c.op, a.sensitivity, c.number); break;
        case Field::kSubject: ok = Compare(c.op, std::u16string_view(a.subject), std::u16string_view(c.text)); break;
        case Field::kCategories: ok = Compare(c.op, std::u16string_view(a.categories), std::u16string_view(c.text)); break;
        }
        if (!ok) return false;
    }
    return true;
}

}  // namespace plat
