#pragma once
// What the store's files share of the database: the connection, the schema and the
// reading of a member's figures. Private to the store.

#include <SQLiteCpp/SQLiteCpp.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "portal/server/member_store.h"

namespace hw::portal::database {

// Opens a connection; writers wait for each other's transactions behind a busy timeout.
SQLite::Database Connect(const std::filesystem::path& file);

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
