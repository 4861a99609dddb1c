// Reads of player files through a pipe, into memory or into a comparison.
#include "lib/device/device_compare.h"

#include "lib/device/device_layer.h"
#include "lib/device/device_progress.h"
#include "lib/device/pipe_drain.h"
#include "base/platform/descriptors.h"
#include "base/platform/large_memory.h"
#include "base/platform/writer_pipe.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>

namespace {

constexpr size_t kChunk = 1 << 20;

// A pipe as large as the file (up to a limit) takes it in one piece: fewer
// wake-ups of the reader, which reads at most this much at a time.
size_t PipeSize(uint32_t size) {
    return size < kChunk ? (size < 65536 ? 65536 : size) : kChunk;
}

// Memory for the pieces of a read. Pieces of a large file are asked for in
// large pages, so that a fresh process takes one fault for them instead of
// one for every page.
class Room {
public:
    explicit Room(size_t bytes) : size_(bytes) {
        if (bytes >= kChunk && (mapped_ = platform::TakeLargeMemory(size_))) return;
        owned_ = std::make_unique_for_overwrite<unsigned char[]>(bytes); // not zeroed: read into
    }
    ~Room() {
        platform::GiveBackLargeMemory(mapped_, size_);
    }
    Room(const Room&) = delete;
    Room& operator=(const Room&) = delete;
    unsigned char* Data() const { return mapped_ ? mapped_ : owned_.get(); }

private:
    size_t size_;
    unsigned char* mapped_ = nullptr;
    std::unique_ptr<unsigned char[]> owned_;
};

// Has the library read the entry into an unnamed pipe, which is read into
// buffer (PipeSize(size) bytes) beside the library or after it; each piece
// goes to take. The library's code.
int ThroughPipe(KD5200_HWND parent, int memory, int number, uint32_t size, const char* playerName,
                bool check, unsigned char* buffer,
                const std::function<void(const unsigned char*, size_t)>& take,
                const std::string& shown = "") {
    const KD5200_HANDLE handle = DevGetHandle();
    if (!handle) return KD5200_ERR_NOT_CONNECTED;
    platform::WriterPipe pipe;
    const size_t want = PipeSize(size);
    if (!pipe.Create(want)) return KD5200_ERR_FILE_WRITE;
    // The library writes into the pipe by its path; the reader sees the end
    // only once the library is done.
    device::PipeDrain reader(pipe.ReadFd(), buffer, want, take,
                             pipe.Capacity() > 0 && size <= pipe.Capacity());
    const std::string path = pipe.Path();
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
        std::optional<device::MessageSubject> subject;
        if (!shown.empty()) subject.emplace(path, shown);
        ok = DevApi().Upload(parent, handle, memory, number, path.c_str(), playerName, size,
                             KD5200_CONVERT_NONE);
        code = ok ? KD5200_ERR_NONE : DevApi().GetError();
        // Shown while the library's message names the file being copied.
        if (!ok && subject && code != KD5200_ERR_CANCELLED)
            DevApi().DispError(parent, code, DevApi().GetWindowsError());
    }
    pipe.WriterDone();
    reader.Finish();
    if (reader.AtEnd()) pipe.ReaderAtEnd();
    if (!ok) return code != KD5200_ERR_NONE ? code : KD5200_ERR_FILE_READ;
    return KD5200_ERR_NONE;
}

// Reads length bytes of fd at offset into into; false on an error or an
// early end.
bool ReadAt(int fd, unsigned char* into, size_t length, uint64_t offset) {
    for (size_t got = 0; got < length;) {
        const long long n = platform::ReadSomeAt(fd, into + got, length - got, offset + got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        got += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

int DevReadEntry(KD5200_HWND parent, int memory, int number, uint32_t size,
                 const char* playerName, std::vector<unsigned char>& into, bool check) {
    into.clear();
    into.reserve(size);
    // An entry that another program made larger meanwhile is taken no
    // further than one byte past the size listed: enough to tell.
    const size_t most = static_cast<size_t>(size) + 1;
    const Room room(PipeSize(size));
    return ThroughPipe(parent, memory, number, size, playerName, check, room.Data(),
                       [&into, most](const unsigned char* data, size_t n) {
                           const size_t room = most - into.size();
                           into.insert(into.end(), data, data + (n < room ? n : room));
                       });
}

int DevReadEntryToFile(KD5200_HWND parent, int memory, int number, uint32_t size,
                       const char* playerName, int fd, int& writeError, const std::string& shown) {
    int& error = writeError;
    error = 0;
    const Room room(PipeSize(size));
    // After a failed write the pipe is still drained to its end.
    const int code = ThroughPipe(parent, memory, number, size, playerName, false, room.Data(),
                                 [&](const unsigned char* data, size_t n) {
                                     for (size_t at = 0; at < n && error == 0;) {
                                         const long long w = platform::WriteSome(fd, data + at, n - at);
                                         if (w < 0 && errno == EINTR) continue;
                                         if (w < 0) error = errno;
                                         else at += static_cast<size_t>(w);
                                     }
                                 },
                                 shown);
    if (code != KD5200_ERR_NONE) return code;
    return error != 0 ? KD5200_ERR_FILE_WRITE : KD5200_ERR_NONE;
}

int DevCompareEntryWith(KD5200_HWND parent, int memory, int number, uint32_t size,
                        const char* playerName, const void* expected, size_t length, bool& same) {
    const auto* want = static_cast<const unsigned char*>(expected);
    size_t at = 0;
    bool equal = true;
    // The pipe is drained to its end even after a difference, so that the
    // library never blocks on it.
    const Room room(PipeSize(size));
    const int code = ThroughPipe(parent, memory, number, size, playerName, true, room.Data(),
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
    // The file is read piece by piece beside the pipe, each piece while it is
    // compared: no mapping to set up and take down, and a file that another
    // program cuts short meanwhile is simply not the same.
    platform::DescriptorInfo st;
    const bool regular =
        fd >= 0 && platform::Describe(fd, st) && st.kind == platform::FileKind::Regular;
    const uint64_t length = regular ? st.size : 0;
    // One room for the piece from the pipe and the same piece of the file.
    const size_t piece = PipeSize(size);
    const Room room(2 * piece);
    unsigned char* mine = room.Data() + piece;
    uint64_t at = 0;
    bool equal = regular;
    // As for a buffer, the pipe is drained to its end after a difference.
    const int code = ThroughPipe(parent, memory, number, size, playerName, true, room.Data(),
                                 [&](const unsigned char* data, size_t n) {
                                     if (!equal) return;
                                     equal = n <= length - at && ReadAt(fd, mine, n, at) &&
                                             std::memcmp(data, mine, n) == 0;
                                     at += n;
                                 });
    same = equal && at == length;
    return code;
}

int DevCompareEntry(KD5200_HWND parent, int memory, int number, uint32_t size,
                    const std::string& pcPath) {
    const int fd = platform::OpenDescriptor(pcPath, platform::OpenFor::Read);
    bool same = false;
    const int code = DevCompareEntryWithFile(parent, memory, number, size, nullptr, fd, same);
    if (fd >= 0) platform::CloseDescriptor(fd);
    if (code != KD5200_ERR_NONE) return code;
    return same ? KD5200_ERR_NONE : KD5200_ERR_STORAGE;
}
