// The Today item's full paint at VGA (480 x 640, 192 dpi) with every add-on
// kind shown: the off-screen bitmap, the Today screen's background, the
// profile area, switches, counters and the three meters, and the copy to the
// window, as WM_PAINT does it at each refresh that changed something.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>

#include "common/config/config_file.h"
#include "common/config/defaults.h"
#include "common/config/registry_state.h"
#include "common/graphics/screen_scale.h"
#include "platform/gdi/gdi.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "sim/device_setup.h"
#include "today/today_layout.h"
#include "today/today_plugin.h"

namespace {

using namespace today;

plat::LResult ScreenProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    if (message == plat::TODAYM_GETCOLOR)
        return wParam == plat::TODAYCOLOR_HIGHLIGHT ? plat::Rgb(10, 80, 180) : plat::Rgb(0, 0, 0);
    if (message == plat::TODAYM_DRAWWATERMARK) {
        auto* info = reinterpret_cast<const plat::TodayDrawWatermarkInfo*>(lParam);
        plat::FillRect(info->hdc, info->rc, plat::GetStockBrush(plat::kWhiteBrush));
        return 1;
    }
    return plat::DefWindowProc(hwnd, message, wParam, lParam);
}

void BM_TodayFullPaintVga(benchmark::State& state) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tlw-bench-today-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::filesystem::path base = pattern;
    sim::DeviceOptions options;
    options.screen = "vga";
    std::string error;
    if (!sim::CreateDevice((base / "phone").string(), options, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    tlw::ResetScreenScale();

    // Every add-on kind once, a running profile with a manual time-out.
    tlw::ConfigModel model;
    tlw::LanguageTable language;
    tlw::ApplyDefaults(model, language, false);
    const int32_t types[] = {AddonBluetooth, AddonWifi,      AddonPhoneRadio, AddonPushMail, AddonDataConnection,
                             AddonMessages,  AddonEmail,     AddonMissedCalls, AddonLineBreak, AddonVoiceMail,
                             AddonWifiMeter, AddonBattery,   AddonCpuMeter,   AddonBrightness};
    for (tlw::TodayItem& item : model.todayItems) item = {};
    for (size_t i = 0; i < std::size(types); ++i) {
        model.todayItems[i].enabled = true;
        model.todayItems[i].type = types[i];
        model.todayItems[i].width = types[i] >= AddonWifiMeter;
    }
    tlw::WriteConfiguration(false, {}, model, language);
    tlw::WriteRunningProfile(2, model.profiles.profiles[2].name.View(), u"", model.profiles.profiles[2].eventType);
    tlw::WriteManualProfile(2);

    plat::WndClass wc;
    wc.className = u"BenchTodayScreen";
    wc.proc = &ScreenProc;
    plat::RegisterClass(wc);
    plat::Hwnd screen = plat::CreateWindow(u"BenchTodayScreen", u"Today", plat::WS_VISIBLE, 0, 0, 480, 640, {});
    LibraryAttach(0);
    plat::TodayListItem record;
    plat::Hwnd item = InitializeCustomItem(&record, screen);
    plat::SendMessage(item, plat::WM_TODAYCUSTOM_QUERYREFRESHCACHE, 0, reinterpret_cast<plat::LParam>(&record));
    plat::MoveWindow(item, 0, 0, 480, record.cyp, true);
    plat::PumpMessagesUntilIdle();
    TodayState& s = Plugin();
    for (int i = 0; i < kCpuSampleCount; ++i) s.cpuSamples[i] = (i * 37) % 101;
    s.wifiConnected = true;
    s.connectedAccessPoint = 0;
    s.accessPoints[0].signal = -65;

    for (auto _ : state) {
        plat::InvalidateRect(item, nullptr, false);
        plat::UpdateWindow(item);
    }
    state.counters["rows"] = s.layout.rows;

    plat::DestroyWindow(item);
    plat::DestroyWindow(screen);
    plat::PumpMessagesUntilIdle();
    LibraryDetach();
    std::error_code ec;
    std::filesystem::remove_all(base, ec);
}
BENCHMARK(BM_TodayFullPaintVga)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
