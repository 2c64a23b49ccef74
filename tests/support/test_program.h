// A test executable that is also a device program. Linked into a device
// (LinkTestProgram) and started with CreateProcess or `tlwsim run`, it acts
// on its command line instead of running the tests:
//   - it writes "<TLW_DEVICE>/report.txt": its command line (argv[1]), the
//     TLW_DEVICE and TLW_PROGRAM it got, one per line;
//   - "exit N ..." then ends with exit code N, "wait ..." runs until it is
//     killed, anything else ends with 0.
// Each test file that links itself this way calls
// ActAsDeviceProgramWhenStartedAsOne from a static initializer, so the
// program acts before the test framework starts.
#pragma once

#include <string>
#include <string_view>

// Acts as described when this process was started as a device program
// (TLW_PROGRAM set); never returns then. Returns false otherwise.
bool ActAsDeviceProgramWhenStartedAsOne();

// Links devicePath on the current device to this test executable. False
// when the link cannot be made.
bool LinkTestProgram(std::u16string_view devicePath);

// What the last started test program reported: its command line, TLW_DEVICE
// and TLW_PROGRAM. False when there is no report.
struct TestProgramReport {
    std::string commandLine;  // argv[1] as received
    std::string device;       // TLW_DEVICE
    std::string program;      // TLW_PROGRAM
};
bool ReadTestProgramReport(TestProgramReport* report);
