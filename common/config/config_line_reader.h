// The configuration file's line reader: one read position that lookups move
// forward, steps of 255 bytes read in place from the file's buffer, and the
// section and key lookups.
//
// A lookup reads lines forward from the current position, skipping comment
// lines (";") and empty lines. A section lookup compares the start of each
// line with the header text and scans to the end of the file; a key lookup
// compares the start of each line with "key=" and stops unsuccessfully at
// the first line that begins with "[". On success the position stays after
// the found line; otherwise it goes back to where the lookup began.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/config/config_paths.h"
#include "platform/storage/file.h"

namespace tlw {

class ConfigLineReader {
public:
    static constexpr uint32_t kBufferSize = 255;  // bytes read per step
    // The most of one line that is kept: the longest key with its "=" and
    // the longest text any field holds (a full path), at up to three bytes
    // a character in a multi-byte code page. Whatever stands beyond can
    // never reach a field; it is read over without being stored, so a line
    // of any length takes the same memory.
    static constexpr uint32_t kLongestKey = 32;
    static constexpr uint32_t kMaxKeptBytes = (kLongestKey + 1 + kPathCapacity) * 3;

    // Reads an open file, or a file's whole content held in memory (which
    // must outlive the reader); both read alike, step by step.
    explicit ConfigLineReader(plat::File& file) : file_(&file) {}
    explicit ConfigLineReader(std::string_view content) : content_(content) {}

    // Moves the read position to the start of the file.
    void Rewind();

    // Reads the next line: converted to UTF-16, without its line end. A line
    // longer than the buffer is read in steps of the buffer; of a line longer
    // than kMaxKeptBytes only its start is kept. The last line of a file may
    // lack its line end. False at the end of the file.
    bool ReadLine(std::u16string* line);

    // Finds the line that starts with header ("[profile3]").
    bool FindSection(std::u16string_view header);
    // Finds "key=" before the next section; *value gets the rest of the line.
    bool FindKey(std::u16string_view key, std::u16string* value);

private:
    static_assert(kMaxKeptBytes >= kBufferSize, "a line of one step is kept whole");

    // Moves the source to offset; false when the file cannot seek there.
    bool SeekTo(int64_t offset);
    // The next step of up to kBufferSize bytes, read in place from the
    // source (valid until the next step); fewer only at the end.
    bool ReadStep(std::string_view* chunk);
    // ReadLine's bytes, not yet converted: a view into the source when the
    // line ends within its first step, else into kept_. Valid until the next
    // read.
    bool ReadLineBytes(std::string_view* bytes);

    plat::File* file_ = nullptr;  // the open configuration file, or null
    std::string_view content_;    // the content when there is no file
    int64_t contentAt_ = 0;       // the read offset in content_
    int64_t position_ = 0;        // offset of the next line
    std::string kept_;            // the start of a line longer than one step
    std::u16string line_;         // the lookups' last converted line (kept to reuse its storage)
};

}  // namespace tlw
