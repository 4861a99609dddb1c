#include "base/platform/file_compare.h"

#include <cstring>
#include <sys/mman.h>
#include <sys/stat.h>

namespace platform {

namespace {

// A read-only mapping of a whole file, unmapped with this object.
class Mapped {
public:
    explicit Mapped(int fd) {
        struct stat st {};
        if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return;
        size_ = static_cast<size_t>(st.st_size);
        ok_ = true;
        if (size_ == 0) return;
        void* at = mmap(nullptr, size_, PROT_READ, MAP_SHARED | MAP_POPULATE, fd, 0);
        if (at == MAP_FAILED) {
            ok_ = false;
            return;
        }
        data_ = static_cast<const char*>(at);
    }
    ~Mapped() {
        if (data_) munmap(const_cast<char*>(data_), size_);
    }
    Mapped(const Mapped&) = delete;
    Mapped& operator=(const Mapped&) = delete;
    bool Ok() const { return ok_; }
    const char* Data() const { return data_; }
    size_t Size() const { return size_; }

private:
    const char* data_ = nullptr;
    size_t size_ = 0;
    bool ok_ = false;
};

} // namespace

bool SameContents(int a, int b) {
    const Mapped first(a), second(b);
    return first.Ok() && second.Ok() && first.Size() == second.Size() &&
           (first.Size() == 0 || std::memcmp(first.Data(), second.Data(), first.Size()) == 0);
}

} // namespace platform
