// tlwsim tap, key and type: stylus and keys on the running phone.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "base/text.h"
#include "sim/command.h"
#include "sim/input.h"

namespace sim {
namespace {

bool ParseCoordinate(const std::string& text, int32_t* out) {
    if (text.empty()) return false;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < -32768 || v > 32767) return false;
    *out = static_cast<int32_t>(v);
    return true;
}

int RunTap(const CommandArgs& args) {
    plat::Point p;
    if (args.size() != 3 || !ParseCoordinate(args[1], &p.x) || !ParseCoordinate(args[2], &p.y)) return Usage("tap");
    if (!OpenDevice(args)) return 1;
    PenResult r = Tap(p);
    if (!r.delivered) return Fail("tap not delivered: " + r.error);
    return 0;
}

// A finger moving from one point to another: pen down at the start, a move
// every 10 pixels of the way (at least one), pen up at the end, each step
// a pause of MS milliseconds of real time after the one before, as a finger
// moves (the faster, the more momentum a list takes from it).
int RunDrag(const CommandArgs& args) {
    plat::Point from, to;
    int32_t pause = 15;
    if ((args.size() != 5 && args.size() != 6) || !ParseCoordinate(args[1], &from.x) ||
        !ParseCoordinate(args[2], &from.y) || !ParseCoordinate(args[3], &to.x) || !ParseCoordinate(args[4], &to.y) ||
        (args.size() == 6 && (!ParseCoordinate(args[5], &pause) || pause < 0 || pause > 2000)))
        return Usage("drag");
    if (!OpenDevice(args)) return 1;
    PenResult r = PenDown(from);
    if (!r.delivered) return Fail("drag not delivered: " + r.error);
    int32_t distance = std::max(std::abs(to.x - from.x), std::abs(to.y - from.y));
    int32_t steps = std::max(1, distance / 10);
    for (int32_t i = 1; i <= steps; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        plat::Point p{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        r = PenMove(p);
        if (!r.delivered) return Fail("drag not delivered: " + r.error);
    }
    r = PenUp(to);
    if (!r.delivered) return Fail("drag not delivered: " + r.error);
    return 0;
}

int RunKey(const CommandArgs& args) {
    if (args.size() != 2) return Usage("key");
    uint32_t vk = KeyByName(args[1]);
    if (!vk) return Fail("unknown key '" + args[1] + "' (see tlwsim key --help)");
    if (!OpenDevice(args)) return 1;
    std::string error;
    if (!PressKey(vk, &error)) return Fail("key not delivered: " + error);
    return 0;
}

int RunType(const CommandArgs& args) {
    if (args.size() != 2) return Usage("type");
    if (!OpenDevice(args)) return 1;
    std::string error;
    if (!TypeText(tlw::Utf8ToUtf16(args[1]), &error)) return Fail("text not delivered: " + error);
    return 0;
}

}  // namespace

TLW_SIM_COMMAND("tap", "DIR X Y",
                "Taps the screen at X,Y (screen pixels): pen down and up to the window that\n"
                "holds the stylus capture, else to the window under the point, in its client\n"
                "coordinates; the tapped window's top-level window comes to the front. Fails\n"
                "when the point is off the screen, the screen is dark, or no window is there.",
                RunTap);
TLW_SIM_COMMAND("drag", "DIR X1 Y1 X2 Y2 [MS]",
                "Drags the stylus from X1,Y1 to X2,Y2: pen down, a move every 10 pixels of\n"
                "the way, pen up, MS milliseconds (default 15) between steps. The events go\n"
                "where tap sends them (the capture window first). A quick drag on a list\n"
                "flings it.",
                RunDrag);
TLW_SIM_COMMAND("key", "DIR KEY",
                "Presses and releases a key of the phone: up, down, left, right, action,\n"
                "softkey1, softkey2, talk, end, back, space, enter, escape, or one letter or\n"
                "digit. Keys go to the focus window (else the foreground window); an open\n"
                "soft-key popup takes them first; the soft keys act on the menu bar; end also\n"
                "returns to the Today screen.",
                RunKey);
TLW_SIM_COMMAND("type", "DIR TEXT",
                "Types TEXT: one character message (WM_CHAR) per character to the focus\n"
                "window (else the foreground window).",
                RunType);

}  // namespace sim
