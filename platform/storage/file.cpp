#include "platform/storage/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <system_error>

#include "base/text.h"
#include "platform/storage/device.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/paths.h"

namespace plat {
namespace {

uint32_t ErrorFromErrno(int e) {
    switch (e) {
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES: case EPERM: case EISDIR: return kErrorAccessDenied;
    case EEXIST: return kErrorAlreadyExists;
    case ENOSPC: case EDQUOT: return kErrorDiskFull;
    case ENOMEM: return kErrorNotEnoughMemory;
    case EWOULDBLOCK: return kErrorSharingViolation;
    default: return kErrorAccessDenied;
    }
}

// Crash testing (ExitAtFileStep): the step that ends the process, 0 for
// none, and the steps taken so far.
std::atomic<int> g_exitAtStep{0};
std::atomic<int> g_steps{0};

// Counts one step that changes a file; ends the process at the chosen one.
// A Write passes its bytes and file offset so that half of them reach the
// file first.
void FileStep(int fd = -1, const void* data = nullptr, uint32_t size = 0, int64_t offset = 0) {
    int step = ++g_steps;
    if (g_exitAtStep == 0 || step != g_exitAtStep) return;
    if (fd >= 0 && size > 1) {
        ssize_t ignored = ::pwrite(fd, data, size / 2, offset);
        (void)ignored;
    }
    ::_exit(kCrashTestExitCode);
}

// A missing folder on the way reads as "path not found", a missing file as
// "file not found", as the phone reports them.
uint32_t MissingError(const std::filesystem::path& host) {
    std::error_code ec;
    return std::filesystem::is_directory(host.parent_path(), ec) ? kErrorFileNotFound : kErrorPathNotFound;
}

}  // namespace

File::~File() { Close(); }

File::File(File&& other) noexcept { *this = std::move(other); }

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        position_ = other.position_;
        buffered_ = other.buffered_;
        buffer_ = std::move(other.buffer_);
        bufferStart_ = other.bufferStart_;
        bufferLength_ = other.bufferLength_;
        bufferAtEnd_ = other.bufferAtEnd_;
        other.fd_ = -1;
        other.bufferLength_ = 0;
    }
    return *this;
}

bool File::Open(std::u16string_view devicePath, uint32_t access, uint32_t share, uint32_t creation) {
    Close();
    std::filesystem::path host = HostPath(devicePath);
    if (host.empty()) {
        SetLastError(kErrorPathNotFound);
        return false;
    }
    int flags = O_CLOEXEC;
    bool reads = access & kGenericRead, writes = access & kGenericWrite;
    flags |= (reads && writes) ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
    switch (creation) {
    case kCreateNew: flags |= O_CREAT | O_EXCL; break;
    case kCreateAlways: flags |= O_CREAT; break;
    case kOpenExisting: break;
    case kOpenAlways: flags |= O_CREAT; break;
    case kTruncateExisting: break;
    default: SetLastError(kErrorInvalidParameter); return false;
    }
    struct stat st {};
    bool existed = ::stat(host.c_str(), &st) == 0;
    if (existed && S_ISDIR(st.st_mode)) {
        SetLastError(kErrorAccessDenied);
        return false;
    }
    if (writes || (flags & O_CREAT)) FileStep();
    int fd = ::open(host.c_str(), flags, 0644);
    if (fd < 0) {
        SetLastError(errno == ENOENT ? MissingError(host) : ErrorFromErrno(errno));
        return false;
    }
    // Sharing: a handle that lets others write or that allows no sharing at
    // all holds the file exclusively while another reader/writer is open.
    // Readers that share reading hold it shared, so readers coexist and a
    // writer that shares nothing is refused while they are open.
    bool exclusive = writes || !(share & kShareRead);
    if (share & kShareWrite) exclusive = false;
    if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        ::close(fd);
        SetLastError(kErrorSharingViolation);
        return false;
    }
    if (creation == kCreateAlways || creation == kTruncateExisting) {
        if (::ftruncate(fd, 0) != 0) {
            SetLastError(ErrorFromErrno(errno));
            ::close(fd);
            return false;
        }
    }
    fd_ = fd;
    position_ = 0;
    buffered_ = !(share & kShareWrite);
    bufferLength_ = 0;
    // Like the phone: creating over an existing file succeeds with this code.
    SetLastError((existed && (creation == kCreateAlways || creation == kOpenAlways)) ? kErrorAlreadyExists : kErrorSuccess);
    return true;
}

