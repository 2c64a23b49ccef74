// The power-notification thread: it only arms the settle timer, so that a
// burst of power changes ends in one evaluation on the window thread.
#include <cstring>

#include "common/config/log_file.h"
#include "engine/engine_main.h"
#include "engine/engine_messages.h"
#include "platform/kernel/msg_queue.h"
#include "platform/power/power_notify.h"
#include "platform/kernel/sync_objects.h"
#include "platform/kernel/threads.h"
#include "platform/message/timers.h"
#include "platform/kernel/wait.h"

namespace tlw {
namespace {

constexpr uint32_t kQueueMessageBytes = 536;  // largest power message read

uint32_t PowerThread(EngineState* engine) {
    plat::MsgQueueOptions options;
    options.flags = plat::kMsgQueueNoPrecommit;
    options.maxMessages = 4;
    options.maxMessageSize = kQueueMessageBytes;
    options.readAccess = 1;
    plat::Handle queue = plat::CreateMsgQueue({}, &options);
    if (!queue) return 0;
    plat::Handle registration = plat::RequestPowerNotifications(queue, plat::kPbtPowerStatusChange);
    alignas(4) uint8_t buffer[kQueueMessageBytes];
    for (;;) {
        plat::Handle handles[2] = {queue, engine->powerStopEvent};
        uint32_t which = plat::WaitForMultipleObjects(2, handles, false, plat::kInfinite);
        if (which != plat::kWaitObject0) break;
        uint32_t bytes = 0, flags = 0;
        while (plat::ReadMsgQueue(queue, buffer, sizeof buffer, &bytes, 0, &flags)) {
            if (bytes < 4) continue;
            uint32_t kind = 0;
            std::memcpy(&kind, buffer, sizeof kind);
            if (kind != plat::kPbtPowerStatusChange) continue;
            if (engine->powerLog) WriteLog(u"Power change Notified.", true);
            plat::SetTimer(engine->mainWindow, IDT_POWERCHECK, kPowerSettleMs);
        }
    }
    if (registration) plat::StopPowerNotifications(registration);
    plat::CloseMsgQueue(queue);
    return 0;
}

}  // namespace

void StartPowerThread(EngineState& engine) {
    engine.powerStopEvent = plat::CreateEvent(false, false);
    if (!engine.powerStopEvent) return;
    EngineState* state = &engine;
    engine.powerThread = plat::CreateThread([state]() { return PowerThread(state); }, nullptr);
}

void StopPowerThread(EngineState& engine) {
    if (!engine.powerStopEvent) return;
    plat::SetEvent(engine.powerStopEvent);
    if (engine.powerThread) {
        plat::WaitForSingleObject(engine.powerThread, plat::kInfinite);
        plat::CloseHandle(engine.powerThread);
        engine.powerThread = {};
    }
    plat::CloseHandle(engine.powerStopEvent);
    engine.powerStopEvent = {};
}

}  // namespace tlw
