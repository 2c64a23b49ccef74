// tlwsim play DIR SCENARIO: runs a scenario step by step on the device and
// prints a timeline: the device time, the step, the profile now running and
// the engine's log lines the step produced.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "common/config/log_file.h"
#include "common/config/profile.h"
#include "common/config/registry_key.h"
#include "common/config/registry_state.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/sync_objects.h"
#include "platform/notify/user_notify.h"
#include "platform/storage/paths.h"
#include "platform/storage/registry.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "sim/clock_moves.h"
#include "sim/command.h"
#include "sim/hardware_facts.h"
#include "sim/scenario.h"

extern char** environ;

namespace sim {
namespace {

// Settling after a step: how long the engine's log must stay unchanged,
// how often it is looked at, and the longest wait.
constexpr int kQuietMs = 300;
constexpr int kLookMs = 50;
constexpr int kSettleLimitMs = 10000;
constexpr uint32_t kAnswerLimitMs = 60000;
// A started program (the engine) begins with work of its own (the first
// location reading after a second): a longer quiet time after "run".
constexpr int kStartQuietMs = 1500;
constexpr int kRearmLimitMs = 5000;

// Runs "tlwsim WORDS[0] DIR WORDS[1...]" as a child and returns its exit
// code; *output gets what it printed (standard output and error).
int RunConsoleCommand(const std::string& dir, const std::vector<std::string>& words, std::string* output) {
    std::vector<std::string> args = {"tlwsim", words[0], dir};
    args.insert(args.end(), words.begin() + 1, words.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    // The output goes to a file, not a pipe: a program the command starts
    // (the engine) inherits it and may outlive the command.
    char path[] = "/tmp/tlwsim-step-XXXXXX";
    int fd = ::mkstemp(path);
    if (fd < 0) return -1;
    ::unlink(path);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fd, 1);
    posix_spawn_file_actions_adddup2(&actions, fd, 2);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        ::close(fd);
        return -1;
    }
    int status = 0;
    pid_t ended = ::waitpid(pid, &status, 0);
    ::lseek(fd, 0, SEEK_SET);
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) output->append(buffer, static_cast<size_t>(got));
    ::close(fd);
    if (ended != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The engine's log: lines appended since the last look.
class LogFollower {
public:
    LogFollower() : path_(plat::HostPath(tlw::kLogFile)) { offset_ = Size(); }
    uint64_t Size() const {
        std::error_code ec;
        uint64_t size = std::filesystem::file_size(path_, ec);
        return ec ? 0 : size;
    }
    std::vector<std::string> NewLines() {
        std::vector<std::string> lines;
        uint64_t size = Size();
        if (size < offset_) offset_ = 0;  // the engine started a new log
        std::ifstream in(path_, std::ios::binary);
        if (!in) return lines;
        in.seekg(static_cast<std::streamoff>(offset_));
        std::string line;
        while (std::getline(in, line)) {
            if (in.eof()) break;  // a line still being written stays for the next look
            offset_ += line.size() + 1;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) lines.push_back(line);
        }
        return lines;
    }

private:
    std::filesystem::path path_;  // host path of the log
    uint64_t offset_ = 0;         // bytes already shown
};

// The pending notifications that signal a named event, by handle.
std::vector<std::pair<plat::NotificationHandle, std::u16string>> NamedEventWakeUps() {
    std::vector<plat::UserNotificationInfo> all;
    plat::ListUserNotifications(&all);
    std::vector<std::pair<plat::NotificationHandle, std::u16string>> out;
    for (const auto& n : all)
        if (plat::NamedEventOfNotificationTarget(n.trigger.application, nullptr))
            out.emplace_back(n.handle, n.trigger.application);
    return out;
}

// A named event that fired wakes a thread that works on its own time (the
// engine's location sensing re-arms its wake-up first, then reads): wait
// until each one that fired is pending again, at most a few seconds.
void WaitForRearmedEvents(const std::vector<std::pair<plat::NotificationHandle, std::u16string>>& before) {
    auto after = NamedEventWakeUps();
    for (const auto& [handle, application] : before) {
        bool stillPending = false;
        for (const auto& a : after) stillPending = stillPending || a.first == handle;
        if (stillPending) continue;
        for (int waited = 0; waited < kRearmLimitMs; waited += kLookMs) {
            bool again = false;
            for (const auto& a : NamedEventWakeUps()) again = again || a.second == application;
            if (again) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(kLookMs));
        }
    }
}

