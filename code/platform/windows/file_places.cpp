// Where the game's files live on Windows: the data beside taspo.exe, the settings in the user's
// roaming application data.
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

bool GetConfigDirectory(char* path, uint32_t size) {
    char appData[FilePathBytes];
    DWORD length = GetEnvironmentVariableA("APPDATA", appData, sizeof(appData));
    if (length == 0 || length >= sizeof(appData)) {
        return false;
    }
    int written = std::snprintf(path, size, "%s\\Taspo\\", appData);
    return written > 0 && static_cast<uint32_t>(written) < size;
}
