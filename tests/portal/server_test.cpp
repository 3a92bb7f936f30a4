// The portal web server in this process on a free loopback port, spoken to with an HTTP
// client as the game and a browser would; and the hwatable-portal program itself.
//
// The hands the portal deals are played here at a table of the test's own (the same
// headless game the portal replays with), and what the portal settles is compared with
// replay::Replay's reckoning of the same deal and record.

#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include <SQLiteCpp/SQLiteCpp.h>

#include "hwatable_version.h"
#include "platform/digest.h"
#include "platform/list_signature.h"
#include "platform/local_portal_record.h"
#include "portal/fair_deal.h"
#include "portal/server/member_store.h"
#include "portal/server/portal_server.h"
#include "portal/server/sql.h"
#include "replay/table.h"
#include "rules/money.h"
#include "tests/support/test_postgres.h"
#include "updater/update_list.h"

namespace hw::portal {
namespace sql {
// How the tests name a store.
void PrintTo(Kind kind, std::ostream* out) {
  *out << (kind == Kind::kSqlite ? "SQLite" : "PostgreSQL");
}
}  // namespace sql
namespace {

namespace fs = std::filesystem;
using Fields = httplib::Params;

constexpr const char* kAccess = "quenrithzmvokrtyplaxe";

// A fresh folder, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder()
      : path_(fs::temp_directory_path() /
              ("portal-test-" + std::to_string(getpid()) + "-" + std::to_string(++count_))) {
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  static inline int count_ = 0;
  fs::path path_;
};

// The built program with its output (stdout and stderr together) on a pipe; killed at
// the end if it is still running.
class Program {
 public:
  explicit Program(const std::vector<std::string>& args) {
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 2);
    posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
    std::vector<char*> argv{const_cast<char*>(HWATABLE_PORTAL_PROGRAM)};
    for (const std::string& arg : args)
      argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const int spawned =
        posix_spawn(&pid_, HWATABLE_PORTAL_PROGRAM, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_ends[1]);
    output_ = pipe_ends[0];
    if (spawned != 0) pid_ = -1;
  }
  ~Program() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(output_);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  std::string ReadLine() {
    std::string line;
    char c;
    while (read(output_, &c, 1) == 1 && c != '\n')
      line += c;
    return line;
  }
  void Signal(int signal) const { kill(pid_, signal); }
  pid_t pid() const { return pid_; }
  // Reads the rest of the output, waits for the end and gives the exit status (-1 when
  // ended by a signal).
  int Finish(std::string* output = nullptr) {
    std::string rest;
    char buffer[4096];
    for (ssize_t got; (got = read(output_, buffer, sizeof buffer)) > 0;)
      rest.append(buffer, static_cast<std::size_t>(got));
    if (output != nullptr) *output = rest;
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  int output_ = -1;
};

int RunProgram(const std::vector<std::string>& args, std::string& output) {
  return Program(args).Finish(&output);
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> fields;
  std::istringstream in(text);
  for (std::string field; std::getline(in, field, '|');)
    fields.push_back(field);
  return fields;
}

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i)
    repeated += text;
  return repeated;
}

// A score save of a hand; the posted figures are what the game believes, which the
// portal only compares with its own.
Fields Save(const std::string& name, const std::string& session, const std::string& hand,
            const std::string& play,
            const std::array<std::string, 6>& posted = {"0", "0", "0", "0", "0", "0"}) {
  return {{"recencode", kAccess},  {"recnick", name},         {"recgcode", "001"},
          {"recsession", session}, {"rechand", hand},         {"recplay", play},
          {"recpoint", posted[0]}, {"recuppoint", posted[1]}, {"recwin", posted[2]},
          {"reclose", posted[3]},  {"recdraw", posted[4]},    {"recmission", posted[5]}};
}

// What an honest game posts after the hand.
std::array<std::string, 6> Honest(const replay::Settlement& s) {
  return {s.After.Money, s.UpPoint, s.After.Wins, s.After.Losses, s.After.Draws, s.After.Missions};
}

// The reply a save gets when nothing else moved the member's figures during the hand.
std::string ExpectedReply(const replay::Settlement& s) {
  return "OK|" + s.After.Money + "|" + s.After.Wins + "|" + s.After.Losses + "|" + s.After.Draws +
         "|" + s.After.Missions + "|" + RankTitle(s.After.Money);
}

// A hand played by a member who decides by chance, at a table of the test's own.
struct Played {
  HandRecord record;
  std::vector<Decision> first_choices;        // what he could decide first
  std::optional<replay::Settlement> settled;  // as the member's own game settled it
};

Played PlayByChance(const replay::Member& member, const replay::DealtHand& hand,
                    unsigned chance_seed) {
  replay::Table table(member);
  Played played;
  if (!table.Start(hand)) return played;
  std::mt19937 chance(chance_seed);
  while (table.RunToNextDecision() == replay::Table::Next::kMemberDecides) {
    const std::vector<Decision> choices = table.Choices();
    if (played.first_choices.empty()) played.first_choices = choices;
    table.Take(choices[std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(chance)]);
  }
  played.record = table.State().Record;
  if (table.Settled()) played.settled = replay::SettlementOf(table);
  return played;
}

replay::Settlement Replayed(const replay::Member& member, const replay::DealtHand& hand,
                            const HandRecord& record) {
  std::string why;
  std::optional<replay::Settlement> settled = replay::Replay(member, hand, record, why);
  if (!settled) throw std::runtime_error("the test's own record does not replay: " + why);
  return *settled;
}

replay::Settlement Idle(const replay::Member& member, const replay::DealtHand& hand) {
  std::string why;
  std::optional<replay::Settlement> settled = replay::PlayIdle(member, hand, why);
  if (!settled) throw std::runtime_error("the idle hand does not end: " + why);
  return *settled;
}

Fields Logout(const std::string& name, const std::string& session) {
  return {{"recencode", kAccess}, {"recnick", name}, {"recgcode", "001"}, {"recsession", session}};
}

// A deal's post; the level only when one is given, as the game sends it only for 고수.
Fields DealFields(const std::string& name, const std::string& session,
                  const std::string& stake = "100", const std::string& service = "3",
                  const std::string& seed = "5eed",
                  const std::optional<std::string>& level = std::nullopt) {
  Fields fields{{"recencode", kAccess},  {"recnick", name},   {"recgcode", "001"},
                {"recsession", session}, {"recstake", stake}, {"recservice", service},
                {"recseed", seed}};
  if (level) fields.emplace("reclevel", *level);
  return fields;
}

constexpr const char* kBadSettings = "ER|판의 설정이 올바르지 않습니다";
constexpr const char* kIllegalRecord = "ER|판의 기록이 규칙에 맞지 않아 점수를 저장하지 못했습니다";
// A member this rich still has twenty stakes after any hand played by chance, so a test that
// deals again after one never meets the "too little money" refusal, whatever the portal dealt
// (a hand at a 500 stake with four service cards loses 2,000 points about once in 170).
constexpr const char* kMoneyNoHandSpends = "1000000000000";

bool Refused(const std::string& reply) {
  return reply.starts_with("ER|") && Split(reply).size() == 2;
}

// Every test runs on both stores: the SQLite file and a PostgreSQL database.
class PortalTest : public ::testing::TestWithParam<sql::Kind> {
 protected:
  PortalTest()
      : database_(GetParam() == sql::Kind::kPostgres
                      ? hw::testing::TestPostgres::Shared().FreshDatabase()
                      : (data_.path() / kDatabaseFile).string()) {
    signal(SIGPIPE, SIG_IGN);  // the server may hang up on a client still sending
    Start();
  }

  void Start() {
    PortalOptions options;
    options.data_dir = data_.path();
    options.database = database_;
    options.hash_cost = HashCost::kMinimal;
    options.clock = [this] { return std::chrono::system_clock::time_point(now_.load()); };
    options.log = &log_;
    options.abandon_after = abandon_after_;
    options.sweep_every = std::chrono::milliseconds(20);
    server_.emplace(options);
    if (!server_->Bind("127.0.0.1", 0)) throw std::runtime_error("cannot bind");
    server_->Start();
  }
  void Restart() {
    server_.reset();
    Start();
  }

  // The server's database, on the server's clock.
  MemberStore Store() {
    return MemberStore(database_, {HashCost::kMinimal, [this] {
                                     return std::chrono::system_clock::time_point(now_.load());
                                   }});
  }
  std::string AddMember(const std::string& name, const std::string& money = "1000000") {
    NewMember member;
    member.name = name;
    member.password = "secret";
    member.money = money;
    const SignUpResult result = Store().AddMember(member);
    EXPECT_FALSE(result.refusal) << name;
    return result.recovery_code;
  }
  // money|wins|losses|draws|missions as stored.
  std::string Figures(const std::string& name) {
    const auto f = Store().Find(name);
    if (!f) return "no such member";
    return f->money + "|" + std::to_string(f->wins) + "|" + std::to_string(f->losses) + "|" +
           std::to_string(f->draws) + "|" + std::to_string(f->missions);
  }

  // Waiting as long as the game does: a hand against the search player may take seconds
  // to be played again in a debug build on a busy machine.
  httplib::Client Client() {
    httplib::Client client("127.0.0.1", server_->port());
    client.set_read_timeout(20, 0);
    return client;
  }
  std::string Reply(const std::string& path, const Fields& fields) {
    const httplib::Result result = Client().Post(path.c_str(), fields);
    EXPECT_TRUE(result && result->status == 200) << path;
    return result ? result->body : "";
  }
  std::string Page(const std::string& path) {
    const httplib::Result result = Client().Get(path.c_str());
    EXPECT_TRUE(result && result->status == 200) << path;
    return result ? result->body : "";
  }
  std::string Login(const std::string& name, const std::string& password,
                    const std::string& access = kAccess, const std::string& game = "001") {
    return Reply(
        "/sub/chk.asp",
        {{"recencode", access}, {"recnick", name}, {"recpwd", password}, {"recgcode", game}});
  }
  std::string Session(const std::string& name, const std::string& password = "secret") {
    const auto fields = Split(Login(name, password));
    return fields.size() == 10 ? fields[9] : "";
  }

