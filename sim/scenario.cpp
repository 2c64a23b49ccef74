#include "sim/scenario.h"

#include <cstring>

#include "sim/command.h"

namespace sim {
namespace {

// Commands that run until stopped or start another scenario: not steps.
constexpr const char* kNotSteps[] = {"play", "view", "boot", "init"};

bool KnownCommand(const std::string& name) {
    for (const Command& c : Commands())
        if (name == c.name) return true;
    return false;
}

}  // namespace

bool SplitWords(const std::string& line, std::vector<std::string>* words) {
    words->clear();
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::string word;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            if (line[i] == '"') {
                size_t close = line.find('"', i + 1);
                if (close == std::string::npos) return false;
                word += line.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                word += line[i++];
            }
        }
        words->push_back(word);
    }
    return true;
}

bool ParseScenario(const std::string& text, std::vector<ScenarioStep>* steps, std::string* error) {
    steps->clear();
    size_t start = 0;
    int lineNumber = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        // A file passed through more than one line-ending conversion may end
        // its lines in several carriage returns: none belongs to the last word.
        while (!line.empty() && line.back() == '\r') line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        auto fail = [&](const std::string& why) {
            *error = "line " + std::to_string(lineNumber) + ": " + why;
            return false;
        };

        ScenarioStep step;
        step.line = lineNumber;
        std::vector<std::string> words;
        if (!SplitWords(line, &words)) return fail("a quote is not closed");
        const std::string& lead = words[0];
        // The parsers read up to a NUL: a word holding one is no time.
        bool whole = lead.find('\0') == std::string::npos;
        if (lead[0] == '+') {
            if (!whole || !plat::ParseDuration(lead.c_str() + 1, &step.afterSeconds))
                return fail("'" + lead + "' is no duration (like +90s, +15m, +1h30m)");
            step.when = ScenarioStep::When::kAfter;
            words.erase(words.begin());
        } else if (!lead.empty() && lead[0] >= '0' && lead[0] <= '9') {
            if (!whole || !plat::ParseDeviceTime(lead.c_str(), &step.at))
                return fail("'" + lead + "' is no device time (YYYY-MM-DDTHH:MM:SS)");
            step.when = ScenarioStep::When::kAt;
            words.erase(words.begin());
        }
        if (words.empty()) return fail("a time without a step");
        std::string rest = line.substr(first);
        if (step.when != ScenarioStep::When::kNow) rest = rest.substr(rest.find_first_of(" \t"));
        step.text = rest.substr(rest.find_first_not_of(" \t"));
        if (words[0] == "expect") {
            size_t eq = words.size() == 2 ? words[1].find('=') : std::string::npos;
            if (eq == std::string::npos || eq == 0) return fail("expect takes one KEY=VALUE");
            step.expect = true;
            step.key = words[1].substr(0, eq);
            step.value = words[1].substr(eq + 1);
        } else {
            for (const char* banned : kNotSteps)
                if (words[0] == banned) return fail("'" + words[0] + "' cannot be a step of a scenario");
            if (!KnownCommand(words[0]))
                return fail("unknown console command '" + words[0] + "' (see tlwsim --help)");
            step.words = words;
        }
        steps->push_back(std::move(step));
    }
    return true;
}

}  // namespace sim
