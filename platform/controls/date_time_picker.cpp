// The date and time picker.
#include "platform/controls/date_time_picker.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/controls/control_support.h"
#include "platform/controls/edit.h"
#include "platform/gdi/gdi.h"
#include "platform/storage/locale.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace plat {
namespace {

enum class Field : uint8_t { kText, kHour24, kHour12, kMinute, kSecond, kAmPm, kDay, kMonth, kYear };

// One piece of the picture: a field or literal text.
struct Segment {
    Field field = Field::kText;
    int width = 1;       // letters in the picture (2: leading zero; 4: full year)
    std::u16string text; // the literal text
};

struct PickerRecord {
    SystemTime st;                 // the value
    bool none = false;             // DTS_SHOWNONE: no value
    std::u16string picture;        // the format as set (empty: the default)
    std::vector<Segment> segments; // the parsed picture
    int active = -1;               // the segment being edited (a field), -1 none
    int typed = 0;                 // digits typed into the active field so far
    HFont font;                    // WM_SETFONT's font
};

ctl::ControlTable<PickerRecord>& Table() {
    static ctl::ControlTable<PickerRecord> table;
    return table;
}

std::u16string DefaultPicture(Hwnd hwnd) {
    std::string locale = LocaleName();
    if ((ctl::StyleOf(hwnd) & DTS_TIMEFORMAT) == DTS_TIMEFORMAT) return locale == "en-US" ? u"h:mm:ss tt" : u"HH:mm:ss";
    if (locale == "en-GB") return u"dd/MM/yyyy";
    if (locale == "de-DE") return u"dd.MM.yyyy";
    return u"M/d/yyyy";
}

std::vector<Segment> Parse(std::u16string_view picture) {
    std::vector<Segment> out;
    auto literal = [&](char16_t c) {
        if (out.empty() || out.back().field != Field::kText) out.push_back(Segment{});
        out.back().text.push_back(c);
    };
    for (size_t i = 0; i < picture.size();) {
        char16_t c = picture[i];
        if (c == u'\'') {
            size_t j = i + 1;
            for (; j < picture.size(); ++j) {
                if (picture[j] != u'\'') {
                    literal(picture[j]);
                    continue;
                }
                if (j + 1 < picture.size() && picture[j + 1] == u'\'') {
                    literal(u'\'');
                    ++j;
                    continue;
                }
                break;
            }
            if (j == i + 1 && j < picture.size() && picture[j] == u'\'') literal(u'\'');  // '' outside quotes
            i = j + 1;
            continue;
        }
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) ++run;
        Field field = Field::kText;
        switch (c) {
        case u'H': field = Field::kHour24; break;
        case u'h': field = Field::kHour12; break;
        case u'm': field = Field::kMinute; break;
        case u's': field = Field::kSecond; break;
        case u't': field = Field::kAmPm; break;
        case u'd': field = run <= 2 ? Field::kDay : Field::kText; break;
        case u'M': field = run <= 2 ? Field::kMonth : Field::kText; break;
        case u'y': field = Field::kYear; break;
        default: break;
        }
        if (field == Field::kText) {
            for (size_t k = 0; k < run; ++k) literal(c);
        } else {
            Segment s;
            s.field = field;
            s.width = static_cast<int>(std::min<size_t>(run, field == Field::kYear ? 4 : 2));
            out.push_back(s);
        }
        i += run;
    }
    return out;
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
    return kDays[(month - 1) % 12];
}

// The field's value, minimum and maximum as typed and stepped.
int ValueOf(const SystemTime& st, Field f) {
    switch (f) {
    case Field::kHour24: return st.hour;
    case Field::kHour12: return st.hour % 12 == 0 ? 12 : st.hour % 12;
    case Field::kMinute: return st.minute;
    case Field::kSecond: return st.second;
    case Field::kAmPm: return st.hour >= 12 ? 1 : 0;
    case Field::kDay: return st.day;
    case Field::kMonth: return st.month;
    case Field::kYear: return st.year;
    default: return 0;
    }
}
int MinOf(Field f) { return (f == Field::kHour12 || f == Field::kDay || f == Field::kMonth) ? 1 : f == Field::kYear ? 1601 : 0; }
int MaxOf(const SystemTime& st, Field f) {
    switch (f) {
    case Field::kHour24: return 23;
    case Field::kHour12: return 12;
    case Field::kMinute:
    case Field::kSecond: return 59;
    case Field::kAmPm: return 1;
    case Field::kDay: return DaysInMonth(st.year, st.month);
    case Field::kMonth: return 12;
    case Field::kYear: return 9999;
    default: return 0;
    }
}

