#pragma once
// The portal's members, their hands and the server seeds the hands are dealt from, kept
// in one SQL database: an SQLite file, or a PostgreSQL database that several portal
// processes share (sql.h).
//
// One MemberStore may be shared by all of the server's threads, and several stores (in
// several processes) by one PostgreSQL database: every call that changes data runs in one
// transaction that takes the database's write lock at its start, so concurrent writers
// queue up instead of failing half-way or overwriting each other. Password hashing, the
// slow part, happens before a transaction begins, never while the lock is held.
//
// Database failures are thrown as sql::Error; the transaction has then been rolled back
// and nothing has changed.
//
// The portal deals every hand and settles it by playing it again from the member's
// recorded decisions (or with him idle, when he abandons it): the money a hand moves is
// the portal's own reckoning, never a figure the game posts. Each hand is played again
// against the computer player it was dealt against (the level the deal asked for). A
// replay takes milliseconds against the written player and a tenth of a second or more
// against the search player, so it runs before the transaction that applies its result,
// never under the write lock, and with no connection held.
//
// Names are stored in NFC, each with its look key in a unique column (member_names.h). The
// calls that take a name a client typed (the login and logout, the deal and the score
// save, the recovery, the top-up and the hand list) bring it to NFC first, so that a
// member is found whatever normalisation form his name arrives in.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "portal/server/hands.h"
#include "portal/server/secrets.h"
#include "rules/deal.h"

namespace hw::portal {

namespace sql {
class Database;
}

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

// Whether a new member could take this name; CheckMemberName (member_names.h) says why not.
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
// The computer's own name at the table: a member so named would be taken for it.
inline constexpr std::string_view kComputerName = "컴퓨터";

enum class SignUpRefusal {
  kBadName,  // no characters, too many, or one that may not be in a name
  kNameEdgeSpace,
  kNameMixedScripts,
  kBadPassword,
  kBadAvatar,
  kBadVoice,
  kBadMoney,
  kNameTaken,
  kNameLooksAlike,  // another member's name has the same look key
  kComputersName,   // also for a name that looks like it
};
struct SignUpResult {
  std::optional<SignUpRefusal> refusal;
  std::string recovery_code;  // to be shown to the member once; only its digest is kept
};

struct LoginResult {
  MemberFigures figures;
  std::string session;  // 32 hex characters; replaces the member's previous session
};

enum class RecoverResult { kDone, kNoMatch, kBadPassword };
struct Recovery {
  RecoverResult result = RecoverResult::kNoMatch;
  // With kDone: the member's next recovery code, to be shown to him once. A code works
  // once; the one just used is void.
  std::string recovery_code;
};
enum class TopUpResult { kDone, kNoMatch, kNotPoor, kAlreadyToday };

// An operator's change of a member's money, as `show` lists it.
struct MoneyChange {
  std::string time;  // local time, "YYYY-MM-DD HH:MM:SS"
  std::string old_money;
  std::string new_money;
};

using Clock = std::function<std::chrono::system_clock::time_point()>;
// Receives a line for the request log: a refused hand record and why, a save whose
// posted figures differ from the portal's, a hand settled because it was abandoned.
// Called on the calling thread, never while a transaction is open.
using NoteSink = std::function<void(const std::string&)>;

struct StoreOptions {
  HashCost hash_cost = HashCost::kInteractive;
  // The system clock when empty; decides "today" for top-ups and server seeds, and the
  // age of an open hand.
  Clock clock;
  NoteSink note = {};  // notes are dropped when empty
  // For end-to-end tests only: the first hands are dealt from these decks and missions,
  // in order, instead of from the seeds, so that a test knows the cards it will see.
  // Never set for players: their hand list would not match the fairness check.
  std::vector<SeededDeal> test_deals = {};
};

class MemberStore {
 public:
  // Opens the database (an SQLite file, or a "postgresql://…" address, as
  // sql::Database::Open takes it), creating its tables when missing.
  explicit MemberStore(const std::string& database, StoreOptions options = {});
  ~MemberStore();
  MemberStore(MemberStore&&) = delete;

  SignUpResult AddMember(const NewMember& member);
  std::optional<MemberFigures> Find(const std::string& name) const;
  // The richest members, richest first (ties by name).
  std::vector<MemberFigures> Richest(int count) const;

  // Nothing for an unknown name and for a wrong password alike; both take as long.
  // Settles the member's open hand first, as abandoned, so the figures answered are the
  // ones after it; the member plays first in his next hand.
  std::optional<LoginResult> Login(const std::string& name, std::string_view password);
  // False when the session is not the member's current one.
  bool Logout(const std::string& name, std::string_view session);

  // A new password for the holder of the recovery code; ends the member's session and
  // gives him a new code. The new password is hashed only once the code has matched.
  Recovery Recover(const std::string& name, std::string_view code, std::string_view new_password);
  // Raises a poor member's money to kTopUpMoney, once per local calendar day.
  TopUpResult TopUp(const std::string& name, std::string_view password);
  // Operator's change, kept in the list of money changes; `money` must be canonical.
  // False for an unknown name.
  bool SetMoney(const std::string& name, const std::string& money);
  // The operator's last `count` changes of a member's money, newest first.
  std::vector<MoneyChange> MoneyChanges(const std::string& name, int count) const;

  // ---- Hands (hands.cpp)

  // Deals the member a hand after settling any hand of his still open as abandoned, so
  // that a second deal never erases the first.
  DealResult Deal(const DealRequest& request);
  // Settles a hand from the member's record. A refused save changes nothing and leaves
  // the hand open; a hand already settled answers its stored reply again.
  HandSaveResult SaveHand(const HandSave& save);
  // Settles every open hand of the member as abandoned (the member idle to its end);
  // returns how many.
  int SettleOpenHands(const std::string& name);
  // Settles as abandoned every hand dealt `age` or longer ago; returns how many.
  int SettleAbandonedHands(std::chrono::seconds age);

  // Creates today's and tomorrow's server seeds where missing, so that a day's seed is
  // committed to before the day begins.
  void KeepSeedsAhead();
  // What the fair-deal page shows (creating today's and tomorrow's seeds if need be).
  FairSeeds Seeds();

  // The member's last `count` hands, newest first, after checking his password; nothing
  // for an unknown name and for a wrong password alike.
  std::optional<std::vector<HandView>> CheckedHands(const std::string& name,
                                                    std::string_view password, int count);
  // For the operator: the member's open hands, and his last `count` settled hands; both
  // newest first.
  std::vector<HandView> OpenHands(const std::string& name) const;
  std::vector<HandView> SettledHands(const std::string& name, int count) const;

 private:
  // Whether `password` matches the hash; with no hash (unknown member) it checks against
  // a throwaway hash so that the answer takes as long either way.
  bool CheckPassword(const std::optional<std::string>& hash, std::string_view password) const;
  std::string LocalTime(const char* format) const;
  std::string LocalDay(int days_from_today) const;
  std::int64_t NowSeconds() const;
  void Note(const std::string& line) const;
  // Settles an open hand with the member idle; false when it was settled meanwhile.
  bool SettleIdle(std::int64_t hand_id);
  std::vector<HandView> Hands(const std::string& name, const char* where, int count) const;

  std::unique_ptr<sql::Database> db_;
  StoreOptions options_;
  std::mutex test_deals_mutex_;
  mutable std::once_flag decoy_once_;
  mutable std::string decoy_hash_;
};

}  // namespace hw::portal
