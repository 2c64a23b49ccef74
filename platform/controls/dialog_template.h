// Dialog templates: the dialog's style, size, caption and font and its
// controls, each with class, text, id, style and place. Sizes and places
// are in dialog units: a quarter of the dialog font's average character
// width across, an eighth of its line height down.
//
// A program keeps its templates as DIALOG resources (platform/gdi/
// resources.h, type u"DIALOG"), written in the resource script's dialog
// syntax, one statement a line:
//
//   102 DIALOG 0, 0, 140, 64
//   STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION
//   CAPTION "Time-out"
//   FONT 8, "Tahoma"
//   BEGIN
//       LTEXT "Ends in", IDC_STATIC, 6, 8, 40, 10
//       CONTROL "", 1001, "SysDateTimePick32", DTS_UPDOWN | WS_TABSTOP, 50, 6, 60, 14
//       DEFPUSHBUTTON "OK", IDOK, 20, 40, 44, 14
//       PUSHBUTTON "Cancel", IDCANCEL, 76, 40, 44, 14
//   END
//
// The name before DIALOG (or DIALOGEX) is optional. Statements inside:
// CONTROL text, id, class, style, x, y, cx, cy; LTEXT / RTEXT / CTEXT /
// PUSHBUTTON / DEFPUSHBUTTON / CHECKBOX / AUTOCHECKBOX / RADIOBUTTON /
// AUTORADIOBUTTON / GROUPBOX text, id, x, y, cx, cy[, style]; EDITTEXT id,
// x, y, cx, cy[, style]. Styles are numbers or the style names of the
// control headers joined by "|" ("NOT WS_VISIBLE" removes a bit); ids are
// numbers or IDOK, IDCANCEL, IDYES, IDNO, IDC_STATIC. Every control is
// WS_CHILD | WS_VISIBLE; the keyword forms add their kind and WS_TABSTOP
// (not the texts). "//" starts a comment.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Dialog styles.
constexpr uint32_t DS_SETFONT = 0x0040;
constexpr uint32_t DS_MODALFRAME = 0x0080;
constexpr uint32_t DS_CENTER = 0x0800;  // centred in the work area (dialogs are centred anyway)

// Command ids of the usual buttons.
constexpr int32_t IDOK = 1;
constexpr int32_t IDCANCEL = 2;
constexpr int32_t IDYES = 6;
constexpr int32_t IDNO = 7;
constexpr int32_t IDC_STATIC = -1;

// One control of a template.
struct DialogItemTemplate {
    std::u16string className;  // "BUTTON", "EDIT", "STATIC", "msctls_trackbar32", ...
    std::u16string text;       // its title
    int32_t id = 0;            // GWL_ID
    uint32_t style = 0;        // window and control style bits
    int32_t x = 0, y = 0;      // place in dialog units
    int32_t cx = 0, cy = 0;    // size in dialog units
};

struct DialogTemplate {
    uint32_t style = 0;           // dialog style (WS_CAPTION draws the caption strip)
    int32_t x = 0, y = 0;         // ignored: dialogs are centred in the work area
    int32_t cx = 0, cy = 0;       // size in dialog units; 0 x 0 fills the work area
    std::u16string caption;       // the title
    int32_t fontPoints = 0;       // font size (0: the system font)
    std::u16string fontFace;      // kept; the device has one typeface
    std::vector<DialogItemTemplate> items;  // controls in tab order
};

// Reads a template in the syntax above. False with *error naming the line
// and what is wrong ("line 4: unknown style name 'WS_FOO'").
bool ParseDialogTemplate(std::u16string_view text, DialogTemplate* out, std::string* error);
// The same from a resource's bytes (UTF-8, or UTF-16 with its byte-order mark).
bool ParseDialogTemplate(std::string_view bytes, DialogTemplate* out, std::string* error);

// The DIALOG resource `name` of a module (empty module: any module of the
// process). False (kErrorResourceNotFound) when missing,
// (kErrorInvalidParameter, *error said why when given) when malformed.
inline constexpr std::u16string_view kResourceDialog = u"DIALOG";
bool LoadDialogTemplate(std::u16string_view module, std::u16string_view name, DialogTemplate* out,
                        std::string* error = nullptr);

// The value of a style name of the controls ("WS_TABSTOP", "ES_PASSWORD");
// false for an unknown name.
bool StyleByName(std::string_view name, uint32_t* value);

}  // namespace plat
