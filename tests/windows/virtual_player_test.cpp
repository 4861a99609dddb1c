// Drives kd5200usb.dll as a program drives the maker's library: loaded at
// run time from a path with backslashes, each function found by name.
//   virtual_player_test DLL_FOLDER names FOLDER
//     FOLDER holds 노래.mp3, already put on the internal memory by
//     kd5200sim: the entry's name is the code page's bytes, it comes back
//     to a Korean PC path and through a pipe the library opens by its name
//     (as the device layer reads files back), and a PC path is read in the
//     ANSI code page, as the maker's library reads it.
//   virtual_player_test DLL_FOLDER wait
//     prints "ready" and waits (at most 60 s) until the player is unplugged;
//     the handle opened before then fails as unplugged.
#include "lib/device/kd5200usb.h"
#include "base/platform/files.h"
#include "base/platform/shared_library.h"
#include "base/platform/writer_pipe.h"
#include "wine_check.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

using wine_check::Check;

struct Library {
    decltype(&::KD5200_Open) open = nullptr;
    decltype(&::KD5200_Close) close = nullptr;
    decltype(&::KD5200_Free) free = nullptr;
    decltype(&::KD5200_Refresh) refresh = nullptr;
    decltype(&::KD5200_Upload) upload = nullptr;
    decltype(&::KD5200_Download) download = nullptr;
    decltype(&::KD5200_GetError) getError = nullptr;
    decltype(&::KD5200_TestConnection) testConnection = nullptr;
    decltype(&::KD5200X_GetPlugGeneration) plugGeneration = nullptr;
};

template <typename F>
bool Find(void* module, const char* name, F& function) {
    function = reinterpret_cast<F>(platform::LibraryFunction(module, name));
    Check(function != nullptr, std::string(name) + " is exported");
    return function != nullptr;
}

bool Load(const std::string& folder, Library& l) {
    std::string error;
    void* module = platform::OpenLibrary(folder + "\\kd5200usb.dll", error);
    if (!module) {
        Check(false, "kd5200usb.dll loads: " + error);
        return false;
    }
    return Find(module, "KD5200_Open", l.open) && Find(module, "KD5200_Close", l.close) &&
           Find(module, "KD5200_Free", l.free) && Find(module, "KD5200_Refresh", l.refresh) &&
           Find(module, "KD5200_Upload", l.upload) && Find(module, "KD5200_Download", l.download) &&
           Find(module, "KD5200_GetError", l.getError) &&
           Find(module, "KD5200_TestConnection", l.testConnection) &&
           Find(module, "KD5200X_GetPlugGeneration", l.plugGeneration);
}

std::string Contents(const std::string& path) {
    std::string data;
    if (std::FILE* f = platform::OpenFile(path, "rb")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            data.append(buffer, n);
        std::fclose(f);
    }
    return data;
}

// What the library writes into a pipe for entry number, read beside it;
// ok tells whether the library said it succeeded.
std::string ThroughPipe(const Library& l, KD5200_HANDLE device, int number, uint32_t size,
                        bool& ok) {
    platform::WriterPipe pipe;
    Check(pipe.Create(1 << 16), "a pipe is made");
    std::string got;
    std::thread reader([&] {
        char buffer[4096];
        for (long long n; (n = platform::ReadPipe(pipe.ReadFd(), buffer, sizeof buffer)) > 0;)
            got.append(buffer, static_cast<size_t>(n));
    });
    ok = l.upload(nullptr, device, KD5200_MEMORY_INTERNAL, number, pipe.Path().c_str(), nullptr,
                  size, KD5200_CONVERT_NONE) != 0;
    pipe.WriterDone();
    reader.join();
    return got;
}

void Names(const Library& l, KD5200_HANDLE device, const std::string& folder) {
    KD5200_MEMINFO info{};
    KD5200_DIRENTRY entries[4]{};
    int32_t count = 4;
    Check(l.refresh(device, KD5200_MEMORY_INTERNAL, &info, entries, &count) && count == 1,
          "the internal memory lists one file");
    Check(std::strcmp(entries[0].longName, "\xB3\xEB\xB7\xA1.mp3") == 0,
          "its name is B3 EB B7 A1 2E 6D 70 33 (CP949)");

    const std::string song = folder + "\\\xEB\x85\xB8\xEB\x9E\x98.mp3";
    const std::string back = folder + "\\\xEB\xB0\x9B\xEC\x9D\x8C.mp3"; // 받음.mp3
    // The library takes PC paths in the ANSI code page: 받음.mp3 in CP949.
    const std::string backAnsi = folder + "\\\xB9\xDE\xC0\xBD.mp3";
    Check(l.upload(nullptr, device, KD5200_MEMORY_INTERNAL, 0, backAnsi.c_str(), nullptr,
                   entries[0].size, KD5200_CONVERT_NONE) != 0,
          "the file comes back to a Korean path given in CP949");
    Check(!Contents(back).empty() && Contents(back) == Contents(song), "whole");
    bool ok = false;
    Check(ThroughPipe(l, device, 0, entries[0].size, ok) == Contents(song) && ok,
          "the file is read whole through a pipe the library opens by its name");
    Check(ThroughPipe(l, device, 7, 10, ok).empty() && !ok,
          "a read the library refuses before it opens the pipe still ends");

    // 노래.mp3 by its CP949 path: found, and named as the file already there.
    const std::string songAnsi = folder + "\\\xB3\xEB\xB7\xA1.mp3";
    Check(!l.download(nullptr, device, KD5200_MEMORY_INTERNAL, songAnsi.c_str()) &&
              l.getError() == KD5200_ERR_NAME_EXISTS,
          "a CP949 path is read as such: its file's name is already on the player");
    count = 4;
    Check(l.refresh(device, KD5200_MEMORY_INTERNAL, &info, entries, &count) && count == 1,
          "and nothing was stored");
}

void Wait(const Library& l, KD5200_HANDLE device) {
    const int64_t generation = l.plugGeneration();
    Check(generation > 0 && l.testConnection(), "plugged in at the start");
    std::puts("ready");
    std::fflush(stdout);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (l.plugGeneration() == generation && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    Check(l.plugGeneration() != generation, "the unplug is seen");
    Check(!l.testConnection(), "the player is not connected");
    KD5200_MEMINFO info{};
    KD5200_DIRENTRY entries[1]{};
    int32_t count = 1;
    Check(!l.refresh(device, KD5200_MEMORY_INTERNAL, &info, entries, &count) &&
              l.getError() == KD5200_ERR_NOT_ATTACHED,
          "the open handle fails as unplugged");
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 2 ? argv[2] : "";
    if (!(mode == "names" && argc == 4) && !(mode == "wait" && argc == 3)) {
        std::fprintf(stderr, "usage: virtual_player_test DLL_FOLDER names FOLDER | wait\n");
        return 2;
    }
    Library l;
    if (!Load(argv[1], l)) return 1;
    KD5200_HANDLE device = nullptr;
    if (!l.open(&device)) {
        Check(false, "the player opens (error " + std::to_string(l.getError()) + ")");
        return 1;
    }
    if (mode == "names")
        Names(l, device, argv[3]);
    else
        Wait(l, device);
    l.close(device);
    l.free(device);
    return wine_check::Status();
}
