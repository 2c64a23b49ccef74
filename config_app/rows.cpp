#include "config_app/rows.h"

#include "base/text.h"

namespace tlw {

Row EntryRow(std::u16string label, int32_t tag) {
    Row row;
    row.kind = RowKind::kEntry;
    row.label = std::move(label);
    row.tag = tag;
    return row;
}

Row HeadingRow(std::u16string label) {
    Row row;
    row.kind = RowKind::kHeading;
    row.label = std::move(label);
    return row;
}

Row ChoiceRow(std::u16string label, int32_t* value, std::vector<ChoiceEntry> choices) {
    Row row;
    row.kind = RowKind::kChoice;
    row.label = std::move(label);
    row.number = value;
    if (choices.size() > kMaxChoices) choices.resize(kMaxChoices);
    row.choices = std::move(choices);
    return row;
}

Row CheckRow(std::u16string label, bool* value) {
    Row row;
    row.kind = RowKind::kCheck;
    row.label = std::move(label);
    row.check = value;
    return row;
}

Row NumberRow(std::u16string label, int32_t* value, int32_t minimum, int32_t maximum) {
    Row row;
    row.kind = RowKind::kNumber;
    row.label = std::move(label);
    row.number = value;
    row.minimum = minimum;
    row.maximum = maximum;
    return row;
}

Row SliderRow(std::u16string label, int32_t* value, int32_t minimum, int32_t maximum) {
    Row row = NumberRow(std::move(label), value, minimum, maximum);
    row.kind = RowKind::kSlider;
    return row;
}

int32_t ChosenIndex(const Row& row) {
    if (!row.number) return -1;
    for (size_t i = 0; i < row.choices.size(); ++i) {
        if (row.choices[i].value == *row.number) return static_cast<int32_t>(i);
    }
    return -1;
}

std::u16string ChosenLabel(const Row& row) {
    int32_t i = ChosenIndex(row);
    return i < 0 ? std::u16string() : row.choices[i].label;
}

namespace {

std::u16string RowText(const Row& row) {
    return row.text ? std::u16string(row.text) : std::u16string();
}

// The last part of a path (a file row shows the file name).
std::u16string FileName(std::u16string_view path) {
    size_t slash = path.find_last_of(u'\\');
    return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

std::u16string RowValueText(const Row& row) {
    switch (row.kind) {
    case RowKind::kChoice:
        return ChosenLabel(row);
    case RowKind::kMasked:
        return u"*****";
    case RowKind::kText:
    case RowKind::kFolder:
        return RowText(row);
    case RowKind::kFile:
        return FileName(RowText(row));
    case RowKind::kNumber:
    case RowKind::kSlider:
        return row.number ? Format(u"%d", {*row.number}) : std::u16string();
    case RowKind::kTime: {
        int32_t h = 0, m = 0;
        if (!ParseTimeText(RowText(row), &h, &m)) return RowText(row);
        return Format(u"%02d:%02d", {h, m});
    }
    case RowKind::kLocation:
    case RowKind::kTodaySlot:
        return row.second;
    default:
        return std::u16string();
    }
}

bool ParseTimeText(std::u16string_view text, int32_t* hours, int32_t* minutes) {
    std::u16string digits;
    size_t colon = text.find(u':');
    std::u16string_view h, m;
    if (colon != std::u16string_view::npos) {
        h = text.substr(0, colon);
        m = text.substr(colon + 1);
    } else if (text.size() == 4) {
        h = text.substr(0, 2);
        m = text.substr(2);
    } else {
        return false;
    }
    auto number = [](std::u16string_view part, int32_t* out) {
        if (part.empty() || part.size() > 2) return false;
        int32_t v = 0;
        for (char16_t c : part) {
            if (c < u'0' || c > u'9') return false;
            v = v * 10 + (c - u'0');
        }
        *out = v;
        return true;
    };
    int32_t hh = 0, mm = 0;
    if (!number(h, &hh) || !number(m, &mm) || m.size() != 2 || hh > 23 || mm > 59) return false;
    *hours = hh;
    *minutes = mm;
    return true;
}

}  // namespace tlw
