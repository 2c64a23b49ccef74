// Engine functions whose full behaviour comes with later parts of the
// engine: the taskbar icon and popup menu. Until then each keeps the
// engine's state consistent and does nothing on the device. The power snapshots and call monitoring declared
// here live in engine/power_trigger.cpp and engine/call_monitoring.cpp.
#pragma once

#include <cstdint>

#include "engine/engine_state.h"
#include "platform/gdi/gdi_types.h"
#include "platform/window/messages.h"

namespace tlw {

// Taskbar icon and popup menu. The menus return the chosen command (0 for none).
int32_t ShowPlainMenu(EngineState& engine, plat::Hwnd window);
int32_t ShowSkinnedMenu(EngineState& engine);
void RunMenuCommand(EngineState& engine, int32_t command);
plat::LResult HandleMenuItemMessage(EngineState& engine, uint32_t message, plat::WParam wParam, plat::LParam lParam);
void PaintTaskbarIcon(EngineState& engine, plat::Hdc hdc);
// Creates or updates the icon, or with remove takes it away.
void RefreshIcon(EngineState& engine, bool remove);

// Power, accessories and calls (engine/power_trigger.cpp,
// engine/call_monitoring.cpp).
void TakeCradleSnapshot(EngineState& engine);
void TakeAccessorySnapshot(EngineState& engine);
bool OpenCallMonitoring(EngineState& engine);
void CloseCallMonitoring(EngineState& engine);

}  // namespace tlw
