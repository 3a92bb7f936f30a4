#include "portal/server/store_database.h"

#include "platform/digest.h"
#include "portal/server/member_names.h"

namespace hw::portal::database {
namespace {

// Writers wait this long for each other's transactions before giving up.
constexpr int kBusyTimeoutMs = 10000;

// members: one row per member. A file made before the portal dealt the hands may still
// have a column session_money, which nothing reads any more. name_look is the look key of
// the name (member_names.h), unique (members_by_look, made in CreateSchema); it is NULL
// for a member whose name looked like an earlier member's before the keys were kept.
//
// hands: every hand dealt. The figures "_at_deal" are the member's when it was dealt:
// the replay starts from them, and the money it moves (money_change) is added to the
// member's figures of the moment it settles, so that money given meanwhile (a top-up,
// the operator) stays given. The ids are never reused (AUTOINCREMENT): a hand's id is
// part of the seed of its deal.
//
// server_seeds: one secret seed per local calendar day, which deals that day's hands.
//
// money_changes: the operator's changes of a member's money.
constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS members (
  name TEXT PRIMARY KEY NOT NULL,
  password_hash TEXT NOT NULL,
  recovery_digest TEXT NOT NULL,
  avatar INTEGER NOT NULL CHECK (avatar BETWEEN 1 AND 6),
  voice TEXT NOT NULL CHECK (voice IN ('M', 'F')),
  money TEXT NOT NULL CHECK (money <> '' AND money NOT GLOB '*[^0-9]*'),
  wins INTEGER NOT NULL DEFAULT 0 CHECK (wins >= 0),
  losses INTEGER NOT NULL DEFAULT 0 CHECK (losses >= 0),
  draws INTEGER NOT NULL DEFAULT 0 CHECK (draws >= 0),
  missions INTEGER NOT NULL DEFAULT 0 CHECK (missions >= 0),
  session_digest TEXT,
  last_top_up TEXT NOT NULL DEFAULT '',
  created TEXT NOT NULL,
  member_first INTEGER NOT NULL DEFAULT 1 CHECK (member_first IN (0, 1)),
  name_look TEXT
);
CREATE TABLE IF NOT EXISTS server_seeds (
  day TEXT PRIMARY KEY NOT NULL,
  seed TEXT NOT NULL,
  commitment TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS hands (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  member TEXT NOT NULL REFERENCES members (name),
  seed_day TEXT NOT NULL REFERENCES server_seeds (day),
  game_seed TEXT NOT NULL,
  stake TEXT NOT NULL,
  service_cards INTEGER NOT NULL CHECK (service_cards BETWEEN 0 AND 5),
  deck TEXT NOT NULL DEFAULT '',
  mission INTEGER NOT NULL DEFAULT 0,
  member_first INTEGER NOT NULL CHECK (member_first IN (0, 1)),
  dealt TEXT NOT NULL,
  dealt_at INTEGER NOT NULL,
  money_at_deal TEXT NOT NULL,
  wins_at_deal INTEGER NOT NULL,
  losses_at_deal INTEGER NOT NULL,
  draws_at_deal INTEGER NOT NULL,
  missions_at_deal INTEGER NOT NULL,
  state TEXT NOT NULL DEFAULT 'dealt' CHECK (state IN ('dealt', 'settled')),
  settled_by TEXT CHECK (settled_by IN ('record', 'idle')),
  outcome TEXT CHECK (outcome IN ('won', 'lost', 'drawn', 'void')),
  money_change TEXT,
  record TEXT,
  reply TEXT,
  settled TEXT
);
CREATE INDEX IF NOT EXISTS hands_of_member ON hands (member, id);
CREATE INDEX IF NOT EXISTS open_hands ON hands (dealt_at) WHERE state = 'dealt';
CREATE INDEX IF NOT EXISTS open_hands_of_member ON hands (member) WHERE state = 'dealt';
CREATE TABLE IF NOT EXISTS money_changes (
  id INTEGER PRIMARY KEY,
  member TEXT NOT NULL,
  changed TEXT NOT NULL,
  old_money TEXT NOT NULL,
  new_money TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS money_changes_of_member ON money_changes (member, id);
)sql";

bool HasColumn(SQLite::Database& db, const char* table, const char* column) {
  SQLite::Statement columns(db, std::string("PRAGMA table_info(") + table + ")");
  while (columns.executeStep()) {
    if (columns.getColumn(1).getString() == column) return true;
  }
  return false;
}

// Members from before the look keys, or added by a program that did not know them, get
// their name's key, the earliest to sign up first. A member whose name looks like one
// already keyed keeps none (NULLs never collide), and so keeps his name; a new look-alike
// of either is still refused by the other's key. A name stored before names were composed
// (NFC) is composed first, in the member's hands and money changes too, so that he still
// logs in, unless another member holds the composed name.
void KeyNames(SQLite::Database& db) {
  std::vector<std::string> unkeyed;
  SQLite::Statement select(
      db, "SELECT name FROM members WHERE name_look IS NULL ORDER BY created, name");
  while (select.executeStep())
    unkeyed.push_back(select.getColumn(0).getString());
  SQLite::Statement update(db, "UPDATE OR IGNORE members SET name_look = ? WHERE name = ?");
  for (std::string name : unkeyed) {
    const std::string composed = NormalizedName(name);
    if (!composed.empty() && composed != name && !FindIn(db, composed)) {
      for (const char* rename : {"UPDATE members SET name = ?1 WHERE name = ?2",
                                 "UPDATE hands SET member = ?1 WHERE member = ?2",
                                 "UPDATE money_changes SET member = ?1 WHERE member = ?2"}) {
        SQLite::Statement statement(db, rename);
        statement.bind(1, composed);
        statement.bind(2, name);
        statement.exec();
      }
      name = composed;
    }
    update.bind(1, LookKey(name));
    update.bind(2, name);
    update.exec();
    update.reset();
  }
}

}  // namespace

SQLite::Database Connect(const std::filesystem::path& file) {
  SQLite::Database db(file, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE, kBusyTimeoutMs);
  db.exec("PRAGMA synchronous = NORMAL");
  return db;
}

Pool::Lease Pool::Borrow() {
  {
    const std::lock_guard lock(mutex_);
    if (!idle_.empty()) {
      std::unique_ptr<SQLite::Database> db = std::move(idle_.back());
      idle_.pop_back();
      return Lease(*this, std::move(db));
    }
  }
  return Lease(*this, std::make_unique<SQLite::Database>(Connect(file_)));
}

void Pool::Return(std::unique_ptr<SQLite::Database> db) {
  if (db == nullptr) return;
  const std::lock_guard lock(mutex_);
  if (idle_.size() < keep_) idle_.push_back(std::move(db));
}

void CreateSchema(SQLite::Database& db) {
  db.exec(kSchema);
  // Files from before the portal dealt the hands.
  if (!HasColumn(db, "members", "member_first")) {
    db.exec(
        "ALTER TABLE members ADD COLUMN member_first INTEGER NOT NULL DEFAULT 1 "
        "CHECK (member_first IN (0, 1))");
  }
  // Files from before the look keys.
  if (!HasColumn(db, "members", "name_look")) {
    db.exec("ALTER TABLE members ADD COLUMN name_look TEXT");
  }
  db.exec("CREATE UNIQUE INDEX IF NOT EXISTS members_by_look ON members (name_look)");
  KeyNames(db);
}

std::string SelectFigures(std::string_view rest) {
  return "SELECT name, avatar, voice, money, wins, losses, draws, missions, created, "
         "last_top_up" +
         std::string(rest);
}

MemberFigures ReadFigures(SQLite::Statement& row) {
  MemberFigures f;
  f.name = row.getColumn(0).getString();
  f.avatar = row.getColumn(1).getInt();
  f.voice = row.getColumn(2).getString();
  f.money = row.getColumn(3).getString();
  f.wins = row.getColumn(4).getInt64();
  f.losses = row.getColumn(5).getInt64();
  f.draws = row.getColumn(6).getInt64();
  f.missions = row.getColumn(7).getInt64();
  f.created = row.getColumn(8).getString();
  f.last_top_up = row.getColumn(9).getString();
  return f;
}

std::optional<MemberFigures> FindIn(SQLite::Database& db, const std::string& name) {
  SQLite::Statement select(db, SelectFigures(" FROM members WHERE name = ?"));
  select.bind(1, name);
  if (!select.executeStep()) return std::nullopt;
  return ReadFigures(select);
}

std::optional<std::string> PasswordHashOf(SQLite::Database& db, const std::string& name) {
  SQLite::Statement select(db, "SELECT password_hash FROM members WHERE name = ?");
  select.bind(1, name);
  if (!select.executeStep()) return std::nullopt;
  return select.getColumn(0).getString();
}

bool SessionMatches(SQLite::Database& db, const std::string& name, std::string_view session) {
  if (session.empty()) return false;
  SQLite::Statement select(db, "SELECT session_digest FROM members WHERE name = ?");
  select.bind(1, name);
  return select.executeStep() && !select.getColumn(0).isNull() &&
         select.getColumn(0).getString() == platform::Sha256Hex(session);
}

}  // namespace hw::portal::database
