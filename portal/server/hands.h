#pragma once
// The hands the portal deals and settles, as the store takes and gives them.
//
// A hand lives in two states. Dealt ("open"): the portal has dealt it from the day's
// server seed, the game's seed and the hand's id, and keeps the member's figures at the
// deal. Settled: the portal has played it again, from the member's recorded decisions or
// with the member idle, and applied the money it moved to the member; the reply of that
// settlement is kept so that the same save posted again gets the same answer.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hw::portal {

// The stakes a hand may be played for, in won per point.
inline constexpr const char* kStakes[] = {"100", "300", "500", "1000"};
// A member needs this many times the stake to be dealt a hand.
inline constexpr const char* kStakesNeeded = "20";

// A request for a hand as the game posts it, every field still as text.
struct DealRequest {
  std::string name;
  std::string session;
  std::string stake;      // one of kStakes
  std::string service;    // one digit, 0..5: the number of service cards
  std::string game_seed;  // the game's half of the deal's seed (IsGameSeed)
  // Who plays the computer's seat, as OpponentLevel's number: "0" the written rule list
  // (보통), "1" the search player (고수). A game that does not send it plays 보통.
  std::optional<std::string> level = std::nullopt;
};
// A request that repeats the game's seed, stake, service cards and level of the member's
// open hand is answered with that hand again: the game asks again with the same seed when
// it never saw the reply. Any other request settles the open hand as abandoned first.
enum class DealRefusal { kSession, kBadSettings, kTooPoor };
// A dealt hand: what the game needs to play it, and the commitment of the server seed
// that dealt it.
struct DealtHandReply {
  std::int64_t id = 0;
  std::string deck;
  int mission = 0;
  bool member_first = true;
  std::string money;  // the member's money now, from which the hand starts
  std::string seed_commitment;
};
struct DealResult {
  std::optional<DealRefusal> refusal;
  DealtHandReply hand;  // only when it was not refused
};

// The figures a score save posts. They move no money; a save whose figures differ from
// the portal's own is noted in the request log.
struct PostedFigures {
  std::string money;
  std::string change;
  std::string wins;
  std::string losses;
  std::string draws;
  std::string missions;
};
// A score save as the game posts it.
struct HandSave {
  std::string name;
  std::string session;
  std::optional<std::string> hand;  // the id from the deal; nothing from a game too old to send it
  std::string play;                 // the hand's record text
  PostedFigures posted;
};
enum class SaveRefusal { kSession, kOldGame, kUnknownHand, kIllegalRecord };
struct HandSaveResult {
  std::optional<SaveRefusal> refusal;
  std::string reply;  // "OK|money|wins|losses|draws|missions|rank title"; only when not refused
};

enum class HandResult { kOpen, kWon, kLost, kDrawn, kVoid };
enum class SettledBy { kNone, kRecord, kIdle };

// A hand as the member's hand list and the operator's `show` present it. Nothing in it
// tells the cards of an open hand: the deck only by its commitment, the server seed only
// once it is revealed, and the mission not at all.
struct HandView {
  std::int64_t id = 0;
  std::string dealt;  // local time
  std::string stake;
  int service_cards = 0;
  bool search_opponent = false;  // dealt against the search player (고수)
  std::string game_seed;
  std::string seed_commitment;
  std::string deck_commitment;
  HandResult result = HandResult::kOpen;
  std::string change;  // the money the hand moved, "-" for a loss; empty while open
  SettledBy settled_by = SettledBy::kNone;
  std::string server_seed;  // empty until revealed
};

// One day's server seed, which deals every hand of that local calendar day.
struct SeedDay {
  std::string day;  // "YYYY-MM-DD"
  std::string commitment;
  std::string seed;         // empty until revealed
  bool open_hands = false;  // a hand dealt from it is still open, which keeps it secret
};
struct FairSeeds {
  SeedDay today;
  SeedDay tomorrow;
  std::vector<SeedDay> past;  // newest first
};

}  // namespace hw::portal
