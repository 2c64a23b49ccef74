// The icon store: the profile icons below "\Korvel\Tallowin\Icon_store\" in
// the application-data folder, one subfolder per resolution class ("QVGA",
// "VGA"). Each icon has a large variant, the same name with "_large" before
// the extension; "Generic.png" and "Generic_large.png" stand in for a
// profile without an icon of its own.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tlw {

inline constexpr char16_t kIconStoreQvga[] = u"QVGA";
inline constexpr char16_t kIconStoreVga[] = u"VGA";
inline constexpr char16_t kGenericIcon[] = u"Generic.png";
inline constexpr char16_t kGenericLargeIcon[] = u"Generic_large.png";

// The icons of the five default profiles, in profile order.
inline constexpr std::array<const char16_t*, 5> kDefaultProfileIcons = {
    u"mute.png", u"night.png", u"day.png", u"car.png", u"Flight mode.png",
};

// The icon-store folder of this screen's resolution class, ending in a
// backslash: iconStoreRoot + "QVGA\" or "VGA\".
std::u16string IconStoreFolder(std::u16string_view iconStoreRoot);

// The large variant of an icon path: "_large" inserted before the last four
// characters (the extension), so "\...\car.png" gives "\...\car_large.png".
// A path of four characters or fewer gets "_large" at its start.
std::u16string LargeIconPath(std::u16string_view iconPath);

// The fallback icons of an icon-store folder: folder + "Generic.png" or
// "Generic_large.png" (with one backslash between).
std::u16string GenericIconPath(std::u16string_view iconFolder, bool large);

}  // namespace tlw
