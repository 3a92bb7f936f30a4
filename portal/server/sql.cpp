#include "portal/server/sql.h"

#include <charconv>

namespace hw::portal::sql {

const std::string& Row::Text(std::size_t column) const {
  static const std::string kNull;
  const std::optional<std::string>& value = columns_.at(column);
  return value ? *value : kNull;
}

std::int64_t Row::Int(std::size_t column) const {
  const std::string& text = Text(column);
  std::int64_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size()) {
    throw Error("not a whole number in a column that holds one: \"" + text + "\"");
  }
  return number;
}

std::optional<Row> Connection::QueryRow(const std::string& statement, const Params& params) {
  Rows rows = Query(statement, params);
  if (rows.empty()) return std::nullopt;
  return std::move(rows.front());
}

bool Database::IsPostgres(const std::string& where) {
  return where.starts_with("postgresql://") || where.starts_with("postgres://");
}

std::unique_ptr<Database> Database::Open(const std::string& where, std::size_t keep) {
  std::unique_ptr<Database> database(
      new Database(where, IsPostgres(where) ? Kind::kPostgres : Kind::kSqlite, keep));
  database->Return(database->Connect());  // fails here, at once, when it cannot connect
  return database;
}

Database::Database(std::string where, Kind kind, std::size_t keep)
    : where_(std::move(where)), kind_(kind), keep_(keep) {}

Database::~Database() = default;

std::unique_ptr<Connection> Database::Connect() const {
  return kind_ == Kind::kPostgres ? ConnectPostgres(where_) : ConnectSqlite(where_);
}

Database::Lease Database::Borrow() {
  {
    const std::lock_guard lock(mutex_);
    if (!idle_.empty()) {
      std::unique_ptr<Connection> connection = std::move(idle_.back());
      idle_.pop_back();
      return Lease(*this, std::move(connection));
    }
  }
  return Lease(*this, Connect());
}

void Database::Return(std::unique_ptr<Connection> connection) {
  if (connection == nullptr || !connection->Reusable()) return;
  const std::lock_guard lock(mutex_);
  if (idle_.size() < keep_) idle_.push_back(std::move(connection));
}

WriteTransaction::WriteTransaction(Database& database, Lease& connection)
    : lock_(database.write_mutex_), connection_(*connection) {
  connection_.BeginWrite();
}

WriteTransaction::~WriteTransaction() {
  if (open_) connection_.Rollback();
}

void WriteTransaction::Commit() {
  connection_.Commit();
  open_ = false;
  lock_.unlock();
}

}  // namespace hw::portal::sql