void SetField(SystemTime* st, Field f, int v) {
    switch (f) {
    case Field::kHour24: st->hour = static_cast<uint16_t>(v); break;
    case Field::kHour12: st->hour = static_cast<uint16_t>((v % 12) + (st->hour >= 12 ? 12 : 0)); break;
    case Field::kMinute: st->minute = static_cast<uint16_t>(v); break;
    case Field::kSecond: st->second = static_cast<uint16_t>(v); break;
    case Field::kAmPm: st->hour = static_cast<uint16_t>(st->hour % 12 + (v ? 12 : 0)); break;
    case Field::kDay: st->day = static_cast<uint16_t>(v); break;
    case Field::kMonth: st->month = static_cast<uint16_t>(v); break;
    case Field::kYear: st->year = static_cast<uint16_t>(v); break;
    default: break;
    }
    // A shorter month or a non-leap year keeps the day inside it.
    if (st->month >= 1 && st->month <= 12) st->day = static_cast<uint16_t>(std::min<int>(st->day, DaysInMonth(st->year, st->month)));
    NormalizeSystemTime(st);
}

std::u16string Digits(int v, int width) {
    std::u16string s;
    std::string n = std::to_string(v);
    for (int k = static_cast<int>(n.size()); k < width; ++k) s.push_back(u'0');
    for (char c : n) s.push_back(static_cast<char16_t>(c));
    return s;
}

std::u16string SegmentText(const PickerRecord& p, const Segment& s) {
    const SystemTime& st = p.st;
    switch (s.field) {
    case Field::kText: return s.text;
    case Field::kAmPm: {
        std::u16string marker = st.hour >= 12 ? u"PM" : u"AM";
        return s.width == 1 ? marker.substr(0, 1) : marker;
    }
    case Field::kYear: return s.width <= 2 ? Digits(st.year % 100, 2) : Digits(st.year, 4);
    default: return Digits(ValueOf(st, s.field), s.width >= 2 ? 2 : 1);
    }
}

int FirstField(const PickerRecord& p) {
    for (size_t i = 0; i < p.segments.size(); ++i)
        if (p.segments[i].field != Field::kText) return static_cast<int>(i);
    return -1;
}

int NextField(const PickerRecord& p, int from, int direction) {
    for (int i = from + direction; i >= 0 && i < static_cast<int>(p.segments.size()); i += direction)
        if (p.segments[i].field != Field::kText) return i;
    return from;
}

void Reformat(Hwnd hwnd, PickerRecord& p) {
    p.segments = Parse(p.picture.empty() ? DefaultPicture(hwnd) : p.picture);
    p.active = FirstField(p);
    p.typed = 0;
}

Rect SpinArea(Hwnd hwnd) {
    Rect client;
    GetClientRect(hwnd, &client);
    int32_t width = std::min(ctl::ScaleX(14), (client.right - client.left) / 3);
    return {client.right - width, client.top, client.right, client.bottom};
}

// The left edge of each segment and the end, in client pixels.
std::vector<int32_t> SegmentEdges(const PickerRecord& p) {
    std::vector<int32_t> edges{ctl::ScaleX(3)};
    for (const Segment& s : p.segments) edges.push_back(edges.back() + ctl::TextWidth(p.font, SegmentText(p, s)));
    return edges;
}

void Changed(Hwnd hwnd, PickerRecord& p) {
    InvalidateRect(hwnd, nullptr, true);
    NmDateTimeChange change;
    change.flags = p.none ? GDT_NONE : GDT_VALID;
    change.st = p.st;
    ctl::NotifyParent(hwnd, &change.hdr, DTN_DATETIMECHANGE);
}

void Step(Hwnd hwnd, PickerRecord& p, int delta) {
    if (p.active < 0 || p.none) return;
    Field f = p.segments[p.active].field;
    int lo = MinOf(f), hi = MaxOf(p.st, f), span = hi - lo + 1;
    int v = ValueOf(p.st, f) - lo + delta;
    v = ((v % span) + span) % span + lo;
    p.typed = 0;
    SetField(&p.st, f, v);
    Changed(hwnd, p);
}

