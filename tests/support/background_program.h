// A built program (tlwsim boot, tlwsim view) running beside a process test,
// its standard output collected in a file; ended when the test ends.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class BackgroundProgram {
public:
    // Starts TLW_BIN_DIR/program with args; Running() tells whether it started.
    BackgroundProgram(const std::string& program, const std::vector<std::string>& args);
    // Ends it (SIGTERM, then SIGKILL after a few seconds) unless it ended.
    ~BackgroundProgram();
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;

    bool Running();
    // Everything it wrote to standard output so far.
    std::string Output() const;
    // Waits up to timeoutMs (scaled, see support/time_scale.h) for it to
    // end; its exit code, -1 when it did not end (or ended by a signal).
    int WaitForExit(int timeoutMs);

private:
    pid_t pid_ = -1;          // the program, -1 once reaped or when it did not start
    int exitCode_ = -1;       // its exit code once reaped
    std::string outputPath_;  // the file its standard output goes to
};
