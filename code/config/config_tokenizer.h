// Splits one line of configuration text into tokens. It reads only the bytes it is given, never
// past them and never up to a terminating zero, so any bytes at all are safe to feed it.
#pragma once

#include <cstdint>

// The eight kinds of configuration text, by their fixed indices, and one more for bytes that
// make no token at all.
enum ConfigTokenKind : int32_t {
    ET_None = 0,     // end of the line, or a comment (# or ;) running to it
    ET_Name = 1,     // letter or underscore, then letters, digits, underscores
    ET_Equals = 2,   // =
    ET_Bool = 3,     // true or false
    ET_Int = 4,      // decimal, optional sign, within 32 bits
    ET_Float = 5,    // a number with a fraction or an exponent
    ET_String = 6,   // "..." with no escapes; the text is what lies between the quotes
    ET_Context = 7,  // [Name]; the text is the name, possibly empty
    ET_Invalid = 8,
};

enum class ConfigProblem : int32_t {
    None,
    UnexpectedByte,    // text: the byte
    MalformedNumber,   // text: the number as far as it goes, with what is stuck to it
    NumberOutOfRange,  // text: the digits
    UnclosedString,    // text: from the opening quote to the end of the line
    UnclosedContext,   // text: from the opening bracket to the end of the line
};

struct ConfigToken {
    ConfigTokenKind kind;
    const char* text;  // points into the line
    uint32_t length;
    int32_t value;  // ET_Int: the number; ET_Bool: 1 or 0
    ConfigProblem problem;
};

struct ConfigTokenizer {
    const char* line;
    uint32_t length;
    uint32_t position;
};

void InitConfigTokenizer(ConfigTokenizer* tokenizer, const char* line, uint32_t length);

// The next token; ET_None from the end of the line or a comment on, and after an ET_Invalid.
ConfigToken NextConfigToken(ConfigTokenizer* tokenizer);
