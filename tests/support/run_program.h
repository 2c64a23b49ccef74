// Runs a built program (tlwsim, Tallowd) as a child process for process
// tests, capturing its standard output.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct ProgramResult {
    int exitCode = -1;   // exit status, or -1 when it could not run
    std::string output;  // standard output
};

// Runs TLW_BIN_DIR/program with args and waits for it.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args);
// The same for tlwsim.
ProgramResult Tlwsim(const std::vector<std::string>& args);

// Polls check every 20 ms until it is true or timeoutMs passed; returns it.
template <typename F>
bool WaitUntil(F check, int timeoutMs = 10000);

#include <chrono>
#include <thread>

template <typename F>
bool WaitUntil(F check, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (check()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return check();
}
