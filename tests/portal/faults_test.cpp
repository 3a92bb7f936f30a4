// The game and the real portal together, over loopback, with the faults of a real
// network: a post that never arrives, a reply that is lost on its way back, a portal that
// is down for a while. The game at its headless table plays every hand the portal deals
// it, deciding by chance; whatever is lost on the way, the member's money and record at
// the portal end as the hands he played say, each hand settled once from its record.

#include <gtest/gtest.h>
#include <httplib.h>

#include <memory>
#include <random>

#include "mainwindow/startup.h"
#include "platform/http_client.h"
#include "portal/client/portal_session.h"
#include "portal/server/portal_server.h"
#include "replay/table.h"
#include "rules/money.h"
#include "tests/support/temp_folder.h"

namespace hw::portal {
namespace {

// What happens to one request on its way.
enum class Fault {
  kNone,
  kPostLost,   // it never reaches the portal
  kReplyLost,  // the portal takes it, but its reply never comes back
};

// Field `index` of a reply ("" when it has fewer).
std::string FieldOf(const std::string& reply, std::size_t index) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < index; ++i) {
    start = reply.find('|', start);
    if (start == std::string::npos) return "";
    ++start;
  }
  return reply.substr(start, reply.find('|', start) - start);
}

// An HttpClient that carries each request to a server on loopback and reports its end
// from the loop, as the real client does, with the faults the test asks for.
class LoopbackHttpClient final : public platform::HttpClient {
 public:
  explicit LoopbackHttpClient(platform::EventLoop& loop) : loop_(loop) {}

  // The fault of the first request to `path` (its `occurrence`th, counting from 1, or the
  // first whose body holds `bodyPart`).
  void Once(const std::string& path, int occurrence, Fault fault) {
    planned_.push_back({path, occurrence, "", fault});
  }
  void Once(const std::string& path, const std::string& bodyPart, Fault fault) {
    planned_.push_back({path, 0, bodyPart, fault});
  }

  void Execute(const std::string& url, const std::string&, const std::string& body,
               const std::string&) override {
    Cancel();
    reply_.clear();
    busy_ = true;
    const std::string path = url.substr(url.find("/sub/"));
    requests.push_back({path, body});
    const Fault fault = FaultOf(path, body);
    int state = platform::kHttpRequestFailed;
    std::string reply;
    if (!down && fault != Fault::kPostLost) {
      const std::size_t start = url.find('/', url.find("://") + 3);
      httplib::Client client(url.substr(0, start));
      // As long as the game waits: a save against the search player may take seconds to
      // be played again in a debug build on a busy machine.
      client.set_read_timeout(20, 0);
      const httplib::Result result =
          client.Post(url.substr(start), body, "application/x-www-form-urlencoded");
      if (result && result->status == 200 && fault != Fault::kReplyLost) {
        state = platform::kHttpResponseCompleted;
        reply = result->body;
        if (path == "/sub/deal.asp" && reply.starts_with("OK|")) dealtMoney = FieldOf(reply, 5);
      }
    }
    loop_.Post([this, generation = generation_, state, reply = std::move(reply)] {
      if (generation != generation_) return;
      busy_ = false;
      reply_ = reply;
      if (onStateChanged) onStateChanged(state);
    });
  }
  void Cancel() override {
    ++generation_;
    busy_ = false;
  }
  std::string GetChunk(std::size_t maxBytes) const override { return reply_.substr(0, maxBytes); }
  bool BusyRequest() const override { return busy_; }

  // How many requests went to `path` with `bodyPart` in their body.
  long long Count(const std::string& path, const std::string& bodyPart = "") const {
    return std::count_if(requests.begin(), requests.end(), [&](const auto& request) {
      return request.first == path && request.second.find(bodyPart) != std::string::npos;
    });
  }

  // While set, every request fails: the portal cannot be reached.
  bool down = false;
  // The money the last deal that came back was dealt from.
  std::string dealtMoney;
  // Every request's path ("/sub/deal.asp") and body, in order.
  std::vector<std::pair<std::string, std::string>> requests;

 private:
  struct Planned {
    std::string path;
    int occurrence;
    std::string bodyPart;
    Fault fault;
  };
  Fault FaultOf(const std::string& path, const std::string& body) {
    const long long count = Count(path);
    for (auto planned = planned_.begin(); planned != planned_.end(); ++planned) {
      const bool match =
          planned->path == path &&
          (planned->occurrence > 0 ? planned->occurrence == count
                                   : body.find(planned->bodyPart) != std::string::npos);
      if (match) {
        const Fault fault = planned->fault;
        planned_.erase(planned);
        return fault;
      }
    }
    return Fault::kNone;
  }

