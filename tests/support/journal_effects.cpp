#include "support/journal_effects.h"

#include "platform/storage/journal.h"

std::vector<std::string> JournalEffects() {
    std::vector<std::string> effects;
    for (const std::string& line : plat::JournalRead()) {
        size_t first = line.find(' ');
        size_t second = first == std::string::npos ? first : line.find(' ', first + 1);
        effects.push_back(second == std::string::npos ? line : line.substr(second + 1));
    }
    return effects;
}