  // A hand as the portal dealt it, with the member as he was at the deal: what the
  // replay starts from.
  struct Dealt {
    std::string id;
    replay::Member member;
    replay::DealtHand hand;
    std::string seed_commitment;
    std::string game_seed;
  };
  Dealt Deal(const std::string& name, const std::string& session, const std::string& stake = "100",
             const std::string& service = "3", const std::string& seed = "5eed",
             const std::optional<std::string>& level = std::nullopt) {
    const std::string reply =
        Reply("/sub/deal.asp", DealFields(name, session, stake, service, seed, level));
    const auto fields = Split(reply);
    if (fields.size() != 7 || fields[0] != "OK") throw std::runtime_error("not dealt: " + reply);
    const auto f = Store().Find(name);
    Dealt dealt;
    dealt.id = fields[1];
    dealt.member = {.Name = name,
                    .Voice = f->voice,
                    .Avatar = f->avatar,
                    .Money = fields[5],
                    .Wins = std::to_string(f->wins),
                    .Losses = std::to_string(f->losses),
                    .Draws = std::to_string(f->draws),
                    .Missions = std::to_string(f->missions)};
    dealt.hand = {.Deck = fields[2],
                  .Mission = std::stoi(fields[3]),
                  .MemberFirst = fields[4] == "1",
                  .Stake = stake,
                  .ServiceCards = std::stoi(service),
                  .Opponent = level == "1" ? OpponentLevel::kSearch : OpponentLevel::kWritten};
    dealt.seed_commitment = fields[6];
    dealt.game_seed = seed;
    return dealt;
  }
  std::string SaveReply(const std::string& name, const std::string& session, const Dealt& dealt,
                        const HandRecord& record, const std::array<std::string, 6>& posted) {
    return Reply("/sub/svp.asp", Save(name, session, dealt.id, RecordText(record), posted));
  }
  std::vector<HandView> OpenHands(const std::string& name) { return Store().OpenHands(name); }
  // Every server seed there is, revealed or not, straight from the database.
  std::vector<std::string> ServerSeeds() {
    const auto db = sql::Database::Open(database_, 1);
    std::vector<std::string> seeds;
    for (const sql::Row& row : db->Borrow()->Query("SELECT seed FROM server_seeds"))
      seeds.push_back(row.Text(0));
    return seeds;
  }

  // The level a hand is kept with, straight from the database.
  std::string StoredLevel(const std::string& id) {
    const auto db = sql::Database::Open(database_, 1);
    const std::optional<sql::Row> row =
        db->Borrow()->QueryRow("SELECT opponent FROM hands WHERE id = ?", {std::stoll(id)});
    return row ? row->Text(0) : "no such hand";
  }

  // The request log so far. The server writes it from its own threads, so it is read
  // with the server stopped, and a new one is started on the same folder.
  std::string LogSoFar() {
    server_.reset();
    std::string text = log_.str();
    Start();
    return text;
  }

  TempFolder data_;
  const std::string database_;
  std::atomic<std::chrono::seconds> now_{std::chrono::seconds(1714564800)};  // 2024-05-01
  std::chrono::seconds abandon_after_ = std::chrono::hours(1);
  std::ostringstream log_;
  std::optional<PortalServer> server_;
};

INSTANTIATE_TEST_SUITE_P(Stores, PortalTest,
                         ::testing::Values(sql::Kind::kSqlite, sql::Kind::kPostgres),
                         ::testing::PrintToStringParamName());

TEST_P(PortalTest, LoginAnswersTheFiguresAndANewSessionOrMinusOne) {
  NewMember member;
  member.name = "뽀삐";
  member.password = "secret";
  member.avatar = 4;
  member.voice = "F";
  member.money = "1234";
  ASSERT_FALSE(Store().AddMember(member).refusal);

  const auto fields = Split(Login("뽀삐", "secret"));
  ASSERT_EQ(fields.size(), 10u);
  EXPECT_EQ(std::vector(fields.begin(), fields.begin() + 9),
            (std::vector<std::string>{"뽀삐", "F", "4", "0", "1234", "0", "0", "0", "0"}));
  EXPECT_TRUE(std::regex_match(fields[9], std::regex("[0-9a-f]{32}")));
  EXPECT_NE(Session("뽀삐"), fields[9]);

  EXPECT_EQ(Login("뽀삐", "wrong"), "-1");
  EXPECT_EQ(Login("nobody", "secret"), "-1");
  EXPECT_EQ(Login("뽀삐 ", "secret"), "-1");  // names are compared exactly
  EXPECT_TRUE(Refused(Login("뽀삐", "secret", "wrongcode")));
  EXPECT_TRUE(Refused(Login("뽀삐", "secret", kAccess, "002")));
}

TEST_P(PortalTest, AHandSettlesAtTheReplaysFiguresAndForgedFiguresMoveNothing) {
  AddMember("player");
  const std::string session = Session("player");
  // Three hands: posted honestly, forged rich, and forged as a won mission.
  for (unsigned hand = 0; hand < 3; ++hand) {
    const Dealt dealt =
        Deal("player", session, "500", std::to_string(hand + 1), "abc" + std::to_string(hand));
    EXPECT_EQ(dealt.member.Money, Split(Figures("player"))[0])
        << "the hand starts from the stored money";
    const HandRecord record = PlayByChance(dealt.member, dealt.hand, hand).record;
    const replay::Settlement expected = Replayed(dealt.member, dealt.hand, record);
    std::array<std::string, 6> posted = Honest(expected);
    if (hand == 1)
      posted = {"99999999999999", "99999999999999", posted[2], posted[3], posted[4], posted[5]};
    if (hand == 2) posted = {"5000000", "4000000", "100", "0", "0", "100"};
    EXPECT_EQ(SaveReply("player", session, dealt, record, posted), ExpectedReply(expected)) << hand;
    EXPECT_EQ(Figures("player"), expected.After.Money + "|" + expected.After.Wins + "|" +
                                     expected.After.Losses + "|" + expected.After.Draws + "|" +
                                     expected.After.Missions)
        << hand;
  }
  const std::string log = LogSoFar();
  EXPECT_EQ(log.find("hand 1 of player: the game posted"), std::string::npos) << log;
  EXPECT_NE(
      log.find(
          "hand 2 of player: the game posted recpoint=99999999999999 recuppoint=99999999999999"),
      std::string::npos)
      << log;
  EXPECT_NE(log.find("hand 3 of player: the game posted recpoint=5000000"), std::string::npos)
      << log;
  EXPECT_NE(log.find(": a modified or out-of-date game\n"), std::string::npos) << log;
}

TEST_P(PortalTest, GarbageInThePostedFiguresIsNoRefusal) {
  AddMember("player");
  const std::string session = Session("player");
  const Dealt dealt = Deal("player", session);
  const HandRecord record = PlayByChance(dealt.member, dealt.hand, 7).record;
  const replay::Settlement expected = Replayed(dealt.member, dealt.hand, record);
  Fields save = Save("player", session, dealt.id, RecordText(record),
                     {"15OO", "+5", "-1", "", "a\nb", "99999999999999999999999"});
  save.erase("recpoint");
  EXPECT_EQ(Reply("/sub/svp.asp", save), ExpectedReply(expected));
  EXPECT_EQ(Split(Figures("player"))[0], expected.After.Money);
  EXPECT_EQ(LogSoFar().find("a\nb"), std::string::npos)
      << "a posted line break stays out of the log";
}

TEST_P(PortalTest, TheSameSavePostedAgainGetsTheSameReplyAndCountsOnce) {
  AddMember("player");
  const std::string session = Session("player");
  const Dealt dealt = Deal("player", session);
  const Played played = PlayByChance(dealt.member, dealt.hand, 3);
  const replay::Settlement expected = Replayed(dealt.member, dealt.hand, played.record);
  const std::string first = SaveReply("player", session, dealt, played.record, Honest(expected));
  ASSERT_EQ(first, ExpectedReply(expected));
  const std::string figures = Figures("player");
  // Again as it was, again with another record, and after the money changed meanwhile: the
  // settled hand answers as it did, and changes nothing.
  EXPECT_EQ(SaveReply("player", session, dealt, played.record, Honest(expected)), first);
  EXPECT_EQ(SaveReply("player", session, dealt, {}, Honest(expected)), first);
  EXPECT_EQ(Figures("player"), figures);
  ASSERT_TRUE(Store().SetMoney("player", "777777"));
  EXPECT_EQ(SaveReply("player", session, dealt, played.record, Honest(expected)), first);
  EXPECT_EQ(Split(Figures("player"))[0], "777777");
}

TEST_P(PortalTest, AHandIsSavedOnlyByItsOwnMemberAndOnlyByAGameThatSendsIt) {
  AddMember("victim");
  AddMember("attacker");
  const std::string victim = Session("victim");
  const std::string attacker = Session("attacker");
  const Dealt hand = Deal("victim", victim);
  const Dealt own = Deal("attacker", attacker);
  const HandRecord record = PlayByChance(hand.member, hand.hand, 1).record;
  const std::string unknown = "ER|이 판의 기록을 찾을 수 없습니다";
  // With the attacker's own valid session, the victim's hand, a hand that does not exist
  // and ids that are no number all get the same answer.
  for (const std::string& id : {hand.id, std::to_string(std::stoll(own.id) + 10), std::string("x"),
                                std::string(""), " " + own.id, std::string(30, '9')}) {
    EXPECT_EQ(Reply("/sub/svp.asp", Save("attacker", attacker, id, RecordText(record))), unknown)
        << id;
  }
  // The old game's save without a hand.
  Fields old_game = Save("attacker", attacker, own.id, "");
  old_game.erase("rechand");
  old_game.erase("recplay");
  EXPECT_EQ(Reply("/sub/svp.asp", old_game),
            "ER|이 버전의 게임으로는 점수를 저장할 수 없습니다. 게임을 업데이트해 주십시오");
  EXPECT_EQ(Figures("victim"), "1000000|0|0|0|0");
  EXPECT_EQ(Figures("attacker"), "1000000|0|0|0|0");
  EXPECT_EQ(OpenHands("victim").size(), 1u);
  EXPECT_EQ(OpenHands("attacker").size(), 1u);
  // The victim's own save still settles his hand.
  const replay::Settlement expected = Replayed(hand.member, hand.hand, record);
  EXPECT_EQ(SaveReply("victim", victim, hand, record, Honest(expected)), ExpectedReply(expected));
}

