// Offers the file and folder chooser to the program's pages: fills the
// chooser record with the language's texts and the program's up-button
// bitmaps, and opens it over the main window.
#include "config_app/chooser_dialog.h"
#include "config_app/config_app_state.h"
#include "config_app/file_chooser.h"
#include "config_app/pages.h"

namespace tlw {

namespace {

// Language-file identifiers of the chooser's texts.
enum : int32_t {
    kTextCancel = 810,
    kTextSelect = 811,
    kTextFileName = 812,
    kTextType = 813,
    kTextMissingName = 814,
    kTextIllegalName = 815,
    kTextNameError = 816,
    kTextLongName = 821,
};

bool RunChooser(ConfigAppState& app, const ChooserRequest& request, std::u16string* chosen) {
    FileChooser chooser;
    switch (request.mode) {
    case ChooserMode::kSave: chooser.mode = kChooserSave; break;
    case ChooserMode::kFolder: chooser.mode = kChooserFolder; break;
    default: chooser.mode = kChooserLoad; break;
    }
    chooser.iconMode = request.iconMode;
    chooser.fileName = request.fileName;
    chooser.extension = request.extension;
    chooser.typeText = request.typeText;
    chooser.title = request.title.empty() ? Text(app, request.titleId) : request.title;
    chooser.upBitmap = kUpFolderBitmap;
    chooser.upBitmapLarge = kUpFolderBitmapLarge;
    chooser.cancelLabel = Text(app, kTextCancel);
    chooser.selectLabel = Text(app, kTextSelect);
    chooser.fileNameLabel = Text(app, kTextFileName);
    chooser.extensionLabel = Text(app, kTextType);
    chooser.missingNameMessage = Text(app, kTextMissingName);
    chooser.illegalNameMessage = Text(app, kTextIllegalName);
    chooser.longNameMessage = Text(app, kTextLongName);
    chooser.nameErrorCaption = Text(app, kTextNameError);
    if (!request.startFolder.empty()) SetChooserFolder(request.startFolder);
    if (!OpenFileChooser(app.mainWindow, &chooser)) return false;
    chosen->assign(chooser.result.View());
    return true;
}

// Registered when the program starts, before any page can ask for it.
const bool kRegistered = [] {
    RegisterChooser(RunChooser);
    return true;
}();

}  // namespace

}  // namespace tlw
