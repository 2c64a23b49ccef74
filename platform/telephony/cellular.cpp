#include "platform/telephony/cellular.h"

#include <string>

#include "platform/hardware/device_model.h"
#include "platform/hardware/hardware.h"
#include "platform/storage/journal.h"

namespace plat {

int32_t LineSetEquipmentState(HLine line, uint32_t state) {
    if (!LookupLine(line, nullptr)) return kLineErrInvalLineHandle;
    if (state < kLineEquipStateMinimum || state > kLineEquipStateFull) return kLineErrInvalParam;
    JournalAppend("line equipment state " + std::to_string(state));
    if (state == kLineEquipStateNoChange) return 0;
    bool on = state != kLineEquipStateMinimum;
    HardwareState hw;
    ReadHardwareState(&hw);
    bool wasOn = hw.phoneState != 0;
    if (!SetPhoneRadioHardware(on)) return kLineErrOperationFailed;
    // A SIM coming up with the radio needs a moment before it answers.
    if (on && !wasOn) {
        uint32_t busy = CurrentDeviceModel().simBusyReads;
        if (busy) ChangeHardwareState([busy](HardwareState& s) { s.simBusyReads = busy; });
    }
    return 0;
}

int32_t LineRegister(HLine line, uint32_t mode, const char16_t* /*operatorName*/, uint32_t /*operatorFormat*/) {
    if (!LookupLine(line, nullptr)) return kLineErrInvalLineHandle;
    if (mode != kLineRegModeAutomatic) return kLineErrInvalParam;
    HardwareState hw;
    ReadHardwareState(&hw);
    const char* outcome = hw.phoneState == 0                         ? "radio off"
                          : (!hw.simPin.empty() && !hw.simUnlocked) ? "SIM locked"
                                                                    : nullptr;
    JournalAppend(std::string("network registration automatic: ") + (outcome ? outcome : "registered"));
    return outcome ? kLineErrOperationFailed : 0;
}

}  // namespace plat
