// A file handle's own position and read buffer: whatever mix of reads, seeks
// and writes a caller makes, it must see exactly what a plain file would show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/kernel/last_error.h"
#include "platform/storage/file.h"
#include "support/temp_device.h"

namespace {

// Random reads (small and larger than the buffer), seeks from every origin
// (also beyond the end) and writes (inside, across and beyond the buffered
// part) on one handle, checked against a byte string kept beside it.
TEST(FileBuffer, MixedReadsSeeksAndWritesMatchAPlainFile) {
    TempDevice device;
    std::mt19937 random(20100104);
    std::string model(3 * plat::File::kReadBufferSize + 123, '\0');
    for (char& c : model) c = static_cast<char>('a' + random() % 26);
    {
        plat::File w;
        ASSERT_TRUE(w.Open(u"\\mixed.bin", plat::kGenericWrite, plat::kShareNone, plat::kCreateAlways));
        ASSERT_TRUE(w.Write(model.data(), static_cast<uint32_t>(model.size())));
    }
    plat::File f;
    ASSERT_TRUE(f.Open(u"\\mixed.bin", plat::kGenericRead | plat::kGenericWrite, plat::kShareNone,
                       plat::kOpenExisting));
    int64_t position = 0;
    std::vector<char> got(2 * plat::File::kReadBufferSize + 7);
    for (int step = 0; step < 3000; ++step) {
        const uint32_t choice = random() % 10;
        if (choice < 2) {
            // A read in place: the bytes at the position, without a copy.
            uint32_t size = random() % 300;
            const uint8_t* data = nullptr;
            uint32_t read = 0;
            ASSERT_TRUE(f.ReadInPlace(size, &data, &read));
            int64_t available = std::max<int64_t>(0, static_cast<int64_t>(model.size()) - position);
            ASSERT_EQ(read, static_cast<uint32_t>(std::min<int64_t>(size, available))) << "step " << step;
            if (read > 0)
                ASSERT_EQ(std::string(reinterpret_cast<const char*>(data), read), model.substr(position, read))
                    << "step " << step;
            position += read;
        } else if (choice < 5) {
            // Mostly line-sized reads, now and then one larger than the buffer.
            uint32_t size = random() % 8 == 0 ? static_cast<uint32_t>(random() % got.size()) : random() % 300;
            uint32_t read = 0;
            ASSERT_TRUE(f.Read(got.data(), size, &read));
            int64_t available = std::max<int64_t>(0, static_cast<int64_t>(model.size()) - position);
            uint32_t expected = static_cast<uint32_t>(std::min<int64_t>(size, available));
            ASSERT_EQ(read, expected) << "step " << step;
            if (expected > 0) ASSERT_EQ(std::string(got.data(), read), model.substr(position, read)) << "step " << step;
            position += read;
        } else if (choice < 8) {
            const uint32_t origin = random() % 3;
            const int64_t size = static_cast<int64_t>(model.size());
            int64_t target = static_cast<int64_t>(random() % (size + 200));
            int64_t offset = origin == plat::kFileBegin ? target : origin == plat::kFileCurrent ? target - position : target - size;
            ASSERT_EQ(f.Seek(offset, origin), target) << "step " << step;
            position = target;
        } else {
            std::string bytes(random() % 400 + 1, '\0');
            for (char& c : bytes) c = static_cast<char>('A' + random() % 26);
            ASSERT_TRUE(f.Write(bytes.data(), static_cast<uint32_t>(bytes.size())));
            // Writing beyond the end fills the gap with zero bytes.
            if (position > static_cast<int64_t>(model.size())) model.resize(position, '\0');
            model.replace(position, std::min(bytes.size(), model.size() - position), bytes);
            position += static_cast<int64_t>(bytes.size());
        }
        ASSERT_EQ(f.Seek(0, plat::kFileCurrent), position);
    }
    EXPECT_EQ(f.Size(), static_cast<int64_t>(model.size()));
}

TEST(FileBuffer, RefusedSeeksLeaveThePosition) {
    TempDevice device;
    plat::File f;
    ASSERT_TRUE(f.Open(u"\\seek.txt", plat::kGenericRead | plat::kGenericWrite, plat::kShareNone, plat::kCreateAlways));
    ASSERT_TRUE(f.Write("0123456789", 10));
    EXPECT_EQ(f.Seek(4, plat::kFileBegin), 4);
    EXPECT_EQ(f.Seek(-5, plat::kFileCurrent), -1);
    EXPECT_EQ(plat::GetLastError(), plat::kErrorInvalidParameter);
    EXPECT_EQ(f.Seek(-11, plat::kFileEnd), -1);
    EXPECT_EQ(f.Seek(INT64_MAX, plat::kFileCurrent), -1);
    EXPECT_EQ(f.Seek(0, plat::kFileCurrent), 4);
    char c = 0;
    uint32_t read = 0;
    ASSERT_TRUE(f.Read(&c, 1, &read));
    EXPECT_EQ(c, '4');
    EXPECT_EQ(f.Seek(-2, plat::kFileEnd), 8);

    plat::File closed;
    EXPECT_EQ(closed.Seek(0, plat::kFileBegin), -1);
    EXPECT_EQ(plat::GetLastError(), plat::kErrorInvalidHandle);
    EXPECT_FALSE(closed.Read(&c, 1, &read));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorInvalidHandle);
}

