// Answering a message box through the console, as a person at the phone.
#include "support/message_box_answer.h"

#include <cstdio>
#include <sstream>
#include <vector>

#include "support/run_program.h"

namespace {

// One line of `tlwsim windows`.
struct WindowLine {
    std::string handle, className, title;
    int left = 0, top = 0, right = 0, bottom = 0;
    bool visible = false;
};

std::vector<WindowLine> ListWindows(const std::string& dir) {
    std::vector<WindowLine> windows;
    std::istringstream in(TlwsimCommand("windows", dir, {}, ErrorStream::kCaptured).output);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::istringstream parts(line);
        std::string field;
        while (std::getline(parts, field, '\t')) fields.push_back(field);
        if (fields.size() < 6) continue;
        WindowLine w;
        w.handle = fields[0];
        w.className = fields[1];
        w.title = fields[2];
        w.visible = fields[5] == "visible";
        if (std::sscanf(fields[4].c_str(), "%d,%d,%d,%d", &w.left, &w.top, &w.right, &w.bottom) != 4) continue;
        windows.push_back(w);
    }
    return windows;
}

bool Gone(const std::string& dir, const std::string& handle) {
    for (const WindowLine& w : ListWindows(dir))
        if (w.handle == handle && w.visible) return false;
    return true;
}

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

}  // namespace

ShownMessageBox WaitForMessageBox(const std::string& dir, const std::string& caption, int timeoutMs) {
    ShownMessageBox shown;
    WaitUntil([&] {
        for (const WindowLine& w : ListWindows(dir)) {
            if (w.className != "MessageBox" || !w.visible || w.title.find(caption) == std::string::npos) continue;
            shown = {true, w.title, w.handle, w.left, w.top, w.right, w.bottom};
            return true;
        }
        return false;
    }, timeoutMs);
    return shown;
}

bool AnswerMessageBox(const std::string& dir, const std::string& button, std::string* error) {
    ShownMessageBox box = WaitForMessageBox(dir);
    if (!box.found) return Fail(error, "no message box came up");
    // The box's buttons are the visible BUTTON windows inside its rectangle.
    for (const WindowLine& w : ListWindows(dir)) {
        if (w.className != "BUTTON" || !w.visible || w.title != button || w.left < box.left || w.right > box.right ||
            w.top < box.top || w.bottom > box.bottom)
            continue;
        ProgramResult tap = TlwsimCommand("tap", dir, {std::to_string((w.left + w.right) / 2), std::to_string((w.top + w.bottom) / 2)},
                                          ErrorStream::kCaptured);
        if (tap.exitCode != 0) return Fail(error, "the tap failed: " + tap.errors);
        if (!WaitUntil([&] { return Gone(dir, box.handle); }, 30000)) return Fail(error, "the box stayed after the tap");
        return true;
    }
    return Fail(error, "the box \"" + box.caption + "\" has no button \"" + button + "\"");
}

bool AnswerMessageBoxByKey(const std::string& dir, const std::string& key, std::string* error) {
    ShownMessageBox box = WaitForMessageBox(dir);
    if (!box.found) return Fail(error, "no message box came up");
    ProgramResult pressed = TlwsimCommand("key", dir, {key}, ErrorStream::kCaptured);
    if (pressed.exitCode != 0) return Fail(error, "the key failed: " + pressed.errors);
    if (!WaitUntil([&] { return Gone(dir, box.handle); }, 30000)) return Fail(error, "the box stayed after the key");
    return true;
}
