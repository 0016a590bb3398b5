// The file stream on real temporary files: all-or-nothing counts, partial reads, formatting,
// positioning, and a stream whose open failed.
#include "io/file_stream.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/scoped_engine_arena.h"

namespace {

class FileStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path = ::testing::TempDir() + "taspo_" + info->name() + ".bin";
    }
    void TearDown() override { std::remove(path.c_str()); }

    void WriteFile(const std::string& contents) {
        std::ofstream out(path, std::ios::binary);
        out << contents;
        ASSERT_TRUE(out.good());
    }

    std::string ReadFile() {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string path;
};

TEST_F(FileStreamTest, ReadsWholeBlocksAndReportsShortReads) {
    WriteFile("abcdef");
    FileStream stream(path.c_str(), "rb");
    ASSERT_TRUE(stream.IsOpen());
    EXPECT_EQ(stream.openError, 0);

    char buffer[8] = {};
    EXPECT_EQ(stream.Read(0, buffer), 0u);
    EXPECT_EQ(stream.Tell(), 0);
    EXPECT_EQ(stream.Read(4, buffer), 1u);
    EXPECT_EQ(std::string(buffer, 4), "abcd");
    EXPECT_EQ(stream.Eof(), 0);

    // Two bytes remain: the read fails, yet stores and consumes them.
    std::fill(buffer, buffer + 8, '.');
    EXPECT_EQ(stream.Read(5, buffer), 0u);
    EXPECT_EQ(std::string(buffer, 5), "ef...");
    EXPECT_EQ(stream.Tell(), 6);
    EXPECT_NE(stream.Eof(), 0);
    EXPECT_EQ(stream.readError, 0) << "running out of file is not a read error";
}

#ifndef _WIN32
// Elsewhere a directory opens for reading and only the read fails; the stream keeps the reason.
TEST_F(FileStreamTest, ReadTheSystemRefusesKeepsItsReason) {
    FileStream stream(::testing::TempDir().c_str(), "rb");
    ASSERT_TRUE(stream.IsOpen());
    char buffer[4];
    EXPECT_EQ(stream.Read(4, buffer), 0u);
    EXPECT_EQ(stream.readError, EISDIR);
}
#endif

TEST_F(FileStreamTest, WritesAndFormats) {
    {
        FileStream stream(path.c_str(), "wb");
        ASSERT_TRUE(stream.IsOpen());
        EXPECT_EQ(stream.Write(0, "x"), 0u);
        EXPECT_EQ(stream.Write(2, "ab"), 1u);
        EXPECT_EQ(stream.Printf("%s", ""), 0u);  // no characters, nothing written
        EXPECT_EQ(stream.Printf("%d,%d", 3, 4), 1u);
        EXPECT_EQ(stream.Tell(), 5);
        EXPECT_EQ(stream.Printf("[%s:%05.1f]", std::string(300, 'z').c_str(), 2.5), 1u);
    }
    EXPECT_EQ(ReadFile(), "ab3,4[" + std::string(300, 'z') + ":002.5]");
}

TEST_F(FileStreamTest, WriteOnAReadOnlyFileFails) {
    WriteFile("abc");
    FileStream stream(path.c_str(), "rb");
    EXPECT_EQ(stream.Write(2, "xy"), 0u);
    EXPECT_EQ(stream.Printf("%d", 12), 0u);
    EXPECT_EQ(ReadFile(), "abc");
}

TEST_F(FileStreamTest, SizeKeepsThePosition) {
    WriteFile("0123456789");
    FileStream stream(path.c_str(), "rb");
    char buffer[10];
    ASSERT_EQ(stream.Read(3, buffer), 1u);
    EXPECT_EQ(stream.Size(), 10);
    EXPECT_EQ(stream.Tell(), 3);

    ASSERT_EQ(stream.Read(7, buffer), 1u);
    EXPECT_EQ(stream.Size(), 10);
    EXPECT_EQ(stream.Tell(), 10);
    // The position is still the end: the next read fails.
    EXPECT_EQ(stream.Read(1, buffer), 0u);
}

TEST_F(FileStreamTest, SeekMovesAndClearsEndOfFile) {
    WriteFile("0123456789");
    FileStream stream(path.c_str(), "rb");
    char buffer[16];
    ASSERT_EQ(stream.Read(16, buffer), 0u);
    ASSERT_NE(stream.Eof(), 0);

    EXPECT_EQ(stream.Seek(4), 0);
    EXPECT_EQ(stream.Eof(), 0);
    EXPECT_EQ(stream.Tell(), 4);
    ASSERT_EQ(stream.Read(2, buffer), 1u);
    EXPECT_EQ(std::string(buffer, 2), "45");
    EXPECT_NE(stream.Seek(-1), 0);

    // At the first byte, at the end and one past it.
    struct At {
        int32_t offset;
        uint32_t read;  // what a one-byte read gives there
    };
    for (At at : {At{0, 1}, At{9, 1}, At{10, 0}, At{11, 0}}) {
        SCOPED_TRACE(at.offset);
        EXPECT_EQ(stream.Seek(at.offset), 0);
        EXPECT_EQ(stream.Tell(), at.offset);
        EXPECT_EQ(stream.Read(1, buffer), at.read);
        EXPECT_EQ(stream.Eof() != 0, at.read == 0);
        EXPECT_EQ(stream.Size(), 10);
    }
}

TEST_F(FileStreamTest, FailedOpenGivesFailureValuesAndItsReason) {
    FileStream stream((path + ".missing").c_str(), "rb");
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_EQ(stream.file, nullptr);
    EXPECT_EQ(stream.openError, ENOENT);

    char buffer[4] = {'k', 'k', 'k', 'k'};
    EXPECT_EQ(stream.Read(4, buffer), 0u);
    EXPECT_EQ(buffer[0], 'k');
    EXPECT_EQ(stream.Write(4, buffer), 0u);
    EXPECT_EQ(stream.Printf("%d", 7), 0u);
    EXPECT_NE(stream.Seek(0), 0);
    EXPECT_EQ(stream.Tell(), -1);
    EXPECT_NE(stream.Eof(), 0);
    EXPECT_EQ(stream.Size(), -1);
}

TEST_F(FileStreamTest, DeletingDestructorReturnsEngineMemory) {
    WriteFile("abc");
    ScopedEngineArena arena(4096);
    void* memory = EngineAlloc(sizeof(FileStream));
    ASSERT_NE(memory, nullptr);
    Stream* stream = new (memory) FileStream(path.c_str(), "rb");
    char buffer[3];
    EXPECT_EQ(stream->Read(3, buffer), 1u);
    ASSERT_EQ(BlocksInUse(ActiveArena()), 1);
    delete stream;
    EXPECT_EQ(BlocksInUse(ActiveArena()), 0);
}

}  // namespace
