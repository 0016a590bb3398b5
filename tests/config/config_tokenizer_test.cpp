// The tokenizer: every kind of token, what ends a line, and bytes that make no token.
#include "config/config_tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A token with a copy of its text, so it outlives the line it came from.
struct Scanned {
    ConfigTokenKind kind;
    std::string text;
    int32_t value;
    ConfigProblem problem;
};

std::vector<Scanned> Tokens(const std::string& line) {
    ConfigTokenizer tokenizer;
    InitConfigTokenizer(&tokenizer, line.data(), static_cast<uint32_t>(line.size()));
    std::vector<Scanned> tokens;
    for (;;) {
        ConfigToken token = NextConfigToken(&tokenizer);
        tokens.push_back(
            {token.kind, std::string(token.text, token.length), token.value, token.problem});
        if (token.kind == ET_None) {
            return tokens;
        }
        if (tokens.size() > line.size() + 1) {
            ADD_FAILURE() << "the tokenizer does not advance";
            return tokens;
        }
    }
}

std::vector<ConfigTokenKind> Kinds(const std::string& line) {
    std::vector<ConfigTokenKind> kinds;
    for (const Scanned& token : Tokens(line)) {
        kinds.push_back(token.kind);
    }
    return kinds;
}

Scanned First(const std::string& line) {
    return Tokens(line).front();
}

}  // namespace

TEST(ConfigTokenizer, EveryKindOfToken) {
    using K = std::vector<ConfigTokenKind>;
    EXPECT_EQ(Kinds(""), K({ET_None}));
    EXPECT_EQ(Kinds("DisplayWidth = 640"), K({ET_Name, ET_Equals, ET_Int, ET_None}));
    EXPECT_EQ(Kinds("Fullscreen=true"), K({ET_Name, ET_Equals, ET_Bool, ET_None}));
    EXPECT_EQ(Kinds("FOV = 90.5"), K({ET_Name, ET_Equals, ET_Float, ET_None}));
    EXPECT_EQ(Kinds("Title = \"Taspo game\""), K({ET_Name, ET_Equals, ET_String, ET_None}));
    EXPECT_EQ(Kinds("[Display]"), K({ET_Context, ET_None}));
    EXPECT_EQ(Kinds("\t a_1 \t=\t-3 "), K({ET_Name, ET_Equals, ET_Int, ET_None}));
}

TEST(ConfigTokenizer, TokenTextAndValues) {
    std::vector<Scanned> tokens = Tokens("  _Depth2 = -16 # bits");
    EXPECT_EQ(tokens[0].text, "_Depth2");
    EXPECT_EQ(tokens[1].text, "=");
    EXPECT_EQ(tokens[2].text, "-16");
    EXPECT_EQ(tokens[2].value, -16);

    EXPECT_EQ(First("true").value, 1);
    EXPECT_EQ(First("false").value, 0);
    EXPECT_EQ(First("+7").value, 7);
    EXPECT_EQ(First("007").value, 7);
    EXPECT_EQ(First("2147483647").value, INT32_MAX);
    EXPECT_EQ(First("-2147483648").value, INT32_MIN);
    EXPECT_EQ(First("\"a = [b] # c\"").text, "a = [b] # c") << "quotes hide everything";
    EXPECT_EQ(First("\"\"").text, "");
    EXPECT_EQ(First("[ Display_2 ]").text, "Display_2");
    EXPECT_EQ(First("[]").kind, ET_Context);
    EXPECT_EQ(First("[]").text, "");
}

TEST(ConfigTokenizer, OnlyExactLowercaseWordsAreBooleans) {
    EXPECT_EQ(First("True").kind, ET_Name);
    EXPECT_EQ(First("trueish").kind, ET_Name);
    EXPECT_EQ(First("falsE").kind, ET_Name);
}

TEST(ConfigTokenizer, FloatForms) {
    for (const char* text : {"1.5", "-0.25", ".5", "5.", "1e3", "2.5E-2", "+1e+9"}) {
        Scanned token = First(text);
        EXPECT_EQ(token.kind, ET_Float) << text;
        EXPECT_EQ(token.text, text);
    }
}

