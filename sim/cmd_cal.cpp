// tlwsim cal DIR add|list|del|clear: the device's calendar, changed as the
// phone's calendar application would change it (registered windows receive
// the item notifications).
#include <charconv>
#include <cstdio>
#include <string>

#include "base/text.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/last_error.h"
#include "platform/pim/calendar_store.h"
#include "platform/pim/categories.h"
#include "sim/command.h"

namespace {

bool ParseSmall(const std::string& text, int32_t max, int32_t* out) {
    int32_t v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v < 0 || v > max) return false;
    *out = v;
    return true;
}

// The recurrence words of `tlwsim cal add` and `list`.
const struct {
    const char* word;
    int32_t type;
} kRepeats[] = {{"daily", plat::kRecursDaily},
                {"weekly", plat::kRecursWeekly},
                {"monthly", plat::kRecursMonthly},
                {"yearly", plat::kRecursYearly}};

bool ParseRepeat(const std::string& text, int32_t* type) {
    for (const auto& r : kRepeats)
        if (text == r.word) {
            *type = r.type;
            return true;
        }
    return false;
}

const char* RepeatWord(int32_t type) {
    for (const auto& r : kRepeats)
        if (r.type == type) return r.word;
    return "?";
}

// A date YYYY-MM-DD, or a device time (its day counts).
bool ParseDate(const std::string& text, plat::SystemTime* out) {
    std::string full = text.size() == 10 ? text + "T00:00:00" : text;
    return plat::ParseDeviceTime(full.c_str(), out);
}

// " repeat=weekly every=1 days=Mo,We until=2010-02-01" for a series, empty
// for a single appointment.
std::string RecurrenceWords(const plat::Appointment& a) {
    if (!a.isRecurring) return {};
    const plat::RecurrencePattern& p = a.recurrence;
    std::string words = std::string(" repeat=") + RepeatWord(p.type) + " every=" + std::to_string(p.interval);
    if (p.daysOfWeek != 0) words += " days=" + plat::FormatDaysOfWeek(p.daysOfWeek);
    if (p.hasEndDate) words += " until=" + plat::FormatDeviceTime(p.patternEnd).substr(0, 10);
    if (p.occurrences > 0) words += " count=" + std::to_string(p.occurrences);
    for (size_t i = 0; i < p.deleted.size(); ++i)
        words += (i == 0 ? " deleted=" : ",") + plat::FormatDeviceTime(p.deleted[i]).substr(0, 10);
    return words;
}

int Add(const sim::CommandArgs& args) {
    if (args.size() < 4) return sim::Usage("cal");
    plat::Appointment a;
    bool repeatWords = false;  // a recurrence field was given
    if (!plat::ParseDeviceTime(args[2].c_str(), &a.start))
        return sim::Fail("'" + args[2] + "' is no device time (YYYY-MM-DDTHH:MM:SS)");
    if (!plat::ParseDeviceTime(args[3].c_str(), &a.end))
        return sim::Fail("'" + args[3] + "' is no device time (YYYY-MM-DDTHH:MM:SS)");
    for (size_t i = 4; i < args.size(); ++i) {
        const std::string& arg = args[i];
        size_t eq = arg.find('=');
        std::string key = eq == std::string::npos ? arg : arg.substr(0, eq);
        std::string value = eq == std::string::npos ? "" : arg.substr(eq + 1);
        int32_t flag = 0;
        bool ok = eq != std::string::npos;
        if (!ok) {
        } else if (key == "subject") {
            a.subject = tlw::Utf8ToUtf16(value);
        } else if (key == "categories") {
            a.categories = tlw::Utf8ToUtf16(value);
        } else if (key == "busy") {
            ok = ParseSmall(value, plat::kMaxBusyStatus, &a.busyStatus);
        } else if (key == "meeting") {
            ok = ParseSmall(value, plat::kMaxMeetingStatus, &a.meetingStatus);
        } else if (key == "sensitivity") {
            ok = ParseSmall(value, plat::kMaxSensitivity, &a.sensitivity);
        } else if (key == "allday") {
            ok = ParseSmall(value, 1, &flag);
            a.allDay = flag != 0;
        } else if (key == "repeat") {
            ok = ParseRepeat(value, &a.recurrence.type);
            a.isRecurring = true;
        } else if (key == "every") {
            ok = ParseSmall(value, plat::kMaxRecurrenceInterval, &a.recurrence.interval) && a.recurrence.interval > 0;
            repeatWords = true;
        } else if (key == "days") {
            ok = plat::ParseDaysOfWeek(value, &a.recurrence.daysOfWeek);
            repeatWords = true;
        } else if (key == "until") {
            ok = ParseDate(value, &a.recurrence.patternEnd);
            a.recurrence.hasEndDate = true;
            repeatWords = true;
        } else if (key == "count") {
            ok = ParseSmall(value, plat::kMaxOccurrences, &a.recurrence.occurrences) && a.recurrence.occurrences > 0;
            repeatWords = true;
        } else {
            return sim::Fail("unknown appointment field '" + key + "' (see tlwsim cal --help)");
        }
        if (!ok) return sim::Fail("bad value in '" + arg + "' (see tlwsim cal --help)");
    }
    if (repeatWords && !a.isRecurring) return sim::Fail("every, days, until and count need repeat=daily|weekly|monthly|yearly");
    std::string problem = plat::CheckAppointment(a);
    if (!problem.empty()) return sim::Fail(problem);
    if (!sim::OpenDevice(args)) return 1;
    int64_t oid = 0;
    uint32_t error = plat::PimAddAppointment(a, &oid);
    if (error != 0) return sim::Fail("cannot store the appointment (error " + std::to_string(error) + ")");
    std::printf("%lld\n", static_cast<long long>(oid));
    return 0;
}

