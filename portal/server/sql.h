#pragma once
// The portal's SQL database, whichever it is: an SQLite file on this machine (the default)
// or a PostgreSQL server that several portal processes share. The store writes its
// statements once, in the SQL both understand, with "?" for each parameter in order.
//
// Connections are kept open and lent out again (Database::Borrow); each keeps its
// statements prepared. A write runs in a WriteTransaction, which takes the database's
// write lock at its start, so that writers run one after another — across processes too —
// and a transaction sees nothing change under it between its reads and its writes.
// Readers never wait for writers: both databases let them read the last committed state.
//
// Failures are thrown as sql::Error (a unique key already taken as sql::UniqueViolation);
// an open transaction is then rolled back when its WriteTransaction ends.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace hw::portal::sql {

struct Error : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// An insert or update that would give a unique column a value it already holds.
struct UniqueViolation : Error {
  using Error::Error;
};

// A statement's parameter: NULL, a number or a text.
using Param = std::variant<std::nullptr_t, std::int64_t, std::string>;
using Params = std::vector<Param>;

// One row of a result, its columns as text (numbers in decimal), NULL as nothing.
class Row {
 public:
  explicit Row(std::vector<std::optional<std::string>> columns) : columns_(std::move(columns)) {}
  bool IsNull(std::size_t column) const { return !columns_.at(column); }
  // The column's text; "" for NULL.
  const std::string& Text(std::size_t column) const;
  // The column as a whole number; throws sql::Error when it is not one.
  std::int64_t Int(std::size_t column) const;

 private:
  std::vector<std::optional<std::string>> columns_;
};
using Rows = std::vector<Row>;

enum class Kind { kSqlite, kPostgres };

// One connection; used by one thread at a time.
class Connection {
 public:
  virtual ~Connection() = default;
  virtual Kind kind() const = 0;
  // Runs one statement and gives its rows (none for most writes).
  virtual Rows Query(const std::string& statement, const Params& params = {}) = 0;
  // Runs one statement and gives how many rows it changed.
  virtual std::int64_t Execute(const std::string& statement, const Params& params = {}) = 0;
  // Runs statements without parameters, one after another (the schema).
  virtual void Script(const std::string& statements) = 0;

  // The first row, if any.
  std::optional<Row> QueryRow(const std::string& statement, const Params& params = {});

 protected:
  friend class WriteTransaction;
  // Begins a transaction holding the database's write lock, which other connections and
  // other processes wait for.
  virtual void BeginWrite() = 0;
  virtual void Commit() = 0;
  virtual void Rollback() noexcept = 0;
  // Whether the connection may be lent out again (not lost, no transaction left open).
  virtual bool Reusable() const = 0;
  friend class Database;
};

class Database {
 public:
  // Opens an SQLite file (created when missing, in WAL mode, readable by its owner only)
  // or, for an address "postgresql://…" or "postgres://…", a PostgreSQL database.
  // Throws sql::Error when it cannot.
  static std::unique_ptr<Database> Open(const std::string& where, std::size_t keep = 8);
  static bool IsPostgres(const std::string& where);

  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // A connection for as long as the lease lives.
  class Lease {
   public:
    Lease(Database& database, std::unique_ptr<Connection> connection)
        : database_(database), connection_(std::move(connection)) {}
    ~Lease() { database_.Return(std::move(connection_)); }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    Connection& operator*() { return *connection_; }
    Connection* operator->() { return connection_.get(); }

   private:
    Database& database_;
    std::unique_ptr<Connection> connection_;
  };
  Lease Borrow();
  Kind kind() const { return kind_; }

 private:
  friend class WriteTransaction;
  Database(std::string where, Kind kind, std::size_t keep);
  std::unique_ptr<Connection> Connect() const;
  void Return(std::unique_ptr<Connection> connection);

  std::string where_;
  Kind kind_;
  std::size_t keep_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<Connection>> idle_;
  // Writers of this process queue here, in turn, before they queue on the database's own
  // lock (SQLite's busy wait polls with sleeps of up to 100 ms).
  std::mutex write_mutex_;
};
using Lease = Database::Lease;

// A write transaction on a borrowed connection; rolled back unless committed.
class WriteTransaction {
 public:
  WriteTransaction(Database& database, Lease& connection);
  ~WriteTransaction();
  WriteTransaction(const WriteTransaction&) = delete;
  WriteTransaction& operator=(const WriteTransaction&) = delete;
  // Commits and lets the next writer in at once.
  void Commit();

 private:
  std::unique_lock<std::mutex> lock_;
  Connection& connection_;
  bool open_ = true;
};

// The backends (sql_sqlite.cpp, sql_postgres.cpp).
std::unique_ptr<Connection> ConnectSqlite(const std::string& file);
std::unique_ptr<Connection> ConnectPostgres(const std::string& address);

}  // namespace hw::portal::sql
