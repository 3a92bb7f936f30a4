#pragma once
// What the store's files share of the database: the schema and the reading of a member's
// figures. Private to the store.

#include <optional>
#include <string>
#include <string_view>

#include "portal/server/member_store.h"
#include "portal/server/sql.h"

namespace hw::portal::database {

using sql::Connection;

// Creates the tables that are missing and brings the tables of an older file up to date.
// Runs inside the caller's write transaction.
void CreateSchema(Connection& db);

// The columns ReadFigures() reads, in its order, after "SELECT " and before `rest`.
std::string SelectFigures(std::string_view rest);
MemberFigures ReadFigures(const sql::Row& row);
std::optional<MemberFigures> FindIn(Connection& db, const std::string& name);

std::optional<std::string> PasswordHashOf(Connection& db, const std::string& name);

// Whether `session` is the member's current one.
bool SessionMatches(Connection& db, const std::string& name, std::string_view session);

}  // namespace hw::portal::database
