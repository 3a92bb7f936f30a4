#pragma once
// What the store's files share of the database: the connection, the schema and the
// reading of a member's figures. Private to the store.

#include <SQLiteCpp/SQLiteCpp.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "portal/server/member_store.h"

namespace hw::portal::database {

// Opens a connection; writers wait for each other's transactions behind a busy timeout.
// In WAL mode a commit is on disk once the log is checkpointed: a killed process loses no
// committed transaction (only a power failure may lose the last ones).
SQLite::Database Connect(const std::filesystem::path& file);

// The store's connections, kept open and lent out again: opening one and reading the
// schema costs more than most of the store's statements. A connection is lent to one
// caller at a time; when all are lent, another is opened, and up to `keep` stay open.
class Pool {
 public:
  Pool(std::filesystem::path file, std::size_t keep) : file_(std::move(file)), keep_(keep) {}

  // A connection for as long as the lease lives; a transaction left open is rolled back
  // by its SQLite::Transaction before the connection goes back.
  class Lease {
   public:
    Lease(Pool& pool, std::unique_ptr<SQLite::Database> db) : pool_(pool), db_(std::move(db)) {}
    ~Lease() { pool_.Return(std::move(db_)); }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    operator SQLite::Database&() { return *db_; }
    SQLite::Database* operator->() { return db_.get(); }

   private:
    Pool& pool_;
    std::unique_ptr<SQLite::Database> db_;
  };
  Lease Borrow();

  // Held by every write transaction of this process (WriteTransaction).
  std::mutex& write_mutex() { return write_mutex_; }

 private:
  void Return(std::unique_ptr<SQLite::Database> db);

  std::filesystem::path file_;
  std::size_t keep_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<SQLite::Database>> idle_;
  std::mutex write_mutex_;
};
using Lease = Pool::Lease;

// A write transaction (BEGIN IMMEDIATE) that first takes the pool's write lock: writers
// of this process queue on a mutex, at once in turn, rather than on SQLite's busy
// timeout, which polls with sleeps of up to 100 ms. Rolled back unless committed.
class WriteTransaction {
 public:
  WriteTransaction(Pool& pool, SQLite::Database& db)
      : lock_(pool.write_mutex()), transaction_(db, SQLite::TransactionBehavior::IMMEDIATE) {}
  // Commits and lets the next writer in at once.
  void commit() {
    transaction_.commit();
    lock_.unlock();
  }

 private:
  std::unique_lock<std::mutex> lock_;  // released after the transaction has ended (declared first)
  SQLite::Transaction transaction_;
};

// Makes the database's files readable and writable by their owner only (a file made by an
// older portal may be readable by everyone).
void KeepToOwner(SQLite::Database& db);

// Creates the tables that are missing and brings the tables of an older file up to date.
// Runs inside the caller's transaction.
void CreateSchema(SQLite::Database& db);

// The columns ReadFigures() reads, in its order, after "SELECT " and before `rest`.
std::string SelectFigures(std::string_view rest);
MemberFigures ReadFigures(SQLite::Statement& row);
std::optional<MemberFigures> FindIn(SQLite::Database& db, const std::string& name);

std::optional<std::string> PasswordHashOf(SQLite::Database& db, const std::string& name);

// Whether `session` is the member's current one.
bool SessionMatches(SQLite::Database& db, const std::string& name, std::string_view session);

}  // namespace hw::portal::database
