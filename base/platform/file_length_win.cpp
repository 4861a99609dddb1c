#include "base/platform/file_length.h"

#include <io.h>

namespace platform {

bool SetFileLength(std::FILE* file, std::uint64_t length) {
    return std::fflush(file) == 0 && _chsize_s(_fileno(file), static_cast<__int64>(length)) == 0;
}

} // namespace platform
