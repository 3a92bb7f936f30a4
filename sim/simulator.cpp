#include "sim/simulator.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>
#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <random>
#include <string_view>

#include "hand/game.h"
#include "hand/hand_setup.h"
#include "hand/moves.h"
#include "mainwindow/main_window.h"
#include "replay/table.h"
#include "rules/card_table.h"
#include "rules/missions_ranks.h"
#include "rules/money.h"
#include "rules/numbers.h"

namespace hw::sim {
namespace {

using replay::Fingerprint;

// The records are written straight to text as the hand is read: building a document
// first and writing it out after took nine tenths of the time of a hand with its record.
using JsonWriter = rapidjson::Writer<rapidjson::StringBuffer>;

void Text(JsonWriter& json, std::string_view text) {
  json.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
}
void Field(JsonWriter& json, const char* key, std::string_view text) {
  json.Key(key);
  Text(json, text);
}
void Field(JsonWriter& json, const char* key, int number) {
  json.Key(key);
  json.Int(number);
}
template <typename TextList>
void Texts(JsonWriter& json, const TextList& texts) {
  json.StartArray();
  for (const auto& text : texts)
    Text(json, text);
  json.EndArray();
}

// True for well-formed UTF-8 without control characters, as a game name must be (it is
// written into every record and log line).
bool IsPrintableText(std::string_view text) {
  rapidjson::StringBuffer scratch;
  rapidjson::Writer<rapidjson::StringBuffer, rapidjson::UTF8<>, rapidjson::UTF8<>,
                    rapidjson::CrtAllocator, rapidjson::kWriteValidateEncodingFlag>
      check(scratch);
  return check.String(text.data(), static_cast<rapidjson::SizeType>(text.size())) &&
         std::none_of(text.begin(), text.end(),
                      [](unsigned char c) { return c < 0x20 || c == 0x7f; });
}

// One game: logged in as the player, sitting in the room between hands.
class Run {
 public:
  explicit Run(const Options& options)
      : table_({.Name = options.name, .Voice = options.voice, .Money = options.money},
               options.seed),
        chance_(options.seed ^ 0x5eedc0ffee123457ULL) {
    RoomRecord& room = table_.game().state.Room;
    room.StakeText = options.stake;
    room.ServiceCards = options.serviceCards;
    if (!options.humanFirst) room.SeonName = kComputerName;
    if (options.searchOpponent) room.Opponent = OpponentLevel::kSearch;
    table_.log().keep = table_.sound().keep = !options.quiet;
  }

  enum class Outcome { kPlayed, kNoMoney, kStuck };

  // Plays one hand from the start button to its settlement; the board is then left with
  // the result dialog open, for Record() to read.
  Outcome PlayHand(const Options& options) {
    table_.log().lines.clear();
    table_.sound().played.clear();
    Game& game = table_.game();
    const GameState& state = game.state;
    if (options.deck) game.nextDeck = *options.deck;
    if (options.mission) game.nextMission = *options.mission;
    // The deal, 선 and the player's figures before the hand go into the hand's record and
    // its replay; a quiet run without replays needs none of them.
    const bool keep = !options.quiet || options.replay;
    if (keep) {
      seon_ = state.Room.SeonName;
      const PlayerInfoRecord& info = state.PlayerInfo;
      before_ = {info.Name, info.VoiceFolder, info.Avatar, info.Money,
                 info.Wins, info.Losses,      info.Draws,  info.MissionCount};
    }
    if (!table_.Start(std::nullopt)) return Outcome::kNoMoney;
    if (keep) {
      deck_.clear();
      for (const int card : state.DealtOrder) {
        deck_ += static_cast<char>('0' + card / 10);
        deck_ += static_cast<char>('0' + card % 10);
      }
      mission_ = state.Room.MissionIndex;
    }
    return options.human == Human::kRandom ? PlayAtRandom() : PlayIdle();
  }

  // After Record(): the result dialog closes by itself and the room is ready again.
  bool FinishHand() { return table_.FinishHand(); }

