// The SQLite backend: one file in WAL mode, readable by its owner only.

#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

#include <filesystem>
#include <unordered_map>

#include "portal/server/sql.h"

namespace hw::portal::sql {
namespace {

// Writers wait this long for each other's transactions (other processes') before giving up.
constexpr int kBusyTimeoutMs = 10000;

[[noreturn]] void Rethrow(const SQLite::Exception& error) {
  const int code = error.getExtendedErrorCode();
  if (code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY) {
    throw UniqueViolation(error.what());
  }
  throw Error(error.what());
}

// Resets a kept statement once it has been used, also when a step failed: a statement
// stopped before its end keeps its read transaction, and with it an old snapshot, open on
// the connection, which then could not begin a write on the newest one.
class Finished {
 public:
  explicit Finished(SQLite::Statement& statement) : statement_(statement) {}
  ~Finished() {
    try {
      statement_.reset();
    } catch (const SQLite::Exception&) {  // the error was thrown already, by the step
    }
  }
  Finished(const Finished&) = delete;
  Finished& operator=(const Finished&) = delete;

 private:
  SQLite::Statement& statement_;
};

class SqliteConnection final : public Connection {
 public:
  explicit SqliteConnection(const std::string& file)
      : db_(file, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE, kBusyTimeoutMs) {
    db_.exec("PRAGMA journal_mode = WAL");  // stays set in the file
    // A commit is in the log at once and in the file at the next checkpoint: a killed
    // process loses no committed transaction (only a power failure may lose the last).
    db_.exec("PRAGMA synchronous = NORMAL");
    // A file made by an older portal may be readable by everyone.
    for (const char* suffix : {"", "-wal", "-shm"}) {
      std::error_code missing;  // the log and its index come and go with the connections
      std::filesystem::permissions(
          file + suffix, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
          missing);
    }
  }

  Kind kind() const override { return Kind::kSqlite; }

  Rows Query(const std::string& statement, const Params& params) override {
    try {
      SQLite::Statement& prepared = Prepared(statement, params);
      const Finished finished(prepared);
      Rows rows;
      while (prepared.executeStep()) {
        std::vector<std::optional<std::string>> columns;
        for (int column = 0; column < prepared.getColumnCount(); ++column) {
          const SQLite::Column value = prepared.getColumn(column);
          columns.push_back(value.isNull() ? std::nullopt
                                           : std::optional<std::string>(value.getString()));
        }
        rows.emplace_back(std::move(columns));
      }
      return rows;
    } catch (const SQLite::Exception& error) {
      Rethrow(error);
    }
  }

  std::int64_t Execute(const std::string& statement, const Params& params) override {
    try {
      SQLite::Statement& prepared = Prepared(statement, params);
      const Finished finished(prepared);
      while (prepared.executeStep()) {
      }
      return sqlite3_changes(db_.getHandle());
    } catch (const SQLite::Exception& error) {
      Rethrow(error);
    }
  }

  void Script(const std::string& statements) override {
    try {
      db_.exec(statements);
    } catch (const SQLite::Exception& error) {
      Rethrow(error);
    }
  }

 protected:
  // BEGIN IMMEDIATE takes the file's write lock at once, waiting behind the busy timeout
  // for another process's writer.
  void BeginWrite() override { Script("BEGIN IMMEDIATE"); }
  void Commit() override { Script("COMMIT"); }
  void Rollback() noexcept override {
    if (sqlite3_get_autocommit(db_.getHandle()) == 0)
      sqlite3_exec(db_.getHandle(), "ROLLBACK", nullptr, nullptr, nullptr);
  }
  bool Reusable() const override { return sqlite3_get_autocommit(db_.getHandle()) != 0; }

 private:
  SQLite::Statement& Prepared(const std::string& statement, const Params& params) {
    auto found = statements_.find(statement);
    if (found == statements_.end()) {
      found =
          statements_.emplace(statement, std::make_unique<SQLite::Statement>(db_, statement)).first;
    }
    SQLite::Statement& prepared = *found->second;
    prepared.reset();
    prepared.clearBindings();
    int index = 1;
    for (const Param& param : params) {
      if (const auto* number = std::get_if<std::int64_t>(&param)) {
        prepared.bind(index, *number);
      } else if (const auto* text = std::get_if<std::string>(&param)) {
        prepared.bind(index, *text);
      } else {
        prepared.bind(index);
      }
      ++index;
    }
    return prepared;
  }

  SQLite::Database db_;
  std::unordered_map<std::string, std::unique_ptr<SQLite::Statement>> statements_;
};

}  // namespace

std::unique_ptr<Connection> ConnectSqlite(const std::string& file) {
  try {
    return std::make_unique<SqliteConnection>(file);
  } catch (const SQLite::Exception& error) {
    throw Error(file + ": " + error.what());
  }
}

}  // namespace hw::portal::sql
