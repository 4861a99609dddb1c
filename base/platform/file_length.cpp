#include "base/platform/file_length.h"

#include <sys/types.h>
#include <unistd.h>

namespace platform {

bool SetFileLength(std::FILE* file, std::uint64_t length) {
    return std::fflush(file) == 0 && ::ftruncate(fileno(file), static_cast<off_t>(length)) == 0;
}

} // namespace platform
