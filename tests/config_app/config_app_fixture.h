// A booted simulated phone with Tlwconfig on it, driven through tlwsim with
// taps, keys and typed text, for process tests of the configuration
// program.
//
// Input reaches the program through its message queue in the order it was
// given, so a test only waits where the next input depends on what the
// program shows: the page (its soft keys), the selected row (read from a
// screenshot) or the soft-key menu's entries.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/gdi_types.h"
#include "platform/shell/menu_bar.h"
#include "platform/message/messages.h"
#include "support/background_program.h"
#include "support/run_program.h"
#include "support/sim_device.h"

class ConfigAppProcessTest : public ::testing::Test {
protected:
    // Makes and boots a device (the engine starts from the Startup folder).
    void Boot(const std::vector<std::string>& initArgs = {});
    void SetUp() override { Boot(); }
    void TearDown() override;

    // Starts Tlwconfig and waits until its main menu shows and the engine has ended.
    void StartConfig();

    plat::Hwnd ConfigWindow();
    plat::Hwnd EngineWindow();
    int CountWindows(const char16_t* className);

    // Input.
    void TapRow(int row, int xUnits = 60);
    void Key(const std::string& name);
    void Type(const std::string& text);
    // Chooses a command of the right soft key's menu with the keys (the menu
    // must show the entry and it must be choosable).
    void Menu(uint32_t command);

    // Waits until the program has shown a message box with the text, and
    // answers it with its OK button.
    void AnswerMessageBox(const std::string& text);
    // Another top-level window of the program than its main window (a
    // message box), none when there is none.
    plat::Hwnd ProgramPopup();

    // Waits for the program's soft keys.
    bool WaitSoftKeys(const std::string& left, const std::string& right);
    // Waits until the row list shows row as the selected one.
    bool WaitSelected(int row);
    // The menu bar of the main window.
    plat::MenuBarInfo SoftKeys();
    // The entry of a command in the right soft key's menu (null when absent).
    const plat::MenuBarEntry* MenuEntry(const plat::MenuBarInfo& keys, uint32_t command);

    std::string ConfigRead();
    std::string Journal();
    std::string RegistryValue(const char* value);
    // The Today plug-in on the booted phone takes Flags2 = 1 (the program's
    // "saved" signal) and clears it at its next refresh, at any moment. So a
    // test marks Flags2 with a value of its own before the save, and after it
    // expects 1 (not taken yet) or 0 (taken), both written only after the mark.
    void MarkFlags2();
    bool Flags2Raised();
    // Waits until `tlwsim config read` prints text.
    bool WaitConfigContains(const std::string& text);

    // Screen geometry of the rows.
    int Scale();
    plat::Rect MainRect();

    std::unique_ptr<SimDevice> device_;
    std::unique_ptr<BackgroundProgram> host_;
    std::string dir_;
};

// The values of one section of `tlwsim config read` output, "key=value" lines in order.
std::vector<std::string> ConfigSection(const std::string& config, const std::string& section);
