// The parts of the Today plug-in and how they call each other: the library
// entry, the window procedure, the initialisation and shutdown, the
// refresh, the layout glue, the painting, the CPU sampler, the power
// thread, and the taps, keys, menu, dialog and slider.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gdi/gdi_types.h"
#include "platform/hardware/library.h"
#include "platform/shell/today_item.h"
#include "platform/message/messages.h"
#include "today/today_state.h"

namespace today {

// Library attach and detach (the module's load and unload).
void LibraryAttach(plat::HModule instance);
void LibraryDetach();
// The library's Today entry (ordinal 240): creates the item window.
plat::Hwnd InitializeCustomItem(plat::TodayListItem* item, plat::Hwnd parent);
// The resource module name of the library.
inline constexpr char16_t kResourceModule[] = u"TlwToday";

// The item's window procedure.
plat::LResult TodayWindowProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam);

// WM_CREATE's initialisation sequence and WM_DESTROY's shutdown.
void InitialisePlugin(plat::Hwnd hwnd);
void ShutdownPlugin(plat::Hwnd hwnd);
// Reads the configuration file and the language texts.
void LoadConfiguration();
// Loads the skin images into the plug-in's slots.
void LoadSkin();
// Recomputes the layout from the parent's width and creates the special
// add-ons (CPU timer, slider).
void RecomputeLayout();
// Writes a line of the plug-in's log when its LogMode bit is set.
void LogToday(std::u16string_view line);

// The Today screen's periodic question; TRUE when it must re-query the height.
bool RefreshPlugin(plat::TodayListItem* item);
// The remaining manual time-out as "HH:MM" for the stored end and the local
// time, both encoded as ManualTimeOut is (automation date x 10000). An end
// already reached shows "00:00".
std::u16string TimeOutText(uint32_t storedEnd, uint32_t now);
// The current battery state into the plug-in's fields.
void ReadBatteryState();
// The counters and account names into the plug-in's fields.
void ReadCounterState();

// Paints the whole item (or, for a CPU-only repaint, the CPU meter) into hdc,
// which covers the item's client area.
void PaintItem(plat::Hdc hdc);
// WM_PAINT: double-buffered paint onto the window.
void PaintWindow(plat::Hwnd hwnd);

// CPU sampling.
void StartCpuSampling();
void TakeCpuSample();
void OnCpuTimer();
// The load from idle-time and tick deltas (ms), 0 ... 100.
int32_t CpuLoadFromIdle(uint32_t idleDelta, uint32_t tickDelta);
// The load from summed thread times (100 ns units) and the tick delta (ms).
int32_t CpuLoadFromThreadTimes(uint64_t threadDelta, uint32_t tickDelta);

// Power-notification thread.
void StartPowerThread();
void StopPowerThread();

// Commands to the engine (window message 2261, or a start of the engine).
void SendEngineCommand(int32_t code);

// Taps, keys and the action key.
void OnTap(int32_t x, int32_t y);
int HitTest(int32_t x, int32_t y);
bool OnNavigation(uint32_t key);
void OnAction();

// What the profile icon and the counters open.
void StartConfigurationProgram();
void OpenMessages();
void OpenEmail();
void OpenCallLog();
void CallVoiceMail();
// The wait cursor while the engine takes over after unlocking.
void ShowWaitCursor(bool on);

// The profile menu and its owner-drawn entries.
void ShowProfileMenu();
bool MeasureMenuItem(plat::LParam lParam);
bool DrawMenuItem(plat::LParam lParam);

// The time-out dialog.
void ShowTimeOutDialog();

// The brightness slider.
void CreateSlider();
void DestroySlider();
void OnSliderScroll(plat::WParam wParam);
void StoreBrightness(int32_t level);
void SetSliderPosition(int32_t level);
// Draws the slider again after its adjust mode changed.
void RedrawSlider();

}  // namespace today
