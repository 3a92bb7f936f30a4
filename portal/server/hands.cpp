// The store's hands: dealing, settling from a record or with the member idle, the server
// seeds and the lists of hands.

#include <algorithm>
#include <stdexcept>

#include "portal/fair_deal.h"
#include "portal/server/member_names.h"
#include "portal/server/member_store.h"
#include "portal/server/secrets.h"
#include "portal/server/store_database.h"
#include "replay/table.h"
#include "rules/money.h"

namespace hw::portal {
namespace {

using database::FindIn;
using database::SessionMatches;

// A hand as the store settles it: the deal, and the member as he was when it was dealt,
// from whom the replay starts.
struct HandRow {
  std::int64_t id = 0;
  std::string member;
  bool open = false;
  std::string reply;  // the stored reply, once settled
  replay::Member before;
  replay::DealtHand hand;
};

// The computer player a hand was dealt against, as the hands table keeps it.
OpponentLevel StoredOpponent(std::int64_t stored) {
  if (stored == static_cast<int>(OpponentLevel::kWritten)) return OpponentLevel::kWritten;
  if (stored == static_cast<int>(OpponentLevel::kSearch)) return OpponentLevel::kSearch;
  throw std::runtime_error("a hand with the unknown opponent " + std::to_string(stored));
}

// The level a deal asks for: none sent is the written player; anything but "0" and "1"
// is no level.
std::optional<OpponentLevel> ParseLevel(const std::optional<std::string>& level) {
  if (!level || *level == "0") return OpponentLevel::kWritten;
  if (*level == "1") return OpponentLevel::kSearch;
  return std::nullopt;
}

std::optional<HandRow> LoadHand(sql::Connection& db, std::int64_t id) {
  const std::optional<sql::Row> select = db.QueryRow(
      "SELECT h.member, h.state, h.reply, h.deck, h.mission, h.member_first, h.stake, "
      "h.service_cards, h.money_at_deal, h.wins_at_deal, h.losses_at_deal, h.draws_at_deal, "
      "h.missions_at_deal, m.voice, m.avatar, h.opponent FROM hands h JOIN members m ON "
      "m.name = h.member WHERE h.id = ?",
      {id});
  if (!select) return std::nullopt;
  HandRow row;
  row.id = id;
  row.member = select->Text(0);
  row.open = select->Text(1) == "dealt";
  row.reply = select->Text(2);
  row.hand = {.Deck = select->Text(3),
              .Mission = static_cast<int>(select->Int(4)),
              .MemberFirst = select->Int(5) == 1,
              .Stake = select->Text(6),
              .ServiceCards = static_cast<int>(select->Int(7)),
              .Opponent = StoredOpponent(select->Int(15))};
  row.before = {.Name = row.member,
                .Voice = select->Text(13),
                .Avatar = static_cast<int>(select->Int(14)),
                .Money = select->Text(8),
                .Wins = select->Text(9),
                .Losses = select->Text(10),
                .Draws = select->Text(11),
                .Missions = select->Text(12)};
  return row;
}

// What settling a hand does to the member.
struct HandEffect {
  const char* outcome = "void";  // as the hands table keeps it
  std::string change = "0";      // money after the hand minus money at the deal
  int wins = 0;
  int losses = 0;
  int draws = 0;
  int missions = 0;
  std::optional<bool> member_first;  // who plays first next; nothing leaves it as it is
};

HandEffect EffectOf(const HandRow& hand, const replay::Settlement& settlement) {
  HandEffect effect;
  effect.change = BigSubtract(settlement.After.Money, hand.before.Money);
  switch (settlement.MemberSave.Outcome) {
    case HandOutcome::kWon:
      effect.outcome = "won";
      effect.wins = 1;
      effect.missions = settlement.MemberSave.MissionAchieved ? 1 : 0;
      effect.member_first = true;
      break;
    case HandOutcome::kLost:
      effect.outcome = "lost";
      effect.losses = 1;
      effect.member_first = false;
      break;
    case HandOutcome::kDrawn:  // the one who played first plays first again
      effect.outcome = "drawn";
      effect.draws = 1;
      effect.member_first = hand.hand.MemberFirst;
      break;
  }
  return effect;
}

std::string SaveReplyText(const MemberFigures& f) {
  return "OK|" + f.money + "|" + std::to_string(f.wins) + "|" + std::to_string(f.losses) + "|" +
         std::to_string(f.draws) + "|" + std::to_string(f.missions) + "|" + RankTitle(f.money);
}

// Applies a settled hand to its member and closes it, in one transaction, and returns
// the reply of the settlement. A hand settled meanwhile (a save posted twice at once, a
// sweep) is left as it is, and its stored reply returned with `applied` false.
std::string ApplySettlement(sql::Database& database, sql::Lease& db, const HandRow& hand,
                            const HandEffect& effect, const char* settled_by,
                            const std::string& record, const std::string& now, bool& applied) {
  applied = false;
  sql::WriteTransaction transaction(database, db);
  {
    const std::optional<sql::Row> state =
        db->QueryRow("SELECT state, reply FROM hands WHERE id = ?", {hand.id});
    if (!state) throw std::runtime_error("hand vanished while it was settled");
    if (state->Text(0) != "dealt") return state->Text(1);
  }
  MemberFigures member = *FindIn(*db, hand.member);
  // Added to the money of now, not the money at the deal: a top-up or the operator's
  // change during the hand stays. What the hand took cannot take more than there is.
  member.money = BigAdd(member.money, effect.change);
  if (member.money.starts_with('-')) member.money = "0";
  member.wins += effect.wins;
  member.losses += effect.losses;
  member.draws += effect.draws;
  member.missions += effect.missions;
  db->Execute(
      "UPDATE members SET money = ?, wins = ?, losses = ?, draws = ?, missions = ?, "
      "member_first = coalesce(?, member_first) WHERE name = ?",
      {member.money, member.wins, member.losses, member.draws, member.missions,
       effect.member_first ? sql::Param(*effect.member_first ? 1 : 0) : sql::Param(nullptr),
       hand.member});

  std::string reply = SaveReplyText(member);
  db->Execute(
      "UPDATE hands SET state = 'settled', settled_by = ?, outcome = ?, money_change = ?, "
      "record = ?, reply = ?, settled = ? WHERE id = ?",
      {settled_by, effect.outcome, effect.change, record, reply, now, hand.id});
  transaction.Commit();
  applied = true;
  return reply;
}

// A hand's id as posted: digits only, small enough for 64 bits.
std::optional<std::int64_t> ParseHandId(std::string_view text) {
  if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != text.npos) {
    return std::nullopt;
  }
  return std::stoll(std::string(text));
}

// A posted text as it may go into the log: printable ASCII, at most `limit` characters.
std::string Loggable(std::string_view text, std::size_t limit = 60) {
  std::string shown;
  for (const char c : text.substr(0, limit))
    shown += c >= 0x20 && c < 0x7F ? c : '?';
  if (text.size() > limit) shown += "...";
  return shown;
}

void EnsureSeed(sql::Connection& db, const std::string& day) {
  const std::string seed = RandomHex(kServerSeedLength / 2);
  db.Execute(
      "INSERT INTO server_seeds (day, seed, commitment) VALUES (?, ?, ?) ON CONFLICT DO NOTHING",
      {day, seed, SeedCommitment(seed)});
}

bool IsStake(std::string_view text) {
  return std::ranges::find(kStakes, text) != std::end(kStakes);
}

std::string HandText(const HandRow& hand) {
  return "hand " + std::to_string(hand.id) + " of " + hand.member;
}

std::string ResultText(const HandEffect& effect) {
  return std::string(effect.outcome) + ", money " +
         (effect.change.starts_with('-') ? effect.change : "+" + effect.change);
}

// The columns ReadView() reads, from hands h joined with its seed s; the one before the
// last tells whether a hand dealt from the seed is still open.
constexpr const char* kViewSelect =
    "SELECT h.id, h.dealt, h.stake, h.service_cards, h.game_seed, s.commitment, h.deck, "
    "h.state, h.outcome, h.money_change, h.settled_by, s.seed, s.day, "
    "CASE WHEN EXISTS (SELECT 1 FROM hands o WHERE o.seed_day = s.day AND o.state = 'dealt') "
    "THEN 1 ELSE 0 END, h.opponent FROM hands h JOIN server_seeds s ON s.day = h.seed_day ";

HandResult ResultOf(const std::string& outcome) {
  if (outcome == "won") return HandResult::kWon;
  if (outcome == "lost") return HandResult::kLost;
  if (outcome == "drawn") return HandResult::kDrawn;
  return HandResult::kVoid;
}

// A seed is revealed once its day is over and no hand it dealt is open: until then it
// would tell a player the draw pile of his hand.
bool Revealed(const std::string& day, bool open_hands, const std::string& today) {
  return day < today && !open_hands;
}

HandView ReadView(const sql::Row& row, const std::string& today) {
  HandView view;
  view.id = row.Int(0);
  view.dealt = row.Text(1);
  view.stake = row.Text(2);
  view.service_cards = static_cast<int>(row.Int(3));
  view.search_opponent = StoredOpponent(row.Int(14)) == OpponentLevel::kSearch;
  view.game_seed = row.Text(4);
  view.seed_commitment = row.Text(5);
  view.deck_commitment = DeckCommitment(row.Text(6));
  if (row.Text(7) != "dealt") {
    view.result = ResultOf(row.Text(8));
    view.change = row.Text(9);
    view.settled_by = row.Text(10) == "record" ? SettledBy::kRecord : SettledBy::kIdle;
  }
  if (Revealed(row.Text(12), row.Int(13) != 0, today)) view.server_seed = row.Text(11);
  return view;
}

}  // namespace