  // Plays the hand just settled again from its deal and record, as the portal settles
  // it, and adds the time that took to `spent`. False, with the reason in `why`, when the
  // replay refuses the record or ends with other figures.
  bool ReplayedAlike(const Options& options, std::chrono::nanoseconds& spent,
                     std::string& why) const {
    const replay::DealtHand hand{.Deck = deck_,
                                 .Mission = mission_,
                                 .MemberFirst = seon_ == before_.Name,
                                 .Stake = options.stake,
                                 .ServiceCards = options.serviceCards,
                                 .Opponent = table_.State().Room.Opponent};
    const auto start = std::chrono::steady_clock::now();
    const std::optional<replay::Settlement> replayed =
        replay::Replay(before_, hand, table_.State().Record, why);
    spent += std::chrono::steady_clock::now() - start;
    if (!replayed) return false;
    const replay::Settlement played = replay::SettlementOf(table_);
    const replay::Member& a = played.After;
    const replay::Member& b = replayed->After;
    if (a.Money != b.Money || a.Wins != b.Wins || a.Losses != b.Losses || a.Draws != b.Draws ||
        a.Missions != b.Missions) {
      why = "it ends with money " + b.Money + " instead of " + a.Money + " (or other counts)";
      return false;
    }
    return true;
  }

  std::string End() const {
    switch (table_.State().Result.Ending) {
      case HandEnding::kChongtong:
        return "chongtong";
      case HandEnding::kThreePpeok:
        return "threeppeok";
      case HandEnding::kStop:
        return "stop";
      case HandEnding::kDraw:
      case HandEnding::kNotYet:
        break;
    }
    return "draw";
  }
  int Winner() const {
    for (const replay::Save& save : table_.Saves()) {
      if (save.Outcome == HandOutcome::kWon) return save.Slot;
    }
    return -1;
  }
  std::string Amount() const {
    const int winner = Winner();
    return winner < 0 ? "0" : table_.Saves()[winner].Amount;
  }

  // Writes the hand's record as one JSON object.
  void Record(JsonWriter& json) const {
    const GameState& state = table_.State();
    const 클래스_변수& result = state.Result;
    json.StartObject();
    Field(json, "deck", deck_);
    Field(json, "mission", mission_);
    Field(json, "seon", seon_);
    Field(json, "end", End());
    json.Key("winner");
    if (const int winner = Winner(); winner < 0) {
      json.Null();
    } else {
      json.Int(winner);
    }
    Field(json, "amount", Amount());
    json.Key("result");
    json.StartObject();
    Field(json, "kind", result.HasWinner ? -1 : 0);
    const std::array<std::string_view, 5> lines{result.WinnerLine, result.AmountLine,
                                                result.CalculationLine, result.MultiplierLine,
                                                result.LoserLine};
    json.Key("lines");
    Texts(json, lines);
    json.EndObject();
    Field(json, "decisions", RecordText(state.Record));
    json.Key("log");
    Texts(json, table_.log().lines);
    json.Key("players");
    json.StartArray();
    for (int p = 0; p < kPlayers; ++p) {
      const PlayerRecord& who = state.Player(p);
      json.StartObject();
      Field(json, "name", who.Name);
      Field(json, "score", who.Score);
      Field(json, "go", who.GoCount);
      Field(json, "shake", who.ShakeCount);
      Field(json, "ppeok", who.PpeokCount);
      Field(json, "played", who.PlayedCount);
      Field(json, "money", who.Money);
      Field(json, "running_gain",
            who.RunningGain.empty() ? std::string_view("0") : who.RunningGain);
      Field(json, "wins", who.Wins);
      Field(json, "losses", who.Losses);
      Field(json, "draws", who.Draws);
      Field(json, "missions", who.MissionCount);
      json.Key("captured");
      json.StartArray();
      const SeatCardSet& seat = state.SeatOf(p);
      for (int kind = kBright; kind <= kJunk; ++kind) {
        json.StartArray();
        for (int i = 0; i < seat.CapturedCountByKind[kind]; ++i)
          json.Int(seat.Captured[kind][i]);
        json.EndArray();
      }
      json.EndArray();
      json.EndObject();
    }
    json.EndArray();
    json.Key("saves");
    json.StartArray();
    for (const replay::Save& save : table_.Saves()) {
      json.StartObject();
      Field(json, "slot", save.Slot);
      Field(json, "code", OutcomeCode(save.Outcome));
      Field(json, "amount", save.Amount);
      Field(json, "mission", save.MissionAchieved ? "1" : "0");
      json.EndObject();
    }
    json.EndArray();
    json.Key("sounds");
    Texts(json, table_.sound().played);
    json.EndObject();
  }

