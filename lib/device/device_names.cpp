// Names of uploaded files: extension replacement, safe file names, target paths.
#include "lib/device/device_layer.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

bool DevReplaceExtension(const char* name, const char* oldExt, const char* newExt, char* out,
                         int size) {
    if (!name || !oldExt || !newExt || !out || size <= 0) return false;
    const int length = static_cast<int>(std::strlen(name));
    int dot = length - 1;
    while (dot >= 0 && !std::strchr(".\\/:", name[dot]))
        --dot;
    if (dot < 1 || name[dot] != '.' || strcasecmp(name + dot + 1, oldExt) != 0) return false;

    const int copied = std::min(length, size - 1);
    std::memmove(out, name, static_cast<size_t>(copied));
    out[copied] = '\0';
    // When the dot does not leave room for a three-letter extension, the
    // extension goes to the end of the buffer, behind a dot of its own.
    if (dot >= size - 4) {
        dot = std::max(size - 5, 0);
        out[dot] = '.';
    }
    const int start = std::min(dot + 1, size - 1);
    const int room = size - 1 - start;
    const int written = std::min(static_cast<int>(std::strlen(newExt)), room);
    std::memcpy(out + start, newExt, static_cast<size_t>(written));
    out[start + written] = '\0';
    return true;
}

std::string DevSafeFileName(const std::string& name) {
    std::string safe = name;
    std::replace_if(
        safe.begin(), safe.end(), [](char c) { return c == '/' || c == '\\' || c == ':'; }, '_');
    // "." and ".." name folders, not files; every other name stays as it is.
    if (safe.empty() || safe == "." || safe == "..") return "_";
    return safe;
}

std::string DevTargetPath(const char* folder, const std::string& name) {
    const std::string safe = DevSafeFileName(name);
    if (!folder || !*folder) return safe;
    std::string path = folder;
    if (path.back() != '/' && path.back() != '\\') path += '/';
    return path + safe;
}
