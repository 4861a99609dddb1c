// kdrom: writes application or boot code from an Intel HEX file into the player.
#include "lib/device/kd5200usb.h"
#include "lib/hex/hex_image_problems.h"
#include "lib/hex/hex_to_image.h"
#include "base/platform/ansi_path.h"
#include "base/platform/code_page.h"
#include "base/platform/console.h"
#include "base/platform/descriptors.h"
#include "base/platform/files.h"
#include "base/platform/option_word.h"
#include "base/platform/paths.h"
#include "base/platform/temp_file.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kFailure = -1;
constexpr int kTimeoutMs = 30000;
constexpr int kNameSize = 520; // at most 519 characters and the NUL

struct Options {
    std::string hexFile;
    bool hasHexFile = false;
    bool boot = false;
    bool mds = false;
};

enum class Parsed { Run, Usage, Error };

void PrintBanner() {
    std::fputs("KD5200 Codec writing program\n"
               "Copyright (c) Zentrovia. All rights reserved.\n"
               "\n",
               stdout);
}

void PrintUsage() {
    std::fputs("Usage:\n"
               "  kdrom [hex-file] [/b] [/m] [/?] [/h]\n"
               "  \thex-file : Intel Hex file to write\n"
               "  \t/b       : Write BOOT code\n"
               "  \t/m       : Using MDS(QE-271). Can be used only in CODEC running\n"
               "  \t/?, /h   : help\n"
               "  '-' can be accepted also, instead of '/'\n",
               stdout);
}

Parsed ParseArguments(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (platform::IsLongHelp(arg)) return Parsed::Usage;
        if (platform::IsOptionWord(arg)) {
            switch (std::tolower(static_cast<unsigned char>(arg[1]))) {
            case 'b':
                options.boot = true;
                break;
            case 'm':
                options.mds = true;
                break;
            case '?':
            case 'h':
                return Parsed::Usage;
            default:
                std::fprintf(stderr, "Invalid %dth option '%s'\nUse /? or /h for help\n", i, arg);
                return Parsed::Error;
            }
        } else if (options.hasHexFile) {
            std::fprintf(stderr, "Invalid %dth option '%s'\n", i, arg);
            return Parsed::Error;
        } else {
            options.hexFile = arg;
            options.hasHexFile = true;
        }
    }
    return Parsed::Run;
}

// Asks for the HEX file name; false at the end of input.
bool AskHexFile(std::string& name) {
    std::fputs("Input HEX file to write (Press Ctrl+C to abort) :", stdout);
    std::fflush(stdout);
    char line[kNameSize];
    if (!std::fgets(line, sizeof line, stdin)) return false;
    std::size_t n = std::strlen(line);
    while (n > 0 && (line[n - 1] == '\r' || line[n - 1] == '\n'))
        --n;
    name.assign(line, n);
    return true;
}

