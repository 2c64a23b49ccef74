// The shell's shown notifications: the bubbles a new message, a missed call,
// a voice mail or a reminder puts on the screen until the user answers or
// dismisses it.
//
// The shell publishes them in the state registry as a real phone does:
// every shown notification is a subkey named by its number under a key
// named by its notification class,
//     HKLM\System\State\Shell\Notifications\{CLASS}\N
//         Title, Text (REG_SZ), Time (REG_SZ, device time YYYY-MM-DDTHH:MM:SS)
// and the DWORD `ID` of HKLM\System\State\Shell\Notifications\Active takes a
// new number on every raise (the number of the new notification) and every
// dismissal, so a program watching that value hears of both.
//
// Raising one also plays its class's sound (HKCU\ControlPanel\Notifications
// \{CLASS}, `Wave` when `Options` has the sound bit 0x1 and the sound
// profile allows sounds), as the phone does when the event arrives. Each
// raise and dismissal is journalled ("notification N of {CLASS} shown",
// "... dismissed").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

inline constexpr char16_t kShellNotificationsKey[] = u"System\\State\\Shell\\Notifications";  // under HKLM
inline constexpr char16_t kShellNotificationsActiveKey[] = u"System\\State\\Shell\\Notifications\\Active";
inline constexpr char16_t kShellNotificationsActiveValue[] = u"ID";

// One shown notification.
struct ShellNotification {
    uint32_t id = 0;          // its number, unique on the device
    std::u16string classId;   // its notification class, "{...}"
    std::u16string title;     // the bubble's title
    std::u16string text;      // the bubble's text
    std::string time;         // device time it was raised, YYYY-MM-DDTHH:MM:SS
};

// True for a class identifier of the form {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
// (hexadecimal digits of either case).
bool IsNotificationClassId(std::u16string_view classId);

// Puts a notification of the class on the screen. Returns its number, 0
// when the class is not a class identifier or the registry cannot be written.
uint32_t ShowShellNotification(std::u16string_view classId, std::u16string_view title, std::u16string_view text);

// Takes notification `id` off the screen. False when none with that number
// is shown.
bool DismissShellNotification(uint32_t id);

// The notifications on screen, in the order they were raised. False when
// the registry cannot be read.
bool ListShellNotifications(std::vector<ShellNotification>* out);

}  // namespace plat
