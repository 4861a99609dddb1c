// kd5200sim: creates, plugs, unplugs, lists and inspects the virtual player.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lib/kd5200usb/attach.h"
#include "lib/kd5200usb/file_io.h"
#include "lib/kd5200usb/player.h"
#include "lib/kd5200usb/player_names.h"
#include "tools/kd5200sim/sim_demo.h"
#include "tools/kd5200sim/sim_size.h"
#include "base/platform/console.h"
#include "base/platform/error_text.h"
#include "base/platform/paths.h"

namespace {

using namespace kd5200;

const char* const kUsage =
    "Usage: kd5200sim COMMAND [ARGUMENTS]\n"
    "Makes and inspects the virtual KD5200 player in the folder $KD5200_PLAYER_DIR\n"
#ifdef _WIN32
    "(default: %LOCALAPPDATA%\\kd5200-player).\n"
#else
    "(default: $XDG_DATA_HOME/kd5200-player).\n"
#endif
    "\n"
    "Commands:\n"
    "  create [--internal SIZE] [--external SIZE|none] [--firmware-version TEXT] [--demo]\n"
    "                        make a new, empty, unplugged player, replacing the one\n"
    "                        there (defaults: 64M internal, 32M external memory)\n"
    "  plug                  plug the player in\n"
    "  unplug                pull the player out\n"
    "  status                show the state, firmware, memories, font and images\n"
    "  ls [--raw] [internal|external]\n"
    "                        list the files: number, short name, long name, size;\n"
    "                        names are shown in UTF-8, or with --raw in the bytes\n"
    "                        the player holds\n"
    "  put MEMORY FILE...    copy files onto the internal or external memory, their\n"
    "                        names in the player's code page\n"
    "  get MEMORY NUMBER OUTFILE\n"
    "                        copy file NUMBER of a memory into OUTFILE\n"
    "  firmware application|boot OUTFILE\n"
    "                        write the last firmware image received for that target\n"
    "  font                  show the LCD font's name and size\n"
    "  --help                show this text\n"
    "\n"
    "SIZE is a number of bytes with an optional suffix K, M or G (KiB, MiB, GiB),\n"
    "rounded down to whole blocks of 16384 bytes; a memory holds up to 16G.\n"
#ifdef KD5200_DEMO_RECORDINGS
    "--demo puts a few small files and two voice recordings (QKA, QDX) on the\n"
    "internal memory.\n"
#else
    "--demo puts a few small files on the internal memory.\n"
#endif
    "\n"
    "Environment (read by the player library, so by every program that uses it):\n"
    "  KD5200_PLAYER_DIR     the player's folder\n"
    "  KD5200_CODEPAGE       the code page of the player's file names (such as CP949),\n"
#ifdef _WIN32
    "                        by default the system's ANSI code page\n"
#else
    "                        by default that of the language (LANGUAGE, LC_ALL,\n"
    "                        LC_MESSAGES, LANG)\n"
#endif
    "  KD5200_SPEED=BYTES_PER_SECOND\n"
    "                        transfers take the time a USB link of that speed would\n"
    "  KD5200_FAULTS=flip:N,eio:N,gone:N,renamed:N\n"
    "                        store the N-th chunk a transfer writes with one bit\n"
    "                        changed (flip), or fail it (eio); before the N-th read\n"
    "                        of a memory's directory, delete its first entry (gone)\n"
    "                        or rename it (renamed), as another program would\n"
    "  KD5200_DURABLE=1      a file's data reaches the disk before its directory entry\n"
    "  KD5200_NAMED_TEMPORARIES=1\n"
    "                        temporary files have names, as on a file system without\n"
    "                        unnamed ones\n"
    "Exit status: 0 on success, 1 on any error.\n";

// Prints an error on standard error; returns the exit status 1.
int Error(const std::string& message) {
    std::fprintf(stderr, "kd5200sim: %s\n", message.c_str());
    return 1;
}

std::string Describe(const Status& status) {
    return ErrorText(status.code, status.systemError);
}

int UsageError(const std::string& message) {
    Error(message);
    std::fprintf(stderr, "Try 'kd5200sim --help'.\n");
    return 1;
}

bool ParseMemory(const std::string& text, int& memory) {
    if (text == "internal" || text == "0")
        memory = KD5200_MEMORY_INTERNAL;
    else if (text == "external" || text == "1")
        memory = KD5200_MEMORY_EXTERNAL;
    else
        return false;
    return true;
}

// How long a command waits for another program working on the player.
constexpr int32_t kLockWaitMs = 30000;

const char* MemoryName(int memory) {
    return memory == KD5200_MEMORY_INTERNAL ? "internal" : "external";
}

// Finishes a command that prints: output that could not be written (a full
// disk, a closed pipe) is an error too.
int Finish(int status) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = errno;
        std::fprintf(stderr, "kd5200sim: standard output: %s\n",
                     platform::SystemErrorText(error ? error : EIO).c_str());
        return 1;
    }
    return status;
}