// Waits until the engine has handled what the step sent it: a sync, then
// until its log stays unchanged for a while (a timer the step armed may
// still fire after the clock moved).
void Settle(const LogFollower& log, int quietMs = kQuietMs) {
    plat::Hwnd engine = plat::FindWindow(u"Tallowd", nullptr);
    if (engine) {
        plat::LResult answer = 0;
        plat::SendMessageTimeout(engine, plat::WM_NULL, 0, 0, kAnswerLimitMs, &answer);
    }
    uint64_t last = log.Size();
    int quiet = 0;
    for (int waited = 0; waited < kSettleLimitMs && quiet < quietMs; waited += kLookMs) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kLookMs));
        uint64_t now = log.Size();
        quiet = now == last ? quiet + kLookMs : 0;
        last = now;
    }
}

std::string RunningProfileText() {
    uint32_t index = tlw::kNoProfile;
    std::u16string name;
    plat::RegReadDword(plat::kHkeyCurrentUser, tlw::kTallowinKey, tlw::kRunningProfileValue, &index);
    if (!plat::RegReadString(plat::kHkeyCurrentUser, tlw::kTallowinKey, tlw::kRunningProfileNameValue, &name))
        name = tlw::kNoRunningProfileName;
    if (index == static_cast<uint32_t>(tlw::kNoProfile)) return tlw::Utf16ToUtf8(name);
    return tlw::Utf16ToUtf8(name) + " (" + std::to_string(index) + ")";
}

// The current value of an expectation's key: a hardware fact, else a value
// of the engine's registry key. False when neither exists.
bool CurrentValue(const std::string& key, std::string* out) {
    for (const auto& [fact, value] : ReadHardwareFacts()) {
        if (fact == key) {
            *out = value;
            return true;
        }
    }
    plat::HKey handle;
    if (plat::RegOpenKey(plat::kHkeyCurrentUser, tlw::kTallowinKey, &handle) != 0) return false;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    uint32_t error = plat::RegQueryValue(handle, tlw::Utf8ToUtf16(key), &type, &data);
    plat::RegCloseKey(handle);
    if (error != 0) return false;
    if (type == plat::kRegDword && data.size() >= 4) {
        uint32_t v = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<uint32_t>(data[3]) << 24);
        *out = std::to_string(v);
    } else if (type == plat::kRegSz) {
        std::u16string text(reinterpret_cast<const char16_t*>(data.data()), data.size() / 2);
        while (!text.empty() && text.back() == u'\0') text.pop_back();
        *out = tlw::Utf16ToUtf8(text);
    } else {
        std::ostringstream hex;
        for (uint8_t b : data) hex << std::hex << (b < 16 ? "0" : "") << static_cast<int>(b);
        *out = hex.str();
    }
    return true;
}

void PrintIndented(const char* tag, const std::string& text) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty()) std::printf("        %s %s\n", tag, line.c_str());
}

