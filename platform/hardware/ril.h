// The radio interface layer, "ril.dll": a program initialises it with a
// result callback, sends requests that each return a command identifier,
// and receives every answer on the layer's own thread through the callback.
// Of its requests the simulated phone answers the cell-tower request, from
// the serving cell of the hardware state (`tlwsim hw cell=...`). The
// library loads only on models that carry ril.dll.
#pragma once

#include <cstdint>

namespace plat {

// A radio interface instance; 0 is none.
using HRil = uintptr_t;

// Result codes of an answer.
constexpr uint32_t kRilResultOk = 1;         // data holds the answer
constexpr uint32_t kRilResultNoService = 4;  // no cell: radio off or no network (no data)

// Results of the entries (HRESULT style): 0 success, negative failure.
constexpr int32_t kRilSucceeded = 0;
constexpr int32_t kRilInvalidArgument = static_cast<int32_t>(0x80070057);

// The answer to a request: code, the request's command identifier, the
// answer's data and its size, and the parameter given at initialisation.
using RilResultCallback = void (*)(uint32_t code, int32_t commandId, const void* data, uint32_t size, uint32_t param);
// Notifications of the layer (not sent by the simulated phone).
using RilNotifyCallback = void (*)(uint32_t code, const void* data, uint32_t size, uint32_t param);

// The cell-tower answer: consecutive 32-bit fields.
struct RilCellTowerInfo {
    uint32_t size;               // bytes of the record
    uint32_t params;             // which of the fields below are valid
    uint32_t mobileCountryCode;
    uint32_t mobileNetworkCode;
    uint32_t locationAreaCode;
    uint32_t cellId;
};
static_assert(sizeof(RilCellTowerInfo) == 24, "the cell-tower record is six 32-bit fields");
constexpr uint32_t kRilCellParamAll = 0x0F;  // country, network, area and cell are valid

// The entries, resolved by name: "RIL_Initialize", "RIL_GetCellTowerInfo",
// "RIL_Deinitialize".
using RilInitializeFn = int32_t (*)(uint32_t port, RilResultCallback result, RilNotifyCallback notify,
                                    uint32_t notificationClasses, uint32_t param, HRil* out);
using RilGetCellTowerInfoFn = int32_t (*)(HRil ril);
using RilDeinitializeFn = int32_t (*)(HRil ril);

// Starts an instance with its answering thread. kRilInvalidArgument without
// a result callback or an out pointer, or for a port other than 1.
int32_t RilInitialize(uint32_t port, RilResultCallback result, RilNotifyCallback notify, uint32_t notificationClasses,
                      uint32_t param, HRil* out);
// Asks for the serving cell; returns the request's command identifier (> 0)
// or kRilInvalidArgument for an instance that does not exist. The answer
// comes through the result callback on the instance's thread: kRilResultOk
// with a RilCellTowerInfo, or kRilResultNoService without data while the
// phone radio is off or no cell is in reach.
int32_t RilGetCellTowerInfo(HRil ril);
// Ends the instance: answers not yet delivered are dropped and the thread
// ends before this returns.
int32_t RilDeinitialize(HRil ril);

}  // namespace plat