// Opens the player in the folder; prints why not.
bool OpenPlayer(const std::string& folder, std::unique_ptr<Player>& player) {
    if (!platform::PathExists(folder + "/player.db")) {
        Error("no player in " + folder + " (make one with 'kd5200sim create')");
        return false;
    }
    if (Status s = Player::Open(folder, player); !s) {
        Error(folder + ": " + Describe(s));
        return false;
    }
    player->SetLockWait(kLockWaitMs);
    return true;
}

// The size of a memory of the given blocks in MiB, as text.
std::string Mebibytes(uint64_t blocks) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB",
                  static_cast<double>(blocks * kBlockSize) / (1 << 20));
    return text;
}

bool ParseMemorySize(const std::string& option, const std::string& text, bool allowNone,
                     uint32_t& blocks, std::string& error) {
    if (allowNone && text == "none") {
        blocks = 0;
        return true;
    }
    uint64_t bytes = 0;
    if (!ParseSize(text, bytes)) {
        error = option + ": not a size: '" + text + "'";
        return false;
    }
    const uint64_t count = bytes / kBlockSize;
    if (count == 0 || count > kMaxCapacityBlocks) {
        error = option + ": " + text + " is outside 16K to 16G";
        return false;
    }
    blocks = static_cast<uint32_t>(count);
    return true;
}

int Create(const std::string& folder, const std::vector<std::string>& args) {
    PlayerLayout layout;
    layout.version = kDefaultVersion;
    bool demo = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string error;
        const bool takesValue =
            arg == "--internal" || arg == "--external" || arg == "--firmware-version";
        if (takesValue && i + 1 >= args.size()) return UsageError(arg + " needs a value");
        if (arg == "--internal") {
            if (!ParseMemorySize(arg, args[++i], false, layout.internalBlocks, error))
                return UsageError(error);
        } else if (arg == "--external") {
            if (!ParseMemorySize(arg, args[++i], true, layout.externalBlocks, error))
                return UsageError(error);
        } else if (arg == "--firmware-version") {
            layout.version = args[++i];
            if (layout.version.empty() || layout.version.size() > kMaxVersionText)
                return UsageError("--firmware-version: the text must have 1 to 63 characters");
            for (char c : layout.version)
                if (c < 0x20 || c > 0x7E)
                    return UsageError("--firmware-version: only printable ASCII characters");
        } else if (arg == "--demo") {
            demo = true;
        } else {
            return UsageError("create: unknown option '" + arg + "'");
        }
    }
    if (Status s = SetAttached(folder, false); !s) return Error(folder + ": " + Describe(s));
    if (Status s = Store::Create(folder, layout, kLockWaitMs); !s)
        return Error(folder + ": " + Describe(s));
    if (demo) {
        std::unique_ptr<Player> player;
        if (!OpenPlayer(folder, player)) return 1;
        if (Status s = AddDemoFiles(*player); !s) return Error("demo files: " + Describe(s));
    }
    std::printf(
        "Created a player in %s: internal memory %s, external memory %s; it is unplugged.\n",
        folder.c_str(), Mebibytes(layout.internalBlocks).c_str(),
        layout.externalBlocks ? Mebibytes(layout.externalBlocks).c_str() : "none");
    return Finish(0);
}

