// Taps on the item, the navigation keys and the action key: the hit test,
// the click sound, and each area's action.
#include "common/device/device_operations.h"
#include "common/device/probes.h"
#include "common/graphics/click_sound.h"
#include "common/config/registry_state.h"
#include "platform/kernel/threads.h"
#include "platform/controls/message_box.h"
#include "common/graphics/screen_scale.h"
#include "platform/window/window.h"
#include "today/today_navigation.h"
#include "today/today_plugin.h"

namespace today {
namespace {

constexpr char16_t kCaption[] = u"Tallowin";
constexpr int kTextTurnPhoneOn = 560;
constexpr int kTextTurnPhoneOff = 561;
constexpr uint32_t kUnlockPauseMs = 1000;

bool Inside(const plat::Rect& r, int32_t x, int32_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

void PlayClick(int hit) {
    TodayState& s = Plugin();
    if (hit == kNoHit) return;
    bool nameClicks = s.model.options.thumb_menu && s.layout.rows >= 2;
    if ((hit == kHitProfileName && !nameClicks) || hit == kHitTimeOut || hit == kHitTrigger) return;
    tlw::SkinSource source;
    source.skinsFolder = s.paths.skinsFolder.Str();
    source.skin = s.model.options.skin.Str();
    source.skinEnabled = s.model.options.skin_enabled;
    tlw::PlayButtonClick(source, s.model.options.tdy_sound, tlw::IsSoundMuted());
}

void ToggleLock() {
    TodayState& s = Plugin();
    s.locked = !s.locked;
    tlw::WriteLocked(s.locked);
    if (!s.locked) {
        // Unlocking hands the choice back to the triggers; the pause lets the
        // engine decide before the item is drawn again.
        ShowWaitCursor(true);
        SendEngineCommand(500);
        plat::Sleep(kUnlockPauseMs);
        ShowWaitCursor(false);
    }
    plat::InvalidateRect(s.window, nullptr, false);
}

// Asks the question of the language text; true on OK.
bool Confirm(int text) {
    TodayState& s = Plugin();
    return plat::MessageBox(s.language.text[text].View(), kCaption, plat::kMbOkCancel | plat::kMbIconQuestion) ==
           plat::kIdOk;
}

void TogglePhoneRadio(bool on) {
    if (on) {
        // The question must be heard even on a muted phone.
        bool muted = tlw::IsSoundMuted();
        if (muted) tlw::SetSoundMuted(false);
        if (Confirm(kTextTurnPhoneOff)) SendEngineCommand(922);
        if (muted) tlw::SetSoundMuted(true);
    } else if (Confirm(kTextTurnPhoneOn)) {
        SendEngineCommand(912);
    }
}

void InvalidateHit(int hit) {
    TodayState& s = Plugin();
    const plat::Rect& r = s.layout.meterRect[hit].right > s.layout.meterRect[hit].left ? s.layout.meterRect[hit]
                                                                                       : s.layout.hits[hit].rect;
    plat::InvalidateRect(s.window, &r, false);
}

void AddonAction(int hit) {
    TodayState& s = Plugin();
    int slot = s.layout.slotOfHit[hit];
    if (slot < 0) return;
    uint32_t wifi = 0;
    int32_t phone = 0, bluetooth = 0, pushMail = 0, data = 0;
    tlw::GetDeviceStates(&wifi, &phone, &bluetooth, &pushMail, &data);
    switch (s.model.todayItems[slot].type) {
    case AddonBluetooth: SendEngineCommand(911 + 10 * (bluetooth != 0)); break;
    case AddonWifi: SendEngineCommand(910 + 10 * (wifi != 0)); break;
    case AddonPhoneRadio: TogglePhoneRadio(phone != 0); break;
    case AddonPushMail: SendEngineCommand(913 + 10 * (pushMail != 0)); break;
    case AddonDataConnection: SendEngineCommand(914 + 10 * (data != 0)); break;
    case AddonMessages: OpenMessages(); break;
    case AddonEmail: OpenEmail(); break;
    case AddonMissedCalls: OpenCallLog(); break;
    case AddonVoiceMail: CallVoiceMail(); break;
    case AddonWifiMeter:
        s.wifiTextMode = (s.wifiTextMode + 1) % 3;
        InvalidateHit(hit);
        break;
    case AddonBattery:
        s.batteryTextMode = (s.batteryTextMode + 1) % 2;
        InvalidateHit(hit);
        break;
    case AddonCpuMeter:
        s.cpuGraph = !s.cpuGraph;
        InvalidateHit(hit);
        break;
    default: break;  // line breaks place nothing; the slider takes its own input
    }
}

}  // namespace

int HitTest(int32_t x, int32_t y) {
    TodayState& s = Plugin();
    int found = kNoHit;
    for (int i = 0; i < kHitCount; ++i) {
        if (i == kHitTimeOut && s.timeOutText.Empty()) continue;
        if (Inside(s.layout.hits[i].rect, x, y)) {
            found = i;
            break;
        }
    }
    if (Inside(s.layout.nameHighlight, x, y)) found = kHitProfileName;
    // The empty time-out area is part of the name's reach: it opens the
    // profile menu too.
    if (found == kNoHit && Inside(s.layout.hits[kHitTimeOut].rect, x, y)) found = kHitTimeOut;
    return found;
}

void OnTap(int32_t x, int32_t y) {
    TodayState& s = Plugin();
    if (!s.initialised) return;
    if (!s.timeOutText.Empty() && Inside(s.layout.hits[kHitTimeOut].rect, x, y)) {
        ShowTimeOutDialog();
        return;
    }
    int hit = HitTest(x, y);
    PlayClick(hit);
    switch (hit) {
    case kNoHit: break;
    case kHitProfileIcon: StartConfigurationProgram(); break;
    case kHitProfileName:
    case kHitTimeOut: ShowProfileMenu(); break;
    case kHitTrigger: break;
    case kHitLock: ToggleLock(); break;
    default: AddonAction(hit); break;
    }
}

bool OnNavigation(uint32_t key) {
    TodayState& s = Plugin();
    int old = s.selection;
    if (old >= 0 && old == s.layout.sliderHit && s.sliderAdjust &&
        (key == plat::VK_LEFT || key == plat::VK_RIGHT)) {
        int32_t level = s.brightness;
        if (key == plat::VK_LEFT && level > 0) --level;
        if (key == plat::VK_RIGHT && level < s.model.options.bklLevels) ++level;
        s.brightness = level;
        s.brightnessBusy = true;
        StoreBrightness(level);
        SetSliderPosition(level);
        plat::InvalidateRect(s.window, nullptr, false);
        return true;
    }
    if (old >= 0 && old == s.layout.sliderHit && s.sliderAdjust) {
        s.sliderAdjust = false;
        RedrawSlider();
    }
    s.selection = NavigateFrom(s.layout.hits, old, key);
    plat::InvalidateRect(s.window, nullptr, false);
    return s.selection != kNoHit;
}

void OnAction() {
    TodayState& s = Plugin();
    int hit = s.selection;
    if (hit < 0 || hit >= kHitCount) return;
    if (hit == s.layout.sliderHit) {
        s.sliderAdjust = !s.sliderAdjust;
        RedrawSlider();
        return;
    }
    const plat::Rect& r = s.layout.hits[hit].rect;
    OnTap(r.right - 1, r.top + tlw::ScaleY(4));
}

}  // namespace today