int List(const sim::CommandArgs& args) {
    if (args.size() != 2) return sim::Usage("cal");
    if (!sim::OpenDevice(args)) return 1;
    std::vector<plat::Appointment> all;
    uint32_t error = plat::PimListAppointments(&all);
    if (error != 0) return sim::Fail("cannot read the calendar (error " + std::to_string(error) + ")");
    for (const plat::Appointment& a : all) {
        std::printf("%lld %s %s busy=%d meeting=%d sensitivity=%d allday=%d categories=%s%s subject=%s\n",
                    static_cast<long long>(a.oid), plat::FormatDeviceTime(a.start).c_str(),
                    plat::FormatDeviceTime(a.end).c_str(), a.busyStatus, a.meetingStatus, a.sensitivity,
                    a.allDay ? 1 : 0, tlw::Utf16ToUtf8(a.categories).c_str(), RecurrenceWords(a).c_str(),
                    tlw::Utf16ToUtf8(a.subject).c_str());
    }
    return 0;
}

int Delete(const sim::CommandArgs& args) {
    if (args.size() != 3) return sim::Usage("cal");
    long long oid = 0;
    const std::string& text = args[2];
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), oid);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || oid <= 0)
        return sim::Fail("'" + text + "' is no appointment identifier");
    if (!sim::OpenDevice(args)) return 1;
    uint32_t error = plat::PimDeleteAppointment(oid);
    if (error == plat::kErrorInvalidParameter) return sim::Fail("the calendar has no appointment " + text);
    if (error != 0) return sim::Fail("cannot delete appointment " + text + " (error " + std::to_string(error) + ")");
    return 0;
}

// tlwsim cal DIR skip ID DATE: deletes one occurrence of a series.
int Skip(const sim::CommandArgs& args) {
    if (args.size() != 4) return sim::Usage("cal");
    long long oid = 0;
    const std::string& text = args[2];
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), oid);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || oid <= 0)
        return sim::Fail("'" + text + "' is no appointment identifier");
    plat::SystemTime day;
    if (!ParseDate(args[3], &day)) return sim::Fail("'" + args[3] + "' is no date (YYYY-MM-DD)");
    if (!sim::OpenDevice(args)) return 1;
    uint32_t error = plat::PimDeleteOccurrence(oid, day);
    if (error == plat::kErrorInvalidParameter)
        return sim::Fail("appointment " + text + " is no recurring one with an occurrence on " + args[3]);
    if (error != 0) return sim::Fail("cannot delete the occurrence (error " + std::to_string(error) + ")");
    return 0;
}

int Clear(const sim::CommandArgs& args) {
    if (args.size() != 2) return sim::Usage("cal");
    if (!sim::OpenDevice(args)) return 1;
    uint32_t error = plat::PimClearAppointments();
    if (error != 0) return sim::Fail("cannot clear the calendar (error " + std::to_string(error) + ")");
    return 0;
}

