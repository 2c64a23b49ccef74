// The console's subcommands. Each lives in its own file (cmd_NAME.cpp) and
// registers itself with TLW_SIM_COMMAND; main() dispatches on the first word.
// Every subcommand takes the device folder first. Results go to standard
// output, errors to standard error with a non-zero exit code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// Arguments after the subcommand's name: args[0] is the device folder.
using CommandArgs = std::vector<std::string>;
using CommandFn = int (*)(const CommandArgs& args);

struct Command {
    const char* name;     // the subcommand word
    const char* synopsis; // one line: arguments
    const char* help;     // the full help text
    CommandFn run;        // the handler; returns the exit code
};

// Adds a command to the table (called from static registrars).
bool RegisterCommand(const Command& command);
const std::vector<Command>& Commands();

// Selects the device folder args[0] for the platform (must exist and hold a
// device made by init). Prints an error and returns false otherwise.
bool OpenDevice(const CommandArgs& args);

// Prints an error line "tlwsim: ..." on standard error; returns exit code 1.
int Fail(const std::string& message);
// Why a change of the device failed, in words, from the platform's last
// error (a full or failing disk, a store another program holds, ...).
std::string FailureReason(uint32_t lastError);
// Exit code 2 with the command's synopsis: bad arguments.
int Usage(const char* commandName);

}  // namespace sim

#define TLW_SIM_CONCAT2(a, b) a##b
#define TLW_SIM_CONCAT(a, b) TLW_SIM_CONCAT2(a, b)
#define TLW_SIM_COMMAND(name, synopsis, help, fn) \
    static const bool TLW_SIM_CONCAT(g_registered_, __LINE__) = ::sim::RegisterCommand({name, synopsis, help, fn})
