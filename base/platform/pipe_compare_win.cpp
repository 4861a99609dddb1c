// Windows: a named pipe of this process, which the writer opens by its name
// and which vanishes with its last handle, so nothing is left on disk.
#include "base/platform/pipe_compare.h"

#include "base/platform/temp_names.h"
#include "base/platform/wide_text.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <memory>
#include <windows.h>

namespace platform {

namespace {

constexpr DWORD kPipeBytes = 1 << 20;
constexpr DWORD kChunk = 128 << 10;

HANDLE HandleOf(int fd) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

// Reads up to size bytes, stopping early only at the end (the writer closed
// the pipe, or the file ended) or on an error; -1 on an error.
long ReadFull(HANDLE from, char* into, DWORD size) {
    DWORD done = 0;
    while (done < size) {
        DWORD n = 0;
        if (!ReadFile(from, into + done, size - done, &n, nullptr))
            return GetLastError() == ERROR_BROKEN_PIPE ? static_cast<long>(done) : -1;
        if (n == 0) break;
        done += n;
    }
    return static_cast<long>(done);
}

} // namespace

PipeCompare::PipeCompare(std::string expected) : expected_(std::move(expected)) {
    static std::atomic<unsigned> count{0};
    const std::string name = "\\\\.\\pipe\\songdock-compare-" + std::to_string(GetCurrentProcessId()) +
                             "-" + std::to_string(++count) + "-" + RandomSuffix();
    const HANDLE pipe = CreateNamedPipeW(
        WideText(name).c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0, kPipeBytes,
        0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) {
        errno = EMFILE;
        return;
    }
    read_ = _open_osfhandle(reinterpret_cast<intptr_t>(pipe), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (read_ < 0) {
        CloseHandle(pipe);
        return;
    }
    path_ = name;
    reader_ = std::thread([this] { Compare(); });
}

PipeCompare::~PipeCompare() {
    Finish();
    if (read_ >= 0) _close(read_);
}

void PipeCompare::Compare() {
    const HANDLE pipe = HandleOf(read_);
    // Waits for the writer; one that came first has connected already, and
    // may be gone too, leaving its bytes in the pipe.
    if (!ConnectNamedPipe(pipe, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED &&
        GetLastError() != ERROR_NO_DATA) {
        same_ = false;
        return;
    }
    const HANDLE file = CreateFileW(WideText(expected_).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    LARGE_INTEGER size{};
    bool same = file != INVALID_HANDLE_VALUE && GetFileType(file) == FILE_TYPE_DISK &&
                GetFileSizeEx(file, &size);
    const std::unique_ptr<char[]> got(new char[2 * kChunk]);
    char* const mine = got.get() + kChunk;
    std::uint64_t at = 0;
    // The pipe is drained to its end even after a difference, so that the
    // writer never blocks on it.
    for (;;) {
        const long n = ReadFull(pipe, got.get(), kChunk);
        if (n <= 0) {
            same = same && n == 0 && at == static_cast<std::uint64_t>(size.QuadPart);
            break;
        }
        if (!same) continue;
        const auto piece = static_cast<DWORD>(n);
        same = piece <= static_cast<std::uint64_t>(size.QuadPart) - at &&
               ReadFull(file, mine, piece) == n && std::memcmp(got.get(), mine, piece) == 0;
        at += piece;
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    same_ = same;
}

void PipeCompare::Finish() {
    if (!reader_.joinable()) return;
    // A writer that never came: a client of our own connects and goes, so
    // that the reader sees an empty pipe and ends. A pipe that had its
    // writer takes no other.
    const HANDLE client = CreateFileW(WideText(path_).c_str(), GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (client != INVALID_HANDLE_VALUE) CloseHandle(client);
    reader_.join();
}

bool PipeCompare::Same() {
    Finish();
    return !path_.empty() && same_;
}

} // namespace platform