TEST_P(PortalTest, ARecordThatIsNotALegalPlayIsRefusedAndTheHandStaysOpen) {
  // A member whose hand asks him at least three times (now and then a deal ends the hand
  // at once; such a member is left with his hand open).
  std::string player, session;
  Dealt dealt;
  Played played;
  for (int member = 1; played.record.size() < 3; ++member) {
    ASSERT_LT(member, 20);
    player = "player" + std::to_string(member);
    AddMember(player);
    session = Session(player);
    dealt = Deal(player, session, "100", "2", "7");
    played = PlayByChance(dealt.member, dealt.hand, 11);
  }
  const HandRecord& legal = played.record;

  int not_held = 0;  // a card he cannot play first
  while (std::ranges::find(played.first_choices, Decision{Decision::Kind::kPlay, not_held}) !=
         played.first_choices.end())
    ++not_held;
  HandRecord foreign = legal;
  foreign[0] = {Decision::Kind::kPlay, not_held};
  HandRecord unasked = legal;
  unasked.insert(unasked.begin(), {Decision::Kind::kGoStop, 1});
  const HandRecord cut(legal.begin(), legal.end() - 1);
  HandRecord longer = legal;
  longer.push_back(legal.back());
  const std::vector<std::pair<const char*, std::string>> illegal = {
      {"a card he does not hold", RecordText(foreign)},
      {"a question never asked", RecordText(unasked)},
      {"a record cut short", RecordText(cut)},
      {"a record going on after the hand", RecordText(longer)},
      {"no record text", "P12;G0"},
      {"nothing", ""}};
  for (const auto& [what, text] : illegal) {
    EXPECT_EQ(Reply("/sub/svp.asp", Save(player, session, dealt.id, text)),
              "ER|판의 기록이 규칙에 맞지 않아 점수를 저장하지 못했습니다")
        << what;
    EXPECT_EQ(Figures(player), "1000000|0|0|0|0") << what;
    EXPECT_EQ(OpenHands(player).size(), 1u) << what;
  }
  const replay::Settlement expected = Replayed(dealt.member, dealt.hand, legal);
  EXPECT_EQ(SaveReply(player, session, dealt, legal, Honest(expected)), ExpectedReply(expected));
  EXPECT_TRUE(OpenHands(player).empty());
  const std::string log = LogSoFar();
  EXPECT_NE(log.find("hand " + dealt.id + " of " + player + ": the record \"" + RecordText(cut) +
                     "\" is refused: the record ends after"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("is refused: decision 1 (G1) is not one the hand allows there"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("\"P12;G0\" is refused: it is not a record"), std::string::npos) << log;
}

TEST_P(PortalTest, MoneyGivenDuringAHandStaysAndAHandNeverTakesMoreThanThereIs) {
  AddMember("player", "1000000");
  const std::string session = Session("player");
  // The operator gives money while a hand is played: the hand adds what it moved to it.
  const Dealt first = Deal("player", session, "1000", "0");
  const HandRecord record = PlayByChance(first.member, first.hand, 5).record;
  const replay::Settlement played = Replayed(first.member, first.hand, record);
  const std::string change = BigSubtract(played.After.Money, "1000000");
  ASSERT_TRUE(Store().SetMoney("player", "5000000"));
  const std::string after = BigAdd("5000000", change);
  EXPECT_TRUE(
      SaveReply("player", session, first, record, Honest(played)).starts_with("OK|" + after + "|"));
  EXPECT_EQ(Split(Figures("player"))[0], after);

  // A hand lost after the money was taken away leaves nothing, never less. Lost hands are
  // found by playing a few by chance.
  bool lost = false;
  for (unsigned chance = 0; chance < 30 && !lost; ++chance) {
    const Dealt dealt = Deal("player", session, "1000", "0", "10" + std::to_string(chance));
    const HandRecord tried = PlayByChance(dealt.member, dealt.hand, chance).record;
    const replay::Settlement settled = Replayed(dealt.member, dealt.hand, tried);
    if (settled.MemberSave.Outcome != HandOutcome::kLost ||
        !BigSubtract(settled.After.Money, dealt.member.Money).starts_with('-')) {
      continue;  // left open: the next deal settles it idle
    }
    lost = true;
    ASSERT_TRUE(Store().SetMoney("player", "1"));
    EXPECT_TRUE(SaveReply("player", session, dealt, tried, Honest(settled)).starts_with("OK|0|"));
    EXPECT_EQ(Split(Figures("player"))[0], "0");
  }
  EXPECT_TRUE(lost) << "no hand was lost";

  // Money beyond any machine number is kept as decimal text.
  ASSERT_TRUE(Store().SetMoney("player", "99999999999999999999"));
  const Dealt rich = Deal("player", session);
  EXPECT_EQ(rich.member.Money, "99999999999999999999");
  const HandRecord rich_record = PlayByChance(rich.member, rich.hand, 2).record;
  const replay::Settlement rich_end = Replayed(rich.member, rich.hand, rich_record);
  EXPECT_EQ(SaveReply("player", session, rich, rich_record, Honest(rich_end)),
            ExpectedReply(rich_end));
}

TEST_P(PortalTest, ADealAskedAgainIsTheSameHandAndANewOneSettlesTheOpenHandIdle) {
  AddMember("player", kMoneyNoHandSpends);
  const std::string session = Session("player");
  const Dealt first = Deal("player", session, "300", "4", "1");
  EXPECT_TRUE(first.hand.MemberFirst) << "the first hand after a login";
  // The same request again (the game never saw the reply): the same hand, nothing settled.
  const Dealt again = Deal("player", session, "300", "4", "1");
  EXPECT_EQ(again.id, first.id);
  EXPECT_EQ(again.hand.Deck, first.hand.Deck);
  EXPECT_EQ(again.member.Money, first.member.Money);
  EXPECT_TRUE(Store().SettledHands("player", 10).empty());
  const replay::Settlement idle = Idle(first.member, first.hand);
  const Dealt second = Deal("player", session, "300", "4", "2");
  EXPECT_NE(second.id, first.id);
  EXPECT_EQ(second.member.Money, idle.After.Money);
  EXPECT_EQ(Figures("player"), idle.After.Money + "|" + idle.After.Wins + "|" + idle.After.Losses +
                                   "|" + idle.After.Draws + "|" + idle.After.Missions);
  // The winner plays first; a drawn hand keeps who did.
  EXPECT_EQ(second.hand.MemberFirst, idle.MemberSave.Outcome != HandOutcome::kLost);
  // The first hand's save comes late: it answers the idle settlement and changes nothing.
  const HandRecord late = PlayByChance(first.member, first.hand, 9).record;
  EXPECT_EQ(SaveReply("player", session, first, late, {}), ExpectedReply(idle));
  ASSERT_EQ(OpenHands("player").size(), 1u);
  EXPECT_EQ(std::to_string(OpenHands("player")[0].id), second.id);
  const std::vector<HandView> settled = Store().SettledHands("player", 10);
  ASSERT_EQ(settled.size(), 1u);
  EXPECT_EQ(settled[0].settled_by, SettledBy::kIdle);
  EXPECT_EQ(settled[0].change, BigSubtract(idle.After.Money, kMoneyNoHandSpends));

  // A login settles the open hand too, and the member plays first again after it.
  const replay::Settlement second_idle = Idle(second.member, second.hand);
  const auto login = Split(Login("player", "secret"));
  ASSERT_EQ(login.size(), 10u);
  EXPECT_EQ(login[4], second_idle.After.Money);
  EXPECT_EQ(login[5] + "|" + login[6] + "|" + login[7] + "|" + login[8],
            second_idle.After.Wins + "|" + second_idle.After.Losses + "|" +
                second_idle.After.Draws + "|" + second_idle.After.Missions);
  EXPECT_TRUE(OpenHands("player").empty());
  EXPECT_TRUE(Deal("player", login[9]).hand.MemberFirst);
}

TEST_P(PortalTest, TheSweepSettlesTheHandsAbandonedLongerThanTheLimitAndNoOthers) {
  AddMember("gone");
  AddMember("thinking");
  const Dealt old = Deal("gone", Session("gone"));
  now_ = now_.load() + std::chrono::minutes(40);
  const Dealt young = Deal("thinking", Session("thinking"));
  now_ = now_.load() + std::chrono::minutes(30);  // 70 and 30 minutes old
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!OpenHands("gone").empty() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(OpenHands("gone").empty());
  const replay::Settlement idle = Idle(old.member, old.hand);
  EXPECT_EQ(Split(Figures("gone"))[0], idle.After.Money);
  EXPECT_EQ(OpenHands("thinking").size(), 1u);
  EXPECT_EQ(Figures("thinking"), "1000000|0|0|0|0");
  EXPECT_NE(
      LogSoFar().find("hand " + old.id + " of gone was abandoned and settles with the member idle"),
      std::string::npos);
}

TEST_P(PortalTest, DealsAreRefusedForBadSettingsTooLittleMoneyOrAnotherSession) {
  AddMember("player", "1999");
  const std::string session = Session("player");
  const std::string bad = "ER|판의 설정이 올바르지 않습니다";
  const std::vector<std::array<std::string, 3>> settings = {
      {"200", "3", "ab"},  {"0100", "3", "ab"}, {"100 ", "3", "ab"},
      {"", "3", "ab"},     {"100", "6", "ab"},  {"100", "-1", "ab"},
      {"100", "03", "ab"}, {"100", "", "ab"},   {"100", "3", ""},
      {"100", "3", "AB"},  {"100", "3", "xyz"}, {"100", "3", std::string(65, 'a')}};
  for (const auto& [stake, service, seed] : settings) {
    EXPECT_EQ(Reply("/sub/deal.asp", DealFields("player", session, stake, service, seed)), bad)
        << stake << "/" << service << "/" << seed;
  }
  EXPECT_EQ(Reply("/sub/deal.asp", DealFields("player", session)),
            "ER|보유 금액이 점당금액의 20배보다 적어 판을 시작할 수 없습니다");
  for (const std::string& wrong : {std::string(), Session("other"), std::string(32, '0')}) {
    EXPECT_EQ(Reply("/sub/deal.asp", DealFields("player", wrong)),
              "ER|접속 정보가 맞지 않습니다. 게임에 다시 접속해 주십시오");
  }
  Fields wrong_code = DealFields("player", session);
  wrong_code.find("recencode")->second = "x";
  EXPECT_TRUE(Refused(Reply("/sub/deal.asp", wrong_code)));
  EXPECT_TRUE(Store().SettledHands("player", 10).empty());
  EXPECT_TRUE(OpenHands("player").empty());
  // Twenty times the stake is enough.
  ASSERT_TRUE(Store().SetMoney("player", "2000"));
  EXPECT_EQ(Deal("player", session, "100", "0", std::string(64, 'f')).member.Money, "2000");
}

TEST_P(PortalTest, DealsFollowTheFairDealAndTheSeedIsRevealedOnlyAfterItsDayAndItsHands) {
  abandon_after_ = std::chrono::hours(72);  // no sweep in this test
  Restart();
  // Both commitments are published before any deal.
  const FairSeeds before = Store().Seeds();
  EXPECT_EQ(before.today.commitment.size(), 64u);
  EXPECT_EQ(before.tomorrow.commitment.size(), 64u);
  EXPECT_NE(before.today.commitment, before.tomorrow.commitment);
  EXPECT_TRUE(before.today.seed.empty());
  EXPECT_TRUE(before.tomorrow.seed.empty());
  const std::string fair = Page("/fair");
  EXPECT_NE(fair.find(before.today.commitment), std::string::npos);
  EXPECT_NE(fair.find(before.tomorrow.commitment), std::string::npos);
  EXPECT_NE(fair.find("hwatable-sim --verify-deal SERVER_SEED GAME_SEED HAND_ID SERVICE_CARDS"),
            std::string::npos);
  EXPECT_EQ(ServerSeeds().size(), 2u);
  for (const std::string& secret : ServerSeeds())
    EXPECT_EQ(fair.find(secret), std::string::npos);

  AddMember("a");
  AddMember("b");
  const std::string a = Session("a");
  const Dealt settled = Deal("a", a, "100", "5", "0123456789abcdef");
  const Dealt open = Deal("b", Session("b"), "500", "1", "ff");
  EXPECT_EQ(settled.seed_commitment, before.today.commitment);
  const HandRecord record = PlayByChance(settled.member, settled.hand, 4).record;
  SaveReply("a", a, settled, record, {});

  // The next day: the day's seed stays secret while b's hand is open.
  now_ = now_.load() + std::chrono::hours(24);
  FairSeeds next = Store().Seeds();
  ASSERT_EQ(next.past.size(), 1u);
  EXPECT_EQ(next.past[0].commitment, before.today.commitment);
  EXPECT_TRUE(next.past[0].seed.empty());
  EXPECT_TRUE(next.past[0].open_hands);
  EXPECT_EQ(next.today.commitment, before.tomorrow.commitment);
  EXPECT_FALSE(next.tomorrow.commitment.empty());
  for (const HandView& hand : Store().SettledHands("a", 10))
    EXPECT_TRUE(hand.server_seed.empty());

  Session("b");  // his login settles the hand
  next = Store().Seeds();
  const std::string seed = next.past[0].seed;
  ASSERT_TRUE(IsServerSeed(seed));
  EXPECT_EQ(SeedCommitment(seed), before.today.commitment);
  for (const Dealt* dealt : {&settled, &open}) {
    const SeededDeal deal = FairDeal(seed, dealt->game_seed, dealt->id, dealt->hand.ServiceCards);
    EXPECT_EQ(deal.Deck, dealt->hand.Deck) << dealt->id;
    EXPECT_EQ(deal.Mission, dealt->hand.Mission) << dealt->id;
  }
  EXPECT_EQ(Store().SettledHands("b", 10).at(0).server_seed, seed);
  EXPECT_NE(Page("/fair").find(seed), std::string::npos);
}

TEST_P(PortalTest, TheHandListNeedsThePasswordAndNeverShowsAnOpenHandsCards) {
  AddMember("player", kMoneyNoHandSpends);
  const std::string session = Session("player");
  const Dealt done = Deal("player", session, "100", "3", "d0e");
  const HandRecord record = PlayByChance(done.member, done.hand, 8).record;
  const replay::Settlement expected = Replayed(done.member, done.hand, record);
  SaveReply("player", session, done, record, Honest(expected));
  const Dealt open = Deal("player", session, "300", "2", "0be2");

  EXPECT_NE(Page("/sub/hands.asp").find("action=\"hands.asp\""), std::string::npos);
  for (const auto& [name, password] : std::vector<std::pair<std::string, std::string>>{
           {"player", "wrong"}, {"nobody", "secret"}}) {
    const std::string page = Reply("/sub/hands.asp", {{"name", name}, {"password", password}});
    EXPECT_NE(page.find("게임명 또는 비밀번호가 맞지 않습니다."), std::string::npos) << name;
    EXPECT_EQ(page.find(done.game_seed), std::string::npos) << name;
  }
  const std::string page = Reply("/sub/hands.asp", {{"name", "player"}, {"password", "secret"}});
  EXPECT_EQ(page.find("class=\"error\""), std::string::npos);
  const std::size_t open_at = page.find("<tr><td>" + open.id + "</td>");
  const std::size_t done_at = page.find("<tr><td>" + done.id + "</td>");
  ASSERT_NE(open_at, std::string::npos) << page;
  ASSERT_NE(done_at, std::string::npos) << page;
  EXPECT_LT(open_at, done_at) << "newest first";
  for (const std::string& shown :
       {open.game_seed, open.seed_commitment, DeckCommitment(open.hand.Deck), done.game_seed,
        DeckCommitment(done.hand.Deck), std::string("진행 중"), std::string("기록")})
    EXPECT_NE(page.find(shown), std::string::npos) << shown;
  for (const Dealt* dealt : {&done, &open})
    EXPECT_EQ(page.find(dealt->hand.Deck), std::string::npos) << "a deck is shown";
  const std::string fair = Page("/fair");
  for (const std::string& secret : ServerSeeds()) {
    EXPECT_EQ(page.find(secret), std::string::npos);
    EXPECT_EQ(fair.find(secret), std::string::npos);
  }
}

TEST_P(PortalTest, ScoreSaveAndLogoutNeedTheMembersCurrentSession) {
  AddMember("a");
  AddMember("b");
  const std::string old = Session("a");
  const std::string current = Session("a");
  const Dealt dealt = Deal("a", current);
  const HandRecord record = PlayByChance(dealt.member, dealt.hand, 1).record;
  for (const std::string& session : {std::string(), old, Session("b"), std::string(32, '0')}) {
    EXPECT_EQ(Reply("/sub/svp.asp", Save("a", session, dealt.id, RecordText(record))),
              "ER|접속 정보가 맞지 않습니다. 게임에 다시 접속해 주십시오")
        << "session " << session;
    EXPECT_TRUE(Refused(Reply("/sub/lgo.asp", Logout("a", session)))) << "session " << session;
  }
  EXPECT_EQ(Figures("a"), "1000000|0|0|0|0");
  EXPECT_EQ(OpenHands("a").size(), 1u);

  EXPECT_EQ(Reply("/sub/lgo.asp", Logout("a", current)), "OK");
  EXPECT_TRUE(Refused(Reply("/sub/svp.asp", Save("a", current, dealt.id, RecordText(record)))));
  EXPECT_TRUE(Refused(Reply("/sub/lgo.asp", Logout("a", current))));
  EXPECT_EQ(Figures("a"), "1000000|0|0|0|0");
}

TEST_P(PortalTest, OversizedBodiesUnknownPathsAndEscapingDownloadsAreRefused) {
  std::ofstream(data_.path() / "down" / ".hidden") << "not for download";
  httplib::Client client = Client();
  client.set_url_encode(false);
  for (const char* type : {"application/x-www-form-urlencoded", "text/plain"}) {
    const auto big = client.Post("/sub/chk.asp", std::string(kMaxBodyBytes + 1000, 'a'), type);
    ASSERT_TRUE(big) << type;
    EXPECT_EQ(big->status, 413) << type;
  }
  for (const char* path : {"/sub/nothing.asp", "/sub/redir.asp?no=4", "/down/missing.sh",
                           "/down/..%2fportal.db", "/down/%2e%2e", "/down/.hidden"}) {
    const auto result = client.Get(path);
    ASSERT_TRUE(result) << path;
    EXPECT_EQ(result->status, 404) << path;
  }
}

TEST_P(PortalTest, NamesAndPasswordsWithFormCharactersAndKoreanWorkThroughout) {
  const std::string name = "고 스&톱=+%";
  const std::string password = "p&s =+%20한글";
  const std::string joined = Reply("/sub/join.asp", {{"name", name},
                                                     {"password", password},
                                                     {"password2", password},
                                                     {"avatar", "2"},
                                                     {"voice", "F"}});
  EXPECT_EQ(joined.find("class=\"error\""), std::string::npos) << joined;
  const auto fields = Split(Login(name, password));
  ASSERT_EQ(fields.size(), 10u);
  EXPECT_EQ(fields[0], name);
  EXPECT_EQ(fields[1], "F");
  EXPECT_EQ(fields[2], "2");
  EXPECT_EQ(Login(name, "p&s"), "-1");
  const Dealt dealt = Deal(name, fields[9]);
  const HandRecord record = PlayByChance(dealt.member, dealt.hand, 6).record;
  const replay::Settlement expected = Replayed(dealt.member, dealt.hand, record);
  EXPECT_EQ(SaveReply(name, fields[9], dealt, record, Honest(expected)), ExpectedReply(expected));
  EXPECT_NE(Reply("/sub/hands.asp", {{"name", name}, {"password", password}})
                .find("<tr><td>" + dealt.id + "</td>"),
            std::string::npos);
}

TEST_P(PortalTest, JoinPageSignsUpOnceAndShowsItsRefusalsOnTheFormAgain) {
  EXPECT_NE(Page("/sub/redir.asp?no=1").find("action=\"join.asp\""), std::string::npos);
  const auto join = [&](const std::string& name, const std::string& password2) {
    return Reply("/sub/join.asp", {{"name", name},
                                   {"password", "secret"},
                                   {"password2", password2},
                                   {"avatar", "3"},
                                   {"voice", "M"}});
  };
  std::smatch code;
  const std::string joined = join("새회원", "secret");
  EXPECT_TRUE(std::regex_search(joined, code, std::regex("[A-Z2-9]{4}(-[A-Z2-9]{4}){3}")));

  for (const auto& [name, password2] : std::vector<std::pair<std::string, std::string>>{
           {"새회원", "secret"},          // taken
           {"둘째", "secreT"},            // passwords differ
           {"a|b", "secret"},             // "|" separates the game's fields
           {"", "secret"},                // empty
           {Repeat("가", 21), "secret"},  // 21 characters
           {"tab\there", "secret"},
           {"컴퓨터", "secret"}}) {  // the computer's name at the table
    const std::string page = join(name, password2);
    EXPECT_NE(page.find("class=\"error\""), std::string::npos) << name;
    EXPECT_NE(page.find("action=\"join.asp\""), std::string::npos) << name;
    if (name == "컴퓨터") {
      EXPECT_NE(page.find("상대편 컴퓨터의 이름이라"), std::string::npos);
    }
    if (name != "새회원") {
      EXPECT_FALSE(Store().Find(name)) << name;
    }
  }
  EXPECT_EQ(Figures("새회원"), "1000000|0|0|0|0");
  EXPECT_EQ(Split(Login("새회원", "secret")).size(), 10u);
  EXPECT_EQ(join(Repeat("가", 20), "secret").find("class=\"error\""), std::string::npos);
}

TEST_P(PortalTest, JoinPageTellsWhyANameIsRefused) {
  AddMember("Dealer");
  for (const auto& [name, why] : std::vector<std::pair<std::string, std::string>>{
           {"kim\u200Blee", "보이지 않는 문자"},
           {"kim  lee", "빈칸은 한 칸씩만"},
           {"p\u0430ypal", "여러 나라 글자를 섞어 쓸 수 없습니다"},
           {"DEALER", "이미 있는 게임명과 너무 비슷합니다"}}) {
    const std::string page = Reply("/sub/join.asp", {{"name", name},
                                                     {"password", "secret"},
                                                     {"password2", "secret"},
                                                     {"avatar", "1"},
                                                     {"voice", "M"}});
    EXPECT_NE(page.find(why), std::string::npos) << name << "\n" << page;
    EXPECT_FALSE(Store().Find(name)) << name;
  }
}

TEST_P(PortalTest, LostAccountPageSetsANewPasswordWithTheRecoveryCode) {
  EXPECT_NE(Page("/sub/redir.asp?no=2").find("action=\"recover.asp\""), std::string::npos);
  const std::string code = AddMember("forgetful");
  const std::string session = Session("forgetful");
  const auto recover = [&](const std::string& typed_code, const std::string& password2) {
    return Reply("/sub/recover.asp", {{"name", "forgetful"},
                                      {"code", typed_code},
                                      {"password", "newpass"},
                                      {"password2", password2}});
  };
  EXPECT_NE(recover("AAAA-BBBB-CCCC-DDDD", "newpass").find("class=\"error\""), std::string::npos);
  EXPECT_NE(recover(code, "newpasx").find("class=\"error\""), std::string::npos);
  EXPECT_EQ(Split(Login("forgetful", "secret")).size(), 10u);

  // Typed in lower case and without dashes it still counts.
  std::string typed;
  for (char c : code)
    if (c != '-') typed += static_cast<char>(std::tolower(c));
  const std::string recovered = recover(typed, "newpass");
  EXPECT_EQ(recovered.find("class=\"error\""), std::string::npos);
  EXPECT_EQ(Login("forgetful", "secret"), "-1");
  EXPECT_EQ(Split(Login("forgetful", "newpass")).size(), 10u);
  EXPECT_TRUE(Refused(Reply("/sub/lgo.asp", Logout("forgetful", session))));

  // A code works once; the page gives the next one, which works in its turn.
  EXPECT_NE(recover(code, "newpass").find("class=\"error\""), std::string::npos);
  const std::size_t start = recovered.find("<p class=\"code\">");
  ASSERT_NE(start, std::string::npos);
  const std::size_t from = start + std::string_view("<p class=\"code\">").size();
  const std::string next_code = recovered.substr(from, recovered.find("</p>", from) - from);
  EXPECT_NE(next_code, code);
  EXPECT_EQ(recover(next_code, "newpass").find("class=\"error\""), std::string::npos);
}

TEST_P(PortalTest, FreeTopUpOnlyForThePoorAndOncePerDay) {
  EXPECT_NE(Page("/sub/redir.asp?no=3").find("action=\"topup.asp\""), std::string::npos);
  AddMember("rich", "20000");
  AddMember("poor", "19999");
  const auto top_up = [&](const std::string& name, const std::string& password = "secret") {
    return Reply("/sub/topup.asp", {{"name", name}, {"password", password}})
               .find("class=\"error\"") == std::string::npos;
  };
  EXPECT_FALSE(top_up("rich"));
  EXPECT_FALSE(top_up("poor", "wrong"));
  EXPECT_FALSE(top_up("nobody"));
  EXPECT_EQ(Figures("rich"), "20000|0|0|0|0");
  EXPECT_EQ(Figures("poor"), "19999|0|0|0|0");

  EXPECT_TRUE(top_up("poor"));
  EXPECT_EQ(Figures("poor"), "300000|0|0|0|0");
  ASSERT_TRUE(Store().SetMoney("poor", "0"));
  EXPECT_FALSE(top_up("poor"));
  EXPECT_EQ(Figures("poor"), "0|0|0|0|0");

  now_ = now_.load() + std::chrono::hours(24);
  EXPECT_TRUE(top_up("poor"));
  EXPECT_EQ(Figures("poor"), "300000|0|0|0|0");
}

TEST_P(PortalTest, ConcurrentDealsAndSavesForDifferentMembersLoseNothing) {
  constexpr int kMembers = 4;
  constexpr int kHands = 3;
  std::vector<std::string> sessions;
  // Rich enough that no hand, however it goes, leaves too little for the next.
  for (int i = 0; i < kMembers; ++i) {
    AddMember("p" + std::to_string(i), "100000000000");
    sessions.push_back(Session("p" + std::to_string(i)));
  }
  // Each member as the test's own replays reckon him after his last hand.
  std::vector<replay::Member> expected(kMembers);
  std::atomic<int> saved = 0;
  {
    std::vector<std::jthread> players;
    for (std::size_t i = 0; i < kMembers; ++i) {
      players.emplace_back([&, i] {
        replay::Member& member = expected[i];
        member.Name = "p" + std::to_string(i);
        httplib::Client client = Client();
        for (int hand = 0; hand < kHands; ++hand) {
          const auto dealt = client.Post(
              "/sub/deal.asp",
              DealFields(member.Name, sessions[i], "300", "2", "c0" + std::to_string(hand)));
          const auto fields = Split(dealt ? dealt->body : "");
          if (fields.size() != 7) return;
          member.Money = fields[5];
          const replay::DealtHand dealt_hand{.Deck = fields[2],
                                             .Mission = std::stoi(fields[3]),
                                             .MemberFirst = fields[4] == "1",
                                             .Stake = "300",
                                             .ServiceCards = 2};
          const HandRecord record =
              PlayByChance(member, dealt_hand, static_cast<unsigned>(10 * i) + hand).record;
          std::string why;
          const auto settled = replay::Replay(member, dealt_hand, record, why);
          if (!settled) return;
          const auto reply = client.Post(
              "/sub/svp.asp",
              Save(member.Name, sessions[i], fields[1], RecordText(record), Honest(*settled)));
          if (reply && reply->body == ExpectedReply(*settled)) ++saved;
          member = settled->After;
        }
      });
    }
  }
  EXPECT_EQ(saved, kMembers * kHands) << LogSoFar();
  for (const replay::Member& member : expected) {
    EXPECT_EQ(Figures(member.Name), member.Money + "|" + member.Wins + "|" + member.Losses + "|" +
                                        member.Draws + "|" + member.Missions);
  }
}

TEST_P(PortalTest, ARestartOnTheSameFolderKeepsMembersFiguresSessionsAndOpenHands) {
  AddMember("steady");
  const std::string session = Session("steady");
  const Dealt dealt = Deal("steady", session);
  Restart();
  const HandRecord record = PlayByChance(dealt.member, dealt.hand, 12).record;
  const replay::Settlement expected = Replayed(dealt.member, dealt.hand, record);
  EXPECT_EQ(SaveReply("steady", session, dealt, record, Honest(expected)), ExpectedReply(expected));
  EXPECT_EQ(Split(Login("steady", "secret"))[4], expected.After.Money);
}

TEST_P(PortalTest, ADatabaseFromBeforeTheDealsOpensAndItsMembersPlay) {
  if (GetParam() != sql::Kind::kSqlite) GTEST_SKIP() << "older portals kept SQLite files only";
  server_.reset();
  for (const char* suffix : {"", "-wal", "-shm"})
    fs::remove(data_.path() / (std::string(kDatabaseFile) + suffix));
  {
    SQLite::Database db(data_.path() / kDatabaseFile, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    db.exec(R"sql(
      CREATE TABLE members (
        name TEXT PRIMARY KEY NOT NULL, password_hash TEXT NOT NULL,
        recovery_digest TEXT NOT NULL, avatar INTEGER NOT NULL, voice TEXT NOT NULL,
        money TEXT NOT NULL, wins INTEGER NOT NULL DEFAULT 0,
        losses INTEGER NOT NULL DEFAULT 0, draws INTEGER NOT NULL DEFAULT 0,
        missions INTEGER NOT NULL DEFAULT 0, session_digest TEXT, session_money TEXT,
        last_top_up TEXT NOT NULL DEFAULT '', created TEXT NOT NULL))sql");
    SQLite::Statement insert(db,
                             "INSERT INTO members VALUES ('veteran', ?, 'x', 2, 'F', '765432', 5, "
                             "4, 3, 2, NULL, '765432', '', '2023-01-01 00:00:00')");
    insert.bind(1, HashPassword("secret", HashCost::kMinimal));
    insert.exec();
  }
  Start();
  EXPECT_EQ(Figures("veteran"), "765432|5|4|3|2");
  const std::string session = Session("veteran");
  const Dealt dealt = Deal("veteran", session, "1000", "5");
  EXPECT_TRUE(dealt.hand.MemberFirst);
  const HandRecord record = PlayByChance(dealt.member, dealt.hand, 13).record;
  const replay::Settlement expected = Replayed(dealt.member, dealt.hand, record);
  EXPECT_EQ(SaveReply("veteran", session, dealt, record, Honest(expected)),
            ExpectedReply(expected));
  Restart();  // and it opens again once brought up to date
  EXPECT_EQ(Split(Login("veteran", "secret"))[4], expected.After.Money);
}

// Hands against the search player cost a second or two each in a debug build, at the
// test's table and again at the portal's: these tests play only a few.

TEST_P(PortalTest, AHandDealtAgainstTheSearchPlayerSettlesAsTheGamePlayedItAgainstIt) {
  AddMember("player");
  const std::string session = Session("player");
  const Dealt dealt = Deal("player", session, "300", "3", "5ea1", "1");
  EXPECT_EQ(StoredLevel(dealt.id), "1");
  const Played played = PlayByChance(dealt.member, dealt.hand, 5);
  ASSERT_TRUE(played.settled);
  const replay::Settlement& game = *played.settled;
  EXPECT_EQ(SaveReply("player", session, dealt, played.record, Honest(game)), ExpectedReply(game));
  EXPECT_EQ(Figures("player"), game.After.Money + "|" + game.After.Wins + "|" + game.After.Losses +
                                   "|" + game.After.Draws + "|" + game.After.Missions);
  EXPECT_EQ(LogSoFar().find("the game posted"), std::string::npos)
      << "the portal's figures are the game's";
  const std::vector<HandView> settled = Store().SettledHands("player", 10);
  ASSERT_EQ(settled.size(), 1u);
  EXPECT_TRUE(settled[0].search_opponent);
  EXPECT_EQ(settled[0].settled_by, SettledBy::kRecord);
}

TEST_P(PortalTest, AHandDealtAgainstTheWrittenPlayerIsSettledAgainstItWhateverTheGamePlayed) {
  AddMember("player", kMoneyNoHandSpends);
  const std::string session = Session("player");
  // A game that asks for 보통 and plays against the search player: the portal plays the
  // record against the written player, which refuses it or ends otherwise. Played until a
  // hand where the two players part (a hand may end on the deal, alike for both).
  bool parted = false;
  for (unsigned hand = 0; hand < 8 && !parted; ++hand) {
    const Dealt dealt = Deal("player", session, "500", "2", "11a" + std::to_string(hand));
    EXPECT_EQ(StoredLevel(dealt.id), "0");
    replay::DealtHand searched = dealt.hand;
    searched.Opponent = OpponentLevel::kSearch;
    const Played played = PlayByChance(dealt.member, searched, 20 + hand);
    ASSERT_TRUE(played.settled);
    const replay::Settlement& claimed = *played.settled;
    std::string why;
    const std::optional<replay::Settlement> written =
        replay::Replay(dealt.member, dealt.hand, played.record, why);
    const std::string reply = SaveReply("player", session, dealt, played.record, Honest(claimed));
    if (written) {
      EXPECT_EQ(reply, ExpectedReply(*written)) << hand;
      parted = written->After.Money != claimed.After.Money;
    } else {
      EXPECT_EQ(reply, kIllegalRecord) << hand;
      parted = true;
    }
    if (parted) {
      EXPECT_NE(reply, ExpectedReply(claimed)) << hand;
    }
  }
  EXPECT_TRUE(parted) << "no hand where the search player played otherwise";
}

TEST_P(PortalTest, TheLevelIsAbsentZeroOrOneAndADealIsAnsweredAgainOnlyAtItsLevel) {
  AddMember("player", kMoneyNoHandSpends);
  const std::string session = Session("player");
  for (const std::string level : {"", "2", "01", "00", "-1", " 1", "1 ", "+1", "x", "고수"}) {
    EXPECT_EQ(Reply("/sub/deal.asp", DealFields("player", session, "100", "3", "ab", level)),
              kBadSettings)
        << "\"" << level << "\"";
  }
  EXPECT_TRUE(OpenHands("player").empty());

  // No level is the written player's: asked again with "0", the same hand comes.
  const Dealt normal = Deal("player", session, "100", "3", "cd");
  EXPECT_EQ(StoredLevel(normal.id), "0");
  EXPECT_EQ(Deal("player", session, "100", "3", "cd", "0").id, normal.id);
  // The same seed at the other level is another hand, the open one settled idle first.
  const replay::Settlement idle = Idle(normal.member, normal.hand);
  const Dealt strong = Deal("player", session, "100", "3", "cd", "1");
  EXPECT_NE(strong.id, normal.id);
  EXPECT_EQ(strong.member.Money, idle.After.Money);
  EXPECT_EQ(Deal("player", session, "100", "3", "cd", "1").id, strong.id);
  EXPECT_EQ(OpenHands("player").size(), 1u);
}

TEST_P(PortalTest, AnAbandonedHandIsPlayedIdleAgainstThePlayerItWasDealtAgainst) {
  AddMember("player", kMoneyNoHandSpends);
  // Until a hand where an idle member ends otherwise against the two players.
  bool parted = false;
  for (unsigned hand = 0; hand < 8 && !parted; ++hand) {
    const Dealt dealt =
        Deal("player", Session("player"), "100", "1", "1d" + std::to_string(hand), "1");
    const replay::Settlement searched = Idle(dealt.member, dealt.hand);
    replay::DealtHand written_hand = dealt.hand;
    written_hand.Opponent = OpponentLevel::kWritten;
    const replay::Settlement written = Idle(dealt.member, written_hand);
    parted = searched.After.Money != written.After.Money;
    Session("player");  // the login settles the abandoned hand
    EXPECT_EQ(Figures("player"), searched.After.Money + "|" + searched.After.Wins + "|" +
                                     searched.After.Losses + "|" + searched.After.Draws + "|" +
                                     searched.After.Missions)
        << hand;
    const std::vector<HandView> settled = Store().SettledHands("player", 1);
    ASSERT_EQ(settled.size(), 1u);
    EXPECT_EQ(settled[0].settled_by, SettledBy::kIdle);
    EXPECT_TRUE(settled[0].search_opponent);
  }
  EXPECT_TRUE(parted) << "no hand where the idle member ended otherwise";
}

TEST_P(PortalTest, ADatabaseFromBeforeTheLevelsOpensAndItsOpenHandSettlesAgainstTheWrittenPlayer) {
  AddMember("player", kMoneyNoHandSpends);
  const std::string session = Session("player");
  const Dealt dealt = Deal("player", session, "500", "4", "01d");
  // The hands table as portals before the levels made it, with the hand open.
  server_.reset();
  {
    const auto db = sql::Database::Open(database_, 1);
    sql::Lease lease = db->Borrow();
    lease->Script("ALTER TABLE hands DROP COLUMN opponent");
    ASSERT_THROW(lease->Query("SELECT opponent FROM hands"), sql::Error);
  }
  Start();
  EXPECT_EQ(StoredLevel(dealt.id), "0");
  const Played played = PlayByChance(dealt.member, dealt.hand, 8);
  ASSERT_TRUE(played.settled);
  EXPECT_EQ(SaveReply("player", session, dealt, played.record, Honest(*played.settled)),
            ExpectedReply(*played.settled));
  // Brought up to date, it keeps the levels of new hands, and opens again as it is.
  const Dealt strong = Deal("player", session, "500", "4", "02d", "1");
  EXPECT_EQ(StoredLevel(strong.id), "1");
  Restart();
  EXPECT_EQ(StoredLevel(strong.id), "1");
  EXPECT_EQ(StoredLevel(dealt.id), "0");
}

TEST_P(PortalTest, HomePageListsTheTenRichestInOrderWithRanksAndLinks) {
  for (int i = 0; i <= 10; ++i)  // m0 has 100000, ... m10 has 1100000
    AddMember("m" + std::to_string(i), std::to_string((i + 1) * 100000));
  const std::string page = Page("/");
  EXPECT_EQ(page.find("<td>m0</td>"), std::string::npos);
  std::size_t previous = 0;
  for (int i = 10; i >= 1; --i) {
    const std::size_t at = page.find("<td>m" + std::to_string(i) + "</td>");
    ASSERT_NE(at, std::string::npos) << i;
    EXPECT_GT(at, previous) << i;
    previous = at;
  }
  EXPECT_NE(page.find("<td>m10</td><td>주임</td><td class=\"money\">110만원</td>"),
            std::string::npos);
  EXPECT_NE(page.find("<td>m1</td><td>사원</td><td class=\"money\">20만원</td>"),
            std::string::npos);
  for (const char* expected : {"알바", "사원", "주임", "대리", "과장", "부장", "사장", "회장",
                               "10억1원 이상", "sub/redir.asp?no=1", "sub/redir.asp?no=2",
                               "sub/redir.asp?no=3", "href=\"fair\"", "href=\"sub/hands.asp\""})
    EXPECT_NE(page.find(expected), std::string::npos) << expected;
}

TEST_P(PortalTest, RequestLogNamesTheMemberButNoPasswordOrSession) {
  AddMember("logged");
  const std::string session = Session("logged");
  Reply("/sub/lgo.asp", Logout("logged", session));
  server_->Stop();  // the log line is written after the reply is sent
  const std::string log = log_.str();
  EXPECT_TRUE(std::regex_search(
      log, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d 127\.0\.0\.1 POST /sub/chk\.asp 200 )"
                      R"(logged logged in\n)")))
      << log;
  EXPECT_NE(log.find("127.0.0.1 POST /sub/lgo.asp 200 logged\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("secret"), std::string::npos) << log;
  EXPECT_EQ(log.find(session), std::string::npos) << log;
}

TEST_P(PortalTest, PublishedInstallerAndUpdateListAreServed) {
  const fs::path installer = data_.path() / "hwatable-setup-1.0.2.sh";
  std::ofstream(installer) << "abc";
  std::string output;
  const std::string data = "--data=" + data_.path().string();
  EXPECT_EQ(RunProgram({data, "publish", "102", installer.string(), "--url", "http://example.org/p",
                        "--unsigned"},
                       output),
            0)
      << output;
  const std::string list =
      "102<br>http://example.org/p/down/hwatable-setup-1.0.2.sh<br>"
      "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
  EXPECT_EQ(Page("/down/nlist.lst"), list);
  EXPECT_TRUE(output.ends_with(", unsigned; the list " +
                               (data_.path() / "down" / "nlist.lst").string() + " reads:\n" + list +
                               "\n"))
      << output;
  EXPECT_EQ(Page("/down/hwatable-setup-1.0.2.sh"), "abc");

  // Refusals publish nothing.
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{data, "publish", "1.5", installer.string(), "--url", "http://x/", "--unsigned"},
       "the version is a whole number"},
      {{data, "publish", "104", (data_.path() / "missing.sh").string(), "--url", "http://x/",
        "--unsigned"},
       "cannot read"},
      {{data, "publish", "104", installer.string(), "--url", "ftp://x/", "--unsigned"},
       "--url wants the address"},
      {{data, "publish", "104", installer.string(), "--url", "http://x/<br>y/", "--unsigned"},
       "--url wants the address"},
      {{data, "publish", "104", installer.string(), "--url", "http://x/"}, "--unsigned"},
      {{data, "--listen", "127.0.0.1:9000", "publish", "104", installer.string(), "--unsigned"},
       "--listen does not go with publish"}};
  for (const auto& [args, message] : refused) {
    EXPECT_NE(RunProgram(args, output), 0) << args[2];
    EXPECT_NE(output.find(message), std::string::npos) << output;
  }
  EXPECT_EQ(Page("/down/nlist.lst"), list);
}

TEST_P(PortalTest, AnotherServerOnABusyPortIsAClearError) {
  std::string output;
  EXPECT_EQ(RunProgram({"--data", data_.path().string(), "--listen",
                        "127.0.0.1:" + std::to_string(server_->port()), "--idle-exit", "1"},
                       output),
            1);
  EXPECT_NE(output.find("cannot listen on 127.0.0.1:" + std::to_string(server_->port())),
            std::string::npos)
      << output;
}

TEST(PortalProgram, DataAndLogAreReadableByTheOperatorAlone) {
  const TempFolder folder;
  const fs::path database = folder.path() / kDatabaseFile;
  const fs::path log = folder.path() / "server.log";
  {
    MemberStore older(database, {HashCost::kMinimal, {}});  // as an older portal left it
  }
  fs::permissions(database, fs::perms(0644));
  Program server(
      {"--data", folder.path().string(), "--listen", "127.0.0.1:0", "--log", log.string()});
  const std::string serving = server.ReadLine();
  const std::smatch port = [&] {
    std::smatch match;
    std::regex_search(serving, match, std::regex(R"(127\.0\.0\.1:(\d+)/)"));
    return match;
  }();
  ASSERT_FALSE(port.empty()) << serving;
  httplib::Client client("127.0.0.1", std::stoi(port[1]));
  ASSERT_TRUE(client.Get("/"));
  server.Signal(SIGTERM);
  EXPECT_EQ(server.Finish(), 0);

  const auto mode = [](const fs::path& file) {
    return static_cast<unsigned>(fs::status(file).permissions()) & 0777u;
  };
  for (const fs::path& file : fs::directory_iterator(folder.path())) {
    if (fs::is_regular_file(file)) {
      EXPECT_EQ(mode(file), 0600u) << file;
    }
  }
  std::ifstream in(log);
  const std::string logged((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(logged.find(" 127.0.0.1 GET / 200"), std::string::npos) << logged;

  std::string output;
  EXPECT_EQ(RunProgram({"--data", folder.path().string(), "--log",
                        (folder.path() / "no" / "such.log").string()},
                       output),
            1);
  EXPECT_NE(output.find("such.log"), std::string::npos) << output;
}

TEST(PortalProgram, OperatorCommandsAddChangeAndShowMembers) {
  const TempFolder folder;
  const std::string data = "--data=" + folder.path().string();
  std::string output;
  ASSERT_EQ(RunProgram({data, "adduser", "홍길동", "secret", "--money", "5000", "--avatar", "2",
                        "--voice", "F"},
                       output),
            0)
      << output;
  EXPECT_TRUE(
      std::regex_search(output, std::regex("recovery code: [A-Z2-9]{4}(-[A-Z2-9]{4}){3}\n")))
      << output;
  ASSERT_EQ(RunProgram({data, "setmoney", "홍길동", "0777"}, output), 0) << output;
  ASSERT_EQ(RunProgram({data, "show", "홍길동"}, output), 0);
  const std::string time = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)";
  EXPECT_TRUE(
      std::regex_match(output, std::regex("name: 홍길동\navatar: 2\nvoice: F\nmoney: 777\n"
                                          "wins: 0\nlosses: 0\ndraws: 0\nmissions: 0\ncreated: " +
                                          time +
                                          "\nopen hands: none\nlast settled hands: none\n"
                                          "money changed by the operator:\n  " +
                                          time + " 5000 -> 777\n")))
      << output;

  // Two hands, one saved and one still open, and another change of money (enough that the
  // first hand, however it goes, leaves enough for the second).
  ASSERT_EQ(RunProgram({data, "setmoney", "홍길동", "100000000"}, output), 0) << output;
  {
    MemberStore store(folder.path() / kDatabaseFile, {HashCost::kMinimal, {}});
    const std::string session = store.Login("홍길동", "secret")->session;
    const DealtHandReply hand = store.Deal({"홍길동", session, "500", "1", "5eed"}).hand;
    const replay::Member member{.Name = "홍길동", .Voice = "F", .Avatar = 2, .Money = "100000000"};
    const replay::DealtHand dealt{hand.deck, hand.mission, hand.member_first, "500", 1};
    const replay::Settlement idle = Idle(member, dealt);
    ASSERT_FALSE(
        store.SaveHand({"홍길동", session, std::to_string(hand.id), RecordText(idle.Decisions), {}})
            .refusal);
    ASSERT_FALSE(store.Deal({"홍길동", session, "100", "0", "5eed"}).refusal);
  }
  ASSERT_EQ(RunProgram({data, "show", "홍길동"}, output), 0);
  EXPECT_TRUE(std::regex_search(
      output, std::regex("\nopen hands:\n  hand 2 dealt " + time +
                         " stake 100: open\nlast settled hands:\n  hand 1 dealt " + time +
                         " stake 500: (won \\+[1-9]|lost -[1-9]|drawn [-+])\\d* \\(record\\)\n"
                         "money changed by the operator:\n  " +
                         time + " 777 -> 100000000\n  " + time + " 5000 -> 777\n$")))
      << output;

  const std::vector<std::vector<std::string>> refused = {
      {data, "adduser", "홍길동", "other"},                     // the name is taken
      {data, "adduser", "새사람", "secret", "--money", "12a"},  // money not a number
      {data, "adduser", "새사람", "secret", "--avatar", "7"},
      {data, "setmoney", "nobody", "5"},
      {data, "setmoney", "홍길동", "-5"},
      {data, "show", "nobody"},
      {data, "frobnicate"}};
  for (const auto& args : refused) {
    EXPECT_NE(RunProgram(args, output), 0) << args[1];
    EXPECT_TRUE(output.starts_with("hwatable-portal: ")) << output;
  }
  EXPECT_NE(RunProgram({data, "adduser", "ㅎㅗㅇ길동", "secret"}, output), 0);
  EXPECT_TRUE(output.starts_with("hwatable-portal: \"ㅎㅗㅇ길동\" looks too much like")) << output;
  EXPECT_NE(RunProgram({data, "adduser", "컴퓨터", "secret"}, output), 0);
  EXPECT_TRUE(output.starts_with("hwatable-portal: \"컴퓨터\" is the computer's name")) << output;
  ASSERT_EQ(RunProgram({data, "show", "홍길동"}, output), 0);
  EXPECT_NE(output.find("\nmoney changed by the operator:\n  "), std::string::npos);
  EXPECT_EQ(std::ranges::count(output, '>'), 2) << "a refused setmoney changes nothing";
  EXPECT_NE(RunProgram({data, "show", "새사람"}, output), 0);
}

TEST(PortalProgram, ServingEndsWithStatusZeroOnSigtermAndWhenIdle) {
  const TempFolder folder;
  Program server({"--data", folder.path().string(), "--listen", "127.0.0.1:0"});
  EXPECT_TRUE(std::regex_match(
      server.ReadLine(),
      std::regex("hwatable-portal: serving http://127\\.0\\.0\\.1:[1-9]\\d*/ from " +
                 folder.path().string())));
  server.Signal(SIGTERM);
  EXPECT_EQ(server.Finish(), 0);

  Program idle({"--data", folder.path().string(), "--listen", "127.0.0.1:0", "--idle-exit", "1"});
  EXPECT_EQ(idle.Finish(), 0);
}

// The port in "hwatable-portal: serving http://127.0.0.1:PORT/ from ...", or 0.
int ServedPort(const std::string& line) {
  std::smatch port;
  return std::regex_search(line, port, std::regex("serving http://127\\.0\\.0\\.1:(\\d+)/"))
             ? std::stoi(port[1])
             : 0;
}

int StatusFor(int port, const std::string& host) {
  httplib::Client client("127.0.0.1", port);
  const auto answer = client.Get("/", {{"Host", host}});
  return answer ? answer->status : 0;
}

// The runtime folder of a test of its own while it lives.
class RuntimeFolder {
 public:
  RuntimeFolder() { setenv("XDG_RUNTIME_DIR", folder_.path().c_str(), 1); }
  ~RuntimeFolder() { unsetenv("XDG_RUNTIME_DIR"); }
  std::string Records() const { return (folder_.path() / "hwatable").string(); }

 private:
  TempFolder folder_;
};

TEST(PortalProgram, TheLocalPortalRecordsItselfWhileItServesAndAnswersOnlyLoopbackNames) {
  const TempFolder data;
  const RuntimeFolder runtime;
  Program server({"--data", data.path().string(), "--local", "--idle-exit", "60"});
  const int port = ServedPort(server.ReadLine());
  ASSERT_GT(port, 0) << "a free port unless told otherwise";
  EXPECT_EQ(server.ReadLine(), "hwatable-portal: the local portal of version " +
                                   std::string(kBuildVersion) + ", recorded in " +
                                   platform::PortalRecordPath(runtime.Records()));
  EXPECT_EQ(platform::ReadPortalRecord(runtime.Records()),
            (platform::PortalRecord{port, server.pid(), kBuildVersion}));
  EXPECT_EQ(StatusFor(port, "127.0.0.1:" + std::to_string(port)), 200);
  EXPECT_EQ(StatusFor(port, "localhost:" + std::to_string(port)), 200);
  EXPECT_EQ(StatusFor(port, "portal.example"), 421);

  server.Signal(SIGTERM);
  EXPECT_EQ(server.Finish(), 0);
  EXPECT_FALSE(fs::exists(platform::PortalRecordPath(runtime.Records())));

  // A portal whose record another has replaced leaves that one in place.
  Program first({"--data", data.path().string(), "--local", "--listen", "127.0.0.1:0"});
  ASSERT_GT(ServedPort(first.ReadLine()), 0);
  first.ReadLine();
  const platform::PortalRecord later{4242, first.pid() + 1, kBuildVersion};
  ASSERT_EQ(platform::WritePortalRecord(runtime.Records(), later), "");
  first.Signal(SIGTERM);
  EXPECT_EQ(first.Finish(), 0);
  EXPECT_EQ(platform::ReadPortalRecord(runtime.Records()), later);

  // Where it cannot record itself, it does not serve.
  fs::remove_all(runtime.Records());
  std::ofstream(runtime.Records()) << "not a folder";
  std::string output;
  EXPECT_EQ(RunProgram({"--data", data.path().string(), "--local"}, output), 1);
  EXPECT_NE(output.find("hwatable-portal: cannot record the local portal: " + runtime.Records() +
                        " is not a folder"),
            std::string::npos)
      << output;
}

TEST(PortalProgram, AnOperatorsPortalAnswersOnlyItsHostNames) {
  const TempFolder data;
  const RuntimeFolder runtime;
  Program server({"--data", data.path().string(), "--listen", "127.0.0.1:0", "--hosts",
                  "portal.example,portal.example:8080"});
  const int port = ServedPort(server.ReadLine());
  ASSERT_GT(port, 0);
  EXPECT_EQ(StatusFor(port, "portal.example"), 200);
  EXPECT_EQ(StatusFor(port, "portal.example:8080"), 200);
  EXPECT_EQ(StatusFor(port, "127.0.0.1:" + std::to_string(port)), 421);
  EXPECT_EQ(StatusFor(port, "other.example"), 421);
  server.Signal(SIGTERM);
  EXPECT_EQ(server.Finish(), 0);
  EXPECT_FALSE(fs::exists(runtime.Records())) << "only the local portal records itself";
}

TEST(PortalProgram, LocalAndHostsAreCheckedOnTheCommandLine) {
  const TempFolder data;
  const RuntimeFolder runtime;
  const std::string folder = "--data=" + data.path().string();
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{folder, "--local", "--listen", "0.0.0.0:0"}, "--local listens on 127.0.0.1"},
      {{folder, "--local", "--listen", "[::1]:0"}, "--local listens on 127.0.0.1"},
      {{folder, "--local", "--hosts", "portal.example"}, "--hosts does not go with --local"},
      {{folder, "--local=yes"}, "--local takes no value"},
      {{folder, "--hosts", ""}, "--hosts wants names"},
      {{folder, "--hosts", "a.example,,b.example"}, "--hosts wants names"},
      {{folder, "--hosts", "a.example, b.example"}, "--hosts wants names"},
      {{folder, "--local", "show", "nobody"}, "--local does not go with show"},
      {{folder, "--hosts", "a.example", "publish", "102", "x"}, "--hosts does not go with publish"},
  };
  for (const auto& [args, message] : refused) {
    std::string output;
    EXPECT_EQ(RunProgram(args, output), 2) << args[1];
    EXPECT_TRUE(output.starts_with("hwatable-portal: " + message)) << output;
  }
  EXPECT_FALSE(fs::exists(runtime.Records()));
  std::string usage;
  EXPECT_EQ(RunProgram({"--help"}, usage), 0);
  EXPECT_NE(usage.find("[--hosts NAME,NAME... | --local]"), std::string::npos) << usage;
}

