#include "portal/server/member_store.h"

#include <array>
#include <ctime>

#include "platform/digest.h"
#include "portal/server/member_names.h"
#include "portal/server/store_database.h"
#include "rules/game_state.h"
#include "rules/missions_ranks.h"
#include "rules/money.h"

namespace hw::portal {
namespace {

// Connections kept open for the server's threads (more are opened when all are busy).
constexpr std::size_t kKeptConnections = 8;

using database::FindIn;
using database::PasswordHashOf;
using database::ReadFigures;
using database::SelectFigures;

// The code points of a UTF-8 text, or nothing when it is not valid UTF-8 (overlong
// forms, surrogates and values past U+10FFFF included).
std::optional<std::vector<char32_t>> DecodeUtf8(std::string_view text) {
  std::vector<char32_t> points;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = 0;
    char32_t point = lead;
    char32_t lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1;
      point = lead & 0x1F;
      lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2;
      point = lead & 0x0F;
      lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3;
      point = lead & 0x07;
      lowest = 0x10000;
    } else if (lead >= 0x80) {
      return std::nullopt;
    }
    if (text.size() - i <= static_cast<std::size_t>(extra)) return std::nullopt;
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      point = (point << 6) | (next & 0x3F);
    }
    if (point < lowest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
      return std::nullopt;
    }
    points.push_back(point);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return points;
}

bool IsControl(char32_t point) {
  return point < 0x20 || (point >= 0x7F && point <= 0x9F);
}

// Text of `min` to `max` characters, valid UTF-8, without control characters.
bool IsPlainText(std::string_view text, std::size_t min, std::size_t max) {
  const auto points = DecodeUtf8(text);
  if (!points || points->size() < min || points->size() > max) return false;
  for (char32_t point : *points) {
    if (IsControl(point)) return false;
  }
  return true;
}

SignUpRefusal NameRefusal(NameProblem problem) {
  switch (problem) {
    case NameProblem::kEdgeSpace:
      return SignUpRefusal::kNameEdgeSpace;
    case NameProblem::kMixedScripts:
      return SignUpRefusal::kNameMixedScripts;
    case NameProblem::kLength:
    case NameProblem::kForbiddenCharacter:
      break;
  }
  return SignUpRefusal::kBadName;
}

bool LookTaken(sql::Connection& db, const std::string& look) {
  return db.QueryRow("SELECT 1 FROM members WHERE name_look = ?", {look}).has_value();
}

// The game's rank table, built once.
const GameState& RankState() {
  static const GameState ranks = [] {
    GameState state;
    BuildRankTable(state);
    return state;
  }();
  return ranks;
}

}  // namespace

bool IsValidMemberName(std::string_view name) {
  return std::holds_alternative<CheckedName>(CheckMemberName(name));
}

bool IsValidPassword(std::string_view password) {
  return IsPlainText(password, 4, 64);
}

std::optional<std::string> ParseMoney(std::string_view text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  return BigAdd(text, "0");
}

std::string RankTitle(std::string_view money) {
  return RankOfMoney(RankState(), money);
}

std::vector<RankRange> RankRanges() {
  std::vector<RankRange> ranges;
  for (int index = 0; index < kRanks; ++index) {
    const RankRecord& rank = RankState().Ranks[static_cast<std::size_t>(index)];
    ranges.push_back({rank.Title, rank.MinMoney, rank.MaxMoney == "-1" ? "" : rank.MaxMoney});
  }
  return ranges;
}

MemberStore::MemberStore(const std::string& database, StoreOptions options)
    : db_(sql::Database::Open(database, kKeptConnections)), options_(std::move(options)) {
  if (!options_.clock) options_.clock = [] { return std::chrono::system_clock::now(); };
  sql::Lease db = db_->Borrow();
  sql::WriteTransaction transaction(*db_, db);
  database::CreateSchema(*db);
  transaction.Commit();
  KeepSeedsAhead();
}

MemberStore::~MemberStore() = default;

std::string MemberStore::LocalTime(const char* format) const {
  const std::time_t now = std::chrono::system_clock::to_time_t(options_.clock());
  std::tm local{};
  localtime_r(&now, &local);
  std::array<char, 32> text{};
  std::strftime(text.data(), text.size(), format, &local);
  return text.data();
}