  platform::EventLoop& loop_;
  std::vector<Planned> planned_;
  std::string reply_;
  bool busy_ = false;
  std::uint64_t generation_ = 0;
};

// The member's figures as the hands he played say: the money and counts at the login,
// and each hand's result as his own game computed it.
struct Expected {
  std::string Money;
  long long Wins = 0, Losses = 0, Draws = 0, Missions = 0;
};

class PortalFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PortalOptions options;
    options.data_dir = data_.Path();
    options.hash_cost = HashCost::kMinimal;
    server_.emplace(options);
    // Rich enough that no run of hands the portal deals at random leaves him short of a stake.
    ASSERT_FALSE(Store()
                     .AddMember({.name = "길동", .password = "secret1", .money = "1000000000000"})
                     .refusal);
    ASSERT_TRUE(server_->Bind("127.0.0.1", 0));
    server_->Start();
    base_ = "http://127.0.0.1:" + std::to_string(server_->port()) + "/";

    // The login, as the login window makes it.
    httplib::Client client("http://127.0.0.1:" + std::to_string(server_->port()));
    const httplib::Params form{{"recencode", "quenrithzmvokrtyplaxe"},
                               {"recgcode", "001"},
                               {"recnick", "길동"},
                               {"recpwd", "secret1"}};
    const auto login = client.Post("/sub/chk.asp", form);
    ASSERT_TRUE(login);
    const std::string money = FieldOf(login->body, 4);
    const std::string session = FieldOf(login->body, 9);
    ASSERT_FALSE(session.empty()) << login->body;
    table_.emplace(replay::Member{.Name = "길동", .Money = money});
    GameState& state = table_->game().state;
    state.Portal = BuildPortalAddresses(base_);
    state.PlayerInfo.SessionToken = session;
    state.Room.StakeText = "500";
    state.Room.ServiceCards = 2;
    table_->log().keep = table_->sound().keep = false;
    http_.emplace(table_->loop());
    session_.emplace(table_->game(), *http_);
    table_->game().portal = &*session_;
    expected_.Money = money;
  }
  void TearDown() override {
    session_.reset();
    table_.reset();
    server_.reset();
  }

  MemberStore Store() {
    return MemberStore(std::filesystem::path(data_.Path()) / kDatabaseFile,
                       {HashCost::kMinimal, {}});
  }
  GameState& State() { return table_->game().state; }

  // Presses the start button and lets the portal's answers come. True when a hand was
  // dealt (it may have ended on the deal already).
  bool PressStart() {
    const std::string hand = State().Room.HandId;
    table_->Start(std::nullopt);  // with the portal, only asks for the deal
    table_->loop().RunUntil([this] { return !http_->BusyRequest(); }, 60);
    return State().Room.HandId != hand;
  }

  // Plays the hand that began (a hand may also have ended on the deal), deciding by
  // chance, through its settlement and the save's post; adds its result, as the game
  // computed it, to what the portal must end with.
  void PlayHand() {
    ASSERT_TRUE(table_->RunByChance(chance_));
    const replay::Settlement played = replay::SettlementOf(*table_);
    expected_.Money = BigAdd(expected_.Money, BigSubtract(played.After.Money, http_->dealtMoney));
    switch (played.MemberSave.Outcome) {
      case HandOutcome::kWon:
        ++expected_.Wins;
        expected_.Missions += played.MemberSave.MissionAchieved ? 1 : 0;
        break;
      case HandOutcome::kLost:
        ++expected_.Losses;
        break;
      case HandOutcome::kDrawn:
        ++expected_.Draws;
        break;
    }
    ++handsPlayed_;
    ASSERT_TRUE(table_->FinishHand());
    table_->loop().RunUntil([this] { return !http_->BusyRequest(); }, 60);
  }

  void ExpectPortalHolds() {
    const std::optional<MemberFigures> stored = Store().Find("길동");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->money, expected_.Money);
    EXPECT_EQ(stored->wins, expected_.Wins);
    EXPECT_EQ(stored->losses, expected_.Losses);
    EXPECT_EQ(stored->draws, expected_.Draws);
    EXPECT_EQ(stored->missions, expected_.Missions);
    EXPECT_EQ(stored->wins + stored->losses + stored->draws, handsPlayed_);
    // Each from the record the member played, none as abandoned.
    const std::vector<HandView> hands = Store().SettledHands("길동", 100);
    EXPECT_EQ(static_cast<long long>(hands.size()), handsPlayed_);
    for (const HandView& hand : hands)
      EXPECT_EQ(hand.settled_by, SettledBy::kRecord) << "hand " << hand.id;
  }

  testing::TempFolder data_;
  std::optional<PortalServer> server_;
  std::string base_;
  std::optional<replay::Table> table_;
  std::optional<LoopbackHttpClient> http_;
  std::optional<PortalSession> session_;
  std::mt19937_64 chance_{2026};
  Expected expected_;
  long long handsPlayed_ = 0;
};

