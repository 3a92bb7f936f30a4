// The PostgreSQL backend: a database that several portal processes share. Writers take a
// transaction-scoped advisory lock at their start, so that they run one after another
// across all processes, as SQLite's writers do across connections.

#include <pqxx/pqxx>

#include <unordered_map>

#include "portal/server/sql.h"

namespace hw::portal::sql {
namespace {

// The advisory lock every writer of the portal takes ("hwatable" on a phone keypad).
constexpr const char* kTakeWriteLock = "SELECT pg_advisory_xact_lock(49282253)";

// The statement with "?" numbered as PostgreSQL wants them, "$1", "$2"…; a "?" inside a
// quoted text stays.
std::string Numbered(const std::string& statement) {
  std::string numbered;
  int count = 0;
  char quote = 0;
  for (const char c : statement) {
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '?') {
      numbered += "$" + std::to_string(++count);
      continue;
    }
    numbered += c;
  }
  return numbered;
}

class PostgresConnection final : public Connection {
 public:
  explicit PostgresConnection(const std::string& address) : connection_(address) {}

  Kind kind() const override { return Kind::kPostgres; }

  Rows Query(const std::string& statement, const Params& params) override {
    const pqxx::result result = Run(statement, params);
    Rows rows;
    rows.reserve(result.size());
    for (const pqxx::row& row : result) {
      std::vector<std::optional<std::string>> columns;
      columns.reserve(row.size());
      for (const pqxx::field& field : row)
        columns.push_back(field.is_null() ? std::nullopt
                                          : std::optional<std::string>(field.c_str()));
      rows.emplace_back(std::move(columns));
    }
    return rows;
  }

  std::int64_t Execute(const std::string& statement, const Params& params) override {
    return static_cast<std::int64_t>(Run(statement, params).affected_rows());
  }

  void Script(const std::string& statements) override {
    Guarded([&] {
      if (work_) {
        work_->exec(statements);
      } else {
        pqxx::nontransaction once(connection_);
        once.exec(statements);
      }
      return pqxx::result();
    });
  }

 protected:
  void BeginWrite() override {
    Guarded([&] {
      work_ = std::make_unique<pqxx::work>(connection_);
      return work_->exec(kTakeWriteLock);
    });
  }
  void Commit() override {
    Guarded([&] {
      work_->commit();
      work_.reset();
      return pqxx::result();
    });
  }
  void Rollback() noexcept override {
    try {
      if (work_) work_->abort();
    } catch (...) {  // a lost connection has rolled back by itself
      lost_ = true;
    }
    work_.reset();
  }
  bool Reusable() const override { return !lost_ && !work_ && connection_.is_open(); }

 private:
  template <typename Action>
  pqxx::result Guarded(Action action) {
    try {
      return action();
    } catch (const pqxx::unique_violation& error) {
      throw UniqueViolation(error.what());
    } catch (const pqxx::broken_connection& error) {
      lost_ = true;
      throw Error(std::string("the database connection was lost: ") + error.what());
    } catch (const Error&) {
      throw;
    } catch (const std::exception& error) {
      throw Error(error.what());
    }
  }

  pqxx::result Run(const std::string& statement, const Params& params) {
    return Guarded([&] {
      auto found = prepared_.find(statement);
      if (found == prepared_.end()) {
        const std::string name = "s" + std::to_string(prepared_.size() + 1);
        connection_.prepare(name, Numbered(statement));
        found = prepared_.emplace(statement, name).first;
      }
      // Every parameter goes as text (NULL as a null pointer); the server reads it as the
      // type its place wants.
      std::vector<std::string> texts;
      texts.reserve(params.size());
      std::vector<const char*> values;
      for (const Param& param : params) {
        if (const auto* number = std::get_if<std::int64_t>(&param)) {
          texts.push_back(std::to_string(*number));
        } else if (const auto* text = std::get_if<std::string>(&param)) {
          texts.push_back(*text);
        } else {
          texts.emplace_back();
        }
      }
      for (std::size_t n = 0; n < params.size(); ++n)
        values.push_back(std::holds_alternative<std::nullptr_t>(params[n]) ? nullptr
                                                                           : texts[n].c_str());
      const auto dynamic = pqxx::prepare::make_dynamic_params(values);
      if (work_) return work_->exec_prepared(found->second, dynamic);
      pqxx::nontransaction once(connection_);
      return once.exec_prepared(found->second, dynamic);
    });
  }

  pqxx::connection connection_;
  std::unique_ptr<pqxx::work> work_;
  std::unordered_map<std::string, std::string> prepared_;
  bool lost_ = false;
};

}  // namespace

std::unique_ptr<Connection> ConnectPostgres(const std::string& address) {
  try {
    return std::make_unique<PostgresConnection>(address);
  } catch (const std::exception& error) {
    throw Error(std::string("cannot connect to the PostgreSQL database: ") + error.what());
  }
}

}  // namespace hw::portal::sql
