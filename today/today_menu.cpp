// The profile menu: a tap on the profile name lists the profiles that may be
// chosen by hand and the automatic entry, each drawn by the item with its
// trigger image and own icon; a choice becomes a command for the engine.
#include "common/graphics/alpha_draw.h"
#include "common/graphics/image_loader.h"
#include "common/graphics/image_scale.h"
#include "common/graphics/screen_scale.h"
#include "platform/gdi/gdi.h"
#include "platform/window/popup_menu.h"
#include "platform/window/window.h"
#include "today/today_plugin.h"

namespace today {
namespace {

constexpr uint32_t kAutomaticEntry = 500;
constexpr int kTextAutomaticEntry = 550;
constexpr uint8_t kFadedAlpha = 127;

// Draws an image 16 units square at (x, y): as it is for the running
// profile, else half transparent, its colours blended 127 with white.
void DrawEntryImage(const tlw::RgbaImage& image, plat::Hdc hdc, int32_t x, int32_t y, bool faded) {
    if (image.width == 0 || image.height == 0) return;
    int32_t side = tlw::ScaleX(16);
    tlw::RgbaImage drawn;
    if (!tlw::ScaleImage(&drawn, image, static_cast<uint32_t>(side), static_cast<uint32_t>(side))) return;
    if (faded) tlw::FadeImage(&drawn, kFadedAlpha);
    tlw::DrawImage(drawn, hdc, x, y);
}

}  // namespace

void ShowProfileMenu() {
    TodayState& s = Plugin();
    if (s.model.options.thumb_menu) {
        SendEngineCommand(2268);
        return;
    }
    plat::HMenu menu = plat::CreatePopupMenu();
    if (!menu) return;
    for (int i = 0; i < s.model.profiles.count; ++i) {
        const tlw::Profile& p = s.model.profiles.profiles[i];
        if (p.enabled && (p.show || i == s.currentProfile))
            plat::AppendMenu(menu, plat::MF_OWNERDRAW, static_cast<uint32_t>(i + 1), {}, static_cast<uint64_t>(i + 1));
    }
    plat::AppendMenu(menu, plat::MF_SEPARATOR, 0, {});
    plat::AppendMenu(menu, plat::MF_OWNERDRAW, kAutomaticEntry, {}, kAutomaticEntry);
    plat::GetWindowRect(s.window, &s.screenRect);
    int32_t chosen = plat::TrackPopupMenuEx(menu, plat::TPM_RETURNCMD, tlw::ScaleX(28),
                                            s.screenRect.top + tlw::ScaleY(20), s.window);
    plat::DestroyMenu(menu);
    if (chosen == 0) {
        s.currentProfile = s.lastProfile;
    } else if (chosen == static_cast<int32_t>(kAutomaticEntry)) {
        s.manual = false;
        s.currentProfile = s.lastProfile;
        SendEngineCommand(static_cast<int32_t>(kAutomaticEntry));
        RecomputeLayout();
    } else {
        s.manual = true;
        s.currentProfile = chosen - 1;
        SendEngineCommand(chosen + 99);
        RecomputeLayout();
    }
    plat::InvalidateRect(s.window, nullptr, false);
}

bool MeasureMenuItem(plat::LParam lParam) {
    auto* measure = reinterpret_cast<plat::MeasureItemStruct*>(lParam);
    if (!measure || measure->ctlType != plat::ODT_MENU) return false;
    measure->itemWidth = static_cast<uint32_t>(tlw::ScaleX(152));
    measure->itemHeight = static_cast<uint32_t>(tlw::ScaleY(18));
    return true;
}

bool DrawMenuItem(plat::LParam lParam) {
    TodayState& s = Plugin();
    auto* draw = reinterpret_cast<const plat::DrawItemStruct*>(lParam);
    if (!draw || draw->ctlType != plat::ODT_MENU) return false;
    plat::Hdc hdc = draw->hdc;
    plat::Rect r = draw->rcItem;
    bool selected = (draw->itemState & plat::ODS_SELECTED) != 0;
    plat::ColorRef oldText = plat::SetTextColor(hdc, plat::GetSysColor(plat::kColorMenuText));
    if (selected) {
        plat::FillRect(hdc, r, s.menuHighlightBrush);
        plat::SetTextColor(hdc, plat::GetSysColor(plat::kColorHighlightText));
    } else {
        plat::FillRect(hdc, r, s.menuWhiteBrush);
    }
    plat::SetBkMode(hdc, plat::kTransparent);
    r.top += tlw::ScaleY(1);

    plat::Rect text = r;
    text.left = r.left + tlw::ScaleX(20);
    std::u16string label;
    bool bold = false;
    if (draw->itemId < kAutomaticEntry) {
        int index = static_cast<int>(draw->itemId) - 1;
        if (index < 0 || index >= s.model.profiles.count) return false;
        const tlw::Profile& p = s.model.profiles.profiles[index];
        bool running = index == s.currentProfile;
        if (p.eventType >= 0 && p.eventType <= tlw::kEventLocation)
            DrawEntryImage(s.images[tlw::kSlotTrigger + p.eventType], hdc, r.left + tlw::ScaleX(2), r.top, !running);
        label = p.name.Str();
        text.right = r.right - tlw::ScaleX(20);
        if (p.icon_enabled) {
            tlw::RgbaImage icon;
            if (tlw::LoadImageFile(&icon, p.profile_icon.View()) == tlw::kImageOk)
                DrawEntryImage(icon, hdc, r.right - tlw::ScaleX(18), r.top, !running);
        }
        bold = running;
    } else {
        label = s.language.text[kTextAutomaticEntry].Str();
        bold = s.currentProfile != tlw::kNoProfile;
    }
    plat::HFont old = plat::SelectObject(hdc, bold ? s.menuBoldFont : s.menuFont);
    plat::DrawText(hdc, label, &text,
                   plat::kDtLeft | plat::kDtVCenter | plat::kDtSingleLine | plat::kDtNoPrefix | plat::kDtEndEllipsis);
    plat::SelectObject(hdc, old);
    plat::SetTextColor(hdc, oldText);
    return true;
}

}  // namespace today
