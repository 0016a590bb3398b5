// Fills the variable registry from configuration text: one `Name = value` per line, `[Context]`
// lines choosing the context for the values below them (`[]` is context 0, the one lookups
// search), # or ; comments. Values are true, false and 32-bit decimal integers; floats and
// quoted strings are recognised but reported as unsupported, since the registry holds booleans
// and integers only. A line that is not understood is reported and skipped, the rest applies.
#pragma once

#include <cstdint>

#include "config/config_tokenizer.h"

// Receives each report as one line without a newline, e.g.
// `taspo.cfg:3: expected "=" after "DisplayWidth"`. A report quotes at most 32 bytes of a name or
// value, then "...", and at most the last 1024 bytes of the source's name, after "...". A name
// longer than 40 bytes is never compared with the known ones for a suggestion.
typedef void (*ConfigMessageSink)(void* user, const char* message);

// A file is read up to 64 KiB, in whole lines; from one text at most 1024 settings are applied
// and 20 problems reported one by one, the rest only counted.
constexpr uint32_t ConfigFileMaxBytes = 64 * 1024;
constexpr uint32_t ConfigMaxSettings = 1024;
constexpr uint32_t ConfigMaxMessages = 20;

// A setting a program reads, in context 0, and the kind of value it takes (ET_Bool or ET_Int).
struct ConfigSetting {
    const char* name;
    ConfigTokenKind kind;
};

// Everything a program reads: these settings, and those of `more` when it is not null, so each
// part of a program names its own. Given one, the reader also reports what would otherwise be
// stored and never read: a known setting with a value of the other kind (`Fullscreen expects true
// or false`; not stored, so the default applies), and any setting under a named [Context]
// (stored).
struct ConfigSchema {
    const ConfigSetting* settings;
    uint32_t count;
    const ConfigSchema* more = nullptr;
};

// Applies `length` bytes of text, named `sourceName` in reports, to the registry; a null sink
// drops the reports. Returns the number of problems found (reported or not).
uint32_t LoadConfigText(const char* sourceName, const char* text, uint32_t length,
                        ConfigMessageSink sink, void* user, const ConfigSchema* schema = nullptr);

// How reading a configuration file went. A missing file is no failure: every default applies.
// A file that is there but cannot be used is one, left to the caller to report (the game stops).
struct ConfigFileResult {
    bool failed;        // the file exists but could not be opened, read or given a buffer
    char failure[160];  // then why, with the system's reason: "cannot read the file (Is a
                        // directory)"; empty otherwise
    uint32_t problems;  // problems found in its lines, each reported to the sink
};

// Reads the file at `path` with the C library and applies it; a file that failed applies
// nothing and sends nothing to the sink.
ConfigFileResult LoadConfigFile(const char* path, ConfigMessageSink sink, void* user,
                                const ConfigSchema* schema = nullptr);

// A sink that writes each report to stderr as "<prefix>: <message>"; `user` is the prefix (a
// const char*), or null for none.
void PrintConfigMessage(void* user, const char* message);
