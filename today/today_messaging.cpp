// The counters and what a tap on one opens: messaging on the text-message
// or e-mail account (or the FlexMail client when it handles them), and a
// call to the voice-mail number.
#include "common/device/counters.h"
#include "common/device/flexmail.h"
#include "platform/hardware/library.h"
#include "platform/messaging/mail_accounts.h"
#include "platform/telephony/phone_make_call.h"
#include "today/today_plugin.h"

namespace today {
namespace {

constexpr uint32_t kSwitchAccountFlags = 1;
constexpr int kTextVoiceMailLabel = 455;

bool StartFlexMailIfThere() {
    tlw::PathString program;
    if (!tlw::FindFlexMail(&program)) return false;
    return tlw::StartFlexMail(program);
}

}  // namespace

void ReadCounterState() {
    TodayState& s = Plugin();
    bool unread = false;
    tlw::ReadCountersWithAccounts(s.countTexts, s.counts, &s.messageAccount, &s.mailAccount, &unread);
    s.flexMailUnread = unread;
}

void OpenMessages() {
    TodayState& s = Plugin();
    if (s.flexMailInstalled && tlw::FlexMailHandlesSms() && StartFlexMailIfThere()) return;
    plat::MailSwitchToAccount(s.messageAccount.View(), kSwitchAccountFlags);
}

void OpenEmail() {
    TodayState& s = Plugin();
    bool flexMail = (s.flexMailInstalled && s.flexMailUnread) || tlw::InboxIsNotTmail() ||
                    s.counts[tlw::kCounterEmail] == 0;
    if (flexMail && StartFlexMailIfThere()) return;
    plat::MailSwitchToAccount(s.mailAccount.View(), kSwitchAccountFlags);
}

void CallVoiceMail() {
    TodayState& s = Plugin();
    plat::HModule phone = plat::LoadLibrary(u"Phone.dll");
    if (!phone) return;
    auto call = reinterpret_cast<plat::PhoneMakeCallFn>(plat::GetProcAddress(phone, "PhoneMakeCall"));
    if (call) {
        plat::PhoneMakeCallInfo info;
        info.dwFlags = plat::kPmcfPromptBeforeCalling;
        info.pszDestAddress = s.model.options.voicemail.CStr();
        info.pszCalledParty = s.language.text[kTextVoiceMailLabel].CStr();
        call(&info);
    }
    plat::FreeLibrary(phone);
}

}  // namespace today
