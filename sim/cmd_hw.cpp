// tlwsim hw DIR [KEY=VALUE ...]: prints or changes the simulated hardware.
#include <cstdio>
#include <string>
#include <vector>

#include "sim/command.h"
#include "sim/hardware_facts.h"

namespace {

int RunHw(const sim::CommandArgs& args) {
    if (args.empty()) return sim::Usage("hw");
    std::vector<sim::FactChange> changes;
    std::string error;
    if (!sim::ParseFactArguments(std::vector<std::string>(args.begin() + 1, args.end()), &changes, &error))
        return sim::Fail(error);
    if (!sim::OpenDevice(args)) return 1;
    if (changes.empty()) {
        for (const auto& [key, value] : sim::ReadHardwareFacts()) std::printf("%s=%s\n", key.c_str(), value.c_str());
        return 0;
    }
    if (!sim::ApplyHardwareFacts(changes, &error)) return sim::Fail(error);
    return 0;
}

std::string HelpText() {
    std::string text =
        "Without KEY=VALUE, prints every hardware fact as one key=value line. With\n"
        "them, changes the facts in the order given; an unknown key or a bad value is\n"
        "refused and then nothing changes. Facts the device model has no hardware\n"
        "for print as 'absent' and cannot be changed. Switches take on|off (or 1|0).\n\nKeys:\n";
    for (const sim::HardwareFactInfo& f : sim::HardwareFactTable()) {
        std::string left = std::string("  ") + f.key + "=" + f.values;
        if (left.size() < 30) left.resize(30, ' ');
        else left += "  ";
        text += left + f.description + "\n";
    }
    text.pop_back();
    return text;
}

const std::string& Help() {
    static const std::string help = HelpText();
    return help;
}

const bool g_registered = sim::RegisterCommand({"hw", "DIR [KEY=VALUE ...]", Help().c_str(), &RunHw});

}  // namespace
