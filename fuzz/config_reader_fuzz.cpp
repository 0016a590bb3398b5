// libFuzzer target for the configuration reader: arbitrary bytes as the text of taspo.cfg, read
// into an empty registry inside a fresh engine arena. Every report must be one bounded line that
// names the source, their number must follow the problem count, and the only blocks left in use
// afterwards must be the registry's own. Seed it with fuzz/corpus/config (scripts/fuzz.sh does).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "config/config_file.h"
#include "config/registry_census.h"
#include "config/variable_registry.h"
#include "memory/arena.h"
#include "support/scoped_engine_arena.h"

namespace {

const char SourceName[] = "taspo.cfg";
// Room for the most one text can store, 1024 values each in a context of its own, with the
// headers: smaller than the game's 4 MiB, which a fresh region per input would spend most of the
// time mapping. The out-of-memory reports have unit tests of their own.
constexpr uint32_t FuzzArenaSize = 256 * 1024;
constexpr size_t LongestMessage = 512;

struct Reports {
    uint32_t count;
};

void CheckReport(void* user, const char* message) {
    size_t length = std::strlen(message);
    if (length == 0 || length > LongestMessage || std::strchr(message, '\n') != nullptr ||
        std::strncmp(message, SourceName, sizeof(SourceName) - 1) != 0 ||
        message[sizeof(SourceName) - 1] != ':') {
        std::abort();
    }
    ++static_cast<Reports*>(user)->count;
}

// The record, its name's buffer, and one block per context and per value.
uint32_t RegistryBlocks(const VariableRegistry* registry, uint32_t* values) {
    uint32_t contexts = CountNodes(registry->contextRoot);
    if (contexts != registry->contextCount) {
        std::abort();
    }
    *values = CountValues(registry->contextRoot);
    return 2 + contexts + *values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) {
        return 0;
    }
    // A fresh region per input: the registry is never torn down, it goes with its region.
    ScopedEngineArena arena(FuzzArenaSize);
    if (!arena.Ready()) {
        std::abort();
    }
    ReleaseRegistry();
    currentContext = 0;

    Reports reports = {0};
    uint32_t problems = LoadConfigText(SourceName, reinterpret_cast<const char*>(data),
                                       static_cast<uint32_t>(size), CheckReport, &reports);
    uint32_t expected =
        problems <= ConfigMaxMessages ? problems : ConfigMaxMessages + 1;  // "N more problems"
    if (reports.count != expected || ArenaCheck(&arena.arena) != nullptr) {
        std::abort();
    }
    const VariableRegistry* registry = GetRegistry();  // made now when no value was stored
    uint32_t values = 0;
    if (registry == nullptr || arena.BlocksInUse() != RegistryBlocks(registry, &values) ||
        values > ConfigMaxSettings) {
        std::abort();  // the reader kept a block of its own
    }

    ReleaseRegistry();
    return 0;
}
