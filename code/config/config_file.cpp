// The configuration reader: lines of tokens into registry values, every problem reported as one
// line naming the source and line number. Memory use is bounded by the caps in the header
// whatever the bytes are: the file buffer by ConfigFileMaxBytes, the nodes by ConfigMaxSettings.
#include "config/config_file.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "config/config_tokenizer.h"
#include "config/hash_name.h"
#include "config/variable_registry.h"
#include "memory/arena.h"

#if defined(__GNUC__)
#define TASPO_PRINTF_LIKE(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define TASPO_PRINTF_LIKE(formatIndex, firstArgument)
#endif

namespace {

constexpr uint32_t MessageBytes = 320;
constexpr uint32_t QuotedSourceBytes = 32;    // longer token text is cut and ends in "..."
constexpr uint32_t ShownSourceBytes = 1024;   // a longer source name keeps its end, after "..."
constexpr uint32_t MaxSuggestedDistance = 2;  // slips between an unknown name and a suggestion

struct Loader {
    const char* source;
    ConfigMessageSink sink;
    void* user;
    uint32_t problems;
    uint32_t lineNumber;
    uint32_t context;  // hash of the context chosen by the latest [Context] line
    uint32_t settings;
    bool stopped;  // the settings cap was reached
    const ConfigSchema* schema;
    char contextName[48];  // the latest [Context] line as quoted in reports
};

Loader MakeLoader(const char* source, ConfigMessageSink sink, void* user,
                  const ConfigSchema* schema) {
    Loader loader = {source, sink, user, 0, 0, 0, 0, false, schema, {}};
    return loader;
}

void Send(Loader* loader, const char* message) {
    if (loader->sink != nullptr) {
        loader->sink(loader->user, message);
    }
}

// Sends the source's name followed by `rest`. The reason in `rest` is what a report is for, so
// it is never cut: a name too long to show whole (a deep configuration folder) keeps its end.
void SendNamed(Loader* loader, const char* rest) {
    const char* source = loader->source;
    size_t length = std::strlen(source);
    const char* cut = "";
    if (length > ShownSourceBytes) {
        source += length - ShownSourceBytes;
        while ((static_cast<uint8_t>(*source) & 0xC0) == 0x80) {
            ++source;  // not in the middle of a UTF-8 character
        }
        cut = "...";
    }
    char message[ShownSourceBytes + MessageBytes + 32];
    std::snprintf(message, sizeof(message), "%s%s%s", cut, source, rest);
    Send(loader, message);
}

// One problem of the given line. Past ConfigMaxMessages they are only counted, so a binary file
// cannot flood the output.
TASPO_PRINTF_LIKE(3, 4) void Report(Loader* loader, uint32_t line, const char* format, ...) {
    ++loader->problems;
    if (loader->problems > ConfigMaxMessages) {
        return;
    }
    char detail[MessageBytes];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(detail, sizeof(detail), format, arguments);
    va_end(arguments);
    char rest[MessageBytes + 16];
    std::snprintf(rest, sizeof(rest), ":%u: %s", line, detail);
    SendNamed(loader, rest);
}

void Finish(Loader* loader) {
    if (loader->problems > ConfigMaxMessages) {
        char rest[64];
        std::snprintf(rest, sizeof(rest), ": %u more problems not shown",
                      loader->problems - ConfigMaxMessages);
        SendNamed(loader, rest);
    }
}

bool IsPrintable(char c) {
    return c >= 0x20 && c <= 0x7E;
}

// Token text in double quotes, cut after QuotedSourceBytes. Only tokens made of printable ASCII
// are quoted (names, numbers, "="); stray bytes are shown in hex instead.
struct Quoted {
    char text[QuotedSourceBytes + 8];
};

Quoted Quote(const char* text, uint32_t length) {
    Quoted quoted;
    uint32_t shown = length < QuotedSourceBytes ? length : QuotedSourceBytes;
    std::snprintf(quoted.text, sizeof(quoted.text), "\"%.*s%s\"", static_cast<int>(shown), text,
                  shown < length ? "..." : "");
    return quoted;
}

// How a well-formed token is named in a report.
Quoted Describe(const ConfigToken& token) {
    if (token.kind == ET_String) {
        Quoted quoted;
        std::snprintf(quoted.text, sizeof(quoted.text), "a string");
        return quoted;
    }
    if (token.kind == ET_Context) {
        Quoted quoted;
        uint32_t shown = token.length < QuotedSourceBytes ? token.length : QuotedSourceBytes;
        std::snprintf(quoted.text, sizeof(quoted.text), "\"[%.*s%s]\"", static_cast<int>(shown),
                      token.text, shown < token.length ? "..." : "");
        return quoted;
    }
    return Quote(token.text, token.length);
}

void ReportInvalid(Loader* loader, const ConfigToken& token) {
    uint32_t line = loader->lineNumber;
    switch (token.problem) {
        case ConfigProblem::UnexpectedByte:
            if (IsPrintable(token.text[0])) {
                Report(loader, line, "unexpected character %s", Quote(token.text, 1).text);
            } else {
                Report(loader, line, "unexpected byte 0x%02X",
                       static_cast<unsigned>(static_cast<uint8_t>(token.text[0])));
            }
            return;
        case ConfigProblem::MalformedNumber:
            Report(loader, line, "malformed number %s", Quote(token.text, token.length).text);
            return;
        case ConfigProblem::NumberOutOfRange:
            Report(loader, line, "number %s does not fit in 32 bits",
                   Quote(token.text, token.length).text);
            return;
        case ConfigProblem::UnclosedString:
            Report(loader, line, "missing closing quote");
            return;
        case ConfigProblem::UnclosedContext:
            Report(loader, line, "missing \"]\"");
            return;
        case ConfigProblem::None:
            break;
    }
    Report(loader, line, "unreadable text");
}

// Anything after a complete line is a problem; true when the line ended cleanly.
bool ExpectEnd(Loader* loader, ConfigTokenizer* tokenizer, const char* after) {
    ConfigToken token = NextConfigToken(tokenizer);
    if (token.kind == ET_None) {
        return true;
    }
    if (token.kind == ET_Invalid) {
        ReportInvalid(loader, token);
    } else {
        Report(loader, loader->lineNumber, "unexpected %s after %s", Describe(token).text, after);
    }
    return false;
}

// The value token of `name = value`; true when it is one the registry can hold.
bool CheckValue(Loader* loader, const ConfigToken& name, const ConfigToken& value) {
    uint32_t line = loader->lineNumber;
    switch (value.kind) {
        case ET_Bool:
        case ET_Int:
            return true;
        case ET_Invalid:
            ReportInvalid(loader, value);
            return false;
        case ET_None:
            Report(loader, line, "missing value for %s", Quote(name.text, name.length).text);
            return false;
        case ET_Float:
            Report(loader, line, "unsupported value type for %s: floating-point number %s",
                   Quote(name.text, name.length).text, Quote(value.text, value.length).text);
            return false;
        case ET_String:
            Report(loader, line, "unsupported value type for %s: string",
                   Quote(name.text, name.length).text);
            return false;
        default:
            Report(loader, line, "expected true, false or a whole number for %s, found %s",
                   Quote(name.text, name.length).text, Describe(value).text);
            return false;
    }
}

// The schema's entry for a setting name, or null.
const ConfigSetting* FindSetting(const ConfigSchema* schema, const ConfigToken& name) {
    for (; schema != nullptr; schema = schema->more) {
        for (uint32_t i = 0; i < schema->count; ++i) {
            const char* known = schema->settings[i].name;
            if (std::strlen(known) == name.length &&
                std::memcmp(known, name.text, name.length) == 0) {
                return &schema->settings[i];
            }
        }
    }
    return nullptr;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Edits (a byte added, dropped or changed) between two names, ignoring case; just
// MaxSuggestedDistance + 1 where the lengths alone put them further apart, or a name is too
// long to compare.
uint32_t Distance(const char* a, uint32_t aLength, const char* b, uint32_t bLength) {
    constexpr uint32_t Longest = 40;
    uint32_t apart = aLength > bLength ? aLength - bLength : bLength - aLength;
    if (apart > MaxSuggestedDistance || aLength > Longest || bLength > Longest) {
        return MaxSuggestedDistance + 1;
    }
    uint32_t rows[2][Longest + 1] = {};  // row i of the table is rows[i % 2]
    for (uint32_t j = 0; j <= bLength; ++j) {
        rows[0][j] = j;
    }
    for (uint32_t i = 1; i <= aLength; ++i) {
        const uint32_t* last = rows[(i + 1) % 2];
        uint32_t* now = rows[i % 2];
        now[0] = i;
        for (uint32_t j = 1; j <= bLength; ++j) {
            uint32_t change = last[j - 1] + (Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1);
            uint32_t drop = last[j] + 1;
            uint32_t add = now[j - 1] + 1;
            uint32_t best = change < drop ? change : drop;
            now[j] = add < best ? add : best;
        }
    }
    return rows[aLength % 2][bLength];
}

// The known setting an unknown name was most likely meant to be: the same name in another case,
// or one a slip or two away (fewer for short names). Null when none is that close.
const ConfigSetting* NearestSetting(const ConfigSchema* schema, const ConfigToken& name) {
    const ConfigSetting* nearest = nullptr;
    uint32_t nearestDistance = MaxSuggestedDistance + 1;
    for (; schema != nullptr; schema = schema->more) {
        for (uint32_t i = 0; i < schema->count; ++i) {
            const char* known = schema->settings[i].name;
            uint32_t knownLength = static_cast<uint32_t>(std::strlen(known));
            uint32_t distance = Distance(name.text, name.length, known, knownLength);
            if (distance < nearestDistance && 3 * distance <= knownLength) {
                nearest = &schema->settings[i];
                nearestDistance = distance;
            }
        }
    }
    return nearest;
}

void ReportUnknown(Loader* loader, const ConfigToken& name) {
    const ConfigSetting* nearest = NearestSetting(loader->schema, name);
    if (nearest == nullptr) {
        Report(loader, loader->lineNumber, "unknown setting %s",
               Quote(name.text, name.length).text);
    } else {
        Report(loader, loader->lineNumber, "unknown setting %s; did you mean \"%s\"?",
               Quote(name.text, name.length).text, nearest->name);
    }
}

// With a schema, reports a setting the program would never read: a name it does not know, or
// any name under a named [Context], whose settings are the context's own business. False when
// the value is of the wrong kind and must not be stored.
bool CheckAgainstSchema(Loader* loader, const ConfigToken& name, const ConfigToken& value) {
    if (loader->schema == nullptr) {
        return true;
    }
    uint32_t line = loader->lineNumber;
    const ConfigSetting* setting = FindSetting(loader->schema, name);
    if (setting != nullptr && setting->kind != value.kind) {
        Report(loader, line, "%s expects %s", setting->name,
               setting->kind == ET_Bool ? "true or false" : "a whole number");
        return false;
    }
    if (loader->context != 0) {
        Report(loader, line, "%s under %s is never read; settings go before any named [Context]",
               Quote(name.text, name.length).text, loader->contextName);
    } else if (setting == nullptr) {
        ReportUnknown(loader, name);
    }
    return true;
}

void ApplySetting(Loader* loader, ConfigTokenizer* tokenizer, const ConfigToken& name) {
    uint32_t line = loader->lineNumber;
    Quoted quotedName = Quote(name.text, name.length);
    ConfigToken equals = NextConfigToken(tokenizer);
    if (equals.kind == ET_Invalid) {
        ReportInvalid(loader, equals);
        return;
    }
    if (equals.kind != ET_Equals) {
        Report(loader, line, "expected \"=\" after %s", quotedName.text);
        return;
    }
    ConfigToken value = NextConfigToken(tokenizer);
    if (!CheckValue(loader, name, value)) {
        return;
    }
    char after[sizeof(Quoted::text) + 16];
    std::snprintf(after, sizeof(after), "the value of %s", quotedName.text);
    if (!ExpectEnd(loader, tokenizer, after) || !CheckAgainstSchema(loader, name, value)) {
        return;
    }
    if (loader->settings == ConfigMaxSettings) {
        Report(loader, line, "more than %u settings; the rest is ignored", ConfigMaxSettings);
        loader->stopped = true;
        return;
    }
    uint32_t key = HashNameBytes(name.text, name.length);
    bool stored = value.kind == ET_Bool ? StoreBool(loader->context, key, value.value != 0)
                                        : StoreInt(loader->context, key, value.value);
    if (!stored) {
        Report(loader, line, "out of memory storing %s", quotedName.text);
        return;
    }
    ++loader->settings;
}

void ApplyLine(Loader* loader, const char* text, uint32_t length) {
    ConfigTokenizer tokenizer;
    InitConfigTokenizer(&tokenizer, text, length);
    ConfigToken first = NextConfigToken(&tokenizer);
    switch (first.kind) {
        case ET_None:
            return;
        case ET_Invalid:
            ReportInvalid(loader, first);
            return;
        case ET_Name:
            ApplySetting(loader, &tokenizer, first);
            return;
        case ET_Context:
            if (ExpectEnd(loader, &tokenizer, Describe(first).text)) {
                loader->context = HashNameBytes(first.text, first.length);
                std::snprintf(loader->contextName, sizeof(loader->contextName), "%s",
                              Describe(first).text);
            }
            return;
        default:
            Report(loader, loader->lineNumber, "expected a setting name, found %s",
                   Describe(first).text);
            return;
    }
}

void ApplyText(Loader* loader, const char* text, uint32_t length) {
    uint32_t position = 0;
    if (length >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) {
        position = 3;
    }
    while (position < length && !loader->stopped) {
        const char* line = text + position;
        const void* newline = std::memchr(line, '\n', length - position);
        uint32_t lineLength = newline != nullptr
                                  ? static_cast<uint32_t>(static_cast<const char*>(newline) - line)
                                  : length - position;
        position += lineLength + (newline != nullptr ? 1 : 0);
        ++loader->lineNumber;
        if (lineLength > 0 && line[lineLength - 1] == '\r') {
            --lineLength;
        }
        ApplyLine(loader, line, lineLength);
    }
}

FILE* OpenForReading(const char* path) {
#ifdef _MSC_VER
    FILE* file = nullptr;
    errno_t error = fopen_s(&file, path, "rb");
    if (error != 0) {
        errno = error;
        return nullptr;
    }
    return file;
#else
    return std::fopen(path, "rb");
#endif
}

// Records a failure of the whole file in `result`, with the system's reason when there is one.
void FailFile(ConfigFileResult* result, const char* what, int error) {
    result->failed = true;
    if (error == 0) {
        std::snprintf(result->failure, sizeof(result->failure), "%s", what);
        return;
    }
    char reason[128];
#ifdef _MSC_VER
    strerror_s(reason, sizeof(reason), error);
#else
    std::snprintf(reason, sizeof(reason), "%s", std::strerror(error));
#endif
    std::snprintf(result->failure, sizeof(result->failure), "%s (%s)", what, reason);
}

// Up to ConfigFileMaxBytes of the file into `buffer`; false, with the failure recorded, when it
// cannot be read.
bool ReadCapped(FILE* file, char* buffer, uint32_t* bytes, bool* longer, ConfigFileResult* result) {
    errno = 0;
    *bytes = static_cast<uint32_t>(std::fread(buffer, 1, ConfigFileMaxBytes, file));
    if (std::ferror(file) != 0) {
        FailFile(result, "cannot read the file", errno != 0 ? errno : EIO);
        return false;
    }
    *longer = *bytes == ConfigFileMaxBytes && std::fgetc(file) != EOF;
    return true;
}

// A file cut at the cap keeps its complete lines only: half a line would be a made-up one.
void ApplyCapped(Loader* loader, const char* buffer, uint32_t bytes, bool longer) {
    uint32_t kept = bytes;
    if (longer) {
        while (kept > 0 && buffer[kept - 1] != '\n') {
            --kept;
        }
    }
    ApplyText(loader, buffer, kept);
    if (longer && !loader->stopped) {
        Report(loader, loader->lineNumber + 1,
               "the file is longer than %u bytes; this line and the rest are ignored",
               ConfigFileMaxBytes);
    }
}

}  // namespace

uint32_t LoadConfigText(const char* sourceName, const char* text, uint32_t length,
                        ConfigMessageSink sink, void* user, const ConfigSchema* schema) {
    Loader loader = MakeLoader(sourceName, sink, user, schema);
    ApplyText(&loader, text, length);
    Finish(&loader);
    return loader.problems;
}

ConfigFileResult LoadConfigFile(const char* path, ConfigMessageSink sink, void* user,
                                const ConfigSchema* schema) {
    ConfigFileResult result = {};
    errno = 0;
    FILE* file = OpenForReading(path);
    if (file == nullptr) {
        if (errno != ENOENT) {
            FailFile(&result, "cannot open the file", errno != 0 ? errno : EIO);
        }
        return result;
    }
    char* buffer = static_cast<char*>(EngineAlloc(ConfigFileMaxBytes));
    if (buffer == nullptr) {
        FailFile(&result, "out of engine memory for the file's contents", 0);
    } else {
        uint32_t bytes = 0;
        bool longer = false;
        if (ReadCapped(file, buffer, &bytes, &longer, &result)) {
            Loader loader = MakeLoader(path, sink, user, schema);
            ApplyCapped(&loader, buffer, bytes, longer);
            Finish(&loader);
            result.problems = loader.problems;
        }
        EngineFree(buffer);
    }
    std::fclose(file);
    return result;
}

void PrintConfigMessage(void* user, const char* message) {
    const char* prefix = static_cast<const char*>(user);
    if (prefix != nullptr) {
        std::fprintf(stderr, "%s: %s\n", prefix, message);
    } else {
        std::fprintf(stderr, "%s\n", message);
    }
}
