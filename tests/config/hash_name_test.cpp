// The name hash: the ELF hash on 7-bit text, its signed-byte variant above it.
#include "config/hash_name.h"

#include <gtest/gtest.h>

#include <string>

TEST(HashName, KnownValues) {
    EXPECT_EQ(HashName(""), 0u);
    EXPECT_EQ(HashName("abc"), 0x6783u);
    EXPECT_EQ(HashName("\xE9"), 0x0FFFFF19u);
}

TEST(HashName, MatchesTheElfHashOnSevenBitText) {
    EXPECT_EQ(HashName("printf"), 0x077905A6u);
    EXPECT_EQ(HashName("DisplayWidth"), 0x0C5D5C88u);
    EXPECT_EQ(HashName("Fullscreen"), 0x039E578Eu);
    EXPECT_EQ(HashName("abcdefghijklmnopqrstuvwxyz"), 0x08D1E00Au);
}

TEST(HashName, BytesAboveSevenBitsCountAsNegative) {
    EXPECT_EQ(HashName("\xC3\xA9t\xC3\xA9"), 0x0F23FE29u);  // UTF-8 "été"; ELF gives 0xCE10D9
    EXPECT_EQ(HashName("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF"), 0x0111EFFFu);
}

TEST(HashName, TopFourBitsAlwaysClear) {
    std::string text;
    for (int i = 0; i < 2000; ++i) {
        text.push_back(static_cast<char>(i * 37 + 11));
        if (text.back() == '\0') {
            text.back() = 'x';
        }
        ASSERT_EQ(HashName(text.c_str()) & 0xF0000000u, 0u) << "length " << text.size();
    }
}

TEST(HashName, ByteCountedFormAgreesAndHashesPastZeros) {
    const char text[] = "DisplayHeight";
    EXPECT_EQ(HashNameBytes(text, sizeof(text) - 1), HashName(text));
    EXPECT_EQ(HashNameBytes("abcdef", 3), HashName("abc"));
    EXPECT_EQ(HashNameBytes(text, 0), 0u);
    const char withZero[] = {'a', '\0', 'b'};
    EXPECT_NE(HashNameBytes(withZero, 3), HashName("a"));
    EXPECT_EQ(HashNameBytes(withZero, 3), (0x61u << 8) + 0x62u);
}

TEST(HashName, DifferentNamesCanShareAHash) {
    EXPECT_EQ(HashName("AQ"), HashName("BA"));  // 0x41 * 16 + 0x51 == 0x42 * 16 + 0x41
}
