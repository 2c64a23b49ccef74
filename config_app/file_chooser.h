// The program's own file and folder chooser: the record a caller fills
// before opening it, the folder it remembers between uses, and the rules of
// its actions (leaving a folder, entering one, accepting a name). The
// dialog that shows it is in chooser_dialog.h; the listing of a folder in
// chooser_listing.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/fixed_string.h"

namespace tlw {

// What the chooser is opened for.
enum FileChooserMode : int32_t {
    kChooserSave = 0,    // name a file to write
    kChooserLoad = 1,    // pick an existing file
    kChooserFolder = 2,  // pick a folder
};

constexpr std::size_t kChooserPathCapacity = 260;  // result and folder, terminator included
constexpr std::size_t kChooserNameLength = 256;    // most characters taken from the name field

// Filled by the caller before the dialog opens. Texts left empty take the
// defaults below (ChooserTitle, ChooserLabel...).
struct FileChooser {
    int32_t mode = kChooserLoad;          // FileChooserMode
    std::u16string title;                 // dialog title; empty: by mode
    std::u16string upBitmap;              // bitmap resource of the up button (normal screens)
    std::u16string upBitmapLarge;         // the same for high-resolution screens
    std::u16string cancelLabel;           // left soft key; empty: "Cancel"
    std::u16string selectLabel;           // right soft key; empty: "Select"
    std::u16string fileNameLabel;         // save mode, beside the name; empty: "File Name"
    std::u16string extensionLabel;        // save mode, beside the type; empty: "Extension"
    std::u16string missingNameMessage;    // empty: "File name value is missing"
    std::u16string illegalNameMessage;    // empty: "File name include illegal characters"
    std::u16string longNameMessage;       // empty: "File name is too long"
    std::u16string nameErrorCaption;      // empty: "File Name Error"
    std::u16string fileName;              // save mode: initial text of the name field
    std::u16string extension;             // save mode: appended to the name, without the dot
    std::u16string typeText;              // save mode: shown in the read-only extension field
    bool iconMode = false;                // list only 16 by 16 PNG and TGA images
    FixedString<kChooserPathCapacity> result;  // the chosen path once accepted
};

// The texts the dialog shows, the caller's or the defaults.
std::u16string ChooserTitle(const FileChooser& chooser);
std::u16string_view ChooserCancelLabel(const FileChooser& chooser);
std::u16string_view ChooserSelectLabel(const FileChooser& chooser);
std::u16string_view ChooserFileNameLabel(const FileChooser& chooser);
std::u16string_view ChooserExtensionLabel(const FileChooser& chooser);
std::u16string_view ChooserMissingNameMessage(const FileChooser& chooser);
std::u16string_view ChooserIllegalNameMessage(const FileChooser& chooser);
std::u16string_view ChooserLongNameMessage(const FileChooser& chooser);
std::u16string_view ChooserNameErrorCaption(const FileChooser& chooser);

// The folder the chooser shows, kept between uses; always ending in "\".
// Empty until a chooser opened or a caller set it.
std::u16string ChooserFolder();
// Sets the remembered folder (a missing trailing "\" is added; empty forgets it).
void SetChooserFolder(std::u16string_view folder);
// The folder a chooser opens in: the remembered one, or "\" when none is.
std::u16string ChooserStartFolder();

// Leaves the last level of folder ("\Storage Card\Skins\" becomes
// "\Storage Card\"). False, leaving it as it is, at the root.
bool ChooserFolderUp(std::u16string* folder);
// Enters the sub-folder name of folder. False, leaving it as it is, when
// the result would not fit a path.
bool ChooserFolderDown(std::u16string* folder, std::u16string_view name);

// The outcome of checking the name field in save mode.
enum class SaveNameCheck {
    kOk,       // usable
    kMissing,  // empty
    kIllegal,  // holds \ / : * ? " < > |
};
SaveNameCheck CheckSaveName(std::u16string_view name);

// The path a save-mode accept gives: folder + name + "." + extension (name
// cut to kChooserNameLength characters). False when it would not fit the
// result: the dialog then says the name is too long and stays open, rather
// than hand back a path cut short.
bool SavePath(std::u16string_view folder, std::u16string_view name, std::u16string_view extension,
              FixedString<kChooserPathCapacity>* result);

}  // namespace tlw
