// Registry-change notification to a window. The watches live in the
// device's window database (table registry_watches) with the value each one
// last saw; the registry's change hook, run in the writing process after each
// change, compares and notifies.
#include "platform/window/registry_notify.h"

#include <unistd.h>

#include <cstring>

#include "base/text.h"
#include "platform/storage/device.h"
#include "platform/storage/device_store.h"
#include "platform/kernel/last_error.h"
#include "platform/message/message_loop.h"
#include "platform/process/process_liveness.h"
#include "platform/window/window_db.h"
#include "platform/window/window_state.h"

namespace plat {
namespace {

// A value as a watch sees it.
struct Seen {
    bool exists = false;        // the value is there
    uint32_t type = kRegNone;   // its type
    std::vector<uint8_t> data;  // its bytes
};

// A message to send once the database is released.
struct Notice {
    Hwnd hwnd;            // watcher window
    uint32_t message = 0; // its message
    WParam wParam = 0;    // new DWORD value or 0
    LParam lParam = 0;    // the watch's user data
};

// The key path as the registry matches it: names folded, empty names (a
// leading, trailing or doubled backslash) dropped.
std::u16string NormalKey(std::u16string_view path) {
    std::u16string out;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos) end = path.size();
        if (end > start) {
            if (!out.empty()) out.push_back(u'\\');
            out += windb::Folded(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return out;
}

Seen ReadValue(HKey root, std::u16string_view key, std::u16string_view name) {
    Seen seen;
    HKey opened = 0;
    uint32_t saved = GetLastError();
    if (RegOpenKey(root, key, &opened) == kErrorSuccess) {
        seen.exists = RegQueryValue(opened, name, &seen.type, &seen.data) == kErrorSuccess;
        RegCloseKey(opened);
    }
    if (!seen.exists) {
        seen.type = kRegNone;
        seen.data.clear();
    }
    SetLastError(saved);
    return seen;
}

uint32_t AsDword(const Seen& v) {
    if (!v.exists || v.type != kRegDword || v.data.size() != 4) return 0;
    uint32_t value = 0;
    std::memcpy(&value, v.data.data(), 4);
    return value;
}

bool Changed(uint32_t kind, uint32_t mask, const Seen& before, const Seen& now) {
    if (kind == RegistryNotifyCondition::kRegMaskChange) return ((AsDword(before) ^ AsDword(now)) & mask) != 0;
    if (before.exists != now.exists) return true;
    return now.exists && (before.type != now.type || before.data != now.data);
}

void OnRegistryChange(HKey root, const std::u16string& keyPath, const std::u16string& valueName) {
    if (DeviceRoot().empty()) return;
    std::u16string key = NormalKey(keyPath);
    std::u16string value = windb::Folded(valueName);
    std::vector<Notice> notices;
    {
        // Most writes are of values nobody watches: look before taking the
        // write lock.
        bool watched = false;
        windb::ReadExisting([&](store::Transaction& t) -> uint32_t {
            store::Query any(t, "SELECT 1 FROM registry_watches WHERE root = ?1 AND key_folded = ?2 AND "
                                "value_folded = ?3 LIMIT 1");
            any.Bind(1, static_cast<int64_t>(root)).Bind(2, std::u16string_view(key)).Bind(3, std::u16string_view(value));
            watched = any.Next();
            return any.Error();
        });
        if (!watched) return;
    }
    // One writer at a time compares and records, so that two processes
    // changing the value at once neither lose nor double a notice.
    bool recorded = windb::Write([&](store::Transaction& t) -> uint32_t {
        notices.clear();
        Seen now = ReadValue(root, keyPath, valueName);
        std::vector<int64_t> ended;
        std::vector<int64_t> seenAgain;
        {
            store::Query watches(t,
                                 "SELECT handle, pid, start_time, hwnd, message, user_data, kind, mask, last_exists, "
                                 "last_type, last_data FROM registry_watches WHERE root = ?1 AND key_folded = ?2 AND "
                                 "value_folded = ?3 ORDER BY handle");
            watches.Bind(1, static_cast<int64_t>(root))
                .Bind(2, std::u16string_view(key))
                .Bind(3, std::u16string_view(value));
            while (watches.Next()) {
                int64_t handle = watches.Int(0);
                if (!ProcessAlive(static_cast<int32_t>(watches.Int(1)), static_cast<uint64_t>(watches.Int(2)))) {
                    ended.push_back(handle);
                    continue;
                }
                Seen before;
                before.exists = watches.Int(8) != 0;
                before.type = static_cast<uint32_t>(watches.Int(9));
                before.data = watches.Blob(10);
                if (before.exists == now.exists && before.type == now.type && before.data == now.data) continue;
                seenAgain.push_back(handle);
                if (!Changed(static_cast<uint32_t>(watches.Int(6)), static_cast<uint32_t>(watches.Int(7)), before,
                             now))
                    continue;
                Notice n;
                n.hwnd.value = static_cast<uint64_t>(watches.Int(3));
                n.message = static_cast<uint32_t>(watches.Int(4));
                n.wParam = AsDword(now);
                n.lParam = watches.Int(5);
                notices.push_back(n);
            }
            if (watches.Error() != kErrorSuccess) return watches.Error();
        }
        for (int64_t handle : ended) {
            store::Query drop(t, "DELETE FROM registry_watches WHERE handle = ?1");
            drop.Bind(1, handle);
            if (uint32_t error = drop.Run(); error != kErrorSuccess) return error;
        }
        for (int64_t handle : seenAgain) {
            store::Query record(
                t, "UPDATE registry_watches SET last_exists = ?2, last_type = ?3, last_data = ?4 WHERE handle = ?1");
            record.Bind(1, handle).Bind(2, static_cast<int64_t>(now.exists ? 1 : 0)).Bind(3, static_cast<int64_t>(now.type));
            record.BindBlob(4, now.data.data(), now.data.size());
            if (uint32_t error = record.Run(); error != kErrorSuccess) return error;
        }
        return kErrorSuccess;
    });
    if (!recorded) notices.clear();
    uint32_t saved = GetLastError();
    for (const Notice& n : notices) win::NotifyFromPlatform(n.hwnd, n.message, n.wParam, n.lParam);
    SetLastError(saved);
}

// Every program that has windows links this file (DestroyWindow closes the
// watches of a window), so every such program reports its registry writes;
// a program without windows (the console) links it through its commands.
const bool g_hookInstalled = [] {
    SetRegistryChangeHook(&OnRegistryChange);
    return true;
}();

}  // namespace

uint32_t RegistryNotifyWindow(HKey root, std::u16string_view key, std::u16string_view valueName, Hwnd hwnd,
                              uint32_t message, uint32_t userData, const RegistryNotifyCondition* condition,
                              HRegNotify* out) {
    if (!out || (root != kHkeyCurrentUser && root != kHkeyLocalMachine)) return kErrorInvalidParameter;
    if (condition && condition->kind != RegistryNotifyCondition::kRegAnyChange &&
        condition->kind != RegistryNotifyCondition::kRegMaskChange)
        return kErrorInvalidParameter;
    {
        win::ProcessState& s = win::State();
        std::lock_guard<std::mutex> guard(s.lock);
        std::shared_ptr<win::WindowRecord> w = win::FindLocked(s, hwnd);
        if (!w || w->destroying) return kErrorInvalidWindowHandle;
    }
    // Installed again in case something replaced it (a test's own hook).
    SetRegistryChangeHook(&OnRegistryChange);
    (void)g_hookInstalled;

    Seen now = ReadValue(root, key, valueName);
    int64_t handle = 0;
    uint32_t error = store::Write([&](store::Transaction& t) -> uint32_t {
        store::Query insert(
            t,
            "INSERT INTO registry_watches (pid, start_time, hwnd, message, user_data, root, key_folded, value_folded, "
            "kind, mask, last_exists, last_type, last_data) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, "
            "?13)");
        insert.Bind(1, static_cast<int64_t>(win::State().pid));
        insert.Bind(2, static_cast<int64_t>(OwnStartTime()));
        insert.Bind(3, static_cast<int64_t>(hwnd.value));
        insert.Bind(4, static_cast<int64_t>(message));
        insert.Bind(5, static_cast<int64_t>(userData));
        insert.Bind(6, static_cast<int64_t>(root));
        insert.Bind(7, std::u16string_view(NormalKey(key)));
        insert.Bind(8, std::u16string_view(windb::Folded(valueName)));
        insert.Bind(9, static_cast<int64_t>(condition ? condition->kind : RegistryNotifyCondition::kRegAnyChange));
        insert.Bind(10, static_cast<int64_t>(condition ? condition->mask : 0xFFFFFFFFu));
        insert.Bind(11, static_cast<int64_t>(now.exists ? 1 : 0));
        insert.Bind(12, static_cast<int64_t>(now.type));
        insert.BindBlob(13, now.data.data(), now.data.size());
        if (uint32_t failed = insert.Run(); failed != kErrorSuccess) return failed;
        handle = t.LastInsertId();
        return kErrorSuccess;
    });
    if (error != kErrorSuccess) return error;
    *out = static_cast<HRegNotify>(handle);
    return kErrorSuccess;
}

uint32_t RegistryCloseNotification(HRegNotify handle) {
    if (handle == 0) return kErrorInvalidHandle;
    int64_t changes = 0;
    windb::WriteExisting([&](store::Transaction& t) -> uint32_t {
        store::Query drop(t, "DELETE FROM registry_watches WHERE handle = ?1 AND pid = ?2 AND start_time = ?3");
        drop.Bind(1, static_cast<int64_t>(handle))
            .Bind(2, static_cast<int64_t>(win::State().pid))
            .Bind(3, static_cast<int64_t>(OwnStartTime()));
        uint32_t failed = drop.Run();
        changes = t.Changes();
        return failed;
    });
    return changes > 0 ? kErrorSuccess : kErrorInvalidHandle;
}

namespace win {

void CloseWatchesOfWindow(Hwnd hwnd) {
    windb::WriteExisting([&](store::Transaction& t) -> uint32_t {
        store::Query drop(t, "DELETE FROM registry_watches WHERE hwnd = ?1");
        drop.Bind(1, static_cast<int64_t>(hwnd.value));
        return drop.Run();
    });
}

}  // namespace win
}  // namespace plat
