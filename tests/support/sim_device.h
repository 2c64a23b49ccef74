// A simulated device made by the built `tlwsim init`, for tests that drive
// tlwsim as a separate process: "<tmp>/tlw-sim-XXXXXX/phone".
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class SimDevice {
public:
    // Makes the temporary folder and runs "tlwsim init <folder>/phone
    // initArgs...". Fails the current test (and leaves Ready() false) when
    // either fails.
    explicit SimDevice(const std::vector<std::string>& initArgs = {});
    // Runs "tlwsim halt" on the device when it was made, so no program of it
    // outlives the test, then removes the folder with everything in it.
    ~SimDevice();

    SimDevice(const SimDevice&) = delete;
    SimDevice& operator=(const SimDevice&) = delete;

    // Whether init succeeded.
    bool Ready() const { return ready_; }
    // The device folder, as tlwsim takes it.
    const std::string& Dir() const { return dir_; }
    // The temporary folder holding the device, for files a test keeps beside it.
    const std::filesystem::path& Base() const { return base_; }

private:
    std::filesystem::path base_;  // the temporary folder; empty when it could not be made
    std::string dir_;             // base_/phone
    bool ready_ = false;          // init succeeded
};
