#include "platform/telephony/phone_make_call.h"

#include <string>

#include "base/text.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/journal.h"

namespace plat {

int32_t PhoneMakeCall(PhoneMakeCallInfo* info) {
    if (!info || info->size != kPhoneMakeCallInfoSize || !info->destAddress || info->destAddress[0] == 0)
        return static_cast<int32_t>(kErrorInvalidParameter);
    std::string line = "PhoneMakeCall " + tlw::Utf16ToUtf8(info->destAddress);
    if (info->flags & kPmcfPromptBeforeCalling) line += " (prompt)";
    JournalAppend(line);
    return 0;
}

}  // namespace plat