// ---- The update list: the list key, its signature and the installer's address

std::string FileText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

unsigned Mode(const fs::path& file) {
  return static_cast<unsigned>(fs::status(file).permissions()) & 0777u;
}

// The last line of a command's output, without its line break.
std::string LastLine(const std::string& output) {
  std::string text = output;
  if (text.ends_with('\n')) text.pop_back();
  return text.substr(text.rfind('\n') + 1);
}

TEST(PortalProgram, KeygenMakesAListKeyOfTheOperatorsAloneAndKeepsIt) {
  const TempFolder folder;
  const fs::path data = folder.path() / "new";  // made by keygen
  const fs::path secret = data / "list-key";
  const fs::path shown = data / "list-key.pub";
  std::string output;
  ASSERT_EQ(RunProgram({"--data", data.string(), "keygen"}, output), 0) << output;
  EXPECT_EQ(Mode(secret), 0600u);
  EXPECT_EQ(Mode(shown), 0600u);
  const std::string publicKey = LastLine(output);
  EXPECT_EQ(FileText(shown), publicKey + "\n") << "the printed key is the file's";
  std::string secretKey = FileText(secret);
  ASSERT_TRUE(secretKey.ends_with('\n'));
  secretKey.pop_back();
  EXPECT_EQ(platform::ListPublicKeyOf(secretKey), publicKey);
  EXPECT_NE(output.find("-DHWATABLE_LIST_KEY=" + fs::absolute(shown).string()), std::string::npos)
      << output;

  // A second keygen would lock out every updater built with the first key.
  const std::string kept = FileText(secret);
  EXPECT_EQ(RunProgram({"--data", data.string(), "keygen"}, output), 1);
  EXPECT_NE(output.find("already holds a list key"), std::string::npos) << output;
  EXPECT_NE(output.find("keygen --force"), std::string::npos) << output;
  EXPECT_EQ(FileText(secret), kept);
  EXPECT_EQ(FileText(shown), publicKey + "\n");

  ASSERT_EQ(RunProgram({"--data", data.string(), "keygen", "--force"}, output), 0) << output;
  EXPECT_NE(LastLine(output), publicKey);
  EXPECT_EQ(FileText(shown), LastLine(output) + "\n");
  EXPECT_NE(FileText(secret), kept);
  EXPECT_EQ(Mode(secret), 0600u);
  EXPECT_EQ(Mode(shown), 0600u);
  for (const fs::path& file : fs::directory_iterator(data)) {
    EXPECT_TRUE(file.filename() == "list-key" || file.filename() == "list-key.pub") << file;
  }
}

