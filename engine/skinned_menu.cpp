// The skinned popup menu: a full-screen window "TallowinPopup" showing the
// automatic item, the listed profiles (with their lock switch and time-out
// editor), the configuration item, the switches and the counters in the
// shared skinned list.
#include <cmath>
#include <string>
#include <vector>

#include "base/text.h"
#include "common/config/registry_state.h"
#include "common/device/device_operations.h"
#include "common/graphics/click_sound.h"
#include "common/graphics/icon_store.h"
#include "common/graphics/image_loader.h"
#include "common/graphics/screen_scale.h"
#include "common/graphics/skin.h"
#include "common/widgets/skinned_list.h"
#include "engine/engine_actions.h"
#include "engine/engine_menus.h"
#include "engine/menu_targets.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/clock.h"
#include "platform/shell/full_screen.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace tlw {
namespace {

constexpr char16_t kPopupClass[] = u"TallowinPopup";

// Language texts of the items.
constexpr int32_t kTextAutomatic = 380;
constexpr int32_t kTextAutomaticDetail = 381;
constexpr int32_t kTextSettings = 384;
constexpr int32_t kTextSettingsDetail = 385;
constexpr int32_t kTextTurnOn = 386;
constexpr int32_t kTextTurnOff = 387;
constexpr int32_t kTextTimeout = 390;
constexpr int32_t kTextTriggerKind = 131;    // + eventType
constexpr int32_t kTextSwitchName = 900;     // + item type
constexpr int32_t kTextProgram = 1;          // "Tallowin"

plat::LResult PopupProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    switch (message) {
    case plat::WM_KILLFOCUS: {
        // Another request for the menu (or the focus leaving it): it closes.
        // The focus moving to the menu's own list is no reason to close.
        plat::Hwnd to{static_cast<uint64_t>(wParam)};
        if (to && (to == hwnd || plat::GetParent(to) == hwnd)) return 0;
        plat::PostMessage(hwnd, plat::WM_CLOSE, 0, 0);
        return 0;
    }
    case plat::WM_CLOSE:
        plat::DestroyWindow(hwnd);
        return 0;
    case plat::WM_DESTROY:
        plat::UnregisterClass(kPopupClass);  // succeeds once the window is gone (see ShowSkinnedMenu)
        return 0;
    case plat::WM_PAINT: {
        plat::PaintStruct ps;
        if (plat::BeginPaint(hwnd, &ps)) plat::EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

SkinSource EngineSkinSource(const EngineState& engine) {
    SkinSource source;
    source.skinsFolder = engine.paths.skinsFolder.Str();
    source.skin = engine.model.options.skin.Str();
    source.skinEnabled = engine.model.options.skin_enabled;
    return source;
}

void PlayClick(void* context) {
    EngineState& engine = *static_cast<EngineState*>(context);
    PlayButtonClick(EngineSkinSource(engine), engine.model.options.tdy_sound, IsSoundMuted());
}

// "HH:MM" as minutes; kNoTimeout when it does not read as one.
int32_t TimeoutMinutes(const Profile& p) {
    if (!p.timeoutSet) return kNoTimeout;
    std::u16string_view t = p.timeout.View();
    size_t colon = t.find(u':');
    if (colon == std::u16string_view::npos) return kNoTimeout;
    int32_t hours = ParseInt(t.substr(0, colon)), minutes = ParseInt(t.substr(colon + 1));
    if (hours < 0 || minutes < 0) return kNoTimeout;
    return hours * 60 + minutes;
}

// The remaining manual time of the displayed profile: "   HH:MM", minutes
// rounded up; empty while locked or without a stored time-out.
std::u16string RemainingTime(const EngineState& engine) {
    if (engine.locked) return {};
    uint32_t stored = ReadManualTimeOut();
    plat::SystemTime end;
    if (stored == 0 || !DecodeManualTimeOut(stored, &end)) return {};
    int64_t seconds = plat::SecondsBetween(plat::GetLocalTime(), end);
    if (seconds < 0) seconds = 0;
    int64_t minutes = (seconds + 59) / 60;
    return Format(u"   %02d:%02d", {static_cast<int32_t>(minutes / 60), static_cast<int32_t>(minutes % 60)});
}

void LoadLarge(RgbaImage* image, const EngineState& engine, const Profile& p) {
    if (p.icon_enabled && !p.profile_icon.Empty() && LoadImageFile(image, LargeIconPath(p.profile_icon.View())) == 0)
        return;
    LoadImageFile(image, GenericIconPath(engine.model.options.iconStore.View(), true));
}

std::vector<SkinnedListItem> BuildItems(EngineState& engine) {
    std::vector<SkinnedListItem> items;
    SkinSource source = EngineSkinSource(engine);
    bool anyShown = IsProfileIndex(engine, engine.displayedProfile);

    SkinnedListItem automatic;
    automatic.command = kMenuAutomatic;
    LoadImageFile(&automatic.image, SkinFilePath(source, kAutoSelectionImage));
    automatic.title = LanguageText(engine, kTextAutomatic);
    automatic.detail = LanguageText(engine, kTextAutomaticDetail);
    automatic.bold = anyShown && !engine.manualActive;
    items.push_back(std::move(automatic));

    for (int32_t i = 0; i < engine.model.profiles.count; ++i) {
        if (!ProfileListed(engine, i)) continue;
        const Profile& p = engine.model.profiles.profiles[i];
        bool displayed = i == engine.displayedProfile;
        SkinnedListItem item;
        item.command = i + 1;
        LoadLarge(&item.image, engine, p);
        item.title = p.name.Str();
        item.detail = LanguageText(engine, kTextTriggerKind + p.eventType);
        if (displayed) item.detail += RemainingTime(engine);
        item.bold = displayed;
        item.profileControls = true;
        item.lockOn = displayed && engine.locked;
        item.lockIsChoice = displayed;
        item.timeoutMinutes = TimeoutMinutes(p);
        items.push_back(std::move(item));
    }

    SkinnedListItem settings;
    settings.command = kMenuSettings;
    LoadImageFile(&settings.image, SkinFilePath(source, kConfigurationImage));
    settings.title = LanguageText(engine, kTextSettings);
    settings.detail = LanguageText(engine, kTextSettingsDetail);
    items.push_back(std::move(settings));

    for (int32_t k = 0; k < kPopupSwitchCount; ++k) {
        const PopupSwitch& sw = engine.model.popupSwitches[k];
        if (!sw.enabled) continue;
        bool on = SwitchIsOn(engine, sw.type);
        int32_t offset = sw.type == kItemData ? 4 : sw.type;
        SkinnedListItem item;
        item.command = kMenuFirstSwitch + k;
        if (offset >= 0 && offset <= 4)
            CopyImage(&item.image, engine.skin[on ? kSlotSwitchActiveLarge + offset : kSlotSwitchDisabled + offset]);
        item.title = Format(u"%s %s", {LanguageText(engine, on ? kTextTurnOff : kTextTurnOn),
                                       LanguageText(engine, kTextSwitchName + sw.type)});
        item.bold = on;
        items.push_back(std::move(item));
    }

    for (int32_t k = 0; k < kPopupCounterCount; ++k) {
        const PopupCounter& counter = engine.model.popupCounters[k];
        if (!counter.enabled) continue;
        SkinnedListItem item;
        item.command = kMenuFirstCounter + k;
        int32_t slot = counter.type - kItemMessages;
        if (slot >= 0 && slot <= 3) CopyImage(&item.image, engine.skin[kEngineSlotCounterLarge + slot]);
        item.title = LanguageText(engine, kTextSwitchName + counter.type);
        item.detail = CounterItemText(counter.type);
        items.push_back(std::move(item));
    }
    return items;
}

// Applies the row's lock switch and time-out editor to the chosen profile.
void ApplyProfileControls(EngineState& engine, const SkinnedListItem& item) {
    Profile& p = engine.model.profiles.profiles[item.command - 1];
    if (item.lockOn) p.lockOnActivation = true;
    if (item.timeoutMinutes >= 0) {
        p.timeoutSet = true;
        p.timeout.Assign(Format(u"%02d:%02d", {item.timeoutMinutes / 60, item.timeoutMinutes % 60}));
    } else {
        p.timeoutSet = false;
    }
}

}  // namespace

int32_t ShowSkinnedMenu(EngineState& engine) {
    plat::Hwnd open = plat::FindWindow(kPopupClass, nullptr);
    if (open) {
        plat::SendMessage(open, plat::WM_KILLFOCUS, 0, 0);
        return 0;
    }
    ReadDeviceStates(engine);
    std::vector<SkinnedListItem> items = BuildItems(engine);

    plat::WndClass wc;
    wc.className = kPopupClass;
    wc.proc = PopupProc;
    plat::RegisterClass(wc);
    plat::Hwnd window = plat::CreateWindow(kPopupClass, LanguageText(engine, kTextProgram), plat::WS_VISIBLE, 0, 0,
                                           engine.screenWidth, engine.screenHeight, plat::Hwnd{});
    if (!window) return 0;
    plat::ShFullScreen(window, plat::kShfsHideTaskbar | plat::kShfsHideSipButton);
    plat::MoveWindow(window, 0, 0, engine.screenWidth, engine.screenHeight, false);
    plat::SetForegroundWindow(window);

    plat::LogFont base;
    base.height = -ScaleY(14);
    plat::HFont font = plat::CreateFontIndirect(base);
    base.weight = plat::kFwBold;
    plat::HFont bold = plat::CreateFontIndirect(base);
    base.weight = plat::kFwNormal;
    base.height = -ScaleY(11);
    plat::HFont small = plat::CreateFontIndirect(base);

    SkinnedListLook look;
    look.title = LanguageText(engine, kTextProgram);
    look.timeoutTitle = LanguageText(engine, kTextTimeout);
    look.noTimeoutText = FormatTimeoutMinutes(kNoTimeout);
    look.font = font;
    look.boldFont = bold;
    look.smallFont = small;
    look.background = &engine.skin[kEngineSlotMenu];
    look.lockedImage = &engine.skin[kSlotLocked];
    look.unlockedImage = &engine.skin[kSlotUnlocked];
    look.onTap = PlayClick;
    look.tapContext = &engine;

    SkinnedListResult result;
    int32_t command = RunSkinnedList(window, &items, look, &result);
    if (plat::IsWindow(window)) plat::DestroyWindow(window);
    plat::UnregisterClass(kPopupClass);
    plat::DeleteObject(font);
    plat::DeleteObject(bold);
    plat::DeleteObject(small);

    if (result.index < 0) return 0;
    const SkinnedListItem& chosen = items[static_cast<size_t>(result.index)];
    if (result.lockOnly) return kMenuLock;
    if (chosen.command >= 1 && chosen.command <= 99 && IsProfileIndex(engine, chosen.command - 1))
        ApplyProfileControls(engine, chosen);
    return command;
}

}  // namespace tlw
