// The station database: schema creation and seeding, loading and saving records through the
// column lists of record_columns.h. Texts are stored as SQLite text when they are valid
// UTF-16 without a zero unit (readable with the sqlite3 shell), otherwise as a blob of their
// UTF-16LE units, so that every text comes back unit for unit.
#include "kestro/store/station_store.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <map>
#include <optional>
#include <utility>

#include "kestro/store/record_columns.h"

namespace kestro {

using store_detail::Column;
using store_detail::ColumnType;
using store_detail::ColumnValue;
using store_detail::Table;

namespace {

constexpr std::int64_t kSchemaVersion = 1;

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

bool IsStorableAsText(const WideString& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        WCHAR unit = text[i];
        if (unit == 0) {
            return false;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) {
                return false;
            }
            ++i;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

int BindText(sqlite3_stmt* statement, int index, const Text& text) {
    if (!text) {
        return sqlite3_bind_null(statement, index);
    }
    if (IsStorableAsText(*text)) {
        return sqlite3_bind_text16(statement, index, text->data(),
                                   static_cast<int>(text->size() * 2), SQLITE_TRANSIENT);
    }
    std::string bytes;
    bytes.reserve(text->size() * 2);
    for (WCHAR unit : *text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return sqlite3_bind_blob(statement, index, bytes.data(), static_cast<int>(bytes.size()),
                             SQLITE_TRANSIENT);
}

int BindValue(sqlite3_stmt* statement, int index, const ColumnValue& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        return sqlite3_bind_int64(statement, index, *integer);
    }
    if (const auto* real = std::get_if<double>(&value)) {
        return sqlite3_bind_double(statement, index, *real);
    }
    return BindText(statement, index, std::get<Text>(value));
}

// Reads column `index` as a value of `type`; false when it holds another type.
bool ReadValue(sqlite3_stmt* statement, int index, ColumnType type, ColumnValue& value) {
    int stored = sqlite3_column_type(statement, index);
    switch (type) {
        case ColumnType::kInteger:
            if (stored != SQLITE_INTEGER) {
                return false;
            }
            value = static_cast<std::int64_t>(sqlite3_column_int64(statement, index));
            return true;
        case ColumnType::kReal:
            if (stored == SQLITE_NULL) {
                // SQLite keeps a NaN as NULL.
                value = std::numeric_limits<double>::quiet_NaN();
                return true;
            }
            if (stored != SQLITE_FLOAT && stored != SQLITE_INTEGER) {
                return false;
            }
            value = sqlite3_column_double(statement, index);
            return true;
        case ColumnType::kText:
            if (stored == SQLITE_NULL) {
                value = Text();
            } else if (stored == SQLITE_TEXT) {
                const void* units = sqlite3_column_text16(statement, index);
                int bytes = sqlite3_column_bytes16(statement, index);
                value = Text(WideString(static_cast<const WCHAR*>(units),
                                        static_cast<std::size_t>(bytes) / 2));
            } else if (stored == SQLITE_BLOB) {
                const auto* bytes =
                    static_cast<const unsigned char*>(sqlite3_column_blob(statement, index));
                int length = sqlite3_column_bytes(statement, index);
                if (length % 2 != 0) {
                    return false;
                }
                WideString text;
                for (int i = 0; i < length; i += 2) {
                    text.push_back(static_cast<WCHAR>(bytes[i] | (bytes[i + 1] << 8)));
                }
                value = Text(std::move(text));
            } else {
                return false;
            }
            return true;
    }
    return false;
}

// True when `value` is no integer or an integer from `minimum` to `maximum`; otherwise false
// with `range` saying so ("99999999999, outside -32768 to 32767").
bool InRange(const ColumnValue& value, std::int64_t minimum, std::int64_t maximum,
             std::string& range) {
    const auto* integer = std::get_if<std::int64_t>(&value);
    if (integer == nullptr || (*integer >= minimum && *integer <= maximum)) {
        return true;
    }
    range = std::to_string(*integer) + ", outside " + std::to_string(minimum) + " to " +
            std::to_string(maximum);
    return false;
}

const char* SqlType(ColumnType type) {
    switch (type) {
        case ColumnType::kInteger:
            return "INTEGER";
        case ColumnType::kReal:
            return "REAL";
        case ColumnType::kText:
            return "TEXT";
    }
    return "";
}

template <typename Record>
std::string CreateTableSql() {
    std::string sql =
        std::string("CREATE TABLE ") + Table<Record>::kName + " (id INTEGER PRIMARY KEY";
    for (const Column<Record>& column : Table<Record>::Columns()) {
        sql += std::string(", ") + column.name + " " + SqlType(column.type);
    }
    return sql + ")";
}

template <typename Record>
std::string ColumnList() {
    std::string list = "id";
    for (const Column<Record>& column : Table<Record>::Columns()) {
        list += std::string(", ") + column.name;
    }
    return list;
}

template <typename Record>
std::string InsertSql() {
    std::string sql = std::string("INSERT OR REPLACE INTO ") + Table<Record>::kName + " (" +
                      ColumnList<Record>() + ") VALUES (?";
    for (std::size_t i = 0; i < Table<Record>::Columns().size(); ++i) {
        sql += ", ?";
    }
    return sql + ")";
}

template <typename Record>
std::string SelectSql() {
    return "SELECT " + ColumnList<Record>() + " FROM " + Table<Record>::kName + " ORDER BY id";
}

// Calls `action` with a null pointer of each record type, in the order of Configuration.
template <typename Action>
void ForEachKind(Action&& action) {
    action(static_cast<PortRecord*>(nullptr));
    action(static_cast<GradeRecord*>(nullptr));
    action(static_cast<TankRecord*>(nullptr));
    action(static_cast<ZigBeeRecord*>(nullptr));
    action(static_cast<PumpRecord*>(nullptr));
    action(static_cast<HoseRecord*>(nullptr));
    action(static_cast<SensorRecord*>(nullptr));
    action(static_cast<AttendantRecord*>(nullptr));
    action(static_cast<CardClientRecord*>(nullptr));
    action(static_cast<ProductRecord*>(nullptr));
}

// The table of `configuration` that holds records of type Record.
template <typename Record, typename Config>
auto& TableIn(Config& configuration) {
    if constexpr (std::is_same_v<Record, PortRecord>) {
        return configuration.ports;
    } else if constexpr (std::is_same_v<Record, GradeRecord>) {
        return configuration.grades;
    } else if constexpr (std::is_same_v<Record, TankRecord>) {
        return configuration.tanks;
    } else if constexpr (std::is_same_v<Record, ZigBeeRecord>) {
        return configuration.zigBees;
    } else if constexpr (std::is_same_v<Record, PumpRecord>) {
        return configuration.pumps;
    } else if constexpr (std::is_same_v<Record, HoseRecord>) {
        return configuration.hoses;
    } else if constexpr (std::is_same_v<Record, SensorRecord>) {
        return configuration.sensors;
    } else if constexpr (std::is_same_v<Record, AttendantRecord>) {
        return configuration.attendants;
    } else if constexpr (std::is_same_v<Record, CardClientRecord>) {
        return configuration.cardClients;
    } else {
        static_assert(std::is_same_v<Record, ProductRecord>);
        return configuration.products;
    }
}

// Which file a path names: a file removed, or replaced by another one (a restored copy, a
// new database), is no longer the file the server opened.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;

    bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileIdentity{status.st_dev, status.st_ino};
}

}  // namespace

struct StationStore::Database {
    sqlite3* handle = nullptr;
    // The prepared INSERT of each table, by table name.
    std::map<std::string, Statement> inserts;
    // The database file and its write-ahead log as opened. SQLite goes on writing to the
    // files it holds open even once their names are gone, so that a commit would be kept
    // only by a file no one can open again.
    std::optional<FileIdentity> file;
    std::optional<FileIdentity> log;

