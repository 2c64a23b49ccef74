// A throw-away simulated device for one test: a fresh temporary folder with
// its ".device" state folder, made the process's device for the test's life.
#pragma once

#include <filesystem>

class TempDevice {
public:
    // Creates "<tmp>/tlw-device-XXXXXX/.device" and calls plat::SetDevice on
    // the folder. Fails the current test (and leaves Root() empty) when the
    // folder cannot be made.
    TempDevice();
    // Removes the folder with everything in it.
    ~TempDevice();

    TempDevice(const TempDevice&) = delete;
    TempDevice& operator=(const TempDevice&) = delete;

    // The device's host folder (the device root "\").
    const std::filesystem::path& Root() const { return root_; }
    // "<root>/.device".
    std::filesystem::path StateDir() const { return root_ / ".device"; }

private:
    std::filesystem::path root_;  // host folder of the device; empty when creation failed
};
