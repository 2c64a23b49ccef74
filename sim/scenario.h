// A scenario of `tlwsim play`: one step a line. A step is a device time
// ("2010-01-04T07:00:00") or a duration after the previous step ("+15m"),
// optional before an expectation, followed by either a console command
// without "tlwsim" and the device folder ("hw ac=on", "cal add ...",
// "run \Windows\Tallowd.exe", "shot day.png") or "expect KEY=VALUE". Empty
// lines and lines starting with "#" are skipped. Words are separated by
// blanks; a word in double quotes may hold blanks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/kernel/clock.h"

namespace sim {

struct ScenarioStep {
    int line = 0;                    // line number in the file, from 1
    std::string text;                // the step as written, without its time
    enum class When : uint8_t { kNow, kAt, kAfter } when = When::kNow;
    plat::SystemTime at;             // kAt: the device time
    int64_t afterSeconds = 0;        // kAfter: seconds after the previous step
    bool expect = false;             // an expectation, else a command
    std::vector<std::string> words;  // command: its name and arguments
    std::string key;                 // expectation: registry value or hardware fact
    std::string value;               // expectation: the value wanted
};

// Splits a line into words (blanks separate; "..." keeps blanks; a
// backslash is an ordinary character). False for an unterminated quote.
bool SplitWords(const std::string& line, std::vector<std::string>* words);

// Parses a whole scenario. False with *error ("line N: why") for the first
// line it cannot read; commands are checked against the console's table.
bool ParseScenario(const std::string& text, std::vector<ScenarioStep>* steps, std::string* error);

}  // namespace sim
