// The engine's icon in the taskbar: the displayed profile's image with the
// manual or lock overlay, either as a notification-area icon or as a small
// window of its own inside the taskbar.
#include "engine/taskbar_icon.h"

#include <algorithm>

#include "common/config/registry_state.h"
#include "common/graphics/alpha_draw.h"
#include "common/graphics/image_loader.h"
#include "common/graphics/image_scale.h"
#include "common/graphics/screen_scale.h"
#include "common/graphics/skin.h"
#include "engine/engine_actions.h"
#include "engine/engine_messages.h"
#include "engine/sound_repetition.h"
#include "platform/gdi/gdi.h"
#include "platform/shell/notify_icon.h"
#include "platform/window/window.h"

namespace tlw {
namespace {

constexpr char16_t kTaskBarClass[] = u"HHTaskBar";
constexpr char16_t kIconWindowTitle[] = u"TlwIcon";

// Sizes given for a 128-dpi screen: kept there, scaled elsewhere.
int32_t At128Dpi(int32_t v) { return ScreenDpiX() == 128 ? v : ScaleX(v); }

// The overlay of the displayed profile: manual while unlocked, the lock
// while locked; none for a Manual profile or no profile.
const RgbaImage* Overlay(const EngineState& engine) {
    if (!IsProfileIndex(engine, engine.displayedProfile)) return nullptr;
    if (engine.model.profiles.profiles[engine.displayedProfile].eventType == kEventManual) return nullptr;
    if (engine.locked) return &engine.skin[kSlotLocked];
    if (engine.manualActive) return &engine.skin[kSlotTrigger + kEventManual];
    return nullptr;
}

// Copies the opaque pixels (alpha above 127) of image, scaled to
// side x side at (x, y), into the mask and colour bitmaps.
void StampOpaque(plat::Hdc mask, plat::Hdc colour, const RgbaImage& image, int32_t x, int32_t y, int32_t side) {
    RgbaImage scaled;
    if (side <= 0 || !ScaleImage(&scaled, image, static_cast<uint32_t>(side), static_cast<uint32_t>(side))) return;
    for (uint32_t row = 0; row < scaled.height; ++row) {
        for (uint32_t col = 0; col < scaled.width; ++col) {
            size_t i = PixelIndex(scaled, col, row);
            if (scaled.alpha[i] <= 127) continue;
            plat::SetPixel(mask, x + static_cast<int32_t>(col), y + static_cast<int32_t>(row), 0);
            plat::SetPixel(colour, x + static_cast<int32_t>(col), y + static_cast<int32_t>(row),
                           plat::Rgb(scaled.red[i], scaled.green[i], scaled.blue[i]));
        }
    }
}

// Builds the notification icon: white mask and black colour, then the
// profile image and the overlay stamped in where they are opaque.
plat::HIcon BuildNotifyIcon(EngineState& engine) {
    int32_t side = At128Dpi(16);
    plat::Hdc maskDc = plat::CreateCompatibleDC(plat::Hdc{});
    plat::Hdc colourDc = plat::CreateCompatibleDC(plat::Hdc{});
    plat::HBitmap mask = plat::CreateCompatibleBitmap(plat::Hdc{}, side, side);
    plat::HBitmap colour = plat::CreateCompatibleBitmap(plat::Hdc{}, side, side);
    plat::HBitmap oldMask = plat::SelectObject(maskDc, mask);
    plat::HBitmap oldColour = plat::SelectObject(colourDc, colour);
    plat::HBrush white = plat::CreateSolidBrush(plat::Rgb(255, 255, 255));
    plat::HBrush black = plat::CreateSolidBrush(plat::Rgb(0, 0, 0));
    plat::FillRect(maskDc, {0, 0, side, side}, white);
    plat::FillRect(colourDc, {0, 0, side, side}, black);
    plat::DeleteObject(white);
    plat::DeleteObject(black);
    StampOpaque(maskDc, colourDc, engine.profileImage, 0, 0, side);
    if (const RgbaImage* overlay = Overlay(engine)) {
        bool native = ScreenDpiX() == 128;
        int32_t offset = native ? 5 : ScaleX(2);
        StampOpaque(maskDc, colourDc, *overlay, offset, offset, At128Dpi(14));
    }
    plat::SelectObject(maskDc, oldMask);
    plat::SelectObject(colourDc, oldColour);
    plat::DeleteDC(maskDc);
    plat::DeleteDC(colourDc);
    plat::IconInfo info;
    info.icon = true;
    info.mask = mask;
    info.color = colour;
    plat::HIcon icon = plat::CreateIconIndirect(info);
    plat::DeleteObject(mask);
    plat::DeleteObject(colour);
    return icon;
}

void ShowNotifyIcon(EngineState& engine) {
    plat::HIcon icon = BuildNotifyIcon(engine);
    plat::NotifyIconData data;
    data.hwnd = engine.mainWindow;
    data.id = kTaskbarIconId;
    data.flags = plat::NIF_MESSAGE | plat::NIF_ICON;
    data.callbackMessage = TLWM_ICONNOTIFY;
    data.icon = icon;
    bool shown = plat::Shell_NotifyIcon(engine.iconPresent ? plat::NIM_MODIFY : plat::NIM_ADD, data);
    if (!shown && engine.iconPresent) shown = plat::Shell_NotifyIcon(plat::NIM_ADD, data);  // the shell lost it
    if (engine.icon) plat::DestroyIcon(engine.icon);
    engine.icon = icon;
    engine.iconPresent = shown;
}

void ShowIconWindow(EngineState& engine) {
    if (!engine.iconWindow) {
        int32_t side = At128Dpi(18);
        plat::Hwnd taskBar = plat::FindWindow(kTaskBarClass, nullptr);
        int32_t y = 0;
        plat::Rect bar;
        if (taskBar && plat::GetWindowRect(taskBar, &bar)) y = ((bar.bottom - bar.top) - side) / 2;
        engine.iconWindow = plat::CreateWindow(kEngineClass, kIconWindowTitle, plat::WS_CHILD | plat::WS_VISIBLE,
                                               engine.model.options.taskbar_icon_pos, y, side, side, taskBar);
        if (!engine.iconWindow) return;
    }
    engine.iconPresent = true;
    plat::InvalidateRect(engine.iconWindow, nullptr, false);
    plat::UpdateWindow(engine.iconWindow);
}

}  // namespace

void LoadDisplayedProfileImage(EngineState& engine) {
    FreeImage(&engine.profileImage);
    int32_t shown = engine.displayedProfile;
    if (!IsProfileIndex(engine, shown)) {
        CopyImage(&engine.profileImage, engine.skin[kSlotTrigger + kEventManual]);
        return;
    }
    const Profile& p = engine.model.profiles.profiles[shown];
    if (p.icon_enabled && LoadImageFile(&engine.profileImage, p.profile_icon.View()) == 0) return;
    if (p.eventType >= 0 && p.eventType <= kEventLocation) CopyImage(&engine.profileImage, engine.skin[kSlotTrigger + p.eventType]);
}

void SetDisplayedProfile(EngineState& engine, int32_t profile) {
    engine.displayedProfile = profile;
    int32_t manual = ReadManualProfile();
    bool manualActive = manual != kNoProfile && manual == ReadRunningProfile();
    if (manualActive != engine.manualActive) {
        engine.manualActive = manualActive;
        RefreshIcon(engine, false);
    }
    if (engine.displayedProfile != engine.lastDisplayedProfile) {
        RefreshIcon(engine, false);
        engine.lastDisplayedProfile = engine.displayedProfile;
        engine.repetitionWanted = ComputeRepetition(engine, engine.displayedProfile);
    }
}

void RefreshIcon(EngineState& engine, bool remove) {
    if (remove) {
        // Taking the icon away never puts one up, whatever the mode.
        if (!engine.iconPresent && !engine.iconWindow && !engine.icon) return;
        if (engine.iconWindow) plat::DestroyWindow(engine.iconWindow);
        engine.iconWindow = {};
        plat::NotifyIconData data;
        data.hwnd = engine.mainWindow;
        data.id = kTaskbarIconId;
        plat::Shell_NotifyIcon(plat::NIM_DELETE, data);
        if (engine.icon) plat::DestroyIcon(engine.icon);
        engine.icon = {};
        engine.iconPresent = false;
        return;
    }
    if (engine.model.options.bar_icon == 0) return;
    LoadDisplayedProfileImage(engine);
    if (engine.model.options.bar_icon == 2) ShowIconWindow(engine);
    else ShowNotifyIcon(engine);
}

void PaintTaskbarIcon(EngineState& engine, plat::Hdc hdc) {
    plat::Rect client;
    plat::GetClientRect(engine.iconWindow, &client);
    int32_t w = client.right - client.left, h = client.bottom - client.top;
    if (w <= 0 || h <= 0) return;
    auto drawScaled = [&](const RgbaImage& image, int32_t x, int32_t y, int32_t width, int32_t height) {
        RgbaImage scaled;
        if (width > 0 && height > 0 &&
            ScaleImage(&scaled, image, static_cast<uint32_t>(width), static_cast<uint32_t>(height)))
            DrawImage(scaled, hdc, x, y);
    };
    drawScaled(engine.skin[kEngineSlotTaskbar], 0, 0, w, h);
    drawScaled(engine.profileImage, 0, 0, w, h);
    // The overlay covers the lower right two thirds, so the profile stays seen.
    if (const RgbaImage* overlay = Overlay(engine)) drawScaled(*overlay, w - w * 2 / 3, h - h * 2 / 3, w * 2 / 3, h * 2 / 3);
}

}  // namespace tlw
