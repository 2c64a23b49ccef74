#include "sim/command.h"

#include <cstdio>
#include <filesystem>

#include "platform/kernel/last_error.h"
#include "platform/storage/device.h"
#include "platform/storage/device_store.h"
#include "platform/hardware/device_model.h"

namespace sim {

std::vector<Command>& Table() {
    static std::vector<Command> table;
    return table;
}

bool RegisterCommand(const Command& command) {
    Table().push_back(command);
    return true;
}

const std::vector<Command>& Commands() { return Table(); }

bool OpenDevice(const CommandArgs& args) {
    if (args.empty()) {
        Fail("no device folder given");
        return false;
    }
    std::error_code ec;
    std::filesystem::path root(args[0]);
    if (!std::filesystem::is_directory(root / ".device", ec)) {
        Fail("'" + args[0] + "' is not a simulated device (make one with: tlwsim init " + args[0] + ")");
        return false;
    }
    if (!plat::SetDevice(root)) {
        Fail("cannot open device folder '" + args[0] + "'");
        return false;
    }
    // A store that cannot be used is said once, in words, rather than as
    // every command's own failure further on.
    std::string problem;
    if (plat::store::Check(&problem) != plat::kErrorSuccess) {
        Fail(problem);
        return false;
    }
    plat::ApplyDeviceModel();  // the console reads and writes as this phone does
    return true;
}

std::string FailureReason(uint32_t lastError) {
    switch (lastError) {
    case plat::kErrorSuccess: return "the device refused it";
    case plat::kErrorDiskFull: return "the disk is full";
    case plat::kErrorIoDevice: return "the disk failed to write or read the device store";
    case plat::kErrorSharingViolation: return "the device store stays busy (another program holds it)";
    case plat::kErrorAccessDenied: return "access denied";
    case plat::kErrorNotEnoughMemory: return "out of memory";
    case plat::kErrorInvalidParameter: return "the device does not take this value";
    default: return "error " + std::to_string(lastError);
    }
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "tlwsim: %s\n", message.c_str());
    return 1;
}

int Usage(const char* commandName) {
    for (const Command& c : Commands()) {
        if (std::string(c.name) == commandName) {
            std::fprintf(stderr, "usage: tlwsim %s %s\n", c.name, c.synopsis);
            return 2;
        }
    }
    std::fprintf(stderr, "tlwsim: unknown command '%s'\n", commandName);
    return 2;
}

}  // namespace sim
