// hwatable-sim: its options, and the records it prints checked against each other and
// against the rules of money (whatever a hand moves, it moves from one player to the other).

#include "sim/simulator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <thread>

#include "rules/money.h"

namespace hw::sim {
namespace {

using ::testing::HasSubstr;
using Json = nlohmann::ordered_json;

std::string IdentityDeck() {
  std::string deck;
  for (int card = 0; card < 48; ++card)
    deck += (card < 10 ? "0" : "") + std::to_string(card);
  return deck;
}

struct SimRun {
  int status = 0;
  std::string out, err;
};

SimRun Simulate(const std::vector<std::string>& args) {
  std::string error;
  const auto options = ParseOptions(args, error);
  if (!options) return {2, "", error};
  std::ostringstream out, err;
  const int status = RunSimulation(*options, out, err);
  return {status, out.str(), err.str()};
}

std::vector<Json> Records(const std::string& out) {
  std::vector<Json> records;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);)
    records.push_back(Json::parse(line));
  return records;
}

TEST(SimulatorOptionsTest, MalformedOptionsAreRefusedWithAReason) {
  struct Case {
    std::vector<std::string> args;
    const char* reason;
  };
  const std::string deck = IdentityDeck();
  for (const Case& c : std::vector<Case>{
           {{"--deck", deck.substr(2)}, "96 to 106 characters"},
           {{"--deck", deck.substr(0, 94) + "00"}, "appears twice"},
           {{"--deck", deck, "--hands", "3"}, "takes no --hands"},
           {{"--mission", "9"}, "--mission"},
           {{"--stake", "-100"}, "--stake"},
           {{"--money", "1.5"}, "--money"},
           {{"--seon", "nobody"}, "--seon"},
           {{"--opponent", "best"}, "--opponent must be \"written\" or \"search\""},
           {{"--hands", "0"}, "--hands"},
           {{"--service", "6"}, "--service"},
           {{"--seed", "x"}, "--seed"},
           {{"--hands"}, "needs a value"},
           {{"--colour", "red"}, "unknown option --colour"},
           {{"--portal", "127.0.0.1:8410"}, "the portal's address"},
           {{"--portal", "http://127.0.0.1:8410/"}, "needs the member's --password"},
           {{"--portal", "http://127.0.0.1:8410/", "--password", "pw", "--money", "5"},
            "the portal deals"},
           {{"--portal", "http://127.0.0.1:8410/", "--password", "pw", "--deck", deck},
            "the portal deals"},
           {{"--password", "pw"}, "--password goes with --portal"},
           {{"--name", "a\xff"}, "--name must be UTF-8 text without control characters"},
           {{"--name", "\xed\xa0\x80"}, "UTF-8"},  // a surrogate
           {{"--name", "\xc0\xaf"}, "UTF-8"},      // an overlong '/'
           {{"--name", "민\xec\x88"}, "UTF-8"},    // cut in the middle of a letter
           {{"--name", "tab\there"}, "control characters"},
           {{"--name", "del\x7f"}, "control characters"},
       }) {
    std::string error;
    EXPECT_FALSE(ParseOptions(c.args, error).has_value()) << c.reason;
    EXPECT_THAT(error, HasSubstr(c.reason));
    EXPECT_EQ(error.find('\n'), std::string::npos) << "one line";
  }
  std::string error;
  const auto fiveServiceCards = ParseOptions({"--deck", deck + "4849505152"}, error);
  ASSERT_TRUE(fiveServiceCards.has_value()) << error;
  EXPECT_EQ(fiveServiceCards->serviceCards, 5);
}