  // Folds this hand's results into the run's signature.
  void Sign(Fingerprint& signature) const {
    const GameState& state = table_.State();
    signature.Add(End());
    signature.Add(Winner());
    signature.Add(Amount());
    signature.Add(static_cast<long long>(table_.log().fingerprint.Value()));
    signature.Add(static_cast<long long>(table_.sound().fingerprint.Value()));
    for (const PlayerRecord& who : state.Players) {
      signature.Add(who.Score);
      signature.Add(who.Money);
    }
  }

  const std::string& HumanMoney() const { return table_.State().PlayerInfo.Money; }

 private:
  Outcome PlayIdle() { return table_.RunIdle() ? Outcome::kPlayed : Outcome::kStuck; }
  Outcome PlayAtRandom() {
    return table_.RunByChance(chance_) ? Outcome::kPlayed : Outcome::kStuck;
  }

  replay::Table table_;
  std::mt19937_64 chance_;
  replay::Member before_;
  std::string deck_;
  std::string seon_;
  int mission_ = -1;
};

}  // namespace

std::optional<long long> OptionNumber(const std::string& text) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  return value;
}

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  Options options;
  bool handsGiven = false, serviceGiven = false, moneyGiven = false, seonGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--quiet") {
      options.quiet = true;
      continue;
    }
    if (option == "--replay") {
      options.replay = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      error = option.starts_with("--") ? option + " needs a value" : "unknown argument " + option;
      return {};
    }
    const std::string& value = args[++i];
    if (option == "--deck") {
      options.deck = value;
    } else if (option == "--mission") {
      const auto mission = OptionNumber(value);
      if (!mission || *mission < 0 || *mission > 8) {
        error = "--mission must be a mission number from 0 to 8, not \"" + value + "\"";
        return {};
      }
      options.mission = static_cast<int>(*mission);
    } else if (option == "--stake") {
      if (!IsDigits(value) || value.size() > 9 || OptionNumber(value).value_or(0) <= 0) {
        error = "--stake must be a positive whole number of won, not \"" + value + "\"";
        return {};
      }
      options.stake = value;
    } else if (option == "--money") {
      if (!IsValidNumber(value) || value.find(' ') != std::string::npos) {
        error = "--money must be a whole number of won, not \"" + value + "\"";
        return {};
      }
      options.money = BigAdd(value, "0");
      moneyGiven = true;
    } else if (option == "--seon") {
      if (value != "human" && value != "computer") {
        error = "--seon must be \"human\" or \"computer\", not \"" + value + "\"";
        return {};
      }
      options.humanFirst = value == "human";
      seonGiven = true;
    } else if (option == "--human") {
      if (value != "idle" && value != "random") {
        error = "--human must be \"idle\" or \"random\", not \"" + value + "\"";
        return {};
      }
      options.human = value == "idle" ? Human::kIdle : Human::kRandom;
    } else if (option == "--opponent") {
      if (value != "written" && value != "search") {
        error = "--opponent must be \"written\" or \"search\", not \"" + value + "\"";
        return {};
      }
      options.searchOpponent = value == "search";
    } else if (option == "--name") {
      if (value.empty() || value == kComputerName) {
        error = "--name must be a game name other than the computer's";
        return {};
      }
      if (!IsPrintableText(value)) {
        error = "--name must be UTF-8 text without control characters";
        return {};
      }
      options.name = value;
    } else if (option == "--voice") {
      if (value.empty() || value.find_first_of("/\\") != std::string::npos) {
        error = "--voice must be a voice folder name, not \"" + value + "\"";
        return {};
      }
      options.voice = value;
    } else if (option == "--portal") {
      if (!value.starts_with("http://")) {
        error = "--portal must be the portal's address, such as http://127.0.0.1:8410/, not \"" +
                value + "\"";
        return {};
      }
      options.portal = value;
    } else if (option == "--password") {
      options.password = value;
    } else if (option == "--hands") {
      const auto hands = OptionNumber(value);
      if (!hands || *hands < 1 || *hands > 100'000'000) {
        error = "--hands must be a number of hands from 1 to 100000000, not \"" + value + "\"";
        return {};
      }
      options.hands = static_cast<int>(*hands);
      handsGiven = true;
    } else if (option == "--seed") {
      std::uint64_t seed = 0;
      const auto [end, problem] = std::from_chars(value.data(), value.data() + value.size(), seed);
      if (value.empty() || problem != std::errc() || end != value.data() + value.size()) {
        error = "--seed must be a whole number, not \"" + value + "\"";
        return {};
      }
      options.seed = seed;
    } else if (option == "--service") {
      const auto service = OptionNumber(value);
      if (!service || *service < 0 || *service > 5) {
        error = "--service must be a number of service cards from 0 to 5, not \"" + value + "\"";
        return {};
      }
      options.serviceCards = static_cast<int>(*service);
      serviceGiven = true;
    } else {
      error = "unknown option " + option;
      return {};
    }
  }
  if (options.portal) {
    if (options.deck || options.mission || moneyGiven || seonGiven || options.replay) {
      error =
          "the portal deals and settles with --portal: it takes no --deck, --mission, --money, "
          "--seon or --replay";
      return {};
    }
    if (options.password.empty()) {
      error = "--portal needs the member's --password";
      return {};
    }
  } else if (!options.password.empty()) {
    error = "--password goes with --portal";
    return {};
  }
  if (options.deck) {
    if (handsGiven || serviceGiven) {
      error = "--deck plays one hand with its own cards; it takes no --hands or --service";
      return {};
    }
    const std::size_t length = options.deck->size();
    if (length % 2 != 0 || length < 2 * kMonthCards || length > 2 * kMaxCardsInPlay) {
      error = "--deck must hold 48 to 53 cards as two digits each (96 to 106 characters), not " +
              std::to_string(length) + " characters";
      return {};
    }
    options.serviceCards = static_cast<int>(length / 2) - kMonthCards;
    if (const std::string problem =
            DeckTextProblem(*options.deck, kMonthCards + options.serviceCards);
        !problem.empty()) {
      error = "--deck: " + problem;
      return {};
    }
  }
  return options;
}

