#include "base/platform/ansi_path.h"

namespace platform {

// Paths are the file system's bytes here: they cross as they are.
AnsiPath::AnsiPath(const std::string& path, AnsiUse) : bytes_(path), text_(path) {}

AnsiPath::~AnsiPath() = default;

int AnsiPath::Finish() {
    return 0;
}

std::string TextFromAnsiPath(const char* bytes) {
    return bytes ? bytes : "";
}

} // namespace platform