std::string MemberStore::LocalDay(int days_from_today) const {
  const std::time_t now = std::chrono::system_clock::to_time_t(options_.clock());
  std::tm local{};
  localtime_r(&now, &local);
  // By the calendar, not by adding hours: a day may have 23 or 25 of them.
  local.tm_mday += days_from_today;
  local.tm_hour = 12;
  local.tm_min = 0;
  local.tm_sec = 0;
  local.tm_isdst = -1;
  const std::time_t noon = std::mktime(&local);
  localtime_r(&noon, &local);
  std::array<char, 16> text{};
  std::strftime(text.data(), text.size(), "%Y-%m-%d", &local);
  return text.data();
}

std::int64_t MemberStore::NowSeconds() const {
  return std::chrono::duration_cast<std::chrono::seconds>(options_.clock().time_since_epoch())
      .count();
}

void MemberStore::Note(const std::string& line) const {
  if (options_.note) options_.note(line);
}

bool MemberStore::CheckPassword(const std::optional<std::string>& hash,
                                std::string_view password) const {
  if (hash) return PasswordMatches(*hash, password);
  std::call_once(decoy_once_, [this] { decoy_hash_ = HashPassword("decoy", options_.hash_cost); });
  PasswordMatches(decoy_hash_, password);
  return false;
}

SignUpResult MemberStore::AddMember(const NewMember& member) {
  const std::variant<CheckedName, NameProblem> checked = CheckMemberName(member.name);
  if (const NameProblem* problem = std::get_if<NameProblem>(&checked)) {
    return {NameRefusal(*problem), {}};
  }
  const auto& [name, look] = std::get<CheckedName>(checked);
  if (look == LookKey(kComputerName)) return {SignUpRefusal::kComputersName, {}};
  if (!IsValidPassword(member.password)) return {SignUpRefusal::kBadPassword, {}};
  if (member.avatar < 1 || member.avatar > 6) return {SignUpRefusal::kBadAvatar, {}};
  if (member.voice != "M" && member.voice != "F") return {SignUpRefusal::kBadVoice, {}};
  const std::optional<std::string> money = ParseMoney(member.money);
  if (!money) return {SignUpRefusal::kBadMoney, {}};
  sql::Lease db = db_->Borrow();
  // Spare the hashing.
  if (FindIn(*db, name)) return {SignUpRefusal::kNameTaken, {}};
  if (LookTaken(*db, look)) return {SignUpRefusal::kNameLooksAlike, {}};

  const std::string code = NewRecoveryCode();
  const std::string hash = HashPassword(member.password, options_.hash_cost);
  sql::WriteTransaction transaction(*db_, db);
  if (FindIn(*db, name)) return {SignUpRefusal::kNameTaken, {}};
  try {
    db->Execute(
        "INSERT INTO members (name, password_hash, recovery_digest, avatar, voice, money, "
        "created, name_look) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
        {name, hash, platform::Sha256Hex(NormalizeRecoveryCode(code)), member.avatar, member.voice,
         *money, LocalTime("%Y-%m-%d %H:%M:%S"), look});
  } catch (const sql::UniqueViolation&) {
    // A look-alike name taken since the check above: the unique index on the look keys
    // decides.
    return {SignUpRefusal::kNameLooksAlike, {}};
  }
  transaction.Commit();
  return {std::nullopt, code};
}

std::optional<MemberFigures> MemberStore::Find(const std::string& name) const {
  sql::Lease db = db_->Borrow();
  return FindIn(*db, name);
}

std::vector<MemberFigures> MemberStore::Richest(int count) const {
  sql::Lease db = db_->Borrow();
  // Money is canonical digits, so a longer text is a larger amount.
  std::vector<MemberFigures> members;
  for (const sql::Row& row : db->Query(
           SelectFigures(" FROM members ORDER BY length(money) DESC, money DESC, name LIMIT ?"),
           {count})) {
    members.push_back(ReadFigures(row));
  }
  return members;
}

std::optional<LoginResult> MemberStore::Login(const std::string& typed_name,
                                              std::string_view password) {
  const std::string name = NormalizedName(typed_name);
  sql::Lease db = db_->Borrow();
  const std::optional<std::string> hash = PasswordHashOf(*db, name);
  if (!CheckPassword(hash, password)) return std::nullopt;
  SettleOpenHands(name);

  std::string session = RandomHex(16);
  sql::WriteTransaction transaction(*db_, db);
  // The password may have been changed by a recovery while it was being checked.
  if (db->Execute("UPDATE members SET session_digest = ?, member_first = 1 "
                  "WHERE name = ? AND password_hash = ?",
                  {platform::Sha256Hex(session), name, *hash}) != 1) {
    return std::nullopt;
  }
  std::optional<MemberFigures> figures = FindIn(*db, name);
  transaction.Commit();
  return LoginResult{std::move(*figures), std::move(session)};
}

