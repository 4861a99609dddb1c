#pragma once
// The stored state of a virtual player: directories and metadata in an
// SQLite database (player.db), the blocks of each memory in an image file
// (internal.img, external.img). Every change runs in one transaction; data
// blocks are written before the directory that names them is committed.
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "lib/kd5200usb/errors.h"
#include "lib/kd5200usb/short_name.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kd5200 {

constexpr uint32_t kBlockSize = KD5200_BLOCK_SIZE;
constexpr int kMaxEntries = KD5200_MAX_ENTRIES;
// Largest memory a player may have, in blocks (16 GiB).
constexpr uint32_t kMaxCapacityBlocks = 1u << 20;
// Largest firmware image or font the player accepts.
constexpr int64_t kMaxImageBytes = KD5200_MAX_IMAGE_BYTES;
// Longest firmware version text.
constexpr size_t kMaxVersionText = 63;

// Blocks needed for a file of the given size.
inline uint32_t BlocksFor(uint64_t size) {
    return static_cast<uint32_t>((size + kBlockSize - 1) / kBlockSize);
}

// One directory entry of a memory.
struct Entry {
    ShortName shortName;
    std::string longName; // empty when the file has only its short name
    uint32_t size = 0;
    uint32_t blockCount = 0;
    std::vector<uint32_t> blocks; // filled only when asked for

    // The long name, or the short name when there is none.
    std::string DisplayName() const { return longName.empty() ? shortName.Text() : longName; }
};

// A memory's capacity and directory as stored.
struct MemoryDirectory {
    uint32_t capacity = 0; // blocks; 0 when the memory is absent
    uint32_t used = 0;     // blocks held by files
    std::vector<Entry> entries;
};

// Firmware image kept for one target.
struct FirmwareRecord {
    int32_t romSelect = 0;
    std::string chosenPath;
    std::string writtenAt;
    std::string image;
};

// The font the player holds.
struct FontRecord {
    std::string name;
    std::string data;
};

// Settings of a new player.
struct PlayerLayout {
    uint32_t internalBlocks = 4096;
    uint32_t externalBlocks = 2048; // 0: no external memory
    std::string version;
};

// The lock that keeps other writers (processes or handles) out of a
// player: a change holds it from before its transaction until its last
// block is written, which may be after the directory is committed.
class WriterLock {
public:
    explicit WriterLock(std::string folder) : folder_(std::move(folder)) {}
    ~WriterLock() {
        Release();
        CloseFile();
    }
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

    // Takes the lock, waiting at most waitMs (0: without limit). Another
    // holder past that gives KD5200_ERR_BUSY.
    Status Acquire(int32_t waitMs);
    void Release();
    bool Held() const { return held_; }

private:
    // Opens the lock file, or keeps the one open: a copy takes the lock
    // for every file, and opening it each time cost more than the lock.
    Status OpenFile();
    void CloseFile();

    std::string folder_;
    int fd_ = -1; // the lock file, open from the first Acquire on
    bool held_ = false;
    uint64_t key_ = 0;
};

// An open connection to a player's storage.
class Store {
public:
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Opens the storage of the player in folder. Nothing is read yet; a
    // damaged database shows up as KD5200_ERR_DIRECTORY at the first read.
    static Status Open(const std::string& folder, std::unique_ptr<Store>& store);
    // Makes a new, empty player in folder (created when missing), replacing
    // any player stored there. The attach state is left alone. A process
    // killed at any point leaves the old player or the new one; a program
    // using the old player sees the new one at its next operation.
    static Status Create(const std::string& folder, const PlayerLayout& layout,
                         int32_t lockWaitMs = 30000);

    // Path of a memory's image file in folder.
    static std::string ImagePath(const std::string& folder, int memory);
    const std::string& Folder() const { return folder_; }

    // Transactions: a read snapshot, or the writer lock (waiting at most
    // lockWaitMs, 0: without limit) and the database's write lock.
    Status BeginRead();
    Status BeginWrite(int32_t lockWaitMs);
    // Commits; the writer lock is released unless keepLock, in which case
    // Unlock releases it once the work after the commit is done.
    Status Commit(bool keepLock = false);
    void Rollback();
    void Unlock() { writerLock_.Release(); }
    // Whether a transaction is open on this connection.
    bool InTransaction() const;

    // Reads a memory's capacity and directory (block lists when withBlocks)
    // and checks them; damaged data gives KD5200_ERR_DIRECTORY.
    Status ReadMemory(int memory, MemoryDirectory& directory, bool withBlocks);
    // The same, shared with the kept directory instead of copied from it.
    Status ReadMemory(int memory, std::shared_ptr<const MemoryDirectory>& directory,
                      bool withBlocks);
    // Checks that the image file of a memory holds all its blocks.
    Status CheckImage(int memory, uint32_t capacity);

    // Directory changes (inside a write transaction).
    Status AppendEntry(int memory, int position, const Entry& entry);
    Status RemoveEntry(int memory, int position);
    Status SwapEntries(int memory, int a, int b);
    Status RenameEntry(int memory, int position, const ShortName& shortName,
                       const std::string& longName);
    Status ClearMemory(int memory);

    Status ReadVersion(std::string& version);
    Status WriteVersion(const std::string& version);
    // present is false when the player holds no font.
    Status ReadFont(bool& present, FontRecord& font, bool withData);
    Status WriteFont(const FontRecord* font); // null erases
    Status ReadFirmware(int target, bool& present, FirmwareRecord& firmware);
    Status WriteFirmware(int target, const FirmwareRecord& firmware);

private:
    // Starts a transaction with sql and checks the stored schema.
    Status Begin(const char* sql);
    explicit Store(std::string folder);
    // Opens the database file at path.
    Status Connect(const std::string& path, int flags);
    Status Exec(const char* sql);
    Status Prepare(const char* sql, sqlite3_stmt*& statement);
    // Runs one statement of the cached ones with whole numbers bound to ?1, ?2, ...
    Status Run(const char* sql, std::initializer_list<int> values);
    Status SqlStatus(int rc);
    Status CheckSchema();

    // The directory last read of each memory, kept while the database is as
    // it was then: a copy reads its memory's directory for every file, and
    // 512 entries cost more than the file's bytes.
    struct KeptDirectory {
        unsigned dataVersion = 0;      // the file's, changed by any connection's commit
        int64_t changes = 0;           // this connection's rows changed, committed or not
        bool withBlocks = false;
        std::shared_ptr<const MemoryDirectory> directory;
    };
    // The key under which a directory read now may be kept; false when the
    // database cannot tell.
    bool DirectoryKey(unsigned& dataVersion, int64_t& changes);

    std::string folder_;
    WriterLock writerLock_;
    sqlite3* db_ = nullptr;
    bool schemaChecked_ = false;
    std::map<const char*, sqlite3_stmt*> statements_;
    std::map<int, KeptDirectory> kept_;
};

} // namespace kd5200
