// tlwsim view DIR [--port N]: the running phone on a local web page.
#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "base/text.h"
#include "platform/gdi/png_save.h"
#include "platform/power/power_state.h"
#include "platform/window/compositor.h"
#include "sim/command.h"
#include "sim/hardware_facts.h"
#include "sim/input.h"
#include "sim/screen_flush.h"
#include "sim/view_page.h"

namespace sim {
namespace {

constexpr char kHelp[] =
    "Serves the phone in DIR on a web page at http://127.0.0.1:PORT/ (default port\n"
    "8240; --port 0 picks a free one) until interrupted. It listens on the local\n"
    "address only. The page shows the phone in a frame with its screen updating\n"
    "live; a click on the screen is a tap and a drag moves the stylus; the arrow\n"
    "keys, Enter (action), F1 and F2 (soft keys), F3 (talk), F4 (end), letters and\n"
    "the buttons under the screen are the phone's keys; beside it the hardware\n"
    "facts of tlwsim hw with switches for power, cradle, headset, call and cell.\n"
    "The device host should run (tlwsim boot DIR) for the shell to be seen.\n"
    "\n"
    "Requests: GET /screen.png (the screen; ?flush=1 paints first), POST\n"
    "/pen?kind=down|move|up&x=X&y=Y, /tap?x=X&y=Y, /key?name=KEY, /type?text=T,\n"
    "GET /hw, POST /hw?KEY=VALUE.";

constexpr int kDefaultPort = 8240;

// The serving process's device calls are made one at a time.
std::mutex g_deviceLock;

httplib::Server* g_server = nullptr;

void StopServing(int) {
    if (g_server) g_server->stop();
}

uint64_t Digest(const plat::SurfaceImage& image) {
    uint64_t h = 1469598103934665603ull;
    for (uint32_t p : image.pixels) h = (h ^ p) * 1099511628211ull;
    return h ^ (static_cast<uint64_t>(image.width) << 32) ^ static_cast<uint64_t>(image.height);
}

void Answer(httplib::Response& res, bool ok, const std::string& error) {
    res.status = ok ? 200 : 409;
    res.set_content(ok ? "ok\n" : error + "\n", "text/plain; charset=utf-8");
}

bool IntParam(const httplib::Request& req, const char* name, int32_t* out) {
    if (!req.has_param(name)) return false;
    std::string text = req.get_param_value(name);
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < -32768 || v > 32767) return false;
    *out = static_cast<int32_t>(v);
    return true;
}

std::string FactsText() {
    std::string text;
    bool power = false;
    for (const auto& [key, value] : ReadHardwareFacts()) {
        text += key + "=" + value + "\n";
        power = power || key == "power";
    }
    if (!power) {
        plat::PowerState state;
        if (plat::ReadPowerState(&state)) text += std::string("power=") + plat::DevicePowerName(state.power) + "\n";
    }
    return text;
}

bool HasFact(const std::string& key) {
    for (const HardwareFactInfo& f : HardwareFactTable())
        if (key == f.key) return true;
    return false;
}

void Serve(httplib::Server& server) {
    server.Get("/", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(kViewPage, "text/html; charset=utf-8");
    });
    server.Get("/screen.png", [](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard<std::mutex> guard(g_deviceLock);
        if (req.has_param("flush")) FlushScreen();
        plat::SurfaceImage screen;
        plat::ComposeScreen(&screen);
        char tag[32];
        std::snprintf(tag, sizeof tag, "\"%016llx\"", static_cast<unsigned long long>(Digest(screen)));
        res.set_header("Cache-Control", "no-store");
        res.set_header("ETag", tag);
        if (req.get_header_value("If-None-Match") == tag) {
            res.status = 304;
            return;
        }
        std::vector<uint8_t> png;
        if (!plat::EncodeRgbPng(screen.width, screen.height, screen.pixels.data(), &png)) {
            res.status = 500;
            return;
        }
        res.set_content(std::string(png.begin(), png.end()), "image/png");
    });
    server.Post("/pen", [](const httplib::Request& req, httplib::Response& res) {
        plat::Point p;
        std::string kind = req.get_param_value("kind");
        if (!IntParam(req, "x", &p.x) || !IntParam(req, "y", &p.y) ||
            (kind != "down" && kind != "move" && kind != "up"))
            return Answer(res, false, "give kind=down|move|up, x and y");
        std::lock_guard<std::mutex> guard(g_deviceLock);
        PenResult r = kind == "down" ? PenDown(p) : kind == "move" ? PenMove(p) : PenUp(p);
        Answer(res, r.delivered, r.error);
    });
    server.Post("/tap", [](const httplib::Request& req, httplib::Response& res) {
        plat::Point p;
        if (!IntParam(req, "x", &p.x) || !IntParam(req, "y", &p.y)) return Answer(res, false, "give x and y");
        std::lock_guard<std::mutex> guard(g_deviceLock);
        PenResult r = Tap(p);
        Answer(res, r.delivered, r.error);
    });
    server.Post("/key", [](const httplib::Request& req, httplib::Response& res) {
        uint32_t vk = KeyByName(req.get_param_value("name"));
        if (!vk) return Answer(res, false, "unknown key '" + req.get_param_value("name") + "'");
        std::lock_guard<std::mutex> guard(g_deviceLock);
        std::string error;
        bool ok = PressKey(vk, &error);
        Answer(res, ok, error);
    });
    server.Post("/type", [](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard<std::mutex> guard(g_deviceLock);
        std::string error;
        bool ok = TypeText(tlw::Utf8ToUtf16(req.get_param_value("text")), &error);
        Answer(res, ok, error);
    });
    server.Get("/hw", [](const httplib::Request&, httplib::Response& res) {
        std::lock_guard<std::mutex> guard(g_deviceLock);
        res.set_header("Cache-Control", "no-store");
        res.set_content(FactsText(), "text/plain; charset=utf-8");
    });
    server.Post("/hw", [](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard<std::mutex> guard(g_deviceLock);
        std::vector<FactChange> changes;
        for (const auto& [key, value] : req.params) {
            // The power key, when the facts do not carry it, is the power manager's.
            if (key == "power" && !HasFact("power")) {
                plat::DevicePower power;
                if (!plat::ParseDevicePower(value, &power) || !plat::SetDevicePower(power))
                    return Answer(res, false, "cannot set power=" + value);
                continue;
            }
            changes.emplace_back(key, value);
        }
        std::string error;
        bool ok = changes.empty() || ApplyHardwareFacts(changes, &error);
        Answer(res, ok, error);
    });
}

int RunView(const CommandArgs& args) {
    int port = kDefaultPort;
    if (args.size() == 3 && args[1] == "--port") {
        char* end = nullptr;
        long v = std::strtol(args[2].c_str(), &end, 10);
        if (args[2].empty() || *end != '\0' || v < 0 || v > 65535) return Usage("view");
        port = static_cast<int>(v);
    } else if (args.size() != 1) {
        return Usage("view");
    }
    if (!OpenDevice(args)) return 1;
    httplib::Server server;
    Serve(server);
    if (port == 0) port = server.bind_to_any_port("127.0.0.1");
    else if (!server.bind_to_port("127.0.0.1", port)) port = -1;
    if (port <= 0) return Fail("cannot listen on 127.0.0.1:" + args.back());
    g_server = &server;
    std::signal(SIGINT, StopServing);
    std::signal(SIGTERM, StopServing);
    std::printf("view of %s at http://127.0.0.1:%d/ (Ctrl-C ends it)\n", args[0].c_str(), port);
    std::fflush(stdout);
    bool ok = server.listen_after_bind();
    g_server = nullptr;
    return ok ? 0 : 1;
}

}  // namespace

TLW_SIM_COMMAND("view", "DIR [--port N]", kHelp, RunView);

}  // namespace sim
