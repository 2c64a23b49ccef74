#include "platform/shell/shell_host.h"

#include <unistd.h>

#include "platform/kernel/last_error.h"
#include "platform/process/process_liveness.h"
#include "platform/storage/device_store.h"

namespace plat {

bool ClaimShellHost(int32_t* holder) {
    const int64_t self = ::getpid();
    const int64_t start = static_cast<int64_t>(OwnStartTime());
    int32_t other = 0;
    // Read and claimed in one transaction: of two hosts starting at once,
    // one claims and the other finds it claimed.
    uint32_t error = store::Write([&](store::Transaction& t) -> uint32_t {
        {
            store::Query q(t, "SELECT pid, start_time FROM shell_host WHERE id = 1");
            if (q.Next()) {
                int32_t pid = static_cast<int32_t>(q.Int(0));
                uint64_t started = static_cast<uint64_t>(q.Int(1));
                if (!(pid == self && started == static_cast<uint64_t>(start)) && ProcessAlive(pid, started)) {
                    other = pid;
                    return kErrorSuccess;
                }
            }
            if (q.Error() != kErrorSuccess) return q.Error();
        }
        store::Query claim(t, "INSERT OR REPLACE INTO shell_host (id, pid, start_time) VALUES (1, ?1, ?2)");
        claim.Bind(1, self).Bind(2, start);
        return claim.Run();
    });
    if (error != kErrorSuccess) {
        SetLastError(error);
        return false;
    }
    if (holder) *holder = other;
    return other == 0;
}

void ReleaseShellHost() {
    store::Write([](store::Transaction& t) {
        store::Query q(t, "DELETE FROM shell_host WHERE id = 1 AND pid = ?1 AND start_time = ?2");
        q.Bind(1, static_cast<int64_t>(::getpid())).Bind(2, static_cast<int64_t>(OwnStartTime()));
        return q.Run();
    });
}

}  // namespace plat
