#include "platform/messaging/mail_accounts.h"

#include <string>

#include "base/text.h"
#include "platform/kernel/kernel_handle.h"
#include "platform/process/process.h"
#include "platform/storage/journal.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace plat {

uint32_t MailSwitchToAccount(std::u16string_view account, uint32_t /*flags*/) {
    if (account.empty() || account.size() > kMailAccountNameMax) return kMailSwitchInvalidArg;
    std::string journalLine = "mail switch to account " + tlw::Utf16ToUtf8(account);
    if (Hwnd window = FindWindow(kMessagingWindowClass, nullptr)) {
        ShowWindow(window, SW_SHOW);
        BringWindowToTop(window);
        SetForegroundWindow(window);
        JournalAppend(journalLine);
        return kMailSwitchOk;
    }
    std::u16string commandLine = u"-service \"" + std::u16string(account) + u"\"";
    ProcessInformation info{};
    if (!CreateProcess(kMessagingProgram, commandLine, 0, &info)) return kMailSwitchFail;
    JournalAppend(journalLine);
    CloseHandle(info.process);
    CloseHandle(info.thread);
    return kMailSwitchOk;
}

}  // namespace plat
