// The device journal: one line per effect of a platform call outside the
// registry and the files (a sound played, a program started, a radio
// switched, ...), "YYYY-MM-DDTHH:MM:SS program effect", added to the table
// journal of the device store (device_store.h) by every process of the
// device.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Appends one line with the device time and this program's name. The effect
// is UTF-8 text without line ends (line ends are replaced by blanks).
void JournalAppend(std::string_view effect);

// Every line of the journal, oldest first, without line ends.
std::vector<std::string> JournalRead();

// The lines appended since position *offset (0: from the start), oldest
// first, and moves *offset past them. A journal now shorter than *offset
// (made anew) is read from its start.
std::vector<std::string> JournalReadFrom(uint64_t* offset);

}  // namespace plat
