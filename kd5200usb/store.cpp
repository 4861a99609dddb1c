#include "kd5200usb/store.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"

namespace kd5200 {

namespace {

constexpr const char* kDatabaseName = "/player.db";
constexpr int kSchemaVersion = 1;
// Long enough for the other process's longest transfer at disk speed.
constexpr int kBusyTimeoutMs = 60000;

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

} // namespace

Store::Store(std::string folder) : folder_(std::move(folder)) {}

Store::~Store() {
    for (auto& [sql, statement] : statements_)
        sqlite3_finalize(statement);
    if (db_) sqlite3_close_v2(db_);
}

std::string Store::ImagePath(const std::string& folder, int memory) {
    return folder + (memory == KD5200_MEMORY_INTERNAL ? "/internal.img" : "/external.img");
}

Status Store::Open(const std::string& folder, std::unique_ptr<Store>& store) {
    std::unique_ptr<Store> opened(new Store(folder));
    const std::string path = folder + kDatabaseName;
    const int rc = sqlite3_open_v2(path.c_str(), &opened->db_,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        // A player whose database vanished cannot list its directory.
        const int error = opened->db_ ? sqlite3_system_errno(opened->db_) : 0;
        return Fail(rc == SQLITE_CANTOPEN ? KD5200_ERR_DIRECTORY : KD5200_ERR_STORAGE, error);
    }
    sqlite3_busy_timeout(opened->db_, kBusyTimeoutMs);
    sqlite3_extended_result_codes(opened->db_, 1);
    // WAL with NORMAL syncing stays consistent after a crash at any moment.
    // A damaged file fails here too; that shows at the first read instead.
    opened->Exec("PRAGMA synchronous=NORMAL");
    store = std::move(opened);
    return {};
}

Status Store::Create(const std::string& folder, const PlayerLayout& layout) {
    if (!platform::MakeDirectories(folder)) return Fail(KD5200_ERR_STORAGE, errno);
    const std::string path = folder + kDatabaseName;
    auto initialise = [&](bool fresh) -> Status {
        if (fresh) {
            for (const char* suffix : {"", "-wal", "-shm"})
                unlink((path + suffix).c_str());
        }
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK) {
            const int error = db ? sqlite3_system_errno(db) : errno;
            sqlite3_close_v2(db);
            return Fail(KD5200_ERR_STORAGE, error);
        }
        std::unique_ptr<Store> store(new Store(folder));
        store->db_ = db;
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        if (Status s = store->Exec("PRAGMA journal_mode=WAL"); !s) return s;
        // No schema check here: a new database has none yet.
        if (Status s = store->Exec("BEGIN IMMEDIATE"); !s) return s;
        Status s = store->Exec(kSchema);
        if (s)
            s = store->Exec("DELETE FROM meta; DELETE FROM memory; DELETE FROM entry;"
                            " DELETE FROM font; DELETE FROM firmware;");
        if (s)
            s = store->Exec(
                ("INSERT INTO meta VALUES('schema', " + std::to_string(kSchemaVersion) + ")")
                    .c_str());
        if (s) s = store->WriteVersion(layout.version);
        for (int memory = 0; s && memory < 2; ++memory) {
            const uint32_t blocks = memory == 0 ? layout.internalBlocks : layout.externalBlocks;
            sqlite3_stmt* insert = nullptr;
            s = store->Prepare("INSERT INTO memory(id, capacity) VALUES(?1, ?2)", insert);
            if (!s) break;
            StatementUse use(insert);
            sqlite3_bind_int(insert, 1, memory);
            sqlite3_bind_int64(insert, 2, blocks);
            s = store->SqlStatus(sqlite3_step(insert));
            if (!s) break;
            // Image files are resized in place, so that a process holding
            // them open sees the new player.
            const std::string image = ImagePath(folder, memory);
            if (blocks == 0) {
                unlink(image.c_str());
                continue;
            }
            const int fd = open(image.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
            if (fd < 0 || ftruncate(fd, 0) != 0 ||
                ftruncate(fd, static_cast<off_t>(blocks) * kBlockSize) != 0)
                s = Fail(KD5200_ERR_STORAGE, errno);
            if (fd >= 0) close(fd);
        }
        if (s) return store->Commit();
        store->Rollback();
        return s;
    };
    // A damaged database is replaced by a new one.
    Status s = initialise(false);
    if (!s && s.code == KD5200_ERR_DIRECTORY) s = initialise(true);
    return s;
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
    default:
        return Fail(KD5200_ERR_STORAGE, sqlite3_system_errno(db_));
    }
}

Status Store::Exec(const char* sql) {
    return SqlStatus(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr));
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
Status Store::BeginWrite() {
    return Begin("BEGIN IMMEDIATE");
}

Status Store::Commit() {
    Status s = Exec("COMMIT");
    if (!s) Rollback();
    return s;
}

bool Store::InTransaction() const {
    return !sqlite3_get_autocommit(db_);
}

void Store::Rollback() {
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
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
    directory = {};
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
            (!entry.longName.empty() && !ValidLongName(entry.longName)) ||
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
    return {};
}

Status Store::CheckImage(int memory, uint32_t capacity) {
    if (capacity == 0) return {};
    struct stat st {};
    if (stat(ImagePath(folder_, memory).c_str(), &st) != 0) return Damaged();
    if (!S_ISREG(st.st_mode) || st.st_size < static_cast<off_t>(capacity) * kBlockSize)
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
    const std::string m = std::to_string(memory), p = std::to_string(position);
    return Exec(("DELETE FROM entry WHERE memory = " + m + " AND pos = " + p +
                 ";"
                 "UPDATE entry SET pos = -pos WHERE memory = " +
                 m + " AND pos > " + p +
                 ";"
                 "UPDATE entry SET pos = -pos - 1 WHERE memory = " +
                 m + " AND pos < 0;")
                    .c_str());
}

Status Store::SwapEntries(int memory, int a, int b) {
    const std::string m = std::to_string(memory), sa = std::to_string(a), sb = std::to_string(b);
    return Exec(("UPDATE entry SET pos = -1 WHERE memory = " + m + " AND pos = " + sa +
                 ";"
                 "UPDATE entry SET pos = " +
                 sa + " WHERE memory = " + m + " AND pos = " + sb +
                 ";"
                 "UPDATE entry SET pos = " +
                 sb + " WHERE memory = " + m + " AND pos = -1;")
                    .c_str());
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
    return Exec(("DELETE FROM entry WHERE memory = " + std::to_string(memory)).c_str());
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
