// Where the game's files live on Linux: the data under the installation prefix the executable
// sits in (/usr/games/taspo reads /usr/share/games/taspo/), the settings in the XDG
// configuration folder. The executable's path comes from the backend, so tests can place it.
#include "platform/file_places.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/portable/session.h"

namespace {

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
    char prefix[FilePathBytes];
    if (!portable::CurrentBackend().ExecutablePath(prefix, sizeof(prefix))) {
        return false;
    }
    // Drop the program's name, then the folder it is in (games/): what is left is the prefix.
    for (int part = 0; part < 2; ++part) {
        char* slash = std::strrchr(prefix, '/');
        if (slash == nullptr) {
            return false;
        }
        slash[slash == prefix ? 1 : 0] = '\0';
    }
    return JoinPath(path, size, prefix, "share/games/taspo/");
}

bool GetConfigDirectory(char* path, uint32_t size) {
    // The XDG rules ignore a relative or empty value.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') {
        return JoinPath(path, size, configHome, "taspo/");
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        return false;
    }
    char config[FilePathBytes];
    return JoinPath(config, sizeof(config), home, ".config") &&
           JoinPath(path, size, config, "taspo/");
}
