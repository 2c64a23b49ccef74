// The engine's taskbar icon: the displayed profile with the manual or lock
// overlay, as a notification icon (`bar_icon` 1) or an icon window inside
// the taskbar (`bar_icon` 2); `bar_icon` 0 shows none.
#pragma once

#include <cstdint>

#include "engine/engine_state.h"
#include "platform/gdi/gdi_types.h"

namespace tlw {

// The notification icon's identifier.
constexpr uint32_t kTaskbarIconId = 314;

// Creates or updates the icon, or with remove takes it away.
void RefreshIcon(EngineState& engine, bool remove);
// Paints the icon window: the taskbar background, the profile image, the overlay.
void PaintTaskbarIcon(EngineState& engine, plat::Hdc hdc);
// The displayed profile's image into engine.profileImage: the manual trigger
// image for no profile, the profile's own icon when it has one, else the
// image of its trigger kind.
void LoadDisplayedProfileImage(EngineState& engine);

}  // namespace tlw