DealResult MemberStore::Deal(const DealRequest& typed) {
  DealRequest request = typed;
  request.name = NormalizedName(typed.name);
  {
    sql::Lease db = db_->Borrow();
    if (!SessionMatches(*db, request.name, request.session)) return {DealRefusal::kSession, {}};
  }
  const std::optional<OpponentLevel> level = ParseLevel(request.level);
  if (!IsStake(request.stake) || request.service.size() != 1 || request.service[0] < '0' ||
      request.service[0] > '5' || !IsGameSeed(request.game_seed) || !level) {
    return {DealRefusal::kBadSettings, {}};
  }
  const int service_cards = request.service[0] - '0';
  const int opponent = static_cast<int>(*level);
  KeepSeedsAhead();

  // The same request again while its hand is open: the game never saw the reply (it was
  // lost on its way), so the hand is answered again rather than abandoned.
  {
    sql::Lease db = db_->Borrow();
    if (const std::optional<sql::Row> open = db->QueryRow(
            "SELECT h.id, h.deck, h.mission, h.member_first, h.money_at_deal, s.commitment "
            "FROM hands h JOIN server_seeds s ON s.day = h.seed_day WHERE h.member = ? AND "
            "h.state = 'dealt' AND h.game_seed = ? AND h.stake = ? AND h.service_cards = ? AND "
            "h.opponent = ?",
            {request.name, request.game_seed, request.stake, service_cards, opponent})) {
      return {std::nullopt,
              {open->Int(0), open->Text(1), static_cast<int>(open->Int(2)), open->Int(3) == 1,
               open->Text(4), open->Text(5)}};
    }
  }

  // Another deal of the same member may slip in between the settling and the deal; its
  // hand is then settled in the next round.
  for (int round = 0; round < 4; ++round) {
    SettleOpenHands(request.name);
    sql::Lease db = db_->Borrow();
    sql::WriteTransaction transaction(*db_, db);
    if (!SessionMatches(*db, request.name, request.session)) return {DealRefusal::kSession, {}};
    if (db->QueryRow("SELECT 1 FROM hands WHERE member = ? AND state = 'dealt'", {request.name})) {
      continue;
    }
    const bool member_first =
        db->QueryRow("SELECT member_first FROM members WHERE name = ?", {request.name})->Int(0) ==
        1;
    const MemberFigures member = *FindIn(*db, request.name);
    if (BigCompare(member.money, BigMultiply(request.stake, kStakesNeeded)) < 0) {
      return {DealRefusal::kTooPoor, {}};
    }

    const std::string today = LocalDay(0);
    EnsureSeed(*db, today);
    const sql::Row day =
        *db->QueryRow("SELECT seed, commitment FROM server_seeds WHERE day = ?", {today});
    const std::string& seed = day.Text(0);
    const std::string& commitment = day.Text(1);
    const std::int64_t id =
        db->QueryRow(
              "INSERT INTO hands (member, seed_day, game_seed, stake, service_cards, opponent, "
              "member_first, dealt, dealt_at, money_at_deal, wins_at_deal, losses_at_deal, "
              "draws_at_deal, missions_at_deal) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
              "?) RETURNING id",
              {request.name, today, request.game_seed, request.stake, service_cards, opponent,
               member_first ? 1 : 0, LocalTime("%Y-%m-%d %H:%M:%S"), NowSeconds(), member.money,
               member.wins, member.losses, member.draws, member.missions})
            ->Int(0);
    SeededDeal deal = FairDeal(seed, request.game_seed, std::to_string(id), service_cards);
    {
      const std::lock_guard lock(test_deals_mutex_);
      if (!options_.test_deals.empty()) {
        deal = options_.test_deals.front();
        options_.test_deals.erase(options_.test_deals.begin());
      }
    }
    db->Execute("UPDATE hands SET deck = ?, mission = ? WHERE id = ?",
                {deal.Deck, deal.Mission, id});
    transaction.Commit();
    return {std::nullopt, {id, deal.Deck, deal.Mission, member_first, member.money, commitment}};
  }
  throw std::runtime_error("the member's deals keep crossing each other");
}

