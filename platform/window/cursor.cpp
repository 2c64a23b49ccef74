// The wait cursor, kept device-wide in the device store (the table
// wait_cursor: the pid and start time of the process showing it).
#include "platform/window/cursor.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>
#include <string>

#include "platform/kernel/last_error.h"
#include "platform/process/process_liveness.h"
#include "platform/storage/device_store.h"
#include "platform/storage/journal.h"

#include <unistd.h>

namespace plat {
namespace {

std::mutex g_lock;
HCursor g_current;  // the cursor this process shows

// Records that this process shows the wait cursor, or that it no longer
// does (another process's cursor stays).
void WriteShown(bool shown) {
    store::Write([&](store::Transaction& t) -> uint32_t {
        if (!shown) {
            store::Query q(t, "DELETE FROM wait_cursor WHERE pid = ?1 AND start_time = ?2");
            q.Bind(1, static_cast<int64_t>(getpid())).Bind(2, static_cast<int64_t>(OwnStartTime()));
            return q.Run();
        }
        store::Query q(t, "INSERT OR REPLACE INTO wait_cursor (id, pid, start_time) VALUES (1, ?1, ?2)");
        q.Bind(1, static_cast<int64_t>(getpid())).Bind(2, static_cast<int64_t>(OwnStartTime()));
        return q.Run();
    });
}

}  // namespace

HCursor LoadCursor(uint32_t id) {
    if (id != IDC_ARROW && id != IDC_WAIT) {
        SetLastError(kErrorInvalidParameter);
        return HCursor{};
    }
    return HCursor{id};
}

HCursor SetCursor(HCursor cursor) {
    std::lock_guard<std::mutex> guard(g_lock);
    HCursor previous = g_current;
    bool wasWaiting = previous.value == IDC_WAIT, waiting = cursor.value == IDC_WAIT;
    g_current = cursor;
    if (wasWaiting != waiting) {
        WriteShown(waiting);
        JournalAppend(waiting ? "wait cursor shown" : "wait cursor hidden");
    }
    return previous;
}

HCursor GetCursor() {
    std::lock_guard<std::mutex> guard(g_lock);
    return g_current;
}

bool WaitCursorShown() {
    int32_t pid = 0;
    uint64_t start = 0;
    uint32_t error = store::Read([&](store::Transaction& t) -> uint32_t {
        store::Query q(t, "SELECT pid, start_time FROM wait_cursor WHERE id = 1");
        if (q.Next()) {
            pid = static_cast<int32_t>(q.Int(0));
            start = static_cast<uint64_t>(q.Int(1));
        }
        return q.Error();
    });
    return error == kErrorSuccess && pid != 0 && ProcessAlive(pid, start);
}

void DrawWaitCursor(uint32_t* pixels, int32_t width, int32_t height, int32_t cx, int32_t cy) {
    // Eight dots on a circle; the bright one moves on every 125 ms.
    int32_t radius = std::max(8, std::min(width, height) / 16);
    int32_t dot = std::max(2, radius / 4);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now().time_since_epoch()).count();
    int lead = static_cast<int>((ms / 125) % 8);
    for (int i = 0; i < 8; ++i) {
        double angle = i * 3.14159265358979 / 4;
        int32_t x0 = cx + static_cast<int32_t>(std::lround(radius * std::sin(angle)));
        int32_t y0 = cy - static_cast<int32_t>(std::lround(radius * std::cos(angle)));
        int age = (lead - i + 8) % 8;
        uint32_t level = static_cast<uint32_t>(40 + age * 26);  // dark at the lead, fading behind
        uint32_t color = (level / 2) << 16 | (level / 2 + 40) << 8 | std::min<uint32_t>(255, level + 90);
        for (int32_t y = y0 - dot; y <= y0 + dot; ++y)
            for (int32_t x = x0 - dot; x <= x0 + dot; ++x) {
                if (x < 0 || y < 0 || x >= width || y >= height) continue;
                if ((x - x0) * (x - x0) + (y - y0) * (y - y0) > dot * dot) continue;
                pixels[static_cast<size_t>(y) * width + x] = color;
            }
    }
}

}  // namespace plat
