// "tlwform": a small form program that shows a modal dialog of the phone's
// controls (a name, a masked PIN of digits, a check box, OK and Cancel) so
// that the controls can be driven from the console like any program's. It
// journals what the dialog ended with: "form ok name=NAME pin=PIN locked=0|1"
// or "form cancelled".
#include <string>

#include "base/text.h"
#include "platform/controls/button.h"
#include "platform/controls/common_controls.h"
#include "platform/controls/dialog.h"
#include "platform/controls/edit.h"
#include "platform/storage/journal.h"
#include "sim/tlwprog/roles.h"

namespace tlwprog {
namespace {

constexpr int32_t kName = 101;
constexpr int32_t kPin = 102;
constexpr int32_t kLocked = 103;

const char kForm[] =
    "DIALOG 0, 0, 0, 0\n"
    "STYLE WS_POPUP | WS_CAPTION\n"
    "CAPTION \"Form\"\n"
    "BEGIN\n"
    "    LTEXT \"Name\", IDC_STATIC, 4, 4, 60, 10\n"
    "    EDITTEXT 101, 4, 16, 110, 14\n"
    "    LTEXT \"PIN\", IDC_STATIC, 4, 34, 60, 10\n"
    "    EDITTEXT 102, 4, 46, 110, 14, ES_PASSWORD | ES_NUMBER\n"
    "    AUTOCHECKBOX \"Locked\", 103, 4, 66, 80, 12\n"
    "    DEFPUSHBUTTON \"OK\", IDOK, 4, 86, 50, 14\n"
    "    PUSHBUTTON \"Cancel\", IDCANCEL, 64, 86, 50, 14\n"
    "END\n";

std::string g_result;  // what the dialog ended with

plat::LResult FormProc(plat::Hwnd dialog, uint32_t message, plat::WParam wParam, plat::LParam) {
    if (message == plat::WM_INITDIALOG) {
        plat::SendDlgItemMessage(dialog, kPin, plat::EM_LIMITTEXT, 8, 0);
        return 1;
    }
    if (message == plat::WM_COMMAND && plat::LowWord(wParam) == plat::IDOK) {
        g_result = "form ok name=" + tlw::Utf16ToUtf8(plat::GetDlgItemText(dialog, kName)) +
                   " pin=" + tlw::Utf16ToUtf8(plat::GetDlgItemText(dialog, kPin)) +
                   " locked=" + (plat::IsDlgButtonChecked(dialog, kLocked) == plat::BST_CHECKED ? "1" : "0");
    }
    return 0;  // the dialog's own handling ends it on OK and Cancel
}

}  // namespace

int RunForm() {
    plat::InitCommonControls();
    plat::DialogTemplate form;
    std::string error;
    if (!plat::ParseDialogTemplate(std::string_view(kForm), &form, &error)) {
        plat::JournalAppend("form template: " + error);
        return 1;
    }
    int64_t result = plat::DialogBoxIndirectParam(form, plat::Hwnd{}, FormProc, 0);
    plat::JournalAppend(result == plat::IDOK ? g_result : "form cancelled");
    return result == plat::IDOK ? 0 : 1;
}

}  // namespace tlwprog
