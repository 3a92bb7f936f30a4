#include "portal/server/attempts.h"

#include <algorithm>
#include <tuple>

namespace hw::portal {
namespace {

// Beyond this many names or addresses, the counts nobody has added to lately go.
constexpr std::size_t kPruneAbove = 10000;

std::chrono::seconds CeilSeconds(std::chrono::system_clock::duration duration) {
  return std::chrono::ceil<std::chrono::seconds>(duration);
}

}  // namespace

std::optional<HeldBack> AttemptLimiter::CheckOne(Table& table, const AttemptPolicy& policy,
                                                 const std::string& key, HeldBack::Reason locked,
                                                 Clock::time_point now) {
  const auto found = table.find(key);
  if (found == table.end()) return std::nullopt;
  const Count& count = found->second;
  if (count.failures >= policy.lock_after) {
    const Clock::time_point until = count.last + policy.lock_for;
    if (now < until) return HeldBack{locked, CeilSeconds(until - now)};
    table.erase(found);  // the lock is over: a fresh start
    return std::nullopt;
  }
  if (now - count.last >= policy.forget_after) {
    table.erase(found);
    return std::nullopt;
  }
  if (count.failures < policy.free_failures) return std::nullopt;
  const int doublings = std::min(count.failures - policy.free_failures, 30);
  const auto wait =
      std::min<std::chrono::seconds>(std::chrono::seconds(1LL << doublings), policy.longest_wait);
  if (now < count.last + wait) {
    return HeldBack{HeldBack::Reason::kWait, CeilSeconds(count.last + wait - now)};
  }
  return std::nullopt;
}

void AttemptLimiter::Forget(Table& table, const AttemptPolicy& policy, Clock::time_point now) {
  if (table.size() <= kPruneAbove) return;
  std::erase_if(table, [&](const auto& entry) {
    const Count& count = entry.second;
    const auto keep = count.failures >= policy.lock_after ? policy.lock_for : policy.forget_after;
    return now - count.last >= keep;
  });
}

std::optional<HeldBack> AttemptLimiter::Check(const std::string& client, const std::string& name,
                                              Clock::time_point now) {
  const std::lock_guard lock(mutex_);
  std::optional<HeldBack> address =
      CheckOne(addresses_, per_address_, client, HeldBack::Reason::kAddressLocked, now);
  std::optional<HeldBack> held =
      CheckOne(names_, per_name_, name, HeldBack::Reason::kNameLocked, now);
  if (!held || (address && address->remaining > held->remaining)) held = address;
  return held;
}

void AttemptLimiter::Record(const std::string& client, const std::string& name, bool good,
                            Clock::time_point now) {
  const std::lock_guard lock(mutex_);
  if (good) {
    names_.erase(name);
    return;
  }
  for (auto [table, key, policy] :
       {std::tuple{&names_, &name, &per_name_}, std::tuple{&addresses_, &client, &per_address_}}) {
    Count& count = (*table)[*key];
    ++count.failures;
    count.last = now;
    Forget(*table, *policy, now);
  }
}

}  // namespace hw::portal
