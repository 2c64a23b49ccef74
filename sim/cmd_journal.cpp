// tlwsim journal DIR [--follow]: prints the device journal, one line per
// effect ("YYYY-MM-DDTHH:MM:SS program effect"), and with --follow keeps
// printing new lines as the device's programs add them.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <thread>

#include "platform/storage/journal.h"
#include "sim/command.h"

namespace {

// How often --follow looks for new lines.
constexpr std::chrono::milliseconds kFollowInterval{200};

void PrintLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

int RunJournal(const sim::CommandArgs& args) {
    bool follow = args.size() == 2 && args[1] == "--follow";
    if (args.empty() || args.size() > 2 || (args.size() == 2 && !follow)) return sim::Usage("journal");
    if (!sim::OpenDevice(args)) return 1;
    uint64_t offset = 0;
    PrintLines(plat::JournalReadFrom(&offset));
    while (follow) {
        std::this_thread::sleep_for(kFollowInterval);
        // A closed output (the reader went away) ends the command.
        if (std::ferror(stdout)) return 1;
        PrintLines(plat::JournalReadFrom(&offset));
    }
    return 0;
}

}  // namespace

TLW_SIM_COMMAND("journal", "DIR [--follow]",
                "Prints the device journal: one line per effect a program had outside the\n"
                "registry and the files (a sound played, a program started, a radio switched,\n"
                "a message sent to another program, ...), oldest first, as\n"
                "  YYYY-MM-DDTHH:MM:SS PROGRAM EFFECT\n"
                "with the device time of the effect.\n"
                "  --follow   keeps running and prints each new line as it is added, until\n"
                "             interrupted (Ctrl-C)",
                RunJournal);
