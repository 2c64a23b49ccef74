#include "common/graphics/skin.h"

#include <algorithm>

#include "common/graphics/image_loader.h"
#include "common/graphics/screen_scale.h"
#include "platform/storage/file.h"

namespace tlw {

const std::array<const char16_t*, kEngineSkinSlotCount> kEngineSkinSlots = {
    u"trigger_manual", u"trigger_time", u"trigger_outlook", u"trigger_power", u"trigger_location",
    nullptr, nullptr, nullptr, nullptr, nullptr,
    u"switch_disabled_bluetooth", u"switch_disabled_wifi", u"switch_disabled_phone_radio",
    u"switch_disabled_push_mail", u"switch_disabled_data_connect",
    u"switch_active_bluetooth", u"switch_active_wifi", u"switch_active_phone_radio",
    u"switch_active_push_mail", u"switch_active_data_connect",
    nullptr, nullptr, nullptr, nullptr, nullptr,
    u"switch_active_bluetooth_large", u"switch_active_wifi_large", u"switch_active_phone_radio_large",
    u"switch_active_push_mail_large", u"switch_active_data_connect_large",
    u"tallowin_plugin_icon",
    u"profile_locked", u"profile_unlocked",
    u"message_counter_large", u"email_counter_large", u"missed_counter_large", u"voice_counter_large",
    u"menu", u"tskbar",
};

const std::array<const char16_t*, kPluginSkinSlotCount> kPluginSkinSlots = {
    u"trigger_manual", u"trigger_time", u"trigger_outlook", u"trigger_power", u"trigger_location",
    nullptr, nullptr, nullptr, nullptr, nullptr,
    u"switch_disabled_bluetooth", u"switch_disabled_wifi", u"switch_disabled_phone_radio",
    u"switch_disabled_push_mail", u"switch_disabled_data_connect",
    u"switch_active_bluetooth", u"switch_active_wifi", u"switch_active_phone_radio",
    u"switch_active_push_mail", u"switch_active_data_connect",
    u"switch_disabled_bluetooth_large", u"switch_disabled_wifi_large", u"switch_disabled_phone_radio_large",
    u"switch_disabled_push_mail_large", u"switch_disabled_data_connect_large",
    u"switch_active_bluetooth_large", u"switch_active_wifi_large", u"switch_active_phone_radio_large",
    u"switch_active_push_mail_large", u"switch_active_data_connect_large",
    u"tallowin_plugin_icon",
    u"profile_locked", u"profile_unlocked",
    u"message_counter", u"email_counter", u"missed_counter", u"voice_counter",
    u"message_counter_large", u"email_counter_large", u"missed_counter_large", u"voice_counter_large",
};

const std::array<const char16_t*, kConfigSkinSlotCount> kConfigSkinSlots = {
    u"trigger_manual", u"trigger_time", u"trigger_outlook", u"trigger_power", u"trigger_location",
};

namespace {

// Loads base + extension into *out when the file exists and decodes; *out is
// untouched otherwise.
bool LoadIfPresent(const std::u16string& base, std::u16string_view extension, RgbaImage* out) {
    std::u16string path = base + std::u16string(extension);
    if (!plat::FileExists(path)) return false;
    RgbaImage loaded;
    if (LoadImageFile(&loaded, path) != kImageOk) return false;
    SwapImages(out, &loaded);
    return true;
}

}  // namespace

std::u16string JoinSkinPath(std::u16string_view folder, std::u16string_view name) {
    std::u16string path(folder);
    if (!path.empty() && path.back() != u'\\' && path.back() != u'/') path.push_back(u'\\');
    while (!name.empty() && (name.front() == u'\\' || name.front() == u'/')) name.remove_prefix(1);
    path.append(name);
    return path;
}

std::u16string DefaultSkinFolder(std::u16string_view skinsFolder) {
    std::u16string folder =
        JoinSkinPath(skinsFolder, IsHighResolution() ? kDefaultVgaSkin : kDefaultQvgaSkin);
    folder.push_back(u'\\');
    return folder;
}

int LoadSkinImages(std::span<const char16_t* const> names, std::span<RgbaImage> images,
                   const SkinSource& source) {
    const std::size_t count = std::min(names.size(), images.size());
    const std::u16string defaultFolder = DefaultSkinFolder(source.skinsFolder);
    for (std::size_t slot = 0; slot < count; ++slot) {
        FreeImage(&images[slot]);
        if (names[slot] == nullptr) continue;
        // The default skin: PNG when present, else TGA (a PNG that fails to
        // decode, on a device without the imaging component, falls to TGA).
        std::u16string base = JoinSkinPath(defaultFolder, names[slot]);
        if (!LoadIfPresent(base, u".png", &images[slot])) LoadIfPresent(base, u".tga", &images[slot]);
    }
    if (source.skinEnabled && !source.skin.empty()) {
        for (std::size_t slot = 0; slot < count; ++slot) {
            if (names[slot] == nullptr) continue;
            std::u16string base = JoinSkinPath(source.skin, names[slot]);
            if (!LoadIfPresent(base, u".png", &images[slot])) LoadIfPresent(base, u".tga", &images[slot]);
        }
    }
    int loaded = 0;
    for (std::size_t slot = 0; slot < count; ++slot) loaded += ImageHasPixels(images[slot]) ? 1 : 0;
    return loaded;
}

std::u16string SkinFilePath(const SkinSource& source, std::u16string_view fileName) {
    if (source.skinEnabled && !source.skin.empty()) {
        std::u16string path = JoinSkinPath(source.skin, fileName);
        if (plat::FileExists(path)) return path;
    }
    return JoinSkinPath(DefaultSkinFolder(source.skinsFolder), fileName);
}

}  // namespace tlw
