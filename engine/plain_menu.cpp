// The plain popup menu: owner-drawn items by the taskbar's corner, each with
// its skin image and its text in the normal or the bold font.
#include <string>

#include "common/graphics/alpha_draw.h"
#include "common/graphics/image_loader.h"
#include "common/graphics/image_scale.h"
#include "common/graphics/screen_scale.h"
#include "common/graphics/skin.h"
#include "engine/engine_actions.h"
#include "engine/engine_menus.h"
#include "platform/gdi/gdi.h"
#include "platform/window/popup_menu.h"

namespace tlw {
namespace {

// Half transparent: blended 127 with the white row.
constexpr uint8_t kFaded = 127;

// Item sizes in 96-dpi units.
constexpr int32_t kItemWidth = 160;
constexpr int32_t kItemHeight = 18;
constexpr int32_t kImageX = 2;
constexpr int32_t kTextX = 22;
constexpr int32_t kRightIconX = 18;
// The menu's bottom edge lies this far (96-dpi units) above the screen's bottom.
constexpr int32_t kMenuBottomMargin = 25;

int32_t SwitchSlotOffset(int32_t type) { return type == kItemData ? 4 : type; }

// The skin image of an item; nullptr for none.
const RgbaImage* ItemImage(const EngineState& engine, int32_t id) {
    if (id >= 1 && id <= 99) {
        int32_t kind = engine.model.profiles.profiles[id - 1].eventType;
        return kind >= 0 && kind <= kEventLocation ? &engine.skin[kSlotTrigger + kind] : nullptr;
    }
    if (id == kMenuLock) return &engine.skin[engine.locked ? kSlotLocked : kSlotUnlocked];
    if (id >= kMenuFirstSwitch && id < kMenuFirstSwitch + kPopupSwitchCount) {
        int32_t type = engine.model.popupSwitches[id - kMenuFirstSwitch].type;
        int32_t offset = SwitchSlotOffset(type);
        if (offset < 0 || offset > 4) return nullptr;
        return &engine.skin[(SwitchIsOn(engine, type) ? kSlotSwitchActive : kSlotSwitchDisabled) + offset];
    }
    return nullptr;
}

std::u16string ItemText(const EngineState& engine, int32_t id) {
    if (id >= 1 && id <= 99) return engine.model.profiles.profiles[id - 1].name.Str();
    if (id == kMenuAutomatic) return LanguageText(engine, 380);
    if (id == kMenuLock) return LanguageText(engine, engine.locked ? 383 : 382);
    if (id == kMenuSettings) return LanguageText(engine, 384);
    if (id >= kMenuFirstSwitch && id < kMenuFirstSwitch + kPopupSwitchCount)
        return LanguageText(engine, 900 + engine.model.popupSwitches[id - kMenuFirstSwitch].type);
    return {};
}

// Bold marks what is in force: the displayed profile, the lock while
// locked, a switch that is on; nothing is bold while no profile is shown.
bool ItemBold(const EngineState& engine, int32_t id) {
    if (!IsProfileIndex(engine, engine.displayedProfile)) return false;
    if (id >= 1 && id <= 99) return id - 1 == engine.displayedProfile;
    if (id == kMenuLock) return engine.locked;
    if (id >= kMenuFirstSwitch && id < kMenuFirstSwitch + kPopupSwitchCount)
        return SwitchIsOn(engine, engine.model.popupSwitches[id - kMenuFirstSwitch].type);
    return true;
}

void DrawFaded(const RgbaImage& image, plat::Hdc hdc, int32_t x, int32_t y, int32_t side, bool faded) {
    RgbaImage scaled;
    if (!ScaleImage(&scaled, image, static_cast<uint32_t>(side), static_cast<uint32_t>(side))) return;
    if (faded) FadeImage(&scaled, kFaded);
    DrawImage(scaled, hdc, x, y);
}

void DrawItem(EngineState& engine, const plat::DrawItemStruct& item) {
    int32_t id = static_cast<int32_t>(item.itemId);
    bool selected = (item.itemState & plat::ODS_SELECTED) != 0;
    const plat::Rect& r = item.rcItem;
    plat::FillRect(item.hdc, r, selected ? engine.highlightBrush : engine.whiteBrush);
    plat::SetBkMode(item.hdc, plat::kTransparent);
    plat::SetTextColor(item.hdc, selected ? plat::GetSysColor(plat::kColorHighlightText)
                                          : plat::GetSysColor(plat::kColorMenuText));
    int32_t side = ScaleX(16);
    int32_t imageY = r.top + ((r.bottom - r.top) - side) / 2;
    bool isProfile = id >= 1 && id <= 99;
    bool displayed = isProfile && id - 1 == engine.displayedProfile;
    if (const RgbaImage* image = ItemImage(engine, id))
        DrawFaded(*image, item.hdc, r.left + ScaleX(kImageX), imageY, side, isProfile && !displayed);
    if (isProfile) {
        const Profile& p = engine.model.profiles.profiles[id - 1];
        RgbaImage own;
        if (p.icon_enabled && LoadImageFile(&own, p.profile_icon.View()) == 0)
            DrawFaded(own, item.hdc, r.right - ScaleX(kRightIconX), imageY, side, !displayed);
    }
    plat::HFont old = plat::SelectObject(item.hdc, ItemBold(engine, id) ? engine.boldFont : engine.font);
    plat::Rect text{r.left + ScaleX(kTextX), r.top, r.right - (isProfile ? ScaleX(kRightIconX + 2) : 0), r.bottom};
    plat::DrawText(item.hdc, ItemText(engine, id), &text,
                   plat::kDtLeft | plat::kDtVCenter | plat::kDtSingleLine | plat::kDtNoPrefix | plat::kDtEndEllipsis);
    plat::SelectObject(item.hdc, old);
}

}  // namespace

bool ProfileListed(const EngineState& engine, int32_t index) {
    if (!IsProfileIndex(engine, index)) return false;
    const Profile& p = engine.model.profiles.profiles[index];
    return p.enabled && (p.show || index == engine.displayedProfile);
}

bool SwitchIsOn(const EngineState& engine, int32_t type) {
    switch (type) {
    case kItemBluetooth: return engine.deviceStates[kStateBluetooth] == 1;
    case kItemWifi: return engine.deviceStates[kStateWifi] == 1;
    case kItemPhone: return engine.deviceStates[kStatePhone] == 1;
    case kItemPushMail: return engine.deviceStates[kStatePushMail] == 1;
    case kItemData: return engine.deviceStates[kStateData] == 1;
    default: return false;
    }
}

std::u16string LanguageText(const EngineState& engine, int32_t id) {
    if (id <= 0 || id >= kLanguageSlots) return {};
    return engine.language.text[id].Str();
}

int32_t ShowPlainMenu(EngineState& engine, plat::Hwnd window) {
    if (plat::IsMenuOpen()) {
        plat::EndMenu();
        return 0;
    }
    plat::HMenu menu = plat::CreatePopupMenu();
    for (int32_t i = 0; i < engine.model.profiles.count; ++i)
        if (ProfileListed(engine, i)) plat::AppendMenu(menu, plat::MF_OWNERDRAW, i + 1, u"", i + 1);
    plat::AppendMenu(menu, plat::MF_SEPARATOR, 0, u"");
    plat::AppendMenu(menu, plat::MF_OWNERDRAW, kMenuAutomatic, u"", kMenuAutomatic);
    plat::AppendMenu(menu, plat::MF_OWNERDRAW, kMenuLock, u"", kMenuLock);
    plat::AppendMenu(menu, plat::MF_SEPARATOR, 0, u"");
    bool anySwitch = false;
    for (int32_t k = 0; k < kPopupSwitchCount; ++k) {
        if (!engine.model.popupSwitches[k].enabled) continue;
        plat::AppendMenu(menu, plat::MF_OWNERDRAW, kMenuFirstSwitch + k, u"", kMenuFirstSwitch + k);
        anySwitch = true;
    }
    if (anySwitch) plat::AppendMenu(menu, plat::MF_SEPARATOR, 0, u"");
    plat::AppendMenu(menu, plat::MF_OWNERDRAW, kMenuSettings, u"", kMenuSettings);

    ReadDeviceStates(engine);
    int32_t command = plat::TrackPopupMenuEx(menu, plat::TPM_RIGHTALIGN | plat::TPM_BOTTOMALIGN | plat::TPM_RETURNCMD,
                                             engine.screenWidth, engine.screenHeight - ScaleY(kMenuBottomMargin),
                                             window);
    plat::DestroyMenu(menu);
    return command;
}

plat::LResult HandleMenuItemMessage(EngineState& engine, uint32_t message, plat::WParam, plat::LParam lParam) {
    if (message == plat::WM_MEASUREITEM) {
        auto* measure = reinterpret_cast<plat::MeasureItemStruct*>(lParam);
        if (!measure || measure->ctlType != plat::ODT_MENU) return 0;
        measure->itemWidth = static_cast<uint32_t>(ScaleX(kItemWidth));
        measure->itemHeight = static_cast<uint32_t>(ScaleY(kItemHeight));
        return 1;
    }
    if (message == plat::WM_DRAWITEM) {
        auto* draw = reinterpret_cast<plat::DrawItemStruct*>(lParam);
        if (!draw || draw->ctlType != plat::ODT_MENU) return 0;
        DrawItem(engine, *draw);
        return 1;
    }
    return 0;
}

}  // namespace tlw
