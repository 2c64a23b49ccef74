// tlwprog: the simulator's stand-in for the device programs that the
// deliverables start but do not contain. Started as a device program
// (argv[0] its device path, argv[1] its whole command line, TLW_DEVICE the
// device), it records in the journal that it ran and with which arguments,
// then plays the program its name says:
//   tfwifi   the maker's Wi-Fi tool: toggles the Wi-Fi radio and ends;
//   BtTray   the WIDCOMM Bluetooth stack's tray window (sim/tlwprog/bt_tray.cpp);
//   repllog  the mail synchronisation: synchronises and ends;
//   tlwform  a form dialog of the phone's controls (sim/tlwprog/form.cpp);
//   cprog    the call log: a window "MSClog" (its class and title) until
//            it is closed;
//   anything else (the messaging program "tmail", a profile's own program):
//            opens a top-level window whose class and title are the
//            program's name and runs until the window is closed (WM_CLOSE),
//            which it records too.
#include <cstdio>
#include <string>

#include "base/text.h"
#include "platform/gdi/gdi.h"
#include "platform/hardware/device_model.h"
#include "platform/storage/device.h"
#include "platform/storage/journal.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "sim/tlwprog/roles.h"

namespace {

// The program's name: its file name without folder and extension.
std::string ProgramNameOf(const std::string& devicePath) {
    size_t slash = devicePath.find_last_of("\\/");
    std::string name = slash == std::string::npos ? devicePath : devicePath.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name.empty() ? "tlwprog" : name;
}

plat::LResult ProgramWindowProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    switch (message) {
        case plat::WM_CLOSE:
            plat::JournalAppend("closed");
            plat::DestroyWindow(hwnd);
            return 0;
        case plat::WM_DESTROY:
            plat::PostQuitMessage(0);
            return 0;
        default:
            return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// A program with a window of the given name (its class and title), until
// it is closed.
int RunWindowProgram(const std::string& name) {
    std::u16string className = tlw::Utf8ToUtf16(name);
    plat::WndClass windowClass;
    windowClass.className = className;
    windowClass.proc = ProgramWindowProc;
    if (!plat::RegisterClass(windowClass)) {
        std::fprintf(stderr, "%s: cannot register the window class\n", name.c_str());
        return 1;
    }
    plat::Size screen = plat::GetScreenSize();
    plat::Hwnd window = plat::CreateWindow(className, className, plat::WS_VISIBLE, 0, 0, screen.cx, screen.cy,
                                           plat::Hwnd{});
    if (!window) {
        std::fprintf(stderr, "%s: cannot create its window\n", name.c_str());
        return 1;
    }
    return plat::RunMessageLoop();
}

}  // namespace

int main(int argc, char** argv) {
    std::string devicePath = argc > 0 && argv[0] ? argv[0] : "tlwprog";
    std::string arguments = argc > 1 && argv[1] ? argv[1] : "";
    std::string name = ProgramNameOf(devicePath);
    plat::SetProgramName(name);
    if (plat::DeviceRoot().empty()) {
        std::fprintf(stderr, "%s: no device (start it as a device program, e.g. tlwsim run DIR %s)\n", name.c_str(),
                     devicePath.c_str());
        return 2;
    }
    plat::ApplyDeviceModel();
    plat::JournalAppend(arguments.empty() ? "ran" : "ran " + arguments);
    std::u16string role = tlw::Utf8ToUtf16(name);
    if (tlw::EqualsNoCase(role, u"tfwifi")) return tlwprog::RunWifiTool();
    if (tlw::EqualsNoCase(role, u"BtTray")) return tlwprog::RunBluetoothTray();
    if (tlw::EqualsNoCase(role, u"repllog")) return tlwprog::RunMailSync();
    if (tlw::EqualsNoCase(role, u"tlwform")) return tlwprog::RunForm();
    if (tlw::EqualsNoCase(role, u"cprog")) return RunWindowProgram("MSClog");
    return RunWindowProgram(name);
}
