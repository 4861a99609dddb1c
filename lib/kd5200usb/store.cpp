#include "lib/kd5200usb/store.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <set>
#include <sqlite3.h>
#include <thread>

#include "lib/kd5200usb/file_io.h"
#include "base/platform/descriptors.h"
#include "base/platform/paths.h"

namespace kd5200 {

namespace {

constexpr const char* kDatabaseName = "/player.db";
constexpr const char* kLockName = "/player.lock";
constexpr int kSchemaVersion = 1;
// Wait for the database of a reader that is recovering it.
constexpr int kBusyTimeoutMs = 5000;

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS memory(id INTEGER PRIMARY KEY, capacity INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS entry(memory INTEGER NOT NULL, pos INTEGER NOT NULL,"
    " base TEXT NOT NULL, ext TEXT NOT NULL, long_name TEXT NOT NULL, size INTEGER NOT NULL,"
    " block_count INTEGER NOT NULL, blocks BLOB NOT NULL, PRIMARY KEY(memory, pos)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS font(id INTEGER PRIMARY KEY CHECK(id = 0), name TEXT NOT NULL,"
    " data BLOB NOT NULL);"
    "CREATE TABLE IF NOT EXISTS firmware(target INTEGER PRIMARY KEY, rom_select INTEGER NOT NULL,"
    " chosen_path TEXT NOT NULL, written_at TEXT NOT NULL, image BLOB NOT NULL);";

// Resets a cached statement when the caller is done with it.
class StatementUse {
public:
    explicit StatementUse(sqlite3_stmt* statement) : statement_(statement) {}
    ~StatementUse() {
        if (statement_) {
            sqlite3_reset(statement_);
            sqlite3_clear_bindings(statement_);
        }
    }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

private:
    sqlite3_stmt* statement_;
};

Status Damaged() {
    return Fail(KD5200_ERR_DIRECTORY);
}

// A text column, or false when the column is not text or holds a NUL.
bool TextColumn(sqlite3_stmt* statement, int column, std::string& out) {
    if (sqlite3_column_type(statement, column) != SQLITE_TEXT) return false;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    const int bytes = sqlite3_column_bytes(statement, column);
    if (!text || bytes < 0 || std::memchr(text, '\0', static_cast<size_t>(bytes))) return false;
    out.assign(text, static_cast<size_t>(bytes));
    return true;
}

bool IntegerColumn(sqlite3_stmt* statement, int column, int64_t low, int64_t high, int64_t& out) {
    if (sqlite3_column_type(statement, column) != SQLITE_INTEGER) return false;
    out = sqlite3_column_int64(statement, column);
    return out >= low && out <= high;
}

void BlobColumn(sqlite3_stmt* statement, int column, std::string& out) {
    const void* data = sqlite3_column_blob(statement, column);
    const int bytes = sqlite3_column_bytes(statement, column);
    out.assign(data ? static_cast<const char*>(data) : "", data ? static_cast<size_t>(bytes) : 0);
}

std::string EncodeBlocks(const std::vector<uint32_t>& blocks) {
    std::string out(blocks.size() * 4, '\0');
    for (size_t i = 0; i < blocks.size(); ++i)
        for (int b = 0; b < 4; ++b)
            out[i * 4 + b] = static_cast<char>((blocks[i] >> (8 * b)) & 0xFF);
    return out;
}

// The writer locks this process holds, by lock file: a second handle of the
// same process waits in vain for its own lock, so it is refused at once.
std::mutex g_heldMutex;
std::set<uint64_t> g_held;

// Zeroes [0, length) of an image, as holes where the file system can.
Status ZeroImage(int fd, uint64_t length) {
    if (length == 0) return {};
    if (platform::PunchHole(fd, 0, length)) return {};
    static const std::vector<char> zeros(kBlockSize, 0);
    for (uint64_t at = 0; at < length; at += kBlockSize)
        if (platform::WriteSomeAt(fd, zeros.data(),
                                  static_cast<size_t>(std::min<uint64_t>(kBlockSize, length - at)),
                                  at) < 0)
            return Fail(KD5200_ERR_STORAGE, errno);
    return {};
}

} // namespace

Status WriterLock::OpenFile() {
    if (fd_ >= 0) return {};
    const int fd = platform::OpenDescriptor(folder_ + kLockName, platform::OpenFor::ReadWriteCreate);
    if (fd < 0) return Fail(errno == ENOENT ? KD5200_ERR_DIRECTORY : KD5200_ERR_STORAGE, errno);
    platform::DescriptorInfo st;
    platform::Describe(fd, st);
    fd_ = fd;
    key_ = st.identity;
    return {};
}

void WriterLock::CloseFile() {
    if (fd_ >= 0) platform::CloseDescriptor(fd_);
    fd_ = -1;
}

Status WriterLock::Acquire(int32_t waitMs) {
    if (held_) return {};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (Status s = OpenFile(); !s) return s;
        {
            std::lock_guard lock(g_heldMutex);
            if (!g_held.insert(key_).second) return Fail(KD5200_ERR_BUSY);
        }
        auto pause = std::chrono::milliseconds(1);
        for (;;) {
            if (platform::LockDescriptor(fd_, true, waitMs == 0)) break;
            const int error = errno;
            if (error == EINTR) continue;
            if (error != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
                {
                    std::lock_guard lock(g_heldMutex);
                    g_held.erase(key_);
                }
                return Fail(error == EWOULDBLOCK ? KD5200_ERR_BUSY : KD5200_ERR_STORAGE,
                            error == EWOULDBLOCK ? 0 : error);
            }
            std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
                pause, deadline - std::chrono::steady_clock::now()));
            pause = std::min(pause * 2, std::chrono::milliseconds(20));
        }
        // The file kept open may have been removed with its player since:
        // the lock of a new player is on the file now at that name.
        platform::DescriptorInfo st;
        if (!platform::Describe(fd_, st) || !st.removed) break;
        {
            std::lock_guard lock(g_heldMutex);
            g_held.erase(key_);
        }
        CloseFile();
    }
    held_ = true;
    return {};
}

