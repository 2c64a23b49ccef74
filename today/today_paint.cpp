// Painting the item: everything goes to an off-screen bitmap over the Today
// screen's background and is copied to the window in one block; the CPU
// meter's periodic repaint copies only its own rectangle.
//
//   PaintItem        the whole item into a device context
//   PaintProfileArea icon, name, trigger icon, time-out and lock
//   PaintAddon       switches, counters and the three meters
//   PaintWindow      WM_PAINT: the off-screen bitmap and the copy
#include <algorithm>
#include <cstring>
#include <string>

#include "base/text.h"
#include "common/graphics/alpha_draw.h"
#include "common/graphics/dib_surface.h"
#include "common/graphics/icon_store.h"
#include "common/graphics/image_loader.h"
#include "common/graphics/screen_scale.h"
#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "today/today_plugin.h"

namespace today {
namespace {

constexpr plat::ColorRef kBlack = plat::Rgb(0, 0, 0);
constexpr uint32_t kTextFormat = plat::kDtLeft | plat::kDtVCenter | plat::kDtSingleLine | plat::kDtNoPrefix;
constexpr uint32_t kCentredFormat = plat::kDtCenter | plat::kDtVCenter | plat::kDtSingleLine | plat::kDtNoPrefix;

// The profile icons last loaded, kept until the path changes.
struct IconCache {
    std::u16string path;   // the file the image came from
    tlw::RgbaImage image;  // empty when it did not load
    bool loaded = false;   // the load succeeded
};
IconCache g_smallIcon, g_largeIcon;

const tlw::RgbaImage* LoadCachedIcon(IconCache& cache, const std::u16string& path) {
    if (cache.path != path) {
        cache.path = path;
        cache.image = {};
        cache.loaded = tlw::LoadImageFile(&cache.image, path) == tlw::kImageOk;
    }
    return cache.loaded ? &cache.image : nullptr;
}

plat::ColorRef TodayColor(uint32_t which) {
    TodayState& s = Plugin();
    if (!s.parent) return which == plat::TODAYCOLOR_HIGHLIGHTEDTEXT ? plat::Rgb(255, 255, 255) : kBlack;
    return static_cast<plat::ColorRef>(plat::SendMessage(s.parent, plat::TODAYM_GETCOLOR, which, 0));
}

// Fills a rectangle with a pattern brush whose gradient starts at its top.
void FillPattern(plat::Hdc hdc, const plat::Rect& r, plat::HBrush brush) {
    if (!brush) return;
    plat::SetBrushOrg(hdc, r.left, r.top);
    plat::FillRect(hdc, r, brush);
}

void DrawSlot(plat::Hdc hdc, int slot, int32_t x, int32_t y) {
    TodayState& s = Plugin();
    if (slot < 0 || slot >= static_cast<int>(tlw::kPluginSkinSlotCount) || s.images[slot].width == 0) return;
    tlw::DrawImage(s.images[slot], hdc, x, y);
}

bool Selected(int hit) {
    TodayState& s = Plugin();
    return s.hasSelection && s.selection == hit;
}

std::u16string IconFolder() { return tlw::IconStoreFolder(Plugin().paths.iconStoreFolder.View()); }

const tlw::Profile* RunningProfile() {
    TodayState& s = Plugin();
    if (s.currentProfile < 0 || s.currentProfile >= s.model.profiles.count) return nullptr;
    return &s.model.profiles.profiles[s.currentProfile];
}

void PaintCpuMeter(plat::Hdc hdc) {
    TodayState& s = Plugin();
    const TodayLayout& L = s.layout;
    if (L.cpuHit < 0) return;
    const plat::Rect& m = L.meterRect[L.cpuHit];
    if (Selected(L.cpuHit) && s.highlightBrush) plat::FillRect(hdc, m, s.highlightBrush);
    else FillPattern(hdc, m, s.patterns[kBrushGrey]);
    int32_t H = m.bottom - m.top - 2;
    auto height = [&](int32_t p) { return std::clamp(p * H / 100, 0, H); };
    if (s.cpuGraph) {
        plat::Point points[kCpuSampleCount];
        for (int i = 0; i < kCpuSampleCount; ++i) {
            int32_t p = s.cpuSamples[(s.cpuWrite + i) % kCpuSampleCount];
            points[i] = {m.left + tlw::ScaleX(3) + tlw::ScaleX(i), m.bottom - 1 - height(p)};
        }
        plat::HPen old = plat::SelectObject(hdc, s.cpuPen);
        plat::Polyline(hdc, points, kCpuSampleCount);
        plat::SelectObject(hdc, old);
    } else {
        int32_t p = s.cpuSamples[(s.cpuWrite + kCpuSampleCount - 1) % kCpuSampleCount];
        plat::Rect bar = L.cpuBar;
        bar.top = bar.bottom - height(p);
        FillPattern(hdc, bar, s.patterns[kBrushRed]);
        plat::SetTextColor(hdc, kBlack);
        plat::Rect text = m;
        plat::DrawText(hdc, tlw::Format(u"%d", {p}), &text, kCentredFormat);
    }
}

void PaintWifiMeter(plat::Hdc hdc, int hit) {
    TodayState& s = Plugin();
    const plat::Rect& m = s.layout.meterRect[hit];
    if (Selected(hit) && s.highlightBrush) plat::FillRect(hdc, m, s.highlightBrush);
    else FillPattern(hdc, m, s.patterns[kBrushGrey]);
    plat::SetTextColor(hdc, kBlack);
    plat::Rect text = m;
    if (!s.wifiConnected) {
        plat::DrawText(hdc, u"WIFI", &text, kCentredFormat);
        return;
    }
    tlw::AccessPointInfo none{};
    none.signal = -90;
    const tlw::AccessPointInfo& ap =
        s.connectedAccessPoint >= 0 ? s.accessPoints[s.connectedAccessPoint] : none;
    int32_t signal = ap.signal;
    if (signal < -30000) signal >>= 16;  // drivers that report it in the upper half
    signal = std::clamp(signal, -90, -30);
    plat::Rect bar = m;
    bar.right -= tlw::ScaleX((-30 - signal) / 2);
    int brush = signal < -70 ? kBrushRed : signal < -60 ? kBrushYellow : kBrushGreen;
    FillPattern(hdc, bar, s.patterns[brush]);
    std::u16string line;
    plat::HFont old = plat::GetCurrentFont(hdc);
    switch (s.wifiTextMode) {
    case 0:
        line = tlw::Utf8ToUtf16(std::string(ap.name, strnlen(ap.name, sizeof ap.name)));
        plat::SelectObject(hdc, s.smallFont);
        break;
    case 1: {
        int channel = ap.channel >= 1 && ap.channel <= 13 ? ap.channel : 0;
        line = tlw::Format(u"ch%d ", {channel});
        if (ap.infrastructure != 1) line += u"A";
        else line += ap.privacy != 0 ? u"W" : u"O";
        break;
    }
    default:
        if (s.linkSpeed == 0) line = u"Unkn.";
        else if (s.linkSpeed == 55) line = u"5.5Mb";
        else line = tlw::Format(u"%d Mb", {static_cast<int>(s.linkSpeed / 10)});
        break;
    }
    plat::DrawText(hdc, line, &text, kTextFormat);
    plat::SelectObject(hdc, old);
}

void PaintBatteryMeter(plat::Hdc hdc, int hit) {
    TodayState& s = Plugin();
    const plat::Rect& m = s.layout.meterRect[hit];
    if (Selected(hit) && s.highlightBrush) plat::FillRect(hdc, m, s.highlightBrush);
    else FillPattern(hdc, m, s.patterns[kBrushGrey]);
    plat::Rect bar = m;
    bar.right = m.left + std::min(tlw::ScaleX(s.batteryPercent * 35 / 100), m.right - m.left);
    int brush = s.charging ? kBrushBlue
              : s.batteryPercent > 40 ? kBrushGreen
              : s.batteryPercent < 21 ? kBrushRed
              : kBrushYellow;
    FillPattern(hdc, bar, s.patterns[brush]);
    plat::SetTextColor(hdc, kBlack);
    plat::Rect text = m;
    if (s.batteryTextMode == 0) {
        std::u16string line = s.batteryPercent == kBatteryPercentUnknown ? u"--%" : tlw::Format(u"%d", {s.batteryPercent});
        plat::DrawText(hdc, line, &text, kCentredFormat);
    } else {
        plat::HFont old = plat::SelectObject(hdc, s.smallFont);
        text.top += 2;
        text.bottom += 2;
        plat::DrawText(hdc, tlw::Format(u"%dmA", {s.batteryCurrent}), &text, kCentredFormat);
        plat::SelectObject(hdc, old);
    }
}

void PaintAddon(plat::Hdc hdc, int hit, plat::ColorRef text, plat::ColorRef highlightedText) {
    TodayState& s = Plugin();
    int slot = s.layout.slotOfHit[hit];
    const tlw::TodayItem& item = s.model.todayItems[slot];
    const plat::Rect& r = s.layout.hits[hit].rect;
    bool meter = item.type == AddonWifiMeter || item.type == AddonBattery || item.type == AddonCpuMeter;
    if (Selected(hit) && !meter) {
        if (s.highlightBrush) plat::FillRect(hdc, r, s.highlightBrush);
        plat::SetTextColor(hdc, highlightedText);
    }
    switch (item.type) {
    case AddonBluetooth:
    case AddonWifi:
    case AddonPhoneRadio:
    case AddonPushMail:
    case AddonDataConnection: {
        int kind = item.type == AddonDataConnection ? 4 : item.type;
        DrawSlot(hdc, 10 + kind + 5 * (s.switchStates[slot] ? 1 : 0) + 10 * (item.height ? 1 : 0), r.left, r.top);
        break;
    }
    case AddonMessages:
    case AddonEmail:
    case AddonMissedCalls:
    case AddonVoiceMail: {
        int counter = item.type - AddonMessages;
        DrawSlot(hdc, 29 + item.type + 4 * (item.height ? 1 : 0), r.left, r.top);
        plat::Rect area{r.left + tlw::ScaleX(15), r.top, r.right - tlw::ScaleX(1), r.bottom};
        if (item.height)
            FillPattern(hdc, area, s.patterns[s.counts[counter] == 0 ? kBrushGreen : kBrushRed]);
        area.top += tlw::ScaleY(item.height ? 20 : 1);
        plat::DrawText(hdc, s.countTexts[counter].View(), &area, kCentredFormat);
        break;
    }
    case AddonWifiMeter: PaintWifiMeter(hdc, hit); break;
    case AddonBattery: PaintBatteryMeter(hdc, hit); break;
    default: break;  // the CPU meter is painted first, the slider paints itself
    }
    plat::SetTextColor(hdc, text);
}

void PaintProfileArea(plat::Hdc hdc, plat::ColorRef text, plat::ColorRef highlightedText) {
    TodayState& s = Plugin();
    const TodayLayout& L = s.layout;
    const plat::Rect& trigger = L.hits[kHitTrigger].rect;
    const plat::Rect& timeOut = L.hits[kHitTimeOut].rect;
    plat::Rect name = L.hits[kHitProfileName].rect;
    plat::Rect highlight = L.nameHighlight;
    bool timeOutShown = !s.timeOutText.Empty();
    // A time-out on the name's line takes the room right of the name.
    if (timeOutShown && L.rows == 1) {
        name.right = std::min(name.right, timeOut.left - tlw::ScaleX(1));
        highlight.right = std::min(highlight.right, timeOut.left - tlw::ScaleX(1));
    }

    if (s.hasSelection && s.selection == kHitProfileIcon && s.highlightBrush)
        plat::FillRect(hdc, L.hits[kHitProfileIcon].rect, s.highlightBrush);
    if (s.hasSelection && s.selection == kHitProfileName) {
        if (s.highlightBrush) plat::FillRect(hdc, highlight, s.highlightBrush);
        plat::SetTextColor(hdc, highlightedText);
    }

    const tlw::Profile* profile = RunningProfile();
    bool ownIconAtHit0 = false;
    if (!profile) {
        if (!L.nameHidden) DrawSlot(hdc, tlw::kSlotTrigger + tlw::kEventManual, trigger.left, trigger.top);
        plat::DrawText(hdc, u"----", &name, kTextFormat);
    } else {
        bool manualOnOther = s.manual && profile->eventType != tlw::kEventManual;
        if (!L.nameHidden)
            DrawSlot(hdc, manualOnOther ? tlw::kSlotTrigger : tlw::kSlotTrigger + profile->eventType, trigger.left,
                     trigger.top);
        if (s.model.options.thumb_menu && L.rows >= 2) {
            std::u16string path = profile->icon_enabled ? tlw::LargeIconPath(profile->profile_icon.View())
                                                        : tlw::GenericIconPath(IconFolder(), true);
            if (const tlw::RgbaImage* image = LoadCachedIcon(g_largeIcon, path))
                tlw::DrawImage(*image, hdc, name.left, name.top);
        } else {
            const tlw::RgbaImage* own =
                profile->icon_enabled ? LoadCachedIcon(g_smallIcon, profile->profile_icon.Str()) : nullptr;
            if (own) {
                if (L.nameHidden) {
                    tlw::DrawImage(*own, hdc, name.left, name.top);
                } else {
                    plat::DrawText(hdc, profile->name.View(), &name, kTextFormat | plat::kDtEndEllipsis);
                    tlw::DrawImage(*own, hdc, L.hits[kHitProfileIcon].rect.left, L.hits[kHitProfileIcon].rect.top);
                    ownIconAtHit0 = true;
                }
                LogToday(tlw::Format(u"TODAY PLUGIN: Load profile small icon %s %d %d",
                                     {profile->profile_icon.View(), profile->icon_enabled ? 1 : 0, s.currentProfile}));
            } else {
                if (!L.nameHidden) plat::DrawText(hdc, profile->name.View(), &name, kTextFormat | plat::kDtEndEllipsis);
                if (L.rows == 1) {
                    if (manualOnOther) {
                        DrawSlot(hdc, tlw::kSlotTrigger, trigger.left, trigger.top);
                    } else {
                        std::u16string path = tlw::GenericIconPath(IconFolder(), false);
                        if (const tlw::RgbaImage* generic = LoadCachedIcon(g_smallIcon, path))
                            tlw::DrawImage(*generic, hdc, trigger.left, trigger.top);
                        LogToday(tlw::Format(u"TODAY PLUGIN: Load generic icon %s", {path}));
                    }
                }
            }
        }
    }
    plat::SetTextColor(hdc, text);
    if (!ownIconAtHit0)
        DrawSlot(hdc, tlw::kSlotPluginIcon, L.hits[kHitProfileIcon].rect.left, L.hits[kHitProfileIcon].rect.top);

    if (timeOutShown) {
        plat::Rect area = timeOut;
        if (Selected(kHitTimeOut)) {
            if (s.highlightBrush) plat::FillRect(hdc, area, s.highlightBrush);
            plat::SetTextColor(hdc, highlightedText);
        }
        // The text may be a little wider than its area in a wide font: it
        // runs on over the trigger icon's margin rather than losing a digit.
        plat::DrawText(hdc, s.timeOutText.View(), &area, kTextFormat | plat::kDtNoClip);
        plat::SetTextColor(hdc, text);
    }

    const plat::Rect& lock = L.hits[kHitLock].rect;
    if (Selected(kHitLock) && s.highlightBrush) plat::FillRect(hdc, lock, s.highlightBrush);
    DrawSlot(hdc, s.locked ? tlw::kSlotLocked : tlw::kSlotUnlocked, lock.left, lock.top);
}

}  // namespace

void PaintItem(plat::Hdc hdc) {
    TodayState& s = Plugin();
    plat::SetBkMode(hdc, plat::kTransparent);
    plat::HFont oldFont = plat::SelectObject(hdc, s.itemFont);
    plat::ColorRef text = TodayColor(plat::TODAYCOLOR_TEXT);
    plat::SetTextColor(hdc, text);

    PaintCpuMeter(hdc);
    if (!s.cpuOnlyRepaint) {
        if (s.highlightBrush) plat::DeleteObject(s.highlightBrush);
        s.highlightBrush = plat::CreateSolidBrush(TodayColor(plat::TODAYCOLOR_HIGHLIGHT));
        plat::ColorRef highlightedText = TodayColor(plat::TODAYCOLOR_HIGHLIGHTEDTEXT);
        PaintProfileArea(hdc, text, highlightedText);
        for (int hit = kHitFirstAddon; hit < kHitCount; ++hit)
            if (s.layout.slotOfHit[hit] >= 0) PaintAddon(hdc, hit, text, highlightedText);
    }
    plat::SelectObject(hdc, oldFont);
}

void PaintWindow(plat::Hwnd hwnd) {
    TodayState& s = Plugin();
    plat::PaintStruct ps;
    plat::Hdc hdc = plat::BeginPaint(hwnd, &ps);
    if (!hdc) return;
    if (!s.initialised) {
        plat::EndPaint(hwnd, &ps);
        return;
    }
    plat::Rect client;
    plat::GetClientRect(hwnd, &client);
    int32_t width = std::max(s.layout.width, 1);
    int32_t height = std::max(s.layout.height, 1);
    tlw::DibSurface surface;
    plat::Hdc memory = plat::CreateCompatibleDC(hdc);
    if (!memory || !tlw::CreateDibSurface(&surface, static_cast<uint32_t>(width), static_cast<uint32_t>(height), true)) {
        if (memory) plat::DeleteDC(memory);
        plat::EndPaint(hwnd, &ps);
        return;
    }
    plat::HBitmap oldBitmap = plat::SelectObject(memory, surface.bitmap);
    plat::TodayDrawWatermarkInfo info;
    info.hdc = memory;
    info.rc = client;
    info.hwnd = hwnd;
    if (s.parent) plat::SendMessage(s.parent, plat::TODAYM_DRAWWATERMARK, 0, reinterpret_cast<plat::LParam>(&info));
    PaintItem(memory);
    if (s.cpuOnlyRepaint && s.layout.cpuHit >= 0) {
        const plat::Rect& m = s.layout.meterRect[s.layout.cpuHit];
        plat::BitBlt(hdc, m.left, m.top, m.right - m.left, m.bottom - m.top, memory, m.left, m.top, plat::kSrcCopy);
    } else {
        plat::BitBlt(hdc, 0, 0, width, height, memory, 0, 0, plat::kSrcCopy);
    }
    s.cpuOnlyRepaint = false;
    plat::SelectObject(memory, oldBitmap);
    plat::DeleteDC(memory);
    tlw::FreeDibSurface(&surface);
    plat::EndPaint(hwnd, &ps);
}

}  // namespace today
