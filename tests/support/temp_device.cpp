#include "support/temp_device.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <system_error>

#include "platform/storage/device.h"

TempDevice::TempDevice() {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) base = "/tmp";
    std::string pattern = (base / "tlw-device-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        ADD_FAILURE() << "cannot create a temporary device folder in " << base;
        return;
    }
    root_ = pattern;
    if (!std::filesystem::create_directory(root_ / ".device", ec) || !plat::SetDevice(root_)) {
        ADD_FAILURE() << "cannot set up the temporary device " << root_;
    }
}

TempDevice::~TempDevice() {
    if (root_.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}
