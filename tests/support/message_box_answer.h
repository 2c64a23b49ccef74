// Answering a message box on a running simulated phone as a person would:
// wait until the box is on the screen (`tlwsim windows`), then tap one of
// its buttons or press a key (`tlwsim tap`, `tlwsim key`), and wait until
// it is gone.
#pragma once

#include <string>

// What was found on the screen.
struct ShownMessageBox {
    bool found = false;        // a box was up before the deadline
    std::string caption;       // its title
    std::string handle;        // its window handle as `tlwsim windows` prints it
    int left = 0, top = 0, right = 0, bottom = 0;  // its rectangle on the screen
};

// Waits (up to timeoutMs) for a visible window of class "MessageBox" on the
// device, optionally one whose caption contains `caption`.
ShownMessageBox WaitForMessageBox(const std::string& dir, const std::string& caption = "", int timeoutMs = 30000);

// Waits for a box, taps its button labelled `button` ("OK", "Cancel",
// "Yes", "No") and waits until the box has gone. False (with the reason in
// *error when given) when no box came, it has no such button, or it stayed.
bool AnswerMessageBox(const std::string& dir, const std::string& button, std::string* error = nullptr);

// The same with a key (a `tlwsim key` name: "action" for the focused
// button, "back" for Cancel or No).
bool AnswerMessageBoxByKey(const std::string& dir, const std::string& key, std::string* error = nullptr);
