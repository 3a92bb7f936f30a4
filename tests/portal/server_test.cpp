// The portal web server in this process on a free loopback port, spoken to with an HTTP
// client as the game and a browser would; and the hwatable-portal program itself.

#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "portal/server/member_store.h"
#include "portal/server/portal_server.h"

namespace hw::portal {
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

Fields Save(const std::string& name, const std::string& session, const std::string& money,
            const std::string& change, const std::string& wins, const std::string& losses,
            const std::string& draws, const std::string& missions) {
  return {{"recencode", kAccess}, {"recnick", name},      {"recgcode", "001"},
          {"recpoint", money},    {"recuppoint", change}, {"recwin", wins},
          {"reclose", losses},    {"recdraw", draws},     {"recmission", missions},
          {"recsession", session}};
}

Fields Logout(const std::string& name, const std::string& session) {
  return {{"recencode", kAccess}, {"recnick", name}, {"recgcode", "001"}, {"recsession", session}};
}

bool Refused(const std::string& reply) {
  return reply.starts_with("ER|") && Split(reply).size() == 2;
}

class PortalTest : public testing::Test {
 protected:
  PortalTest() {
    signal(SIGPIPE, SIG_IGN);  // the server may hang up on a client still sending
    Start();
  }

  void Start() {
    PortalOptions options;
    options.data_dir = data_.path();
    options.hash_cost = HashCost::kMinimal;
    options.clock = [this] { return std::chrono::system_clock::time_point(now_.load()); };
    options.log = &log_;
    server_.emplace(options);
    if (!server_->Bind("127.0.0.1", 0)) throw std::runtime_error("cannot bind");
    server_->Start();
  }
  void Restart() {
    server_.reset();
    Start();
  }

