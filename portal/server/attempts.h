#pragma once
// Password guessing held back: failed password checks (a login, a top-up, a recovery, the
// hand list) are counted per game name and per client address. After a few failures each
// new try must wait, twice as long after every further failure; past a limit the name or
// the address is locked for a while. A try that must wait is refused before any password
// is hashed, so guessing costs the portal nothing. A good password clears its name's
// count. Names are counted whether or not a member holds them, so the answers tell
// nothing of who exists. Kept in memory, per process.

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace hw::portal {

struct AttemptPolicy {
  int free_failures = 5;  // before the first wait
  std::chrono::seconds longest_wait = std::chrono::minutes(1);
  int lock_after = 10;  // failures in a row that lock
  std::chrono::seconds lock_for = std::chrono::minutes(15);
  // A count with no failure for this long starts again from nothing.
  std::chrono::seconds forget_after = std::chrono::hours(1);
};

// Why a try is held back, and for how much longer.
struct HeldBack {
  enum class Reason { kWait, kNameLocked, kAddressLocked };
  Reason reason = Reason::kWait;
  std::chrono::seconds remaining{0};
};

class AttemptLimiter {
 public:
  using Clock = std::chrono::system_clock;
  AttemptLimiter(AttemptPolicy per_name, AttemptPolicy per_address)
      : per_name_(per_name), per_address_(per_address) {}

  // Whether a try for `name` from `client` must wait; nothing when it may go ahead.
  std::optional<HeldBack> Check(const std::string& client, const std::string& name,
                                Clock::time_point now);
  // The outcome of a try that went ahead.
  void Record(const std::string& client, const std::string& name, bool good, Clock::time_point now);

 private:
  struct Count {
    int failures = 0;
    Clock::time_point last;
  };
  using Table = std::unordered_map<std::string, Count>;
  static std::optional<HeldBack> CheckOne(Table& table, const AttemptPolicy& policy,
                                          const std::string& key, HeldBack::Reason locked,
                                          Clock::time_point now);
  static void Forget(Table& table, const AttemptPolicy& policy, Clock::time_point now);

  AttemptPolicy per_name_;
  AttemptPolicy per_address_;
  std::mutex mutex_;
  Table names_;
  Table addresses_;
};

}  // namespace hw::portal