void File::Close() {
    if (fd_ >= 0) {
        ::close(fd_);  // also releases the sharing lock
        fd_ = -1;
    }
    position_ = 0;
    bufferLength_ = 0;
    buffer_.clear();
    buffer_.shrink_to_fit();
}

bool File::ReadHost(int64_t offset, uint8_t* out, uint32_t size, uint32_t* read) {
    *read = 0;
    while (*read < size) {
        ssize_t n = ::pread(fd_, out + *read, size - *read, offset + *read);
        if (n < 0) {
            if (errno == EINTR) continue;
            SetLastError(ErrorFromErrno(errno));
            return false;
        }
        *read += static_cast<uint32_t>(n);
        // A short count from a regular file is its end: asking again would
        // cost one more system call only to hear "nothing".
        if (n == 0 || *read < size) break;
    }
    return true;
}

uint32_t File::BufferedAhead() const {
    if (!buffered_ || bufferLength_ == 0 || position_ < bufferStart_ || position_ >= bufferStart_ + bufferLength_)
        return 0;
    return static_cast<uint32_t>(bufferStart_ + bufferLength_ - position_);
}

bool File::FillBuffer() {
    if (buffer_.size() != kReadBufferSize) buffer_.resize(kReadBufferSize);
    const int64_t start = position_ > kReadBehind ? position_ - kReadBehind : 0;
    uint32_t got = 0;
    bufferLength_ = 0;
    if (!ReadHost(start, buffer_.data(), kReadBufferSize, &got)) return false;
    bufferStart_ = start;
    bufferLength_ = got;
    bufferAtEnd_ = got < kReadBufferSize;
    return true;
}

bool File::Read(void* buffer, uint32_t size, uint32_t* read) {
    *read = 0;
    if (fd_ < 0) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    auto* out = static_cast<uint8_t*>(buffer);
    while (*read < size) {
        const uint32_t want = size - *read;
        if (const uint32_t ahead = BufferedAhead(); ahead > 0) {
            const uint32_t n = std::min(want, ahead);
            std::memcpy(out + *read, buffer_.data() + (position_ - bufferStart_), n);
            *read += n;
            position_ += n;
            continue;
        }
        if (!buffered_ || want >= kInPlaceLimit) {
            // Straight into the caller's memory: the handle does not buffer,
            // or the request is about as large as the buffer.
            uint32_t got = 0;
            bool ok = ReadHost(position_, out + *read, want, &got);
            *read += got;
            position_ += got;
            if (!ok || got == 0 || got == want) return ok;
            continue;  // a short count: the loop asks once more, which finds the end
        }
        if (!FillBuffer()) return false;
        if (BufferedAhead() == 0) break;  // end of the file
    }
    return true;
}

bool File::ReadInPlace(uint32_t size, const uint8_t** data, uint32_t* read) {
    *read = 0;
    *data = nullptr;
    if (fd_ < 0) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    if (size > kInPlaceLimit) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    if (!buffered_) {
        // A handle that lets others write keeps nothing: the bytes are read
        // into its memory for this call alone.
        if (buffer_.size() < size) buffer_.resize(kReadBufferSize);
        bufferLength_ = 0;
        uint32_t got = 0;
        if (!ReadHost(position_, buffer_.data(), size, &got)) return false;
        *data = buffer_.data();
        *read = got;
        position_ += got;
        return true;
    }
    // The buffer holds the whole request or the rest of the file, or is
    // refilled around the position, after which it holds the request unless
    // the file ends first.
    const uint32_t ahead = BufferedAhead();
    if (ahead < size && !(bufferAtEnd_ && ahead > 0) && !FillBuffer()) return false;
    const uint32_t n = std::min(size, BufferedAhead());
    *data = n > 0 ? buffer_.data() + (position_ - bufferStart_) : buffer_.data();
    *read = n;
    position_ += n;
    return true;
}

