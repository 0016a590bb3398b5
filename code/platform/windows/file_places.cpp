// Where the game's files live on Windows: the data beside taspo.exe, the settings in the user's
// roaming application data, what the game keeps in the local one.
#include "platform/file_places.h"

#include <cstdio>
#include <cstring>

#include "platform/win32.h"

bool GetDataDirectory(char* path, uint32_t size) {
    DWORD length = GetModuleFileNameA(nullptr, path, size);
    // A length of `size` means the name was cut short.
    if (length == 0 || length >= size) {
        return false;
    }
    char* separator = std::strrchr(path, '\\');
    if (separator == nullptr) {
        return false;
    }
    separator[1] = '\0';
    return true;
}

namespace {

// The game's folder in the one that the environment variable `variable` names.
bool FolderIn(const char* variable, char* path, uint32_t size) {
    char base[FilePathBytes];
    DWORD length = GetEnvironmentVariableA(variable, base, sizeof(base));
    if (length == 0 || length >= sizeof(base)) {
        return false;
    }
    int written = std::snprintf(path, size, "%s\\Taspo\\", base);
    return written > 0 && static_cast<uint32_t>(written) < size;
}

}  // namespace

bool GetConfigDirectory(char* path, uint32_t size) {
    return FolderIn("APPDATA", path, size);
}

bool GetUserDataDirectory(char* path, uint32_t size) {
    return FolderIn("LOCALAPPDATA", path, size);
}
