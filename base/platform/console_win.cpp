#include "base/platform/console.h"

#include "base/platform/wide_text.h"

#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <thread>
#include <vector>
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

namespace platform {

namespace {

// The arguments as UTF-8, alive for the whole run.
std::vector<std::string> utf8Arguments;
std::vector<char*> argumentPointers;

void TakeWideArguments(int& argc, char**& argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return;
    for (int i = 0; i < count; ++i)
        utf8Arguments.push_back(Utf8Text(wide[i]));
    LocalFree(wide);
    for (std::string& a : utf8Arguments)
        argumentPointers.push_back(a.data());
    argumentPointers.push_back(nullptr);
    argc = count;
    argv = argumentPointers.data();
}

// Length of the leading part of bytes that ends on a whole UTF-8
// character; the rest waits for the next read.
std::size_t WholeCharacters(const std::string& bytes) {
    const std::size_t n = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
        const auto c = static_cast<unsigned char>(bytes[n - back]);
        if ((c & 0xC0) == 0x80) continue; // a continuation byte: look further back
        const std::size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return need > back ? n - back : n;
    }
    return n;
}

// Text written to a console stream goes through a pipe to a thread that
// hands it to the console as UTF-16: the C library's own console output
// would read the UTF-8 as the console's code page.
class ConsoleRelay {
public:
    ConsoleRelay(int fd, HANDLE console) : fd_(fd), console_(console) {}
    int Fd() const { return fd_; }
    HANDLE Console() const { return console_; }

    bool Start() {
        int ends[2];
        if (_pipe(ends, 1 << 16, _O_BINARY | _O_NOINHERIT) != 0) return false;
        if (_dup2(ends[1], fd_) != 0) {
            _close(ends[0]);
            _close(ends[1]);
            return false;
        }
        _close(ends[1]);
        readFd_ = ends[0];
        thread_ = std::thread([this] { Run(); });
        return true;
    }

    // Closes the stream's end, so that the thread sees the end of the text,
    // and waits until it has written all of it.
    void Finish() {
        if (!thread_.joinable()) return;
        _close(fd_);
        thread_.join();
        _close(readFd_);
    }

private:
    void Run() {
        std::string pending;
        char buffer[4096];
        for (;;) {
            const int n = _read(readFd_, buffer, sizeof buffer);
            if (n <= 0) break;
            pending.append(buffer, static_cast<std::size_t>(n));
            const std::size_t whole = WholeCharacters(pending);
            Write(pending.substr(0, whole));
            pending.erase(0, whole);
        }
        Write(pending);
    }

    void Write(const std::string& text) {
        const std::wstring wide = WideText(text);
        DWORD written = 0;
        for (std::size_t at = 0; at < wide.size(); at += written) {
            if (!WriteConsoleW(console_, wide.data() + at, static_cast<DWORD>(wide.size() - at),
                               &written, nullptr) ||
                written == 0)
                return;
        }
    }

    int fd_;
    HANDLE console_;
    int readFd_ = -1;
    std::thread thread_;
};

std::vector<ConsoleRelay*> relays;

void FinishRelays() {
    std::fflush(stdout);
    std::fflush(stderr);
    for (ConsoleRelay* relay : relays)
        relay->Finish();
}

void RelayIfConsole(int fd, DWORD which) {
    const HANDLE h = GetStdHandle(which);
    DWORD mode = 0;
    if (h == INVALID_HANDLE_VALUE || !h || !GetConsoleMode(h, &mode)) return;
    // Kept for the whole run: the relay's thread may still be writing
    // while the program ends.
    auto* relay = new ConsoleRelay(fd, h);
    if (relay->Start())
        relays.push_back(relay);
    else
        delete relay;
}

} // namespace

void StartConsoleProgram(int& argc, char**& argv) {
    TakeWideArguments(argc, argv);
    RelayIfConsole(1, STD_OUTPUT_HANDLE);
    RelayIfConsole(2, STD_ERROR_HANDLE);
    if (!relays.empty()) {
        // UTF-8 bytes pass the pipe unchanged; the relay writes the line ends.
        std::fflush(stdout);
        _setmode(1, _O_BINARY);
        _setmode(2, _O_BINARY);
        std::atexit(FinishRelays);
    }
}

namespace {

// The console a standard stream shows in: the one its text is relayed to,
// or its own handle when that is a console; nullptr for none.
HANDLE ConsoleOf(std::FILE* stream) {
    const int fd = _fileno(stream);
    for (const ConsoleRelay* relay : relays)
        if (relay->Fd() == fd) return relay->Console();
    const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD mode = 0;
    return h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode) ? h : nullptr;
}

} // namespace

bool IsTerminal(std::FILE* stream) {
    return ConsoleOf(stream) != nullptr;
}

int TerminalColumns(std::FILE* stream) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    const HANDLE console = ConsoleOf(stream);
    if (!console || !GetConsoleScreenBufferInfo(console, &info)) return 0;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

void UseForData(std::FILE* stream) {
    std::fflush(stream);
    _setmode(_fileno(stream), _O_BINARY);
}

} // namespace platform
