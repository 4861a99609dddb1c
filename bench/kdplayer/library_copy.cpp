// The device library's own copy, for comparison: opens the player and makes
// one KD5200_Upload (get MEMORY NUMBER OUT) or KD5200_Download (put MEMORY
// FILE) with a progress hook that never stops it, as kdplayer installs one;
// or reads every file of a memory TIMES times into /dev/null (read-all
// MEMORY TIMES): what the library alone costs a backup that reads each file
// twice.
#include "lib/device/kd5200usb.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int32_t Progress(KD5200_HWND, const char*, int64_t, int64_t, void*) {
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("usage: library_copy get MEMORY NUMBER OUT | put MEMORY FILE |"
                   " read-all MEMORY TIMES\n",
                   stderr);
        return 2;
    }
    KD5200X_SetProgressHook(Progress, nullptr);
    KD5200_HANDLE handle = nullptr;
    if (!KD5200_Open(&handle)) return 1;
    const int memory = std::atoi(argv[2]);
    int32_t ok = 0;
    if (std::strcmp(argv[1], "get") == 0 && argc == 5) {
        KD5200_MEMINFO info{};
        static KD5200_DIRENTRY entries[KD5200_MAX_ENTRIES];
        int32_t count = KD5200_MAX_ENTRIES;
        const int number = std::atoi(argv[3]);
        ok = KD5200_Refresh(handle, memory, &info, entries, &count) && number < count &&
             KD5200_Upload(nullptr, handle, memory, number, argv[4], nullptr, entries[number].size,
                           KD5200_CONVERT_NONE);
    } else if (std::strcmp(argv[1], "read-all") == 0) {
        KD5200_MEMINFO info{};
        static KD5200_DIRENTRY entries[KD5200_MAX_ENTRIES];
        int32_t count = KD5200_MAX_ENTRIES;
        const int times = std::atoi(argv[3]);
        ok = KD5200_Refresh(handle, memory, &info, entries, &count);
        for (int number = 0; ok && number < count; ++number)
            for (int time = 0; ok && time < times; ++time)
                ok = KD5200_Upload(nullptr, handle, memory, number, "/dev/null", nullptr,
                                   entries[number].size, KD5200_CONVERT_NONE);
    } else if (std::strcmp(argv[1], "put") == 0) {
        ok = KD5200_Download(nullptr, handle, memory, argv[3]);
    }
    KD5200_Close(handle);
    KD5200_Free(handle);
    return ok ? 0 : 1;
}
