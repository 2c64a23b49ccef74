// Process test of the device host: tlwsim boot starts the shell and the
// engine from the Startup folder, tlwsim shot gives the taskbar and the
// Today screen, tlwsim windows lists them, and tlwsim halt ends every
// program, the host included.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/gdi/imaging.h"
#include "support/background_program.h"
#include "support/run_program.h"
#include "support/sim_device.h"

namespace {

bool Lists(const std::string& windows, const std::string& className) {
    return windows.find("\t" + className + "\t") != std::string::npos;
}

uint32_t PixelAt(const plat::ArgbImage& image, uint32_t x, uint32_t y) {
    const uint8_t* p = &image.pixels[(static_cast<size_t>(y) * image.width + x) * 4];
    return (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

TEST(BootProcessTest, BootShowsShellAndEngineAndHaltEndsEverything) {
    SimDevice device({"--time", "2010-01-04T10:42:00", "--frozen"});
    ASSERT_TRUE(device.Ready());
    BackgroundProgram host("tlwsim", {"boot", device.Dir()});
    std::string windows;
    ASSERT_TRUE(WaitUntil([&] {
        windows = TlwsimCommand("windows", device.Dir()).output;
        return Lists(windows, "HHTaskBar") && Lists(windows, "Tallowd");
    }, 20000)) << "windows:\n" << windows << "host:\n" << host.Output();
    EXPECT_NE(host.Output().find("startup \\Windows\\Tallowd.exe"), std::string::npos);
    EXPECT_TRUE(Lists(windows, "DesktopExplorerWindow"));
    EXPECT_TRUE(Lists(windows, "TlwMenuBar"));
    // Top to bottom: the bars above the Today screen.
    EXPECT_LT(windows.find("\tHHTaskBar\t"), windows.find("\tDesktopExplorerWindow\t"));
    EXPECT_NE(windows.find("\tToday\ttlwsim\t0,26,240,294\tvisible\tfocus"), std::string::npos) << windows;
    ProgramResult second = TlwsimCommand("boot", device.Dir(), {}, ErrorStream::kCaptured);
    EXPECT_EQ(second.exitCode, 1) << "one host per device";

    std::string shot = (device.Base() / "screen.png").string();
    ProgramResult r = TlwsimCommand("shot", device.Dir(), {shot});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.output, shot + " 240x320\n");
    std::ifstream in(shot, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    plat::ArgbImage image;
    ASSERT_EQ(plat::DecodePngAlways(bytes, &image), plat::ImagingResult::kOk);
    ASSERT_EQ(image.width, 240u);
    ASSERT_EQ(image.height, 320u);
    EXPECT_EQ(PixelAt(image, 2, 2), 0x103478u) << "the taskbar at the top";
    EXPECT_EQ(PixelAt(image, 2, 316), 0x103478u) << "the menu bar at the bottom";
    EXPECT_EQ(PixelAt(image, 120, 280), 0xFFFFFFu) << "the Today screen between them";
    // The date line has dark text on the wash.
    bool text = false;
    for (uint32_t x = 8; x < 200 && !text; ++x)
        for (uint32_t y = 28; y < 46 && !text; ++y) text = PixelAt(image, x, y) < 0x404040u;
    EXPECT_TRUE(text);

    r = TlwsimCommand("halt", device.Dir());
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("ended Tallowd"), std::string::npos);
    EXPECT_EQ(host.WaitForExit(20000), 0) << "the host ends with the halt";
    EXPECT_EQ(TlwsimCommand("windows", device.Dir()).output, "");
}

TEST(BootProcessTest, ConsoleRefusesBadInput) {
    SimDevice device;
    ASSERT_TRUE(device.Ready());
    EXPECT_EQ(TlwsimCommand("tap", device.Dir(), {"x", "3"}, ErrorStream::kCaptured).exitCode, 2);
    ProgramResult r = TlwsimCommand("tap", device.Dir(), {"10", "10"}, ErrorStream::kCaptured);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.errors.find("no window under 10,10"), std::string::npos) << r.errors;
    r = TlwsimCommand("key", device.Dir(), {"volume"}, ErrorStream::kCaptured);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.errors.find("unknown key 'volume'"), std::string::npos);
    r = TlwsimCommand("shot", device.Dir(), {"/nonexistent/folder/x.png"}, ErrorStream::kCaptured);
    EXPECT_EQ(r.exitCode, 1);
}

}  // namespace

namespace {

TEST(BootProcessTest, HostFiresWakeUpsAsTheRunningClockReachesThem) {
    // The engine's wake-up for the day profile's 07:00 slot is due at
    // 07:00:15; the clock runs from 06:59:58, so the host fires it about 17 s
    // later.
    SimDevice device({"--time", "2010-01-04T06:59:58"});
    ASSERT_TRUE(device.Ready());
    BackgroundProgram host("tlwsim", {"boot", device.Dir()});
    std::string journal;
    EXPECT_TRUE(WaitUntil([&] {
        journal = TlwsimCommand("journal", device.Dir()).output;
        return journal.find("start \\Windows\\Tallowd.exe 202") != std::string::npos;
    }, 60000)) << journal;
    EXPECT_EQ(TlwsimCommand("halt", device.Dir()).exitCode, 0);
    EXPECT_EQ(host.WaitForExit(20000), 0);
}

}  // namespace
