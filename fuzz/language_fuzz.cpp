// Fuzz target: the language loader over arbitrary file content, selecting
// one of the first four sections (chosen by the first byte).
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "common/config/language_file.h"
#include "platform/storage/device.h"

namespace {

// One temporary device for the whole run, removed at exit.
struct FuzzDevice {
    std::filesystem::path root;  // the device folder
    FuzzDevice() {
        char pattern[] = "/tmp/tlw-fuzz-XXXXXX";
        root = mkdtemp(pattern);
        std::filesystem::create_directories(root / ".device");
        plat::SetDevice(root);
    }
    ~FuzzDevice() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzDevice device;
    {
        std::ofstream out(device.root / "Language.ini", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    auto language = std::make_unique<tlw::LanguageTable>();
    auto profiles = std::make_unique<tlw::ProfileTable>();
    tlw::Options options;
    options.language = size > 0 ? data[0] % 4 : 0;
    tlw::LoadLanguageFile(u"\\Language.ini", *profiles, *language, options);
    if (language->languageCount < 0) std::abort();
    for (const auto& slot : language->text)
        if (slot.Length() >= tlw::kLanguageTextCapacity) std::abort();
    for (int i = 0; i < 5; ++i)
        if (profiles->profiles[i].name.View() != language->text[tlw::kTextDefaultProfileName + i].View().substr(0, 19))
            std::abort();
    return 0;
}