void WriterLock::Release() {
    if (!held_) return;
    platform::UnlockDescriptor(fd_);
    held_ = false;
    std::lock_guard lock(g_heldMutex);
    g_held.erase(key_);
}

Store::Store(std::string folder) : folder_(std::move(folder)), writerLock_(folder_) {}

Store::~Store() {
    for (auto& [sql, statement] : statements_)
        sqlite3_finalize(statement);
    if (db_) sqlite3_close_v2(db_);
}

std::string Store::ImagePath(const std::string& folder, int memory) {
    return folder + (memory == KD5200_MEMORY_INTERNAL ? "/internal.img" : "/external.img");
}

Status Store::Connect(const std::string& path, int flags) {
    kept_.clear(); // kept for the connection they were read on
    const int rc = sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        // A player whose database vanished cannot list its directory.
        const int error = db_ ? sqlite3_system_errno(db_) : errno;
        return Fail(rc == SQLITE_CANTOPEN ? KD5200_ERR_DIRECTORY : KD5200_ERR_STORAGE, error);
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db_, 1);
    // The log and its index stay beside the database when the last
    // connection closes, emptied instead of deleted: every program that
    // opens the player would otherwise make and delete two files, and on
    // some file systems each new file then pays for the deleted ones.
    int persist = 1;
    sqlite3_file_control(db_, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
    sqlite3_exec(db_, "PRAGMA journal_size_limit=4194304", nullptr, nullptr, nullptr);
    return {};
}

Status Store::Open(const std::string& folder, std::unique_ptr<Store>& store) {
    std::unique_ptr<Store> opened(new Store(folder));
    if (Status s = opened->Connect(folder + kDatabaseName, SQLITE_OPEN_READWRITE); !s) return s;
    // WAL with NORMAL syncing stays consistent after a crash at any moment.
    // A damaged file fails here too; that shows at the first read instead.
    opened->Exec("PRAGMA synchronous=NORMAL");
    store = std::move(opened);
    return {};
}

