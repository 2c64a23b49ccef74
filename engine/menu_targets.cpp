#include "engine/menu_targets.h"

#include <string>

#include "base/text.h"
#include "engine/engine_log.h"
#include "platform/hardware/library.h"
#include "platform/kernel/kernel_handle.h"
#include "platform/kernel/threads.h"
#include "platform/messaging/mail_account_switch.h"
#include "platform/process/process.h"
#include "platform/storage/registry.h"
#include "platform/telephony/phone_make_call.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace tlw {
namespace {

constexpr char16_t kCallLogWindow[] = u"MSClog";
constexpr char16_t kCallLogProgram[] = u"\\windows\\cprog.exe";
constexpr uint32_t kCallLogStartMs = 2000;

constexpr char16_t kSmsAccount[] = u"SMS";
constexpr char16_t kDefaultMailAccount[] = u"ActiveSync";
constexpr char16_t kMmsAccount[] = u"MMS";
constexpr char16_t kOtherEmailKey[] = u"System\\State\\Messages\\OtherEmail\\Unread";
constexpr char16_t kFlexMailSmsRules[] = u"Software\\Microsoft\\Inbox\\Svc\\SMS\\Rules";
constexpr char16_t kFlexMailSmsRule[] = u"{A6A3B2C6-3F82-467a-9F23-825E7131EC81}";

// The accounts the inbox opens on: text messages on "SMS" (or "MMS" when
// the other-e-mail text lists it), e-mail on the last other account listed
// there, else "ActiveSync". The text is a run of "NAME (COUNT)" entries.
void MessagingAccounts(std::u16string* sms, std::u16string* mail) {
    *sms = kSmsAccount;
    *mail = kDefaultMailAccount;
    std::u16string text;
    if (!plat::RegReadString(plat::kHkeyCurrentUser, kOtherEmailKey, u"Text", &text)) return;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t open = text.find(u'(', pos);
        if (open == std::u16string::npos) break;
        size_t nameEnd = open > pos && text[open - 1] == u' ' ? open - 1 : open;
        std::u16string name = text.substr(pos, nameEnd - pos);
        if (name == kMmsAccount) *sms = name;
        else if (!name.empty()) *mail = name;
        size_t close = text.find(u')', open);
        if (close == std::u16string::npos) break;
        pos = close + 2;
    }
}

bool StartFlexMail(EngineState& engine) {
    if (!engine.flexMail) return false;
    plat::ProcessInformation info;
    if (!plat::CreateProcess(engine.flexMailProgram.View(), u"", 0, &info)) return false;
    plat::CloseHandle(info.process);
    return true;
}

bool FlexMailTakesTextMessages() {
    uint32_t rule = 0;
    return plat::RegReadDword(plat::kHkeyLocalMachine, kFlexMailSmsRules, kFlexMailSmsRule, &rule) && rule == 1;
}

uint32_t StateCount(std::u16string_view key, std::u16string_view value) {
    uint32_t count = 0;
    plat::RegReadDword(plat::kHkeyCurrentUser, key, value, &count);
    return count;
}

}  // namespace

std::u16string CounterText(int32_t type) {
    uint32_t count = 0;
    switch (type) {
    case 4:
        count = StateCount(u"System\\State\\Messages\\SMS\\Unread", u"Count") +
                StateCount(u"System\\State\\Messages\\SMS\\Unread", u"UnreadCount") +
                StateCount(u"System\\State\\Messages\\MMS\\Unread", u"Count") +
                StateCount(u"System\\State\\Messages\\MMS\\Unread", u"UnreadCount");
        break;
    case 5: count = StateCount(u"System\\State\\Messages\\TotalEmail\\Unread", u"Count"); break;
    case 6: count = StateCount(u"System\\State\\Phone", u"Missed Call Count"); break;
    case 7: count = StateCount(u"System\\State\\Messages\\VMail\\Total\\Unread", u"Count"); break;
    default: return {};
    }
    return Format(u"%2d", {static_cast<int32_t>(count)});
}

void OpenTextMessages(EngineState& engine) {
    if (FlexMailTakesTextMessages() && StartFlexMail(engine)) return;
    std::u16string sms, mail;
    MessagingAccounts(&sms, &mail);
    plat::MailSwitchToAccount(sms, 0);
}

void OpenEmail(EngineState& engine) {
    if (StartFlexMail(engine)) return;
    std::u16string sms, mail;
    MessagingAccounts(&sms, &mail);
    plat::MailSwitchToAccount(mail, 0);
}

void ShowCallLog(EngineState& engine) {
    plat::Hwnd log = plat::FindWindow(kCallLogWindow, nullptr);
    if (!log) {
        plat::ProcessInformation info;
        if (plat::CreateProcess(kCallLogProgram, u"", 0, &info)) plat::CloseHandle(info.process);
        plat::Sleep(kCallLogStartMs);
        log = plat::FindWindow(kCallLogWindow, nullptr);
    }
    if (!log) {
        LogDetail(engine, u"The call log did not open.");
        return;
    }
    plat::BringWindowToTop(log);
    plat::ShowWindow(log, plat::SW_SHOW);
    plat::SetForegroundWindow(log);
}

void CallVoiceMail(EngineState& engine) {
    if (engine.model.options.voicemail.Empty()) return;
    plat::HModule phone = plat::LoadLibrary(u"Phone.dll");
    if (!phone) return;
    auto makeCall = reinterpret_cast<plat::PhoneMakeCallFn>(plat::GetProcAddress(phone, plat::kPhoneMakeCallEntry));
    if (makeCall) {
        std::u16string number = engine.model.options.voicemail.Str();
        plat::PhoneMakeCallInfo info;
        info.flags = plat::kPmcfPromptBeforeCalling;
        info.destAddress = number.c_str();
        makeCall(&info);
    }
    plat::FreeLibrary(phone);
}

}  // namespace tlw
