// The calendar's category list, one UTF-8 name a line.
#include "platform/pim/categories.h"

#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include "base/text.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/device.h"
#include "platform/storage/device_lock.h"

namespace plat {
namespace {

const char16_t* const kDefaults[] = {u"Business", u"Holiday", u"Personal"};

std::filesystem::path ListPath() { return DeviceStateDir() / "categories"; }

bool Load(std::vector<std::u16string>* names) {
    names->clear();
    std::error_code ec;
    if (!std::filesystem::exists(ListPath(), ec)) {
        for (const char16_t* name : kDefaults) names->push_back(name);
        return true;
    }
    std::ifstream in(ListPath(), std::ios::binary);
    if (!in) {
        SetLastError(kErrorFileNotFound);
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) names->push_back(tlw::Utf8ToUtf16(line));
    }
    return true;
}

bool Save(const std::vector<std::u16string>& names) {
    std::filesystem::path temp = ListPath();
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        for (const std::u16string& name : names) out << tlw::Utf16ToUtf8(name) << '\n';
        if (!out.flush()) {
            SetLastError(kErrorDiskFull);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, ListPath(), ec);
    if (ec) {
        SetLastError(kErrorDiskFull);
        return false;
    }
    return true;
}

bool ValidName(std::u16string_view name) {
    return !name.empty() && name.size() <= kMaxCategoryName &&
           name.find_first_of(u",\r\n") == std::u16string_view::npos;
}

}  // namespace

bool ReadCategoryDatabase(std::u16string_view volume, std::u16string_view database,
                          std::vector<std::u16string>* names) {
    if (!tlw::EqualsNoCase(volume, kPimVolume) || !tlw::EqualsNoCase(database, kCategoryDatabase)) {
        SetLastError(kErrorFileNotFound);
        return false;
    }
    DeviceLock lock("categories");
    return Load(names);
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
    DeviceLock lock("categories");
    std::vector<std::u16string> names;
    if (!Load(&names)) return false;
    for (const std::u16string& existing : names)
        if (tlw::EqualsNoCase(existing, name)) {
            SetLastError(kErrorAlreadyExists);
            return false;
        }
    names.emplace_back(name);
    return Save(names);
}

bool RemoveCalendarCategory(std::u16string_view name) {
    DeviceLock lock("categories");
    std::vector<std::u16string> names;
    if (!Load(&names)) return false;
    for (auto it = names.begin(); it != names.end(); ++it)
        if (tlw::EqualsNoCase(*it, name)) {
            names.erase(it);
            return Save(names);
        }
    SetLastError(kErrorFileNotFound);
    return false;
}

}  // namespace plat
