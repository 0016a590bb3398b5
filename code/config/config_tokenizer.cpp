// The configuration tokenizer. Each scanner starts at `position` and stops at the line's
// length at the latest.
#include "config/config_tokenizer.h"

#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsNameChar(char c) {
    return IsNameStart(c) || IsDigit(c);
}

bool HasMore(const ConfigTokenizer* tokenizer) {
    return tokenizer->position < tokenizer->length;
}
char Peek(const ConfigTokenizer* tokenizer) {
    return tokenizer->line[tokenizer->position];
}

void SkipWhile(ConfigTokenizer* tokenizer, bool (*test)(char)) {
    while (HasMore(tokenizer) && test(Peek(tokenizer))) {
        ++tokenizer->position;
    }
}

ConfigToken MakeToken(ConfigTokenKind kind, const char* text, uint32_t length) {
    return ConfigToken{kind, text, length, 0, ConfigProblem::None};
}

// Stops the line: nothing after a bad token is worth reading.
ConfigToken Fail(ConfigTokenizer* tokenizer, ConfigProblem problem, uint32_t start) {
    ConfigToken token = MakeToken(ET_Invalid, tokenizer->line + start, 0);
    token.problem = problem;
    if (problem == ConfigProblem::UnexpectedByte) {
        token.length = 1;
    } else {
        token.length = tokenizer->position - start;
    }
    tokenizer->position = tokenizer->length;
    return token;
}

bool Matches(const ConfigToken& token, const char* word) {
    size_t length = std::strlen(word);
    return token.length == length && std::memcmp(token.text, word, length) == 0;
}

ConfigToken ScanName(ConfigTokenizer* tokenizer) {
    uint32_t start = tokenizer->position;
    SkipWhile(tokenizer, IsNameChar);
    ConfigToken token = MakeToken(ET_Name, tokenizer->line + start, tokenizer->position - start);
    if (Matches(token, "true") || Matches(token, "false")) {
        token.kind = ET_Bool;
        token.value = token.text[0] == 't' ? 1 : 0;
    }
    return token;
}

// Digits accumulate in 64 bits and stop counting once past the 32-bit range, so no length of
// digits can overflow the accumulator.
ConfigToken ScanNumber(ConfigTokenizer* tokenizer) {
    uint32_t start = tokenizer->position;
    bool negative = Peek(tokenizer) == '-';
    if (Peek(tokenizer) == '-' || Peek(tokenizer) == '+') {
        ++tokenizer->position;
    }
    uint32_t digitsStart = tokenizer->position;
    int64_t magnitude = 0;
    while (HasMore(tokenizer) && IsDigit(Peek(tokenizer))) {
        if (magnitude <= INT64_C(0x80000000)) {
            magnitude = magnitude * 10 + (Peek(tokenizer) - '0');
        }
        ++tokenizer->position;
    }
    bool hasDigits = tokenizer->position > digitsStart;
    bool isFloat = false;
    if (HasMore(tokenizer) && Peek(tokenizer) == '.') {
        isFloat = true;
        ++tokenizer->position;
        uint32_t fractionStart = tokenizer->position;
        SkipWhile(tokenizer, IsDigit);
        hasDigits = hasDigits || tokenizer->position > fractionStart;
    }
    if (!hasDigits) {
        // A lone sign or point is no number at all.
        tokenizer->position = start;
        return Fail(tokenizer, ConfigProblem::UnexpectedByte, start);
    }
    bool wellFormed = true;
    if (HasMore(tokenizer) && (Peek(tokenizer) == 'e' || Peek(tokenizer) == 'E')) {
        isFloat = true;
        ++tokenizer->position;
        if (HasMore(tokenizer) && (Peek(tokenizer) == '-' || Peek(tokenizer) == '+')) {
            ++tokenizer->position;
        }
        uint32_t exponentStart = tokenizer->position;
        SkipWhile(tokenizer, IsDigit);
        wellFormed = tokenizer->position > exponentStart;
    }
    if (HasMore(tokenizer) && (IsNameChar(Peek(tokenizer)) || Peek(tokenizer) == '.')) {
        wellFormed = false;
    }
    if (!wellFormed) {
        SkipWhile(tokenizer, [](char c) { return IsNameChar(c) || c == '.'; });
        return Fail(tokenizer, ConfigProblem::MalformedNumber, start);
    }
    uint32_t length = tokenizer->position - start;
    if (isFloat) {
        return MakeToken(ET_Float, tokenizer->line + start, length);
    }
    int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) {
        return Fail(tokenizer, ConfigProblem::NumberOutOfRange, start);
    }
    ConfigToken token = MakeToken(ET_Int, tokenizer->line + start, length);
    token.value = static_cast<int32_t>(value);
    return token;
}

ConfigToken ScanString(ConfigTokenizer* tokenizer) {
    uint32_t start = tokenizer->position;
    ++tokenizer->position;
    const void* close = std::memchr(tokenizer->line + tokenizer->position, '"',
                                    tokenizer->length - tokenizer->position);
    if (close == nullptr) {
        tokenizer->position = tokenizer->length;
        return Fail(tokenizer, ConfigProblem::UnclosedString, start);
    }
    uint32_t end = static_cast<uint32_t>(static_cast<const char*>(close) - tokenizer->line);
    tokenizer->position = end + 1;
    return MakeToken(ET_String, tokenizer->line + start + 1, end - start - 1);
}

ConfigToken ScanContext(ConfigTokenizer* tokenizer) {
    uint32_t start = tokenizer->position;
    ++tokenizer->position;
    SkipWhile(tokenizer, IsBlank);
    uint32_t nameStart = tokenizer->position;
    if (HasMore(tokenizer) && IsNameStart(Peek(tokenizer))) {
        SkipWhile(tokenizer, IsNameChar);
    }
    uint32_t nameEnd = tokenizer->position;
    SkipWhile(tokenizer, IsBlank);
    if (!HasMore(tokenizer)) {
        return Fail(tokenizer, ConfigProblem::UnclosedContext, start);
    }
    if (Peek(tokenizer) != ']') {
        return Fail(tokenizer, ConfigProblem::UnexpectedByte, tokenizer->position);
    }
    ++tokenizer->position;
    return MakeToken(ET_Context, tokenizer->line + nameStart, nameEnd - nameStart);
}

}  // namespace

void InitConfigTokenizer(ConfigTokenizer* tokenizer, const char* line, uint32_t length) {
    tokenizer->line = line;
    tokenizer->length = length;
    tokenizer->position = 0;
}

ConfigToken NextConfigToken(ConfigTokenizer* tokenizer) {
    SkipWhile(tokenizer, IsBlank);
    if (!HasMore(tokenizer)) {
        return MakeToken(ET_None, tokenizer->line + tokenizer->length, 0);
    }
    char c = Peek(tokenizer);
    if (c == '#' || c == ';') {
        tokenizer->position = tokenizer->length;
        return MakeToken(ET_None, tokenizer->line + tokenizer->length, 0);
    }
    if (c == '=') {
        ++tokenizer->position;
        return MakeToken(ET_Equals, tokenizer->line + tokenizer->position - 1, 1);
    }
    if (IsNameStart(c)) {
        return ScanName(tokenizer);
    }
    if (IsDigit(c) || c == '-' || c == '+' || c == '.') {
        return ScanNumber(tokenizer);
    }
    if (c == '"') {
        return ScanString(tokenizer);
    }
    if (c == '[') {
        return ScanContext(tokenizer);
    }
    return Fail(tokenizer, ConfigProblem::UnexpectedByte, tokenizer->position);
}
