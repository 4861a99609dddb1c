#pragma once
// A pipe that another party in this process (a library) opens by a path and
// writes, while it is read here through a descriptor; nothing of it is left
// on disk. On Linux the path names the write end under /proc; on Windows it
// is a named pipe of one instance.

#include <cstddef>
#include <string>

namespace platform {

class WriterPipe {
public:
    WriterPipe() = default;
    ~WriterPipe();
    WriterPipe(const WriterPipe&) = delete;
    WriterPipe& operator=(const WriterPipe&) = delete;

    // Makes the pipe, asking for room for about room bytes; false with
    // errno set.
    bool Create(std::size_t room);
    const std::string& Path() const { return path_; }
    // The read end, for ReadPipe; it stays this object's.
    int ReadFd() const { return read_; }
    // The bytes the pipe holds while nobody reads it (0: not known, so a
    // writer may wait for its reader from the first byte).
    std::size_t Capacity() const { return capacity_; }
    // Once the writer is done with the path: the reader then sees the end,
    // also when the writer never opened it.
    void WriterDone();
    // Once the reader has seen the end: the pipe is empty and writerless, and
    // the thread's next WriterPipe may take it over (Linux), which spares a
    // backup of a thousand files a thousand pipes made and freed.
    void ReaderAtEnd() { atEnd_ = true; }

private:
    int read_ = -1;
    int write_ = -1; // Linux: a write end of our own until the writer is done
    std::size_t capacity_ = 0;
    std::string path_;
    bool atEnd_ = false;
};

// Reads from the read end of a WriterPipe: bytes read, 0 at the end (every
// writer gone), -1 on failure (errno set; EINTR is retried here).
long long ReadPipe(int fd, void* data, std::size_t n);

} // namespace platform
