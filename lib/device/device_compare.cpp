// Reads of player files through a pipe, into memory or into a comparison.
#include "lib/device/device_compare.h"

#include "lib/device/device_layer.h"
#include "lib/device/device_progress.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace {

constexpr size_t kChunk = 1 << 20;

// Reads fd to its end, handing each piece to take.
void Drain(int fd, size_t chunk, const std::function<void(const unsigned char*, size_t)>& take) {
    const std::unique_ptr<unsigned char[]> got(new unsigned char[chunk]);
    for (;;) {
        const ssize_t n = read(fd, got.get(), chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        take(got.get(), static_cast<size_t>(n));
    }
}

// Has the library read the entry into an unnamed pipe while a second thread
// hands what arrives to take. The library's code.
int ThroughPipe(KD5200_HWND parent, int memory, int number, uint32_t size, const char* playerName,
                bool check, const std::function<void(const unsigned char*, size_t)>& take) {
    const KD5200_HANDLE handle = DevGetHandle();
    if (!handle) return KD5200_ERR_NOT_CONNECTED;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return KD5200_ERR_FILE_WRITE;
    // A pipe as large as the file (up to a limit) takes it in one piece:
    // fewer wake-ups of the reader; best effort.
    const size_t want = size < kChunk ? (size < 65536 ? 65536 : size) : kChunk;
    fcntl(ends[0], F_SETPIPE_SZ, static_cast<int>(want));
    // The library writes into the pipe by its name under /proc; our own
    // write end stays open until the library is done, so that the reader
    // sees the end only then.
    std::thread reader([&] { Drain(ends[0], want + 1, take); });
    const std::string path = "/proc/self/fd/" + std::to_string(ends[1]);
    int32_t ok = 0;
    int code = KD5200_ERR_NONE;
    {
        std::optional<device::ProgressGuard> guard;
        if (check) {
            // The reports of a second read go out as the check they are.
            guard.emplace([&guard](KD5200_HWND owner, const char* operation, device::ProgressPhase,
                                   int64_t done, int64_t total) {
                return guard->Outer(owner, operation, device::ProgressPhase::kCheck, done, total);
            });
        }
        ok = DevApi().Upload(parent, handle, memory, number, path.c_str(), playerName, size,
                             KD5200_CONVERT_NONE);
        code = ok ? KD5200_ERR_NONE : DevApi().GetError();
    }
    close(ends[1]);
    reader.join();
    close(ends[0]);
    if (!ok) return code != KD5200_ERR_NONE ? code : KD5200_ERR_FILE_READ;
    return KD5200_ERR_NONE;
}

// A regular file mapped for reading; empty when it cannot be.
class Mapped {
public:
    explicit Mapped(int fd) {
        struct stat st {};
        if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return;
        size_ = static_cast<size_t>(st.st_size);
        valid_ = true;
        if (size_ == 0) return;
        void* at = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (at == MAP_FAILED) {
            valid_ = false;
            size_ = 0;
            return;
        }
        data_ = at;
    }
    ~Mapped() {
        if (data_) munmap(data_, size_);
    }
    Mapped(const Mapped&) = delete;
    Mapped& operator=(const Mapped&) = delete;
    bool Valid() const { return valid_; }
    const void* Data() const { return data_; }
    size_t Size() const { return size_; }

private:
    void* data_ = nullptr;
    size_t size_ = 0;
    bool valid_ = false;
};

} // namespace

int DevReadEntry(KD5200_HWND parent, int memory, int number, uint32_t size,
                 const char* playerName, std::vector<unsigned char>& into, bool check) {
    into.clear();
    into.reserve(size);
    // An entry that another program made larger meanwhile is taken no
    // further than one byte past the size listed: enough to tell.
    const size_t most = static_cast<size_t>(size) + 1;
    return ThroughPipe(parent, memory, number, size, playerName, check,
                       [&into, most](const unsigned char* data, size_t n) {
                           const size_t room = most - into.size();
                           into.insert(into.end(), data, data + (n < room ? n : room));
                       });
}

int DevCompareEntryWith(KD5200_HWND parent, int memory, int number, uint32_t size,
                        const char* playerName, const void* expected, size_t length, bool& same) {
    const auto* want = static_cast<const unsigned char*>(expected);
    size_t at = 0;
    bool equal = true;
    // The pipe is drained to its end even after a difference, so that the
    // library never blocks on it.
    const int code = ThroughPipe(parent, memory, number, size, playerName, true,
                                 [&](const unsigned char* data, size_t n) {
                                     if (!equal) return;
                                     equal = n <= length - at && std::memcmp(data, want + at, n) == 0;
                                     at += n;
                                 });
    same = equal && at == length;
    return code;
}

int DevCompareEntryWithFile(KD5200_HWND parent, int memory, int number, uint32_t size,
                            const char* playerName, int fd, bool& same) {
    const Mapped file(fd);
    const int code = DevCompareEntryWith(parent, memory, number, size, playerName, file.Data(),
                                         file.Size(), same);
    same = same && file.Valid();
    return code;
}

int DevCompareEntry(KD5200_HWND parent, int memory, int number, uint32_t size,
                    const std::string& pcPath) {
    const int fd = open(pcPath.c_str(), O_RDONLY | O_CLOEXEC);
    bool same = false;
    const int code = DevCompareEntryWithFile(parent, memory, number, size, nullptr, fd, same);
    if (fd >= 0) close(fd);
    if (code != KD5200_ERR_NONE) return code;
    return same ? KD5200_ERR_NONE : KD5200_ERR_STORAGE;
}