int RunSimulation(const Options& options, std::ostream& out, std::ostream& err) {
  Run table(options);
  Fingerprint signature;
  const auto started = std::chrono::steady_clock::now();
  int played = 0;
  int status = 0;
  std::chrono::nanoseconds replaying{0};
  rapidjson::StringBuffer record;
  JsonWriter json(record);
  for (int hand = 0; hand < options.hands; ++hand) {
    const Run::Outcome outcome = table.PlayHand(options);
    if (outcome == Run::Outcome::kNoMoney) {
      // As at the table: the start button refuses (the money is as it was), and the run
      // ends there.
      err << "hwatable-sim: hand " << hand + 1 << " not played: the player's money ("
          << table.HumanMoney() << ") is below 20 times the stake (" << options.stake << ")\n";
      break;
    }
    if (outcome == Run::Outcome::kStuck) {
      err << "hwatable-sim: hand " << hand + 1 << " did not end\n";
      status = 1;
      break;
    }
    if (options.replay) {
      std::string why;
      if (!table.ReplayedAlike(options, replaying, why)) {
        err << "hwatable-sim: hand " << hand + 1 << " played again from its record: " << why
            << "\n";
        status = 1;
        break;
      }
    }
    if (options.quiet) {
      table.Sign(signature);
    } else {
      record.Clear();
      json.Reset(record);
      table.Record(json);
      record.Put('\n');
      out.write(record.GetString(), static_cast<std::streamsize>(record.GetSize()));
    }
    if (!table.FinishHand()) {
      err << "hwatable-sim: the result of hand " << hand + 1 << " never closed\n";
      status = 1;
      break;
    }
    ++played;
  }
  if (options.quiet) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    char line[160];
    std::snprintf(line, sizeof line, "%d hands in %.3f s, %.0f hands/s, signature %016llx\n",
                  played, seconds, seconds > 0 ? played / seconds : 0.0,
                  static_cast<unsigned long long>(signature.Value()));
    out << line;
  }
  if (options.replay && played > 0) {
    const double seconds = std::chrono::duration<double>(replaying).count();
    char line[160];
    std::snprintf(line, sizeof line,
                  "%d hands played again from their records in %.3f s, %.0f us per hand, "
                  "all alike\n",
                  played, seconds, 1e6 * seconds / played);
    out << line;
  }
  return status;
}

}  // namespace hw::sim
