// Fuzz target: the configuration reader over arbitrary file content.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "common/config/config_file.h"
#include "platform/storage/device.h"
#include "platform/storage/file.h"
#include "platform/storage/paths.h"

namespace {

// One temporary device for the whole run, removed at exit. It lives in
// memory (/dev/shm) where the machine has it: every input is written, read,
// saved and read again through the file layer.
struct FuzzDevice {
    std::filesystem::path root;
    FuzzDevice() {
        std::error_code ec;
        std::string pattern = std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm/tlw-fuzz-XXXXXX" : "/tmp/tlw-fuzz-XXXXXX";
        root = mkdtemp(pattern.data());
        std::filesystem::create_directories(root / ".device");
        std::filesystem::create_directories(root / "My Documents" / "Korvel");
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
    static auto language = std::make_unique<tlw::LanguageTable>();
    static auto model = std::make_unique<tlw::ConfigModel>();
    {
        std::ofstream out(device.root / "My Documents" / "Korvel" / "Tallowd.ini", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    tlw::ReadConfiguration(false, *model, *language);
    if (model->profiles.count < 0 || model->profiles.count > tlw::kMaxProfiles) std::abort();
    if (model->locations.count < 0 || model->locations.count > tlw::kMaxLocations) std::abort();
    // Whatever was read must write and read back to the same model.
    std::string once = tlw::FormatConfiguration(*model, *language);
    tlw::WriteConfiguration(false, "", *model, *language);
    auto again = std::make_unique<tlw::ConfigModel>();
    tlw::ReadConfiguration(false, *again, *language);
    if (tlw::FormatConfiguration(*again, *language) != once) std::abort();
    return 0;
}
