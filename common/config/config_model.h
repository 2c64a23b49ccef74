// Everything the configuration file holds, as one record: each deliverable
// owns one for its lifetime and the reader fills it in place.
#pragma once

#include "common/config/language_table.h"
#include "common/config/options.h"
#include "common/config/profile.h"

namespace tlw {

struct ConfigModel {
    ProfileTable profiles;                           // the profile table
    Options options;                                 // [Options], [Today], [Popup] values
    TodayItem todayItems[kTodayItemCount];           // [Today] items
    PopupSwitch popupSwitches[kPopupSwitchCount];    // [Popup] switches
    PopupCounter popupCounters[kPopupCounterCount];  // [Popup] counters
    LocationTable locations;                         // [Locations]
};

}  // namespace tlw
