// The brightness slider: a trackbar child of the item, kept in step with the
// backlight by the refresh; a move stores the level for the engine.
#include "common/config/registry_state.h"
#include "common/graphics/screen_scale.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"
#include "today/today_plugin.h"

namespace today {
namespace {

constexpr char16_t kTrackbarClass[] = u"msctls_trackbar32";
constexpr uint32_t kTbsNoTicks = 0x0010;
constexpr uint32_t kTbmGetPos = plat::WM_USER;
constexpr uint32_t kTbmSetPos = plat::WM_USER + 5;
constexpr uint32_t kTbmSetRange = plat::WM_USER + 6;
constexpr uint32_t kTbThumbTrack = 5;

plat::LParam Range(int32_t low, int32_t high) {
    return static_cast<plat::LParam>((static_cast<uint32_t>(high & 0xFFFF) << 16) | static_cast<uint16_t>(low));
}

void SetRange() {
    TodayState& s = Plugin();
    plat::SendMessage(s.slider, kTbmSetRange, 1, Range(0, s.model.options.bklLevels));
}

}  // namespace

void CreateSlider() {
    TodayState& s = Plugin();
    if (!s.window) return;
    const plat::Rect& r = s.layout.sliderRect;
    s.slider = plat::CreateWindow(kTrackbarClass, u"", plat::WS_CHILD | kTbsNoTicks, r.left, r.top, r.right - r.left,
                                  r.bottom - r.top, s.window);
    if (!s.slider) return;
    SetRange();
    plat::SendMessage(s.slider, kTbmSetPos, 1, s.brightness);
    plat::ShowWindow(s.slider, plat::SW_SHOW);
}

void DestroySlider() {
    TodayState& s = Plugin();
    if (s.slider && plat::IsWindow(s.slider)) plat::DestroyWindow(s.slider);
    s.slider = {};
}

void SetSliderPosition(int32_t level) {
    TodayState& s = Plugin();
    s.brightness = level;
    if (s.slider) plat::SendMessage(s.slider, kTbmSetPos, 1, level);
}

void RedrawSlider() {
    TodayState& s = Plugin();
    if (!s.slider) return;
    SetRange();
    plat::InvalidateRect(s.slider, nullptr, true);
}

void StoreBrightness(int32_t level) {
    uint32_t stored = 0;
    if (!tlw::ReadTallowinDword(tlw::kBrightNessValue, &stored) || stored != static_cast<uint32_t>(level)) {
        tlw::WriteBrightNess(static_cast<uint32_t>(level));
        SendEngineCommand(940);
    }
}

void OnSliderScroll(plat::WParam wParam) {
    TodayState& s = Plugin();
    if ((wParam & 0xFFFF) != kTbThumbTrack && s.slider) {
        int32_t level = static_cast<int32_t>(plat::SendMessage(s.slider, kTbmGetPos, 0, 0));
        s.brightness = level;
        s.brightnessBusy = true;
        StoreBrightness(level);
    }
    if (s.parent) plat::SetFocus(s.parent);
}

}  // namespace today