TEST(PortalProgram, PublishSignsTheListWithTheListKeyAndPrintsWhatItWrote) {
  const TempFolder folder;
  const std::string data = "--data=" + folder.path().string();
  const fs::path installer = folder.path() / "hwatable-installer-102";
  std::ofstream(installer) << "an installer";
  const fs::path list = folder.path() / "down" / "nlist.lst";
  std::string output;

  // Without a key a list is published only when it is meant to be unsigned.
  EXPECT_EQ(RunProgram({data, "publish", "102", installer.string(), "--url", "http://x/"}, output),
            1);
  EXPECT_NE(output.find("keygen"), std::string::npos) << output;
  EXPECT_NE(output.find("--unsigned"), std::string::npos) << output;
  EXPECT_FALSE(fs::exists(folder.path() / "down"));

  ASSERT_EQ(RunProgram({data, "keygen"}, output), 0) << output;
  const std::string publicKey = LastLine(output);
  ASSERT_EQ(RunProgram({data, "publish", "102", installer.string(), "--url",
                        "https://portal.example/game"},
                       output),
            0)
      << output;
  const std::string written = FileText(list);
  EXPECT_EQ(LastLine(output), written);
  EXPECT_NE(output.find("signed with the list key " + publicKey), std::string::npos) << output;
  const updater::GameList read = updater::ReadGameList(written, publicKey);
  ASSERT_TRUE(read.list.has_value()) << read.problem;
  EXPECT_EQ(read.list->version, "102");
  EXPECT_EQ(read.list->address, "https://portal.example/game/down/hwatable-installer-102");
  EXPECT_EQ(read.list->digest, platform::FileSha256Hex(installer.string()));
  EXPECT_TRUE(updater::ReadGameList(written, platform::NewListKeyPair().publicKey).badSignature);

  // --unsigned: three fields, which an updater with the key refuses.
  ASSERT_EQ(
      RunProgram({data, "publish", "103", installer.string(), "--url", "http://x/", "--unsigned"},
                 output),
      0)
      << output;
  EXPECT_EQ(LastLine(output), FileText(list));
  EXPECT_TRUE(updater::ParseUpdateList(FileText(list)).has_value());
  EXPECT_EQ(FileText(list).find("<br>sig:"), std::string::npos);
  EXPECT_TRUE(updater::ReadGameList(FileText(list), publicKey).badSignature);

  // A damaged key signs nothing.
  std::ofstream(folder.path() / "list-key", std::ios::trunc) << publicKey << "\n";
  EXPECT_EQ(RunProgram({data, "publish", "104", installer.string(), "--url", "http://x/"}, output),
            1);
  EXPECT_NE(output.find("holds no list key"), std::string::npos) << output;
  EXPECT_TRUE(FileText(list).starts_with("103<br>"));
}

