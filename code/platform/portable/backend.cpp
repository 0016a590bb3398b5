// What a backend does unless it knows better.
#include "platform/portable/backend.h"

#include <unistd.h>

namespace portable {

bool Backend::ExecutablePath(char* path, uint32_t size) {
    if (size < 2) {
        return false;
    }
    ssize_t length = readlink("/proc/self/exe", path, size);
    // A link that fills the whole buffer may have been cut short; one a byte shorter is whole and
    // leaves the byte for the terminator.
    if (length <= 0 || static_cast<uint32_t>(length) >= size) {
        return false;
    }
    path[length] = '\0';
    return true;
}

}  // namespace portable
