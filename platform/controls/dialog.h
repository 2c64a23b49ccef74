// The dialog manager: dialogs made from templates (dialog_template.h),
// modal and modeless, the dialog procedure, and the calls on a dialog's
// controls.
//
// A dialog is a top-level window of class "Dialog" owned by its parent,
// centred in the work area (a 0 x 0 template fills it), with the template's
// controls as child windows in tab order. With WS_CAPTION it shows a caption
// strip with the title and an "ok" box that acts as IDOK. Before it is
// shown the dialog procedure gets WM_INITDIALOG (wParam: the control that
// would get the focus, lParam: the caller's value); answering nonzero gives
// that control the focus (the first WS_TABSTOP control), zero leaves the
// focus where the procedure put it.
//
// The dialog procedure answers nonzero for a message it handled; for
// messages whose answer matters it sets the answer with SetDialogResult.
// Unhandled WM_COMMAND IDOK and IDCANCEL end a modal dialog with that id.
//
// Keys in a dialog (IsDialogMessage, called by the modal loop): up and down
// move the focus to the previous or next WS_TABSTOP control (a control
// whose WM_GETDLGCODE has DLGC_WANTARROWS keeps them), the tab key too;
// the action key clicks a focused button, else sends IDOK (or the default
// push button's id) to the dialog; escape sends IDCANCEL.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/controls/dialog_template.h"
#include "platform/message/messages.h"

namespace plat {

inline constexpr char16_t kDialogClass[] = u"Dialog";

// A dialog procedure: nonzero when it handled the message.
using DlgProc = LResult (*)(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam);

// Dialog messages.
constexpr uint32_t DM_GETDEFID = WM_USER + 0;  // answers the default id in the low word, DC_HASDEFID in the high
constexpr uint32_t DM_SETDEFID = WM_USER + 1;  // wParam: the default push button's id
constexpr uint32_t DC_HASDEFID = 0x534B;
constexpr uint32_t VK_TAB = 0x09;

// Makes a modeless dialog from a template, shown when the template's style
// has WS_VISIBLE. A program running its own loop passes each message
// through IsDialogMessage first so that the dialog's keys work. No window
// (last error set) when a control's class is not registered (see
// InitCommonControls) or the procedure destroyed the dialog during
// WM_INITDIALOG.
Hwnd CreateDialogIndirectParam(const DialogTemplate& tmpl, Hwnd parent, DlgProc proc, LParam initParam);
// The same from a DIALOG resource of a module (empty: any module).
Hwnd CreateDialogParam(std::u16string_view module, std::u16string_view name, Hwnd parent, DlgProc proc,
                       LParam initParam);

// Makes the dialog, shows it and runs a message loop until EndDialog;
// returns EndDialog's result, or -1 when the dialog could not be made. A
// WM_QUIT reaching the loop ends the dialog with 0 and is posted again for
// the caller's loop.
int64_t DialogBoxIndirectParam(const DialogTemplate& tmpl, Hwnd parent, DlgProc proc, LParam initParam);
int64_t DialogBoxParam(std::u16string_view module, std::u16string_view name, Hwnd parent, DlgProc proc,
                       LParam initParam);

// Ends a modal dialog with a result: the dialog is hidden and destroyed,
// and DialogBox returns result. For a modeless dialog it destroys it.
bool EndDialog(Hwnd dialog, int64_t result);

// The answer of the message being handled (DWL_MSGRESULT).
void SetDialogResult(Hwnd dialog, LResult result);

// The control with that id among the dialog's children; none when missing.
Hwnd GetDlgItem(Hwnd dialog, int32_t id);
int32_t GetDlgCtrlID(Hwnd control);
LResult SendDlgItemMessage(Hwnd dialog, int32_t id, uint32_t message, WParam wParam, LParam lParam);

// Texts through WM_SETTEXT / WM_GETTEXT (so edits give their real text).
bool SetDlgItemText(Hwnd dialog, int32_t id, std::u16string_view text);
std::u16string GetDlgItemText(Hwnd dialog, int32_t id);
// Copies at most capacity - 1 characters and a terminator; answers the
// characters copied.
int32_t GetDlgItemText(Hwnd dialog, int32_t id, char16_t* buffer, int32_t capacity);
bool SetDlgItemInt(Hwnd dialog, int32_t id, int64_t value, bool isSigned);
// The control's text as a number: *ok false (and 0) when it is not one
// (empty, other characters, a sign when unsigned, or out of 32 bits).
int64_t GetDlgItemInt(Hwnd dialog, int32_t id, bool* ok, bool isSigned);

// Check boxes and radio buttons.
bool CheckDlgButton(Hwnd dialog, int32_t id, uint32_t check);
uint32_t IsDlgButtonChecked(Hwnd dialog, int32_t id);
// Checks `check` and clears the others of first..last.
bool CheckRadioButton(Hwnd dialog, int32_t first, int32_t last, int32_t check);

// The next (or previous) WS_TABSTOP control after `control` that is
// visible and enabled, wrapping; none when the dialog has none.
Hwnd GetNextDlgTabItem(Hwnd dialog, Hwnd control, bool previous);

// Handles a message meant for the dialog or one of its controls as the
// dialog's keys do (see above); true when it took the message.
bool IsDialogMessage(Hwnd dialog, const Msg* msg);

// The registered dialog class's procedure.
LResult DialogWindowProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam);

// Converts dialog units to pixels for a dialog of this font size (0: the
// system font).
Rect DialogUnitsToPixels(const Rect& units, int32_t fontPoints);

}  // namespace plat
