#include "platform/storage/journal.h"

#include "platform/kernel/clock.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/device.h"
#include "platform/storage/device_store.h"

namespace plat {
namespace {

// Copies text into line with every line end (and other control character
// but tab) turned into a blank, so that one entry stays one line.
void AppendOneLine(std::string* line, std::string_view text) {
    for (char c : text) line->push_back(static_cast<unsigned char>(c) < 0x20 ? ' ' : c);
}

}  // namespace

void JournalAppend(std::string_view effect) {
    if (DeviceRoot().empty()) return;
    std::string time = FormatDeviceTime(GetLocalTime());
    // The program name is one word, so that the effect starts after the
    // second blank of every line.
    std::string program = ProgramName();
    for (char& c : program)
        if (static_cast<unsigned char>(c) <= 0x20) c = '_';
    if (program.empty()) program = "?";
    std::string text;
    AppendOneLine(&text, effect);
    // One row in its own transaction (joined to the caller's when it has
    // one): entries of several processes never mix.
    store::Write([&](store::Transaction& t) -> uint32_t {
        store::Query q(t, "INSERT INTO journal(time, program, effect) VALUES(?1, ?2, ?3)");
        q.Bind(1, time).Bind(2, program).Bind(3, text);
        return q.Run();
    });
}

std::vector<std::string> JournalReadFrom(uint64_t* offset) {
    std::vector<std::string> lines;
    if (DeviceRoot().empty()) return lines;
    store::Read([&](store::Transaction& t) -> uint32_t {
        lines.clear();
        // A journal whose last entry is before *offset was made anew.
        store::Query last(t, "SELECT IFNULL(MAX(id), 0) FROM journal");
        if (!last.Next()) return last.Error();
        uint64_t from = static_cast<uint64_t>(last.Int(0)) < *offset ? 0 : *offset;
        store::Query q(t, "SELECT id, time, program, effect FROM journal WHERE id > ?1 ORDER BY id");
        q.Bind(1, static_cast<int64_t>(from));
        uint64_t next = from;
        while (q.Next()) {
            next = static_cast<uint64_t>(q.Int(0));
            lines.push_back(q.Text(1) + ' ' + q.Text(2) + ' ' + q.Text(3));
        }
        if (q.Error() != kErrorSuccess) {
            lines.clear();
            return q.Error();
        }
        *offset = next;
        return kErrorSuccess;
    });
    return lines;
}

std::vector<std::string> JournalRead() {
    uint64_t offset = 0;
    return JournalReadFrom(&offset);
}

}  // namespace plat