void TypeDigit(Hwnd hwnd, PickerRecord& p, int digit) {
    if (p.active < 0 || p.none) return;
    Field f = p.segments[p.active].field;
    if (f == Field::kAmPm) return;
    int lo = MinOf(f), hi = MaxOf(p.st, f);
    int maxDigits = f == Field::kYear ? 4 : 2;
    int v = p.typed == 0 ? digit : ValueOf(p.st, f) * 10 + digit;
    if (f == Field::kYear && p.typed == 0) v = digit;
    ++p.typed;
    // The field is full when no further digit could keep it in range.
    bool full = p.typed >= maxDigits || v * 10 > hi;
    int shown = std::clamp(v, f == Field::kYear ? 0 : lo, hi);
    if (f == Field::kYear) {
        if (!full) {
            // A partly typed year waits for its other digits before it counts.
            SetField(&p.st, f, std::max(lo, shown));
            InvalidateRect(hwnd, nullptr, true);
            return;
        }
        if (p.segments[p.active].width <= 2 && p.typed <= 2) shown = 2000 + v % 100;
        shown = std::clamp(shown, lo, hi);
    } else if (shown < lo) {
        // "0" in a field starting at 1 waits for the second digit.
        if (!full) {
            InvalidateRect(hwnd, nullptr, true);
            return;
        }
        shown = lo;
    }
    SetField(&p.st, f, shown);
    if (full) {
        p.typed = 0;
        p.active = NextField(p, p.active, 1);
    }
    Changed(hwnd, p);
}

void Paint(Hwnd hwnd, const PickerRecord& p) {
    PaintStruct ps;
    Hdc hdc = BeginPaint(hwnd, &ps);
    if (!hdc) return;
    Rect client;
    GetClientRect(hwnd, &client);
    bool enabled = ctl::IsEnabled(hwnd);
    bool focused = ctl::HasFocus(hwnd);
    ctl::FillSolid(hdc, client, enabled ? GetSysColor(kColorWindow) : GetSysColor(kColorBtnFace));
    ctl::FrameSolid(hdc, client, GetSysColor(kColorWindowFrame));
    Rect spin = SpinArea(hwnd);
    std::vector<int32_t> edges = SegmentEdges(p);
    int32_t height = ctl::LineHeight(p.font);
    int32_t top = client.top + (client.bottom - client.top - height) / 2;
    ColorRef text = enabled && !p.none ? GetSysColor(kColorWindowText) : GetSysColor(kColorGrayText);
    for (size_t i = 0; i < p.segments.size(); ++i) {
        Rect r{edges[i], top, edges[i + 1], top + height};
        if (r.left >= spin.left) break;
        r.right = std::min(r.right, spin.left);
        bool active = focused && static_cast<int>(i) == p.active && !p.none;
        if (active) ctl::FillSolid(hdc, r, GetSysColor(kColorHighlight));
        ctl::DrawLabel(hdc, p.font, SegmentText(p, p.segments[i]), r, kDtLeft | kDtSingleLine | kDtNoPrefix,
                       active ? GetSysColor(kColorHighlightText) : text);
    }
    // The spin buttons: up in the top half, down in the bottom half.
    ctl::FillSolid(hdc, spin, GetSysColor(kColorBtnFace));
    ctl::FrameSolid(hdc, spin, GetSysColor(kColorWindowFrame));
    int32_t middle = (spin.top + spin.bottom) / 2;
    ctl::FillSolid(hdc, Rect{spin.left, middle, spin.right, middle + 1}, GetSysColor(kColorWindowFrame));
    ColorRef arrow = enabled ? GetSysColor(kColorBtnText) : GetSysColor(kColorGrayText);
    int32_t cx = (spin.left + spin.right) / 2;
    int32_t size = std::max(2, std::min((spin.right - spin.left) / 3, (middle - spin.top) / 2));
    for (int32_t k = 0; k < size; ++k) {
        int32_t upY = (spin.top + middle) / 2 - size / 2 + k;
        int32_t downY = (middle + spin.bottom) / 2 + size / 2 - k;
        ctl::FillSolid(hdc, Rect{cx - k, upY, cx + k + 1, upY + 1}, arrow);
        ctl::FillSolid(hdc, Rect{cx - k, downY, cx + k + 1, downY + 1}, arrow);
    }
    EndPaint(hwnd, &ps);
}

