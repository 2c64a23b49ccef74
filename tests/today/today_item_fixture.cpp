#include "today_item_fixture.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>

#include "common/config/config_file.h"
#include "common/config/defaults.h"
#include "common/config/registry_state.h"
#include "common/graphics/image_loader.h"
#include "common/graphics/screen_scale.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/png_save.h"
#include "platform/kernel/clock.h"
#include "platform/message/message_loop.h"
#include "platform/window/system_info.h"
#include "platform/window/window.h"
#include "sim/device_setup.h"
#include "today/today_plugin.h"

namespace todaytest {
namespace {

constexpr char16_t kScreenClass[] = u"TestTodayScreen";
constexpr char16_t kEngineClass[] = u"Tallowd";

std::vector<int64_t>& TodayItemTest_Commands() {
    static std::vector<int64_t> commands;
    return commands;
}

plat::LResult ScreenProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    switch (message) {
    case plat::TODAYM_GETCOLOR:
        if (wParam == plat::TODAYCOLOR_HIGHLIGHT) return plat::Rgb(10, 80, 180);
        if (wParam == plat::TODAYCOLOR_HIGHLIGHTEDTEXT) return plat::Rgb(255, 255, 255);
        return plat::Rgb(0, 0, 0);
    case plat::TODAYM_DRAWWATERMARK: {
        auto* info = reinterpret_cast<const plat::TodayDrawWatermarkInfo*>(lParam);
        plat::HBrush wash = plat::CreateSolidBrush(plat::Rgb(236, 242, 252));
        plat::FillRect(info->hdc, info->rc, wash);
        plat::DeleteObject(wash);
        return 1;
    }
    case plat::WM_PAINT: {
        plat::PaintStruct ps;
        plat::Hdc hdc = plat::BeginPaint(hwnd, &ps);
        plat::Rect client;
        plat::GetClientRect(hwnd, &client);
        plat::FillRect(hdc, client, plat::GetStockBrush(plat::kWhiteBrush));
        plat::EndPaint(hwnd, &ps);
        return 0;
    }
    default: return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

plat::LResult EngineProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    if (message == 2261) TodayItemTest_Commands().push_back(static_cast<int64_t>(wParam));
    if (message == 2268) TodayItemTest_Commands().push_back(2268);
    return plat::DefWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace

std::vector<int64_t>& TodayItemTest::Commands() { return TodayItemTest_Commands(); }

void TodayItemTest::MakePhone(const std::string& screen) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tlw-today-XXXXXX").string();
    ASSERT_TRUE(mkdtemp(pattern.data()));
    base_ = pattern;
    sim::DeviceOptions options;
    options.screen = screen;
    ASSERT_TRUE(plat::ParseDeviceTime("2010-01-04T10:42:00", &options.time));
    options.timeGiven = true;
    options.frozen = true;
    std::string error;
    ASSERT_TRUE(sim::CreateDevice((base_ / "phone").string(), options, &error)) << error;
    tlw::ResetScreenScale();
    Commands().clear();

    plat::WndClass screenClass;
    screenClass.className = kScreenClass;
    screenClass.proc = &ScreenProc;
    plat::RegisterClass(screenClass);
    plat::WndClass engineClass;
    engineClass.className = kEngineClass;
    engineClass.proc = &EngineProc;
    plat::RegisterClass(engineClass);
    plat::Size size = plat::GetScreenSize();
    screen_ = plat::CreateWindow(kScreenClass, u"Today", plat::WS_VISIBLE, 0, 0, size.cx, size.cy, {});
    ASSERT_TRUE(screen_);
    engine_ = plat::CreateWindow(kEngineClass, kEngineClass, 0, 0, 0, 1, 1, {});
    ASSERT_TRUE(engine_);
    today::LibraryAttach(0);
}

void TodayItemTest::TearDown() {
    if (item_ && plat::IsWindow(item_)) plat::DestroyWindow(item_);
    if (engine_) plat::DestroyWindow(engine_);
    if (screen_) plat::DestroyWindow(screen_);
    plat::PumpMessagesUntilIdle();
    today::LibraryDetach();
    plat::UnregisterClass(kScreenClass);
    plat::UnregisterClass(kEngineClass);
    tlw::ResetScreenScale();
    std::error_code ec;
    if (!base_.empty()) std::filesystem::remove_all(base_, ec);
}

void TodayItemTest::WriteConfig(const std::vector<Addon>& addons, bool thumbMenu) {
    model_ = {};
    tlw::ApplyDefaults(model_, language_, false);
    for (tlw::TodayItem& item : model_.todayItems) item = {};
    for (size_t i = 0; i < addons.size() && i < tlw::kTodayItemCount; ++i) {
        model_.todayItems[i].enabled = true;
        model_.todayItems[i].type = addons[i].type;
        model_.todayItems[i].height = addons[i].tall;
        model_.todayItems[i].width = addons[i].wide;
    }
    model_.options.thumb_menu = thumbMenu;
    ASSERT_TRUE(tlw::WriteConfiguration(false, {}, model_, language_));
}

void TodayItemTest::SetRunning(int32_t index, bool manual) {
    const tlw::Profile* p = index >= 0 && index < model_.profiles.count ? &model_.profiles.profiles[index] : nullptr;
    tlw::WriteRunningProfile(index, p ? p->name.View() : u"---", p ? p->profile_icon.View() : u"",
                             p ? p->eventType : 0);
    tlw::WriteManualProfile(manual ? index : tlw::kNoProfile);
}

void TodayItemTest::MakeItem() {
    record_ = {};
    item_ = today::InitializeCustomItem(&record_, screen_);
    ASSERT_TRUE(item_);
    record_.hwndCustom = item_;
    EXPECT_TRUE(Refresh()) << "the first refresh reports the height";
    plat::Size size = plat::GetScreenSize();
    plat::MoveWindow(item_, 0, 0, size.cx, record_.cyp, true);
    plat::PumpMessagesUntilIdle();
}

bool TodayItemTest::Refresh() {
    bool answer = plat::SendMessage(item_, plat::WM_TODAYCUSTOM_QUERYREFRESHCACHE, 0,
                                    reinterpret_cast<plat::LParam>(&record_)) != 0;
    plat::PumpMessagesUntilIdle();
    return answer;
}

plat::SurfaceImage TodayItemTest::Picture() {
    plat::PumpMessagesUntilIdle();
    plat::SurfaceImage screen;
    plat::ComposeScreen(&screen);
    plat::Rect r;
    plat::GetWindowRect(item_, &r);
    plat::SurfaceImage cut;
    cut.width = r.right - r.left;
    cut.height = r.bottom - r.top;
    cut.pixels.resize(static_cast<size_t>(cut.width) * cut.height);
    for (int32_t y = 0; y < cut.height; ++y)
        for (int32_t x = 0; x < cut.width; ++x)
            cut.pixels[static_cast<size_t>(y) * cut.width + x] =
                screen.pixels[static_cast<size_t>(y + r.top) * screen.width + x + r.left];
    return cut;
}

std::string TodayItemTest::CompareWithReference(const plat::SurfaceImage& picture, const std::string& name) {
    std::filesystem::path reference = std::filesystem::path(TLW_TEST_DATA) / (name + ".png");
    // TLW_UPDATE_PICTURES=1 rewrites the references, as the other picture
    // tests do (the older TLW_UPDATE_REFERENCES=1 still works).
    const char* update = std::getenv("TLW_UPDATE_PICTURES");
    if (!update) update = std::getenv("TLW_UPDATE_REFERENCES");
    if (update && *update == '1') {
        if (!plat::SaveRgbPng(picture.width, picture.height, picture.pixels.data(), reference))
            return "cannot write " + reference.string();
        return {};
    }
    std::ifstream in(reference, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    tlw::RgbaImage expected;
    if (bytes.empty() || tlw::LoadPngFromMemory(&expected, bytes) != tlw::kImageOk)
        return "no reference picture " + reference.string();
    // Keep what was drawn beside the reference for whoever looks at a failure.
    std::filesystem::path actual = base_ / (name + ".actual.png");
    if (expected.width != static_cast<uint32_t>(picture.width) ||
        expected.height != static_cast<uint32_t>(picture.height)) {
        plat::SaveRgbPng(picture.width, picture.height, picture.pixels.data(), actual);
        return "size " + std::to_string(picture.width) + "x" + std::to_string(picture.height) + ", reference " +
               std::to_string(expected.width) + "x" + std::to_string(expected.height);
    }
    int differing = 0;
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        uint32_t p = picture.pixels[i];
        if (((p >> 16) & 0xFF) != expected.red[i] || ((p >> 8) & 0xFF) != expected.green[i] ||
            (p & 0xFF) != expected.blue[i])
            ++differing;
    }
    if (differing == 0) return {};
    std::filesystem::path kept = std::filesystem::temp_directory_path() / (name + ".actual.png");
    plat::SaveRgbPng(picture.width, picture.height, picture.pixels.data(), kept);
    return std::to_string(differing) + " pixels differ from " + reference.string() + " (drawn: " + kept.string() + ")";
}

}  // namespace todaytest
