#pragma once
// The portal's members, kept in one SQLite database in WAL mode.
//
// One MemberStore may be shared by all of the server's threads: every call opens its own
// connection, and every call that changes data runs in one transaction that takes the
// database's write lock at its start (BEGIN IMMEDIATE), so concurrent writers queue up
// behind the busy timeout instead of failing half-way. Password hashing, the slow part,
// happens before a transaction begins, never while the lock is held.
//
// Database failures are thrown as SQLite::Exception; the transaction has then been rolled
// back and nothing has changed.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "portal/server/secrets.h"

namespace hw::portal {

inline constexpr std::string_view kStartingMoney = "1000000";
// A member below this (twenty times the highest stake) may top up once a day, to this.
inline constexpr std::string_view kTopUpBelow = "20000";
inline constexpr std::string_view kTopUpMoney = "300000";

// A member's figures as stored. Money is canonical decimal text of any length.
struct MemberFigures {
  std::string name;
  int avatar = 1;     // 1..6
  std::string voice;  // "M" or "F"
  std::string money;
  std::int64_t wins = 0;
  std::int64_t losses = 0;
  std::int64_t draws = 0;
  std::int64_t missions = 0;
  std::string created;      // local time of sign-up, "YYYY-MM-DD HH:MM:SS"
  std::string last_top_up;  // local date of the last free top-up, empty if never
};

// Game names: 1 to 20 characters of UTF-8 without control characters and without "|",
// which separates the fields of the game's replies. Compared exactly, as typed.
bool IsValidMemberName(std::string_view name);
// Passwords: 4 to 64 characters of UTF-8 without control characters.
bool IsValidPassword(std::string_view password);
// Digits only, any length; the canonical text (no leading zeros), or nothing.
std::optional<std::string> ParseMoney(std::string_view text);
// The rank title of an amount of money, from the game's own rank table.
std::string RankTitle(std::string_view money);
struct RankRange {
  std::string title;
  std::string min_money;
  std::string max_money;  // empty for the top rank
};
// The eight ranks, poorest first.
std::vector<RankRange> RankRanges();

struct NewMember {
  std::string name;
  std::string password;
  int avatar = 1;
  std::string voice = "M";
  std::string money = std::string(kStartingMoney);
};
enum class SignUpRefusal { kBadName, kBadPassword, kBadAvatar, kBadVoice, kBadMoney, kNameTaken };
struct SignUpResult {
  std::optional<SignUpRefusal> refusal;
  std::string recovery_code;  // to be shown to the member once; only its digest is kept
};

struct LoginResult {
  MemberFigures figures;
  std::string session;  // 32 hex characters; replaces the member's previous session
};

// One score save as the game posts it, every number still as text.
struct ScoreReport {
  std::string name;
  std::string session;
  std::string money;   // money after the hand
  std::string change;  // the amount won, or lost with a leading "-", or "0"
  std::string wins;
  std::string losses;
  std::string draws;
  std::string missions;
};
enum class ScoreRefusal { kSession, kMalformed, kNegativeMoney, kMoneyMismatch, kCounts };
struct ScoreResult {
  std::optional<ScoreRefusal> refusal;
  MemberFigures figures;  // after the save; only when it was not refused
};

enum class RecoverResult { kDone, kNoMatch, kBadPassword };
enum class TopUpResult { kDone, kNoMatch, kNotPoor, kAlreadyToday };

using Clock = std::function<std::chrono::system_clock::time_point()>;

struct StoreOptions {
  HashCost hash_cost = HashCost::kInteractive;
  Clock clock;  // the system clock when empty; decides "today" for top-ups
};

class MemberStore {
 public:
  // Opens the database file, creating it and its tables when missing.
  explicit MemberStore(std::filesystem::path file, StoreOptions options = {});

  SignUpResult AddMember(const NewMember& member);
  std::optional<MemberFigures> Find(const std::string& name) const;
  // The richest members, richest first (ties by name).
  std::vector<MemberFigures> Richest(int count) const;

  // Nothing for an unknown name and for a wrong password alike; both take as long.
  std::optional<LoginResult> Login(const std::string& name, std::string_view password);
  // Applies a score save after checking it against the stored figures: the session must
  // be the member's current one; the stored money must be what the game was last told (at
  // the login or the last save), and the posted money, which becomes the stored money,
  // must not be negative; each count may only stay or grow by one, with at most one of
  // wins, losses and draws growing. A refused save changes nothing.
  ScoreResult SaveScore(const ScoreReport& report);
  // False when the session is not the member's current one.
  bool Logout(const std::string& name, std::string_view session);

  // A new password for the holder of the recovery code; ends the member's session.
  RecoverResult Recover(const std::string& name, std::string_view code,
                        std::string_view new_password);
  // Raises a poor member's money to kTopUpMoney, once per local calendar day.
  TopUpResult TopUp(const std::string& name, std::string_view password);
  // Operator's change; `money` must be canonical. False for an unknown name.
  bool SetMoney(const std::string& name, const std::string& money);

 private:
  // Whether `password` matches the hash; with no hash (unknown member) it checks against
  // a throwaway hash so that the answer takes as long either way.
  bool CheckPassword(const std::optional<std::string>& hash, std::string_view password) const;
  std::string LocalTime(const char* format) const;

  std::filesystem::path file_;
  StoreOptions options_;
  mutable std::once_flag decoy_once_;
  mutable std::string decoy_hash_;
};

}  // namespace hw::portal
