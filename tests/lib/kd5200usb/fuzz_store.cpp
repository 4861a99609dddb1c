// Fuzz target of the stored-data reader. The first input byte picks how the
// rest changes a valid player's database: 0 replaces the file, 1 patches
// bytes (pairs of a 16-bit offset and a value), 2 runs it as SQL. Every
// reading operation then runs on the result; none may crash.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sqlite3.h>
#include <string>
#include <unistd.h>

#include "lib/kd5200usb/attach.h"
#include "lib/kd5200usb/player.h"
#include "base/platform/paths.h"

namespace {

// The fuzzer's scratch folder in the temporary folder, removed when the
// run ends (libFuzzer ends a run with exit()).
struct Scratch {
    std::string root;
    ~Scratch() {
        if (!root.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(root, ec);
        }
    }
};

Scratch g_scratch;
std::string g_folder;
std::string g_template;
std::string g_file;

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
}

void MakeTemplate() {
    std::string pattern = platform::TempDir() + "/kd5200-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    g_scratch.root = pattern;
    g_folder = pattern + "/player";
    kd5200::PlayerLayout layout;
    layout.internalBlocks = 64;
    layout.externalBlocks = 8;
    layout.version = kd5200::kDefaultVersion;
    if (!kd5200::Store::Create(g_folder, layout).Ok()) std::abort();
    g_file = pattern + "/file.bin";
    std::unique_ptr<kd5200::Player> player;
    if (!kd5200::Player::Open(g_folder, player).Ok()) std::abort();
    const kd5200::TransferSettings settings;
    for (int i = 0; i < 3; ++i) {
        const std::string path = pattern + "/File number " + std::to_string(i) + ".mp3";
        Write(path, std::string(static_cast<size_t>(i) * 20000 + 5, static_cast<char>('a' + i)));
        player->Download(i == 2 ? 1 : 0, path, settings);
    }
    player->DownloadFont(g_folder + "/../File number 0.mp3", settings);
    player->UpgradeFirmware(0, 2, g_folder + "/../File number 1.mp3", "code.hex", settings);
    player.reset();
    g_template = Read(g_folder + "/player.db");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (g_template.empty()) MakeTemplate();
    const std::string db = g_folder + "/player.db";
    for (const char* suffix : {"-wal", "-shm"})
        unlink((db + suffix).c_str());
    std::string contents = g_template;
    const uint8_t mode = size > 0 ? data[0] % 3 : 1;
    const std::string rest(reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0),
                           size > 0 ? size - 1 : 0);
    if (mode == 0) {
        contents = rest;
    } else if (mode == 1) {
        for (size_t i = 0; i + 2 < rest.size(); i += 3) {
            const size_t offset =
                (static_cast<uint8_t>(rest[i]) | static_cast<uint8_t>(rest[i + 1]) << 8) %
                contents.size();
            contents[offset] = rest[i + 2];
        }
    }
    Write(db, contents);
    if (mode == 2) {
        sqlite3* handle = nullptr;
        if (sqlite3_open(db.c_str(), &handle) == SQLITE_OK)
            sqlite3_exec(handle, rest.c_str(), nullptr, nullptr, nullptr);
        sqlite3_close(handle);
    }

    std::unique_ptr<kd5200::Player> player;
    if (!kd5200::Player::Open(g_folder, player).Ok()) return 0;
    const kd5200::TransferSettings settings;
    for (int memory = 0; memory < 2; ++memory) {
        kd5200::MemoryDirectory directory;
        if (!player->List(memory, directory).Ok()) continue;
        for (size_t i = 0; i < directory.entries.size(); ++i)
            player->Upload(memory, static_cast<int>(i), g_file, 0, settings);
        player->ReadRaw(memory, 0, 1, g_file, settings);
    }
    bool present = false;
    kd5200::FontRecord font;
    player->FontInfo(present, font);
    player->UploadFont(g_file, settings);
    kd5200::FirmwareRecord firmware;
    player->Firmware(0, present, firmware);
    std::string version;
    player->Version(version);
    Write(g_file, "x");
    player->Download(0, g_file, settings);
    return 0;
}
