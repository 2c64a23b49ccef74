// An in-process Today item on a complete simulated phone (QVGA or VGA): a
// stand-in Today screen window answers the item's colour and background
// requests, a stand-in engine window records the commands the item sends,
// and the item is made through the library's entry as the Today screen
// makes it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/config/config_model.h"
#include "common/config/language_table.h"
#include "platform/shell/today_item.h"
#include "platform/window/compositor.h"

namespace todaytest {

// One add-on slot for a configuration.
struct Addon {
    int32_t type;       // the add-on type
    bool tall = false;  // two rows high
    bool wide = false;  // two columns wide
};

class TodayItemTest : public ::testing::Test {
protected:
    // Makes the phone ("qvga" or "vga") with its clock frozen at
    // 2010-01-04 10:42:00, and the two stand-in windows.
    void MakePhone(const std::string& screen);
    void TearDown() override;

    // Writes the configuration: the default profiles and these add-ons.
    void WriteConfig(const std::vector<Addon>& addons, bool thumbMenu = false);
    // Publishes a running profile as the engine does (700: none).
    void SetRunning(int32_t index, bool manual = false);
    // Makes the item through the library's entry and asks it once for its
    // height, as the Today screen does, then gives it that height.
    void MakeItem();
    // The Today screen's periodic question; the item's answer.
    bool Refresh();
    // Composes the screen and cuts out the item's window.
    plat::SurfaceImage Picture();
    // Compares a picture with the reference PNG in the test data folder
    // (TLW_UPDATE_PICTURES=1 writes it instead). Empty when they match.
    std::string CompareWithReference(const plat::SurfaceImage& picture, const std::string& name);
    // The commands the stand-in engine received (wParam of message 2261;
    // 2268 for the engine menu message).
    static std::vector<int64_t>& Commands();

    std::filesystem::path base_;     // temporary folder holding the phone
    plat::Hwnd screen_;              // the stand-in Today screen
    plat::Hwnd engine_;              // the stand-in engine window
    plat::Hwnd item_;                // the item window
    plat::TodayListItem record_;     // the Today screen's record of the item
    tlw::ConfigModel model_;         // the configuration written
    tlw::LanguageTable language_;    // its language texts
};

}  // namespace todaytest
