#include "platform/window/message_box.h"

#include <string>

#include "base/text.h"
#include "platform/storage/journal.h"

namespace plat {

int MessageBox(std::u16string_view text, std::u16string_view caption, uint32_t flags) {
    const char* icon = "";
    switch (flags & 0xF0) {
    case kMbIconHand: icon = " (stop)"; break;
    case kMbIconQuestion: icon = " (question)"; break;
    case kMbIconExclamation: icon = " (exclamation)"; break;
    case kMbIconAsterisk: icon = " (information)"; break;
    default: break;
    }
    JournalAppend("message box [" + tlw::Utf16ToUtf8(caption) + "] " + tlw::Utf16ToUtf8(text) + icon);
    return (flags & 0x0F) == kMbYesNo ? kIdYes : kIdOk;
}

}  // namespace plat
