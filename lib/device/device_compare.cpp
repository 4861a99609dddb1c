// Read-back comparison of a player file with a PC file.
#include "lib/device/device_compare.h"

#include "lib/device/device_layer.h"
#include "lib/device/device_progress.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <thread>

namespace {

constexpr size_t kChunk = 1 << 20;

// Compares what arrives on fd (to its end) with the file at path, mapped;
// the pipe is drained to its end even after a difference.
bool SameAsFile(int fd, const std::string& path) {
    const char* file = nullptr;
    size_t size = 0;
    bool same = false;
    if (const int in = open(path.c_str(), O_RDONLY | O_CLOEXEC); in >= 0) {
        struct stat st {};
        if (fstat(in, &st) == 0 && S_ISREG(st.st_mode)) {
            size = static_cast<size_t>(st.st_size);
            same = true;
            if (size > 0) {
                void* at = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, in, 0);
                if (at == MAP_FAILED) {
                    same = false;
                    size = 0;
                } else {
                    file = static_cast<const char*>(at);
                }
            }
        }
        close(in);
    }
    const std::unique_ptr<char[]> got(new char[kChunk]);
    size_t at = 0;
    for (;;) {
        const ssize_t n = read(fd, got.get(), kChunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            same = same && n == 0 && at == size;
            break;
        }
        if (!same) continue;
        const auto piece = static_cast<size_t>(n);
        same = piece <= size - at && std::memcmp(got.get(), file + at, piece) == 0;
        at += piece;
    }
    if (file) munmap(const_cast<char*>(file), size);
    return same;
}

} // namespace

int DevCompareEntry(KD5200_HWND parent, int memory, int number, uint32_t size,
                    const std::string& pcPath) {
    const KD5200_HANDLE handle = DevGetHandle();
    if (!handle) return KD5200_ERR_NOT_CONNECTED;
    // The library writes into a pipe by its name under /proc, so that the
    // second read makes no file at all; a thread compares as it arrives.
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return KD5200_ERR_FILE_WRITE;
    fcntl(ends[0], F_SETPIPE_SZ, static_cast<int>(kChunk)); // fewer wake-ups; best effort
    bool same = false;
    std::thread reader([&] { same = SameAsFile(ends[0], pcPath); });
    const std::string path = "/proc/self/fd/" + std::to_string(ends[1]);
    int32_t ok = 0;
    int code = KD5200_ERR_NONE;
    {
        // The reports of the second read go out as the check they are.
        device::ProgressGuard guard([&guard](KD5200_HWND owner, const char* operation,
                                             device::ProgressPhase, int64_t done, int64_t total) {
            return guard.Outer(owner, operation, device::ProgressPhase::kCheck, done, total);
        });
        ok = DevApi().Upload(parent, handle, memory, number, path.c_str(), nullptr, size,
                             KD5200_CONVERT_NONE);
        code = ok ? KD5200_ERR_NONE : DevApi().GetError();
    }
    // Our write end goes last, so that the reader sees the end only now.
    close(ends[1]);
    reader.join();
    close(ends[0]);
    if (!ok) return code != KD5200_ERR_NONE ? code : KD5200_ERR_FILE_READ;
    return same ? KD5200_ERR_NONE : KD5200_ERR_STORAGE;
}
