#include "platform/storage/paths.h"

#include <sys/stat.h>
#include <time.h>

#include <mutex>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

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

// The names of the folders a look-up went through, kept while a folder stays
// as it was: making, removing or renaming an entry moves the folder's
// modification and change times, so a folder whose times, inode and device
// are those of the listing still holds its names, and a look-up costs one
// stat instead of reading the whole folder.
struct FolderNames {
    dev_t device = 0;
    ino_t inode = 0;
    struct timespec modified {};
    struct timespec changed {};
    std::unordered_set<std::string> names;                     // every entry as stored
    std::unordered_map<std::u16string, std::string> byFolded;  // folded name -> first entry listed
};

struct FolderCache {
    std::mutex lock;
    std::unordered_map<std::string, FolderNames> folders;  // by host path
};

FolderCache& Folders() {
    static FolderCache* cache = new FolderCache;  // outlives every thread
    return *cache;
}

constexpr std::size_t kMaxCachedFolders = 64;

std::u16string Folded(std::u16string_view name) {
    std::u16string folded(name);
    for (char16_t& c : folded) c = tlw::FoldCase(c);
    return folded;
}

bool SameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool Before(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// Finds the entry of folder whose name equals name without regard to case:
// the exact spelling when it exists, else the first entry listed that
// matches. Returns whether there is one; *entry is its stored name, or name
// itself when there is none.
bool MatchEntry(const std::filesystem::path& folder, const std::u16string& name, std::string* entry) {
    *entry = tlw::Utf16ToUtf8(name);
    // The kernel stamps a folder's times from its coarse clock: a listing
    // begun on a later tick than the folder's last change sees every later
    // change move the times. One begun on the same tick is not kept.
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    std::u16string folded = Folded(name);
    FolderCache& cache = Folders();
    std::lock_guard<std::mutex> guard(cache.lock);
    auto it = cache.folders.find(folder.native());
    if (it == cache.folders.end() || it->second.device != info.st_dev || it->second.inode != info.st_ino ||
        !SameTime(it->second.modified, info.st_mtim) || !SameTime(it->second.changed, info.st_ctim)) {
        FolderNames listed;
        listed.device = info.st_dev;
        listed.inode = info.st_ino;
        listed.modified = info.st_mtim;
        listed.changed = info.st_ctim;
        std::error_code ec;
        for (std::filesystem::directory_iterator at(folder, ec), end; !ec && at != end; at.increment(ec)) {
            std::string stored = at->path().filename().string();
            listed.byFolded.emplace(Folded(tlw::Utf8ToUtf16(stored)), stored);
            listed.names.insert(std::move(stored));
        }
        if (ec) return false;
        bool settled = Before(info.st_mtim, now) && Before(info.st_ctim, now);
        if (!settled) {
            if (it != cache.folders.end()) cache.folders.erase(it);
            if (listed.names.count(*entry)) return true;
            auto match = listed.byFolded.find(folded);
            if (match == listed.byFolded.end()) return false;
            *entry = match->second;
            return true;
        }
        if (cache.folders.size() >= kMaxCachedFolders) cache.folders.clear();
        it = cache.folders.insert_or_assign(folder.native(), std::move(listed)).first;
    }
    const FolderNames& names = it->second;
    if (names.names.count(*entry)) return true;
    auto match = names.byFolded.find(folded);
    if (match == names.byFolded.end()) return false;
    *entry = match->second;
    return true;
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
            std::string name;
            exists = MatchEntry(host, part, &name);
            host /= name;
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
