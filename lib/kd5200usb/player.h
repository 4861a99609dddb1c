#pragma once
// The operations of a virtual player over its stored state, each one
// transaction: the behaviour of the hardware as the kit sees it. The C
// interface and kd5200sim both drive this class.
#include <memory>
#include <string>

#include "lib/kd5200usb/store.h"
#include "lib/kd5200usb/transfer.h"

namespace kd5200 {

class Player {
public:
    // Opens the player stored in folder.
    static Status Open(const std::string& folder, std::unique_ptr<Player>& player);
    const std::string& Folder() const { return store_->Folder(); }
    // How long a change waits for another program's lock (0: no limit).
    void SetLockWait(int32_t ms) { lockWaitMs_ = ms; }
    // The plug generation the player was opened in (-1: none), which
    // transfers check at every chunk.
    void SetPlugGeneration(int64_t generation) { plugGeneration_ = generation; }
    int64_t PlugGeneration() const { return plugGeneration_; }

    // A memory's capacity and directory; fails with KD5200_ERR_DIRECTORY on
    // damaged storage.
    Status List(int memory, MemoryDirectory& directory);

    // Stores a PC file as the last entry of a memory.
    Status Download(int memory, const std::string& pcPath, const TransferSettings& settings);
    // Writes an entry into a PC file, converting QKA (1) or QDX (2) to WAV.
    Status Upload(int memory, int entry, const std::string& pcPath, int conversion,
                  const TransferSettings& settings);
    Status Delete(int memory, int entry);
    // Exchanges an entry with the next or previous one.
    Status Swap(int memory, int entry, int neighbour);
    // Renames an entry; renamed receives the entry as it is now.
    Status Rename(int memory, int entry, const std::string& newName, Entry& renamed);
    // Empties the directory.
    Status Format(int memory, const TransferSettings& settings);
    // Empties the directory and zeroes every block.
    Status FormatLow(int memory, const TransferSettings& settings);
    // Writes blocks [first, first + count) of a memory into a PC file.
    Status ReadRaw(int memory, int64_t first, int64_t count, const std::string& pcPath,
                   const TransferSettings& settings);

    // Keeps a firmware image for a target and moves the version on.
    Status UpgradeFirmware(int target, int32_t romSelect, const std::string& imagePath,
                           const std::string& chosenPath, const TransferSettings& settings);
    Status Firmware(int target, bool& present, FirmwareRecord& firmware);
    Status Version(std::string& version);

    // Font name and size (data left empty); present is false without a font.
    Status FontInfo(bool& present, FontRecord& font);
    Status DownloadFont(const std::string& pcPath, const TransferSettings& settings);
    Status EraseFont();
    Status UploadFont(const std::string& pcPath, const TransferSettings& settings);

private:
    explicit Player(std::unique_ptr<Store> store) : store_(std::move(store)) {}

    std::unique_ptr<Store> store_;
    int32_t lockWaitMs_ = 30000;
    int64_t plugGeneration_ = -1;
};

// Whether upload conversions (kinds 1 and 2) are built in.
bool ConversionAvailable();

// The version text after an upgrade at time now: the date replaced and the
// minor version raised by one.
std::string NextVersion(const std::string& version, long long now);

// The default version text of a new player.
extern const char* const kDefaultVersion;

} // namespace kd5200
