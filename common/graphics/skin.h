// Skins: folders of named images that give the taskbar icon, the popup menu
// and the Today item their look. Two default skins, one per resolution
// class, always exist below the Skins folder; a user skin needs to hold only
// the images it changes, everything else comes from the default skin.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "common/graphics/rgba_image.h"

namespace tlw {

// Subfolders of the Skins folder holding the default skins.
inline constexpr char16_t kDefaultQvgaSkin[] = u"Default_QVGA";
inline constexpr char16_t kDefaultVgaSkin[] = u"Default_VGA";

// Images of a skin that are loaded by file name, not by slot.
inline constexpr char16_t kAutoSelectionImage[] = u"autoselection.png";
inline constexpr char16_t kConfigurationImage[] = u"configuration.png";

// Slot tables: the image name of each slot (without extension), nullptr for
// an empty slot. The engine has 39 slots, the Today plug-in 41; slots 5 to 9
// are empty in both.
constexpr std::size_t kEngineSkinSlotCount = 39;
constexpr std::size_t kPluginSkinSlotCount = 41;
constexpr std::size_t kConfigSkinSlotCount = 5;  // the configuration program: the trigger images
extern const std::array<const char16_t*, kEngineSkinSlotCount> kEngineSkinSlots;
extern const std::array<const char16_t*, kPluginSkinSlotCount> kPluginSkinSlots;
extern const std::array<const char16_t*, kConfigSkinSlotCount> kConfigSkinSlots;

// First slots of the groups both tables share.
constexpr int kSlotTrigger = 0;                // + eventType: "trigger_manual" ... "trigger_location"
constexpr int kSlotSwitchDisabled = 10;        // + switch kind: "switch_disabled_bluetooth" ...
constexpr int kSlotSwitchActive = 15;          // + switch kind: "switch_active_bluetooth" ...
constexpr int kSlotSwitchDisabledLarge = 20;   // plug-in only
constexpr int kSlotSwitchActiveLarge = 25;
constexpr int kSlotPluginIcon = 30;            // "tallowin_plugin_icon"
constexpr int kSlotLocked = 31;                // "profile_locked"
constexpr int kSlotUnlocked = 32;              // "profile_unlocked"
// Engine only.
constexpr int kEngineSlotCounterLarge = 33;    // + counter kind: "message_counter_large" ...
constexpr int kEngineSlotMenu = 37;            // "menu"
constexpr int kEngineSlotTaskbar = 38;         // "tskbar"
// Plug-in only.
constexpr int kPluginSlotCounter = 33;         // + counter kind: "message_counter" ...
constexpr int kPluginSlotCounterLarge = 37;    // + counter kind: "message_counter_large" ...

// Where the images come from: the Skins folder and the chosen skin.
struct SkinSource {
    std::u16string skinsFolder;  // application data + "\Korvel\Tallowin\Skins\"
    std::u16string skin;         // the `skin` option: full path of the chosen skin folder
    bool skinEnabled = false;    // the `skin_enabled` option: use the chosen skin
};

// Joins a folder and a file name with exactly one backslash between them.
std::u16string JoinSkinPath(std::u16string_view folder, std::u16string_view name);

// The default skin of this screen's resolution class, ending in a backslash:
// skinsFolder + "Default_QVGA\" or "Default_VGA\".
std::u16string DefaultSkinFolder(std::u16string_view skinsFolder);

// Fills images[i] for every named slot i of names: the default skin's
// name + ".png" when that file exists (and loads), else name + ".tga". Then,
// when the skin is enabled, the chosen skin's name + ".png", else
// name + ".tga", replaces the default when one of them exists and loads.
// Slots without a name, or whose images are missing in both skins, are left
// empty. images must hold at least names.size() entries. Returns the number
// of slots that hold an image.
int LoadSkinImages(std::span<const char16_t* const> names, std::span<RgbaImage> images,
                   const SkinSource& source);

// The path of an image loaded by file name (autoselection.png,
// configuration.png): in the chosen skin when it is enabled and holds the
// file, else in the default skin of the resolution class.
std::u16string SkinFilePath(const SkinSource& source, std::u16string_view fileName);

}  // namespace tlw
