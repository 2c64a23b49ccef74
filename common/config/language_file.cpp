#include "common/config/language_file.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "common/config/config_paths.h"
#include "base/text.h"
#include "platform/storage/code_page.h"
#include "platform/storage/file.h"

namespace tlw {
namespace {

// A window of kLanguageWindowBytes over the open file: the only part of the
// file held in memory.
class FileWindow {
public:
    explicit FileWindow(plat::File& file) : file_(file), size_(file.Size()) {}

    // Makes the window start at offset. False when the file cannot be read.
    bool MoveTo(int64_t offset) {
        base_ = offset;
        length_ = 0;
        if (offset >= size_) return true;
        if (file_.Seek(offset, plat::kFileBegin) != offset) return false;
        while (length_ < kLanguageWindowBytes) {
            uint32_t got = 0;
            if (!file_.Read(bytes_ + length_, kLanguageWindowBytes - length_, &got)) return false;
            if (got == 0) break;
            length_ += got;
        }
        return true;
    }

    int64_t Base() const { return base_; }
    int64_t Size() const { return size_; }
    uint32_t Length() const { return length_; }
    bool ReachesEnd() const { return base_ + length_ >= size_; }
    const char* Bytes() const { return bytes_; }

private:
    plat::File& file_;                    // the language file
    int64_t size_ = 0;                    // its size in bytes
    int64_t base_ = 0;                    // file offset of bytes_[0]
    uint32_t length_ = 0;                 // bytes held
    char bytes_[kLanguageWindowBytes];    // the window's content
};

// One line of the file, without its line end.
struct Line {
    std::string bytes;  // the line's bytes in the file's code page (a line longer than the window is cut)
    int64_t next = 0;   // file offset of the following line
};

// Reads the line starting at offset start. The window moves forward to the
// line when the line starts past kLanguageWindowLimit of it, or does not end
// inside it. False at the end of the file or on a read error.
bool ReadLine(FileWindow& window, int64_t start, Line* line) {
    if (start >= window.Size()) return false;
    if (start < window.Base() || start - window.Base() > kLanguageWindowLimit ||
        start > window.Base() + window.Length()) {
        if (!window.MoveTo(start)) return false;
    }
    auto findEnd = [&](uint32_t from) -> const char* {
        return static_cast<const char*>(std::memchr(window.Bytes() + from, '\n', window.Length() - from));
    };
    uint32_t rel = static_cast<uint32_t>(start - window.Base());
    const char* end = findEnd(rel);
    if (!end && !window.ReachesEnd() && rel > 0) {
        if (!window.MoveTo(start)) return false;
        rel = 0;
        end = findEnd(0);
    }
    const char* begin = window.Bytes() + rel;
    if (end) {
        line->bytes.assign(begin, end);
        line->next = window.Base() + (end - window.Bytes()) + 1;
    } else {
        line->bytes.assign(begin, window.Bytes() + window.Length());
        line->next = window.Base() + window.Length();
        // A line longer than the whole window: skip the rest of it.
        while (!window.ReachesEnd()) {
            if (!window.MoveTo(line->next)) return false;
            const char* e = findEnd(0);
            if (e) {
                line->next = window.Base() + (e - window.Bytes()) + 1;
                break;
            }
            line->next = window.Base() + window.Length();
        }
    }
    if (!line->bytes.empty() && line->bytes.back() == '\r') line->bytes.pop_back();
    return true;
}

// The language name of a header line "[Name]...", or false when the line is
// no header or its name is too long to count.
bool HeaderName(const std::string& bytes, std::u16string* name) {
    if (bytes.empty() || bytes[0] != '[') return false;
    size_t close = bytes.find(']', 1);
    if (close == std::string::npos) return false;
    *name = plat::AnsiToWide(std::string_view(bytes).substr(1, close - 1));
    return name->size() <= static_cast<size_t>(kMaxLanguageNameLength);
}

// Reads the text lines after the selected header into the slots, until the
// first line whose identifier does not read as a non-zero number. Returns
// the offset of that line (where the search for headers goes on).
int64_t ReadSection(FileWindow& window, int64_t start, LanguageTable& language) {
    Line line;
    int64_t at = start;
    while (ReadLine(window, at, &line)) {
        std::u16string text = plat::AnsiToWide(line.bytes);
        int32_t id = ParseInt(std::u16string_view(text).substr(0, 3));
        if (id == 0) return at;
        // Identifiers have three digits; a sign ("-12") would point before
        // the table and is skipped.
        if (id > 0 && id < kLanguageSlots) language.text[id] = std::u16string_view(text).substr(std::min<size_t>(4, text.size()));
        at = line.next;
    }
    return at;
}

}  // namespace

void LoadLanguageFile(std::u16string_view devicePath, ProfileTable& profiles, LanguageTable& language,
                      const Options& options) {
    plat::File file;
    if (!file.Open(devicePath, plat::kGenericRead, plat::kShareRead, plat::kOpenExisting)) return;

    for (auto& slot : language.text) slot.Clear();
    language.languageCount = 0;

    FileWindow window(file);
    if (window.MoveTo(0)) {
        Line line;
        int64_t at = 0;
        while (ReadLine(window, at, &line)) {
            std::u16string name;
            if (!HeaderName(line.bytes, &name)) {
                at = line.next;
                continue;
            }
            // The window starts at each header.
            if (!window.MoveTo(at)) break;
            int32_t section = language.languageCount++;
            if (kLanguageNameSlot + section < kLanguageSlots) language.text[kLanguageNameSlot + section] = name;
            at = line.next;
            if (section == options.language) at = ReadSection(window, at, language);
        }
    }
    file.Close();

    for (int slot = 0; slot < 5; ++slot) {
        if (profiles.profiles[slot].name.Empty())
            profiles.profiles[slot].name = language.text[kTextDefaultProfileName + slot].View();
    }
}

void LoadLanguage(ProfileTable& profiles, LanguageTable& language, const Options& options) {
    ConfigPaths paths = BuildConfigPaths();
    LoadLanguageFile(paths.languageFile.View(), profiles, language, options);
}

}  // namespace tlw
