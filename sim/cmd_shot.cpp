// tlwsim shot DIR FILE.png: the phone's screen as it is now.
#include <cstdio>

#include "platform/gdi/png_save.h"
#include "platform/window/compositor.h"
#include "sim/command.h"
#include "sim/screen_flush.h"

namespace sim {
namespace {

int RunShot(const CommandArgs& args) {
    if (args.size() != 2 || args[1].empty()) return Usage("shot");
    if (!OpenDevice(args)) return 1;
    FlushScreen();
    plat::SurfaceImage screen;
    plat::ComposeScreen(&screen);
    if (!plat::SaveRgbPng(screen.width, screen.height, screen.pixels.data(), args[1]))
        return Fail("cannot write " + args[1]);
    std::printf("%s %dx%d\n", args[1].c_str(), screen.width, screen.height);
    return 0;
}

}  // namespace

TLW_SIM_COMMAND("shot", "DIR FILE.png",
                "Writes the phone's screen as it is now to FILE.png (a host path) and prints\n"
                "\"FILE WIDTHxHEIGHT\". The shell and every program first paint what waits\n"
                "for paint. The screen is the model's size, turned with the display; it is\n"
                "black while the device is not on (idle or suspended), and shows only the\n"
                "windows of running programs (nothing of the shell unless tlwsim boot runs).",
                RunShot);

}  // namespace sim
