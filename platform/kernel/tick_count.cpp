#include "platform/kernel/tick_count.h"

#include "platform/kernel/clock.h"

namespace plat {

uint32_t GetTickCount() {
    FileTime ft = 0;
    if (!SystemTimeToFileTime(GetLocalTime(), &ft)) return 0;
    return static_cast<uint32_t>(ft / 10000);
}

}  // namespace plat
