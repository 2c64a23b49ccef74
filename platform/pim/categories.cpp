// The calendar's category list, kept in the device store (tables categories
// and category_list).
#include "platform/pim/categories.h"

#include <filesystem>
#include <fstream>

#include "base/text.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/device.h"
#include "platform/storage/device_store.h"

namespace plat {
namespace {

const char16_t* const kDefaults[] = {u"Business", u"Holiday", u"Personal"};

std::u16string Folded(std::u16string_view name) {
    std::u16string folded(name);
    for (char16_t& c : folded) c = tlw::FoldCase(c);
    return folded;
}

bool ValidName(std::u16string_view name) {
    return !name.empty() && name.size() <= kMaxCategoryName &&
           name.find_first_of(u",\r\n") == std::u16string_view::npos;
}

// Whether the list was ever changed (else the defaults stand).
uint32_t Changed(store::Transaction& t, bool* changed) {
    store::Query q(t, "SELECT 1 FROM category_list WHERE id = 1");
    *changed = q.Next();
    return q.Error();
}

uint32_t Append(store::Transaction& t, std::u16string_view name) {
    store::Query q(t, "INSERT INTO categories (name, folded) VALUES (?1, ?2)");
    q.Bind(1, name).Bind(2, Folded(name));
    return q.Run();
}

// Makes the list the device's own (the defaults written out) before its first
// change.
uint32_t Own(store::Transaction& t, const std::vector<std::u16string>& names) {
    for (const std::u16string& name : names)
        if (uint32_t error = Append(t, name); error != kErrorSuccess) return error;
    return store::Query(t, "INSERT OR IGNORE INTO category_list (id) VALUES (1)").Run();
}

uint32_t Load(store::Transaction& t, std::vector<std::u16string>* names) {
    names->clear();
    bool changed = false;
    if (uint32_t error = Changed(t, &changed); error != kErrorSuccess) return error;
    if (!changed) {
        for (const char16_t* name : kDefaults) names->push_back(name);
        return kErrorSuccess;
    }
    store::Query q(t, "SELECT name FROM categories ORDER BY seq");
    while (q.Next()) names->push_back(q.Text16(0));
    return q.Error();
}

// A device made before the list moved into the store kept it in
// ".device/categories", one UTF-8 name a line: it is taken over once (unless
// the store has a list of its own already) and the file removed after.
void AdoptListFile() {
    if (DeviceRoot().empty()) return;
    std::filesystem::path path = DeviceStateDir() / "categories";
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return;
    std::vector<std::u16string> names;
    {
        std::ifstream in(path, std::ios::binary);
        if (!in) return;
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            std::u16string name = tlw::Utf8ToUtf16(line);
            if (!ValidName(name)) continue;
            bool duplicate = false;
            for (const std::u16string& kept : names) duplicate = duplicate || tlw::EqualsNoCase(kept, name);
            if (!duplicate) names.push_back(std::move(name));
        }
    }
    uint32_t error = store::Write([&](store::Transaction& t) -> uint32_t {
        bool changed = false;
        if (uint32_t failed = Changed(t, &changed); failed != kErrorSuccess) return failed;
        return changed ? kErrorSuccess : Own(t, names);
    });
    if (error == kErrorSuccess) std::filesystem::remove(path, ec);  // kept when it could not be taken over
}

// True on success, else false with the last error set.
bool Succeeded(uint32_t error) {
    if (error == kErrorSuccess) return true;
    SetLastError(error);
    return false;
}

}  // namespace

bool ReadCategoryDatabase(std::u16string_view volume, std::u16string_view database,
                          std::vector<std::u16string>* names) {
    if (!tlw::EqualsNoCase(volume, kPimVolume) || !tlw::EqualsNoCase(database, kCategoryDatabase)) {
        SetLastError(kErrorFileNotFound);
        return false;
    }
    AdoptListFile();
    std::vector<std::u16string> read;
    uint32_t error = store::Read([&](store::Transaction& t) { return Load(t, &read); });
    if (!Succeeded(error)) return false;
    *names = std::move(read);
    return true;
}

std::vector<std::u16string> CalendarCategories() {
    std::vector<std::u16string> names;
    ReadCategoryDatabase(kPimVolume, kCategoryDatabase, &names);
    return names;
}

bool AddCalendarCategory(std::u16string_view name) {
    if (!ValidName(name)) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    AdoptListFile();
    uint32_t error = store::Write([&](store::Transaction& t) -> uint32_t {
        std::vector<std::u16string> names;
        if (uint32_t failed = Load(t, &names); failed != kErrorSuccess) return failed;
        for (const std::u16string& existing : names)
            if (tlw::EqualsNoCase(existing, name)) return kErrorAlreadyExists;
        bool changed = false;
        if (uint32_t failed = Changed(t, &changed); failed != kErrorSuccess) return failed;
        if (!changed)
            if (uint32_t failed = Own(t, names); failed != kErrorSuccess) return failed;
        return Append(t, name);
    });
    return Succeeded(error);
}

bool RemoveCalendarCategory(std::u16string_view name) {
    AdoptListFile();
    uint32_t error = store::Write([&](store::Transaction& t) -> uint32_t {
        std::vector<std::u16string> names;
        if (uint32_t failed = Load(t, &names); failed != kErrorSuccess) return failed;
        bool changed = false;
        if (uint32_t failed = Changed(t, &changed); failed != kErrorSuccess) return failed;
        if (!changed)
            if (uint32_t failed = Own(t, names); failed != kErrorSuccess) return failed;
        store::Query q(t, "DELETE FROM categories WHERE folded = ?1");
        q.Bind(1, Folded(name));
        if (uint32_t failed = q.Run(); failed != kErrorSuccess) return failed;
        return t.Changes() > 0 ? kErrorSuccess : kErrorFileNotFound;
    });
    return Succeeded(error);
}

}  // namespace plat
