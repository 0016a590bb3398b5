// The memory stream stands in for a file in the loader tests and the fuzzer, so it must answer
// exactly as a FileStream over the same bytes does.
#include "io/memory_stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "io/file_stream.h"

namespace {

// Runs one script of reads, seeks and queries and returns every result and byte it saw.
std::vector<int64_t> RunScript(Stream* stream) {
    std::vector<int64_t> seen;
    uint8_t buffer[16];
    auto read = [&](uint32_t size) {
        std::fill(buffer, buffer + sizeof(buffer), 0xAA);
        seen.push_back(stream->Read(size, buffer));
        seen.insert(seen.end(), buffer, buffer + size);
        seen.push_back(stream->Tell());
        seen.push_back(stream->Eof() != 0);
    };
    seen.push_back(stream->Size());
    read(0);
    read(3);
    read(5);
    seen.push_back(stream->Size());
    seen.push_back(stream->Tell());
    read(16);  // runs past the end
    seen.push_back(stream->Size());
    seen.push_back(stream->Tell());
    read(1);
    seen.push_back(stream->Seek(2));
    seen.push_back(stream->Eof() != 0);
    read(4);
    seen.push_back(stream->Seek(0));  // back to the very first byte, then one byte alone
    read(1);
    seen.push_back(stream->Seek(-5) != 0);
    seen.push_back(stream->Tell());
    // Exactly at the end, where there is nothing to read, and at the last byte.
    int32_t end = stream->Size();
    seen.push_back(stream->Seek(end));
    seen.push_back(stream->Tell());
    read(1);
    seen.push_back(stream->Size());
    seen.push_back(stream->Seek(end - 1));
    read(1);
    return seen;
}

TEST(MemoryStreamTest, AnswersLikeAFileStream) {
    const std::string contents = "0123456789ab";
    std::string path = ::testing::TempDir() + "taspo_memory_stream_parity.bin";
    {
        std::ofstream out(path, std::ios::binary);
        out << contents;
        ASSERT_TRUE(out.good());
    }

    std::vector<int64_t> fromFile;
    {
        FileStream stream(path.c_str(), "rb");
        ASSERT_TRUE(stream.IsOpen());
        fromFile = RunScript(&stream);
    }
    std::remove(path.c_str());
    MemoryStream memory(contents.data(), static_cast<uint32_t>(contents.size()));
    EXPECT_EQ(RunScript(&memory), fromFile);
}

TEST(MemoryStreamTest, WritesWithinItsRoom) {
    char block[8] = {};
    MemoryStream stream(block, 0, 6);
    EXPECT_EQ(stream.Write(0, "x"), 0u);
    EXPECT_EQ(stream.Printf("%s", ""), 0u);
    EXPECT_EQ(stream.Printf("%d,%d", 3, 4), 1u);
    EXPECT_EQ(stream.Size(), 3);
    EXPECT_EQ(stream.Write(4, "wxyz"), 0u);  // only three bytes of room remain
    EXPECT_EQ(std::string(block, 8), std::string("3,4wxy\0\0", 8));
    EXPECT_EQ(stream.Size(), 6);

    ASSERT_EQ(stream.Seek(1), 0);
    char back[5] = {};
    EXPECT_EQ(stream.Read(5, back), 1u);
    EXPECT_EQ(std::string(back, 5), ",4wxy");

    // As in a file, a write past the data leaves zeros in the gap. The position can go as far as
    // the end of the room, where nothing more fits, and not one byte further.
    char gapBlock[8] = {'a', 'b', 'k', 'k', 'k', 'k', 'k', 'k'};
    MemoryStream gap(gapBlock, 2, 7);
    ASSERT_EQ(gap.Seek(4), 0);
    EXPECT_EQ(gap.Write(2, "yz"), 1u);
    EXPECT_EQ(gap.Size(), 6);
    EXPECT_EQ(std::string(gapBlock, 8), std::string("ab\0\0yzkk", 8));
    EXPECT_EQ(gap.Seek(7), 0);
    EXPECT_EQ(gap.Write(1, "x"), 0u);
    EXPECT_EQ(gap.Seek(8), -1);
    EXPECT_EQ(gap.Tell(), 7);
    EXPECT_EQ(gap.Size(), 6);
    EXPECT_EQ(gapBlock[7], 'k');
}

TEST(MemoryStreamTest, ReadOnlyAndEmptyStreamsRefuseSafely) {
    const char text[] = "abc";
    MemoryStream readOnly(text, 3);
    EXPECT_EQ(readOnly.Write(1, "z"), 0u);
    EXPECT_EQ(readOnly.Printf("%d", 5), 0u);
    EXPECT_EQ(std::string(text), "abc");
    // Its room is its bytes: a seek to their end is taken, one byte past it refused.
    EXPECT_EQ(readOnly.Seek(3), 0);
    EXPECT_EQ(readOnly.Seek(4), -1);
    EXPECT_EQ(readOnly.Tell(), 3);

    // A null block holds nothing, whatever size it was given.
    MemoryStream empty(nullptr, 100);
    char buffer[4] = {'k', 'k', 'k', 'k'};
    EXPECT_EQ(empty.Size(), 0);
    EXPECT_EQ(empty.Read(4, buffer), 0u);
    EXPECT_EQ(buffer[0], 'k');
    EXPECT_NE(empty.Eof(), 0);
    EXPECT_NE(empty.Seek(1), 0);
    MemoryStream emptyWritable(static_cast<void*>(nullptr), 5, 5);
    EXPECT_EQ(emptyWritable.Write(2, "ab"), 0u);
    EXPECT_EQ(emptyWritable.Size(), 0);
}

}  // namespace
