#include "platform/telephony/phone_make_call.h"

#include <string>
#include <string_view>

#include "base/text.h"
#include "platform/hardware/hardware.h"
#include "platform/storage/journal.h"

namespace plat {
namespace {

constexpr size_t kMaxNumberLength = 64;

bool DialableNumber(std::u16string_view number) {
    if (number.empty() || number.size() > kMaxNumberLength) return false;
    bool digit = false;
    for (char16_t c : number) {
        if (c >= u'0' && c <= u'9') {
            digit = true;
            continue;
        }
        if (std::u16string_view(u"+*#pPwW -()").find(c) == std::u16string_view::npos) return false;
    }
    return digit;
}

}  // namespace

int32_t PhoneMakeCall(PhoneMakeCallInfo* info) {
    if (!info || info->cbSize != sizeof(PhoneMakeCallInfo) || !info->pszDestAddress) return kPhoneMakeCallInvalidParameter;
    if (info->dwFlags & ~(kPmcfDefault | kPmcfPromptBeforeCalling)) return kPhoneMakeCallInvalidParameter;
    std::u16string_view number(info->pszDestAddress);
    if (!DialableNumber(number)) return kPhoneMakeCallInvalidParameter;
    HardwareState state;
    if (!ReadHardwareState(&state) || state.phoneState == 0) return kPhoneMakeCallNotReady;
    if (state.call == CallState::kActive) return kPhoneMakeCallBusy;
    std::string line = "phone make call " + tlw::Utf16ToUtf8(number);
    if (info->dwFlags & kPmcfPromptBeforeCalling) line += " prompt";
    JournalAppend(line);
    if (!SetCallHardware(CallState::kActive)) return kPhoneMakeCallNotReady;
    return kPhoneMakeCallOk;
}

}  // namespace plat