int Plug(const std::string& folder, bool attached) {
    std::unique_ptr<Player> player;
    if (!OpenPlayer(folder, player)) return 1;
    if (Status s = SetAttached(folder, attached); !s) return Error(folder + ": " + Describe(s));
    return 0;
}

// A player name for the terminal: decoded from the player's code page
// (U+FFFD for bytes that do not decode), or the bytes themselves when raw.
std::string Shown(const std::string& bytes, bool raw) {
    return raw ? bytes : NameCodePage().Decode(bytes);
}

// Prints one memory's header line and, when wanted, its files.
int ListMemory(Player& player, int memory, bool files, bool raw = false) {
    MemoryDirectory directory;
    if (Status s = player.List(memory, directory); !s)
        return Error(std::string(MemoryName(memory)) + " memory: " + Describe(s));
    if (directory.capacity == 0) {
        std::printf("%s memory: absent\n", MemoryName(memory));
        return 0;
    }
    const size_t count = directory.entries.size();
    std::printf("%s memory: %zu %s, %u of %u blocks used (%s)\n", MemoryName(memory), count,
                count == 1 ? "file" : "files", directory.used, directory.capacity,
                Mebibytes(directory.capacity).c_str());
    if (files)
        for (size_t i = 0; i < directory.entries.size(); ++i) {
            const Entry& entry = directory.entries[i];
            std::printf("%zu\t%s\t%s\t%u\n", i, Shown(entry.shortName.Text(), raw).c_str(),
                        Shown(entry.longName, raw).c_str(), entry.size);
        }
    return 0;
}

int List(const std::string& folder, std::vector<std::string> args) {
    bool raw = false;
    if (!args.empty() && args[0] == "--raw") {
        raw = true;
        args.erase(args.begin());
        platform::UseForData(stdout); // the player's bytes, unchanged
    }
    if (args.size() > 1) return UsageError("ls: too many arguments");
    std::vector<int> memories = {KD5200_MEMORY_INTERNAL, KD5200_MEMORY_EXTERNAL};
    if (args.size() == 1) {
        int memory = 0;
        if (!ParseMemory(args[0], memory))
            return UsageError("ls: unknown memory '" + args[0] + "'");
        memories = {memory};
    }
    std::unique_ptr<Player> player;
    if (!OpenPlayer(folder, player)) return 1;
    for (int memory : memories)
        if (ListMemory(*player, memory, true, raw) != 0) return Finish(1);
    return Finish(0);
}

// Shows each part of the player on its own line; a damaged part is
// reported on standard error and the others are still shown.
int ShowStatus(const std::string& folder) {
    std::unique_ptr<Player> player;
    if (!OpenPlayer(folder, player)) return 1;
    int status = 0;
    std::printf("player: %s\nstate: %s\n", folder.c_str(),
                IsAttached(folder) ? "plugged" : "unplugged");
    std::string version;
    if (Status s = player->Version(version); s)
        std::printf("firmware: %s\n", version.c_str());
    else
        status = Error("firmware version: " + Describe(s));
    for (int memory : {KD5200_MEMORY_INTERNAL, KD5200_MEMORY_EXTERNAL})
        status |= ListMemory(*player, memory, false);
    bool present = false;
    FontRecord font;
    if (Status s = player->FontInfo(present, font); !s)
        status = Error("font: " + Describe(s));
    else if (present)
        std::printf("font: %s (%zu bytes)\n", Shown(font.name, false).c_str(), font.data.size());
    else
        std::printf("font: none\n");
    for (int target : {KD5200_TARGET_APPLICATION, KD5200_TARGET_BOOT}) {
        FirmwareRecord firmware;
        const char* name = target == KD5200_TARGET_APPLICATION ? "application" : "boot";
        if (Status s = player->Firmware(target, present, firmware); !s)
            status = Error(std::string(name) + " image: " + Describe(s));
        else if (present)
            std::printf("%s image: %zu bytes, ROM selection %d, from %s\n", name,
                        firmware.image.size(), firmware.romSelect,
                        Shown(firmware.chosenPath, false).c_str());
        else
            std::printf("%s image: none\n", name);
    }
    return Finish(status);
}