// Whether the file can be opened for reading. A folder does not count,
// although the C library opens one without complaint.
bool CanOpen(const std::string& path) {
    if (platform::KindOf(path) == platform::FileKind::Folder) return false;
    std::FILE* f = platform::OpenFile(path, "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

// The HEX file's path in the player's code page, which records it: the
// library's own (KD5200_CODEPAGE, else the person's language). False, after
// saying which character it cannot write.
bool PathForPlayer(const std::string& path, std::string& bytes) {
    const platform::CodePage page(platform::PlayerCodePageFromEnvironment());
    platform::Unencodable failure;
    if (page.FromPcName(path, bytes, &failure)) return true;
    const std::string point = failure.codePoint ? platform::CodePointText(failure.codePoint)
                                                : "not UTF-8";
    std::fprintf(stderr,
                 "The path of HEX file '%s' holds \"%s\" (%s), which the player's code page %s "
                 "cannot write; nothing was written\n",
                 path.c_str(), failure.character.c_str(), point.c_str(), page.Name().c_str());
    return false;
}

// The size of the file at path, or 0 when it cannot be read.
uint64_t FileSize(const std::string& path) {
    const int fd = platform::OpenDescriptor(path, platform::OpenFor::Read);
    if (fd < 0) return 0;
    platform::DescriptorInfo info;
    const bool known = platform::Describe(fd, info);
    platform::CloseDescriptor(fd);
    return known ? info.size : 0;
}

// Converts the HEX file into the image and writes it; the device is open.
int WriteFirmware(KD5200_HANDLE device, const Options& options) {
    std::string chosen;
    if (!PathForPlayer(options.hexFile, chosen)) return kFailure;
    const std::string image = platform::CreateTempFile("$520");
    if (image.empty()) {
        std::fprintf(stderr, "Cannot create a temporary file in '%s'\n",
                     platform::TempDir().c_str());
        return kFailure;
    }
    HexImageReport report;
    const bool converted = ConvertHexToImage(
        options.hexFile, image, options.boot ? kBootCodeBase : kApplicationCodeBase, report);
    // The image is written as the rules give it, but the person hears what was left out.
    for (const std::string& line : HexImageWarnings(options.hexFile, report))
        std::fprintf(stderr, "%s\n", line.c_str());
    int status = 0;
    if (converted && report.imageSize == 0) {
        // An empty image would leave the player without code.
        std::fprintf(stderr, "%s; nothing was written\n",
                     HexEmptyImageText(options.hexFile, report).c_str());
        status = kFailure;
    } else if (!converted) {
        // Writing an empty or partial image would leave the player without working code.
        std::fprintf(stderr, "Cannot convert HEX file '%s'\n", options.hexFile.c_str());
        std::fprintf(stderr, "  (%s)\n", HexImageErrorText(report.error));
        status = kFailure;
    } else if (FileSize(image) > KD5200_MAX_IMAGE_BYTES) {
        // The player would refuse it after the transfer; say why before.
        std::fprintf(stderr,
                     "The image of HEX file '%s' is %ju bytes, larger than the player's code "
                     "memory of %d bytes (16 MiB)\n",
                     options.hexFile.c_str(),
                     static_cast<uintmax_t>(FileSize(image)),
                     KD5200_MAX_IMAGE_BYTES);
        status = kFailure;
    } else if (const platform::AnsiPath imagePath(image, platform::AnsiUse::kRead); !imagePath.Ok()) {
        // The library opens the image through the system's ANSI functions.
        std::fprintf(stderr,
                     "The temporary file '%s' has no name the system's code page can write; "
                     "nothing was written\n",
                     image.c_str());
        status = kFailure;
    } else {
        KD5200_SetTimeout(kTimeoutMs, kTimeoutMs);
        if (!KD5200_UpgradeFirmware(
                nullptr, device, options.boot ? KD5200_TARGET_BOOT : KD5200_TARGET_APPLICATION,
                options.mds ? KD5200_ROM_MDS : 0, imagePath.Bytes(), chosen.c_str())) {
            // The library's code first, then the system error behind it.
            const int32_t code = KD5200_GetError();
            const int32_t windowsError = KD5200_GetWindowsError();
            KD5200_DispError(nullptr, code, windowsError);
            status = kFailure;
        }
    }
    platform::RemoveFile(image);
    return status;
}

} // namespace

int main(int argc, char** argv) {
    platform::StartConsoleProgram(argc, argv);
    PrintBanner();
    Options options;
    switch (ParseArguments(argc, argv, options)) {
    case Parsed::Usage:
        PrintUsage();
        return 0;
    case Parsed::Error:
        return kFailure;
    case Parsed::Run:
        break;
    }
    if (!options.hasHexFile && !AskHexFile(options.hexFile)) {
        std::fputs("Hex file was not specified\n", stderr);
        return kFailure;
    }
    if (!CanOpen(options.hexFile)) {
        std::fprintf(stderr, "Cannot open HEXA file '%s'\n", options.hexFile.c_str());
        return kFailure;
    }
    KD5200_HANDLE device = nullptr;
    if (!KD5200_Open(&device)) {
        std::fputs("Cannot open KD5200 USB device\n", stderr);
        return kFailure;
    }
    const int status = WriteFirmware(device, options);
    KD5200_Close(device);
    KD5200_Free(device);
    return status;
}
