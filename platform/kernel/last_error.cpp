#include "platform/kernel/last_error.h"

namespace plat {
namespace {
thread_local uint32_t g_lastError = 0;  // per thread, as on the phone
}

uint32_t GetLastError() { return g_lastError; }
void SetLastError(uint32_t code) { g_lastError = code; }

}  // namespace plat