HandSaveResult MemberStore::SaveHand(const HandSave& typed) {
  HandSave save = typed;
  save.name = NormalizedName(typed.name);
  std::optional<HandRow> hand;
  {
    sql::Lease db = db_->Borrow();
    if (!SessionMatches(*db, save.name, save.session)) return {SaveRefusal::kSession, {}};
    if (!save.hand) return {SaveRefusal::kOldGame, {}};
    if (const std::optional<std::int64_t> id = ParseHandId(*save.hand)) hand = LoadHand(*db, *id);
  }
  // Someone else's hand is refused exactly as a hand that does not exist.
  if (!hand || hand->member != save.name) return {SaveRefusal::kUnknownHand, {}};
  if (!hand->open) return {std::nullopt, hand->reply};

  // Played again against the computer player the hand was dealt against.
  std::string why = "it is not a record";
  std::optional<replay::Settlement> settlement;
  if (const std::optional<HandRecord> record = ParseRecord(save.play)) {
    settlement = replay::Replay(hand->before, hand->hand, *record, why);
  }
  if (!settlement) {
    Note(HandText(*hand) + ": the record \"" + Loggable(save.play) + "\" is refused: " + why);
    return {SaveRefusal::kIllegalRecord, {}};
  }

  const HandEffect effect = EffectOf(*hand, *settlement);
  bool applied = false;
  std::string reply;
  {
    sql::Lease db = db_->Borrow();
    reply = ApplySettlement(*db_, db, *hand, effect, "record", RecordText(settlement->Decisions),
                            LocalTime("%Y-%m-%d %H:%M:%S"), applied);
  }
  const PostedFigures& p = save.posted;
  const replay::Member& after = settlement->After;
  if (applied &&
      (p.money != after.Money || p.change != settlement->UpPoint || p.wins != after.Wins ||
       p.losses != after.Losses || p.draws != after.Draws || p.missions != after.Missions)) {
    Note(HandText(*hand) + ": the game posted recpoint=" + Loggable(p.money) + " recuppoint=" +
         Loggable(p.change) + " recwin=" + Loggable(p.wins) + " reclose=" + Loggable(p.losses) +
         " recdraw=" + Loggable(p.draws) + " recmission=" + Loggable(p.missions) +
         " but the hand settles at money " + after.Money + " change " + settlement->UpPoint +
         " wins " + after.Wins + " losses " + after.Losses + " draws " + after.Draws +
         " missions " + after.Missions + ": a modified or out-of-date game");
  }
  return {std::nullopt, reply};
}

