// The separate mail client FlexMail: whether it is installed, its program,
// its unread mail, and which inbox handles text messages.
#pragma once

#include <cstdint>

#include "base/fixed_string.h"
#include "common/config/config_paths.h"

namespace tlw {

// The name of a FlexMail storage (a mail account).
using FlexMailStorageName = FixedString<256>;

// True when FlexMail is installed (HKCU\SOFTWARE\WebIS\Mail2\Services
// exists); *program gets its InstallDir followed by "\flexmail.exe".
bool FindFlexMail(PathString* program);

// True when FlexMail is installed, without looking up its program.
bool FlexMailInstalled();

// The unread mail of all FlexMail storages; *storageName gets the name of
// the last storage with unread mail (left as it is when none has any).
int32_t FlexMailUnread(FlexMailStorageName* storageName);

// True when FlexMail has taken over the text messages (the inbox's SMS
// rule of FlexMail is 1).
bool FlexMailHandlesSms();

// True when the phone's inbox program is known and is not the built-in
// messaging program.
bool InboxIsNotTmail();

// Starts FlexMail (the program FindFlexMail found) without a command line.
// False when it could not be started.
bool StartFlexMail(const PathString& program);

}  // namespace tlw
