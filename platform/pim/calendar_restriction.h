// The restriction text of a find in the calendar's items: clauses
// "[Field] OP VALUE" joined by "and", for example
//   [AllDayEvent] = FALSE and [End] >= "<40180"
// Fields: Start, End (times), AllDayEvent (TRUE or FALSE), BusyStatus,
// MeetingStatus, Sensitivity (integers), Subject, Categories (quoted text).
// Operators: = <> < <= > >= (text takes only = and <>). A time is quoted,
// either as "<N" (the start of day N of the OLE date count, where day 0 is
// 30 December 1899; a fraction gives a time of day) or as
// "YYYY-MM-DDTHH:MM:SS". Field names and TRUE, FALSE and "and" are matched
// without regard to case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pim/appointment.h"

namespace plat {

// One clause of a restriction.
struct RestrictionClause {
    enum class Field : uint8_t { kStart, kEnd, kAllDay, kBusy, kMeeting, kSensitivity, kSubject, kCategories };
    enum class Op : uint8_t { kEq, kNe, kLt, kLe, kGt, kGe };
    Field field = Field::kStart;  // what is compared
    Op op = Op::kEq;              // how
    int64_t number = 0;           // the value: seconds since 1601 for a time, 0/1 for a flag, else the integer
    std::u16string text;          // the value of a text field
};

struct Restriction {
    std::vector<RestrictionClause> clauses;  // all must hold
};

// Parses a restriction; false (with *error saying where) for text it does
// not understand. An empty text is a restriction that every item meets.
bool ParseRestriction(std::u16string_view text, Restriction* out, std::string* error);

// Whether the appointment meets every clause.
bool MeetsRestriction(const Restriction& restriction, const Appointment& appointment);

}  // namespace plat