bool File::Write(const void* data, uint32_t size) {
    if (fd_ < 0) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    FileStep(fd_, data, size, position_);
    bufferAtEnd_ = false;  // the file may grow
    // Buffered bytes that this write replaces are dropped.
    if (bufferLength_ > 0 && position_ < bufferStart_ + bufferLength_ && position_ + size > bufferStart_)
        bufferLength_ = 0;
    const auto* in = static_cast<const uint8_t*>(data);
    uint32_t done = 0;
    while (done < size) {
        ssize_t n = ::pwrite(fd_, in + done, size - done, position_);
        if (n < 0) {
            if (errno == EINTR) continue;
            SetLastError(ErrorFromErrno(errno));
            return false;
        }
        done += static_cast<uint32_t>(n);
        position_ += n;
    }
    return true;
}

int64_t File::Seek(int64_t offset, uint32_t origin) {
    if (fd_ < 0) {
        SetLastError(kErrorInvalidHandle);
        return -1;
    }
    int64_t from = 0;
    if (origin == kFileCurrent) {
        from = position_;
    } else if (origin == kFileEnd) {
        from = Size();
        if (from < 0) {
            SetLastError(kErrorInvalidParameter);
            return -1;
        }
    }
    // A position before the start of the file (or beyond what a file offset
    // can hold) is refused and leaves the position.
    if ((offset < 0 && from + offset < 0) || (offset > 0 && from > INT64_MAX - offset)) {
        SetLastError(kErrorInvalidParameter);
        return -1;
    }
    position_ = from + offset;
    return position_;
}

int64_t File::Size() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
    return st.st_size;
}

bool File::Flush() {
    FileStep();
#ifdef TLW_NO_FILE_SYNC
    // Fuzzing build: the device folder is scratch, the data need not reach storage.
    return fd_ >= 0;
#else
    return fd_ >= 0 && ::fsync(fd_) == 0;
#endif
}

bool File::SetEndOfFile() {
    if (fd_ < 0) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    FileStep();
    bufferAtEnd_ = false;
    if (::ftruncate(fd_, position_) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return false;
    }
    // Buffered bytes beyond the new end are gone from the file.
    if (bufferLength_ > 0 && bufferStart_ + bufferLength_ > position_) bufferLength_ = 0;
    return true;
}

bool CopyFile(std::u16string_view from, std::u16string_view to, bool failIfExists) {
    File in;
    if (!in.Open(from, kGenericRead, kShareRead, kOpenExisting)) return false;
    // Copy to a temporary file beside the target and move it in place, so
    // that the target holds the old or the new content, never a part.
    std::u16string temp = std::u16string(to) + u".~cp";
    File out;
    if (!out.Open(temp, kGenericWrite, kShareNone, kCreateAlways)) return false;
    uint8_t buffer[16384];
    for (;;) {
        uint32_t n = 0;
        if (!in.Read(buffer, sizeof buffer, &n)) break;
        if (n == 0) break;
        if (!out.Write(buffer, n)) {
            uint32_t error = GetLastError();
            out.Close();
            DeleteFile(temp);
            SetLastError(error);
            return false;
        }
    }
    out.Close();
    in.Close();
    if (failIfExists && FileExists(to)) {
        DeleteFile(temp);
        SetLastError(kErrorFileExists);
        return false;
    }
    return MoveFile(temp, to, true);
}

bool DeleteFile(std::u16string_view path) {
    std::filesystem::path host = HostPath(path);
    struct stat st {};
    if (host.empty() || ::lstat(host.c_str(), &st) != 0) {
        SetLastError(host.empty() ? kErrorPathNotFound : MissingError(host));
        return false;
    }
    FileStep();
    if (S_ISDIR(st.st_mode) || ::unlink(host.c_str()) != 0) {
        SetLastError(S_ISDIR(st.st_mode) ? kErrorAccessDenied : ErrorFromErrno(errno));
        return false;
    }
    return true;
}

bool MoveFile(std::u16string_view from, std::u16string_view to, bool replace) {
    std::filesystem::path a = HostPath(from), b = HostPath(to);
    struct stat st {};
    if (a.empty() || b.empty() || ::lstat(a.c_str(), &st) != 0) {
        SetLastError(a.empty() || b.empty() ? kErrorPathNotFound : MissingError(a));
        return false;
    }
    if (!replace && ::lstat(b.c_str(), &st) == 0) {
        SetLastError(kErrorAlreadyExists);
        return false;
    }
    FileStep();
    if (::rename(a.c_str(), b.c_str()) != 0) {
        SetLastError(errno == ENOENT ? kErrorPathNotFound : ErrorFromErrno(errno));
        return false;
    }
    return true;
}

