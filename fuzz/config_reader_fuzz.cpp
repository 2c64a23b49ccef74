// Fuzz target: the configuration reader over arbitrary file content. The
// content is read from memory with the same line reader the file uses, so
// that a run takes thousands of inputs a second; whatever was read must
// format, read back and format again to the same text.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "common/config/config_file.h"
#include "platform/storage/device.h"

namespace {

// One temporary device for the whole run, removed at exit: the reader takes
// its default folders from it. Nothing is written to it per input.
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
    static auto again = std::make_unique<tlw::ConfigModel>();
    std::string_view content(reinterpret_cast<const char*>(data), size);
    tlw::ReadConfigurationText(content, *model, *language);
    if (model->profiles.count < 0 || model->profiles.count > tlw::kMaxProfiles) std::abort();
    if (model->locations.count < 0 || model->locations.count > tlw::kMaxLocations) std::abort();
    std::string once = tlw::FormatConfiguration(*model, *language);
    // The writer's text always carries the marker, whatever the input held.
    if (!tlw::ReadConfigurationText(once, *again, *language)) std::abort();
    if (tlw::FormatConfiguration(*again, *language) != once) std::abort();
    return 0;
}
