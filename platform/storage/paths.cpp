#include "platform/storage/paths.h"

#include <sys/stat.h>

#include <system_error>

#include "base/text.h"
#include "platform/storage/device.h"

namespace plat {

std::u16string GetSpecialFolderPath(int folder) {
    switch (folder) {
    case kFolderPersonal: return u"\\My Documents";
    case kFolderStartup: return u"\\Windows\\StartUp";
    case kFolderAppData: return u"\\Application Data";
    case kFolderWindows: return u"\\Windows";
    default: return {};
    }
}

namespace {

// Finds the entry of folder whose name equals name without regard to case.
// Returns the stored spelling, or name itself when there is none.
std::string MatchEntry(const std::filesystem::path& folder, const std::u16string& name) {
    std::string utf8 = tlw::Utf16ToUtf8(name);
    std::error_code ec;
    if (std::filesystem::exists(folder / utf8, ec)) return utf8;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (tlw::EqualsNoCase(tlw::Utf8ToUtf16(entry), name)) return entry;
    }
    return utf8;
}

// The host path of a device path spelt exactly as on the host, when that
// path exists (one stat instead of a look-up per folder); empty otherwise.
// Empty too for a path HostPath refuses, which it then refuses itself.
std::filesystem::path ExactHostPath(const std::filesystem::path& root, std::u16string_view devicePath) {
    std::u16string relative;
    relative.reserve(devicePath.size());
    std::size_t i = 0;
    while (i <= devicePath.size()) {
        std::size_t end = devicePath.find_first_of(u"\\/", i);
        if (end == std::u16string_view::npos) end = devicePath.size();
        std::u16string_view part = devicePath.substr(i, end - i);
        i = end + 1;
        if (part.empty()) continue;
        if (part == u"." || part == u".." || part.find(u'\0') != std::u16string_view::npos) return {};
        if (relative.empty() && tlw::EqualsNoCase(part, u".device")) return {};
        if (!relative.empty()) relative += u'/';
        relative += part;
    }
    if (relative.empty()) return {};
    std::filesystem::path host = root / tlw::Utf16ToUtf8(relative);
    struct stat info {};
    if (::stat(host.c_str(), &info) != 0) return {};
    return host;
}

}  // namespace

std::filesystem::path HostPath(std::u16string_view devicePath) {
    const std::filesystem::path& root = DeviceRoot();
    if (root.empty()) return {};
    // Most paths are spelt as they are stored.
    if (std::filesystem::path exact = ExactHostPath(root, devicePath); !exact.empty()) return exact;
    std::filesystem::path host = root;
    bool exists = true;
    std::size_t i = 0;
    while (i <= devicePath.size()) {
        std::size_t end = devicePath.find_first_of(u"\\/", i);
        if (end == std::u16string_view::npos) end = devicePath.size();
        std::u16string part(devicePath.substr(i, end - i));
        i = end + 1;
        if (part.empty()) continue;
        if (part == u"." || part == u"..") return {};
        if (part.find(u'\0') != std::u16string::npos) return {};
        // The platform's own state is not part of the phone's file system.
        if (host == root && tlw::EqualsNoCase(part, u".device")) return {};
        if (exists) {
            std::string name = MatchEntry(host, part);
            host /= name;
            std::error_code ec;
            exists = std::filesystem::exists(host, ec);
        } else {
            host /= tlw::Utf16ToUtf8(part);
        }
    }
    return host;
}

std::u16string DevicePathOf(const std::filesystem::path& hostPath) {
    std::filesystem::path rel = hostPath.lexically_relative(DeviceRoot());
    std::u16string out;
    for (const auto& part : rel) {
        if (part == ".") continue;
        out += u"\\";
        out += tlw::Utf8ToUtf16(part.string());
    }
    return out.empty() ? u"\\" : out;
}

std::u16string JoinDevicePath(std::u16string_view folder, std::u16string_view name) {
    std::u16string out(folder);
    while (!out.empty() && out.back() == u'\\') out.pop_back();
    std::size_t skip = 0;
    while (skip < name.size() && name[skip] == u'\\') ++skip;
    out += u'\\';
    out += name.substr(skip);
    return out;
}

}  // namespace plat
