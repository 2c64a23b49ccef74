#include "engine/menu_targets.h"

#include <string>

#include "base/text.h"
#include "common/device/counters.h"
#include "common/device/flexmail.h"
#include "engine/engine_log.h"
#include "platform/hardware/library.h"
#include "platform/kernel/kernel_handle.h"
#include "platform/kernel/threads.h"
#include "platform/messaging/mail_accounts.h"
#include "platform/process/process.h"
#include "platform/telephony/phone_make_call.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace tlw {
namespace {

constexpr char16_t kCallLogWindow[] = u"MSClog";
constexpr char16_t kCallLogProgram[] = u"\\windows\\cprog.exe";
constexpr uint32_t kCallLogStartMs = 2000;

// The messaging program opens on the account with this flag.
constexpr uint32_t kMailSwitchFlags = 1;
constexpr int32_t kTextVoiceMailLabel = 455;

struct CounterState {
    CounterText texts[kCounterCount];
    int32_t counters[kCounterCount] = {};
    MailAccountName smsAccount;
    MailAccountName mailAccount;
    bool flexMailUnread = false;
};

CounterState ReadCounterState() {
    CounterState state;
    ReadCountersWithAccounts(state.texts, state.counters, &state.smsAccount, &state.mailAccount, &state.flexMailUnread);
    return state;
}

}  // namespace

std::u16string CounterItemText(int32_t type) {
    int32_t index = type - 4;
    if (index < 0 || index >= kCounterCount) return {};
    return ReadCounterState().texts[index].Str();
}

void OpenTextMessages(EngineState& engine) {
    if (engine.flexMail && FlexMailHandlesSms() && StartFlexMail(engine.flexMailProgram)) return;
    plat::MailSwitchToAccount(ReadCounterState().smsAccount.View(), kMailSwitchFlags);
}

void OpenEmail(EngineState& engine) {
    CounterState state = ReadCounterState();
    // FlexMail takes the e-mail when it holds the unread mail, when the
    // phone's inbox is another client, or when the phone's inbox has none.
    bool flexMail = engine.flexMail && (state.flexMailUnread || InboxIsNotTmail() || state.counters[kCounterEmail] == 0);
    if (flexMail && StartFlexMail(engine.flexMailProgram)) return;
    plat::MailSwitchToAccount(state.mailAccount.View(), kMailSwitchFlags);
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
    auto makeCall = reinterpret_cast<plat::PhoneMakeCallFn>(plat::GetProcAddress(phone, "PhoneMakeCall"));
    if (makeCall) {
        std::u16string number = engine.model.options.voicemail.Str();
        std::u16string label = engine.language.text[kTextVoiceMailLabel].Str();
        plat::PhoneMakeCallInfo info;
        info.dwFlags = plat::kPmcfPromptBeforeCalling;
        info.pszDestAddress = number.c_str();
        info.pszCalledParty = label.empty() ? nullptr : label.c_str();
        makeCall(&info);
    }
    plat::FreeLibrary(phone);
}

}  // namespace tlw
