#include "common/device/location_reading.h"

#include <atomic>
#include <mutex>

#include "platform/hardware/library.h"
#include "platform/hardware/ril.h"
#include "platform/kernel/kernel_handle.h"
#include "platform/kernel/sync_objects.h"
#include "platform/kernel/wait.h"
#include "platform/storage/device_store.h"

namespace tlw {
namespace {

constexpr uint32_t kCellAnswerLimitMs = 5000;  // how long a reading waits for the radio
constexpr int32_t kUnusableSignal = -90;       // at or below: not usable
constexpr int32_t kStrongestSignal = -30;      // above: as good as -30
constexpr int32_t kUpperHalfSignal = -30000;   // below: the dBm is in the upper 16 bits

// The state of cell readings, shared with the radio layer's callback.
struct CellReading {
    std::recursive_mutex lock;             // the sensing lock
    std::atomic<int32_t> pendingCommand{0};  // command identifier awaited; 0 none
    std::atomic<uint32_t> currentCell{0};  // last answer's identity
    plat::Handle answered;                 // signalled by the callback; none between readings
    std::mutex answeredLock;               // guards answered against a late callback
};

CellReading& Reading() {
    static CellReading reading;
    return reading;
}

// The radio layer's result callback, on its own thread. It takes the same
// lock under which the reader sends the request and stores its identifier,
// so an answer never arrives before the reader knows what to wait for.
void OnRadioResult(uint32_t code, int32_t commandId, const void* data, uint32_t size, uint32_t) {
    CellReading& r = Reading();
    std::lock_guard<std::mutex> guard(r.answeredLock);
    if (commandId <= 0 || commandId != r.pendingCommand.load()) return;
    uint32_t cell = 0;
    if (code == plat::kRilResultOk && data && size >= sizeof(plat::RilCellTowerInfo)) {
        const auto* info = static_cast<const plat::RilCellTowerInfo*>(data);
        if (info->cellId != 0) cell = info->locationAreaCode * 65536u + info->cellId;
    }
    r.currentCell.store(cell);
    r.pendingCommand.store(0);
    if (r.answered) plat::SetEvent(r.answered);
}

}  // namespace

void InitSensing() {
    CellReading& r = Reading();
    r.pendingCommand.store(0);
    r.currentCell.store(0);
}

void DeleteSensing() { InitSensing(); }

std::recursive_mutex& SensingLock() { return Reading().lock; }

uint32_t ReadCellTower() {
    CellReading& r = Reading();
    // The sensing thread holds this lock while it uses the device store.
    plat::store::EndBatch();
    std::lock_guard<std::recursive_mutex> sensing(r.lock);
    plat::HModule ril = plat::LoadLibrary(u"ril.dll");
    if (!ril) return 0;
    auto initialize = reinterpret_cast<plat::RilInitializeFn>(plat::GetProcAddress(ril, "RIL_Initialize"));
    auto request = reinterpret_cast<plat::RilGetCellTowerInfoFn>(plat::GetProcAddress(ril, "RIL_GetCellTowerInfo"));
    auto deinitialize = reinterpret_cast<plat::RilDeinitializeFn>(plat::GetProcAddress(ril, "RIL_Deinitialize"));
    bool answered = false;
    plat::HRil handle = 0;
    if (initialize && request && deinitialize &&
        initialize(1, OnRadioResult, nullptr, 0, 0, &handle) == plat::kRilSucceeded) {
        plat::Handle event = plat::CreateEvent(false, false);
        int32_t command = 0;
        {
            std::lock_guard<std::mutex> guard(r.answeredLock);
            r.answered = event;
            r.currentCell.store(0);
            command = request(handle);
            r.pendingCommand.store(command > 0 ? command : 0);
        }
        if (command > 0) answered = plat::WaitForSingleObject(event, kCellAnswerLimitMs) == plat::kWaitObject0;
        {
            std::lock_guard<std::mutex> guard(r.answeredLock);
            r.answered = {};
            r.pendingCommand.store(0);
        }
        plat::CloseHandle(event);
        deinitialize(handle);
    }
    plat::FreeLibrary(ril);
    return answered ? r.currentCell.load() : 0;
}

int ChooseStrongestAccessPoint(const int32_t* signals, size_t count) {
    int32_t best = kUnusableSignal;
    int found = -1;
    for (size_t i = 0; i < count; ++i) {
        int32_t s = signals[i];
        if (s < kUpperHalfSignal) s >>= 16;
        if (s <= kUnusableSignal) continue;
        if (s > kStrongestSignal) s = kStrongestSignal;
        if (s > best) {
            best = s;
            found = static_cast<int>(i);
        }
    }
    return found;
}

}  // namespace tlw