    ~Database() {
        inserts.clear();
        sqlite3_close(handle);
    }

    // SQLite's text, with the system's reason where one lies behind it ("disk I/O error" alone
    // does not tell a full disk from a missing permission).
    // `callErrno`: errno as the failed call left it, for the errors SQLite keeps no system
    // reason of (a short write is one).
    std::string Error(int callErrno = 0) const {
        std::string text = sqlite3_errmsg(handle);
        int system = sqlite3_system_errno(handle);
        const int code = sqlite3_errcode(handle);
        if (system == 0 && (code == SQLITE_IOERR || code == SQLITE_FULL ||
                            code == SQLITE_CANTOPEN || code == SQLITE_READONLY)) {
            system = callErrno;
        }
        if (system != 0) {
            text += std::string(" (") + std::strerror(system) + ")";
        }
        return text;
    }

    bool Execute(const std::string& sql, std::string& error) {
        char* message = nullptr;
        if (sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) {
            return true;
        }
        error = message != nullptr ? message : Error();
        sqlite3_free(message);
        return false;
    }

    Statement Prepare(const std::string& sql) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr);
        return Statement(statement);
    }

    // The single integer that `sql` yields; false when it yields none.
    bool QueryInteger(const std::string& sql, std::int64_t& value) {
        Statement statement = Prepare(sql);
        if (!statement || sqlite3_step(statement.get()) != SQLITE_ROW ||
            sqlite3_column_type(statement.get(), 0) != SQLITE_INTEGER) {
            return false;
        }
        value = sqlite3_column_int64(statement.get(), 0);
        return true;
    }

    template <typename Record>
    bool Insert(const Record& record, std::string& error) {
        Statement& statement = inserts[Table<Record>::kName];
        if (!statement) {
            statement = Prepare(InsertSql<Record>());
            if (!statement) {
                error = Error();
                return false;
            }
        }
        sqlite3_stmt* insert = statement.get();
        int rc = sqlite3_bind_int64(insert, 1, record.id);
        int index = 2;
        for (const Column<Record>& column : Table<Record>::Columns()) {
            if (rc == SQLITE_OK) {
                rc = BindValue(insert, index++, column.get(record));
            }
        }
        if (rc == SQLITE_OK) {
            errno = 0;
            rc = sqlite3_step(insert);
        }
        if (rc != SQLITE_DONE) {
            error = Error(errno);
        }
        sqlite3_reset(insert);
        sqlite3_clear_bindings(insert);
        return rc == SQLITE_DONE;
    }

    template <typename Record>
    bool Select(RecordTable<Record>& table, std::string& error) {
        Statement statement = Prepare(SelectSql<Record>());
        if (!statement) {
            error = Error();
            return false;
        }
        const auto& columns = Table<Record>::Columns();
        int rc;
        while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
            Record record;
            ColumnValue id;
            if (!ReadValue(statement.get(), 0, ColumnType::kInteger, id)) {
                error = std::string("a row of ") + Table<Record>::kName + " has no valid id";
                return false;
            }
            // Setters refuse an identifier below 1, and a record's identifier is 32 bits.
            if (std::string range;
                !InRange(id, 1, std::numeric_limits<std::int32_t>::max(), range)) {
                error = std::string("a row of ") + Table<Record>::kName + " has the id " + range;
                return false;
            }
            store_detail::FromColumn(id, record.id);
            for (std::size_t i = 0; i < columns.size(); ++i) {
                ColumnValue value;
                const std::string where = std::string("column ") + columns[i].name + " of " +
                                          Table<Record>::kName + " " + std::to_string(record.id);
                if (!ReadValue(statement.get(), static_cast<int>(i + 1), columns[i].type, value)) {
                    error = where + " holds a value of the wrong type";
                    return false;
                }
                if (std::string range;
                    !InRange(value, columns[i].minimum, columns[i].maximum, range)) {
                    error = where + " holds " + range;
                    return false;
                }
                columns[i].set(record, value);
            }
            table.Put(std::move(record));
        }
        if (rc != SQLITE_DONE) {
            error = Error();
            return false;
        }
        return true;
    }

    // Creates every table and stores `configuration`, inside the caller's transaction.
    bool Create(const Configuration& configuration, std::string& error) {
        bool ok = Execute("CREATE TABLE station_meta (key TEXT PRIMARY KEY, value)", error) &&
                  Execute("INSERT INTO station_meta VALUES ('schema_version', " +
                              std::to_string(kSchemaVersion) + ")",
                          error);
        ForEachKind([&](auto* kind) {
            using Record = std::remove_pointer_t<decltype(kind)>;
            ok = ok && Execute(CreateTableSql<Record>(), error);
            for (const Record& record : TableIn<Record>(configuration)) {
                ok = ok && Insert(record, error);
            }
        });
        return ok;
    }

    // True when `path` and its log still name the files that were opened; otherwise false
    // with `error` saying which one is gone.
    bool InPlace(const std::string& path, std::string& error) const {
        if (IdentityOf(path) != file) {
            error = "the database file was removed or replaced while the server ran";
            return false;
        }
        if (log && IdentityOf(path + "-wal") != log) {
            error =
                "its write-ahead log " + path + "-wal was removed or replaced while the server ran";
            return false;
        }
        return true;
    }
};