bool MemberStore::SettleIdle(std::int64_t hand_id) {
  std::optional<HandRow> hand;
  {
    sql::Lease db = db_->Borrow();
    hand = LoadHand(*db, hand_id);
  }
  if (!hand || !hand->open) return false;
  // Against the player it was dealt against; no connection is held meanwhile.
  std::string why;
  const std::optional<replay::Settlement> settlement =
      replay::PlayIdle(hand->before, hand->hand, why);
  // A hand that cannot be played to its end is void rather than open for ever: it moves
  // no money and counts for nobody.
  const HandEffect effect = settlement ? EffectOf(*hand, *settlement) : HandEffect{};
  bool applied = false;
  sql::Lease db = db_->Borrow();
  ApplySettlement(*db_, db, *hand, effect, "idle",
                  settlement ? RecordText(settlement->Decisions) : "",
                  LocalTime("%Y-%m-%d %H:%M:%S"), applied);
  if (applied) {
    Note(HandText(*hand) + " was abandoned and settles with the member idle: " +
         (settlement ? ResultText(effect)
                     : "void, as it cannot be played to its end (" + why + ")"));
  }
  return applied;
}

int MemberStore::SettleOpenHands(const std::string& name) {
  std::vector<std::int64_t> open;
  {
    sql::Lease db = db_->Borrow();
    for (const sql::Row& row :
         db->Query("SELECT id FROM hands WHERE member = ? AND state = 'dealt'", {name}))
      open.push_back(row.Int(0));
  }
  int settled = 0;
  for (const std::int64_t id : open)
    settled += SettleIdle(id) ? 1 : 0;
  return settled;
}