// A reader that reached the end sees what is appended later, and a reader
// that lets others write sees their changes at once.
TEST(FileBuffer, ReadersSeeWhatOthersWrote) {
    TempDevice device;
    ASSERT_TRUE(plat::AppendFile(u"\\log.txt", "first\n", 6));
    plat::File reader;
    ASSERT_TRUE(reader.Open(u"\\log.txt", plat::kGenericRead, plat::kShareRead, plat::kOpenExisting));
    char buf[64];
    uint32_t read = 0;
    ASSERT_TRUE(reader.Read(buf, sizeof buf, &read));
    EXPECT_EQ(std::string(buf, read), "first\n");
    ASSERT_TRUE(plat::AppendFile(u"\\log.txt", "second\n", 7));
    ASSERT_TRUE(reader.Read(buf, sizeof buf, &read));
    EXPECT_EQ(std::string(buf, read), "second\n");
    // A read in place that starts at the end looks at the file anew too.
    ASSERT_TRUE(plat::AppendFile(u"\\log.txt", "third\n", 6));
    const uint8_t* data = nullptr;
    ASSERT_TRUE(reader.ReadInPlace(64, &data, &read));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), read), "third\n");
    EXPECT_FALSE(reader.ReadInPlace(plat::File::kInPlaceLimit + 1, &data, &read));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorInvalidParameter);
    reader.Close();

    const uint32_t shareAll = plat::kShareRead | plat::kShareWrite;
    plat::File a, b;
    ASSERT_TRUE(a.Open(u"\\shared.txt", plat::kGenericRead | plat::kGenericWrite, shareAll, plat::kCreateAlways));
    ASSERT_TRUE(a.Write("aaaa", 4));
    ASSERT_TRUE(b.Open(u"\\shared.txt", plat::kGenericRead | plat::kGenericWrite, shareAll, plat::kOpenExisting));
    ASSERT_TRUE(a.Seek(0, plat::kFileBegin) == 0 && a.Read(buf, 4, &read));
    EXPECT_EQ(std::string(buf, read), "aaaa");
    ASSERT_TRUE(b.Write("bb", 2));
    ASSERT_TRUE(a.Seek(0, plat::kFileBegin) == 0 && a.Read(buf, 4, &read));
    EXPECT_EQ(std::string(buf, read), "bbaa");
    ASSERT_TRUE(b.Seek(1, plat::kFileBegin) == 1 && b.Write("c", 1));
    ASSERT_TRUE(a.Seek(0, plat::kFileBegin) == 0 && a.ReadInPlace(4, &data, &read));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), read), "bcaa");
}

// A moved handle keeps its position and what it buffered.
TEST(FileBuffer, MovedHandleKeepsItsPosition) {
    TempDevice device;
    ASSERT_TRUE(plat::AppendFile(u"\\move.txt", "abcdef", 6));
    plat::File first;
    ASSERT_TRUE(first.Open(u"\\move.txt", plat::kGenericRead, plat::kShareRead, plat::kOpenExisting));
    char buf[8];
    uint32_t read = 0;
    ASSERT_TRUE(first.Read(buf, 2, &read));
    plat::File second(std::move(first));
    EXPECT_FALSE(first.IsOpen());
    ASSERT_TRUE(second.Read(buf, sizeof buf, &read));
    EXPECT_EQ(std::string(buf, read), "cdef");
}

}  // namespace
