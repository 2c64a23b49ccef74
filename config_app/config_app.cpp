// Start and end of the configuration program, and its main window.
#include "config_app/config_app.h"

#include <algorithm>

#include "base/text.h"
#include "common/config/legacy_config.h"
#include "common/graphics/icon_store.h"
#include "common/graphics/image_loader.h"
#include "common/graphics/screen_scale.h"
#include "common/graphics/skin.h"
#include "config_app/pages.h"
#include "config_app/row_list.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/threads.h"
#include "platform/shell/menu_bar.h"
#include "platform/storage/file.h"
#include "platform/window/compositor.h"
#include "platform/message/message_loop.h"
#include "platform/message/timers.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"

namespace tlw {
namespace {

// Density and width above which the screen counts as wide.
constexpr int32_t kWideDpi = 130;
constexpr int32_t kWidePixels = 400;

// Where the main window opens, before it is fitted to the work area.
constexpr int32_t kMainWindowTop = 50;

// Pause after deleting the other screen's files, before removing the folders.
constexpr uint32_t kRemovePauseMs = 100;

std::u16string Lower(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return out;
}

bool EndsWithFolder(std::u16string_view path, std::u16string_view name) {
    while (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
    if (path.size() < name.size()) return false;
    std::u16string tail = Lower(path.substr(path.size() - name.size()));
    bool boundary = path.size() == name.size() || path[path.size() - name.size() - 1] == u'\\';
    return boundary && tail == Lower(name);
}

// Deletes every file of a folder, then (after the pause) the folder.
void DeleteFolderFiles(const std::u16string& folder) {
    plat::FileFinder finder;
    plat::FindData data;
    if (!finder.First(folder + u"*.*", &data)) return;
    do {
        if (!(data.attributes & plat::kAttributeDirectory)) plat::DeleteFile(folder + data.name);
    } while (finder.Next(&data));
}

// Removes the default skin and the icons of the other screen class: this
// phone never shows them.
void RemoveOtherScreenAssets(const ConfigAppState& app) {
    std::u16string skin = app.paths.skinsFolder.Str() + (app.highResolution ? kDefaultQvgaSkin : kDefaultVgaSkin) + u"\\";
    std::u16string icons = app.paths.iconStoreFolder.Str() + (app.highResolution ? kIconStoreQvga : kIconStoreVga) + u"\\";
    DeleteFolderFiles(skin);
    DeleteFolderFiles(icons);
    plat::Sleep(kRemovePauseMs);
    plat::RemoveDirectory(skin.substr(0, skin.size() - 1));
    plat::RemoveDirectory(icons.substr(0, icons.size() - 1));
}

bool RegisterMainClass() {
    plat::WndClass c;
    c.className = kConfigClass;
    c.proc = MainWindowProc;
    c.style = plat::CS_HREDRAW | plat::CS_VREDRAW;
    c.background = plat::GetStockBrush(plat::kWhiteBrush);
    return plat::RegisterClass(c);
}

}  // namespace

void LoadStartConfiguration(ConfigAppState& app) {
    InitScreenScale(false);
    app.highResolution = ScaleX(1) > 1;
    app.wideScreen = plat::GetScreenDpiX() > kWideDpi && plat::GetScreenSize().cx > kWidePixels;
    app.paths = BuildConfigPaths();
    // A file of the older layout is read as such (the next save writes the
    // current one); an unreadable file leaves the defaults in the model.
    ReadAnyConfigurationAndLanguage(app.model, app.language);
    UpdateEditableTodaySlots(app);
    RememberSavedAddOns(app);
    std::u16string_view skin = app.model.options.skin.View();
    if (skin.empty() || EndsWithFolder(skin, kDefaultQvgaSkin) || EndsWithFolder(skin, kDefaultVgaSkin)) {
        app.model.options.skin = DefaultSkinFolder(app.paths.skinsFolder.View());
    }
}

void FitMainWindow(ConfigAppState& app) {
    plat::ScreenLayout layout = plat::CurrentScreenLayout();
    plat::Rect work = layout.work;
    plat::MoveWindow(app.mainWindow, work.left, work.top, work.right - work.left, work.bottom - work.top, true);
    if (app.rowList) {
        plat::MoveWindow(app.rowList, 0, 0, work.right - work.left, work.bottom - work.top, true);
        SelectRow(app, app.list.selected);  // keeps the selection in view
    }
}

plat::LResult MainWindowProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    ConfigAppState& app = App();
    switch (message) {
    case plat::WM_COMMAND: {
        uint32_t command = static_cast<uint32_t>(wParam & 0xFFFF);
        if (command == kCmdAccept || command == kCmdAcceptAlt) {
            AcceptPage(app);
        } else if (command == kCmdBack || command == kCmdMenuBack) {
            BackPage(app);
        } else if (const PageHandler* page = FindPage(app.page); page && page->command) {
            page->command(app, command);
        }
        return 0;
    }
    case kRowNotifyMessage: {
        const PageHandler* page = FindPage(app.page);
        RowEvent event = UnpackRowEvent(wParam, lParam);
        if (page && page->rowEvent && event.row >= 0 && event.row < static_cast<int32_t>(app.rows.size())) {
            page->rowEvent(app, event);
        }
        return 0;
    }
    case plat::WM_TIMER:
        if (wParam == kEngineTimerId) OnEngineTimer(app);
        return 0;
    case plat::WM_KEYDOWN:
    case plat::WM_CHAR:
        // Keys reaching the main window belong to its list.
        if (app.rowList) plat::SendMessage(app.rowList, message, wParam, lParam);
        return 0;
    case plat::WM_SETTINGCHANGE:
        FitMainWindow(app);
        return 0;
    case plat::WM_CLOSE:
        plat::SHDestroyMenuBar(hwnd);
        plat::DestroyWindow(hwnd);
        return 0;
    case plat::WM_DESTROY:
        if (hwnd == app.mainWindow) {
            plat::KillTimer(hwnd, kEngineTimerId);
            app.rowList = {};
            app.mainWindow = {};
            plat::PostQuitMessage(0);
        }
        return 0;
    default:
        return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

int RunConfigApp() {
    // One instance: a second start brings the first to the front.
    if (plat::Hwnd running = plat::FindWindow(kConfigClass, kConfigTitle)) {
        plat::SetForegroundWindow(running);
        return 0;
    }
    ConfigAppState& app = App();
    if (!RegisterMainClass()) return 1;
    StartImaging();  // profile icons and the chooser's icon listing are PNG images
    // The window opens at y = 50, as the program always placed it; the
    // input panel's work area then fits it below the task bar, as every
    // later settings change does.
    plat::ScreenLayout layout = plat::CurrentScreenLayout();
    int32_t bottom = std::max(layout.work.bottom, kMainWindowTop + 1);
    app.mainWindow = plat::CreateWindow(kConfigClass, kConfigTitle, plat::WS_VISIBLE, layout.work.left, kMainWindowTop,
                                        layout.work.right - layout.work.left, bottom - kMainWindowTop, {});
    if (!app.mainWindow) return 1;
    plat::SHCreateMenuBar(app.mainWindow, {});
    FitMainWindow(app);

    StopEngine();
    plat::SetTimer(app.mainWindow, kEngineTimerId, kEngineTimerMs);
    app.engineRestarted = false;

    LoadStartConfiguration(app);
    if (!CreateRowList(app)) return 1;
    RemoveOtherScreenAssets(app);
    plat::SetFocus(app.rowList);
    ShowPage(app, kPageMainMenu);
    plat::RunMessageLoop();

    FinishConfigApp(app);
    StopImaging();
    return 0;
}

ConfigAppState& App() {
    static std::unique_ptr<ConfigAppState> app = std::make_unique<ConfigAppState>();
    return *app;
}

ConfigAppState& ResetApp() {
    ConfigAppState& app = App();
    app.~ConfigAppState();
    new (&app) ConfigAppState();
    return app;
}

std::u16string Text(const ConfigAppState& app, int32_t id) {
    if (id <= 0 || id >= kLanguageSlots) return {};
    return app.language.text[id].Str();
}

}  // namespace tlw