TEST_F(PortalFaultsTest, WithoutFaultsEveryHandIsSettledAsTheGameSettledIt) {
  for (int hand = 0; hand < 4; ++hand) {
    ASSERT_TRUE(PressStart()) << hand;
    PlayHand();
    EXPECT_FALSE(session_->HasUnansweredSave());
    EXPECT_EQ(State().PlayerInfo.Money, expected_.Money);
  }
  ExpectPortalHolds();
  EXPECT_TRUE(table_->desktop().messages.empty());
}

TEST_F(PortalFaultsTest, HandsAgainstTheSearchPlayerAreSettledAsTheGameSettledThem) {
  // Two hands only: each is played by the search player twice, here and at the portal.
  State().Room.Opponent = OpponentLevel::kSearch;
  for (int hand = 0; hand < 2; ++hand) {
    ASSERT_TRUE(PressStart()) << hand;
    PlayHand();
    EXPECT_FALSE(session_->HasUnansweredSave());
    EXPECT_EQ(State().PlayerInfo.Money, expected_.Money);
  }
  ExpectPortalHolds();
  for (const HandView& hand : Store().SettledHands("길동", 10))
    EXPECT_TRUE(hand.search_opponent) << "hand " << hand.id;
  EXPECT_TRUE(table_->desktop().messages.empty());
}

TEST_F(PortalFaultsTest, LostPostsAndLostRepliesCostNoHandAndCountNoHandTwice) {
  // The first hand's save arrives but its reply is lost; the second hand's never arrives.
  http_->Once("/sub/svp.asp", "&rechand=1&", Fault::kReplyLost);
  http_->Once("/sub/svp.asp", "&rechand=2&", Fault::kPostLost);
  // The fourth deal is dealt but its reply lost; the sixth request never arrives.
  http_->Once("/sub/deal.asp", 4, Fault::kReplyLost);
  http_->Once("/sub/deal.asp", 6, Fault::kPostLost);

  for (int hand = 1; hand <= 2; ++hand) {
    ASSERT_TRUE(PressStart());
    PlayHand();
    EXPECT_TRUE(session_->HasUnansweredSave()) << hand;
    // The player hears of each hand's failed save once.
    EXPECT_EQ(table_->desktop().messages.size(), static_cast<std::size_t>(hand));
  }
  ASSERT_TRUE(PressStart());  // the second hand's save goes first, then the deal
  EXPECT_FALSE(session_->HasUnansweredSave());
  EXPECT_EQ(http_->Count("/sub/svp.asp", "&rechand=1&"), 2);
  EXPECT_EQ(http_->Count("/sub/svp.asp", "&rechand=2&"), 2);
  PlayHand();

  // Each deal that did not come is asked for again; the lost one is answered with the
  // same hand, which is not played idle meanwhile.
  for (int hand = 4; hand <= 5; ++hand) {
    EXPECT_FALSE(PressStart());
    ASSERT_TRUE(PressStart());
    EXPECT_EQ(State().Room.HandId, std::to_string(hand));
    PlayHand();
  }
  EXPECT_EQ(table_->desktop().messages.size(), 4u);
  ExpectPortalHolds();
  EXPECT_EQ(State().PlayerInfo.Money, expected_.Money);
}

TEST_F(PortalFaultsTest, APortalDownForThreeHandsLosesNothing) {
  // The portal goes away while the first hand is played: its save fails.
  http_->Once("/sub/svp.asp", "&rechand=1&", Fault::kPostLost);
  ASSERT_TRUE(PressStart());
  PlayHand();
  EXPECT_EQ(table_->desktop().messages.size(), 1u);
  // Three presses of the start button while it is away: no hand can be dealt, and the
  // player is told so each time, of the save's failure not again.
  http_->down = true;
  for (int press = 0; press < 3; ++press)
    EXPECT_FALSE(PressStart());
  EXPECT_EQ(table_->desktop().messages.size(), 4u);
  EXPECT_EQ(table_->desktop().messages.back(),
            "Quenrith 게임서버 접속이 원할하지않아 판을 시작하지 못하였습니다\r\n"
            "잠시후 다시 시도해 주시기 바랍니다");

  http_->down = false;
  for (int hand = 2; hand <= 4; ++hand) {
    ASSERT_TRUE(PressStart());
    EXPECT_EQ(State().Room.HandId, std::to_string(hand));
    PlayHand();
  }
  ExpectPortalHolds();
}

}  // namespace
}  // namespace hw::portal
