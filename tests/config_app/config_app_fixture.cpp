#include "config_app_fixture.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "base/text.h"
#include "common/graphics/image_loader.h"
#include "common/graphics/rgba_image.h"
#include "platform/storage/device.h"
#include "platform/window/window.h"
#include "support/message_box_answer.h"

namespace {

// The row list's geometry in 96-dpi units (config_app/row_list.cpp).
constexpr int kTitleUnits = 24;
constexpr int kRowUnits = 26;
// The selected row's colour.
constexpr uint8_t kSelectedRgb[3] = {200, 220, 250};

}  // namespace

void ConfigAppProcessTest::Boot(const std::vector<std::string>& initArgs) {
    std::vector<std::string> args = {"--time", "2010-01-04T10:00:00", "--frozen"};
    args.insert(args.end(), initArgs.begin(), initArgs.end());
    device_ = std::make_unique<SimDevice>(args);
    ASSERT_TRUE(device_->Ready());
    dir_ = device_->Dir();
    ASSERT_EQ(Tlwsim({"reg", dir_, "set", "HKCU\\Software\\Korvel\\Tallowin", "LogMode", "dword:5"}).exitCode, 0);
    ASSERT_TRUE(plat::SetDevice(dir_));
    tlw::StartImaging();  // the screenshots are read as PNG images
    host_ = std::make_unique<BackgroundProgram>("tlwsim", std::vector<std::string>{"boot", dir_});
    ASSERT_TRUE(host_->Running());
    ASSERT_TRUE(WaitUntil([this] { return bool(EngineWindow()); })) << "the engine starts with the phone";
}

void ConfigAppProcessTest::TearDown() {
    tlw::StopImaging();
    host_.reset();
    device_.reset();
}

void ConfigAppProcessTest::StartConfig() {
    ASSERT_EQ(TlwsimCommand("run", dir_, {"Tlwconfig"}).exitCode, 0);
    ASSERT_TRUE(WaitUntil([this] { return bool(ConfigWindow()); }));
    ASSERT_TRUE(WaitSoftKeys("Exit", "Menu"));
    ASSERT_TRUE(WaitUntil([this] { return !EngineWindow(); })) << "the program stops the engine";
}

plat::Hwnd ConfigAppProcessTest::ConfigWindow() { return plat::FindWindow(u"Tlwconfig", u"Tlw Options"); }
plat::Hwnd ConfigAppProcessTest::EngineWindow() { return plat::FindWindow(u"Tallowd", nullptr); }

int ConfigAppProcessTest::CountWindows(const char16_t* className) {
    int n = 0;
    for (plat::Hwnd h : plat::ListTopLevelWindows()) n += plat::GetClassName(h) == className;
    return n;
}

plat::Rect ConfigAppProcessTest::MainRect() {
    plat::Rect r;
    plat::GetWindowRect(ConfigWindow(), &r);
    return r;
}

int ConfigAppProcessTest::Scale() { return std::max(1, (MainRect().right - MainRect().left) / 240); }

void ConfigAppProcessTest::TapRow(int row, int xUnits) {
    plat::Rect r = MainRect();
    int s = Scale();
    int y = r.top + s * (kTitleUnits + kRowUnits * row + kRowUnits / 2);
    ASSERT_EQ(TlwsimCommand("tap", dir_, {std::to_string(r.left + s * xUnits), std::to_string(y)}).exitCode, 0);
}

void ConfigAppProcessTest::Key(const std::string& name) { ASSERT_EQ(TlwsimCommand("key", dir_, {name}).exitCode, 0); }

void ConfigAppProcessTest::Type(const std::string& text) {
    ASSERT_EQ(TlwsimCommand("type", dir_, {text}).exitCode, 0);
}

plat::MenuBarInfo ConfigAppProcessTest::SoftKeys() {
    plat::MenuBarInfo keys;
    plat::ReadMenuBar(ConfigWindow(), &keys);
    return keys;
}

const plat::MenuBarEntry* ConfigAppProcessTest::MenuEntry(const plat::MenuBarInfo& keys, uint32_t command) {
    for (const plat::MenuBarEntry& e : keys.right.popup) {
        if (!e.separator && e.command == command) return &e;
    }
    return nullptr;
}

