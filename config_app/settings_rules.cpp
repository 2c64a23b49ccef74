#include "config_app/settings_rules.h"

#include <utility>

#include "common/device/sim_pin.h"

namespace tlw {

std::u16string SimPinToStore(std::u16string_view field, bool* refused) {
    if (refused) *refused = false;
    if (field.empty() || field == kNoSimPinText) return kNoSimPinText;
    bool digits = field.size() >= kSimPinMinDigits && field.size() <= kSimPinMaxDigits;
    for (char16_t c : field) digits = digits && c >= u'0' && c <= u'9';
    if (digits) return std::u16string(field);
    if (refused) *refused = true;
    return kNoSimPinText;
}

void ApplyTodayPreset(ConfigModel& model, int32_t layout) {
    if (layout != kLayoutLargeSwitches && layout != kLayoutCompact) return;
    bool large = layout == kLayoutLargeSwitches;
    model.options.thumb_menu = large;
    TodayItem* t = model.todayItems;
    for (int32_t i = 0; i <= 3; ++i) t[i] = {true, i, large, large};
    t[4] = {true, 8, false, false};
    for (int32_t i = 5; i <= 8; ++i) t[i] = {true, i - 1, false, true};
    t[9] = {false, 9, large, large};
    for (int32_t i = 10; i <= 13; ++i) t[i] = {false, i, false, true};
    t[14] = {false, 8, false, false};
}

int32_t MoveTodaySlot(ConfigModel& model, int32_t index, bool up, int32_t editableSlots) {
    int32_t other = up ? index - 1 : index + 1;
    if (index < 0 || index >= editableSlots || other < 0 || other >= editableSlots || other >= kTodayItemCount) {
        return -1;
    }
    std::swap(model.todayItems[index], model.todayItems[other]);
    return other;
}

}  // namespace tlw
