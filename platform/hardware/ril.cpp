#include "platform/hardware/ril.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/hardware/hardware.h"

namespace plat {
namespace {

// The mobile country and network codes the simulated network sends.
constexpr uint32_t kSimCountryCode = 262;
constexpr uint32_t kSimNetworkCode = 1;

// One initialised instance and its answering thread.
struct RilInstance {
    RilResultCallback result = nullptr;  // where answers go
    uint32_t param = 0;                  // handed back with each answer
    std::mutex lock;                     // guards the queue and stop
    std::condition_variable wake;        // a request arrived or stop was set
    std::deque<int32_t> requests;        // command identifiers of cell-tower requests, oldest first
    bool stop = false;                   // ends the thread
    std::thread thread;                  // delivers the answers
};

struct RilTable {
    std::mutex lock;                                     // guards the fields below
    std::map<HRil, std::shared_ptr<RilInstance>> open;   // by handle
    HRil nextHandle = 1;                                 // the next handle to give out
    int32_t nextCommand = 1;                             // the next command identifier
};

RilTable& Table() {
    static RilTable table;
    return table;
}

void Answer(RilInstance& r, int32_t command) {
    HardwareState hw;
    ReadHardwareState(&hw);
    if (hw.phoneState == 0 || !hw.cellPresent) {
        r.result(kRilResultNoService, command, nullptr, 0, r.param);
        return;
    }
    RilCellTowerInfo info{sizeof(RilCellTowerInfo), kRilCellParamAll, kSimCountryCode, kSimNetworkCode,
                          hw.cellLac, hw.cellId};
    r.result(kRilResultOk, command, &info, sizeof info, r.param);
}

void Serve(RilInstance* r) {
    std::unique_lock<std::mutex> guard(r->lock);
    for (;;) {
        r->wake.wait(guard, [r] { return r->stop || !r->requests.empty(); });
        if (r->stop) return;
        int32_t command = r->requests.front();
        r->requests.pop_front();
        guard.unlock();
        Answer(*r, command);
        guard.lock();
    }
}

std::shared_ptr<RilInstance> Find(HRil ril) {
    RilTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.open.find(ril);
    return it == t.open.end() ? nullptr : it->second;
}

}  // namespace

int32_t RilInitialize(uint32_t port, RilResultCallback result, RilNotifyCallback, uint32_t, uint32_t param, HRil* out) {
    if (port != 1 || !result || !out) return kRilInvalidArgument;
    auto r = std::make_shared<RilInstance>();
    r->result = result;
    r->param = param;
    r->thread = std::thread(Serve, r.get());
    RilTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    HRil handle = t.nextHandle++;
    t.open[handle] = r;
    *out = handle;
    return kRilSucceeded;
}

int32_t RilGetCellTowerInfo(HRil ril) {
    std::shared_ptr<RilInstance> r = Find(ril);
    if (!r) return kRilInvalidArgument;
    int32_t command;
    {
        RilTable& t = Table();
        std::lock_guard<std::mutex> guard(t.lock);
        command = t.nextCommand++;
        if (t.nextCommand <= 0) t.nextCommand = 1;
    }
    {
        std::lock_guard<std::mutex> guard(r->lock);
        r->requests.push_back(command);
    }
    r->wake.notify_one();
    return command;
}

int32_t RilDeinitialize(HRil ril) {
    std::shared_ptr<RilInstance> r;
    {
        RilTable& t = Table();
        std::lock_guard<std::mutex> guard(t.lock);
        auto it = t.open.find(ril);
        if (it == t.open.end()) return kRilInvalidArgument;
        r = it->second;
        t.open.erase(it);
    }
    {
        std::lock_guard<std::mutex> guard(r->lock);
        r->stop = true;
        r->requests.clear();
    }
    r->wake.notify_one();
    if (r->thread.joinable()) r->thread.join();
    return kRilSucceeded;
}

}  // namespace plat