Status Store::Create(const std::string& folder, const PlayerLayout& layout, int32_t lockWaitMs) {
    if (!platform::MakeDirectories(folder)) return Fail(KD5200_ERR_STORAGE, errno);
    const std::string path = folder + kDatabaseName;
    const uint32_t blocks[2] = {layout.internalBlocks, layout.externalBlocks};
    // Writes the new player's rows into a database in a write transaction.
    auto fill = [&](Store& store) -> Status {
        Status s = store.Exec(kSchema);
        if (s)
            s = store.Exec("DELETE FROM meta; DELETE FROM memory; DELETE FROM entry;"
                           " DELETE FROM font; DELETE FROM firmware;");
        if (s)
            s = store.Exec(
                ("INSERT INTO meta VALUES('schema', " + std::to_string(kSchemaVersion) + ")")
                    .c_str());
        if (s) s = store.WriteVersion(layout.version);
        for (int memory = 0; s && memory < 2; ++memory) {
            sqlite3_stmt* insert = nullptr;
            s = store.Prepare("INSERT INTO memory(id, capacity) VALUES(?1, ?2)", insert);
            if (!s) break;
            StatementUse use(insert);
            sqlite3_bind_int(insert, 1, memory);
            sqlite3_bind_int64(insert, 2, blocks[memory]);
            s = store.SqlStatus(sqlite3_step(insert));
        }
        return s;
    };
    // Opens a memory's image file, at least as large as the new memory.
    auto openImage = [&](int memory, FileHandle& image) -> Status {
        image = FileHandle(
            platform::OpenDescriptor(ImagePath(folder, memory), platform::OpenFor::ReadWriteCreate));
        platform::DescriptorInfo st;
        if (image.Get() < 0 || !platform::Describe(image.Get(), st))
            return Fail(KD5200_ERR_STORAGE, errno);
        const uint64_t size = static_cast<uint64_t>(blocks[memory]) * kBlockSize;
        if (st.size < size && !platform::SetLength(image.Get(), size))
            return Fail(KD5200_ERR_STORAGE, errno);
        return {};
    };
    // Once the new directory is committed: the blocks zeroed, the images cut
    // to size, the image of an absent memory removed.
    auto finishImages = [&]() -> Status {
        for (int memory = 0; memory < 2; ++memory) {
            if (blocks[memory] == 0) {
                platform::RemoveFile(ImagePath(folder, memory));
                continue;
            }
            FileHandle image;
            if (Status s = openImage(memory, image); !s) return s;
            const uint64_t size = static_cast<uint64_t>(blocks[memory]) * kBlockSize;
            if (Status s = ZeroImage(image.Get(), size); !s) return s;
            if (!platform::SetLength(image.Get(), size)) return Fail(KD5200_ERR_STORAGE, errno);
        }
        return {};
    };

    std::unique_ptr<Store> store(new Store(folder));
    if (Status s = store->writerLock_.Acquire(lockWaitMs); !s) return s;

    // A readable player is replaced in one transaction. The images only
    // grow before the commit, so the old directory still finds its blocks.
    if (platform::PathExists(path)) {
        Status s = store->Connect(path, SQLITE_OPEN_READWRITE);
        if (s) s = store->Exec("BEGIN IMMEDIATE");
        if (s) s = store->CheckSchema();
        for (int memory = 0; s && memory < 2; ++memory) {
            FileHandle image;
            if (blocks[memory] != 0) s = openImage(memory, image);
        }
        if (s) s = fill(*store);
        if (s) s = store->Exec("COMMIT");
        if (s) return finishImages();
        // Rolled back with the writer lock kept for the new database.
        if (!sqlite3_get_autocommit(store->db_))
            sqlite3_exec(store->db_, "ROLLBACK", nullptr, nullptr, nullptr);
        if (s.code != KD5200_ERR_DIRECTORY) return s;
        for (auto& [sql, statement] : store->statements_)
            sqlite3_finalize(statement);
        store->statements_.clear();
        sqlite3_close_v2(store->db_);
        store->db_ = nullptr;
        store->schemaChecked_ = false;
    }

    // No player, or a damaged one: the images are made first, then a new
    // database beside the old one that is renamed over it.
    for (int memory = 0; memory < 2; ++memory) {
        FileHandle image;
        if (blocks[memory] != 0)
            if (Status s = openImage(memory, image); !s) return s;
    }
    const std::string fresh = path + ".new";
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        platform::RemoveFile(fresh + suffix);
    {
        std::unique_ptr<Store> building(new Store(folder));
        if (Status s = building->Connect(fresh, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE); !s)
            return s;
        if (Status s = building->Exec("PRAGMA journal_mode=WAL"); !s) return s;
        if (Status s = building->Exec("BEGIN IMMEDIATE"); !s) return s;
        if (Status s = fill(*building); !s) {
            building->Rollback();
            return s;
        }
        if (Status s = building->Exec("COMMIT"); !s) return s;
    } // closing the last connection folds its log into the file
    for (const char* suffix : {"-wal", "-shm"})
        platform::RemoveFile(path + suffix);
    if (!platform::RenameOver(fresh, path)) return Fail(KD5200_ERR_STORAGE, errno);
    return finishImages();
}

