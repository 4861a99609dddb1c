#include "base/platform/output_file.h"

#include "base/platform/atomic_file.h"
#include "base/platform/files.h"
#include "base/platform/wide_text.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace platform {

std::FILE* OpenOutputUnlessInput(const char* path, std::FILE* input, const char* inputPath,
                                 bool& isInput) {
    isInput = false;
    // Opened without truncation: the file is looked at before it is cut.
    const int fd = _wopen(WideText(path).c_str(), _O_WRONLY | _O_CREAT | _O_BINARY | _O_NOINHERIT,
                          _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    if (input ? SameFile(fd, _fileno(input)) : inputPath && SameFile(fd, std::string(inputPath))) {
        _close(fd);
        isInput = true;
        return nullptr;
    }
    if (KindOf(path) == FileKind::Regular && _filelengthi64(fd) > 0 && _chsize_s(fd, 0) != 0) {
        _close(fd);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (!file) _close(fd);
    return file;
}

bool CanOpenOutput(const char* path) {
    const std::string name(path);
    switch (KindOf(name)) {
    case FileKind::Folder:
        return false;
    case FileKind::Missing: {
        const std::size_t slash = name.find_last_of("/\\");
        const std::string folder = slash == std::string::npos ? "." : name.substr(0, slash + 1);
        return KindOf(folder) == FileKind::Folder;
    }
    default: {
        struct stat st {};
        return !IsReadOnly(name, st);
    }
    }
}

} // namespace platform
