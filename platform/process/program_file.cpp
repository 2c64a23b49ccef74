#include "platform/process/program_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

#include "platform/kernel/kernel_errors.h"
#include "platform/storage/paths.h"

namespace plat {

std::u16string ProgramDevicePath(std::u16string_view imageName) {
    std::u16string name(imageName);
    while (!name.empty() && name.front() == u' ') name.erase(name.begin());
    while (!name.empty() && name.back() == u' ') name.pop_back();
    if (name.size() >= 2 && name.front() == u'"' && name.back() == u'"') name = name.substr(1, name.size() - 2);
    for (char16_t& c : name)
        if (c == u'/') c = u'\\';
    if (name.empty()) return name;
    if (name.front() != u'\\') {
        name = name.find(u'\\') == std::u16string::npos ? JoinDevicePath(u"\\Windows", name) : u"\\" + name;
    }
    size_t slash = name.rfind(u'\\');
    if (name.find(u'.', slash + 1) == std::u16string::npos) name += u".exe";
    return name;
}

uint32_t FindProgramFile(std::u16string_view imageName, ProgramFile* out) {
    ProgramFile program;
    program.devicePath = ProgramDevicePath(imageName);
    if (program.devicePath.empty() || program.devicePath.back() == u'\\') return kErrorFileNotFound;
    program.hostFile = HostPath(program.devicePath);
    if (program.hostFile.empty()) return kErrorFileNotFound;
    struct stat info {};
    if (::lstat(program.hostFile.c_str(), &info) != 0) return kErrorFileNotFound;
    if (S_ISDIR(info.st_mode)) return kErrorAccessDenied;
    std::error_code ec;
    program.executable = std::filesystem::canonical(program.hostFile, ec);
    if (ec) return kErrorBadExeFormat;  // a link to a program not built (or removed)
    struct stat target {};
    if (::stat(program.executable.c_str(), &target) != 0 || !S_ISREG(target.st_mode) ||
        ::access(program.executable.c_str(), X_OK) != 0)
        return kErrorBadExeFormat;
    *out = std::move(program);
    return kErrorSuccess;
}

}  // namespace plat
