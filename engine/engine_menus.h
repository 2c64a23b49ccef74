// The engine's popup menus: the plain owner-drawn menu by the taskbar and
// the full-screen skinned list, and what their commands do.
#pragma once

#include <cstdint>

#include "engine/engine_state.h"
#include "platform/message/messages.h"

namespace tlw {

// Menu commands besides the profiles (1 ... 99: profile index + 1).
constexpr int32_t kMenuAutomatic = 500;     // back to automatic selection
constexpr int32_t kMenuFirstSwitch = 501;   // 501 ... 505: PopupSwitch entries
constexpr int32_t kMenuFirstCounter = 506;  // 506 ... 509: PopupCounter entries
constexpr int32_t kMenuLock = 510;          // lock or unlock
constexpr int32_t kMenuClose = 511;         // close the engine
constexpr int32_t kMenuSettings = 512;      // start the configuration program

// Switch and counter item types of PopupSwitch and PopupCounter entries.
enum MenuItemType : int32_t {
    kItemBluetooth = 0,
    kItemWifi = 1,
    kItemPhone = 2,
    kItemPushMail = 3,
    kItemMessages = 4,
    kItemEmail = 5,
    kItemMissedCalls = 6,
    kItemVoiceMail = 7,
    kItemData = 9,
};

// The plain owner-drawn menu, aligned right and bottom by the taskbar's
// corner; returns the chosen command (0 for none). A request while it is
// open closes it.
int32_t ShowPlainMenu(EngineState& engine, plat::Hwnd window);
// WM_MEASUREITEM and WM_DRAWITEM of the plain menu's items.
plat::LResult HandleMenuItemMessage(EngineState& engine, uint32_t message, plat::WParam wParam, plat::LParam lParam);
// The full-screen skinned list; returns the chosen command (0 when left
// without a choice). A request while it is open closes it and returns 0.
int32_t ShowSkinnedMenu(EngineState& engine);
// Carries out a menu command.
void RunMenuCommand(EngineState& engine, int32_t command);

// Whether a profile is listed in the menus: enabled, and shown or displayed.
bool ProfileListed(const EngineState& engine, int32_t index);
// Whether the switch of an item type is on, by the device states last read.
bool SwitchIsOn(const EngineState& engine, int32_t type);
// The language text of an identifier.
std::u16string LanguageText(const EngineState& engine, int32_t id);

}  // namespace tlw
