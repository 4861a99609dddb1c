#include "lib/kd5200usb/player.h"
#include "lib/kd5200usb/player_names.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <regex>

#include "lib/kd5200usb/faults.h"
#include "lib/kd5200usb/file_io.h"
#include "base/platform/descriptors.h"
#include "base/platform/paths.h"

#ifdef KD5200_HAVE_CONVERT
#include "lib/voice/voice_convert.h"
#endif

namespace kd5200 {

const char* const kDefaultVersion = "ZENTROVIA KD5200 FILE SYSTEM DEC 07 2026 10:00:00 1.0 SIM";

namespace {

// Whether downloads are flushed to the disk before the directory commits
// (KD5200_DURABLE=1). Off by default: the flush makes a download wait for
// the disk, several times as long as a copy, while a crash of the program
// leaves the old or the new state either way.
bool DurableWrites() {
    static const bool durable = [] {
        const char* value = std::getenv("KD5200_DURABLE");
        return value && std::string(value) == "1";
    }();
    return durable;
}

// Blocks moved between two progress reports (1 MiB).
constexpr uint32_t kChunkBlocks = 64;

// A transaction that is rolled back unless committed. A read inside an
// operation still running (a progress hook calling back) reads within that
// operation's transaction; a second change is refused.
class Transaction {
public:
    explicit Transaction(Store& store) : store_(store) {}
    ~Transaction() {
        if (open_) store_.Rollback();
        if (holding_) store_.Unlock();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    Status BeginRead() {
        nested_ = store_.InTransaction();
        return nested_ ? Status{} : Begin(store_.BeginRead());
    }
    Status BeginWrite(int32_t lockWaitMs) {
        if (store_.InTransaction()) return Fail(KD5200_ERR_STORAGE, EBUSY);
        return Begin(store_.BeginWrite(lockWaitMs));
    }
    Status Commit() {
        if (nested_) return {};
        open_ = false;
        return store_.Commit();
    }
    // Commits but keeps other writers out until the object goes away.
    Status CommitHoldingLock() {
        open_ = false;
        holding_ = true;
        return store_.Commit(true);
    }

private:
    Status Begin(Status s) {
        open_ = s.Ok();
        return s;
    }
    Store& store_;
    bool open_ = false;
    bool nested_ = false;
    bool holding_ = false;
};

bool ValidMemory(int memory) {
    return memory == KD5200_MEMORY_INTERNAL || memory == KD5200_MEMORY_EXTERNAL;
}

// Reads a present memory's directory and checks its image file.
Status ReadPresent(Store& store, int memory, std::shared_ptr<const MemoryDirectory>& directory,
                   bool withBlocks) {
    if (!ValidMemory(memory)) return Fail(KD5200_ERR_BAD_ARGUMENT);
    if (Status s = store.ReadMemory(memory, directory, withBlocks); !s) return s;
    if (directory->capacity == 0) return Fail(KD5200_ERR_NO_CAPACITY);
    return store.CheckImage(memory, directory->capacity);
}

Status ReadPresent(Store& store, int memory, MemoryDirectory& directory, bool withBlocks) {
    std::shared_ptr<const MemoryDirectory> shared;
    if (Status s = ReadPresent(store, memory, shared, withBlocks); !s) return s;
    directory = *shared;
    return {};
}

// Marks the blocks in use; a block held twice means damaged storage.
Status UsageMap(const MemoryDirectory& directory, std::vector<uint8_t>& used) {
    used.assign(directory.capacity, 0);
    for (const Entry& entry : directory.entries)
        for (uint32_t block : entry.blocks) {
            if (used[block]) return Fail(KD5200_ERR_DIRECTORY);
            used[block] = 1;
        }
    return {};
}

// Whether a name would clash with another entry's long or short name.
bool NameTaken(const MemoryDirectory& directory, const std::string& name, int self) {
    for (size_t i = 0; i < directory.entries.size(); ++i) {
        if (static_cast<int>(i) == self) continue;
        const Entry& entry = directory.entries[i];
        if (SameName(entry.shortName.Text(), name) ||
            (!entry.longName.empty() && SameName(entry.longName, name)))
            return true;
    }
    return false;
}

// The short and long name an entry of that name gets in the directory.
void NameEntry(const MemoryDirectory& directory, const std::string& name, int self, Entry& entry) {
    entry.shortName = MakeShortName(name, [&](const std::string& text) {
        for (size_t i = 0; i < directory.entries.size(); ++i)
            if (static_cast<int>(i) != self &&
                SameName(directory.entries[i].shortName.Text(), text))
                return true;
        return false;
    });
    entry.longName = name == entry.shortName.Text() ? "" : name;
}

FileHandle OpenImage(Store& store, int memory, int flags, Status& status) {
    FileHandle image(platform::OpenDescriptor(
        Store::ImagePath(store.Folder(), memory),
        flags == O_RDONLY ? platform::OpenFor::Read : platform::OpenFor::ReadWrite));
    status = image.Get() < 0 ? Fail(KD5200_ERR_STORAGE, errno) : Status{};
    return image;
}

// Changes the lowest bit of the byte at offset (a fault asked for by a test).
void FlipBit(int fd, uint64_t offset) {
    char byte = 0;
    if (platform::ReadSomeAt(fd, &byte, 1, offset) != 1) return;
    byte = static_cast<char>(byte ^ 1);
    // A write that fails leaves the chunk as it was: no fault played.
    if (platform::WriteSomeAt(fd, &byte, 1, offset) != 1) return;
}

// Whether writes to fd can be changed afterwards (not a pipe or a device).
bool Seekable(int fd) {
    return platform::Seekable(fd);
}

// Copies a chunk of the image to a file that cannot be changed afterwards
// (a pipe), with the lowest bit of its first byte changed on the way.
Status CopyFlipped(int image, uint64_t at, int file, uint64_t bytes) {
    std::vector<char> chunk(bytes);
    for (size_t got = 0; got < chunk.size();) {
        const long long n = platform::ReadSomeAt(image, chunk.data() + got, chunk.size() - got,
                                                 at + got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return Fail(KD5200_ERR_STORAGE, n < 0 ? errno : EIO);
        got += static_cast<size_t>(n);
    }
    chunk[0] = static_cast<char>(chunk[0] ^ 1);
    return WriteAll(file, chunk.data(), chunk.size(), KD5200_ERR_FILE_WRITE);
}

// Copies size bytes between the listed blocks of an image and a PC file, in
// runs of neighbouring blocks, reporting progress after each chunk.
Status CopyBlocks(bool toImage, int image, const std::vector<uint32_t>& blocks, uint64_t size,
                  int file, Transfer& transfer) {
    uint64_t done = 0;
    size_t i = 0;
    while (i < blocks.size()) {
        size_t run = 1;
        while (i + run < blocks.size() && run < kChunkBlocks && blocks[i + run] == blocks[i] + run)
            ++run;
        const uint64_t bytes =
            std::min<uint64_t>(size - done, static_cast<uint64_t>(run) * kBlockSize);
        const uint64_t at = static_cast<uint64_t>(blocks[i]) * kBlockSize;
        const ChunkFault fault = NextChunkFault();
        if (fault == ChunkFault::Fail)
            return Fail(toImage ? KD5200_ERR_STORAGE : KD5200_ERR_FILE_WRITE, EIO);
        // A flip into a pipe is played on the way; elsewhere on what was written.
        const bool flipOnTheWay =
            fault == ChunkFault::Flip && bytes > 0 && !toImage && !Seekable(file);
        const Status s = flipOnTheWay ? CopyFlipped(image, at, file, bytes)
                         : toImage    ? CopyRange(file, done, image, at, bytes,
                                                  {KD5200_ERR_FILE_READ, KD5200_ERR_STORAGE})
                                      : CopyRange(image, at, file, done, bytes,
                                                  {KD5200_ERR_STORAGE, KD5200_ERR_FILE_WRITE});
        if (!s) return s;
        if (fault == ChunkFault::Flip && bytes > 0 && !flipOnTheWay)
            FlipBit(toImage ? image : file, toImage ? at : done);
        // The disk starts writing each chunk at once, so that the flush
        // before the commit has little left to wait for.
        if (toImage && DurableWrites())
            platform::StartWriting(image, at, bytes);
        done += bytes;
        i += run;
        if (Status p = transfer.Advance(static_cast<int64_t>(done)); !p) return p;
    }
    return {};
}

// Gives the disk space of free blocks back (the image is sparse): after a
// download that ran out of space, so that its partial data does not keep
// the disk full. Blocks that cannot be punched stay as they are.
void ReleaseBlocks(int image, const std::vector<uint32_t>& blocks) {
    for (size_t i = 0; i < blocks.size();) {
        size_t run = 1;
        while (i + run < blocks.size() && blocks[i + run] == blocks[i] + run)
            ++run;
        platform::PunchHole(image, static_cast<uint64_t>(blocks[i]) * kBlockSize,
                            static_cast<uint64_t>(run) * kBlockSize);
        i += run;
    }
}

// Zeroes a run of blocks of an image.
Status ZeroBlocks(int image, uint32_t first, uint32_t count) {
    const uint64_t at = static_cast<uint64_t>(first) * kBlockSize,
                   length = static_cast<uint64_t>(count) * kBlockSize;
    if (platform::PunchHole(image, at, length)) return {};
    static const std::vector<char> zeros(kBlockSize, 0);
    for (uint32_t b = 0; b < count; ++b)
        if (platform::WriteSomeAt(image, zeros.data(), kBlockSize,
                                  at + static_cast<uint64_t>(b) * kBlockSize) !=
            kBlockSize)
            return Fail(KD5200_ERR_STORAGE, errno);
    return {};
}

// Zeroes the blocks whose used flag equals wanted, in chunks with progress.
Status ZeroWhere(int image, const std::vector<uint8_t>& used, uint8_t wanted, Transfer* transfer,
                 int64_t& done) {
    uint32_t b = 0;
    const auto capacity = static_cast<uint32_t>(used.size());
    while (b < capacity) {
        if (used[b] != wanted) {
            ++b;
            continue;
        }
        uint32_t run = 1;
        while (b + run < capacity && run < kChunkBlocks && used[b + run] == wanted)
            ++run;
        if (Status s = ZeroBlocks(image, b, run); !s) return s;
        b += run;
        done += static_cast<int64_t>(run) * kBlockSize;
        if (transfer)
            if (Status s = transfer->Advance(done); !s) return s;
    }
    return {};
}

#ifdef KD5200_HAVE_CONVERT
int ConversionProgress(long done, long total, void* user) {
    return static_cast<Transfer*>(user)->Report(done, total).Ok() ? 0 : 1;
}
#endif

} // namespace

bool ConversionAvailable() {
#ifdef KD5200_HAVE_CONVERT
    return true;
#else
    return false;
#endif
}

std::string NextVersion(const std::string& version, long long now) {
    static const char* const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                         "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    const time_t t = static_cast<time_t>(now);
    tm local{};
    localtime_r(&t, &local);
    char date[32];
    snprintf(date, sizeof date, "%s %02d %04d %02d:%02d:%02d", months[local.tm_mon % 12],
             local.tm_mday, local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    static const std::regex form(
        R"(^(.*) [A-Z]{3} \d{2} \d{4} \d{2}:\d{2}:\d{2} (\d{1,6})\.(\d{1,6})(.*)$)");
    std::smatch m;
    std::string next;
    if (std::regex_match(version, m, form))
        next = m[1].str() + " " + date + " " + m[2].str() + "." +
               std::to_string(std::stol(m[3].str()) + 1) + m[4].str();
    else
        next = std::string("ZENTROVIA KD5200 FILE SYSTEM ") + date + " 1.1 SIM";
    if (next.size() > kMaxVersionText) next.resize(kMaxVersionText);
    return next;
}

Status Player::Open(const std::string& folder, std::unique_ptr<Player>& player) {
    std::unique_ptr<Store> store;
    if (Status s = Store::Open(folder, store); !s) return s;
    player.reset(new Player(std::move(store)));
    return {};
}

Status Player::List(int memory, MemoryDirectory& directory) {
    if (!ValidMemory(memory)) return Fail(KD5200_ERR_BAD_ARGUMENT);
    Transaction transaction(*store_);
    if (Status s = transaction.BeginRead(); !s) return s;
    if (Status s = store_->ReadMemory(memory, directory, false); !s) return s;
    if (Status s = store_->CheckImage(memory, directory.capacity); !s) return s;
    return transaction.Commit();
}

Status Player::Download(int memory, const std::string& pcPath, const TransferSettings& settings) {
    if (!ValidMemory(memory)) return Fail(KD5200_ERR_BAD_ARGUMENT);
    FileHandle source;
    uint64_t size = 0;
    if (Status s = OpenSource(pcPath, source, size); !s) return s;
    if (size > UINT32_MAX) return Fail(KD5200_ERR_FILE_TOO_LARGE);
    // The player keeps the name in its code page; a name it cannot hold is
    // refused, never stored with substitutes.
    std::string name;
    if (!PlayerNameFromPc(BaseName(pcPath), name) || !ValidLongName(name))
        return Fail(KD5200_ERR_BAD_NAME);

    Transaction transaction(*store_);
    if (Status s = transaction.BeginWrite(lockWaitMs_); !s) return s;
    // Shared with the directory the store keeps: a copy of a large
    // directory for every file cost more than the file.
    std::shared_ptr<const MemoryDirectory> kept;
    if (Status s = ReadPresent(*store_, memory, kept, true); !s) return s;
    const MemoryDirectory& directory = *kept;
    if (directory.entries.size() >= static_cast<size_t>(kMaxEntries))
        return Fail(KD5200_ERR_DIRECTORY_FULL);
    if (NameTaken(directory, name, -1)) return Fail(KD5200_ERR_NAME_EXISTS);
    std::vector<uint8_t> used;
    if (Status s = UsageMap(directory, used); !s) return s;
    if (BlocksFor(size) > directory.capacity - directory.used) return Fail(KD5200_ERR_MEMORY_FULL);

    // The data goes into free blocks first; the directory that names them
    // is committed last, so an interruption leaves the old state.
    Entry entry;
    NameEntry(directory, name, -1, entry);
    entry.size = static_cast<uint32_t>(size);
    entry.blockCount = BlocksFor(size);
    for (uint32_t b = 0; b < directory.capacity && entry.blocks.size() < entry.blockCount; ++b)
        if (!used[b]) entry.blocks.push_back(b);

    Status s;
    FileHandle image = OpenImage(*store_, memory, O_RDWR, s);
    if (!s) return s;
    Transfer transfer(settings, "download", Exchange::Send, static_cast<int64_t>(size));
    if (s = transfer.Advance(0); !s) return s;
    if (s = CopyBlocks(true, image.Get(), entry.blocks, size, source.Get(), transfer); !s) {
        if (platform::IsNoSpace(s.systemError))
            ReleaseBlocks(image.Get(), entry.blocks);
        return s;
    }
    // With durable writes the blocks reach the disk before the directory
    // that names them, so that a power loss cannot leave an entry over stale
    // blocks. A crash of the program alone never can: the directory commits
    // after the blocks are written.
    if (DurableWrites() && !platform::SyncData(image.Get())) return Fail(KD5200_ERR_STORAGE, errno);
    if (s = store_->AppendEntry(memory, static_cast<int>(directory.entries.size()), entry); !s)
        return s;
    return transaction.Commit();
}

Status Player::Upload(int memory, int number, const std::string& pcPath, int conversion,
                      const TransferSettings& settings) {
    if (conversion < KD5200_CONVERT_NONE || conversion > KD5200_CONVERT_QDX_TO_WAV)
        return Fail(KD5200_ERR_BAD_ARGUMENT);
    if (conversion != KD5200_CONVERT_NONE && !ConversionAvailable())
        return Fail(KD5200_ERR_CONVERSION);

    // The write lock keeps another process from reusing the entry's blocks
    // while they are read.
    Transaction transaction(*store_);
    if (Status s = transaction.BeginWrite(lockWaitMs_); !s) return s;
    std::shared_ptr<const MemoryDirectory> kept;
    if (Status s = ReadPresent(*store_, memory, kept, true); !s) return s;
    const MemoryDirectory& directory = *kept;
    if (number < 0 || static_cast<size_t>(number) >= directory.entries.size())
        return Fail(KD5200_ERR_NO_ENTRY);
    const Entry& entry = directory.entries[static_cast<size_t>(number)];
    Status s;
    FileHandle image = OpenImage(*store_, memory, O_RDONLY, s);
    if (!s) return s;
    AtomicOutput output;
    if (s = output.Create(pcPath, Folder()); !s) return s;
    Transfer transfer(settings, "upload", Exchange::Receive, entry.size);
    if (s = transfer.Advance(0); !s) return s;

    if (conversion == KD5200_CONVERT_NONE) {
        if (s = CopyBlocks(false, image.Get(), entry.blocks, entry.size, output.Fd(), transfer); !s)
            return s;
        if (s = output.Commit(); !s) return s;
        return transaction.Commit();
    }

    // Conversion: the player file goes to a temporary file first, the
    // converter writes beside the target, and the result is renamed over it.
    // Both are unnamed, so that a killed process leaves neither behind.
    FileHandle copy;
    std::string copyPath;
    if (s = CreateScratch(platform::TempDir(), copy, copyPath); !s) return s;
    if (s = CopyBlocks(false, image.Get(), entry.blocks, entry.size, copy.Get(), transfer); !s)
        return s;
    image = FileHandle();
    if (s = transaction.Commit(); !s) return s;

#ifdef KD5200_HAVE_CONVERT
    // An output written in place (a device, a FIFO) gets the WAV file
    // once it is complete.
    FileHandle wav;
    std::string wavPath = output.TempPath();
    if (output.Direct()) {
        if (s = CreateScratch(platform::TempDir(), wav, wavPath); !s) return s;
    }
    errno = 0;
    const int rc = conversion == KD5200_CONVERT_QKA_TO_WAV
                       ? convert::QkaFileToWav(copyPath.c_str(), wavPath.c_str(),
                                               ConversionProgress, &transfer)
                       : convert::QdxFileToWav(copyPath.c_str(), wavPath.c_str(),
                                               ConversionProgress, &transfer);
    if (rc == -3) return Fail(KD5200_ERR_CANCELLED);
    if (rc == -4) return Fail(KD5200_ERR_FILE_WRITE, errno);
    if (rc != 0) return Fail(KD5200_ERR_CONVERSION);
    if (output.Direct()) {
        FileHandle in;
        uint64_t size = 0;
        if (s = OpenSource(wavPath, in, size); !s) return s;
        if (s = CopyRange(in.Get(), 0, output.Fd(), 0, size,
                          {KD5200_ERR_FILE_WRITE, KD5200_ERR_FILE_WRITE});
            !s)
            return s;
    }
#endif
    return output.Commit();
}

Status Player::Delete(int memory, int number) {
    Transaction transaction(*store_);
    if (Status s = transaction.BeginWrite(lockWaitMs_); !s) return s;
    MemoryDirectory directory;
    if (Status s = ReadPresent(*store_, memory, directory, false); !s) return s;
    if (number < 0 || static_cast<size_t>(number) >= directory.entries.size())
        return Fail(KD5200_ERR_NO_ENTRY);
    if (Status s = store_->RemoveEntry(memory, number); !s) return s;
    return transaction.Commit();
}

Status Player::Swap(int memory, int number, int neighbour) {
    Transaction transaction(*store_);
    if (Status s = transaction.BeginWrite(lockWaitMs_); !s) return s;
    MemoryDirectory directory;
    if (Status s = ReadPresent(*store_, memory, directory, false); !s) return s;
    const auto count = static_cast<int64_t>(directory.entries.size());
    if (number < 0 || number >= count || neighbour < 0 || neighbour >= count)
        return Fail(KD5200_ERR_NO_ENTRY);
    if (neighbour != number - 1 && neighbour != number + 1) return Fail(KD5200_ERR_BAD_ARGUMENT);
    if (Status s = store_->SwapEntries(memory, number, neighbour); !s) return s;
    return transaction.Commit();
}

Status Player::Rename(int memory, int number, const std::string& newName, Entry& renamed) {
    if (!ValidLongName(newName)) return Fail(KD5200_ERR_BAD_NAME);
    Transaction transaction(*store_);
    if (Status s = transaction.BeginWrite(lockWaitMs_); !s) return s;
    MemoryDirectory directory;
    if (Status s = ReadPresent(*store_, memory, directory, false); !s) return s;
    if (number < 0 || static_cast<size_t>(number) >= directory.entries.size())
        return Fail(KD5200_ERR_NO_ENTRY);
    if (NameTaken(directory, newName, number)) return Fail(KD5200_ERR_NAME_EXISTS);
    renamed = directory.entries[static_cast<size_t>(number)];
    NameEntry(directory, newName, number, renamed);
    if (Status s = store_->RenameEntry(memory, number, renamed.shortName, renamed.longName); !s)
        return s;
    return transaction.Commit();
}

Status Player::Format(int memory, const TransferSettings& settings) {
    Transaction transaction(*store_);
    if (Status s = transaction.BeginWrite(lockWaitMs_); !s) return s;
    MemoryDirectory directory;
    if (Status s = ReadPresent(*store_, memory, directory, false); !s) return s;
    // Writing the empty directory takes one block's time.
    Transfer transfer(settings, "format", Exchange::Command, kBlockSize);
    if (Status s = transfer.Advance(0); !s) return s;
    if (Status s = transfer.Advance(kBlockSize); !s) return s;
    if (Status s = store_->ClearMemory(memory); !s) return s;
    return transaction.Commit();
}

Status Player::FormatLow(int memory, const TransferSettings& settings) {
    Transaction transaction(*store_);
    if (Status s = transaction.BeginWrite(lockWaitMs_); !s) return s;
    MemoryDirectory directory;
    if (Status s = ReadPresent(*store_, memory, directory, true); !s) return s;
    std::vector<uint8_t> used;
    if (Status s = UsageMap(directory, used); !s) return s;
    Status s;
    FileHandle image = OpenImage(*store_, memory, O_RDWR, s);
    if (!s) return s;

    // Free blocks are zeroed while the operation can still be stopped; the
    // files' blocks only after the empty directory is committed, so that an
    // interruption never leaves an entry over zeroed blocks. Other writers
    // stay out until the last block is zeroed.
    const int64_t total = static_cast<int64_t>(directory.capacity) * kBlockSize;
    Transfer transfer(settings, "format", Exchange::Command, total);
    if (s = transfer.Advance(0); !s) return s;
    if (settings.bytesPerSecond > 0 && settings.receiveTimeoutMs > 0 &&
        static_cast<double>(total) * 1000.0 / static_cast<double>(settings.bytesPerSecond) >
            settings.receiveTimeoutMs)
        return transfer.Advance(total); // runs into the time-out before anything changes
    int64_t done = 0;
    if (s = ZeroWhere(image.Get(), used, 0, &transfer, done); !s) return s;
    if (s = store_->ClearMemory(memory); !s) return s;
    if (s = transaction.CommitHoldingLock(); !s) return s;
    if (s = ZeroWhere(image.Get(), used, 1, nullptr, done); !s) return s;
    transfer.Report(total, total);
    return {};
}

Status Player::ReadRaw(int memory, int64_t first, int64_t count, const std::string& pcPath,
                       const TransferSettings& settings) {
    if (first < 0 || count <= 0) return Fail(KD5200_ERR_RANGE);
    Transaction transaction(*store_);
    if (Status s = transaction.BeginWrite(lockWaitMs_); !s) return s;
    MemoryDirectory directory;
    if (Status s = ReadPresent(*store_, memory, directory, false); !s) return s;
    if (first + count > directory.capacity) return Fail(KD5200_ERR_RANGE);
    Status s;
    FileHandle image = OpenImage(*store_, memory, O_RDONLY, s);
    if (!s) return s;
    std::vector<uint32_t> blocks;
    for (int64_t b = first; b < first + count; ++b)
        blocks.push_back(static_cast<uint32_t>(b));
    const uint64_t bytes = static_cast<uint64_t>(count) * kBlockSize;
    AtomicOutput output;
    if (s = output.Create(pcPath, Folder()); !s) return s;
    Transfer transfer(settings, "read", Exchange::Receive, static_cast<int64_t>(bytes));
    if (s = transfer.Advance(0); !s) return s;
    if (s = CopyBlocks(false, image.Get(), blocks, bytes, output.Fd(), transfer); !s) return s;
    if (s = output.Commit(); !s) return s;
    return transaction.Commit();
}

Status Player::UpgradeFirmware(int target, int32_t romSelect, const std::string& imagePath,
                               const std::string& chosenPath, const TransferSettings& settings) {
    if (target != KD5200_TARGET_APPLICATION && target != KD5200_TARGET_BOOT)
        return Fail(KD5200_ERR_BAD_ARGUMENT);
    FirmwareRecord firmware;
    if (Status s =
            ReadSource(imagePath, kMaxImageBytes, KD5200_ERR_IMAGE_TOO_LARGE, firmware.image);
        !s)
        return s;
    if (firmware.image.empty()) return Fail(KD5200_ERR_BAD_IMAGE);
    firmware.romSelect = romSelect;
    firmware.chosenPath = chosenPath;
    const long long now = time(nullptr);
    firmware.writtenAt = std::to_string(now);

    Transaction transaction(*store_);
    if (Status s = transaction.BeginWrite(lockWaitMs_); !s) return s;
    std::string version;
    if (Status s = store_->ReadVersion(version); !s) return s;
    Transfer transfer(settings, "firmware", Exchange::Send,
                      static_cast<int64_t>(firmware.image.size()));
    if (Status s = transfer.Run(); !s) return s;
    if (Status s = store_->WriteFirmware(target, firmware); !s) return s;
    if (Status s = store_->WriteVersion(NextVersion(version, now)); !s) return s;
    return transaction.Commit();
}

Status Player::Firmware(int target, bool& present, FirmwareRecord& firmware) {
    Transaction transaction(*store_);
    if (Status s = transaction.BeginRead(); !s) return s;
    if (Status s = store_->ReadFirmware(target, present, firmware); !s) return s;
    return transaction.Commit();
}

Status Player::Version(std::string& version) {
    Transaction transaction(*store_);
    if (Status s = transaction.BeginRead(); !s) return s;
    if (Status s = store_->ReadVersion(version); !s) return s;
    return transaction.Commit();
}

Status Player::FontInfo(bool& present, FontRecord& font) {
    Transaction transaction(*store_);
    if (Status s = transaction.BeginRead(); !s) return s;
    if (Status s = store_->ReadFont(present, font, false); !s) return s;
    return transaction.Commit();
}

Status Player::DownloadFont(const std::string& pcPath, const TransferSettings& settings) {
    FontRecord font;
    if (!PlayerNameFromPc(BaseName(pcPath), font.name)) return Fail(KD5200_ERR_BAD_NAME);
    if (Status s = ReadSource(pcPath, kMaxImageBytes, KD5200_ERR_FILE_TOO_LARGE, font.data); !s)
        return s;
    if (font.data.empty()) return Fail(KD5200_ERR_BAD_IMAGE);
    if (font.name.empty() || font.name.size() > 259 || !ValidLongName(font.name))
        return Fail(KD5200_ERR_BAD_NAME);
    Transaction transaction(*store_);
    if (Status s = transaction.BeginWrite(lockWaitMs_); !s) return s;
    Transfer transfer(settings, "font", Exchange::Send, static_cast<int64_t>(font.data.size()));
    if (Status s = transfer.Run(); !s) return s;
    if (Status s = store_->WriteFont(&font); !s) return s;
    return transaction.Commit();
}

Status Player::EraseFont() {
    Transaction transaction(*store_);
    if (Status s = transaction.BeginWrite(lockWaitMs_); !s) return s;
    if (Status s = store_->WriteFont(nullptr); !s) return s;
    return transaction.Commit();
}

Status Player::UploadFont(const std::string& pcPath, const TransferSettings& settings) {
    FontRecord font;
    bool present = false;
    {
        Transaction transaction(*store_);
        if (Status s = transaction.BeginRead(); !s) return s;
        if (Status s = store_->ReadFont(present, font, true); !s) return s;
        if (Status s = transaction.Commit(); !s) return s;
    }
    if (!present) return Fail(KD5200_ERR_NO_FONT);
    AtomicOutput output;
    if (Status s = output.Create(pcPath, Folder()); !s) return s;
    Transfer transfer(settings, "font", Exchange::Receive, static_cast<int64_t>(font.data.size()));
    if (Status s = transfer.Run(); !s) return s;
    if (Status s = WriteAll(output.Fd(), font.data.data(), font.data.size(), KD5200_ERR_FILE_WRITE);
        !s)
        return s;
    return output.Commit();
}

} // namespace kd5200
