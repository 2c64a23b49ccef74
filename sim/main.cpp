// tlwsim: the simulated phone's host and console.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/storage/device.h"
#include "sim/command.h"

namespace {

void PrintOverview() {
    std::printf("usage: tlwsim COMMAND DIR [ARGS...]\n\nThe simulated Windows CE phone in folder DIR.\n\nCommands:\n");
    std::vector<sim::Command> sorted = sim::Commands();
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return std::strcmp(a.name, b.name) < 0; });
    for (const sim::Command& c : sorted) std::printf("  %-8s %s\n", c.name, c.synopsis);
    std::printf("\n'tlwsim COMMAND --help' tells more of one command.\n");
}

}  // namespace

int main(int argc, char** argv) {
    plat::SetProgramName("tlwsim");
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "help")) {
        PrintOverview();
        return argc < 2 ? 2 : 0;
    }
    for (const sim::Command& c : sim::Commands()) {
        if (std::strcmp(c.name, argv[1]) != 0) continue;
        sim::CommandArgs args(argv + 2, argv + argc);
        if (std::find(args.begin(), args.end(), std::string("--help")) != args.end()) {
            std::printf("usage: tlwsim %s %s\n\n%s\n", c.name, c.synopsis, c.help);
            return 0;
        }
        return c.run(args);
    }
    std::fprintf(stderr, "tlwsim: unknown command '%s' (try tlwsim --help)\n", argv[1]);
    return 2;
}