namespace {

// True when the database file may be written (or created) and its folder receives the log
// files; otherwise false with `error` naming the file and the reason.
bool Writable(const std::string& path, std::string& error) {
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    struct stat status {};
    if (stat(path.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode)) {
            error = path + ": not a regular file";
            return false;
        }
        if (faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) != 0) {
            error = path + ": " + std::strerror(errno);
            return false;
        }
    }
    if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        error =
            path + ": the folder " + folder + " cannot be written (" + std::strerror(errno) + ")";
        return false;
    }
    return true;
}

}  // namespace

StationStore::StationStore() = default;
StationStore::~StationStore() = default;

bool StationStore::Open(const std::string& path, const std::function<Configuration()>& seed) {
    auto database = std::make_unique<Database>();
    created_ = false;
    path_ = path;
    // SQLite reports a file it may not write as busy or as a bare I/O error: the file and the
    // folder that receives its log files are checked first, so that the reason is told.
    if (!Writable(path, error_)) {
        return false;
    }
    if (sqlite3_open_v2(path.c_str(), &database->handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        error_ = path + ": " + (database->handle != nullptr ? database->Error() : "out of memory");
        return false;
    }
    // Exclusive locking keeps the file to this server; in WAL mode a commit is one append to
    // the log, which a killed process cannot undo (only a failing machine could).
    std::string error;
    bool ok = database->Execute("PRAGMA locking_mode = EXCLUSIVE", error) &&
              database->Execute("PRAGMA journal_mode = WAL", error) &&
              database->Execute("PRAGMA synchronous = NORMAL", error) &&
              database->Execute("BEGIN IMMEDIATE", error);
    if (!ok && sqlite3_errcode(database->handle) == SQLITE_BUSY) {
        error = "the database is in use by another server";
    }
    std::int64_t tables = 0;
    if (ok && !database->QueryInteger("SELECT count(*) FROM sqlite_schema", tables)) {
        error = database->Error();
        ok = false;
    }
    if (ok && tables == 0) {
        ok = database->Create(seed(), error);
        created_ = ok;
    } else if (ok) {
        std::int64_t version = 0;
        if (!database->QueryInteger("SELECT value FROM station_meta WHERE key = 'schema_version'",
                                    version)) {
            error = "not a station database";
            ok = false;
        } else if (version != kSchemaVersion) {
            error = "station database of schema version " + std::to_string(version) +
                    ", this server reads version " + std::to_string(kSchemaVersion);
            ok = false;
        }
    }
    ok = ok && database->Execute("COMMIT", error);
    if (!ok) {
        created_ = false;
        error_ = path + ": " + error;
        return false;
    }
    database->file = IdentityOf(path);
    database->log = IdentityOf(path + "-wal");
    database_ = std::move(database);
    return true;
}

bool StationStore::Load(Configuration& configuration) {
    if (!database_) {
        error_ = "no database is open";
        return false;
    }
    Configuration loaded;
    bool ok = true;
    ForEachKind([&](auto* kind) {
        using Record = std::remove_pointer_t<decltype(kind)>;
        ok = ok && database_->Select(TableIn<Record>(loaded), error_);
    });
    if (ok) {
        configuration = std::move(loaded);
    }
    return ok;
}

template <typename Record>
bool StationStore::Save(const Record& record) {
    if (!database_) {
        error_ = "no database is open";
        return false;
    }
    // Checked after the commit, so that a file removed while it was written is caught too.
    if (!database_->Insert(record, error_) || !database_->InPlace(path_, error_)) {
        error_ = path_ + ": " + error_;
        return false;
    }
    return true;
}

bool StationStore::RemoveCreated() {
    if (!created_ || !database_) {
        return false;
    }
    database_.reset();
    created_ = false;
    for (const char* suffix : {"", "-wal", "-shm"}) {
        unlink((path_ + suffix).c_str());
    }
    return true;
}

template bool StationStore::Save(const PortRecord&);
template bool StationStore::Save(const GradeRecord&);
template bool StationStore::Save(const TankRecord&);
template bool StationStore::Save(const ZigBeeRecord&);
template bool StationStore::Save(const PumpRecord&);
template bool StationStore::Save(const HoseRecord&);
template bool StationStore::Save(const SensorRecord&);
template bool StationStore::Save(const AttendantRecord&);
template bool StationStore::Save(const CardClientRecord&);
template bool StationStore::Save(const ProductRecord&);

}  // namespace kestro