void ConfigAppProcessTest::Menu(uint32_t command) {
    plat::MenuBarInfo keys = SoftKeys();
    int downs = 0;
    bool found = false;
    for (const plat::MenuBarEntry& e : keys.right.popup) {
        if (e.separator || e.grayed) continue;
        ++downs;
        if (e.command == command) {
            found = true;
            break;
        }
    }
    ASSERT_TRUE(found) << "command " << command << " is not choosable in the menu";
    // The keys reach the popup only while it is open, and typing after it
    // reaches the program only once it closed.
    Key("softkey2");
    ASSERT_TRUE(WaitUntil([] { return bool(plat::FindWindow(u"TlwMenuPopup", nullptr)); }));
    for (int i = 0; i < downs; ++i) Key("down");
    Key("action");
    ASSERT_TRUE(WaitUntil([] { return !plat::FindWindow(u"TlwMenuPopup", nullptr); }));
}

bool ConfigAppProcessTest::WaitSoftKeys(const std::string& left, const std::string& right) {
    return WaitUntil([&] {
        plat::MenuBarInfo keys = SoftKeys();
        return tlw::Utf16ToUtf8(keys.left.label) == left && tlw::Utf16ToUtf8(keys.right.label) == right;
    });
}

bool ConfigAppProcessTest::WaitSelected(int row) {
    // The screenshot goes into the device, where the image loader reads it.
    std::filesystem::path shot = std::filesystem::path(dir_) / "selected.png";
    return WaitUntil([&] {
        if (TlwsimCommand("shot", dir_, {shot.string()}, ErrorStream::kCaptured).exitCode != 0) return false;
        tlw::RgbaImage image;
        if (tlw::LoadImageFile(&image, u"\\selected.png") != tlw::kImageOk || !tlw::ImageHasPixels(image)) return false;
        plat::Rect r = MainRect();
        int s = Scale();
        int x = r.left + 2 * s;
        for (int i = 0; i < 12; ++i) {
            int y = r.top + s * (kTitleUnits + kRowUnits * i + kRowUnits / 2);
            if (y < 0 || y >= static_cast<int>(image.height)) break;
            size_t p = static_cast<size_t>(y) * image.width + x;
            bool selected = image.red[p] == kSelectedRgb[0] && image.green[p] == kSelectedRgb[1] &&
                            image.blue[p] == kSelectedRgb[2];
            if (selected != (i == row)) return false;
        }
        return true;
    }, 30000);
}

plat::Hwnd ConfigAppProcessTest::ProgramPopup() {
    plat::Hwnd main = ConfigWindow();
    uint32_t pid = 0;
    plat::GetWindowThreadProcessId(main, &pid);
    for (plat::Hwnd h : plat::ListTopLevelWindows()) {
        uint32_t owner = 0;
        plat::GetWindowThreadProcessId(h, &owner);
        if (h != main && owner == pid && plat::IsWindowVisible(h)) return h;
    }
    return {};
}

void ConfigAppProcessTest::AnswerMessageBox(const std::string& text) {
    ASSERT_TRUE(WaitUntil([&] { return Journal().find(text) != std::string::npos; })) << "no message box \"" << text << "\"";
    std::string error;
    ASSERT_TRUE(::AnswerMessageBox(dir_, "OK", &error)) << error;
}

std::string ConfigAppProcessTest::ConfigRead() { return TlwsimCommand("config", dir_, {"read"}).output; }
std::string ConfigAppProcessTest::Journal() { return TlwsimCommand("journal", dir_).output; }
std::string ConfigAppProcessTest::RegistryValue(const char* value) {
    std::string out = Tlwsim({"reg", dir_, "get", "HKCU\\Software\\Korvel\\Tallowin", value}, ErrorStream::kCaptured).output;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

void ConfigAppProcessTest::MarkFlags2() {
    ASSERT_EQ(Tlwsim({"reg", dir_, "set", "HKCU\\Software\\Korvel\\Tallowin", "Flags2", "dword:2"}).exitCode, 0);
}

bool ConfigAppProcessTest::Flags2Raised() {
    std::string value = RegistryValue("Flags2");
    return value == "1" || value == "0";
}

bool ConfigAppProcessTest::WaitConfigContains(const std::string& text) {
    return WaitUntil([&] { return ConfigRead().find(text) != std::string::npos; });
}

std::vector<std::string> ConfigSection(const std::string& config, const std::string& section) {
    std::vector<std::string> lines;
    std::istringstream in(config);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inside = line == "[" + section + "]";
            continue;
        }
        if (inside && !line.empty() && line[0] != ';') lines.push_back(line);
    }
    return lines;
}