bool CreateDirectory(std::u16string_view path) {
    std::filesystem::path host = HostPath(path);
    if (host.empty()) {
        SetLastError(kErrorPathNotFound);
        return false;
    }
    FileStep();
    if (::mkdir(host.c_str(), 0755) != 0) {
        SetLastError(errno == ENOENT ? kErrorPathNotFound : ErrorFromErrno(errno));
        return false;
    }
    return true;
}

bool RemoveDirectory(std::u16string_view path) {
    std::filesystem::path host = HostPath(path);
    if (host.empty() || ::rmdir(host.c_str()) != 0) {
        SetLastError(host.empty() ? kErrorPathNotFound : ErrorFromErrno(errno));
        return false;
    }
    return true;
}

bool FileExists(std::u16string_view path) {
    std::filesystem::path host = HostPath(path);
    std::error_code ec;
    return !host.empty() && std::filesystem::is_regular_file(host, ec);
}

bool DirectoryExists(std::u16string_view path) {
    std::filesystem::path host = HostPath(path);
    std::error_code ec;
    return !host.empty() && std::filesystem::is_directory(host, ec);
}

int64_t FileSize(std::u16string_view path) {
    std::filesystem::path host = HostPath(path);
    struct stat st {};
    if (host.empty() || ::stat(host.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return st.st_size;
}

bool MatchWildcard(std::u16string_view pattern, std::u16string_view name) {
    // "*.*" matches every name, with or without a dot, as on the phone.
    if (pattern == u"*.*") return true;
    std::size_t p = 0, n = 0, starP = std::u16string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || tlw::FoldCase(pattern[p]) == tlw::FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

bool FileFinder::First(std::u16string_view pattern, FindData* out) {
    matches_.clear();
    next_ = 0;
    std::size_t slash = pattern.find_last_of(u"\\/");
    std::u16string_view folder = slash == std::u16string_view::npos ? std::u16string_view(u"\\") : pattern.substr(0, slash + 1);
    std::u16string_view mask = slash == std::u16string_view::npos ? pattern : pattern.substr(slash + 1);
    std::filesystem::path host = HostPath(folder);
    std::error_code ec;
    if (host.empty() || !std::filesystem::is_directory(host, ec)) {
        SetLastError(kErrorPathNotFound);
        return false;
    }
    bool atRoot = std::filesystem::equivalent(host, DeviceRoot(), ec);
    for (std::filesystem::directory_iterator it(host, ec), end; !ec && it != end; it.increment(ec)) {
        std::u16string name = tlw::Utf8ToUtf16(it->path().filename().string());
        if (atRoot && name == u".device") continue;
        if (!MatchWildcard(mask, name)) continue;
        FindData d;
        d.name = name;
        struct stat st {};
        if (::stat(it->path().c_str(), &st) != 0) continue;
        d.attributes = S_ISDIR(st.st_mode) ? kAttributeDirectory : kAttributeNormal;
        d.size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
        // Host modification time as a file time (seconds since 1601).
        d.lastWrite = (static_cast<uint64_t>(st.st_mtime) + 11644473600ull) * 10000000ull;
        matches_.push_back(std::move(d));
    }
    std::sort(matches_.begin(), matches_.end(), [](const FindData& a, const FindData& b) { return a.name < b.name; });
    if (matches_.empty()) {
        SetLastError(kErrorFileNotFound);
        return false;
    }
    return Next(out);
}

bool FileFinder::Next(FindData* out) {
    if (next_ >= matches_.size()) {
        SetLastError(kErrorNoMoreFiles);
        return false;
    }
    *out = matches_[next_++];
    return true;
}

int ExitAtFileStep(int count) {
    g_exitAtStep = count;
    return g_steps.exchange(0);
}

}  // namespace plat

namespace plat {

bool AppendFile(std::u16string_view path, const void* data, uint32_t size) {
    std::filesystem::path host = HostPath(path);
    if (host.empty()) {
        SetLastError(kErrorPathNotFound);
        return false;
    }
    FileStep();
    int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        SetLastError(errno == ENOENT ? kErrorPathNotFound : ErrorFromErrno(errno));
        return false;
    }
    ssize_t n = ::write(fd, data, size);
    int error = errno;
    ::close(fd);
    if (n != static_cast<ssize_t>(size)) {
        SetLastError(n < 0 ? ErrorFromErrno(error) : kErrorDiskFull);
        return false;
    }
    return true;
}

}  // namespace plat
