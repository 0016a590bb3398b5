// An engine string owns a copy of its text, or is left empty when no buffer can be had.
#include "config/engine_string.h"

#include <gtest/gtest.h>

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

}  // namespace
