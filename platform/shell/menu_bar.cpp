// Menu bars kept in the device's window database, one text record per
// window: a line per key ("K", side, command, label) and per popup entry
// ("E", side, command, flags, text), fields separated by tabs.
#include "platform/shell/menu_bar.h"


#include <sstream>

#include "base/text.h"
#include "platform/kernel/last_error.h"
#include "platform/process/process_liveness.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "platform/window/window_db.h"
#include "platform/window/window_state.h"

namespace plat {
namespace {

// Text as it goes into a record: no tabs or line ends, at most the capacity.
std::string Field(const std::u16string& text) {
    std::u16string cut = text.size() > kMenuTextCapacity ? text.substr(0, kMenuTextCapacity) : text;
    for (char16_t& c : cut)
        if (c == u'\t' || c == u'\n' || c == u'\r') c = u' ';
    return tlw::Utf16ToUtf8(cut);
}

std::string Encode(const MenuBarInfo& info) {
    std::ostringstream out;
    const SoftKey* keys[] = {&info.left, &info.right};
    for (int side = 0; side < 2; ++side) {
        out << "K\t" << side << '\t' << keys[side]->command << '\t' << Field(keys[side]->label) << '\n';
        for (const MenuBarEntry& e : keys[side]->popup) {
            unsigned flags = (e.separator ? 1u : 0u) | (e.grayed ? 2u : 0u) | (e.checked ? 4u : 0u);
            out << "E\t" << side << '\t' << e.command << '\t' << flags << '\t' << Field(e.text) << '\n';
        }
    }
    return out.str();
}

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    return fields;
}

bool Decode(const std::string& text, MenuBarInfo* out) {
    *out = MenuBarInfo{};
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> f = Split(line);
        if (f.size() < 4) continue;
        SoftKey& key = f[1] == "1" ? out->right : out->left;
        uint32_t command = static_cast<uint32_t>(std::strtoul(f[2].c_str(), nullptr, 10));
        if (f[0] == "K") {
            key.command = command;
            key.label = tlw::Utf8ToUtf16(f[3]);
        } else if (f[0] == "E" && f.size() >= 5 && key.popup.size() < kMenuPopupCapacity) {
            MenuBarEntry e;
            unsigned flags = static_cast<unsigned>(std::strtoul(f[3].c_str(), nullptr, 10));
            e.command = command;
            e.separator = flags & 1u;
            e.grayed = flags & 2u;
            e.checked = flags & 4u;
            e.text = tlw::Utf8ToUtf16(f[4]);
            key.popup.push_back(std::move(e));
        }
    }
    return true;
}

bool OwnWindow(Hwnd hwnd) {
    win::ProcessState& s = win::State();
    std::lock_guard<std::mutex> guard(s.lock);
    return win::FindLocked(s, hwnd) != nullptr;
}

void TellShell() {
    Hwnd taskBar = FindWindow(u"HHTaskBar", nullptr);
    if (taskBar) PostMessage(taskBar, WM_SHELLCHANGED, 0, 0);
}

}  // namespace

bool SHCreateMenuBar(Hwnd hwnd, const MenuBarInfo& info) {
    if (!OwnWindow(hwnd)) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    if (info.left.popup.size() > kMenuPopupCapacity || info.right.popup.size() > kMenuPopupCapacity) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    std::string record = Encode(info);
    bool ok = windb::Write([&](store::Transaction& t) -> uint32_t {
        store::Query put(t, "INSERT OR REPLACE INTO menu_bars (hwnd, pid, start_time, items) VALUES (?1, ?2, ?3, ?4)");
        put.Bind(1, static_cast<int64_t>(hwnd.value));
        put.Bind(2, static_cast<int64_t>(win::OwnerPid(hwnd)));
        put.Bind(3, static_cast<int64_t>(OwnStartTime()));
        put.BindBlob(4, record.data(), record.size());
        return put.Run();
    });
    if (ok) TellShell();
    return ok;
}

bool SHDestroyMenuBar(Hwnd hwnd) {
    if (!OwnWindow(hwnd)) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    bool ok = windb::Write([&](store::Transaction& t) -> uint32_t {
        store::Query del(t, "DELETE FROM menu_bars WHERE hwnd = ?1");
        del.Bind(1, static_cast<int64_t>(hwnd.value));
        return del.Run();
    });
    if (ok) TellShell();
    return ok;
}

bool ReadMenuBar(Hwnd hwnd, MenuBarInfo* out) {
    if (!hwnd || !out) return false;
    std::string record;
    bool found = false;
    int32_t pid = 0;
    uint64_t start = 0;
    windb::ReadExisting([&](store::Transaction& t) -> uint32_t {
        store::Query get(t, "SELECT items, pid, start_time FROM menu_bars WHERE hwnd = ?1");
        get.Bind(1, static_cast<int64_t>(hwnd.value));
        if (get.Next()) {
            std::vector<uint8_t> blob = get.Blob(0);
            record.assign(blob.begin(), blob.end());
            pid = static_cast<int32_t>(get.Int(1));
            start = static_cast<uint64_t>(get.Int(2));
            found = true;
        }
        return get.Error();
    });
    if (!found || !ProcessAlive(pid, start)) return false;
    return Decode(record, out);
}

}  // namespace plat
