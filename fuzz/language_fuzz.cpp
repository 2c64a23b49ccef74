// Fuzz target: the language loader over arbitrary file content, selecting
// one of the first four sections (chosen by the first byte).
//
// The tables live for the whole run and are reset per input (the profile
// table is megabytes: allocating and clearing it per input took most of the
// run's time), and the device folder is on a RAM-backed file system where
// there is one, so that the loader's own work is what the run measures.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "common/config/language_file.h"
#include "platform/storage/device.h"

namespace {

// One temporary device for the whole run, removed at exit.
struct FuzzDevice {
    std::filesystem::path root;  // the device folder
    FuzzDevice() {
        std::error_code ec;
        std::string pattern = std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm/tlw-fuzz-XXXXXX" : "/tmp/tlw-fuzz-XXXXXX";
        root = mkdtemp(pattern.data());
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
    static auto language = std::make_unique<tlw::LanguageTable>();
    static auto profiles = std::make_unique<tlw::ProfileTable>();
    // What the loader reads and writes: every text, the count, and the names
    // of the five default slots it fills when empty.
    for (auto& slot : language->text) slot.Clear();
    language->languageCount = 0;
    for (int i = 0; i < 5; ++i) profiles->profiles[i].name.Clear();
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
