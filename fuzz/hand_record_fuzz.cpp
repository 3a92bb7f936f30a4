// Feeds arbitrary text to the hand record's reader, as the portal receives it with a save,
// and plays every record it takes on the deal that comes with it. A record read and written
// again reads the same; a record either replays to one result, the same each time and
// the same from the decisions it settles with, or is refused with a reason.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "replay/table.h"
#include "rules/deal.h"
#include "rules/hand_record.h"

using hw::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::string_view input = rest;
  // Service cards, mission and who plays first, a byte each; then "DECK|RECORD".
  if (rest.size() < 3) return 0;
  const int service = static_cast<unsigned char>(rest[0]) % 6;
  const int mission = static_cast<unsigned char>(rest[1]) % 9;
  const bool member_first = (static_cast<unsigned char>(rest[2]) & 1) == 0;
  rest.remove_prefix(3);
  const std::string_view deck = hw::fuzz::NextPiece(rest, '|');
  const std::string_view text = rest;

  const std::optional<hw::HandRecord> record = hw::ParseRecord(text);
  if (!record) return 0;
  const std::string written = hw::RecordText(*record);
  Check(hw::ParseRecord(written) == record, "a record written reads the same", input);
  if (!hw::DeckTextProblem(deck, hw::kMonthCards + service).empty()) return 0;

  const hw::replay::Member member{.Name = "fuzz", .Money = "1000000000"};
  const hw::replay::DealtHand hand{.Deck = std::string(deck),
                                   .Mission = mission,
                                   .MemberFirst = member_first,
                                   .Stake = "100",
                                   .ServiceCards = service};
  std::string why;
  const auto settled = hw::replay::Replay(member, hand, *record, why);
  if (!settled) {
    Check(!why.empty(), "a refused record says why", input);
    return 0;
  }
  Check(settled->Decisions == *record, "a replay takes the record's decisions, all of them", input);
  std::string again_why;
  const auto again = hw::replay::Replay(member, hand, settled->Decisions, again_why);
  Check(again.has_value(), "the decisions a hand settles with replay", input);
  Check(again->After.Money == settled->After.Money && again->UpPoint == settled->UpPoint &&
            again->After.Wins == settled->After.Wins &&
            again->After.Losses == settled->After.Losses &&
            again->After.Missions == settled->After.Missions,
        "a record replays to the same result", input);
  return 0;
}
