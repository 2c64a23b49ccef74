#include "sim/install_graphics.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "common/config/config_paths.h"
#include "base/text.h"
#include "platform/storage/file.h"

namespace sim {
namespace {

namespace fs = std::filesystem;

// Creates a device folder and every folder above it.
bool CreateFolders(std::u16string_view folder) {
    while (!folder.empty() && folder.back() == u'\\') folder.remove_suffix(1);
    for (std::size_t pos = folder.find(u'\\', 1);; pos = folder.find(u'\\', pos + 1)) {
        std::u16string_view part = folder.substr(0, pos);
        if (!plat::DirectoryExists(part) && !plat::CreateDirectory(part)) return false;
        if (pos == std::u16string_view::npos) return true;
    }
}

bool CopyIntoDevice(const fs::path& source, std::u16string_view target, std::string* error) {
    std::ifstream in(source, std::ios::binary);
    if (!in.is_open()) {
        *error = "cannot read " + source.string();
        return false;
    }
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    plat::File file;
    if (!file.Open(target, plat::kGenericWrite, plat::kShareNone, plat::kCreateAlways) ||
        !file.Write(bytes.data(), static_cast<uint32_t>(bytes.size()))) {
        *error = "cannot write " + tlw::Utf16ToUtf8(target) + " on the device";
        return false;
    }
    return true;
}

// Copies assetFolder/<sub>/<file> to deviceFolder + <sub> + "\" + <file> for
// every subfolder; returns the number of files copied, or -1 on an error.
int CopyTree(const fs::path& assetFolder, std::u16string_view deviceFolder, std::string* error) {
    std::error_code ec;
    std::vector<fs::path> subfolders;
    for (const fs::directory_entry& e : fs::directory_iterator(assetFolder, ec))
        if (e.is_directory()) subfolders.push_back(e.path());
    if (ec) {
        *error = "cannot read the asset folder " + assetFolder.string() + ": " + ec.message();
        return -1;
    }
    std::sort(subfolders.begin(), subfolders.end());
    int copied = 0;
    for (const fs::path& sub : subfolders) {
        std::u16string target = std::u16string(deviceFolder);
        if (!target.empty() && target.back() != u'\\') target.push_back(u'\\');
        target += tlw::Utf8ToUtf16(sub.filename().string());
        if (!CreateFolders(target)) {
            *error = "cannot create " + tlw::Utf16ToUtf8(target) + " on the device";
            return -1;
        }
        for (const fs::directory_entry& e : fs::directory_iterator(sub, ec)) {
            if (!e.is_regular_file()) continue;
            std::u16string file = target + u"\\" + tlw::Utf8ToUtf16(e.path().filename().string());
            if (!CopyIntoDevice(e.path(), file, error)) return -1;
            ++copied;
        }
    }
    return copied;
}

}  // namespace

bool InstallGraphicsAssets(std::string* error) {
    const fs::path assets(TLW_ASSET_DIR);
    const tlw::ConfigPaths paths = tlw::BuildConfigPaths();
    struct Tree {
        const char* assetFolder;     // below the asset folder
        std::u16string deviceFolder; // where its subfolders go
    };
    const Tree trees[] = {
        {"skins", paths.skinsFolder.Str()},
        {"icon_store", paths.iconStoreFolder.Str()},
    };
    for (const Tree& tree : trees) {
        int copied = CopyTree(assets / tree.assetFolder, tree.deviceFolder, error);
        if (copied < 0) return false;
        if (copied == 0) {
            *error = "no files in the asset folder " + (assets / tree.assetFolder).string();
            return false;
        }
    }
    return true;
}

}  // namespace sim
