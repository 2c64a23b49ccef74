// tlwsim windows DIR: the device's windows, top to bottom.
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "base/text.h"
#include "platform/process/toolhelp.h"
#include "platform/window/compositor.h"
#include "platform/window/window_order.h"
#include "sim/command.h"

namespace sim {
namespace {

constexpr char kHelp[] =
    "Lists every window of the device, one line a window, top to bottom in the\n"
    "order the screen stacks them (a child window above its parent), with these\n"
    "fields separated by tabs:\n"
    "  HANDLE  CLASS  TITLE  PROGRAM  LEFT,TOP,RIGHT,BOTTOM  visible|hidden  focus|-\n"
    "HANDLE is hexadecimal (0x...), PROGRAM the owner's program file name, the\n"
    "rectangle in screen pixels (right and bottom exclusive), `focus` marks the\n"
    "window that receives keys. A script finds a window by its class and taps\n"
    "its centre with tlwsim tap.";

// The program file names of the device's processes.
std::map<uint32_t, std::string> ProgramNames() {
    std::map<uint32_t, std::string> names;
    plat::Handle snapshot = plat::CreateToolhelp32Snapshot(plat::kTh32csSnapProcess, 0);
    plat::ProcessEntry32 entry;
    for (bool more = plat::Process32First(snapshot, &entry); more; more = plat::Process32Next(snapshot, &entry))
        names[entry.processId] = tlw::Utf16ToUtf8(entry.exeFile);
    plat::CloseToolhelp32Snapshot(snapshot);
    return names;
}

// A process that is not a device program (the device host): its host name.
std::string HostName(int32_t pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name.empty() ? "?" : name;
}

std::string OneLine(std::u16string text) {
    for (char16_t& c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r') c = u' ';
    return tlw::Utf16ToUtf8(text);
}

int RunWindows(const CommandArgs& args) {
    if (args.size() != 1) return Usage("windows");
    if (!OpenDevice(args)) return 1;
    std::map<uint32_t, std::string> programs = ProgramNames();
    plat::Hwnd focus = plat::GetFocus();
    for (const plat::StackEntry& e : plat::ListWindowStack()) {
        auto it = programs.find(static_cast<uint32_t>(e.pid));
        std::string program = it != programs.end() && !it->second.empty() ? it->second : HostName(e.pid);
        std::printf("0x%016" PRIx64 "\t%s\t%s\t%s\t%d,%d,%d,%d\t%s\t%s\n", e.hwnd.value, OneLine(e.className).c_str(),
                    OneLine(e.title).c_str(), program.c_str(), e.screen.left, e.screen.top, e.screen.right,
                    e.screen.bottom, e.visible ? "visible" : "hidden", e.hwnd == focus ? "focus" : "-");
    }
    return 0;
}

}  // namespace

TLW_SIM_COMMAND("windows", "DIR", kHelp, RunWindows);

}  // namespace sim