int Put(const std::string& folder, const std::vector<std::string>& args) {
    if (args.size() < 2) return UsageError("put: needs a memory and at least one file");
    int memory = 0;
    if (!ParseMemory(args[0], memory)) return UsageError("put: unknown memory '" + args[0] + "'");
    std::unique_ptr<Player> player;
    if (!OpenPlayer(folder, player)) return 1;
    for (size_t i = 1; i < args.size(); ++i)
        if (Status s = player->Download(memory, args[i], TransferSettings{}); !s)
            return Error(args[i] + ": " + Describe(s));
    return 0;
}

int Get(const std::string& folder, const std::vector<std::string>& args) {
    if (args.size() != 3)
        return UsageError("get: needs a memory, a file number and an output file");
    int memory = 0;
    if (!ParseMemory(args[0], memory)) return UsageError("get: unknown memory '" + args[0] + "'");
    char* end = nullptr;
    const long number = std::strtol(args[1].c_str(), &end, 10);
    if (args[1].empty() || *end != '\0' || number < 0 || number >= kMaxEntries)
        return UsageError("get: not a file number: '" + args[1] + "'");
    std::unique_ptr<Player> player;
    if (!OpenPlayer(folder, player)) return 1;
    if (Status s = player->Upload(memory, static_cast<int>(number), args[2], KD5200_CONVERT_NONE,
                                  TransferSettings{});
        !s) {
        const std::string subject =
            s.code == KD5200_ERR_FILE_WRITE || s.code == KD5200_ERR_OUTPUT_IN_PLAYER
                ? args[2]
                : std::string(MemoryName(memory)) + " file " + args[1];
        return Error(subject + ": " + Describe(s));
    }
    return 0;
}

int Firmware(const std::string& folder, const std::vector<std::string>& args) {
    if (args.size() != 2)
        return UsageError("firmware: needs application or boot and an output file");
    int target = 0;
    if (args[0] == "application")
        target = KD5200_TARGET_APPLICATION;
    else if (args[0] == "boot")
        target = KD5200_TARGET_BOOT;
    else
        return UsageError("firmware: unknown target '" + args[0] + "'");
    std::unique_ptr<Player> player;
    if (!OpenPlayer(folder, player)) return 1;
    bool present = false;
    FirmwareRecord firmware;
    if (Status s = player->Firmware(target, present, firmware); !s)
        return Error(folder + ": " + Describe(s));
    if (!present) return Error("the player has received no " + args[0] + " image");
    AtomicOutput output;
    Status s = output.Create(args[1], folder);
    if (s)
        s = WriteAll(output.Fd(), firmware.image.data(), firmware.image.size(),
                     KD5200_ERR_FILE_WRITE);
    if (s) s = output.Commit();
    if (!s) return Error(args[1] + ": " + Describe(s));
    return 0;
}

int Font(const std::string& folder, const std::vector<std::string>& args) {
    if (!args.empty()) return UsageError("font: takes no arguments");
    std::unique_ptr<Player> player;
    if (!OpenPlayer(folder, player)) return 1;
    bool present = false;
    FontRecord font;
    if (Status s = player->FontInfo(present, font); !s) return Error(folder + ": " + Describe(s));
    if (present)
        std::printf("%s\t%zu\n", Shown(font.name, false).c_str(), font.data.size());
    else
        std::printf("no LCD font\n");
    return Finish(0);
}

} // namespace

int main(int argc, char** argv) {
    platform::StartConsoleProgram(argc, argv);
    if (argc < 2) return UsageError("missing command");
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::string folder = PlayerFolder();
    if (command == "create") return Create(folder, args);
    if (command == "plug" || command == "unplug") {
        if (!args.empty()) return UsageError(command + ": takes no arguments");
        return Plug(folder, command == "plug");
    }
    if (command == "status") {
        if (!args.empty()) return UsageError("status: takes no arguments");
        return ShowStatus(folder);
    }
    if (command == "ls") return List(folder, args);
    if (command == "put") return Put(folder, args);
    if (command == "get") return Get(folder, args);
    if (command == "firmware") return Firmware(folder, args);
    if (command == "font") return Font(folder, args);
    return UsageError("unknown command '" + command + "'");
}
