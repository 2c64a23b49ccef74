// Fuzz target: the scenario reader of `tlwsim play`. Any text either parses
// into steps or fails with one message naming its line; every parsed step
// reads again from its own text (without its time) into the same step, and
// the same text always gives the same answer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "sim/scenario.h"

namespace {

bool SameStep(const sim::ScenarioStep& a, const sim::ScenarioStep& b) {
    return a.expect == b.expect && a.words == b.words && a.key == b.key && a.value == b.value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<sim::ScenarioStep> steps;
    std::string error;
    bool ok = sim::ParseScenario(text, &steps, &error);
    std::vector<sim::ScenarioStep> again;
    std::string againError;
    if (sim::ParseScenario(text, &again, &againError) != ok || againError != error) std::abort();
    if (!ok) {
        if (error.rfind("line ", 0) != 0 || error.find('\n') != std::string::npos) std::abort();
        return 0;
    }
    if (!error.empty()) std::abort();
    int previousLine = 0;
    for (const sim::ScenarioStep& step : steps) {
        if (step.line <= previousLine || step.text.empty()) std::abort();
        previousLine = step.line;
        if (step.when == sim::ScenarioStep::When::kAfter && step.afterSeconds < 0) std::abort();
        if (step.expect ? step.key.empty() || !step.words.empty() : step.words.empty()) std::abort();
        std::vector<sim::ScenarioStep> alone;
        std::string aloneError;
        if (!sim::ParseScenario(step.text, &alone, &aloneError) || alone.size() != 1) std::abort();
        if (alone[0].when != sim::ScenarioStep::When::kNow || !SameStep(alone[0], step)) std::abort();
    }
    return 0;
}
