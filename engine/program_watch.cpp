#include "engine/program_watch.h"

#include <vector>

#include "common/config/registry_state.h"
#include "engine/engine_messages.h"
#include "platform/message/message_loop.h"
#include "platform/process/process.h"
#include "platform/kernel/sync_objects.h"
#include "platform/kernel/threads.h"
#include "platform/process/toolhelp.h"
#include "platform/kernel/wait.h"
#include "platform/window/window.h"

namespace tlw {
namespace {

constexpr uint32_t kWatchIntervalMs = 15000;  // how often the watch thread looks

// The watch thread: every 15 s (or when woken) it checks whether the watched
// program still runs. When it has ended it hands a full re-evaluation to the
// window thread, which alone may touch the model, and ends.
uint32_t WatchProgram(EngineState* engine, plat::Handle event) {
    for (;;) {
        plat::WaitForSingleObject(event, kWatchIntervalMs);
        if (engine->watched.stop.load()) return 0;
        uint32_t pid = engine->watched.processId.load();
        if (pid == 0) return 0;
        if (!plat::IsDeviceProcessAlive(pid)) {
            engine->watched.processId.store(0);
            plat::SendNotifyMessage(engine->mainWindow, TLWM_PARAMETER, kParamReevaluate, 0);
            return 0;
        }
    }
}

}  // namespace

void CloseRememberedProgram(EngineState& engine) {
    uint32_t remembered = ReadRunProcess();
    if (remembered == 0) return;
    for (plat::Hwnd hwnd : plat::ListTopLevelWindows()) {
        uint32_t owner = 0;
        plat::GetWindowThreadProcessId(hwnd, &owner);
        if (owner == remembered) plat::PostMessage(hwnd, plat::WM_CLOSE, 0, 0);
    }
    engine.watched.processId.store(0);
    WriteRunProcess(0);
}

void EndWatchThread(EngineState& engine) {
    if (!engine.watched.thread) return;
    engine.watched.processId.store(0);
    engine.watched.stop.store(true);
    plat::SetEvent(engine.watched.event);
    plat::WaitForSingleObject(engine.watched.thread, plat::kInfinite);
    plat::CloseHandle(engine.watched.thread);
    plat::CloseHandle(engine.watched.event);
    engine.watched.thread = {};
    engine.watched.event = {};
}

void StopWatchingProgram(EngineState& engine) {
    if (!engine.watched.thread) return;
    EndWatchThread(engine);
    WriteRunProcess(0);
}

void StartProfileProgram(EngineState& engine, const Profile& profile) {
    uint32_t pid = 0;
    plat::Handle process = plat::ShellExecute(profile.program.View(), profile.program_params.View(), &pid);
    if (!process) return;  // a missing program: nothing to watch or remember
    plat::CloseHandle(process);
    if (profile.auto_program) {
        engine.watched.processId.store(pid);
        engine.watched.stop.store(false);
        engine.watched.event = plat::CreateEvent(false, false, u"TlwProgramMonitor");
        EngineState* state = &engine;
        plat::Handle event = engine.watched.event;
        engine.watched.thread = plat::CreateThread([state, event]() { return WatchProgram(state, event); }, nullptr);
    }
    if (profile.close_program) {
        engine.watched.processId.store(pid);
        WriteRunProcess(pid);
    }
}

}  // namespace tlw