bool ValidTime(const SystemTime& st) {
    SystemTime copy = st;
    return NormalizeSystemTime(&copy) && st.hour < 24 && st.minute < 60 && st.second < 60;
}

}  // namespace

LResult DateTimePickerProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_CREATE) {
        std::shared_ptr<PickerRecord> p = Table().Make(hwnd);
        p->st = GetLocalTime();
        p->st.milliseconds = 0;
        Reformat(hwnd, *p);
        return 0;
    }
    std::shared_ptr<PickerRecord> record = Table().Get(hwnd);
    if (!record) return DefWindowProc(hwnd, message, wParam, lParam);
    PickerRecord& p = *record;
    LResult result = 0;
    if (ctl::HandleFontMessage(hwnd, message, wParam, lParam, &p.font, &result)) return result;
    switch (message) {
    case WM_DESTROY:
        Table().Drop(hwnd);
        return 0;
    case WM_PAINT:
        Paint(hwnd, p);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        p.typed = 0;
        InvalidateRect(hwnd, nullptr, true);
        return 0;
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, true);
        return 0;
    case WM_KEYDOWN:
        if (!ctl::IsEnabled(hwnd)) return 0;
        switch (wParam) {
        case VK_LEFT:
        case VK_RIGHT:
            p.active = NextField(p, p.active, wParam == VK_LEFT ? -1 : 1);
            p.typed = 0;
            InvalidateRect(hwnd, nullptr, true);
            break;
        case VK_UP: Step(hwnd, p, 1); break;
        case VK_DOWN: Step(hwnd, p, -1); break;
        default: break;
        }
        return 0;
    case WM_CHAR:
        if (!ctl::IsEnabled(hwnd)) return 0;
        if (wParam >= u'0' && wParam <= u'9') TypeDigit(hwnd, p, static_cast<int>(wParam - u'0'));
        else if (p.active >= 0 && p.segments[p.active].field == Field::kAmPm && (wParam == u'a' || wParam == u'A' || wParam == u'p' || wParam == u'P')) {
            SetField(&p.st, Field::kAmPm, (wParam == u'p' || wParam == u'P') ? 1 : 0);
            Changed(hwnd, p);
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (!ctl::IsEnabled(hwnd)) return 0;
        SetFocus(hwnd);
        int32_t x = PointParamX(lParam), y = PointParamY(lParam);
        Rect spin = SpinArea(hwnd);
        if (x >= spin.left) {
            Step(hwnd, p, y < (spin.top + spin.bottom) / 2 ? 1 : -1);
            return 0;
        }
        std::vector<int32_t> edges = SegmentEdges(p);
        // The field under the tap, else the nearest one before it.
        int chosen = -1;
        for (size_t i = 0; i < p.segments.size(); ++i) {
            if (p.segments[i].field == Field::kText) continue;
            if (chosen < 0 || x >= edges[i]) chosen = static_cast<int>(i);
        }
        if (chosen >= 0 && chosen != p.active) {
            p.active = chosen;
            p.typed = 0;
        }
        InvalidateRect(hwnd, nullptr, true);
        return 0;
    }
    case DTM_GETSYSTEMTIME:
        if (!lParam) return GDT_ERROR;
        if (p.none) return GDT_NONE;
        *reinterpret_cast<SystemTime*>(lParam) = p.st;
        return GDT_VALID;
    case DTM_SETSYSTEMTIME:
        if (wParam == GDT_NONE) {
            if (!ctl::Has(hwnd, DTS_SHOWNONE)) return 0;
            p.none = true;
        } else {
            if (!lParam) return 0;
            SystemTime st = *reinterpret_cast<const SystemTime*>(lParam);
            if (!ValidTime(st)) return 0;  // refused: the shown value stays
            NormalizeSystemTime(&st);
            p.st = st;
            p.none = false;
        }
        p.typed = 0;
        InvalidateRect(hwnd, nullptr, true);
        return 1;
    case DTM_SETFORMAT:
        p.picture = lParam ? std::u16string(reinterpret_cast<const char16_t*>(lParam)) : std::u16string();
        Reformat(hwnd, p);
        InvalidateRect(hwnd, nullptr, true);
        return 1;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace plat
