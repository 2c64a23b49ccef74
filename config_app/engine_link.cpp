// The configuration program keeps the engine stopped while the user edits,
// so that the engine never acts on a half-edited configuration, and starts
// it again 45 seconds later or when the program closes.
#include <filesystem>

#include "config_app/config_app.h"
#include "config_app/pages.h"
#include "config_app/wait_cursor.h"
#include "platform/kernel/kernel_handle.h"
#include "platform/kernel/threads.h"
#include "platform/process/process.h"
#include "platform/storage/file.h"
#include "platform/storage/paths.h"
#include "platform/message/message_loop.h"
#include "platform/message/timers.h"
#include "platform/window/window.h"

namespace tlw {
namespace {

// The engine's shortcut that the installation keeps in "\Windows", copied
// into the Startup folder on every close.
constexpr char16_t kEngineShortcut[] = u"\\Windows\\Tallowd.lnk";
constexpr char16_t kStartupShortcutName[] = u"\\Tallowd.lnk";

// Waiting for the stopped engine to end: checks every second, 30 times.
constexpr int kEngineEndChecks = 30;
constexpr uint32_t kEngineEndCheckMs = 1000;
// Waiting for the new engine's window: 6 times 500 ms.
constexpr int kEngineWindowChecks = 6;
constexpr uint32_t kEngineWindowCheckMs = 500;

}  // namespace

plat::Hwnd FindEngineWindow() {
    plat::Hwnd engine = plat::FindWindow(u"Tallowd", nullptr);
    return engine ? engine : plat::FindWindow(nullptr, u"Tallowd");
}

void StopEngine() {
    if (plat::Hwnd engine = FindEngineWindow()) plat::SendNotifyMessage(engine, plat::WM_DESTROY, 0, 0);
}

bool StartEngine(const ConfigAppState& app) {
    plat::ProcessInformation info;
    if (!plat::CreateProcess(app.paths.engineProgram.View(), u"", 0, &info)) return false;
    plat::CloseHandle(info.process);
    if (info.thread.value != info.process.value) plat::CloseHandle(info.thread);
    return true;
}

void OnEngineTimer(ConfigAppState& app) {
    if (!FindEngineWindow()) StartEngine(app);
    plat::KillTimer(app.mainWindow, kEngineTimerId);
    app.engineRestarted = true;
}

void FinishConfigApp(ConfigAppState& app) {
    std::u16string startup = plat::GetSpecialFolderPath(plat::kFolderStartup) + kStartupShortcutName;
    plat::CopyFile(kEngineShortcut, startup, false);
    WaitCursor wait;  // the window is gone; closing may take up to half a minute
    if (!app.engineRestarted) {
        for (int i = 0; i < kEngineEndChecks && plat::FindWindow(u"Tallowd", nullptr); ++i) plat::Sleep(kEngineEndCheckMs);
    }
    if (!FindEngineWindow() && StartEngine(app)) {
        for (int i = 0; i < kEngineWindowChecks && !plat::FindWindow(nullptr, u"Tallowd"); ++i) {
            plat::Sleep(kEngineWindowCheckMs);
        }
    }
}

}  // namespace tlw
