// Process test of the controls on a booted phone: a program's dialog is
// driven only from the console, as a user would drive it. A tap on an
// edit and `tlwsim type` fill that edit (a masked one shows stars in
// `tlwsim windows`), `tlwsim key` toggles the check box and confirms, and
// the program ends with what was entered.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/background_program.h"
#include "support/run_program.h"
#include "support/sim_device.h"

namespace {

// One line of `tlwsim windows`.
struct Listed {
    std::string className, title;
    int left = 0, top = 0, right = 0, bottom = 0;
    bool focus = false;
};

std::vector<Listed> Windows(const SimDevice& device) {
    std::vector<Listed> out;
    std::istringstream lines(TlwsimCommand("windows", device.Dir()).output);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::istringstream parts(line);
        std::string field;
        while (std::getline(parts, field, '\t')) fields.push_back(field);
        if (fields.size() < 7) continue;
        Listed w;
        w.className = fields[1];
        w.title = fields[2];
        std::sscanf(fields[4].c_str(), "%d,%d,%d,%d", &w.left, &w.top, &w.right, &w.bottom);
        w.focus = fields[6] == "focus";
        out.push_back(w);
    }
    return out;
}

// The n-th window of a class (top to bottom of the listing, which puts
// later siblings first).
bool Find(const std::vector<Listed>& all, const std::string& className, const std::string& title, Listed* out) {
    for (const Listed& w : all)
        if (w.className == className && (title.empty() || w.title == title)) {
            *out = w;
            return true;
        }
    return false;
}

// Waits until the window of that class whose top edge is `top` has the focus.
bool WaitForFocus(const SimDevice& device, const std::string& className, int top) {
    return WaitUntil([&] {
        for (const Listed& w : Windows(device))
            if (w.className == className && w.top == top) return w.focus;
        return false;
    }, 30000);
}

void TapMiddle(const SimDevice& device, const Listed& w) {
    ProgramResult r = TlwsimCommand("tap", device.Dir(),
                                    {std::to_string((w.left + w.right) / 2), std::to_string((w.top + w.bottom) / 2)});
    ASSERT_EQ(r.exitCode, 0);
}

TEST(ControlsProcessTest, ConsoleFillsAndConfirmsAProgramsDialog) {
    SimDevice device({"--time", "2010-01-04T10:42:00", "--frozen"});
    ASSERT_TRUE(device.Ready());
    std::filesystem::path program = std::filesystem::path(device.Dir()) / "Windows" / "tlwform.exe";
    std::filesystem::create_symlink(std::filesystem::canonical(TLW_BIN_DIR) / "tlwprog", program);
    BackgroundProgram host("tlwsim", {"boot", device.Dir()});
    Listed found;
    ASSERT_TRUE(WaitUntil([&] { return Find(Windows(device), "HHTaskBar", "", &found); }, 30000)) << host.Output();
    BackgroundProgram form("tlwsim", {"run", device.Dir(), "\\Windows\\tlwform.exe"});

    // The dialog comes up with the focus in its first edit (empty title).
    Listed name, pin, box;
    ASSERT_TRUE(WaitUntil([&] {
        std::vector<Listed> all = Windows(device);
        return Find(all, "Dialog", "Form", &found) && Find(all, "BUTTON", "Locked", &box);
    }, 30000)) << host.Output();
    // Both edits start empty: the PIN edit is the later one, listed first.
    std::vector<Listed> all = Windows(device);
    std::vector<Listed> edits;
    for (const Listed& w : all)
        if (w.className == "EDIT") edits.push_back(w);
    ASSERT_EQ(edits.size(), 2u);
    pin = edits[0];
    name = edits[1];
    ASSERT_LT(name.top, pin.top);

    TapMiddle(device, name);
    ASSERT_TRUE(WaitForFocus(device, "EDIT", name.top));
    ASSERT_EQ(TlwsimCommand("type", device.Dir(), {"Night"}).exitCode, 0);
    ASSERT_TRUE(WaitUntil([&] { return Find(Windows(device), "EDIT", "Night", &found); }, 30000));
    TapMiddle(device, pin);
    ASSERT_TRUE(WaitForFocus(device, "EDIT", pin.top));
    ASSERT_EQ(TlwsimCommand("type", device.Dir(), {"12a34"}).exitCode, 0);  // digits only
    ASSERT_TRUE(WaitUntil([&] { return Find(Windows(device), "EDIT", "****", &found); }, 30000));
    EXPECT_EQ(TlwsimCommand("windows", device.Dir()).output.find("1234"), std::string::npos);

    // Down to the check box, space checks it, the action key (on a check box)
    // unchecks it again, up and action on the PIN edit confirm.
    ASSERT_EQ(TlwsimCommand("key", device.Dir(), {"down"}).exitCode, 0);
    ASSERT_TRUE(WaitForFocus(device, "BUTTON", box.top));
    for (const char* key : {"space", "action", "space", "up"})
        ASSERT_EQ(TlwsimCommand("key", device.Dir(), {key}).exitCode, 0) << key;
    ASSERT_TRUE(WaitForFocus(device, "EDIT", pin.top));
    ASSERT_EQ(TlwsimCommand("key", device.Dir(), {"action"}).exitCode, 0);
    EXPECT_EQ(form.WaitForExit(30000), 0) << form.Output();
    std::string journal = TlwsimCommand("journal", device.Dir()).output;
    EXPECT_NE(journal.find("tlwform form ok name=Night pin=1234 locked=1"), std::string::npos) << journal;
    EXPECT_FALSE(Find(Windows(device), "Dialog", "Form", &found));
}

}  // namespace
