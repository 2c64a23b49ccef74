// The chooser's record defaults, its remembered folder and the rules of its
// actions.
#include "config_app/file_chooser.h"

#include "config_app/config_app_state.h"

namespace tlw {

namespace {

std::u16string_view OrDefault(const std::u16string& text, std::u16string_view fallback) {
    return text.empty() ? fallback : std::u16string_view(text);
}

}  // namespace

std::u16string ChooserTitle(const FileChooser& chooser) {
    if (!chooser.title.empty()) return chooser.title;
    switch (chooser.mode) {
    case kChooserSave: return u"Save File";
    case kChooserFolder: return u"Select Folder";
    default: return u"Load File";
    }
}

std::u16string_view ChooserCancelLabel(const FileChooser& c) { return OrDefault(c.cancelLabel, u"Cancel"); }
std::u16string_view ChooserSelectLabel(const FileChooser& c) { return OrDefault(c.selectLabel, u"Select"); }
std::u16string_view ChooserFileNameLabel(const FileChooser& c) { return OrDefault(c.fileNameLabel, u"File Name"); }
std::u16string_view ChooserExtensionLabel(const FileChooser& c) { return OrDefault(c.extensionLabel, u"Extension"); }
std::u16string_view ChooserMissingNameMessage(const FileChooser& c) {
    return OrDefault(c.missingNameMessage, u"File name value is missing");
}
std::u16string_view ChooserIllegalNameMessage(const FileChooser& c) {
    return OrDefault(c.illegalNameMessage, u"File name include illegal characters");
}
std::u16string_view ChooserLongNameMessage(const FileChooser& c) {
    return OrDefault(c.longNameMessage, u"File name is too long");
}
std::u16string_view ChooserNameErrorCaption(const FileChooser& c) {
    return OrDefault(c.nameErrorCaption, u"File Name Error");
}

// The chooser runs on the main thread, as every page does.
std::u16string ChooserFolder() { return App().chooserFolder; }

void SetChooserFolder(std::u16string_view folder) {
    std::u16string& f = App().chooserFolder;
    f.assign(folder);
    if (!f.empty() && f.back() != u'\\') f.push_back(u'\\');
}

std::u16string ChooserStartFolder() {
    std::u16string folder = ChooserFolder();
    return folder.empty() ? std::u16string(u"\\") : folder;
}

bool ChooserFolderUp(std::u16string* folder) {
    std::u16string& f = *folder;
    if (f.size() <= 1) return false;  // "\" or nothing: the root
    std::size_t end = f.size();
    if (f[end - 1] == u'\\') --end;          // the trailing "\" first
    std::size_t slash = f.rfind(u'\\', end - 1);
    if (slash == std::u16string::npos) {
        f = u"\\";
    } else {
        f.resize(slash + 1);                  // then back to the previous "\"
    }
    return true;
}

bool ChooserFolderDown(std::u16string* folder, std::u16string_view name) {
    if (name.empty() || folder->size() + name.size() + 1 >= kChooserPathCapacity) return false;
    folder->append(name);
    folder->push_back(u'\\');
    return true;
}

SaveNameCheck CheckSaveName(std::u16string_view name) {
    if (name.empty()) return SaveNameCheck::kMissing;
    if (name.find_first_of(u"\\/:*?\"<>|") != std::u16string_view::npos) return SaveNameCheck::kIllegal;
    return SaveNameCheck::kOk;
}

bool SavePath(std::u16string_view folder, std::u16string_view name, std::u16string_view extension,
              FixedString<kChooserPathCapacity>* result) {
    std::u16string path(folder);
    path.append(name.substr(0, kChooserNameLength));
    path.push_back(u'.');
    path.append(extension);
    if (path.size() >= kChooserPathCapacity) return false;
    result->Assign(path);
    return true;
}

}  // namespace tlw
