#include "common/config/config_line_reader.h"

#include <algorithm>
#include <cstring>

#include "base/text.h"
#include "platform/storage/code_page.h"

namespace tlw {

void ConfigLineReader::Rewind() { position_ = 0; }

bool ConfigLineReader::SeekTo(int64_t offset) {
    if (file_) return file_->Seek(offset, plat::kFileBegin) >= 0;
    contentAt_ = offset;
    return true;
}

bool ConfigLineReader::ReadStep(char* buffer, uint32_t* got) {
    if (file_) return file_->Read(buffer, kBufferSize, got);
    int64_t size = static_cast<int64_t>(content_.size());
    int64_t count = contentAt_ < size ? std::min<int64_t>(kBufferSize, size - contentAt_) : 0;
    if (count > 0) std::memcpy(buffer, content_.data() + contentAt_, static_cast<std::size_t>(count));
    contentAt_ += count;
    *got = static_cast<uint32_t>(count);
    return true;
}

bool ConfigLineReader::ReadLine(std::u16string* line) {
    std::string& bytes = kept_;  // the kept start of the line, at most kMaxKeptBytes
    bytes.clear();
    uint64_t length = 0;     // bytes of the whole line, without its LF
    int64_t position = position_;
    char buffer[kBufferSize];
    // One seek to the line's start; the steps then read on from there.
    if (!SeekTo(position)) return false;
    for (;;) {
        uint32_t got = 0;
        if (!ReadStep(buffer, &got)) return false;
        std::string_view chunk(buffer, got);
        std::size_t lf = chunk.find('\n');
        std::string_view part = chunk.substr(0, lf);
        length += part.size();
        if (bytes.size() < kMaxKeptBytes) bytes.append(part.substr(0, kMaxKeptBytes - bytes.size()));
        if (lf != std::string_view::npos) {
            position += static_cast<int64_t>(lf) + 1;
            break;
        }
        position += got;
        if (got < kBufferSize) {
            // End of the file: a last line without line end still counts.
            if (length == 0) return false;
            break;
        }
        // No line end within the buffer: the line goes on in the next step.
    }
    // The CR before the LF; of a cut line it was never kept.
    if (length == bytes.size() && !bytes.empty() && bytes.back() == '\r') bytes.pop_back();
    position_ = position;
    plat::AnsiToWideInto(bytes, line);
    return true;
}

bool ConfigLineReader::FindSection(std::u16string_view header) {
    int64_t start = position_;
    std::u16string& line = line_;
    while (ReadLine(&line)) {
        if (line.empty() || line[0] == u';') continue;
        if (StartsWith(line, header)) return true;
    }
    position_ = start;
    return false;
}

bool ConfigLineReader::FindKey(std::u16string_view key, std::u16string* value) {
    int64_t start = position_;
    std::u16string& line = line_;
    while (ReadLine(&line)) {
        if (line.empty() || line[0] == u';') continue;
        if (line[0] == u'[') break;
        // "key=" at the start of the line.
        if (line.size() > key.size() && line[key.size()] == u'=' && StartsWith(line, key)) {
            value->assign(line, key.size() + 1);
            return true;
        }
    }
    position_ = start;
    return false;
}

}  // namespace tlw