bool MemberStore::Logout(const std::string& typed_name, std::string_view session) {
  if (session.empty()) return false;
  const std::string name = NormalizedName(typed_name);
  sql::Lease db = db_->Borrow();
  sql::WriteTransaction transaction(*db_, db);
  const bool ended =
      db->Execute("UPDATE members SET session_digest = NULL WHERE name = ? AND session_digest = ?",
                  {name, platform::Sha256Hex(session)}) == 1;
  transaction.Commit();
  return ended;
}

Recovery MemberStore::Recover(const std::string& typed_name, std::string_view code,
                              std::string_view new_password) {
  if (!IsValidPassword(new_password)) return {RecoverResult::kBadPassword, {}};
  const std::string name = NormalizedName(typed_name);
  const std::string digest = platform::Sha256Hex(NormalizeRecoveryCode(code));
  sql::Lease db = db_->Borrow();
  // A wrong code costs a digest, not a password hash.
  if (!db->QueryRow("SELECT 1 FROM members WHERE name = ? AND recovery_digest = ?",
                    {name, digest})) {
    return {RecoverResult::kNoMatch, {}};
  }
  const std::string hash = HashPassword(new_password, options_.hash_cost);
  std::string next_code = NewRecoveryCode();
  sql::WriteTransaction transaction(*db_, db);
  // The code may have been used meanwhile: then this try has lost.
  const bool done =
      db->Execute(
          "UPDATE members SET password_hash = ?, session_digest = NULL, "
          "recovery_digest = ? WHERE name = ? AND recovery_digest = ?",
          {hash, platform::Sha256Hex(NormalizeRecoveryCode(next_code)), name, digest}) == 1;
  transaction.Commit();
  if (!done) return {RecoverResult::kNoMatch, {}};
  return {RecoverResult::kDone, std::move(next_code)};
}

TopUpResult MemberStore::TopUp(const std::string& typed_name, std::string_view password) {
  const std::string name = NormalizedName(typed_name);
  sql::Lease db = db_->Borrow();
  if (!CheckPassword(PasswordHashOf(*db, name), password)) return TopUpResult::kNoMatch;
  const std::string today = LocalTime("%Y-%m-%d");
  sql::WriteTransaction transaction(*db_, db);
  const std::optional<MemberFigures> figures = FindIn(*db, name);
  if (!figures) return TopUpResult::kNoMatch;
  if (BigCompare(figures->money, kTopUpBelow) >= 0) return TopUpResult::kNotPoor;
  if (figures->last_top_up == today) return TopUpResult::kAlreadyToday;
  db->Execute("UPDATE members SET money = ?, last_top_up = ? WHERE name = ?",
              {std::string(kTopUpMoney), today, name});
  transaction.Commit();
  return TopUpResult::kDone;
}

bool MemberStore::SetMoney(const std::string& name, const std::string& money) {
  sql::Lease db = db_->Borrow();
  sql::WriteTransaction transaction(*db_, db);
  const std::optional<MemberFigures> before = FindIn(*db, name);
  if (!before) return false;
  db->Execute("UPDATE members SET money = ? WHERE name = ?", {money, name});
  db->Execute(
      "INSERT INTO money_changes (member, changed, old_money, new_money) VALUES (?, ?, ?, ?)",
      {name, LocalTime("%Y-%m-%d %H:%M:%S"), before->money, money});
  transaction.Commit();
  return true;
}

std::vector<MoneyChange> MemberStore::MoneyChanges(const std::string& name, int count) const {
  sql::Lease db = db_->Borrow();
  std::vector<MoneyChange> changes;
  for (const sql::Row& row :
       db->Query("SELECT changed, old_money, new_money FROM money_changes WHERE member = ? "
                 "ORDER BY id DESC LIMIT ?",
                 {name, count})) {
    changes.push_back({row.Text(0), row.Text(1), row.Text(2)});
  }
  return changes;
}

}  // namespace hw::portal
