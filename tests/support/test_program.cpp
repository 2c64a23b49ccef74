#include "support/test_program.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "platform/storage/device.h"
#include "platform/storage/paths.h"

namespace {

// The arguments this process was started with.
std::vector<std::string> OwnArguments() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\0', start);
        if (end == std::string::npos) end = all.size();
        args.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

}  // namespace

bool ActAsDeviceProgramWhenStartedAsOne() {
    const char* program = std::getenv("TLW_PROGRAM");
    if (!program) return false;
    const char* device = std::getenv("TLW_DEVICE");
    std::vector<std::string> args = OwnArguments();
    std::string line = args.size() > 1 ? args[1] : "";
    if (device) {
        std::ofstream out(std::filesystem::path(device) / "report.txt", std::ios::binary | std::ios::trunc);
        out << line << '\n' << device << '\n' << program << '\n';
    }
    if (line.rfind("exit ", 0) == 0) _exit(std::atoi(line.c_str() + 5));
    if (line.rfind("wait", 0) == 0)
        for (;;) pause();
    _exit(0);
}

bool LinkTestProgram(std::u16string_view devicePath) {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return false;
    std::filesystem::path link = plat::HostPath(devicePath);
    if (link.empty()) return false;
    std::filesystem::create_directories(link.parent_path(), ec);
    std::filesystem::remove(link, ec);
    std::filesystem::create_symlink(self, link, ec);
    return !ec;
}

bool ReadTestProgramReport(TestProgramReport* report) {
    std::ifstream in(plat::DeviceRoot() / "report.txt", std::ios::binary);
    if (!in) return false;
    std::getline(in, report->commandLine);
    std::getline(in, report->device);
    std::getline(in, report->program);
    return static_cast<bool>(in);
}
