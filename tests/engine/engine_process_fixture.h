// A running Tallowd on a temporary device made with tlwsim, for process tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/storage/device.h"
#include "platform/window/window.h"
#include "support/run_program.h"
#include "support/sim_device.h"

class EngineProcessTest : public ::testing::Test {
protected:
    void SetUp() override { StartDevice("2010-01-04T10:00:00"); }
    // Makes a device at a frozen time and starts the engine on it.
    void StartDevice(const char* time) {
        device_ = std::make_unique<SimDevice>(std::vector<std::string>{"--time", time, "--frozen"});
        ASSERT_TRUE(device_->Ready());
        dir_ = device_->Dir();
        ASSERT_EQ(Tlwsim({"reg", dir_, "set", "HKCU\\Software\\Korvel\\Tallowin", "LogMode", "dword:5"}).exitCode, 0);
        ASSERT_TRUE(plat::SetDevice(dir_));
        ASSERT_EQ(Tlwsim({"run", dir_, "\\Windows\\Tallowd.exe"}).exitCode, 0);
        ASSERT_TRUE(WaitUntil([] { return bool(plat::FindWindow(u"Tallowd", nullptr)); }));
        ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    }
    void TearDown() override { device_.reset(); }  // halts the device's programs, removes it
    std::string Log() {
        std::ifstream in(std::filesystem::path(dir_) / "Tallowd.log", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string Journal() { return Tlwsim({"journal", dir_}).output; }
    std::string Registry(const char* value) {
        return Tlwsim({"reg", dir_, "get", "HKCU\\Software\\Korvel\\Tallowin", value}).output;
    }
    // Starts a second instance with the command line and waits until the engine handled it.
    void SecondStart(const std::vector<std::string>& commandLine) {
        std::vector<std::string> args = {"run", dir_, "\\Windows\\Tallowd.exe"};
        args.insert(args.end(), commandLine.begin(), commandLine.end());
        ASSERT_EQ(Tlwsim(args).exitCode, 0);
        ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    }

    std::unique_ptr<SimDevice> device_;  // the device of the test
    std::string dir_;                    // its folder, as tlwsim takes it
};
