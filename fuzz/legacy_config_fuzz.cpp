// Fuzz target: the older configuration layout's reader over arbitrary file
// content, read through its windows; the model's invariants must hold.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "common/config/defaults.h"
#include "common/config/legacy_config.h"
#include "platform/storage/device.h"

namespace {

// One temporary device for the whole run (the code page), removed at exit.
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

template <std::size_t N>
void CheckTerminated(const tlw::FixedString<N>& s) {
    if (s.Length() >= N) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzDevice device;
    static auto language = std::make_unique<tlw::LanguageTable>();
    std::string file(reinterpret_cast<const char*>(data), size);
    auto model = std::make_unique<tlw::ConfigModel>();
    tlw::ApplyDefaults(*model, *language, true);
    int windows = 0;
    tlw::ParseLegacyConfiguration(
        [&](uint64_t at) {
            // Every window starts further on than the one before it, so the
            // reader ends; a runaway read would show as a huge count.
            if (++windows > 100000) std::abort();
            return at >= file.size() ? std::string() : file.substr(at, tlw::kLegacyWindowBytes);
        },
        *model, *language);
    const tlw::ProfileTable& t = model->profiles;
    if (t.count < 1 || t.count > tlw::kMaxProfiles) std::abort();
    for (int i = 0; i < t.count; ++i) {
        const tlw::Profile& p = t.profiles[i];
        CheckTerminated(p.name);
        CheckTerminated(p.program);
        CheckTerminated(p.program_params);
        CheckTerminated(p.profile_icon);
        CheckTerminated(p.category);
        CheckTerminated(p.network_GUID);
        for (const auto& r : p.ringtone) CheckTerminated(r);
        for (const auto& time : p.time) CheckTerminated(time);
        if (p.eventType < 0 || p.eventType > 9) std::abort();
    }
    CheckTerminated(model->options.skin);
    CheckTerminated(model->options.voicemail);
    return 0;
}
