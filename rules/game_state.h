#pragma once
// The data of the game: the card table, the two players, their card lists, the floor,
// the draw pile and the room, all as plain values in one GameState object. The rules
// read and write these fields directly, except a card's place, which MoveCard changes
// together with the set of the cards at each place; nothing here knows how they are
// shown.

#include <array>
#include <cassert>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "hwatable_version.h"
#include "rules/card_list.h"
#include "rules/hand_record.h"

namespace hw {

// ---- Cards

inline constexpr int kMonthCards = 48;      // cards 0..47, four per month in month order
inline constexpr int kMaxServiceCards = 5;  // service junk cards 48..52
inline constexpr int kMaxCardsInPlay = kMonthCards + kMaxServiceCards;
// Sets of cards as bits by card number: the month cards are the low 48 bits.
using CardSet = std::uint64_t;
static_assert(kMaxCardsInPlay <= 64, "one bit per card");
inline constexpr CardSet kMonthCardSet = (CardSet{1} << kMonthCards) - 1;
constexpr CardSet CardBit(int card) {
  return CardSet{1} << card;
}
// The number of cards in a set, counted without a popcount instruction (which the
// baseline x86-64 the program is built for does not have).
constexpr int CardCount(CardSet cards) {
  cards -= (cards >> 1) & 0x5555'5555'5555'5555;
  cards = (cards & 0x3333'3333'3333'3333) + ((cards >> 2) & 0x3333'3333'3333'3333);
  cards = (cards + (cards >> 4)) & 0x0F0F'0F0F'0F0F'0F0F;
  return static_cast<int>((cards * 0x0101'0101'0101'0101) >> 56);
}
// The four cards of a month 1..12 (numbered together); none for any other month (a
// service card's own month, or none at all).
constexpr CardSet MonthCardSet(int month) {
  return month >= 1 && month <= 12 ? CardSet{0xF} << (4 * (month - 1)) : 0;
}
// Bit 0 of each month's four bits.
inline constexpr CardSet kMonthLowBits = 0x1111'1111'1111;
// Every card of the months that the month cards of `cards` belong to.
constexpr CardSet SameMonthCards(CardSet cards) {
  cards &= kMonthCardSet;
  return ((cards | cards >> 1 | cards >> 2 | cards >> 3) & kMonthLowBits) * 0xF;
}
inline constexpr int kNoCard = -1;
inline constexpr int kSeptemberAnimal = 32;  // counts as an animal or, by choice, as double junk

// Card kinds (`CardRecord::Kind`); they also index the capture piles.
inline constexpr int kBright = 1;
inline constexpr int kAnimal = 2;
inline constexpr int kRibbon = 3;
inline constexpr int kJunk = 4;

// Special marks (`CardRecord::Mark`).
inline constexpr int kMarkNone = 0;
inline constexpr int kMarkRedPoemRibbon = 1;  // 홍단
inline constexpr int kMarkBlueRibbon = 2;     // 청단
inline constexpr int kMarkGrassRibbon = 3;    // 초단
inline constexpr int kMarkDoubleJunk = 4;     // also on the September animal
inline constexpr int kMarkGodoriBird = 5;
inline constexpr int kMarkRainBright = 6;
inline constexpr int kMarkDecemberAnimal = 7;

// Where a card is (`CardRecord::Location`): a player index while in that player's hand,
// the floor, captured by a player, or in the draw pile (also: not in play).
inline constexpr int kInDrawPile = -1;
inline constexpr int kOnFloor = 4;
constexpr int CapturedBy(int player) {
  return 10 + player;
}

// `CardRecord::ShakeMark`.
inline constexpr int kShakeNone = -1;
inline constexpr int kShakeCandidate = 1;  // one of three cards of its month in its owner's hand
inline constexpr int kShakeShown = 3;      // shown in a shake or used in a bomb

// Full-size and small (the computer's hand) card pictures.
inline constexpr int kCardWidth = 36;
inline constexpr int kCardHeight = 55;
inline constexpr int kSmallCardWidth = 15;
inline constexpr int kSmallCardHeight = 23;

struct CardRecord {
  // Fixed at start-up, except the September animal's Kind (2, or 4 once moved to junk).
  int Month = 0;  // 1..12; 13..17 for the service cards, so that they never match
  int Kind = 0;
  int Mark = kMarkNone;
  // Where the card's picture was last placed; animations start from here. Kept only while
  // somebody sees the board: a game without one has no pictures to place.
  int ImageLeft = 0;
  int ImageTop = 0;
  int Location = kInDrawPile;  // changed only by GameState::MoveCard
  int ShakeMark = kShakeNone;
  int StackLevel = 0;  // position within its floor slot's stack, 0 lowest
  int FloorSlot = -1;  // 0..11, -1 when not in a slot
  friend bool operator==(const CardRecord&, const CardRecord&) = default;
};

// ---- Players

inline constexpr int kHuman = 0;     // player index of the human, always
inline constexpr int kComputer = 1;  // player index of the computer, always
inline constexpr std::string_view kComputerName = "컴퓨터";
inline constexpr int kPlayers = 2;
inline constexpr int kHumanSeat = 1;     // the bottom of the board
inline constexpr int kComputerSeat = 0;  // the top
inline constexpr int kHandSlots = 10;

struct PlayerRecord {
  int Seat = 0;         // which seat's card lists and board area the player uses
  int TurnOrder = 0;    // 1 for 선 (plays first in this hand), 2 for the other
  int PlayedCount = 0;  // turns begun in this hand; 10 means the last card has been played
  std::string Name;
  std::string VoiceFolder;
  int Avatar = 0;
  // Money and records are decimal text of any length.
  std::string Money;
  std::string RunningGain;  // won since the program started; never reset
  std::string Wins;
  std::string Losses;
  std::string Draws;
  int GoCount = 0;
  int ScoreAtLastGo = 0;
  int Score = 0;
  int ShakeCount = 0;  // shakes and bombs; each doubles the stake at settlement
  int PpeokCount = 0;
  // Score figures, written by the score calculation.
  int SevenAnimals = 0;
  int BrightScore = 0;
  int JunkScore = 0;
  int JunkValue = 0;
  int BrightCount = 0;
  int JunkCount = 0;
  int CapturedCount = 0;
  // Each set is announced once per hand.
  bool GodoriShown = false;
  bool ChungdanShown = false;
  bool ChodanShown = false;
  bool HongdanShown = false;
  std::string MissionCount;
  friend bool operator==(const PlayerRecord&, const PlayerRecord&) = default;
};

struct BoardPoint {
  int Left = 0;
  int Top = 0;
  friend bool operator==(const BoardPoint&, const BoardPoint&) = default;
};

// The card lists of one seat (indexed by `PlayerRecord::Seat`, not by player).
struct SeatCardSet {
  std::array<BoardPoint, kHandSlots> HandSlotPos{};
  std::array<int, kHandSlots> Hand{};      // card per hand slot, kNoCard when empty
  std::array<BoardPoint, 5> PileAnchor{};  // indexed by kind 1..4
  // Captured cards by kind 1..4 in the order of capture, kNoCard where empty. Every
  // list can hold every card in play, so none can overflow (one player may well hold
  // 30 junk cards: 24 junk, the September animal and five service cards).
  std::array<std::array<int, kMaxCardsInPlay>, 5> Captured{};
  std::array<int, 5> CapturedCountByKind{};
  friend bool operator==(const SeatCardSet&, const SeatCardSet&) = default;
};

// ---- Floor

inline constexpr int kFloorSlots = 12;

struct FloorSlot {
  int Left = 0;  // where the lowest card of the slot lies
  int Top = 0;
  int Used = 0;  // 1 while at least one card lies in the slot
  friend bool operator==(const FloorSlot&, const FloorSlot&) = default;
};

// ---- Room

// Which card of a turn meets a choice between two floor cards: the one played from the
// hand, or the one flipped from the draw pile.
enum class ChoiceSide { kHand, kFlip };

// A choice between two floor cards that a player has to make.
struct FloorChoice {
  int Card = 0;   // the card played or flipped
  int First = 0;  // the two candidates, in card-number order
  int Second = 0;
  ChoiceSide Side = ChoiceSide::kHand;  // the card came from the hand, or was flipped
  friend bool operator==(const FloorChoice&, const FloorChoice&) = default;
};

struct TurnState {
  int PlayedCard = kNoCard;
  CardList HandMatchList;  // floor cards of the played card's month before it was laid
  CardList HandStackList;  // the cards the played card takes
  CardList FlipMatchList;
  CardList FlipStackList;
  CardList ServiceFlipList;  // service cards flipped in this turn
  int HandChoiceMonth = -1;  // month of a choice between two floor cards, -1 none
  int FlipChoiceMonth = -1;
  int StealCount = 0;  // junk points to steal from the opponent at the end of the turn
  friend bool operator==(const TurnState&, const TurnState&) = default;
};

// Who plays the computer's seat: the written rule list (보통) or the search player (고수).
// The numbers are stored in the settings and sent with a deal.
enum class OpponentLevel { kWritten = 0, kSearch = 1 };

struct RoomRecord {
  std::string OwnerName;     // the human's game name
  bool HandRunning = false;  // from the start of a hand to its reset
  int LastGoPlayer = -1;
  int TurnPlayer = -1;
  int CardsInPlay = kMonthCards;
  int HumanTurnMark = 0;  // -1 when the human's turn begins; a click accepted sets it to 0
  std::string SeonName;   // who plays first in the next hand
  int DialogOpen = 0;
  int MissionIndex = -1;
  int ServiceCards = 3;
  std::string StakeText = "100";  // won per point
  int CardSpeed = 80;
  char SoundOn = 'T';
  int LastTurnBonus = 0;
  int ThreePpeokRule = 1;
  int SelfPpeokRule = 1;
  OpponentLevel Opponent = OpponentLevel::kWritten;  // chosen between hands
  // The portal's number of this hand, "" for a hand dealt by the game itself.
  std::string HandId;
  bool MissionShown = false;            // the mission box has opened in this hand
  bool SeptemberChoicePending = false;  // the September animal's role is still open
  friend bool operator==(const RoomRecord&, const RoomRecord&) = default;
};

// ---- Program and login data

struct GameInfoRecord {
  std::string GameCode = "001";
  std::string ProductNameLatin = "Velmaro";
  std::string ProductName = "Velmaro";
  std::string Version = kBuildVersion;
  std::string GamePath;       // program folder + the game's executable
  std::string UpdaterPath;    // program folder + the updater's executable
  std::string ProgramFolder;  // with a trailing separator
  friend bool operator==(const GameInfoRecord&, const GameInfoRecord&) = default;
};

struct PlayerInfoRecord {
  std::string Name;
  std::string Money;
  std::string Spare = "0";
  int Avatar = 0;
  std::string VoiceFolder;  // "M" for the first avatar row
  std::string Wins;
  std::string Losses;
  int SpareNumber = 0;
  std::string Draws;
  int PlatformCode = -1;
  std::string MissionCount;
  int ChongtongMultiple = 3;   // chongtong or three-ppeok win, in stakes
  int FirstPpeokMultiple = 3;  // ppeok on a player's first turn, in stakes
  int TurnTimeLimit = 12;      // one-second ticks per turn
  // The portal's session of this login, sent back with every score save and the logout.
  std::string SessionToken;
  friend bool operator==(const PlayerInfoRecord&, const PlayerInfoRecord&) = default;
};

// ---- Tables built once at start-up

inline constexpr int kMissionSlots = 10;  // entries 0..8 are missions
inline constexpr int kMissions = 9;

struct MissionRecord {
  std::string Name;
  std::array<int, 6> MissionCards{-1, -1, -1, -1, -1, -1};  // entries 0..4 are used
  int Multiple = 0;
  friend bool operator==(const MissionRecord&, const MissionRecord&) = default;
};

inline constexpr int kRankSlots = 9;  // entries 0..7 are ranks
inline constexpr int kRanks = 8;

struct RankRecord {
  std::string Title;
  std::string MinMoney;
  std::string MaxMoney;  // "-1" for the top rank
  friend bool operator==(const RankRecord&, const RankRecord&) = default;
};

inline constexpr int kSkinImages = 34;

// The portal's addresses: its base address (a configured value ending in "/") and the
// pages and posts under it; all empty while no portal is configured.
struct PortalAddresses {
  std::string Base;
  std::string Login;            // "sub/chk.asp"
  std::string ScoreSave;        // "sub/svp.asp"
  std::string Deal;             // "sub/deal.asp"
  std::string JoinPage;         // "sub/redir.asp?no=1"
  std::string LostAccountPage;  // "sub/redir.asp?no=2"
  std::string TopUpPage;        // "sub/redir.asp?no=3"
  std::string Logout;           // "sub/lgo.asp"
  friend bool operator==(const PortalAddresses&, const PortalAddresses&) = default;
};

// ---- Bomb cards and the result of a hand

// A player who bombs receives two blank cards; playing one later makes a turn that
// only flips. Each player has room for three pairs.
inline constexpr int kBombCards = 6;
enum class BombCard { kNotGranted, kAvailable, kUsed };

// How a hand ended: not yet, by a Stop (or seven points with no card left), drawn, or
// won at once by chongtong or by a third ppeok.
enum class HandEnding { kNotYet, kStop, kDraw, kChongtong, kThreePpeok };

// A hand's outcome for one player, and its code in the score save's records ("W", "L",
// "D").
enum class HandOutcome { kWon, kLost, kDrawn };
constexpr const char* OutcomeCode(HandOutcome outcome) {
  return outcome == HandOutcome::kWon ? "W" : outcome == HandOutcome::kLost ? "L" : "D";
}

// The settlement's account of a hand, as the result dialog and the shown-cards dialog
// read it.
struct 클래스_변수 {
  HandEnding Ending = HandEnding::kNotYet;
  bool HasWinner = false;       // false for a drawn hand
  std::string WinnerLine;       // "<winner>님 승리~"
  std::string AmountLine;       // the amount + "원"
  std::string CalculationLine;  // "<points> x <stake>원", or how a special win was won
  std::string MultiplierLine;   // the Go, shake and seven-animal multipliers
  std::string LoserLine;        // "<loser> = <amount>-원"
  // The cards the shown-cards dialog shows: a shake's three, or chongtong's four.
  bool ShownAreShake = false;
  std::string ShownOwner;
  std::array<int, 4> ShownCards{-1, -1, -1, -1};
  friend bool operator==(const 클래스_변수&, const 클래스_변수&) = default;
};

// ---- The whole state

struct GameState {
  std::array<CardRecord, kMaxCardsInPlay> Cards{};
  std::array<PlayerRecord, kPlayers> Players{};
  std::array<SeatCardSet, kPlayers> SeatCards{};
  std::array<FloorSlot, kFloorSlots> FloorSlots{};
  // Shuffled card numbers in dealing order; a card leaves the pile by becoming kNoCard.
  std::vector<int> DrawPile;
  std::vector<int> DealtOrder;  // untouched copy of the shuffled order
  // Every DrawPile entry before this one is taken; the next card is at or after it.
  std::size_t DrawPileTaken = 0;
  std::array<int, 13> PpeokOwner{};  // per month 1..12: player who made its ppeok, -1 none
  RoomRecord Room;
  TurnState Turn;
  GameInfoRecord GameInfo;
  PlayerInfoRecord PlayerInfo;
  std::array<MissionRecord, kMissionSlots> Missions{};
  std::array<RankRecord, kRankSlots> Ranks{};
  std::array<std::string, kSkinImages> SkinImages{};
  PortalAddresses Portal;
  // Per player index (the human's 폭탄패, the computer's 폭탄패1).
  std::array<std::array<BombCard, kBombCards>, kPlayers> BombCards{};
  // Service cards that joined a ppeok stack carry the stack's month until someone
  // takes the stack; -1 for every other card.
  std::array<int, kMaxCardsInPlay> StackMonthTag{};
  클래스_변수 Result;
  // The human's decisions in this hand, in order.
  HandRecord Record;

  GameState();
  // Equal in every field; the tests compare states and what a player may see of them.
  friend bool operator==(const GameState&, const GameState&) = default;
  // The rules ask for these at every step, always with a player, card or seat they
  // hold; debug builds check the index, release builds trust it.
  PlayerRecord& Player(int index) {
    assert(index >= 0 && index < kPlayers);
    return Players[static_cast<std::size_t>(index)];
  }
  const PlayerRecord& Player(int index) const {
    assert(index >= 0 && index < kPlayers);
    return Players[static_cast<std::size_t>(index)];
  }
  CardRecord& Card(int card) {
    assert(card >= 0 && card < kMaxCardsInPlay);
    return Cards[static_cast<std::size_t>(card)];
  }
  const CardRecord& Card(int card) const {
    assert(card >= 0 && card < kMaxCardsInPlay);
    return Cards[static_cast<std::size_t>(card)];
  }
  // Puts a card in a place: a player's hand, the floor, a player's captured cards or the
  // draw pile (the place of the cards not in play, too).
  void MoveCard(int card, int location) {
    CardRecord& record = Card(card);
    // Without a branch: where a card goes is chance, and a branch on it is mispredicted.
    places_[PlaceOf(record.Location)] &= ~CardBit(card);
    places_[PlaceOf(location)] |= CardBit(card);
    record.Location = location;
  }
  // Puts every card in the draw pile, as before a deal.
  void GatherCards() {
    for (CardRecord& card : Cards)
      card.Location = kInDrawPile;
    places_ = {kAllCards};
  }
  // The cards at a place, always those whose Location says so.
  CardSet CardsAt(int location) const { return places_[PlaceOf(location)]; }
  SeatCardSet& SeatOf(int player) {
    const int seat = Player(player).Seat;
    assert(seat >= 0 && seat < kPlayers);
    return SeatCards[static_cast<std::size_t>(seat)];
  }
  const SeatCardSet& SeatOf(int player) const {
    const int seat = Player(player).Seat;
    assert(seat >= 0 && seat < kPlayers);
    return SeatCards[static_cast<std::size_t>(seat)];
  }

 private:
  // The set of each place, by location + 1 (kInDrawPile to CapturedBy(kComputer)); the
  // numbers that are no place share a set of their own.
  static constexpr int kPlaces = 7;
  static constexpr std::array<int, 13> kPlaceOfLocation = {0, 1, 2, 6, 6, 3, 6, 6, 6, 6, 6, 4, 5};
  static int PlaceOf(int location) {
    assert(location >= kInDrawPile && location <= CapturedBy(kComputer) &&
           kPlaceOfLocation[static_cast<std::size_t>(location + 1)] != kPlaces - 1);
    return kPlaceOfLocation[static_cast<std::size_t>(location + 1)];
  }
  static constexpr CardSet kAllCards = (CardSet{1} << kMaxCardsInPlay) - 1;
  // Every card starts in the draw pile.
  std::array<CardSet, kPlaces> places_{kAllCards};
};

}  // namespace hw
