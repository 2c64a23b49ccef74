// The configuration program: start, main window and end.
#pragma once

#include <cstdint>

#include "config_app/config_app_state.h"
#include "platform/message/messages.h"

namespace tlw {

// The main window's class and title.
inline constexpr char16_t kConfigClass[] = u"Tlwconfig";
inline constexpr char16_t kConfigTitle[] = u"Tlw Options";
// The product name and version the information page shows.
inline constexpr char16_t kProductVersion[] = u"Tallowin 2.2.0";

// Runs the program; returns the exit code.
int RunConfigApp();

// Start steps shared with in-process tests: the screen class, the
// configuration and language (with the default skin of this screen), the
// editable slot count and the saved add-on copies.
void LoadStartConfiguration(ConfigAppState& app);

// The main window's procedure.
plat::LResult MainWindowProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam);
// Fits the main window and its row list to the visible desktop below the taskbar.
void FitMainWindow(ConfigAppState& app);

// The engine: its window (by class "Tallowd", else by title), the stop
// request (WM_DESTROY, not waited for) and its start.
plat::Hwnd FindEngineWindow();
void StopEngine();
bool StartEngine(const ConfigAppState& app);
// The 45-second timer: starts the engine when it does not run, kills the
// timer and remembers that the engine was restarted.
void OnEngineTimer(ConfigAppState& app);
// The end: the Startup shortcut, waiting for the old engine to close
// (unless it was restarted) and starting it again.
void FinishConfigApp(ConfigAppState& app);

}  // namespace tlw