int RunPlay(const CommandArgs& args) {
    if (args.size() != 2) return Usage("play");
    std::ifstream in(args[1], std::ios::binary);
    if (!in) return Fail("cannot read the scenario " + args[1]);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<ScenarioStep> steps;
    std::string error;
    if (!ParseScenario(text.str(), &steps, &error)) return Fail(args[1] + ", " + error);
    if (!OpenDevice(args)) return 1;

    // The scenario moves the clock itself: it stands still between steps.
    bool wasRunning = !plat::ClockIsFrozen();
    if (wasRunning && !plat::FreezeClock()) return Fail("cannot freeze the device clock");
    LogFollower log;
    int failures = 0;
    int code = 0;
    for (const ScenarioStep& step : steps) {
        plat::SystemTime now = plat::GetLocalTime();
        plat::SystemTime target = now;
        if (step.when == ScenarioStep::When::kAt) target = step.at;
        if (step.when == ScenarioStep::When::kAfter && !plat::TryAddSeconds(now, step.afterSeconds, &target)) {
            code = Fail("line " + std::to_string(step.line) + ": the time leaves the range of device times");
            break;
        }
        if (plat::CompareSystemTime(target, now) < 0) {
            code = Fail("line " + std::to_string(step.line) + ": " + plat::FormatDeviceTime(target) +
                        " is before the device time " + plat::FormatDeviceTime(now));
            break;
        }
        if (plat::CompareSystemTime(target, now) > 0) {
            auto armed = NamedEventWakeUps();
            if (MoveClockTo(target) != 0) {
                code = 1;
                break;
            }
            WaitForRearmedEvents(armed);
            Settle(log);
        }
        std::vector<std::string> earlier = log.NewLines();  // what the time itself brought
        std::string output;
        std::string verdict;
        if (step.expect) {
            std::string value;
            if (!CurrentValue(step.key, &value)) {
                verdict = "FAILED: no hardware fact or engine value '" + step.key + "'";
            } else if (value != step.value) {
                verdict = "FAILED: " + step.key + " is '" + value + "'";
            } else {
                verdict = "ok";
            }
        } else {
            int exitCode = RunConsoleCommand(args[0], step.words, &output);
            if (exitCode != 0) verdict = "FAILED: exit code " + std::to_string(exitCode);
            Settle(log, step.words[0] == "run" ? kStartQuietMs : kQuietMs);
        }
        std::printf("%s  %-44s  [%s]\n", plat::FormatDeviceTime(plat::GetLocalTime()).c_str(), step.text.c_str(),
                    RunningProfileText().c_str());
        for (const std::string& line : earlier) std::printf("        log %s\n", line.c_str());
        PrintIndented("out", output);
        for (const std::string& line : log.NewLines()) std::printf("        log %s\n", line.c_str());
        if (step.expect && verdict == "ok") std::printf("        ok\n");
        std::fflush(stdout);
        if (!verdict.empty() && verdict != "ok") {
            ++failures;
            std::printf("        %s\n", verdict.c_str());
            std::fprintf(stderr, "tlwsim: %s, line %d: %s: %s\n", args[1].c_str(), step.line, step.text.c_str(),
                         verdict.c_str());
            if (!step.expect) {
                code = 1;
                break;  // the scenario cannot go on without its step
            }
        }
    }
    if (wasRunning) plat::ThawClock();
    if (code != 0) return code;
    std::printf("%zu steps, %d failed\n", steps.size(), failures);
    return failures == 0 ? 0 : 1;
}

}  // namespace

TLW_SIM_COMMAND(
    "play", "DIR SCENARIO",
    "Runs a scenario on the device and prints its timeline. One step a line:\n"
    "  [TIME] COMMAND ARGS...  a console command without 'tlwsim' and DIR: hw ac=on,\n"
    "                          cal add ..., reg set ..., run \\Windows\\Tallowd.exe, ...\n"
    "  [TIME] expect KEY=VALUE a hardware fact (as 'tlwsim hw' prints it) or a value of\n"
    "                          HKCU\\Software\\Korvel\\Tallowin (as 'tlwsim reg get' prints it)\n"
    "  # comment\n"
    "TIME is a device time (YYYY-MM-DDTHH:MM:SS) or +DURATION after the previous step\n"
    "(+90s, +15m, +1h30m); without it the step runs at the time of the one before.\n"
    "The clock is frozen while the scenario runs and moved by the steps alone; on the\n"
    "way every wake-up that falls due fires, each followed by a sync. After each step\n"
    "the engine is synced and given time to finish what the step started. Words in\n"
    "double quotes may hold blanks.\n"
    "\n"
    "The timeline has one line per step: the device time, the step and [the running\n"
    "profile], then the engine log lines the step produced ('log'), what the command\n"
    "printed ('out') and the verdict of an expectation. A failed expectation is\n"
    "reported with its line and makes the exit code 1; a failed command ends the\n"
    "scenario. A step 'shot FILE.png' runs the screenshot command when this build of\n"
    "the console has it ('tlwsim --help' lists the commands).",
    RunPlay);

}  // namespace sim