  MemberStore Store() {
    return MemberStore(data_.path() / kDatabaseFile, {HashCost::kMinimal, {}});
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

  httplib::Client Client() { return httplib::Client("127.0.0.1", server_->port()); }
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

  TempFolder data_;
  std::atomic<std::chrono::seconds> now_{std::chrono::seconds(1714564800)};  // 2024-05-01
  std::ostringstream log_;
  std::optional<PortalServer> server_;
};

TEST_F(PortalTest, LoginAnswersTheFiguresAndANewSessionOrMinusOne) {
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

TEST_F(PortalTest, ScoreSavesStoreEachHandAndAnswerWithTheRank) {
  AddMember("player");
  const std::string session = Session("player");
  const auto save = [&](auto... values) {
    return Reply("/sub/svp.asp", Save("player", session, values...));
  };
  EXPECT_EQ(save("1003000", "3000", "1", "0", "0", "1"), "OK|1003000|1|0|0|1|주임");
  EXPECT_EQ(save("30000", "-973000", "1", "1", "0", "1"), "OK|30000|1|1|0|1|알바");
  EXPECT_EQ(save("30000", "0", "1", "1", "1", "1"), "OK|30000|1|1|1|1|알바");
  EXPECT_EQ(save("30001", "1", "2", "1", "1", "1"), "OK|30001|2|1|1|1|사원");
  // Money beyond any machine number is kept as decimal text.
  ASSERT_TRUE(Store().SetMoney("player", "99999999999999999999"));
  const std::string again = Session("player");
  EXPECT_EQ(Reply("/sub/svp.asp",
                  Save("player", again, "100000000000000000000", "1", "3", "1", "1", "1")),
            "OK|100000000000000000000|3|1|1|1|회장");
  EXPECT_EQ(Figures("player"), "100000000000000000000|3|1|1|1");
}

TEST_F(PortalTest, MoneyMovedDuringAHandCountsButMoneyChangedElsewhereRefusesTheSave) {
  AddMember("player", "1000000");
  const std::string session = Session("player");
  // A first ppeok paid 900 during a hand that was then drawn; the next hand the player
  // won 300 after the computer's first ppeok took 900 from him.
  EXPECT_EQ(Reply("/sub/svp.asp", Save("player", session, "1000900", "0", "0", "0", "1", "0")),
            "OK|1000900|0|0|1|0|주임");
  EXPECT_EQ(Reply("/sub/svp.asp", Save("player", session, "1000300", "300", "1", "0", "1", "0")),
            "OK|1000300|1|0|1|0|주임");
  // A loss down to nothing is a loss, not a refusal.
  EXPECT_EQ(Reply("/sub/svp.asp", Save("player", session, "0", "-1000300", "1", "1", "1", "0")),
            "OK|0|1|1|1|0|알바");

  // The operator changed the money while the game still knows the old figures: its next
  // save is refused until the player logs in again and learns the new ones.
  ASSERT_TRUE(Store().SetMoney("player", "300000"));
  EXPECT_TRUE(
      Refused(Reply("/sub/svp.asp", Save("player", session, "300", "300", "2", "1", "1", "0"))));
  EXPECT_EQ(Figures("player"), "300000|1|1|1|0");
  const std::string again = Session("player");
  EXPECT_EQ(Reply("/sub/svp.asp", Save("player", again, "300300", "300", "2", "1", "1", "0")),
            "OK|300300|2|1|1|0|사원");
}

TEST_F(PortalTest, ScoreSaveAndLogoutNeedTheMembersCurrentSession) {
  AddMember("a");
  AddMember("b");
  const std::string old = Session("a");
  const std::string current = Session("a");
  for (const std::string& session : {std::string(), old, Session("b"), std::string(32, '0')}) {
    EXPECT_TRUE(
        Refused(Reply("/sub/svp.asp", Save("a", session, "1000100", "100", "1", "0", "0", "0"))))
        << "session " << session;
    EXPECT_TRUE(Refused(Reply("/sub/lgo.asp", Logout("a", session)))) << "session " << session;
  }
  EXPECT_EQ(Figures("a"), "1000000|0|0|0|0");

  EXPECT_EQ(Reply("/sub/lgo.asp", Logout("a", current)), "OK");
  EXPECT_TRUE(
      Refused(Reply("/sub/svp.asp", Save("a", current, "1000100", "100", "1", "0", "0", "0"))));
  EXPECT_TRUE(Refused(Reply("/sub/lgo.asp", Logout("a", current))));
  EXPECT_EQ(Figures("a"), "1000000|0|0|0|0");
}

TEST_F(PortalTest, InconsistentOrMalformedScoreSavesChangeNothing) {
  AddMember("player", "1000");
  const std::string session = Session("player");
  struct Case {
    const char* what;
    std::array<const char*, 6> values;  // money, change, wins, losses, draws, missions
  };
  const Case cases[] = {
      {"money below zero", {"-1000", "-2000", "0", "1", "0", "0"}},
      {"wins grow by two", {"1500", "500", "2", "0", "0", "0"}},
      {"missions grow by two", {"1500", "500", "1", "0", "0", "2"}},
      {"a win and a loss at once", {"1500", "500", "1", "1", "0", "0"}},
      {"a loss and a draw at once", {"500", "-500", "0", "1", "1", "0"}},
      {"letters in the money", {"15OO", "500", "1", "0", "0", "0"}},
      {"a decimal point", {"1500.0", "500", "1", "0", "0", "0"}},
      {"a plus sign", {"1500", "+500", "1", "0", "0", "0"}},
      {"an empty count", {"1500", "500", "1", "", "0", "0"}},
      {"a negative count", {"1500", "500", "1", "-0", "0", "0"}},
      {"a count past 64 bits", {"1500", "500", "99999999999999999999", "0", "0", "0"}},
  };
  for (const Case& c : cases) {
    const auto& v = c.values;
    EXPECT_TRUE(
        Refused(Reply("/sub/svp.asp", Save("player", session, v[0], v[1], v[2], v[3], v[4], v[5]))))
        << c.what;
    EXPECT_EQ(Figures("player"), "1000|0|0|0|0") << c.what;
  }
  Fields wrong_code = Save("player", session, "1500", "500", "1", "0", "0", "0");
  wrong_code.find("recencode")->second = "x";
  EXPECT_TRUE(Refused(Reply("/sub/svp.asp", wrong_code)));

  EXPECT_EQ(Reply("/sub/svp.asp", Save("player", session, "1500", "500", "1", "0", "0", "0")),
            "OK|1500|1|0|0|0|알바");
  EXPECT_TRUE(
      Refused(Reply("/sub/svp.asp", Save("player", session, "1500", "0", "0", "0", "1", "0"))))
      << "wins went down";
  EXPECT_EQ(Figures("player"), "1500|1|0|0|0");
}

TEST_F(PortalTest, OversizedBodiesUnknownPathsAndEscapingDownloadsAreRefused) {
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

TEST_F(PortalTest, NamesAndPasswordsWithFormCharactersAndKoreanWorkThroughout) {
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
  EXPECT_EQ(Reply("/sub/svp.asp", Save(name, fields[9], "1000000", "0", "0", "0", "1", "0")),
            "OK|1000000|0|0|1|0|주임");
}

TEST_F(PortalTest, JoinPageSignsUpOnceAndShowsItsRefusalsOnTheFormAgain) {
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
           {"tab\there", "secret"}}) {
    const std::string page = join(name, password2);
    EXPECT_NE(page.find("class=\"error\""), std::string::npos) << name;
    EXPECT_NE(page.find("action=\"join.asp\""), std::string::npos) << name;
    if (name != "새회원") {
      EXPECT_FALSE(Store().Find(name)) << name;
    }
  }
  EXPECT_EQ(Figures("새회원"), "1000000|0|0|0|0");
  EXPECT_EQ(Split(Login("새회원", "secret")).size(), 10u);
  EXPECT_EQ(join(Repeat("가", 20), "secret").find("class=\"error\""), std::string::npos);
}

TEST_F(PortalTest, LostAccountPageSetsANewPasswordWithTheRecoveryCode) {
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
  EXPECT_EQ(recover(typed, "newpass").find("class=\"error\""), std::string::npos);
  EXPECT_EQ(Login("forgetful", "secret"), "-1");
  EXPECT_EQ(Split(Login("forgetful", "newpass")).size(), 10u);
  EXPECT_TRUE(Refused(Reply("/sub/lgo.asp", Logout("forgetful", session))));
}

TEST_F(PortalTest, FreeTopUpOnlyForThePoorAndOncePerDay) {
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

TEST_F(PortalTest, ConcurrentScoreSavesForDifferentMembersLoseNothing) {
  constexpr int kMembers = 6;
  constexpr int kSaves = 15;
  std::vector<std::string> sessions;
  for (int i = 0; i < kMembers; ++i) {
    AddMember("p" + std::to_string(i));
    sessions.push_back(Session("p" + std::to_string(i)));
  }
  std::atomic<int> saved = 0;
  {
    std::vector<std::jthread> players;
    for (int i = 0; i < kMembers; ++i) {
      players.emplace_back([&, i] {
        httplib::Client client = Client();
        for (int hand = 1; hand <= kSaves; ++hand) {
          const auto result = client.Post(
              "/sub/svp.asp", Save("p" + std::to_string(i), sessions[static_cast<std::size_t>(i)],
                                   std::to_string(1000000 + 100 * hand), "100",
                                   std::to_string(hand), "0", "0", "0"));
          if (result && result->body.starts_with("OK|")) ++saved;
        }
      });
    }
  }
  EXPECT_EQ(saved, kMembers * kSaves);
  for (int i = 0; i < kMembers; ++i)
    EXPECT_EQ(Figures("p" + std::to_string(i)), "1001500|15|0|0|0");
}

TEST_F(PortalTest, ARestartOnTheSameFolderKeepsMembersFiguresAndSessions) {
  AddMember("steady");
  const std::string session = Session("steady");
  EXPECT_EQ(Reply("/sub/svp.asp", Save("steady", session, "1000500", "500", "1", "0", "0", "0")),
            "OK|1000500|1|0|0|0|주임");
  Restart();
  EXPECT_EQ(Reply("/sub/svp.asp", Save("steady", session, "1001000", "500", "2", "0", "0", "1")),
            "OK|1001000|2|0|0|1|주임");
  EXPECT_EQ(Split(Login("steady", "secret"))[4], "1001000");
}

TEST_F(PortalTest, HomePageListsTheTenRichestInOrderWithRanksAndLinks) {
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
  for (const char* expected :
       {"알바", "사원", "주임", "대리", "과장", "부장", "사장", "회장", "10억1원 이상",
        "sub/redir.asp?no=1", "sub/redir.asp?no=2", "sub/redir.asp?no=3"})
    EXPECT_NE(page.find(expected), std::string::npos) << expected;
}

TEST_F(PortalTest, RequestLogNamesTheMemberButNoPasswordOrSession) {
  AddMember("logged");
  const std::string session = Session("logged");
  Reply("/sub/lgo.asp", Logout("logged", session));
  server_->Stop();  // the log line is written after the reply is sent
  const std::string log = log_.str();
  EXPECT_TRUE(std::regex_search(
      log, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d POST /sub/chk\.asp 200 logged\n)")))
      << log;
  EXPECT_NE(log.find("POST /sub/lgo.asp 200 logged\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("secret"), std::string::npos) << log;
  EXPECT_EQ(log.find(session), std::string::npos) << log;
}

TEST_F(PortalTest, PublishedInstallerAndUpdateListAreServed) {
  const fs::path installer = data_.path() / "hwatable-setup-1.0.2.sh";
  std::ofstream(installer) << "abc";
  std::string output;
  const std::string data = "--data=" + data_.path().string();
  EXPECT_EQ(
      RunProgram({data, "publish", "102", installer.string(), "--url", "http://example.org/p"},
                 output),
      0)
      << output;
  EXPECT_EQ(Page("/down/nlist.lst"),
            "102<br>http://example.org/p/down/hwatable-setup-1.0.2.sh<br>"
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Page("/down/hwatable-setup-1.0.2.sh"), "abc");

  EXPECT_EQ(RunProgram({data, "--listen", "127.0.0.1:9000", "publish", "103", installer.string()},
                       output),
            0);
  EXPECT_TRUE(
      Page("/down/nlist.lst").starts_with("103<br>http://127.0.0.1:9000/down/hwatable-setup"));
  EXPECT_NE(RunProgram({data, "publish", "1.5", installer.string()}, output), 0);
  EXPECT_NE(RunProgram({data, "publish", "104", (data_.path() / "missing.sh").string()}, output),
            0);
  EXPECT_TRUE(Page("/down/nlist.lst").starts_with("103<br>"));
}

TEST_F(PortalTest, AnotherServerOnABusyPortIsAClearError) {
  std::string output;
  EXPECT_EQ(RunProgram({"--data", data_.path().string(), "--listen",
                        "127.0.0.1:" + std::to_string(server_->port()), "--idle-exit", "1"},
                       output),
            1);
  EXPECT_NE(output.find("cannot listen on 127.0.0.1:" + std::to_string(server_->port())),
            std::string::npos)
      << output;
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
  EXPECT_TRUE(
      std::regex_match(output, std::regex("name: 홍길동\navatar: 2\nvoice: F\nmoney: 777\n"
                                          "wins: 0\nlosses: 0\ndraws: 0\nmissions: 0\n"
                                          "created: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\n")))
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
  ASSERT_EQ(RunProgram({data, "show", "홍길동"}, output), 0);
  EXPECT_NE(output.find("money: 777\n"), std::string::npos);
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

}  // namespace
}  // namespace hw::portal
