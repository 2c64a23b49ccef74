#include "common/config/config_line_reader.h"

#include "base/text.h"
#include "platform/storage/code_page.h"

namespace tlw {

void ConfigLineReader::Rewind() { position_ = 0; }

bool ConfigLineReader::ReadLine(std::u16string* line) {
    std::string bytes;
    int64_t position = position_;
    char buffer[kBufferSize];
    for (;;) {
        if (file_.Seek(position, plat::kFileBegin) < 0) return false;
        uint32_t got = 0;
        if (!file_.Read(buffer, kBufferSize, &got)) return false;
        std::string_view chunk(buffer, got);
        std::size_t lf = chunk.find('\n');
        if (lf != std::string_view::npos) {
            bytes.append(chunk.substr(0, lf));
            position += static_cast<int64_t>(lf) + 1;
            break;
        }
        bytes.append(chunk);
        position += got;
        if (got < kBufferSize) {
            // End of the file: a last line without line end still counts.
            if (bytes.empty()) return false;
            break;
        }
        // No line end within the buffer: the line goes on in the next step.
    }
    if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
    position_ = position;
    *line = plat::AnsiToWide(bytes);
    return true;
}

bool ConfigLineReader::FindSection(std::u16string_view header) {
    int64_t start = position_;
    std::u16string line;
    while (ReadLine(&line)) {
        if (line.empty() || line[0] == u';') continue;
        if (StartsWith(line, header)) return true;
    }
    position_ = start;
    return false;
}

bool ConfigLineReader::FindKey(std::u16string_view key, std::u16string* value) {
    int64_t start = position_;
    std::u16string prefix(key);
    prefix += u'=';
    std::u16string line;
    while (ReadLine(&line)) {
        if (line.empty() || line[0] == u';') continue;
        if (line[0] == u'[') break;
        if (StartsWith(line, prefix)) {
            *value = line.substr(prefix.size());
            return true;
        }
    }
    position_ = start;
    return false;
}

}  // namespace tlw