// tlwsim cal DIR category list|add NAME|del NAME
int Category(const sim::CommandArgs& args) {
    if (args.size() < 3) return sim::Usage("cal");
    const std::string& what = args[2];
    if (what == "list" && args.size() == 3) {
        if (!sim::OpenDevice(args)) return 1;
        std::vector<std::u16string> names;
        if (!plat::ReadCategoryDatabase(plat::kPimVolume, plat::kCategoryDatabase, &names))
            return sim::Fail("cannot read the calendar's categories");
        for (const std::u16string& name : names) std::printf("%s\n", tlw::Utf16ToUtf8(name).c_str());
        return 0;
    }
    if ((what != "add" && what != "del") || args.size() != 4) return sim::Usage("cal");
    std::u16string name = tlw::Utf8ToUtf16(args[3]);
    if (!sim::OpenDevice(args)) return 1;
    if (what == "add") {
        if (plat::AddCalendarCategory(name)) return 0;
        if (plat::GetLastError() == plat::kErrorAlreadyExists) return sim::Fail("the category '" + args[3] + "' is there already");
        if (plat::GetLastError() == plat::kErrorInvalidParameter)
            return sim::Fail("'" + args[3] + "' is no category name (1 to 32 characters, no comma)");
        return sim::Fail("cannot store the category");
    }
    if (plat::RemoveCalendarCategory(name)) return 0;
    if (plat::GetLastError() == plat::kErrorFileNotFound) return sim::Fail("the calendar has no category '" + args[3] + "'");
    return sim::Fail("cannot store the categories");
}

int RunCal(const sim::CommandArgs& args) {
    if (args.size() < 2) return sim::Usage("cal");
    const std::string& action = args[1];
    if (action == "add") return Add(args);
    if (action == "list") return List(args);
    if (action == "del") return Delete(args);
    if (action == "clear") return Clear(args);
    if (action == "skip") return Skip(args);
    if (action == "category") return Category(args);
    return sim::Usage("cal");
}

}  // namespace

TLW_SIM_COMMAND("cal",
                "DIR add START END [subject=TEXT] [busy=0..3] [meeting=0..7] [sensitivity=0..3] [categories=A,B] "
                "[allday=1] [repeat=daily|weekly|monthly|yearly [every=N] [days=Mo,We] [until=DATE] [count=N]] | "
                "list | del ID | skip ID DATE | clear | category list|add NAME|del NAME",
                "The device's calendar, as its calendar application changes it; windows registered\n"
                "for the calendar folder's notifications hear of every change (33029 added,\n"
                "33030 deleted, 33031 changed).\n"
                "  add START END ...  adds an appointment (device times YYYY-MM-DDTHH:MM:SS) and\n"
                "                     prints its identifier. Fields: subject=TEXT; busy=0 free,\n"
                "                     1 tentative, 2 busy (default), 3 out of office; meeting=0 plain,\n"
                "                     1 meeting, 3 meeting received; sensitivity=0 normal, 1 personal,\n"
                "                     2 private, 3 confidential; categories=A,B; allday=1\n"
                "                     A recurring one: repeat=daily|weekly|monthly|yearly, every=N\n"
                "                     (1 ... 999, default 1), days=Mo,We (weekly; default the\n"
                "                     start's day), until=YYYY-MM-DD (the last day it may start\n"
                "                     on) or count=N (1 ... 999 occurrences), or neither (no end)\n"
                "  list               one line per appointment, by start: ID START END busy=N\n"
                "                     meeting=N sensitivity=N allday=0|1 categories=TEXT\n"
                "                     [repeat=... every=N [days=...] [until=DATE|count=N]\n"
                "                     [deleted=DATE,...]] subject=TEXT\n"
                "  del ID             deletes one appointment (a whole series)\n"
                "  skip ID DATE       deletes the one occurrence of series ID on DATE (YYYY-MM-DD)\n"
                "  clear              deletes every appointment\n"
                "  category list      the calendar's categories, one a line (a new device has\n"
                "                     Business, Holiday and Personal)\n"
                "  category add NAME  adds a category (1 to 32 characters, no comma)\n"
                "  category del NAME  removes one",
                RunCal);
