#include "input_map.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace convert {

InputMap::InputMap(int fd) {
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) return;
    const auto size = static_cast<std::size_t>(st.st_size);
    void* at = mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    if (at == MAP_FAILED) return;
    // Read front to back: the kernel reads ahead and drops what is behind.
    madvise(at, size, MADV_SEQUENTIAL);
    data_ = static_cast<const std::uint8_t*>(at);
    size_ = size;
}

InputMap::~InputMap() {
    if (data_) munmap(const_cast<std::uint8_t*>(data_), size_);
}

void InputMap::Release(const std::uint8_t* upTo) {
    static const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t end = static_cast<std::size_t>(upTo - data_) / page * page;
    if (!data_ || end <= released_) return;
    madvise(const_cast<std::uint8_t*>(data_) + released_, end - released_, MADV_DONTNEED);
    released_ = end;
}

} // namespace convert