int MemberStore::SettleAbandonedHands(std::chrono::seconds age) {
  std::vector<std::int64_t> abandoned;
  {
    sql::Lease db = db_->Borrow();
    for (const sql::Row& row :
         db->Query("SELECT id FROM hands WHERE state = 'dealt' AND dealt_at <= ? ORDER BY id",
                   {NowSeconds() - static_cast<std::int64_t>(age.count())}))
      abandoned.push_back(row.Int(0));
  }
  int settled = 0;
  for (const std::int64_t id : abandoned)
    settled += SettleIdle(id) ? 1 : 0;
  return settled;
}

void MemberStore::KeepSeedsAhead() {
  const std::string today = LocalDay(0);
  const std::string tomorrow = LocalDay(1);
  sql::Lease db = db_->Borrow();
  if (db->QueryRow("SELECT count(*) FROM server_seeds WHERE day IN (?, ?)", {today, tomorrow})
          ->Int(0) == 2) {
    return;  // as nearly always: spare the write lock
  }
  sql::WriteTransaction transaction(*db_, db);
  EnsureSeed(*db, today);
  EnsureSeed(*db, tomorrow);
  transaction.Commit();
}

FairSeeds MemberStore::Seeds() {
  KeepSeedsAhead();
  const std::string today = LocalDay(0);
  const std::string tomorrow = LocalDay(1);
  sql::Lease db = db_->Borrow();
  FairSeeds seeds;
  for (const sql::Row& row : db->Query(
           "SELECT s.day, s.commitment, s.seed, CASE WHEN EXISTS (SELECT 1 FROM hands h WHERE "
           "h.seed_day = s.day AND h.state = 'dealt') THEN 1 ELSE 0 END FROM server_seeds s "
           "ORDER BY s.day DESC")) {
    SeedDay day{row.Text(0), row.Text(1), "", row.Int(3) != 0};
    if (Revealed(day.day, day.open_hands, today)) day.seed = row.Text(2);
    if (day.day == today) {
      seeds.today = std::move(day);
    } else if (day.day == tomorrow) {
      seeds.tomorrow = std::move(day);
    } else if (day.day < today) {
      seeds.past.push_back(std::move(day));
    }
  }
  return seeds;
}

std::vector<HandView> MemberStore::Hands(const std::string& name, const char* where,
                                         int count) const {
  const std::string today = LocalDay(0);
  sql::Lease db = db_->Borrow();
  std::vector<HandView> hands;
  for (const sql::Row& row : db->Query(
           std::string(kViewSelect) + "WHERE h.member = ? " + where + " ORDER BY h.id DESC LIMIT ?",
           {name, count}))
    hands.push_back(ReadView(row, today));
  return hands;
}

std::optional<std::vector<HandView>> MemberStore::CheckedHands(const std::string& typed_name,
                                                               std::string_view password,
                                                               int count) {
  const std::string name = NormalizedName(typed_name);
  std::optional<std::string> hash;
  {
    sql::Lease db = db_->Borrow();
    hash = database::PasswordHashOf(*db, name);
  }
  if (!CheckPassword(hash, password)) return std::nullopt;
  return Hands(name, "", count);
}

std::vector<HandView> MemberStore::OpenHands(const std::string& name) const {
  return Hands(name, "AND h.state = 'dealt'", 1000);
}

std::vector<HandView> MemberStore::SettledHands(const std::string& name, int count) const {
  return Hands(name, "AND h.state = 'settled'", count);
}

}  // namespace hw::portal