Status Store::SqlStatus(int rc) {
    switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return {};
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_FORMAT:
    case SQLITE_SCHEMA:
    case SQLITE_ERROR:
    case SQLITE_MISMATCH:
    case SQLITE_CONSTRAINT:
    case SQLITE_RANGE:
    case SQLITE_TOOBIG:
        return Damaged();
    case SQLITE_NOMEM:
        return Fail(KD5200_ERR_NO_MEMORY);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Fail(KD5200_ERR_BUSY);
    default:
        return Fail(KD5200_ERR_STORAGE, sqlite3_system_errno(db_));
    }
}

Status Store::Exec(const char* sql) {
    return SqlStatus(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr));
}

Status Store::Run(const char* sql, std::initializer_list<int> values) {
    sqlite3_stmt* statement = nullptr;
    if (Status s = Prepare(sql, statement); !s) return s;
    StatementUse use(statement);
    int index = 0;
    for (int value : values)
        sqlite3_bind_int(statement, ++index, value);
    return SqlStatus(sqlite3_step(statement));
}

Status Store::Prepare(const char* sql, sqlite3_stmt*& statement) {
    if (auto it = statements_.find(sql); it != statements_.end()) {
        statement = it->second;
        return {};
    }
    const int rc = sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        statement = nullptr;
        return SqlStatus(rc);
    }
    statements_[sql] = statement;
    return {};
}

Status Store::Begin(const char* sql) {
    if (Status s = Exec(sql); !s) return s;
    if (Status s = CheckSchema(); !s) {
        Rollback();
        return s;
    }
    return {};
}

Status Store::BeginRead() {
    return Begin("BEGIN");
}

// Takes the write lock at once, so two writers never deadlock upgrading.
Status Store::BeginWrite(int32_t lockWaitMs) {
    if (Status s = writerLock_.Acquire(lockWaitMs); !s) return s;
    sqlite3_busy_timeout(db_, lockWaitMs > 0 ? lockWaitMs : kBusyTimeoutMs);
    Status s = Begin("BEGIN IMMEDIATE");
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    if (!s) writerLock_.Release();
    return s;
}

Status Store::Commit(bool keepLock) {
    Status s = Exec("COMMIT");
    if (!s) Rollback();
    if (!s || !keepLock) writerLock_.Release();
    return s;
}

bool Store::InTransaction() const {
    return !sqlite3_get_autocommit(db_);
}

