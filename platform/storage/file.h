// Files over device paths, with the phone's sharing modes: a file opened
// without a sharing flag cannot be opened again until it is closed, in this
// process or any other of the device. Failures set the last error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

enum FileAccess : uint32_t { kGenericRead = 0x80000000u, kGenericWrite = 0x40000000u };
enum FileShare : uint32_t { kShareNone = 0, kShareRead = 1, kShareWrite = 2 };
enum FileCreation : uint32_t {
    kCreateNew = 1,         // fails when the file exists
    kCreateAlways = 2,      // creates or truncates
    kOpenExisting = 3,      // fails when the file is missing
    kOpenAlways = 4,        // opens or creates
    kTruncateExisting = 5,  // opens and truncates; fails when missing
};
enum SeekOrigin : uint32_t { kFileBegin = 0, kFileCurrent = 1, kFileEnd = 2 };

// An open file. Move-only; closing happens on destruction or Close.
//
// The handle keeps its own position and reads through a buffer of
// kReadBufferSize bytes, so that a reader that reads a little, seeks back and
// reads again (a line at a time) costs a system call only when it leaves the
// buffered part. A handle that lets others write (kShareWrite) reads through
// to the file every time, so that it sees what they wrote. Writes go to the
// file at once.
class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens devicePath. Returns false (last error set) when it cannot.
    bool Open(std::u16string_view devicePath, uint32_t access, uint32_t share, uint32_t creation);
    bool IsOpen() const { return fd_ >= 0; }
    void Close();

    // Reads up to size bytes; *read is the count (0 at the end of the file).
    bool Read(void* buffer, uint32_t size, uint32_t* read);
    // Reads like Read without copying: *data points at the next bytes inside
    // the handle's own memory, valid until the next call on the handle.
    // *read is size, fewer only at the end of the file: for a handle that
    // buffers, the end as it was when the buffer last reached it (a read that
    // starts right at that end looks at the file anew). size is at most
    // kInPlaceLimit (else false with kErrorInvalidParameter).
    bool ReadInPlace(uint32_t size, const uint8_t** data, uint32_t* read);
    // Writes all bytes; false (disk full or error) when not all were written.
    bool Write(const void* data, uint32_t size);
    // Moves the position; returns the new position or -1.
    int64_t Seek(int64_t offset, uint32_t origin);
    int64_t Size() const;
    // Forces the written data to storage.
    bool Flush();
    // Ends the file at the current position (cutting or extending it).
    bool SetEndOfFile();

    static constexpr uint32_t kReadBufferSize = 16384;
    // A refill keeps this much of the file before the position, so that a
    // reader that seeks back a few lines finds them still buffered.
    static constexpr uint32_t kReadBehind = 4096;
    static constexpr uint32_t kInPlaceLimit = kReadBufferSize - kReadBehind;

private:
    // Reads at offset from the host file into out (a short count at the end
    // of the file); false with the last error set.
    bool ReadHost(int64_t offset, uint8_t* out, uint32_t size, uint32_t* read);
    // Fills the buffer with the bytes around position_ (from kReadBehind
    // before it); false with the last error set.
    bool FillBuffer();
    // Bytes buffered from position_ on (0 when position_ lies outside).
    uint32_t BufferedAhead() const;

    int fd_ = -1;                      // host descriptor, -1 when closed
    int64_t position_ = 0;             // offset of the next read or write
    bool buffered_ = false;            // reads may be served from buffer_
    std::vector<uint8_t> buffer_;      // file bytes from bufferStart_ (allocated on first read)
    int64_t bufferStart_ = 0;          // file offset of buffer_[0]
    uint32_t bufferLength_ = 0;        // valid bytes in buffer_, 0 = nothing buffered
    bool bufferAtEnd_ = false;         // buffer_ ended at the end of the file when filled
};

// Whole-file and folder operations; each returns false with the last error set.
bool CopyFile(std::u16string_view from, std::u16string_view to, bool failIfExists);
bool DeleteFile(std::u16string_view path);
// Renames (moves) a file. With replace, an existing target is replaced in one
// step (the target is never missing in between).
bool MoveFile(std::u16string_view from, std::u16string_view to, bool replace = false);
bool CreateDirectory(std::u16string_view path);
bool RemoveDirectory(std::u16string_view path);
bool FileExists(std::u16string_view path);
bool DirectoryExists(std::u16string_view path);
// Size of a file in bytes, or -1 when it does not exist.
int64_t FileSize(std::u16string_view path);

// File attributes reported by the finder.
enum : uint32_t { kAttributeDirectory = 0x10, kAttributeNormal = 0x80 };

// One entry found by FindFirstFile/FindNextFile.
struct FindData {
    uint32_t attributes = 0;   // kAttributeDirectory or kAttributeNormal
    uint64_t size = 0;         // bytes (0 for folders)
    uint64_t lastWrite = 0;    // file time: 100 ns units since 1601, device local time
    std::u16string name;       // the entry's name as stored, without its folder
};

// Finds the entries of one folder that match a pattern of "*" and "?"
// (matched without regard to case); "*.*" matches every name. The platform's
// own state folder is never listed.
class FileFinder {
public:
    // Starts a search for a pattern like "\My Documents\*.tlw". Returns false
    // (last error kErrorFileNotFound or kErrorPathNotFound) when nothing matches.
    bool First(std::u16string_view pattern, FindData* out);
    // The next match; false with kErrorNoMoreFiles at the end.
    bool Next(FindData* out);

private:
    std::vector<FindData> matches_;  // every match, sorted by name
    std::size_t next_ = 0;           // index of the next one to return
};

bool MatchWildcard(std::u16string_view pattern, std::u16string_view name);

}  // namespace plat

namespace plat {

// Crash testing: ends this process (with _exit, status kCrashTestExitCode)
// at the count-th step that changes a file from now on, as a crash or a
// power cut would. A step is opening a file for writing, one Write (of which
// only the first half reaches the file at the fatal step), Flush,
// SetEndOfFile, MoveFile, DeleteFile, CreateDirectory or AppendFile. 0 turns it off. Returns the
// number of steps taken since the last call.
constexpr int kCrashTestExitCode = 86;
int ExitAtFileStep(int count);

// Appends bytes to a file in one write, creating the file when missing;
// appends of several processes never interleave within one call.
bool AppendFile(std::u16string_view path, const void* data, uint32_t size);

}  // namespace plat
