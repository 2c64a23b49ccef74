#include "support/sim_device.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <system_error>

#include "support/run_program.h"

SimDevice::SimDevice(const std::vector<std::string>& initArgs) {
    std::error_code ec;
    std::filesystem::path tmp = std::filesystem::temp_directory_path(ec);
    if (ec) tmp = "/tmp";
    std::string pattern = (tmp / "tlw-sim-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        ADD_FAILURE() << "cannot create a temporary folder in " << tmp;
        return;
    }
    base_ = pattern;
    dir_ = (base_ / "phone").string();
    std::vector<std::string> args = {"init", dir_};
    args.insert(args.end(), initArgs.begin(), initArgs.end());
    ProgramResult init = Tlwsim(args, ErrorStream::kCaptured);
    ready_ = init.exitCode == 0;
    if (!ready_) ADD_FAILURE() << "tlwsim init " << dir_ << " failed (" << init.exitCode << "): " << init.errors;
}

SimDevice::~SimDevice() {
    if (base_.empty()) return;
    if (ready_) Tlwsim({"halt", dir_}, ErrorStream::kCaptured);
    std::error_code ec;
    std::filesystem::remove_all(base_, ec);
}
