#include "base/platform/writer_pipe.h"

#include "base/platform/temp_names.h"
#include "base/platform/wide_text.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace platform {

namespace {

std::atomic<unsigned> pipeCount{0};

} // namespace

WriterPipe::~WriterPipe() {
    WriterDone();
    if (read_ >= 0) _close(read_);
}

bool WriterPipe::Create(std::size_t room) {
    // A name no other pipe has: the process, a count and random characters.
    path_ = "\\\\.\\pipe\\songdock-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++pipeCount) + "-" + RandomSuffix();
    const HANDLE h = CreateNamedPipeW(
        WideText(path_).c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0,
        static_cast<DWORD>(room), 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EMFILE;
        path_.clear();
        return false;
    }
    read_ = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (read_ < 0) {
        CloseHandle(h);
        errno = EMFILE;
        path_.clear();
        return false;
    }
    // A writer waits for its reader whenever the pipe's quota is full.
    capacity_ = 0;
    return true;
}

void WriterPipe::WriterDone() {
    if (path_.empty()) return;
    // A reader still waiting for a writer that never came is released by a
    // writer of our own that goes at once; where the writer came, the one
    // instance is taken and this fails harmlessly.
    const HANDLE h = CreateFileW(WideText(path_).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    path_.clear();
}

long long ReadPipe(int fd, void* data, std::size_t n) {
    const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    for (;;) {
        DWORD got = 0;
        if (ReadFile(h, data, n > (1u << 30) ? (1u << 30) : static_cast<DWORD>(n), &got, nullptr))
            return got;
        switch (GetLastError()) {
        case ERROR_PIPE_LISTENING:
            // No writer yet: wait for one (or for WriterDone's).
            if (ConnectNamedPipe(h, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED ||
                GetLastError() == ERROR_NO_DATA)
                continue;
            errno = EIO;
            return -1;
        case ERROR_BROKEN_PIPE:
        case ERROR_NO_DATA:
            return 0; // the writer has closed its end
        default:
            errno = EIO;
            return -1;
        }
    }
}

} // namespace platform
