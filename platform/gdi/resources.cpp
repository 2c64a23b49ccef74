// The resource table of this process: every module's embedded files by type
// and name.
#include "platform/gdi/resources.h"

#include <mutex>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/kernel/last_error.h"

namespace plat {
namespace {

// One registered resource.
struct ResourceEntry {
    std::u16string module;          // module name as registered
    std::u16string type;            // type, normalised
    std::u16string name;            // name, normalised
    std::span<const uint8_t> data;  // the bytes (not owned)
};

// Every resource of the process, in registration order.
struct ResourceTable {
    std::mutex lock;                     // guards entries
    std::vector<ResourceEntry> entries;  // registered resources
};

ResourceTable& Table() {
    static ResourceTable table;
    return table;
}

// "#104" and "104" name the same numeric identifier.
std::u16string_view Normalise(std::u16string_view name) {
    if (name.size() > 1 && name[0] == u'#') {
        bool digits = true;
        for (char16_t c : name.substr(1)) digits = digits && c >= u'0' && c <= u'9';
        if (digits) return name.substr(1);
    }
    return name;
}

bool Matches(const ResourceEntry& e, std::u16string_view type, std::u16string_view name) {
    return tlw::EqualsNoCase(e.type, Normalise(type)) && tlw::EqualsNoCase(e.name, Normalise(name));
}

}  // namespace

bool RegisterResource(std::u16string_view module, std::u16string_view type, std::u16string_view name,
                      std::span<const uint8_t> bytes) {
    if (module.empty() || Normalise(type).empty() || Normalise(name).empty()) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    ResourceTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    for (const ResourceEntry& e : t.entries) {
        if (tlw::EqualsNoCase(e.module, module) && Matches(e, type, name)) {
            SetLastError(kErrorAlreadyExists);
            return false;
        }
    }
    t.entries.push_back(ResourceEntry{std::u16string(module), std::u16string(Normalise(type)),
                                      std::u16string(Normalise(name)), bytes});
    return true;
}

bool UnregisterResource(std::u16string_view module, std::u16string_view type, std::u16string_view name) {
    ResourceTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    for (auto it = t.entries.begin(); it != t.entries.end(); ++it) {
        if (tlw::EqualsNoCase(it->module, module) && Matches(*it, type, name)) {
            t.entries.erase(it);
            return true;
        }
    }
    SetLastError(kErrorResourceNotFound);
    return false;
}

bool LoadResourceBytes(std::u16string_view module, std::u16string_view type, std::u16string_view name,
                       std::span<const uint8_t>* out) {
    ResourceTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    for (const ResourceEntry& e : t.entries) {
        if (tlw::EqualsNoCase(e.module, module) && Matches(e, type, name)) {
            if (out) *out = e.data;
            return true;
        }
    }
    SetLastError(kErrorResourceNotFound);
    return false;
}

bool LoadResourceBytes(std::u16string_view type, std::u16string_view name, std::span<const uint8_t>* out) {
    ResourceTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    for (const ResourceEntry& e : t.entries) {
        if (Matches(e, type, name)) {
            if (out) *out = e.data;
            return true;
        }
    }
    SetLastError(kErrorResourceNotFound);
    return false;
}

ResourceRegistration::ResourceRegistration(const char16_t* module, const EmbeddedResource* table,
                                           std::size_t count)
    : module_(module), table_(table), count_(count) {
    for (std::size_t i = 0; i < count_; ++i)
        RegisterResource(module_, table_[i].type, table_[i].name, {table_[i].data, table_[i].size});
}

ResourceRegistration::~ResourceRegistration() {
    for (std::size_t i = 0; i < count_; ++i) UnregisterResource(module_, table_[i].type, table_[i].name);
}

}  // namespace plat
