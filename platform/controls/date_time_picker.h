// The date and time picker (class "SysDateTimePick32"): a time or a date
// shown in fields by a format picture, edited field by field.
//
// The format (DTM_SETFORMAT) is a picture of HH H (hours 0-23), hh h (1-12),
// mm m (minutes), ss s (seconds), tt t (AM/PM), d dd (day), M MM (month), yy
// yyyy (year); text in single quotes and any other character stand as
// they are. Without a format the locale's time (DTS_TIMEFORMAT) or short
// date is shown. Left and right (or a tap on a field) choose the field; up
// and down, or the spin buttons at the right edge, step its value,
// wrapping within its range; typed digits replace its value (the next
// field follows when it is full). Every change sends DTN_DATETIMECHANGE
// (an NmDateTimeChange) to the parent in WM_NOTIFY; DTM_SETSYSTEMTIME does
// not.
#pragma once

#include <cstdint>

#include "platform/controls/common_controls.h"
#include "platform/kernel/clock.h"
#include "platform/message/messages.h"

namespace plat {

inline constexpr char16_t kDateTimePickClass[] = u"SysDateTimePick32";

constexpr uint32_t DTS_SHORTDATEFORMAT = 0x0000;
constexpr uint32_t DTS_UPDOWN = 0x0001;     // spin buttons (always shown on this device)
constexpr uint32_t DTS_SHOWNONE = 0x0002;   // may hold no value (GDT_NONE)
constexpr uint32_t DTS_LONGDATEFORMAT = 0x0004;
constexpr uint32_t DTS_TIMEFORMAT = 0x0009;  // includes DTS_UPDOWN

constexpr uint32_t DTM_FIRST = 0x1000;
constexpr uint32_t DTM_GETSYSTEMTIME = DTM_FIRST + 1;  // lParam: SystemTime*; answers GDT_VALID or GDT_NONE
constexpr uint32_t DTM_SETSYSTEMTIME = DTM_FIRST + 2;  // wParam: GDT_VALID / GDT_NONE; lParam: const SystemTime*
constexpr uint32_t DTM_SETFORMAT = DTM_FIRST + 5;      // lParam: const char16_t* picture (null: the default)

constexpr uint32_t GDT_ERROR = 0xFFFFFFFFu;
constexpr uint32_t GDT_VALID = 0;
constexpr uint32_t GDT_NONE = 1;

constexpr uint32_t DTN_FIRST = 0u - 760u;
constexpr uint32_t DTN_DATETIMECHANGE = DTN_FIRST + 1;

// DTN_DATETIMECHANGE's record.
struct NmDateTimeChange {
    NmHdr hdr;                 // code DTN_DATETIMECHANGE
    uint32_t flags = GDT_VALID;  // GDT_VALID, or GDT_NONE when the value was cleared
    SystemTime st;             // the new value
};

LResult DateTimePickerProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam);

}  // namespace plat
