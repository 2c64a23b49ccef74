#include "sim/install_language.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/config/config_paths.h"
#include "base/text.h"
#include "platform/storage/code_page.h"
#include "platform/storage/file.h"

namespace sim {
namespace {

// The code page the shipped file is written in.
constexpr unsigned kAssetCodePage = 1252;

bool CreateFolders(std::u16string_view filePath) {
    // Every folder on the way, from the root down.
    for (size_t pos = filePath.find(u'\\', 1); pos != std::u16string_view::npos; pos = filePath.find(u'\\', pos + 1)) {
        std::u16string_view folder = filePath.substr(0, pos);
        if (!plat::DirectoryExists(folder) && !plat::CreateDirectory(folder)) return false;
    }
    return true;
}

}  // namespace

bool InstallLanguageFile(std::string* error) {
    std::filesystem::path source = std::filesystem::path(TLW_ASSET_DIR) / "Language.ini";
    std::ifstream in(source, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in || text.str().empty()) {
        *error = "cannot read the language file " + source.string();
        return false;
    }
    std::string bytes = text.str();
    if (plat::AnsiCodePage() != kAssetCodePage)
        bytes = plat::WideToAnsi(plat::AnsiToWide(bytes, kAssetCodePage), plat::AnsiCodePage());

    std::u16string target = tlw::BuildConfigPaths().languageFile.Str();
    plat::File file;
    if (!CreateFolders(target) ||
        !file.Open(target, plat::kGenericWrite, plat::kShareNone, plat::kCreateAlways) ||
        !file.Write(bytes.data(), static_cast<uint32_t>(bytes.size()))) {
        *error = "cannot write the language file " + tlw::Utf16ToUtf8(target) + " on the device";
        return false;
    }
    return true;
}

}  // namespace sim
