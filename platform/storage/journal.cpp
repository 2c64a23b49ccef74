#include "platform/storage/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/kernel/clock.h"
#include "platform/storage/device.h"

namespace plat {
namespace {

std::filesystem::path JournalPath() {
    std::filesystem::path root = DeviceRoot();
    if (root.empty()) return {};
    return root / ".device" / "journal";
}

// Copies text into line with every line end (and other control character
// but tab) turned into a blank, so that one entry stays one line.
void AppendOneLine(std::string* line, std::string_view text) {
    for (char c : text) line->push_back(static_cast<unsigned char>(c) < 0x20 ? ' ' : c);
}

}  // namespace

void JournalAppend(std::string_view effect) {
    std::filesystem::path path = JournalPath();
    if (path.empty()) return;
    std::string line = FormatDeviceTime(GetLocalTime());
    line.push_back(' ');
    // The program name is one word, so that the effect starts after the
    // second blank of every line.
    std::string program = ProgramName();
    for (char& c : program)
        if (static_cast<unsigned char>(c) <= 0x20) c = '_';
    line += program.empty() ? "?" : program;
    line.push_back(' ');
    AppendOneLine(&line, effect);
    line.push_back('\n');

    // One write on a descriptor opened for appending: lines of several
    // processes never interleave.
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    ssize_t written;
    do {
        written = ::write(fd, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    ::close(fd);
}

std::vector<std::string> JournalReadFrom(uint64_t* offset) {
    std::vector<std::string> lines;
    std::filesystem::path path = JournalPath();
    if (path.empty()) return lines;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return lines;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        return lines;
    }
    uint64_t size = static_cast<uint64_t>(info.st_size);
    if (size < *offset) *offset = 0;
    std::string text;
    text.resize(size - *offset);
    size_t got = 0;
    while (got < text.size()) {
        ssize_t n = ::pread(fd, text.data() + got, text.size() - got, static_cast<off_t>(*offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    text.resize(got);

    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    *offset += start;
    return lines;
}

std::vector<std::string> JournalRead() {
    uint64_t offset = 0;
    return JournalReadFrom(&offset);
}

}  // namespace plat
