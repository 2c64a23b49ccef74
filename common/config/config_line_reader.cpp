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

bool ConfigLineReader::ReadStep(std::string_view* chunk) {
    if (file_) {
        const uint8_t* data = nullptr;
        uint32_t got = 0;
        if (!file_->ReadInPlace(kBufferSize, &data, &got)) return false;
        *chunk = std::string_view(reinterpret_cast<const char*>(data), got);
        return true;
    }
    int64_t size = static_cast<int64_t>(content_.size());
    int64_t count = contentAt_ < size ? std::min<int64_t>(kBufferSize, size - contentAt_) : 0;
    *chunk = count > 0 ? content_.substr(static_cast<std::size_t>(contentAt_), static_cast<std::size_t>(count))
                       : std::string_view();
    contentAt_ += count;
    return true;
}

bool ConfigLineReader::ReadLineBytes(std::string_view* bytes) {
    uint64_t length = 0;  // bytes of the whole line, without its LF
    int64_t position = position_;
    std::string_view first;  // the line's part in its first step
    bool inPlace = true;     // the line ended within its first step
    // One seek to the line's start; the steps then read on from there.
    if (!SeekTo(position)) return false;
    for (bool firstStep = true;; firstStep = false) {
        std::string_view chunk;
        if (!ReadStep(&chunk)) return false;
        std::size_t lf = chunk.find('\n');
        std::string_view part = chunk.substr(0, lf);
        bool ends = lf != std::string_view::npos || chunk.size() < kBufferSize;
        if (firstStep && ends) {
            first = part;
        } else {
            // The step's bytes are gone once the next step is read: a line
            // that goes on is kept, up to kMaxKeptBytes.
            if (inPlace) kept_.clear();
            inPlace = false;
            if (kept_.size() < kMaxKeptBytes) kept_.append(part.substr(0, kMaxKeptBytes - kept_.size()));
        }
        length += part.size();
        if (lf != std::string_view::npos) {
            position += static_cast<int64_t>(lf) + 1;
            break;
        }
        position += static_cast<int64_t>(chunk.size());
        if (chunk.size() < kBufferSize) {
            // End of the file: a last line without line end still counts.
            if (length == 0) return false;
            break;
        }
        // No line end within the step: the line goes on in the next step.
    }
    std::string_view line = inPlace ? first : std::string_view(kept_);
    // The CR before the LF; of a cut line it was never kept.
    if (length == line.size() && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    position_ = position;
    *bytes = line;
    return true;
}

bool ConfigLineReader::ReadLine(std::u16string* line) {
    std::string_view bytes;
    if (!ReadLineBytes(&bytes)) return false;
    plat::AnsiToWideInto(bytes, line);
    return true;
}

namespace {

// Every code page of the device keeps the ASCII bytes as the same characters
// and never uses them inside a longer character. So while a line's bytes are
// ASCII they are its characters, and the lookups compare the bytes without
// converting the line; a byte beyond ASCII leaves the answer to the converted
// line.
enum class Compare { kDiffers, kMatches, kConvert };

// Whether the line starts with text (text is ASCII).
Compare StartsWithBytes(std::string_view bytes, std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        // The converted line has at most one character per byte.
        if (i >= bytes.size()) return Compare::kDiffers;
        auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80 || text[i] >= 0x80) return Compare::kConvert;
        if (b != text[i]) return Compare::kDiffers;
    }
    return Compare::kMatches;
}

// A line the lookups pass over (empty or a comment), and one that starts a
// section, by its first byte; kConvert when that byte is not ASCII.
Compare FirstByteIs(std::string_view bytes, char c) {
    auto b = static_cast<unsigned char>(bytes[0]);
    return b >= 0x80 ? Compare::kConvert : b == static_cast<unsigned char>(c) ? Compare::kMatches : Compare::kDiffers;
}

}  // namespace

bool ConfigLineReader::FindSection(std::u16string_view header) {
    int64_t start = position_;
    std::string_view bytes;
    std::u16string& line = line_;
    while (ReadLineBytes(&bytes)) {
        if (bytes.empty()) continue;
        Compare comment = FirstByteIs(bytes, ';');
        if (comment == Compare::kDiffers) {
            Compare found = StartsWithBytes(bytes, header);
            if (found == Compare::kMatches) return true;
            if (found == Compare::kDiffers) continue;
        } else if (comment == Compare::kMatches) {
            continue;
        }
        plat::AnsiToWideInto(bytes, &line);
        if (line.empty() || line[0] == u';') continue;
        if (StartsWith(line, header)) return true;
    }
    position_ = start;
    return false;
}

bool ConfigLineReader::FindKey(std::u16string_view key, std::u16string* value) {
    int64_t start = position_;
    std::string_view bytes;
    std::u16string& line = line_;
    while (ReadLineBytes(&bytes)) {
        if (bytes.empty()) continue;
        if (FirstByteIs(bytes, ';') == Compare::kMatches) continue;
        if (FirstByteIs(bytes, '[') == Compare::kMatches) break;
        if (FirstByteIs(bytes, ';') == Compare::kDiffers) {
            // "key=" at the start of the line.
            Compare found = StartsWithBytes(bytes, key);
            if (found == Compare::kDiffers) continue;
            if (found == Compare::kMatches && bytes.size() > key.size()) {
                auto next = static_cast<unsigned char>(bytes[key.size()]);
                if (next == '=') {
                    plat::AnsiToWideInto(bytes.substr(key.size() + 1), value);
                    return true;
                }
                if (next < 0x80) continue;
            } else if (found == Compare::kMatches) {
                continue;  // the line is the key alone
            }
        }
        plat::AnsiToWideInto(bytes, &line);
        if (line.empty() || line[0] == u';') continue;
        if (line[0] == u'[') break;
        if (line.size() > key.size() && line[key.size()] == u'=' && StartsWith(line, key)) {
            value->assign(line, key.size() + 1);
            return true;
        }
    }
    position_ = start;
    return false;
}

}  // namespace tlw
