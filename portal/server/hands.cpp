// The store's hands: dealing, settling from a record or with the member idle, the server
// seeds and the lists of hands.

#include <SQLiteCpp/SQLiteCpp.h>

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

std::optional<HandRow> LoadHand(SQLite::Database& db, std::int64_t id) {
  SQLite::Statement select(
      db,
      "SELECT h.member, h.state, h.reply, h.deck, h.mission, h.member_first, h.stake, "
      "h.service_cards, h.money_at_deal, h.wins_at_deal, h.losses_at_deal, h.draws_at_deal, "
      "h.missions_at_deal, m.voice, m.avatar FROM hands h JOIN members m ON m.name = h.member "
      "WHERE h.id = ?");
  select.bind(1, id);
  if (!select.executeStep()) return std::nullopt;
  HandRow row;
  row.id = id;
  row.member = select.getColumn(0).getString();
  row.open = select.getColumn(1).getString() == "dealt";
  row.reply = select.getColumn(2).getString();
  row.hand = {.Deck = select.getColumn(3).getString(),
              .Mission = select.getColumn(4).getInt(),
              .MemberFirst = select.getColumn(5).getInt() == 1,
              .Stake = select.getColumn(6).getString(),
              .ServiceCards = select.getColumn(7).getInt()};
  row.before = {.Name = row.member,
                .Voice = select.getColumn(13).getString(),
                .Avatar = select.getColumn(14).getInt(),
                .Money = select.getColumn(8).getString(),
                .Wins = std::to_string(select.getColumn(9).getInt64()),
                .Losses = std::to_string(select.getColumn(10).getInt64()),
                .Draws = std::to_string(select.getColumn(11).getInt64()),
                .Missions = std::to_string(select.getColumn(12).getInt64())};
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
std::string ApplySettlement(database::Pool& pool, SQLite::Database& db, const HandRow& hand,
                            const HandEffect& effect, const char* settled_by,
                            const std::string& record, const std::string& now, bool& applied) {
  applied = false;
  database::WriteTransaction transaction(pool, db);
  {
    SQLite::Statement state(db, "SELECT state, reply FROM hands WHERE id = ?");
    state.bind(1, hand.id);
    if (!state.executeStep()) throw std::runtime_error("hand vanished while it was settled");
    if (state.getColumn(0).getString() != "dealt") return state.getColumn(1).getString();
  }
  MemberFigures member = *FindIn(db, hand.member);
  // Added to the money of now, not the money at the deal: a top-up or the operator's
  // change during the hand stays. What the hand took cannot take more than there is.
  member.money = BigAdd(member.money, effect.change);
  if (member.money.starts_with('-')) member.money = "0";
  member.wins += effect.wins;
  member.losses += effect.losses;
  member.draws += effect.draws;
  member.missions += effect.missions;
  SQLite::Statement update(db,
                           "UPDATE members SET money = ?, wins = ?, losses = ?, draws = ?, "
                           "missions = ?, member_first = coalesce(?, member_first) WHERE name = ?");
  update.bind(1, member.money);
  update.bind(2, member.wins);
  update.bind(3, member.losses);
  update.bind(4, member.draws);
  update.bind(5, member.missions);
  if (effect.member_first) {
    update.bind(6, *effect.member_first ? 1 : 0);
  } else {
    update.bind(6);
  }
  update.bind(7, hand.member);
  update.exec();

  std::string reply = SaveReplyText(member);
  SQLite::Statement close(db,
                          "UPDATE hands SET state = 'settled', settled_by = ?, outcome = ?, "
                          "money_change = ?, record = ?, reply = ?, settled = ? WHERE id = ?");
  close.bind(1, settled_by);
  close.bind(2, effect.outcome);
  close.bind(3, effect.change);
  close.bind(4, record);
  close.bind(5, reply);
  close.bind(6, now);
  close.bind(7, hand.id);
  close.exec();
  transaction.commit();
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

void EnsureSeed(SQLite::Database& db, const std::string& day) {
  const std::string seed = RandomHex(kServerSeedLength / 2);
  SQLite::Statement insert(
      db, "INSERT OR IGNORE INTO server_seeds (day, seed, commitment) VALUES (?, ?, ?)");
  insert.bind(1, day);
  insert.bind(2, seed);
  insert.bind(3, SeedCommitment(seed));
  insert.exec();
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

// The columns ReadView() reads, from hands h joined with its seed s; the last tells
// whether a hand dealt from the seed is still open.
constexpr const char* kViewSelect =
    "SELECT h.id, h.dealt, h.stake, h.service_cards, h.game_seed, s.commitment, h.deck, "
    "h.state, h.outcome, h.money_change, h.settled_by, s.seed, s.day, "
    "EXISTS (SELECT 1 FROM hands o WHERE o.seed_day = s.day AND o.state = 'dealt') "
    "FROM hands h JOIN server_seeds s ON s.day = h.seed_day ";

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

HandView ReadView(SQLite::Statement& row, const std::string& today) {
  HandView view;
  view.id = row.getColumn(0).getInt64();
  view.dealt = row.getColumn(1).getString();
  view.stake = row.getColumn(2).getString();
  view.service_cards = row.getColumn(3).getInt();
  view.game_seed = row.getColumn(4).getString();
  view.seed_commitment = row.getColumn(5).getString();
  view.deck_commitment = DeckCommitment(row.getColumn(6).getString());
  if (row.getColumn(7).getString() != "dealt") {
    view.result = ResultOf(row.getColumn(8).getString());
    view.change = row.getColumn(9).getString();
    view.settled_by =
        row.getColumn(10).getString() == "record" ? SettledBy::kRecord : SettledBy::kIdle;
  }
  if (Revealed(row.getColumn(12).getString(), row.getColumn(13).getInt() != 0, today)) {
    view.server_seed = row.getColumn(11).getString();
  }
  return view;
}

}  // namespace

DealResult MemberStore::Deal(const DealRequest& typed) {
  DealRequest request = typed;
  request.name = NormalizedName(typed.name);
  {
    database::Lease db = pool_->Borrow();
    if (!SessionMatches(db, request.name, request.session)) return {DealRefusal::kSession, {}};
  }
  if (!IsStake(request.stake) || request.service.size() != 1 || request.service[0] < '0' ||
      request.service[0] > '5' || !IsGameSeed(request.game_seed)) {
    return {DealRefusal::kBadSettings, {}};
  }
  const int service_cards = request.service[0] - '0';
  KeepSeedsAhead();

  // The same request again while its hand is open: the game never saw the reply (it was
  // lost on its way), so the hand is answered again rather than abandoned.
  {
    database::Lease db = pool_->Borrow();
    SQLite::Statement select(
        db,
        "SELECT h.id, h.deck, h.mission, h.member_first, h.money_at_deal, s.commitment "
        "FROM hands h JOIN server_seeds s ON s.day = h.seed_day WHERE h.member = ? AND "
        "h.state = 'dealt' AND h.game_seed = ? AND h.stake = ? AND h.service_cards = ?");
    select.bind(1, request.name);
    select.bind(2, request.game_seed);
    select.bind(3, request.stake);
    select.bind(4, service_cards);
    if (select.executeStep()) {
      return {std::nullopt,
              {select.getColumn(0).getInt64(), select.getColumn(1).getString(),
               select.getColumn(2).getInt(), select.getColumn(3).getInt() == 1,
               select.getColumn(4).getString(), select.getColumn(5).getString()}};
    }
  }

  // Another deal of the same member may slip in between the settling and the deal; its
  // hand is then settled in the next round.
  for (int round = 0; round < 4; ++round) {
    SettleOpenHands(request.name);
    database::Lease db = pool_->Borrow();
    database::WriteTransaction transaction(*pool_, db);
    if (!SessionMatches(db, request.name, request.session)) return {DealRefusal::kSession, {}};
    bool member_first = true;
    {
      SQLite::Statement select(
          db,
          "SELECT member_first, EXISTS (SELECT 1 FROM hands WHERE member = ?1 AND state = "
          "'dealt') FROM members WHERE name = ?1");
      select.bind(1, request.name);
      select.executeStep();
      member_first = select.getColumn(0).getInt() == 1;
      if (select.getColumn(1).getInt() != 0) continue;
    }
    const MemberFigures member = *FindIn(db, request.name);
    if (BigCompare(member.money, BigMultiply(request.stake, kStakesNeeded)) < 0) {
      return {DealRefusal::kTooPoor, {}};
    }

    const std::string today = LocalDay(0);
    EnsureSeed(db, today);
    std::string seed;
    std::string commitment;
    {
      SQLite::Statement select(db, "SELECT seed, commitment FROM server_seeds WHERE day = ?");
      select.bind(1, today);
      select.executeStep();
      seed = select.getColumn(0).getString();
      commitment = select.getColumn(1).getString();
    }
    SQLite::Statement insert(
        db,
        "INSERT INTO hands (member, seed_day, game_seed, stake, service_cards, member_first, "
        "dealt, dealt_at, money_at_deal, wins_at_deal, losses_at_deal, draws_at_deal, "
        "missions_at_deal) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    insert.bind(1, request.name);
    insert.bind(2, today);
    insert.bind(3, request.game_seed);
    insert.bind(4, request.stake);
    insert.bind(5, service_cards);
    insert.bind(6, member_first ? 1 : 0);
    insert.bind(7, LocalTime("%Y-%m-%d %H:%M:%S"));
    insert.bind(8, NowSeconds());
    insert.bind(9, member.money);
    insert.bind(10, member.wins);
    insert.bind(11, member.losses);
    insert.bind(12, member.draws);
    insert.bind(13, member.missions);
    insert.exec();
    const std::int64_t id = db->getLastInsertRowid();
    SeededDeal deal = FairDeal(seed, request.game_seed, std::to_string(id), service_cards);
    {
      const std::lock_guard lock(test_deals_mutex_);
      if (!options_.test_deals.empty()) {
        deal = options_.test_deals.front();
        options_.test_deals.erase(options_.test_deals.begin());
      }
    }
    SQLite::Statement update(db, "UPDATE hands SET deck = ?, mission = ? WHERE id = ?");
    update.bind(1, deal.Deck);
    update.bind(2, deal.Mission);
    update.bind(3, id);
    update.exec();
    transaction.commit();
    return {std::nullopt, {id, deal.Deck, deal.Mission, member_first, member.money, commitment}};
  }
  throw std::runtime_error("the member's deals keep crossing each other");
}

HandSaveResult MemberStore::SaveHand(const HandSave& typed) {
  HandSave save = typed;
  save.name = NormalizedName(typed.name);
  std::optional<HandRow> hand;
  {
    database::Lease db = pool_->Borrow();
    if (!SessionMatches(db, save.name, save.session)) return {SaveRefusal::kSession, {}};
    if (!save.hand) return {SaveRefusal::kOldGame, {}};
    if (const std::optional<std::int64_t> id = ParseHandId(*save.hand)) hand = LoadHand(db, *id);
  }
  // Someone else's hand is refused exactly as a hand that does not exist.
  if (!hand || hand->member != save.name) return {SaveRefusal::kUnknownHand, {}};
  if (!hand->open) return {std::nullopt, hand->reply};

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
    database::Lease db = pool_->Borrow();
    reply = ApplySettlement(*pool_, db, *hand, effect, "record", RecordText(settlement->Decisions),
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
  database::Lease db = pool_->Borrow();
  const std::optional<HandRow> hand = LoadHand(db, hand_id);
  if (!hand || !hand->open) return false;
  std::string why;
  const std::optional<replay::Settlement> settlement =
      replay::PlayIdle(hand->before, hand->hand, why);
  // A hand that cannot be played to its end is void rather than open for ever: it moves
  // no money and counts for nobody.
  const HandEffect effect = settlement ? EffectOf(*hand, *settlement) : HandEffect{};
  bool applied = false;
  ApplySettlement(*pool_, db, *hand, effect, "idle",
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
    database::Lease db = pool_->Borrow();
    SQLite::Statement select(db, "SELECT id FROM hands WHERE member = ? AND state = 'dealt'");
    select.bind(1, name);
    while (select.executeStep())
      open.push_back(select.getColumn(0).getInt64());
  }
  int settled = 0;
  for (const std::int64_t id : open)
    settled += SettleIdle(id) ? 1 : 0;
  return settled;
}

int MemberStore::SettleAbandonedHands(std::chrono::seconds age) {
  std::vector<std::int64_t> abandoned;
  {
    database::Lease db = pool_->Borrow();
    SQLite::Statement select(
        db, "SELECT id FROM hands WHERE state = 'dealt' AND dealt_at <= ? ORDER BY id");
    select.bind(1, NowSeconds() - static_cast<std::int64_t>(age.count()));
    while (select.executeStep())
      abandoned.push_back(select.getColumn(0).getInt64());
  }
  int settled = 0;
  for (const std::int64_t id : abandoned)
    settled += SettleIdle(id) ? 1 : 0;
  return settled;
}

void MemberStore::KeepSeedsAhead() {
  const std::string today = LocalDay(0);
  const std::string tomorrow = LocalDay(1);
  database::Lease db = pool_->Borrow();
  {
    SQLite::Statement count(db, "SELECT count(*) FROM server_seeds WHERE day IN (?, ?)");
    count.bind(1, today);
    count.bind(2, tomorrow);
    count.executeStep();
    if (count.getColumn(0).getInt() == 2) return;  // as nearly always: spare the write lock
  }
  database::WriteTransaction transaction(*pool_, db);
  EnsureSeed(db, today);
  EnsureSeed(db, tomorrow);
  transaction.commit();
}

FairSeeds MemberStore::Seeds() {
  KeepSeedsAhead();
  const std::string today = LocalDay(0);
  const std::string tomorrow = LocalDay(1);
  database::Lease db = pool_->Borrow();
  SQLite::Statement select(
      db,
      "SELECT s.day, s.commitment, s.seed, EXISTS (SELECT 1 FROM hands h WHERE h.seed_day = "
      "s.day AND h.state = 'dealt') FROM server_seeds s ORDER BY s.day DESC");
  FairSeeds seeds;
  while (select.executeStep()) {
    SeedDay day{select.getColumn(0).getString(), select.getColumn(1).getString(), "",
                select.getColumn(3).getInt() != 0};
    if (Revealed(day.day, day.open_hands, today)) day.seed = select.getColumn(2).getString();
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
  database::Lease db = pool_->Borrow();
  SQLite::Statement select(
      db, std::string(kViewSelect) + "WHERE h.member = ? " + where + " ORDER BY h.id DESC LIMIT ?");
  select.bind(1, name);
  select.bind(2, count);
  std::vector<HandView> hands;
  while (select.executeStep())
    hands.push_back(ReadView(select, today));
  return hands;
}

std::optional<std::vector<HandView>> MemberStore::CheckedHands(const std::string& typed_name,
                                                               std::string_view password,
                                                               int count) {
  const std::string name = NormalizedName(typed_name);
  std::optional<std::string> hash;
  {
    database::Lease db = pool_->Borrow();
    hash = database::PasswordHashOf(db, name);
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
