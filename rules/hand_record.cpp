#include "rules/hand_record.h"

#include <charconv>

#include "rules/game_state.h"

namespace hw {
namespace {

struct KindLetter {
  Decision::Kind kind;
  char letter;
  int lowest, highest;
};
constexpr KindLetter kKinds[] = {
    {Decision::Kind::kPlay, 'P', 0, kMaxCardsInPlay - 1},
    {Decision::Kind::kBomb, 'B', 0, kBombCards - 1},
    {Decision::Kind::kShake, 'S', 0, 1},
    {Decision::Kind::kChoice, 'C', 0, kMaxCardsInPlay - 1},
    {Decision::Kind::kGoStop, 'G', 0, 1},
    {Decision::Kind::kSeptember, 'K', 1, 2},
};

const KindLetter& Describe(Decision::Kind kind) {
  for (const KindLetter& k : kKinds) {
    if (k.kind == kind) return k;
  }
  return kKinds[0];
}

}  // namespace

std::string DecisionText(const Decision& decision) {
  return Describe(decision.What).letter + std::to_string(decision.Value);
}

std::string RecordText(const HandRecord& record) {
  std::string text;
  for (const Decision& decision : record) {
    if (!text.empty()) text += ',';
    text += DecisionText(decision);
  }
  return text;
}

std::optional<HandRecord> ParseRecord(std::string_view text) {
  HandRecord record;
  if (text.empty()) return record;
  while (true) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    if (item.size() < 2 || record.size() == kMaxDecisions) return std::nullopt;
    const KindLetter* kind = nullptr;
    for (const KindLetter& k : kKinds) {
      if (k.letter == item[0]) kind = &k;
    }
    if (kind == nullptr) return std::nullopt;
    const std::string_view digits = item.substr(1);
    if (digits.size() > 2 || (digits.size() > 1 && digits[0] == '0')) return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value < kind->lowest ||
        value > kind->highest) {
      return std::nullopt;
    }
    record.push_back({kind->kind, value});
    if (comma == std::string_view::npos) return record;
    text.remove_prefix(comma + 1);
  }
}

}  // namespace hw
