// Where the game's files live on Linux: the data at the path the build fixed relative to the
// executable's folder (/usr/games/taspo reads /usr/share/games/taspo/), the settings in the XDG
// configuration folder, what the game keeps in the XDG data folder. The executable's path comes
// from the backend, so tests can place it.
#include "platform/file_places.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/portable/session.h"

#ifndef TASPO_DATA_FROM_PROGRAM
#error "the build defines TASPO_DATA_FROM_PROGRAM, the data folder relative to the program's"
#endif

namespace {

// Cuts the last part off `path` ("/usr/games/taspo" becomes "/usr/games"; "/" stays); false when
// it has no folder to go up to.
bool DropLastPart(char* path) {
    char* slash = std::strrchr(path, '/');
    if (slash == nullptr) {
        return false;
    }
    slash[slash == path ? 1 : 0] = '\0';
    return true;
}

// `folder` without trailing slashes (a lone "/" stays) followed by `rest`; false when it does not
// fit in `size` bytes.
bool JoinPath(char* path, uint32_t size, const char* folder, const char* rest) {
    size_t length = std::strlen(folder);
    while (length > 1 && folder[length - 1] == '/') {
        --length;
    }
    int written = std::snprintf(path, size, "%.*s%s%s", static_cast<int>(length), folder,
                                folder[length - 1] == '/' ? "" : "/", rest);
    return written > 0 && static_cast<uint32_t>(written) < size;
}

}  // namespace

bool GetDataDirectory(char* path, uint32_t size) {
    char folder[FilePathBytes];
    if (!portable::CurrentBackend().ExecutablePath(folder, sizeof(folder)) ||
        !DropLastPart(folder)) {
        return false;
    }
    // The build's relative path ("../share/games/taspo") goes up a folder for each leading "..",
    // so messages name the data folder itself.
    const char* rest = TASPO_DATA_FROM_PROGRAM;
    while (rest[0] == '.' && rest[1] == '.' && (rest[2] == '/' || rest[2] == '\0')) {
        if (!DropLastPart(folder)) {
            return false;
        }
        rest += rest[2] == '/' ? 3 : 2;
    }
    char relative[FilePathBytes];
    std::snprintf(relative, sizeof(relative), "%s%s", rest, rest[0] != '\0' ? "/" : "");
    return JoinPath(path, size, folder, relative);
}

namespace {

// The game's folder in an XDG base directory: $`variable`/taspo/, else ~/`fallback`/taspo/.
bool XdgFolder(const char* variable, const char* fallback, char* path, uint32_t size) {
    // The XDG rules ignore a relative or empty value.
    const char* base = std::getenv(variable);
    if (base != nullptr && base[0] == '/') {
        return JoinPath(path, size, base, "taspo/");
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        return false;
    }
    char folder[FilePathBytes];
    return JoinPath(folder, sizeof(folder), home, fallback) &&
           JoinPath(path, size, folder, "taspo/");
}

}  // namespace

bool GetConfigDirectory(char* path, uint32_t size) {
    return XdgFolder("XDG_CONFIG_HOME", ".config", path, size);
}

bool GetUserDataDirectory(char* path, uint32_t size) {
    return XdgFolder("XDG_DATA_HOME", ".local/share", path, size);
}
