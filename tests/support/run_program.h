// Runs a built program (tlwsim, Tallowd) as a child process for process
// tests, capturing its standard output and, when asked, its standard error.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Where the child's standard error goes.
enum class ErrorStream {
    kPassedOn,  // to the test's own standard error, shown in the test log
    kCaptured,  // into ProgramResult::errors
    kMerged,    // into ProgramResult::output, in the order written (as "2>&1")
};

struct ProgramResult {
    int exitCode = -1;   // exit status, or -1 when it could not run or was ended by a signal
    std::string output;  // standard output (with standard error when merged)
    std::string errors;  // standard error when captured, else empty
    long peakMemoryKb = 0;  // the program's largest resident size, in kB
};

// Runs TLW_BIN_DIR/program with args (no shell: each argument reaches the
// program as it is) and waits for it.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         ErrorStream errorStream = ErrorStream::kPassedOn);
// The same for tlwsim.
ProgramResult Tlwsim(const std::vector<std::string>& args, ErrorStream errorStream = ErrorStream::kPassedOn);
// Runs "tlwsim COMMAND DEVICE ARGS...", the form of every device command.
ProgramResult TlwsimCommand(const std::string& command, const std::string& device,
                            const std::vector<std::string>& args = {},
                            ErrorStream errorStream = ErrorStream::kPassedOn);

// Runs "tlwsim ARGS..." as on a full disk: no file may grow (a file size
// limit of 0, its signal ignored so that a write fails rather than ending
// the program). Its standard error is captured (through a pipe: no file
// could take it), its output dropped.
ProgramResult TlwsimOnAFullDisk(const std::vector<std::string>& args);

// Polls check every 20 ms until it is true or timeoutMs (scaled, see
// support/time_scale.h) passed; returns it.
template <typename F>
bool WaitUntil(F check, int timeoutMs = 60000);

#include <chrono>
#include <thread>

#include "support/time_scale.h"

template <typename F>
bool WaitUntil(F check, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ScaledMs(timeoutMs));
    while (std::chrono::steady_clock::now() < end) {
        if (check()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return check();
}