TEST(SimulatorTest, ADealtChongtongIsRecordedAsTheContractSays) {
  // The identity deck gives 선 (the human) cards 9..13 and 23..27: all four of July.
  const SimRun run = Simulate({"--deck", IdentityDeck(), "--mission", "3", "--name", "민수"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto records = Records(run.out);
  ASSERT_EQ(records.size(), 1u);
  const Json& r = records[0];
  std::vector<std::string> keys;
  for (const auto& [key, value] : r.items())
    keys.push_back(key);
  EXPECT_THAT(keys,
              ::testing::ElementsAre("deck", "mission", "seon", "end", "winner", "amount", "result",
                                     "decisions", "log", "players", "saves", "sounds"));
  EXPECT_EQ(r["decisions"], "") << "won by chongtong before a card was played";
  EXPECT_EQ(r["deck"], IdentityDeck());
  EXPECT_EQ(r["mission"], 3);
  EXPECT_EQ(r["seon"], "민수");
  EXPECT_EQ(r["end"], "chongtong");
  EXPECT_EQ(r["winner"], 0);
  EXPECT_EQ(r["amount"], "300");
  EXPECT_EQ(r["result"]["kind"], -1);
  EXPECT_EQ(r["result"]["lines"],
            Json({"민수님 승리~", "300원", "총통으로 승리", "", "컴퓨터 = 300-원"}));
  EXPECT_EQ(r["log"].front(), "<민수>님을 게임[선]으로 시작합니다");
  EXPECT_EQ(r["players"][0]["money"], "1000300");
  EXPECT_EQ(r["players"][0]["running_gain"], "300");
  EXPECT_EQ(r["players"][0]["wins"], "1");
  EXPECT_EQ(r["players"][1]["name"], "컴퓨터");
  EXPECT_EQ(r["players"][1]["losses"], "1");
  EXPECT_EQ(r["players"][1]["captured"], Json::parse("[[],[],[],[]]"));
  EXPECT_EQ(r["saves"], Json::parse(R"([{"slot":0,"code":"W","amount":"300","mission":"0"},
                                        {"slot":1,"code":"L","amount":"300","mission":"0"}])"));
  EXPECT_EQ(r["sounds"].back(), "WINNER@3");
  EXPECT_EQ(r["sounds"][r["sounds"].size() - 2], "GOOD@0/M");
}

// A name is written into the record's texts as it is, whatever JSON has to escape in it.
TEST(SimulatorTest, ANameWithQuotesAndBackslashesIsRecordedAsItIs) {
  const std::string name = R"(따옴표 "q" \ / 끝)";
  const SimRun run = Simulate({"--deck", IdentityDeck(), "--mission", "3", "--name", name});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto records = Records(run.out);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0]["seon"], name);
  EXPECT_EQ(records[0]["players"][0]["name"], name);
  EXPECT_EQ(records[0]["result"]["lines"][0], name + "님 승리~");
  EXPECT_EQ(records[0]["log"].front(), "<" + name + ">님을 게임[선]으로 시작합니다");
  EXPECT_THAT(run.out, HasSubstr(R"("seon":"따옴표 \"q\" \\ / 끝")")) << "escaped as JSON needs";
}

// Many hands: every record agrees with itself and money only changes hands.
TEST(SimulatorTest, RecordsOfManyHandsAddUp) {
  const SimRun run = Simulate(
      {"--hands", "60", "--seed", "11", "--service", "2", "--money", "50000000", "--stake", "300"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto records = Records(run.out);
  ASSERT_EQ(records.size(), 60u);
  std::string money = "50000000";
  for (const Json& r : records) {
    SCOPED_TRACE(r["deck"].get<std::string>());
    EXPECT_EQ(r["deck"].get<std::string>().size(), 100u);
    const Json& human = r["players"][0];
    const Json& computer = r["players"][1];
    // Whatever moved during the hand (a first ppeok, the settlement) moved between the two.
    EXPECT_EQ(BigAdd(human["money"].get<std::string>(), computer["money"].get<std::string>()),
              BigAdd(money, "1000000"));
    int captured = 0;
    for (const Json& player : r["players"]) {
      for (const Json& pile : player["captured"])
        captured += static_cast<int>(pile.size());
    }
    EXPECT_LE(captured, 50);
    if (r["end"] == "draw") {
      EXPECT_TRUE(r["winner"].is_null());
      EXPECT_EQ(r["amount"], "0");
      EXPECT_EQ(r["result"]["kind"], 0);
      EXPECT_EQ(r["result"]["lines"], Json({"", "", "", "", ""}));
      EXPECT_EQ(r["saves"][0]["code"], "D");
      EXPECT_EQ(r["saves"][1]["code"], "D");
    } else {
      const int winner = r["winner"];
      EXPECT_EQ(r["saves"][winner]["code"], "W");
      EXPECT_EQ(r["saves"][1 - winner]["code"], "L");
      EXPECT_EQ(r["saves"][winner]["amount"], r["amount"]);
      EXPECT_EQ(r["result"]["lines"][1], r["amount"].get<std::string>() + "원");
    }
    for (const Json& sound : r["sounds"]) {
      EXPECT_TRUE(std::regex_match(sound.get<std::string>(), std::regex("[A-Z0-9]+@[0-4](/.+)?")))
          << sound;
    }
    money = human["money"];
  }
}

TEST(SimulatorTest, ThePlayerWhoCannotPayTheStakeEndsTheRun) {
  const SimRun run = Simulate({"--money", "1999", "--stake", "100"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_THAT(run.err, HasSubstr("the player's money (1999) is below 20 times the stake (100)"));
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
}

TEST(SimulatorTest, QuietRunsPrintASpeedLineWithASignatureOfTheResults) {
  const SimRun first = Simulate({"--hands", "40", "--seed", "5", "--quiet"});
  const SimRun again = Simulate({"--hands", "40", "--seed", "5", "--quiet"});
  const SimRun other = Simulate({"--hands", "40", "--seed", "6", "--quiet"});
  const std::regex line("40 hands in [0-9.]+ s, [0-9]+ hands/s, signature ([0-9a-f]{16})\n");
  std::smatch a, b, c;
  ASSERT_TRUE(std::regex_match(first.out, a, line)) << first.out;
  ASSERT_TRUE(std::regex_match(again.out, b, line)) << again.out;
  ASSERT_TRUE(std::regex_match(other.out, c, line)) << other.out;
  EXPECT_EQ(a[1], b[1]);
  EXPECT_NE(a[1], c[1]);
}

TEST(SimulatorTest, EveryHandPlayedByChancePlaysAgainAlikeFromItsRecord) {
  const SimRun run =
      Simulate({"--hands", "60", "--seed", "8", "--human", "random", "--replay", "--quiet"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.out, ::testing::ContainsRegex(
                           "60 hands played again from their records in [0-9.]+ s, [0-9]+ us "
                           "per hand, all alike\n$"));
}

#ifdef HWATABLE_SIM_PROGRAM
// The program with these arguments: its exit status and what it printed.
SimRun RunProgram(const std::string& args) {
  FILE* pipe = popen((HWATABLE_SIM_PROGRAM " " + args + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return {-1, "", ""};
  std::string output;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, got);
  return {WEXITSTATUS(pclose(pipe)), output, ""};
}

TEST(SimulatorProgramTest, VerifyDealDealsAPortalsHandAgainFromItsSeeds) {
  const std::string seed = "4f1c2a9e7b3d5f60812a4c6e8f0b1d3e5a7c9e1f3b5d7f9a2c4e6a8b0d2f4a6c";
  const SimRun run = RunProgram("--verify-deal " + seed + " 9a3f 17 3");
  EXPECT_EQ(run.status, 0) << run.out;
  // The commitment is the seed's SHA-256, as sha256sum prints it.
  EXPECT_THAT(run.out,
              HasSubstr("server seed commitment: "
                        "b03392abddf8fc82a4f22b54ecfe77764630bf8e999aa98e19687f9f536fadbe\n"));
  EXPECT_THAT(run.out, HasSubstr("deck: 2244113234490013015020471528310830174806184145023938124025"
                                 "35461404264321034233240516291937072736091023\n"));
  EXPECT_THAT(run.out, HasSubstr("mission: 1 "));
  // 선's ten cards are the 10th to 14th and 24th to 28th of the deck.
  EXPECT_THAT(run.out, HasSubstr("first player's hand: 50(서비스) 20(6월) 47(12월) 15(4월) 28(8월) "
                                 "2(1월) 39(10월) 38(10월) 12(4월) 40(11월)\n"));

  const std::string verify = "--verify-deal ";
  for (const std::string& bad : std::vector<std::string>{
           verify + seed + " 9a3f 17", verify + seed + " 9A3F 17 3", verify + "abc 9a3f 17 3",
           verify + seed + " 9a3f x 3", verify + seed + " 9a3f 17 6"}) {
    const SimRun refused = RunProgram(bad);
    EXPECT_EQ(refused.status, 2) << bad;
    EXPECT_THAT(refused.out, ::testing::StartsWith("hwatable-sim: ")) << bad;
  }
}

// A short match: the report's lines, and a player against itself comes out exactly even
// (the seats are swapped on the same cards, so nothing but the players can differ).
TEST(SimulatorProgramTest, AMatchOfDuplicateDealsReportsBothPlayers) {
  const SimRun match = RunProgram("--match search written --deals 40 --playouts 12 --threads 2");
  ASSERT_EQ(match.status, 0) << match.out;
  const std::string number = "[+-][0-9]+\\.[0-9]+";
  EXPECT_THAT(match.out, ::testing::ContainsRegex("search \\(first\\) +hands won [0-9]+ of 80 "));
  EXPECT_THAT(match.out, ::testing::ContainsRegex("written \\(second\\) +hands won [0-9]+ of 80 "));
  EXPECT_THAT(match.out,
              ::testing::ContainsRegex("money per hand " + number + " ± [0-9.]+ stakes"));
  EXPECT_THAT(match.out,
              ::testing::ContainsRegex("[0-9.]+ ms per decision \\([1-9][0-9]* decisions"));
  EXPECT_THAT(match.out, HasSubstr("first minus second: "));

  const SimRun even = RunProgram("--match written written --deals 200 --service 5");
  ASSERT_EQ(even.status, 0) << even.out;
  EXPECT_THAT(even.out, HasSubstr("first minus second: +0.00 stakes per hand, 95% [+0.00, +0.00]"));
  EXPECT_THAT(even.out, HasSubstr("decided deals 0,"));

  for (const std::string bad :
       {"--match search", "--match search best", "--match written search --deals 0",
        "--match written search --playouts x", "--match written search --speed 3"}) {
    const SimRun refused = RunProgram(bad);
    EXPECT_EQ(refused.status, 2) << bad;
    EXPECT_THAT(refused.out, ::testing::StartsWith("hwatable-sim: ")) << bad;
  }
}

// A portal on a free loopback port that answers each page with a fixed text.
class ScriptedPortal {
 public:
  explicit ScriptedPortal(std::map<std::string, std::string> replies)
      : replies_(std::move(replies)) {
    server_.Post(R"(/sub/(\w+)\.asp)",
                 [this](const httplib::Request& request, httplib::Response& response) {
                   const auto reply = replies_.find(request.matches[1]);
                   response.set_content(reply == replies_.end() ? "" : reply->second, "text/plain");
                 });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    for (int i = 0; i < 5000 && !server_.is_running(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~ScriptedPortal() {
    server_.stop();
    thread_.join();
  }
  SimRun Play() const {
    return RunProgram("--portal http://127.0.0.1:" + std::to_string(port_) +
                      "/ --password pw --hands 1 --service 0");
  }

 private:
  std::map<std::string, std::string> replies_;
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

// Whatever a portal answers, the simulator reports it and stops with status 1.
TEST(SimulatorProgramTest, APortalThatAnswersAmissIsReported) {
  const std::string login = "player|v|1|0|1000000|0|0|0|0|session";
  // The identity deck deals 선 all four of July: the hand ends at once.
  const std::string deal = "OK|7|" + IdentityDeck() + "|3|1|1000000|commitment";
  struct Case {
    std::map<std::string, std::string> replies;
    const char* report;
  };
  for (const Case& c : std::vector<Case>{
           {{{"chk", "player|v|avatar|0|1000000|0|0|0|0|session"}},
            "the portal refused the login: player|v|avatar|"},
           {{{"chk", "ER|no such member"}}, "the portal refused the login: ER|no such member"},
           {{{"chk", login}, {"deal", "OK|7|" + IdentityDeck() + "|x|1|1000000|c"}},
            "hand 1 not dealt: OK|7|"},
           {{{"chk", login}, {"deal", "OK|7|" + IdentityDeck().substr(0, 94) + "00|3|1|1000000|c"}},
            "hand 1 not dealt: "},
           {{{"chk", login}, {"deal", "OK|7|" + IdentityDeck() + "|9|1|1000000|c"}},
            "hand 1 not dealt: "},
           {{{"chk", login}, {"deal", deal}, {"svp", "OK|\xff\xfe|0"}},
            "\"portal\":\"OK|\xef\xbf\xbd\xef\xbf\xbd|0\""},
       }) {
    const ScriptedPortal portal(c.replies);
    const SimRun run = portal.Play();
    EXPECT_EQ(run.status, 1) << c.report << "\n" << run.out;
    EXPECT_THAT(run.out, HasSubstr(c.report));
  }
  const ScriptedPortal settlesOtherwise({{"chk", login}, {"deal", deal}, {"svp", "OK|5"}});
  EXPECT_THAT(settlesOtherwise.Play().out, HasSubstr("the portal settled hand 7 otherwise"));
}

TEST(SimulatorProgramTest, ExitsWithStatusTwoOnABadOption) {
  FILE* pipe = popen(HWATABLE_SIM_PROGRAM " --mission 12 2>&1", "r");
  ASSERT_NE(pipe, nullptr);
  char buffer[512] = {};
  const std::string output(buffer, std::fread(buffer, 1, sizeof buffer - 1, pipe));
  const int status = pclose(pipe);
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_EQ(output, "hwatable-sim: --mission must be a mission number from 0 to 8, not \"12\"\n");
}
#endif

}  // namespace
}  // namespace hw::sim