TEST(PortalProgram, PublishTakesTheAddressOfThePortalServingTheDataFolder) {
  const TempFolder folder;
  const RuntimeFolder runtime;
  const std::string data = "--data=" + folder.path().string();
  const fs::path installer = folder.path() / "setup";
  std::ofstream(installer) << "an installer";
  const fs::path list = folder.path() / "down" / "nlist.lst";
  const std::vector<std::string> publish = {data, "publish", "102", installer.string(),
                                            "--unsigned"};
  std::string output;

  EXPECT_EQ(RunProgram(publish, output), 1);
  EXPECT_NE(output.find("no portal serves " + folder.path().string()), std::string::npos) << output;
  EXPECT_NE(output.find("--url BASE"), std::string::npos) << output;
  EXPECT_FALSE(fs::exists(list));

  {
    Program server({data, "--listen", "127.0.0.1:0"});
    const int port = ServedPort(server.ReadLine());
    ASSERT_GT(port, 0);
    ASSERT_EQ(RunProgram(publish, output), 0) << output;
    const std::string base = "http://127.0.0.1:" + std::to_string(port) + "/";
    EXPECT_TRUE(FileText(list).starts_with("102<br>" + base + "down/setup<br>")) << FileText(list);
    httplib::Client client("127.0.0.1", port);
    const auto served = client.Get("/down/nlist.lst");
    ASSERT_TRUE(served);
    EXPECT_EQ(served->body, FileText(list));
    server.Signal(SIGTERM);
    EXPECT_EQ(server.Finish(), 0);
  }
  EXPECT_EQ(RunProgram(publish, output), 1) << "the portal has stopped";
  EXPECT_NE(output.find("--url BASE"), std::string::npos) << output;

  {
    Program server({data, "--listen", "127.0.0.1:0", "--hosts", "portal.example:8080,other"});
    ASSERT_GT(ServedPort(server.ReadLine()), 0);
    ASSERT_EQ(RunProgram(publish, output), 0) << output;
    EXPECT_TRUE(FileText(list).starts_with("102<br>http://portal.example:8080/down/setup<br>"))
        << FileText(list);
  }

  // Where the portal cannot know the players' address, publish needs it.
  for (const std::vector<std::string>& serving :
       {std::vector<std::string>{data, "--listen", "0.0.0.0:0"},
        std::vector<std::string>{data, "--listen", "127.0.0.1:0", "--proxy", "127.0.0.1"}}) {
    Program server(serving);
    ASSERT_TRUE(server.ReadLine().starts_with("hwatable-portal: serving http://"));
    EXPECT_EQ(RunProgram(publish, output), 1) << serving[2] << " " << serving.size();
    EXPECT_NE(output.find("cannot tell the address the players download from: give it with "
                          "--url BASE"),
              std::string::npos)
        << output;
    ASSERT_EQ(RunProgram({data, "publish", "103", installer.string(), "--url",
                          "https://portal.example/", "--unsigned"},
                         output),
              0)
        << output;
    EXPECT_TRUE(FileText(list).starts_with("103<br>https://portal.example/down/setup<br>"));
  }

  // The record of a portal that died without removing it.
  {
    Program gone({"--help"});
    const pid_t pid = gone.pid();
    gone.Finish();
    std::ofstream(folder.path() / "serving") << "http://127.0.0.1:1/\n" << pid << "\n";
  }
  EXPECT_EQ(RunProgram(publish, output), 1);
  EXPECT_NE(output.find("no portal serves"), std::string::npos) << output;
}

}  // namespace
// Two portals on one PostgreSQL database, as two processes behind a proxy that sends each
// request to either: a session made at one is good at the other, a hand is settled once
// however often and wherever its save arrives, a top-up is given once, and no member's
// hand is lost among the others'.
TEST(TwoPortals, OnOneDatabaseWhatMustHappenOnceHappensOnce) {
  signal(SIGPIPE, SIG_IGN);
  const std::string database = hw::testing::TestPostgres::Shared().FreshDatabase();
  const TempFolder first_data;
  const TempFolder second_data;
  std::ostringstream first_log;
  std::ostringstream second_log;
  const auto start = [&](const TempFolder& data, std::ostringstream& log) {
    PortalOptions options;
    options.data_dir = data.path();
    options.database = database;
    options.hash_cost = HashCost::kMinimal;
    options.log = &log;
    auto server = std::make_unique<PortalServer>(options);
    if (!server->Bind("127.0.0.1", 0)) throw std::runtime_error("cannot bind");
    server->Start();
    return server;
  };
  const std::array<std::unique_ptr<PortalServer>, 2> portals{start(first_data, first_log),
                                                             start(second_data, second_log)};
  const auto post = [&](int portal, const std::string& path, const Fields& fields) {
    const auto result =
        httplib::Client("127.0.0.1", portals[portal % 2]->port()).Post(path.c_str(), fields);
    return result ? result->body : "(no answer)";
  };
  MemberStore store(database, {HashCost::kMinimal, {}});
  const auto login = [&](int portal, const std::string& name) {
    const auto fields = Split(post(
        portal, "/sub/chk.asp",
        {{"recencode", kAccess}, {"recnick", name}, {"recpwd", "secret"}, {"recgcode", "001"}}));
    return fields.size() == 10 ? fields[9] : "";
  };

  // A top-up asked of both at once, many times over, is given once.
  ASSERT_FALSE(store.AddMember({.name = "poor", .password = "secret", .money = "100"}).refusal);
  std::atomic<int> topped_up = 0;
  {
    std::vector<std::jthread> askers;
    for (int asker = 0; asker < 8; ++asker) {
      askers.emplace_back([&, asker] {
        const std::string page =
            post(asker, "/sub/topup.asp", {{"name", "poor"}, {"password", "secret"}});
        if (page.find("class=\"error\"") == std::string::npos) ++topped_up;
      });
    }
  }
  EXPECT_EQ(topped_up, 1);
  EXPECT_EQ(store.Find("poor")->money, std::string(kTopUpMoney));

  // Members play hands, each request to the other portal than the last.
  constexpr int kMembers = 4;
  constexpr int kHands = 3;
  std::vector<replay::Member> expected(kMembers);
  std::atomic<int> saved = 0;
  {
    std::vector<std::jthread> players;
    for (int i = 0; i < kMembers; ++i) {
      players.emplace_back([&, i] {
        replay::Member& member = expected[static_cast<std::size_t>(i)];
        member.Name = "p" + std::to_string(i);
        // Rich enough that no hand leaves too little for the next.
        if (store.AddMember({.name = member.Name, .password = "secret", .money = "100000000000"})
                .refusal) {
          return;
        }
        const std::string session = login(i, member.Name);
        for (int hand = 0; hand < kHands; ++hand) {
          const auto fields = Split(
              post(i + 1, "/sub/deal.asp",
                   DealFields(member.Name, session, "300", "2", "d0" + std::to_string(hand))));
          if (fields.size() != 7) return;
          member.Money = fields[5];
          const replay::DealtHand dealt{.Deck = fields[2],
                                        .Mission = std::stoi(fields[3]),
                                        .MemberFirst = fields[4] == "1",
                                        .Stake = "300",
                                        .ServiceCards = 2};
          const HandRecord record =
              PlayByChance(member, dealt, static_cast<unsigned>(10 * i + hand)).record;
          std::string why;
          const auto settled = replay::Replay(member, dealt, record, why);
          if (!settled) return;
          // The save reaches both portals, twice each, at once (a proxy that tried again).
          const Fields save =
              Save(member.Name, session, fields[1], RecordText(record), Honest(*settled));
          std::array<std::string, 4> replies;
          {
            std::vector<std::jthread> senders;
            for (int copy = 0; copy < 4; ++copy)
              senders.emplace_back([&, copy] { replies[copy] = post(copy, "/sub/svp.asp", save); });
          }
          if (std::ranges::all_of(replies, [&](const std::string& reply) {
                return reply == ExpectedReply(*settled);
              })) {
            ++saved;
          }
          member = settled->After;
        }
      });
    }
  }
  EXPECT_EQ(saved, kMembers * kHands);
  for (const replay::Member& member : expected) {
    const auto f = store.Find(member.Name);
    ASSERT_TRUE(f) << member.Name;
    EXPECT_EQ(f->money + "|" + std::to_string(f->wins) + "|" + std::to_string(f->losses) + "|" +
                  std::to_string(f->draws) + "|" + std::to_string(f->missions),
              member.Money + "|" + member.Wins + "|" + member.Losses + "|" + member.Draws + "|" +
                  member.Missions);
    EXPECT_EQ(store.SettledHands(member.Name, 100).size(), static_cast<std::size_t>(kHands));
  }
}

}  // namespace hw::portal
