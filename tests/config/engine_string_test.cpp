// An engine string owns a copy of its text, or is left empty when no buffer can be had.
#include "config/engine_string.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scoped_engine_arena.h"

namespace {

TEST(EngineString, OwnsACopyOrIsLeftEmptyWithoutABuffer) {
    ScopedEngineArena engine(1024);
    ASSERT_TRUE(engine.Ready());
    char text[] = "Taspo";
    EngineString string = {text, 99};
    ASSERT_TRUE(CreateEngineString(&string, text));
    EXPECT_TRUE(engine.Owns(string.chars));
    EXPECT_STREQ(string.chars, "Taspo");
    EXPECT_EQ(string.length, 5u);
    EngineFree(string.chars);

    engine.Exhaust();
    EngineString refused = {text, 99};
    EXPECT_FALSE(CreateEngineString(&refused, "x"));
    EXPECT_EQ(refused.chars, nullptr);
    EXPECT_EQ(refused.length, 0u);
    engine.Refill();
}

// The buffer is the text and one terminating byte: the arena hands out blocks of 8 bytes, so 7
// characters still fit one block and 8 take two.
TEST(EngineString, TheBufferIsTheTextPlusOneByte) {
    struct Case {
        size_t length;
        uint32_t block;
    };
    for (Case c : {Case{0, 8}, Case{7, 8}, Case{8, 16}, Case{15, 16}, Case{16, 24}}) {
        SCOPED_TRACE(c.length);
        ScopedEngineArena engine(1024);
        ASSERT_TRUE(engine.Ready());
        std::string text(c.length, 'k');
        EngineString string;
        ASSERT_TRUE(CreateEngineString(&string, text.c_str()));
        EXPECT_EQ(string.chars, text);
        EXPECT_EQ(string.length, c.length);
        std::vector<ArenaBlockView> blocks = engine.Blocks();
        ASSERT_FALSE(blocks.empty());
        EXPECT_TRUE(blocks[0].inUse);
        EXPECT_EQ(blocks[0].size, c.block);
        EngineFree(string.chars);
    }
}

}  // namespace
