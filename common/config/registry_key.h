// The registry key under HKEY_CURRENT_USER that the three programs share.
#pragma once

namespace tlw {

inline constexpr char16_t kTallowinKey[] = u"Software\\Korvel\\Tallowin";

}  // namespace tlw