TEST(ConfigTokenizer, CommentsEndTheLine) {
    using K = std::vector<ConfigTokenKind>;
    EXPECT_EQ(Kinds("# Fullscreen = true"), K({ET_None}));
    EXPECT_EQ(Kinds("; Fullscreen = true"), K({ET_None}));
    EXPECT_EQ(Kinds("A = 1 ; note"), K({ET_Name, ET_Equals, ET_Int, ET_None}));
    EXPECT_EQ(Kinds("A=1#note"), K({ET_Name, ET_Equals, ET_Int, ET_None}));
}

TEST(ConfigTokenizer, BadBytesGiveOneInvalidTokenThenTheEnd) {
    struct Case {
        std::string line;
        ConfigProblem problem;
        std::string text;
    };
    const Case cases[] = {
        {"A @ 1", ConfigProblem::UnexpectedByte, "@"},
        {std::string("A\0B", 3), ConfigProblem::UnexpectedByte, std::string(1, '\0')},
        {"\xEF\xBB\xBF"
         "A",
         ConfigProblem::UnexpectedByte, "\xEF"},
        {"A\r= 1", ConfigProblem::UnexpectedByte, "\r"},
        {"A = 12abc", ConfigProblem::MalformedNumber, "12abc"},
        {"A = 1.2.3", ConfigProblem::MalformedNumber, "1.2.3"},
        {"A = -", ConfigProblem::UnexpectedByte, "-"},
        {"A = -Width", ConfigProblem::UnexpectedByte, "-"},
        {"A = .", ConfigProblem::UnexpectedByte, "."},
        {"A = 1e", ConfigProblem::MalformedNumber, "1e"},
        {"A = 2147483648", ConfigProblem::NumberOutOfRange, "2147483648"},
        {"A = -2147483649", ConfigProblem::NumberOutOfRange, "-2147483649"},
        // Its first ten digits are exactly 2^31, the magnitude of INT32_MIN; the last still counts.
        {"A = -21474836480", ConfigProblem::NumberOutOfRange, "-21474836480"},
        {"A = 99999999999999999999999999999", ConfigProblem::NumberOutOfRange,
         "99999999999999999999999999999"},
        {"A = \"open", ConfigProblem::UnclosedString, "\"open"},
        {"[Display", ConfigProblem::UnclosedContext, "[Display"},
        {"[Dis play]", ConfigProblem::UnexpectedByte, "p"},
        {"[1]", ConfigProblem::UnexpectedByte, "1"},
    };
    for (const Case& c : cases) {
        std::vector<Scanned> tokens = Tokens(c.line);
        ASSERT_GE(tokens.size(), 2u);
        const Scanned& bad = tokens[tokens.size() - 2];
        EXPECT_EQ(bad.kind, ET_Invalid) << c.line;
        EXPECT_EQ(bad.problem, c.problem) << c.line;
        EXPECT_EQ(bad.text, c.text) << c.line;
        EXPECT_EQ(tokens.back().kind, ET_None) << c.line;
    }
}

// The line is handed over without a terminating zero: a token running to the end must stop at
// the given length (ASan reports any read of the byte after it).
TEST(ConfigTokenizer, NeverReadsPastTheLine) {
    for (const std::string& text :
         {std::string("Name"), std::string("12345"), std::string("\"str"), std::string("[ctx"),
          std::string("1.5e"), std::string("A ="), std::string("-"), std::string("[ a ")}) {
        std::vector<char> exact(text.begin(), text.end());
        ConfigTokenizer tokenizer;
        InitConfigTokenizer(&tokenizer, exact.data(), static_cast<uint32_t>(exact.size()));
        for (int i = 0; i < 8 && NextConfigToken(&tokenizer).kind != ET_None; ++i) {
        }
        EXPECT_EQ(tokenizer.position, tokenizer.length) << text;
    }
}
