// The device library for the benchmark: download and upload of one file
// (timed from outside, as whole processes), and in-process timing of a
// memory's refresh and of stat() on the same number of PC files.
// Usage: kd5200_bench download FILE | upload NUMBER OUTFILE | fill COUNT FOLDER
//        | refresh ROUNDS | stat ROUNDS FOLDER
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "lib/device/kd5200usb.h"

namespace {

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int Fail(const char* what) {
    std::fprintf(stderr, "kd5200_bench: %s failed\n", what);
    KD5200_DispError(nullptr, 0, 0);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: kd5200_bench download FILE | upload NUMBER OUTFILE | fill COUNT FOLDER"
                     " | refresh ROUNDS | stat ROUNDS FOLDER\n");
        return 1;
    }
    const std::string mode = argv[1];
    if (mode == "stat" && argc == 4) {
        const int rounds = std::atoi(argv[2]);
        std::vector<std::string> files;
        for (int i = 0; i < KD5200_MAX_ENTRIES; ++i)
            files.push_back(std::string(argv[3]) + "/f" + std::to_string(i));
        const double start = Now();
        for (int r = 0; r < rounds; ++r)
            for (const auto& file : files) {
                struct stat st {};
                if (stat(file.c_str(), &st) != 0) return Fail("stat");
            }
        std::printf("%.6f\n", (Now() - start) / rounds * 1000.0);
        return 0;
    }
    KD5200_HANDLE handle = nullptr;
    if (!KD5200_Open(&handle)) return Fail("open");
    int status = 0;
    if (mode == "download") {
        if (!KD5200_Download(nullptr, handle, 0, argv[2])) status = Fail("download");
    } else if (mode == "upload" && argc == 4) {
        if (!KD5200_Upload(nullptr, handle, 0, std::atoi(argv[2]), argv[3], nullptr, 0, 0))
            status = Fail("upload");
    } else if (mode == "fill" && argc == 4) {
        for (int i = 0; i < std::atoi(argv[2]) && status == 0; ++i) {
            const std::string path = std::string(argv[3]) + "/f" + std::to_string(i);
            if (!KD5200_Download(nullptr, handle, 0, path.c_str())) status = Fail("download");
        }
    } else if (mode == "refresh") {
        const int rounds = std::atoi(argv[2]);
        std::vector<KD5200_DIRENTRY> entries(KD5200_MAX_ENTRIES);
        KD5200_MEMINFO info{};
        const double start = Now();
        for (int r = 0; r < rounds && status == 0; ++r) {
            int32_t count = KD5200_MAX_ENTRIES;
            if (!KD5200_Refresh(handle, 0, &info, entries.data(), &count)) status = Fail("refresh");
        }
        if (status == 0)
            std::printf("%.6f %u\n", (Now() - start) / rounds * 1000.0, info.fileCount);
    } else {
        status = Fail("argument check");
    }
    KD5200_Close(handle);
    KD5200_Free(handle);
    return status;
}