void Store::Rollback() {
    if (db_ && !sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    writerLock_.Release();
}

Status Store::CheckSchema() {
    if (schemaChecked_) return {};
    sqlite3_stmt* query = nullptr;
    if (Status s = Prepare("SELECT value FROM meta WHERE key = 'schema'", query); !s) return s;
    StatementUse use(query);
    const int rc = sqlite3_step(query);
    if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? Damaged() : SqlStatus(rc);
    int64_t version = 0;
    if (!IntegerColumn(query, 0, kSchemaVersion, kSchemaVersion, version)) return Damaged();
    schemaChecked_ = true;
    return {};
}

Status Store::ReadMemory(int memory, MemoryDirectory& directory, bool withBlocks) {
    std::shared_ptr<const MemoryDirectory> shared;
    if (Status s = ReadMemory(memory, shared, withBlocks); !s) return s;
    directory = *shared;
    return {};
}

Status Store::ReadMemory(int memory, std::shared_ptr<const MemoryDirectory>& read,
                         bool withBlocks) {
    read.reset();
    auto made = std::make_shared<MemoryDirectory>();
    MemoryDirectory& directory = *made;
    sqlite3_stmt* header = nullptr;
    if (Status s = Prepare("SELECT capacity FROM memory WHERE id = ?1", header); !s) return s;
    {
        StatementUse use(header);
        sqlite3_bind_int(header, 1, memory);
        const int rc = sqlite3_step(header);
        if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? Damaged() : SqlStatus(rc);
        int64_t capacity = 0;
        if (!IntegerColumn(header, 0, 0, kMaxCapacityBlocks, capacity)) return Damaged();
        directory.capacity = static_cast<uint32_t>(capacity);
    }
    // The capacity's read has taken the transaction's snapshot: the key
    // below tells whether anything was written since the directory was kept.
    unsigned dataVersion = 0;
    int64_t changes = 0;
    const bool keyed = DirectoryKey(dataVersion, changes);
    if (keyed) {
        const auto it = kept_.find(memory);
        if (it != kept_.end() && it->second.dataVersion == dataVersion &&
            it->second.changes == changes && (it->second.withBlocks || !withBlocks) &&
            it->second.directory->capacity == directory.capacity) {
            read = it->second.directory;
            return {};
        }
    }
    kept_.erase(memory);

    const char* sql = withBlocks ? "SELECT pos, base, ext, long_name, size, block_count, blocks "
                                   "FROM entry WHERE memory = ?1 ORDER BY pos"
                                 : "SELECT pos, base, ext, long_name, size, block_count FROM entry "
                                   "WHERE memory = ?1 ORDER BY pos";
    sqlite3_stmt* list = nullptr;
    if (Status s = Prepare(sql, list); !s) return s;
    StatementUse use(list);
    sqlite3_bind_int(list, 1, memory);
    directory.entries.reserve(64);
    uint64_t used = 0;
    int rc;
    while ((rc = sqlite3_step(list)) == SQLITE_ROW) {
        const int64_t expected = static_cast<int64_t>(directory.entries.size());
        if (expected >= kMaxEntries) return Damaged();
        int64_t position = 0, size = 0, blocks = 0;
        Entry entry;
        if (!IntegerColumn(list, 0, expected, expected, position) ||
            !TextColumn(list, 1, entry.shortName.base) ||
            !TextColumn(list, 2, entry.shortName.ext) || !TextColumn(list, 3, entry.longName) ||
            !IntegerColumn(list, 4, 0, UINT32_MAX, size) ||
            !IntegerColumn(list, 5, 0, kMaxCapacityBlocks, blocks))
            return Damaged();
        if (!ValidShortPart(entry.shortName.base, 8, false) ||
            !ValidShortPart(entry.shortName.ext, 3, true) ||
            (!entry.longName.empty() && !StoredLongName(entry.longName)) ||
            static_cast<uint64_t>(blocks) != BlocksFor(static_cast<uint64_t>(size)))
            return Damaged();
        entry.size = static_cast<uint32_t>(size);
        entry.blockCount = static_cast<uint32_t>(blocks);
        used += entry.blockCount;
        if (used > directory.capacity) return Damaged();
        if (withBlocks) {
            const auto* data = static_cast<const unsigned char*>(sqlite3_column_blob(list, 6));
            const int bytes = sqlite3_column_bytes(list, 6);
            if (sqlite3_column_type(list, 6) != SQLITE_BLOB && entry.blockCount != 0)
                return Damaged();
            if (static_cast<int64_t>(bytes) != blocks * 4) return Damaged();
            entry.blocks.resize(entry.blockCount);
            for (uint32_t i = 0; i < entry.blockCount; ++i) {
                const unsigned char* p = data + i * 4;
                const uint32_t block =
                    p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
                if (block >= directory.capacity) return Damaged();
                entry.blocks[i] = block;
            }
        }
        directory.entries.push_back(std::move(entry));
    }
    if (rc != SQLITE_DONE) return SqlStatus(rc);
    directory.used = static_cast<uint32_t>(used);
    if (keyed) kept_[memory] = {dataVersion, changes, withBlocks, made};
    read = std::move(made);
    return {};
}

bool Store::DirectoryKey(unsigned& dataVersion, int64_t& changes) {
    if (!db_ || sqlite3_get_autocommit(db_)) return false; // no snapshot held
    // Other connections' commits change the data version; this one's own
    // changes are counted apart.
    sqlite3_stmt* version = nullptr;
    if (!Prepare("PRAGMA data_version", version)) return false;
    StatementUse use(version);
    if (sqlite3_step(version) != SQLITE_ROW) return false;
    dataVersion = static_cast<unsigned>(sqlite3_column_int64(version, 0));
    changes = sqlite3_total_changes64(db_);
    return true;
}

Status Store::CheckImage(int memory, uint32_t capacity) {
    if (capacity == 0) return {};
    platform::DescriptorInfo st;
    if (!platform::DescribePath(ImagePath(folder_, memory), st)) return Damaged();
    if (st.kind != platform::FileKind::Regular ||
        st.size < static_cast<uint64_t>(capacity) * kBlockSize)
        return Damaged();
    return {};
}

Status Store::AppendEntry(int memory, int position, const Entry& entry) {
    sqlite3_stmt* insert = nullptr;
    if (Status s = Prepare(
            "INSERT INTO entry(memory, pos, base, ext, long_name, size, block_count, blocks)"
            " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)",
            insert);
        !s)
        return s;
    StatementUse use(insert);
    const std::string blocks = EncodeBlocks(entry.blocks);
    sqlite3_bind_int(insert, 1, memory);
    sqlite3_bind_int(insert, 2, position);
    sqlite3_bind_text(insert, 3, entry.shortName.base.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 4, entry.shortName.ext.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 5, entry.longName.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(insert, 6, entry.size);
    sqlite3_bind_int64(insert, 7, entry.blockCount);
    sqlite3_bind_blob(insert, 8, blocks.data(), static_cast<int>(blocks.size()), SQLITE_TRANSIENT);
    return SqlStatus(sqlite3_step(insert));
}

Status Store::RemoveEntry(int memory, int position) {
    // Later entries move down by one; the positions go through negative
    // values so that no two rows share a key on the way.
    Status s = Run("DELETE FROM entry WHERE memory = ?1 AND pos = ?2", {memory, position});
    if (s) s = Run("UPDATE entry SET pos = -pos WHERE memory = ?1 AND pos > ?2", {memory, position});
    if (s) s = Run("UPDATE entry SET pos = -pos - 1 WHERE memory = ?1 AND pos < 0", {memory});
    return s;
}

Status Store::SwapEntries(int memory, int a, int b) {
    Status s = Run("UPDATE entry SET pos = -1 WHERE memory = ?1 AND pos = ?2", {memory, a});
    if (s) s = Run("UPDATE entry SET pos = ?2 WHERE memory = ?1 AND pos = ?3", {memory, a, b});
    if (s) s = Run("UPDATE entry SET pos = ?2 WHERE memory = ?1 AND pos = -1", {memory, b});
    return s;
}

Status Store::RenameEntry(int memory, int position, const ShortName& shortName,
                          const std::string& longName) {
    sqlite3_stmt* update = nullptr;
    if (Status s = Prepare(
            "UPDATE entry SET base = ?3, ext = ?4, long_name = ?5 WHERE memory = ?1 AND pos = ?2",
            update);
        !s)
        return s;
    StatementUse use(update);
    sqlite3_bind_int(update, 1, memory);
    sqlite3_bind_int(update, 2, position);
    sqlite3_bind_text(update, 3, shortName.base.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(update, 4, shortName.ext.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(update, 5, longName.c_str(), -1, SQLITE_TRANSIENT);
    return SqlStatus(sqlite3_step(update));
}

Status Store::ClearMemory(int memory) {
    return Run("DELETE FROM entry WHERE memory = ?1", {memory});
}

Status Store::ReadVersion(std::string& version) {
    sqlite3_stmt* query = nullptr;
    if (Status s = Prepare("SELECT value FROM meta WHERE key = 'version'", query); !s) return s;
    StatementUse use(query);
    const int rc = sqlite3_step(query);
    if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? Damaged() : SqlStatus(rc);
    if (!TextColumn(query, 0, version) || version.size() > kMaxVersionText) return Damaged();
    return {};
}

Status Store::WriteVersion(const std::string& version) {
    sqlite3_stmt* update = nullptr;
    if (Status s = Prepare("INSERT OR REPLACE INTO meta(key, value) VALUES('version', ?1)", update);
        !s)
        return s;
    StatementUse use(update);
    sqlite3_bind_text(update, 1, version.c_str(), -1, SQLITE_TRANSIENT);
    return SqlStatus(sqlite3_step(update));
}

Status Store::ReadFont(bool& present, FontRecord& font, bool withData) {
    present = false;
    font = {};
    sqlite3_stmt* query = nullptr;
    if (Status s = Prepare(withData ? "SELECT name, length(data), data FROM font WHERE id = 0"
                                    : "SELECT name, length(data) FROM font WHERE id = 0",
                           query);
        !s)
        return s;
    StatementUse use(query);
    const int rc = sqlite3_step(query);
    if (rc == SQLITE_DONE) return {};
    if (rc != SQLITE_ROW) return SqlStatus(rc);
    int64_t size = 0;
    if (!TextColumn(query, 0, font.name) || font.name.empty() || font.name.size() > 259 ||
        !IntegerColumn(query, 1, 1, kMaxImageBytes, size))
        return Damaged();
    if (withData) {
        BlobColumn(query, 2, font.data);
        if (static_cast<int64_t>(font.data.size()) != size) return Damaged();
    } else {
        font.data.resize(static_cast<size_t>(size)); // only the size is wanted
    }
    present = true;
    return {};
}

Status Store::WriteFont(const FontRecord* font) {
    if (!font) return Exec("DELETE FROM font");
    sqlite3_stmt* update = nullptr;
    if (Status s = Prepare("INSERT OR REPLACE INTO font(id, name, data) VALUES(0, ?1, ?2)", update);
        !s)
        return s;
    StatementUse use(update);
    sqlite3_bind_text(update, 1, font->name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_blob(update, 2, font->data.data(), static_cast<int>(font->data.size()),
                      SQLITE_STATIC);
    return SqlStatus(sqlite3_step(update));
}

Status Store::ReadFirmware(int target, bool& present, FirmwareRecord& firmware) {
    present = false;
    firmware = {};
    sqlite3_stmt* query = nullptr;
    if (Status s = Prepare(
            "SELECT rom_select, chosen_path, written_at, image FROM firmware WHERE target = ?1",
            query);
        !s)
        return s;
    StatementUse use(query);
    sqlite3_bind_int(query, 1, target);
    const int rc = sqlite3_step(query);
    if (rc == SQLITE_DONE) return {};
    if (rc != SQLITE_ROW) return SqlStatus(rc);
    int64_t rom = 0;
    if (!IntegerColumn(query, 0, INT32_MIN, INT32_MAX, rom) ||
        !TextColumn(query, 1, firmware.chosenPath) || !TextColumn(query, 2, firmware.writtenAt))
        return Damaged();
    BlobColumn(query, 3, firmware.image);
    firmware.romSelect = static_cast<int32_t>(rom);
    present = true;
    return {};
}

Status Store::WriteFirmware(int target, const FirmwareRecord& firmware) {
    sqlite3_stmt* update = nullptr;
    if (Status s = Prepare(
            "INSERT OR REPLACE INTO firmware(target, rom_select, chosen_path, written_at, image)"
            " VALUES(?1, ?2, ?3, ?4, ?5)",
            update);
        !s)
        return s;
    StatementUse use(update);
    sqlite3_bind_int(update, 1, target);
    sqlite3_bind_int(update, 2, firmware.romSelect);
    sqlite3_bind_text(update, 3, firmware.chosenPath.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(update, 4, firmware.writtenAt.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_blob(update, 5, firmware.image.data(), static_cast<int>(firmware.image.size()),
                      SQLITE_STATIC);
    return SqlStatus(sqlite3_step(update));
}

} // namespace kd5200
