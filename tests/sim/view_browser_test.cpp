// The live view in a real browser: headless Chromium loads the page of a
// booted phone, a click on the page's screen reaches the phone as a tap
// (seen in the journal), and the screen the page shows is the screen that
// tlwsim shot writes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "platform/gdi/imaging.h"
#include "support/background_program.h"
#include "support/run_program.h"
#include "support/sim_device.h"

namespace {

// The browser of the machine's Debian package, empty when there is none.
std::string FindChromium() {
    for (const char* path : {"/usr/bin/chromium", "/usr/bin/chromium-browser"})
        if (access(path, X_OK) == 0) return path;
    return {};
}

bool ReadPng(const std::string& path, plat::ArgbImage* image) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return !bytes.empty() && plat::DecodePngAlways(bytes, image) == plat::ImagingResult::kOk;
}

// Colour bytes only (the page's canvas gives alpha 255 everywhere).
std::vector<uint8_t> Rgb(const plat::ArgbImage& image) {
    std::vector<uint8_t> rgb;
    for (size_t i = 0; i + 3 < image.pixels.size(); i += 4) rgb.insert(rgb.end(), &image.pixels[i], &image.pixels[i + 3]);
    return rgb;
}

std::string Quoted(const std::string& text) {
    std::string q = "'";
    for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

TEST(ViewBrowserTest, ClickOnThePageTapsThePhoneAndThePageShowsItsScreen) {
    std::string chromium = FindChromium();
    if (chromium.empty())
        GTEST_SKIP() << "no browser on this machine: Debian's chromium package (scripts/install-deps installs it)";
    SimDevice device({"--time", "2010-01-04T10:42:00", "--frozen"});
    ASSERT_TRUE(device.Ready());
    BackgroundProgram host("tlwsim", {"boot", device.Dir()});
    ASSERT_TRUE(WaitUntil([&] { return host.Output().find("device host running") != std::string::npos; }, 20000));
    BackgroundProgram view("tlwsim", {"view", device.Dir(), "--port", "0"});
    std::smatch m;
    std::string line;
    ASSERT_TRUE(WaitUntil([&] {
        line = view.Output();
        return std::regex_search(line, m, std::regex("http://127\\.0\\.0\\.1:([0-9]+)/"));
    }, 20000)) << "the view did not start: " << line;
    std::string url = m[0];

    std::string pagePng = (device.Base() / "page.png").string();
    std::string command = "python3 " + Quoted(std::string(TLW_TEST_DATA) + "/drive_view.py") + " " +
                          Quoted(chromium) + " " + Quoted(url) + " 120 200 " + Quoted(pagePng);
    ASSERT_EQ(std::system(command.c_str()), 0) << "the browser did not drive the page: " << command;

    // The click reached the Today screen as a tap at that point.
    std::string journal = TlwsimCommand("journal", device.Dir()).output;
    EXPECT_NE(journal.find("pen down 120,200 on DesktopExplorerWindow at 120,174"), std::string::npos) << journal;

    std::string shotPng = (device.Base() / "shot.png").string();
    ASSERT_EQ(TlwsimCommand("shot", device.Dir(), {shotPng}).exitCode, 0);
    plat::ArgbImage page, shot;
    ASSERT_TRUE(ReadPng(pagePng, &page));
    ASSERT_TRUE(ReadPng(shotPng, &shot));
    EXPECT_EQ(page.width, shot.width);
    EXPECT_EQ(page.height, shot.height);
    EXPECT_TRUE(Rgb(page) == Rgb(shot)) << "the page's screen differs from tlwsim shot";

    EXPECT_EQ(TlwsimCommand("halt", device.Dir()).exitCode, 0);
}

}  // namespace
