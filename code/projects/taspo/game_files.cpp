// The game's file lookup, over the platform's folders. Only whether a name exists is asked here;
// opening and reading, with their reasons for failing, stay with the callers.
#include "projects/taspo/game_files.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

// Whether anything is at `path`. A file that cannot be read is still there (and its reader says
// why), but a folder that cannot be searched, like another user's home, hides nothing.
bool IsThere(const char* path) {
    struct stat status;
    return stat(path, &status) == 0;
}

// A symbolic link at `path` whose target is missing: opening it would only say "No such file",
// as if nothing were there, so the link and its target are named here.
bool IsDanglingLink(const char* path, char* problem, size_t size) {
#ifdef _WIN32
    static_cast<void>(path);
    static_cast<void>(problem);
    static_cast<void>(size);
    return false;
#else
    struct stat status;
    if (lstat(path, &status) != 0 || !S_ISLNK(status.st_mode) || stat(path, &status) == 0 ||
        (errno != ENOENT && errno != ENOTDIR)) {
        return false;
    }
    char target[FilePathBytes];
    ssize_t length = readlink(path, target, sizeof(target) - 1);
    target[length > 0 ? length : 0] = '\0';
    std::snprintf(problem, size, "broken symbolic link (its target \"%s\" is missing)", target);
    return true;
#endif
}

// Looks for the file at `path`, unless an earlier place had it; `place` names the folder.
void Look(GameFile* file, const char* place, const char* path) {
    if (file->found) {
        return;
    }
    size_t length = std::strlen(file->tried);
    std::snprintf(file->tried + length, sizeof(file->tried) - length, "%s%s",
                  length > 0 ? " or " : "", place);
    if (IsThere(path) || IsDanglingLink(path, file->problem, sizeof(file->problem))) {
        file->found = true;
        std::snprintf(file->path, sizeof(file->path), "%s", path);
    }
}

}  // namespace

void FindGameFile(const char* name, GameFileKind kind, GameFile* file) {
    file->found = false;
    file->path[0] = '\0';
    file->tried[0] = '\0';
    file->problem[0] = '\0';
    Look(file, "the working directory", name);
    char folder[FilePathBytes];
    bool known = kind == GameFileKind::Data ? GetDataDirectory(folder, sizeof(folder))
                                            : GetConfigDirectory(folder, sizeof(folder));
    char path[sizeof(file->path)];
    if (known && std::snprintf(path, sizeof(path), "%s%s", folder, name) < int{sizeof(path)}) {
        Look(file, folder, path);
    }
}
