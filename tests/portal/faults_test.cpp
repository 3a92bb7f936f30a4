// The game and the real portal together, over loopback, with the faults of a real
// network: a post that never arrives, a reply that is lost on its way back, a portal that
// is down for a while. The game at its headless table plays every hand the portal deals
// it, deciding by chance; whatever is lost on the way, the member's money and record at
// the portal end as the hands he played say, each hand settled once from its record.

#include <gtest/gtest.h>
#include <httplib.h>

#include <deque>
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

// An HttpClient that carries each request to a server on loopback and reports its end
// from the loop, as the real client does, with the faults the test asks for.
class LoopbackHttpClient final : public platform::HttpClient {
 public:
  explicit LoopbackHttpClient(platform::EventLoop& loop) : loop_(loop) {}

  void Execute(const std::string& url, const std::string&, const std::string& body,
               const std::string&) override {
    Cancel();
    reply_.clear();
    busy_ = true;
    paths.push_back(url.substr(url.find("/sub/")));
    Fault fault = Fault::kNone;
    if (!faults.empty()) {
      fault = faults.front();
      faults.pop_front();
    }
    int state = platform::kHttpRequestFailed;
    std::string reply;
    if (!down && fault != Fault::kPostLost) {
      const std::size_t path = url.find('/', url.find("://") + 3);
      httplib::Client client(url.substr(0, path));
      const httplib::Result result =
          client.Post(url.substr(path), body, "application/x-www-form-urlencoded");
      if (result && result->status == 200 && fault != Fault::kReplyLost) {
        state = platform::kHttpResponseCompleted;
        reply = result->body;
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

  // The faults of the next requests, in order.
  std::deque<Fault> faults;
  // While set, every request fails: the portal cannot be reached.
  bool down = false;
  // The path of every request, in order ("/sub/deal.asp").
  std::vector<std::string> paths;

 private:
  platform::EventLoop& loop_;
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
    ASSERT_FALSE(
        Store().AddMember({.name = "길동", .password = "secret1", .money = "3000000"}).refusal);
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
    std::vector<std::string> fields;
    for (std::size_t start = 0, bar;; start = bar + 1) {
      bar = login->body.find('|', start);
      fields.push_back(login->body.substr(start, bar - start));
      if (bar == std::string::npos) break;
    }
    ASSERT_EQ(fields.size(), 10u) << login->body;
    table_.emplace(replay::Member{.Name = "길동", .Money = fields[4]});
    GameState& state = table_->game().state;
    state.Portal = BuildPortalAddresses(base_);
    state.PlayerInfo.SessionToken = fields[9];
    state.Room.StakeText = "500";
    state.Room.ServiceCards = 2;
    table_->log().keep = table_->sound().keep = false;
    http_.emplace(table_->loop());
    session_.emplace(table_->game(), *http_);
    table_->game().portal = &*session_;
    expected_.Money = fields[4];
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

  // Presses the start button and lets the portal's answers come. True when a hand began.
  bool PressStart() {
    table_->window().PressStart();
    table_->loop().RunUntil([this] { return !http_->BusyRequest(); }, 60);
    return State().Room.HandRunning;
  }

  // Plays the hand that began, deciding by chance, through its settlement and the save's
  // post; adds its result, as the game computed it, to what the portal must end with.
  void PlayHand() {
    const std::string before = State().PlayerInfo.Money;  // as the portal dealt it
    ASSERT_TRUE(table_->RunByChance(chance_));
    const replay::Settlement played = replay::SettlementOf(*table_);
    expected_.Money = BigAdd(expected_.Money, BigSubtract(played.After.Money, before));
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
  }

  long long Count(const std::string& path) const {
    return std::count(http_->paths.begin(), http_->paths.end(), path);
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

TEST_F(PortalFaultsTest, LostPostsAndLostRepliesCostNoHandAndCountNoHandTwice) {
  // A save whose reply is lost: posted again before the next deal, answered the same.
  ASSERT_TRUE(PressStart());
  http_->faults = {Fault::kReplyLost};
  PlayHand();
  EXPECT_TRUE(session_->HasUnansweredSave());
  ASSERT_EQ(table_->desktop().messages.size(), 1u);  // the player hears of it once
  ASSERT_TRUE(PressStart());
  EXPECT_FALSE(session_->HasUnansweredSave());
  EXPECT_EQ(Count("/sub/svp.asp"), 2);

  // A save that never arrives: the same.
  http_->faults = {Fault::kPostLost};
  PlayHand();
  EXPECT_TRUE(session_->HasUnansweredSave());
  ASSERT_TRUE(PressStart());

  // A deal whose reply is lost: the next press is answered with the same hand, which is
  // not played idle meanwhile.
  PlayHand();
  http_->faults = {Fault::kReplyLost};
  EXPECT_FALSE(PressStart());
  ASSERT_TRUE(PressStart());
  PlayHand();
  // A deal that never arrives.
  http_->faults = {Fault::kPostLost};
  EXPECT_FALSE(PressStart());
  ASSERT_TRUE(PressStart());
  PlayHand();

  ExpectPortalHolds();
  EXPECT_EQ(State().PlayerInfo.Money, expected_.Money);
}

TEST_F(PortalFaultsTest, APortalDownForThreeHandsLosesNothing) {
  ASSERT_TRUE(PressStart());
  http_->down = true;
  PlayHand();
  const std::size_t told = table_->desktop().messages.size();
  EXPECT_EQ(told, 1u);
  // Three presses of the start button while the portal is away: no hand can be dealt,
  // and the player is told so each time, the save's failure not again.
  for (int press = 0; press < 3; ++press)
    EXPECT_FALSE(PressStart());
  EXPECT_EQ(table_->desktop().messages.size(), told + 3);
  EXPECT_EQ(table_->desktop().messages.back(),
            "Quenrith 게임서버 접속이 원할하지않아 판을 시작하지 못하였습니다\r\n"
            "잠시후 다시 시도해 주시기 바랍니다");

  http_->down = false;
  for (int hand = 0; hand < 3; ++hand) {
    ASSERT_TRUE(PressStart());
    PlayHand();
  }
  ExpectPortalHolds();
}

}  // namespace
}  // namespace hw::portal
