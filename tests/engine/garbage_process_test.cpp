// Process tests: a running Tallowd fed garbage, random command lines through
// second starts and a few thousand random messages and parameters sent to its
// window, stays up with a well-formed log and its registry values in range.
// The random sequences come from a fixed seed, so every run sends the same.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "base/text.h"
#include "engine/engine_messages.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "support/run_program.h"
#include "engine_process_fixture.h"

namespace {

class EngineGarbageTest : public EngineProcessTest {
protected:
    // The engine still answers, and a console sync gets through to it.
    void ExpectAlive() {
        plat::Hwnd engine = plat::FindWindow(tlw::kEngineClass, nullptr);
        ASSERT_TRUE(engine) << "the engine window is gone";
        plat::LResult result = 0;
        EXPECT_TRUE(plat::SendMessageTimeout(engine, plat::WM_NULL, 0, 0, 30000, &result));
        EXPECT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    }

    // Every line of the log ends with CR LF, holds no other line break and no
    // NUL, and is at most 512 bytes long.
    void ExpectWellFormedLog() {
        std::string log = Log();
        ASSERT_FALSE(log.empty());
        size_t start = 0, lines = 0;
        while (start < log.size()) {
            size_t end = log.find("\r\n", start);
            ASSERT_NE(end, std::string::npos) << "the last line is cut: " << log.substr(start);
            std::string line = log.substr(start, end - start);
            EXPECT_EQ(line.find_first_of(std::string("\r\n\0", 3)), std::string::npos) << "line " << lines << ": " << line;
            EXPECT_LE(line.size() + 2, 512u) << "line " << lines;
            start = end + 2;
            ++lines;
        }
    }

    uint32_t Dword(const char* value, uint32_t missing) {
        ProgramResult r = Tlwsim({"reg", dir_, "get", "HKCU\\Software\\Korvel\\Tallowin", value}, ErrorStream::kCaptured);
        if (r.exitCode != 0) return missing;
        return static_cast<uint32_t>(std::stoul(r.output));
    }

    // The shared values: a profile index of the five default profiles or
    // "none", flags that are 0 or 1, the running profile's type a trigger kind.
    void ExpectRegistryInRange() {
        for (const char* value : {"RunningProfile", "ManualProfile", "LastManualProfile"}) {
            uint32_t index = Dword(value, 700);
            EXPECT_TRUE(index < 5 || index == 700) << value << " = " << index;
        }
        EXPECT_LE(Dword("RunningProfileType", 0), 4u);
        EXPECT_LE(Dword("Locked", 0), 1u);
        EXPECT_LE(Dword("AlreadyReset", 0), 1u);
        std::string name = Registry("RunningProfileName");
        EXPECT_FALSE(name.empty());
    }
};

// Messages a random sender must not pick: closing and destroying end the
// engine by design, and the menu messages open the user's popup menu, which
// waits for a tap.
bool Excluded(uint32_t message) {
    switch (message) {
    case plat::WM_CLOSE:
    case plat::WM_DESTROY:
    case plat::WM_LBUTTONDOWN:
    case tlw::TLWM_SHOWMENU:
    case tlw::TLWM_TODAYMENU:
    case tlw::TLWM_ICONNOTIFY:
        return true;
    default:
        return false;
    }
}

TEST_F(EngineGarbageTest, RandomCommandLinesLeaveItRunning) {
    std::mt19937 random(20100104);
    const std::string alphabet = "0123456789 -+NightDaySilentCar\t\xc3\xa9\xe2\x82\xac#%*\\\"'";
    for (int i = 0; i < 30; ++i) {
        std::string line;
        int length = static_cast<int>(random() % 24);
        for (int k = 0; k < length; ++k) line += alphabet[random() % alphabet.size()];
        // A number above 1200 is handed over as a message of its own.
        if (line.find_first_not_of(" \t") != std::string::npos && Excluded(static_cast<uint32_t>(tlw::ParseInt(tlw::Utf8ToUtf16(line)))))
            continue;
        SCOPED_TRACE("command line '" + line + "'");
        std::vector<std::string> args = {"run", dir_, "\\Windows\\Tallowd.exe"};
        if (!line.empty()) args.push_back(line);
        ASSERT_EQ(Tlwsim(args).exitCode, 0);
    }
    ExpectAlive();
    ExpectWellFormedLog();
    ExpectRegistryInRange();
}

TEST_F(EngineGarbageTest, ThousandsOfRandomMessagesLeaveItRunning) {
    plat::Hwnd engine = plat::FindWindow(tlw::kEngineClass, nullptr);
    ASSERT_TRUE(engine);
    std::mt19937 random(4242);
    // Parameters near the meaningful ones, and any at all.
    auto parameter = [&]() -> uint64_t {
        switch (random() % 6) {
        case 0: return random() % 1300;
        case 1: return 900 + random() % 50;
        case 2: return static_cast<uint64_t>(-static_cast<int64_t>(random() % 10));
        case 3: return 100 + random() % 10;
        case 4: return (static_cast<uint64_t>(random()) << 32) | random();
        default: return random() % 3;
        }
    };
    auto messageNumber = [&]() -> uint32_t {
        switch (random() % 5) {
        case 0:
        case 1: return tlw::TLWM_SHOWMENU + random() % 30;  // the engine's own messages
        case 2: return tlw::kCalendarItemCreated + random() % 3;
        case 3: return random() % 0x420;                    // system messages
        default: return static_cast<uint32_t>(random());
        }
    };
    int sent = 0;
    while (sent < 3000) {
        uint32_t message = messageNumber();
        if (Excluded(message) || plat::MessageCarriesPointer(message) || message == plat::WM_QUIT) continue;
        uint64_t wParam = parameter();
        int64_t lParam = static_cast<int64_t>(parameter());
        switch (sent % 3) {
        case 0: ASSERT_TRUE(plat::PostMessage(engine, message, wParam, lParam)) << message; break;
        case 1: ASSERT_TRUE(plat::SendNotifyMessage(engine, message, wParam, lParam)) << message; break;
        default: {
            plat::LResult result = 0;
            ASSERT_TRUE(plat::SendMessageTimeout(engine, message, wParam, lParam, 60000, &result)) << message;
        }
        }
        ++sent;
    }
    ExpectAlive();
    ExpectWellFormedLog();
    ExpectRegistryInRange();
}

}  // namespace
