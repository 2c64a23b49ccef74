// A temporary device with a model of the test's choosing, whose Sleep calls
// are recorded instead of waited (or, when asked, waited for real), for the
// tests of the device operations.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/kernel/threads.h"
#include "support/journal_effects.h"
#include "support/temp_device.h"

class DeviceOperationTest : public ::testing::Test {
protected:
    DeviceOperationTest() {
        Sleeps().clear();
        RealSleeps() = false;
        plat::SetSleepHook(&RecordSleep);
    }
    ~DeviceOperationTest() override { plat::SetSleepHook(nullptr); }

    void UseModel(const std::string& text) {
        std::ofstream out(device_.StateDir() / "model", std::ios::binary | std::ios::trunc);
        out << text;
    }
    // Waits of the operations under test, in order.
    static std::vector<uint32_t> TakeSleeps() {
        std::lock_guard<std::mutex> guard(SleepLock());
        std::vector<uint32_t> taken;
        taken.swap(Sleeps());
        return taken;
    }
    // Lets Sleep wait for real (for hardware that changes with time).
    static void WaitForReal() { RealSleeps() = true; }

    static bool Journalled(const std::string& effect) {
        std::vector<std::string> effects = JournalEffects();
        return std::find(effects.begin(), effects.end(), effect) != effects.end();
    }
    static bool JournalMentions(const std::string& text) {
        for (const std::string& e : JournalEffects())
            if (e.find(text) != std::string::npos) return true;
        return false;
    }

    TempDevice device_;

private:
    static std::mutex& SleepLock() {
        static std::mutex lock;
        return lock;
    }
    static std::vector<uint32_t>& Sleeps() {
        static std::vector<uint32_t> sleeps;
        return sleeps;
    }
    static std::atomic<bool>& RealSleeps() {
        static std::atomic<bool> real{false};
        return real;
    }
    static void RecordSleep(uint32_t ms) {
        {
            std::lock_guard<std::mutex> guard(SleepLock());
            Sleeps().push_back(ms);
        }
        if (RealSleeps()) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};
