#pragma once
// The record of a hand: every decision the human took, in order, which together with
// the deal is enough to play the hand again. The portal settles a hand by playing it
// again from this record; the game writes it as the hand goes.
//
// As text, each decision is a letter and a number, separated by commas:
//   P12  a hand card played (a click, or the card his time-out chose)
//   B0   a bomb card played (its index 0..5)
//   S1   the shake question answered: 1 shake, 0 play the card plainly
//   C21  a choice between two floor cards: the card taken
//   G1   Go (1) or Stop (0)
//   K2   the September animal kept as an animal (1) or moved to the junk (2)
// The empty text is a hand without a decision.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hw {

struct Decision {
  enum class Kind { kPlay, kBomb, kShake, kChoice, kGoStop, kSeptember };
  Kind What = Kind::kPlay;
  int Value = 0;
  friend bool operator==(const Decision&, const Decision&) = default;
};

using HandRecord = std::vector<Decision>;

std::string RecordText(const HandRecord& record);
// The record a text holds, or nothing when it is not one: an unknown letter, a number
// out of its range (cards 0..52, bomb cards 0..5, answers as listed), or more than
// kMaxDecisions of them.
std::optional<HandRecord> ParseRecord(std::string_view text);
// No hand asks more: a player has at most about a dozen turns (his ten cards and the
// bomb cards a bomb gives him) and each asks at most a few questions.
inline constexpr std::size_t kMaxDecisions = 128;

// How a decision reads in messages: "P12".
std::string DecisionText(const Decision& decision);

}  // namespace hw
