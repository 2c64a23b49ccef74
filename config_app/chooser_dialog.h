// The chooser's dialog: a full-screen window over the program's main
// window with the name fields (save mode), the folder field, the up button,
// the listing and two soft keys, run modally. Only one is open at a time.
#pragma once

#include <cstdint>

#include "config_app/file_chooser.h"
#include "platform/gdi/gdi_types.h"
#include "platform/message/messages.h"

namespace tlw {

inline constexpr char16_t kChooserClass[] = u"TlwChooser";

// The up button's bitmaps built into the program.
inline constexpr char16_t kUpFolderBitmap[] = u"UPFOLDER";
inline constexpr char16_t kUpFolderBitmapLarge[] = u"UPFOLDER_LARGE";

// Soft-key commands of the dialog.
constexpr uint32_t kChooserCmdSelect = 1;  // the select key (IDOK)
constexpr uint32_t kChooserCmdCancel = 2;  // the cancel key (IDCANCEL)

// Opens the chooser modally over owner in the remembered folder ("\" when
// none) and returns true with chooser->result set when the user accepted,
// false when cancelled (or when another chooser is open). The folder shown
// last is remembered for the next use either way.
bool OpenFileChooser(plat::Hwnd owner, FileChooser* chooser);

// Where the dialog's parts go in a client area of width x height pixels.
struct ChooserLayout {
    plat::Rect nameLabel;       // save mode: "File Name"
    plat::Rect nameField;       // save mode: the name
    plat::Rect extensionLabel;  // save mode: "Extension"
    plat::Rect extensionField;  // save mode: the type text
    plat::Rect folderField;     // the current folder
    plat::Rect upButton;        // the up button
    plat::Rect listing;         // the entries
};
ChooserLayout LayOutChooser(int32_t width, int32_t height, bool saveMode);

// The windows of the dialog open now (none when no dialog is open), for
// tests that drive it.
struct ChooserWindows {
    plat::Hwnd dialog;       // the dialog
    plat::Hwnd nameEdit;     // save mode: the name
    plat::Hwnd folderField;  // the current folder
    plat::Hwnd list;         // the listing
    plat::Rect upButton;     // where the up button is, in the dialog's client area
};
ChooserWindows OpenChooserWindows();

}  // namespace tlw
