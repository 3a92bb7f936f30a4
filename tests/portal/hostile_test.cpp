// The portal against clients that mean it harm, each case asserting that the others are
// still served and that nothing changed that should not: slow and idle connections, too
// many connections from one address, a flood of wrong passwords while a member plays,
// password guessing, forged log lines, requests whose length two readers would read
// differently, pages of other sites reaching the local portal, and saves whose hands are
// slow to play again.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "portal/client/form.h"
#include "portal/server/game_posts.h"
#include "portal/server/member_store.h"
#include "portal/server/portal_server.h"
#include "replay/table.h"
#include "rules/hand_record.h"
#include "tests/support/temp_folder.h"

namespace hw::portal {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char* kAccess = "quenrithzmvokrtyplaxe";

// A TCP connection of the test's own to the portal, from a loopback address of its
// choice (127.0.0.2 looks like another machine to the server).
class RawConnection {
 public:
  RawConnection(int port, const char* from = "127.0.0.1") {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, from, &local.sin_addr);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &server.sin_addr);
    connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&server), sizeof server) == 0;
  }
  ~RawConnection() { ::close(fd_); }
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  bool Send(const std::string& bytes) {
    return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
  }
  // What arrives within `wait`, until the server closes or is silent for that long.
  std::string Receive(std::chrono::milliseconds wait = 2000ms) {
    timeval timeout{static_cast<time_t>(wait.count() / 1000),
                    static_cast<suseconds_t>((wait.count() % 1000) * 1000)};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::string got;
    char buffer[4096];
    for (ssize_t n; (n = ::recv(fd_, buffer, sizeof buffer, 0)) > 0;)
      got.append(buffer, static_cast<std::size_t>(n));
    return got;
  }
  // Whether the server has closed the connection (checked for up to `wait`).
  bool ClosedByServer(std::chrono::milliseconds wait) {
    timeval timeout{static_cast<time_t>(wait.count() / 1000),
                    static_cast<suseconds_t>((wait.count() % 1000) * 1000)};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    char byte;
    return ::recv(fd_, &byte, 1, 0) == 0;
  }
  bool connected() const { return connected_; }

 private:
  int fd_ = -1;
  bool connected_ = false;
};

class HostileTest : public ::testing::Test {
 protected:
  HostileTest() { signal(SIGPIPE, SIG_IGN); }
  ~HostileTest() override { server_.reset(); }

  void Serve(HashCost cost = HashCost::kMinimal, bool local = false,
             std::vector<std::string> proxies = {}) {
    PortalOptions options;
    options.data_dir = data_.Path();
    options.hash_cost = cost;
    options.log = &log_;
    options.clock = [this] { return std::chrono::system_clock::time_point(now_.load()); };
    options.request_deadline = 1s;
    options.local = local;
    options.proxies = std::move(proxies);
    server_.emplace(options);
    ASSERT_TRUE(server_->Bind("127.0.0.1", 0));
    server_->Start();
  }
  MemberStore Store(HashCost cost = HashCost::kMinimal) {
    return MemberStore(std::filesystem::path(data_.Path()) / kDatabaseFile, {cost, {}});
  }
  void AddMember(const std::string& name, HashCost cost = HashCost::kMinimal) {
    ASSERT_FALSE(Store(cost).AddMember({.name = name, .password = "secret1"}).refusal);
  }
  int port() const { return server_->port(); }
  httplib::Client Client() {
    httplib::Client client("127.0.0.1", port());
    client.set_read_timeout(30, 0);
    return client;
  }
  std::string Post(const std::string& path, const httplib::Params& fields) {
    const auto result = Client().Post(path.c_str(), fields);
    return result ? result->body : "(no answer)";
  }
  std::string Login(const std::string& name, const std::string& password) {
    return Post(
        "/sub/chk.asp",
        {{"recencode", kAccess}, {"recgcode", "001"}, {"recnick", name}, {"recpwd", password}});
  }
  std::string Deal(const std::string& name, const std::string& session) {
    return Post("/sub/deal.asp", {{"recencode", kAccess},
                                  {"recgcode", "001"},
                                  {"recnick", name},
                                  {"recsession", session},
                                  {"recstake", "100"},
                                  {"recservice", "0"},
                                  {"recseed", "ab"}});
  }
  std::string Log() {
    server_->Stop();  // a line is written as its answer goes out
    return log_.str();
  }
  void Advance(std::chrono::seconds by) { now_ = now_.load() + by; }

  testing::TempFolder data_;
  std::ostringstream log_;
  std::atomic<std::chrono::system_clock::duration> now_{
      std::chrono::system_clock::now().time_since_epoch()};
  std::optional<PortalServer> server_;
};

TEST_F(HostileTest, SlowIdleAndTooManyConnectionsKeepNobodyElseWaiting) {
  Serve();
  // From another address: twenty clients that send a header line every 300 ms and never
  // finish, and fifty that send nothing; past the cap of connections per address the
  // rest are closed at once.
  std::vector<std::unique_ptr<RawConnection>> slow, idle;
  for (int i = 0; i < 20; ++i) {
    slow.push_back(std::make_unique<RawConnection>(port(), "127.0.0.2"));
    slow.back()->Send("GET / HTTP/1.1\r\nHost: x\r\n");
  }
  for (int i = 0; i < 50; ++i)
    idle.push_back(std::make_unique<RawConnection>(port(), "127.0.0.2"));
  std::atomic<bool> stop{false};
  std::thread dripping([&] {
    while (!stop) {
      for (auto& connection : slow)
        connection->Send("X-Slow: 1\r\n");
      std::this_thread::sleep_for(300ms);
    }
  });

  // Meanwhile everybody else is served at once.
  Clock::duration slowest{};
  for (int i = 0; i < 20; ++i) {
    const auto start = Clock::now();
    const auto result = Client().Get("/");
    slowest = std::max(slowest, Clock::now() - start);
    ASSERT_TRUE(result && result->status == 200) << i;
  }
  EXPECT_LT(slowest, 1s);

  // Nobody may take longer than the deadline to send a request, dripping or idle.
  std::this_thread::sleep_for(1500ms);
  stop = true;
  dripping.join();
  for (auto& connection : slow)
    EXPECT_TRUE(connection->ClosedByServer(500ms));
  for (auto& connection : idle)
    EXPECT_TRUE(connection->ClosedByServer(500ms));

  // 64 connections from one address stay; the 65th is closed before a byte is read.
  std::vector<std::unique_ptr<RawConnection>> many;
  for (int i = 0; i < 64; ++i)
    many.push_back(std::make_unique<RawConnection>(port(), "127.0.0.3"));
  std::this_thread::sleep_for(100ms);
  RawConnection extra(port(), "127.0.0.3");
  EXPECT_TRUE(extra.ClosedByServer(500ms));
  EXPECT_FALSE(many.front()->ClosedByServer(100ms));
  EXPECT_TRUE(Client().Get("/"));
}

TEST_F(HostileTest, AFloodOfWrongPasswordsNeverHoldsUpAMembersHand) {
  // Real password hashing: a tenth of a second and 64 MiB each.
  Serve(HashCost::kInteractive);
  AddMember("player", HashCost::kInteractive);
  const auto login = SplitReply(Login("player", "secret1"));
  ASSERT_EQ(login.size(), 10u);
  const std::string session = login[9];

  std::atomic<bool> stop{false};
  std::atomic<int> busy{0}, tries{0};
  std::vector<std::thread> flood;
  for (int i = 0; i < 16; ++i) {
    flood.emplace_back([&, i] {
      for (int guess = 0; !stop && guess < 4; ++guess) {
        // A name of its own each time, so that no count of tries holds it back.
        const std::string reply =
            Login("guess" + std::to_string(i) + "-" + std::to_string(guess), "wrong");
        ++tries;
        if (reply == kBusyReply) ++busy;
      }
    });
  }
  std::vector<Clock::duration> times;
  for (int hand = 0; hand < 10; ++hand) {
    const auto start = Clock::now();
    const std::string reply = Deal("player", session);
    times.push_back(Clock::now() - start);
    EXPECT_TRUE(reply.starts_with("OK|")) << reply;
  }
  stop = true;
  for (std::thread& thread : flood)
    thread.join();
  std::sort(times.begin(), times.end());
  EXPECT_LT(times[times.size() / 2], 200ms);
  EXPECT_LT(times.back(), 1s);
  // Past the queue the flood was told at once to come back later.
  EXPECT_GT(busy.load(), 0) << tries.load() << " tries";
}

TEST_F(HostileTest, GuessingAPasswordIsHeldBackThenLockedAndTheMemberIsTold) {
  Serve();
  AddMember("target");
  // Five wrong guesses cost nothing but the answer.
  for (int guess = 0; guess < 5; ++guess)
    EXPECT_EQ(Login("target", "guess" + std::to_string(guess)), "-1") << guess;
  // Then each try must wait, twice as long each time: held back before any hashing,
  // the right password too.
  EXPECT_EQ(Login("target", "secret1"),
            "ER|비밀번호가 여러 번 맞지 않았습니다. 1초 뒤에 다시 시도해 주십시오");
  for (int guess = 5; guess < 10; ++guess) {
    Advance(std::chrono::seconds(1 << (guess - 5)));
    EXPECT_EQ(Login("target", "wrong"), "-1") << guess;
  }
  // The tenth wrong guess locks the name for a quarter of an hour, for every page that
  // checks its password.
  const std::string locked = "비밀번호가 여러 번 맞지 않아 이 게임명은 15분 동안 쓸 수 없습니다";
  EXPECT_EQ(Login("target", "secret1"), "ER|" + locked);
  EXPECT_NE(Post("/sub/topup.asp", {{"name", "target"}, {"password", "secret1"}}).find(locked),
            std::string::npos);
  // Another member is not held back by it.
  AddMember("bystander");
  EXPECT_EQ(SplitReply(Login("bystander", "secret1")).size(), 10u);
  Advance(std::chrono::minutes(15));
  EXPECT_EQ(SplitReply(Login("target", "secret1")).size(), 10u);

  // From one address twenty wrong guesses go through (the target's ten and ten more);
  // then that address waits too, whatever the name.
  for (int guess = 0; guess < 10; ++guess)
    EXPECT_EQ(Login("nobody" + std::to_string(guess), "x"), "-1") << guess;
  EXPECT_TRUE(Login("nobody-else", "x").starts_with("ER|비밀번호가 여러 번 맞지 않았습니다."));

  const std::string log = Log();
  EXPECT_NE(log.find(" 127.0.0.1 POST /sub/chk.asp 200 target no match\n"), std::string::npos)
      << log;
  EXPECT_NE(log.find(" 127.0.0.1 POST /sub/chk.asp 200 target held back\n"), std::string::npos);
  EXPECT_NE(log.find(" 127.0.0.1 POST /sub/chk.asp 200 target logged in\n"), std::string::npos);
}

TEST_F(HostileTest, BehindItsProxyTheRealAddressCountsAndNobodyElseCanClaimOne) {
  const auto login_from = [&](const std::string& address, const std::string& name) {
    const auto result = Client().Post(
        "/sub/chk.asp", httplib::Headers{{"X-Real-IP", address}},
        httplib::Params{
            {"recencode", kAccess}, {"recgcode", "001"}, {"recnick", name}, {"recpwd", "x"}});
    return result ? result->body : "(no answer)";
  };
  Serve(HashCost::kMinimal, false, {"127.0.0.1"});
  // Twenty wrong guesses from one player hold back that player, not the others behind
  // the same proxy.
  for (int guess = 0; guess < 20; ++guess)
    EXPECT_EQ(login_from("203.0.113.7", "nobody" + std::to_string(guess)), "-1") << guess;
  EXPECT_TRUE(login_from("203.0.113.7", "nobody").starts_with("ER|"));
  EXPECT_EQ(login_from("203.0.113.8", "nobody"), "-1");
  EXPECT_EQ(login_from("not an address", "nobody"), "-1");  // counted for the proxy itself
  std::string log = Log();
  EXPECT_NE(log.find(" 203.0.113.7 POST /sub/chk.asp 200 nobody held back\n"), std::string::npos)
      << log;
  EXPECT_NE(log.find(" 203.0.113.8 POST /sub/chk.asp 200 nobody no match\n"), std::string::npos);
  EXPECT_NE(log.find(" 127.0.0.1 POST /sub/chk.asp 200 nobody no match\n"), std::string::npos);

  // A portal with no proxy in front takes no client's word for its address.
  server_.reset();
  log_.str("");
  Serve();
  EXPECT_EQ(login_from("203.0.113.9", "nobody"), "-1");
  log = Log();
  EXPECT_EQ(log.find("203.0.113.9"), std::string::npos) << log;
  EXPECT_NE(log.find(" 127.0.0.1 POST /sub/chk.asp"), std::string::npos) << log;
}

TEST_F(HostileTest, GuessesUnderEitherFormOfANameCountForTheOneName) {
  Serve();
  AddMember("한글");
  const std::string decomposed = "\u1112\u1161\u11AB\u1100\u1173\u11AF";
  for (int guess = 0; guess < 5; ++guess)
    EXPECT_EQ(Login(guess % 2 == 0 ? decomposed : "한글", "wrong"), "-1") << guess;
  for (const std::string& name : {decomposed, std::string("한글")}) {
    EXPECT_TRUE(Login(name, "secret1").starts_with("ER|비밀번호가 여러 번 맞지 않았습니다."))
        << name;
  }
  Advance(std::chrono::seconds(1));
  EXPECT_EQ(SplitReply(Login(decomposed, "secret1")).size(), 10u);
}

TEST_F(HostileTest, NothingAClientSendsStartsALineOfTheLog) {
  Serve();
  for (const char* path : {"/x%0A2026-12-08%2015:00:00%20POST%20/sub/chk.asp%20200%20admin",
                           "/x%0D%0A2026-12-08%2015:00:00%20GET%20/%20200", "/x%00y"}) {
    const auto result = Client().Get(path);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 404);
  }
  Post("/sub/chk.asp", {{"recencode", kAccess},
                        {"recgcode", "001"},
                        {"recnick", "a\n2026-12-08 15:00:00 forged"},
                        {"recpwd", "x"}});
  const std::string log = Log();
  std::istringstream lines(log);
  int count = 0;
  const std::regex line(
      R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d 127\.0\.0\.1 (GET|POST) [^ ]+ \d{3}( [^ ]+)*)");
  for (std::string text; std::getline(lines, text); ++count)
    EXPECT_TRUE(std::regex_match(text, line)) << text;
  EXPECT_EQ(count, 4) << log;
  EXPECT_NE(log.find("GET /x%0A2026-12-08%2015:00:00%20POST%20/sub/chk.asp%20200%20admin 404"),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("forged"), std::string::npos) << log;
}

TEST_F(HostileTest, RequestsWhoseLengthIsAmbiguousOrMalformedAreRefused) {
  Serve();
  const std::string head = "POST /sub/lgo.asp HTTP/1.1\r\nHost: x\r\n";
  for (const std::string& fields :
       {std::string("Content-Length: abc\r\n\r\n"),
        std::string("Content-Length: 5\r\nContent-Length: 6\r\n\r\nabcdef"),
        std::string("Content-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n"),
        std::string("Transfer-Encoding: chunked\r\nContent-Length: 5\r\n\r\n0\r\n\r\n"),
        std::string("Content-Length: -1\r\n\r\n")}) {
    RawConnection connection(port());
    ASSERT_TRUE(connection.Send(head + fields));
    const std::string answer = connection.Receive();
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 400 ")) << fields << answer;
    EXPECT_TRUE(connection.ClosedByServer(500ms)) << fields;
  }
  // A body in chunks alone is fine.
  RawConnection chunked(port());
  chunked.Send(head +
               "Transfer-Encoding: chunked\r\nConnection: close\r\n\r\n3\r\nabc\r\n0\r\n\r\n");
  EXPECT_TRUE(chunked.Receive().starts_with("HTTP/1.1 200 "));
  // A header too long, a target too long, a body too large.
  RawConnection header(port());
  header.Send("GET / HTTP/1.1\r\nHost: x\r\nX-Big: " + std::string(20000, 'a') + "\r\n\r\n");
  EXPECT_TRUE(header.Receive().starts_with("HTTP/1.1 431 "));
  RawConnection target(port());
  target.Send("GET /" + std::string(9000, 'a') + " HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_TRUE(target.Receive().starts_with("HTTP/1.1 414 "));
  RawConnection body(port());
  body.Send(head + "Content-Length: 20000\r\n\r\n" + std::string(20000, 'a'));
  EXPECT_TRUE(body.Receive().starts_with("HTTP/1.1 413 "));
  EXPECT_TRUE(Client().Get("/"));
}

TEST_F(HostileTest, TheLocalPortalAnswersOnlyItsOwnNames) {
  Serve(HashCost::kMinimal, /*local=*/true);
  const std::string port_text = std::to_string(port());
  for (const std::string& host : {"127.0.0.1:" + port_text, "localhost:" + port_text}) {
    RawConnection connection(port());
    connection.Send("GET / HTTP/1.1\r\nHost: " + host + "\r\nConnection: close\r\n\r\n");
    EXPECT_TRUE(connection.Receive().starts_with("HTTP/1.1 200 ")) << host;
  }
  // A page of another site whose name now points here (DNS rebinding), or another port.
  for (const std::string& host :
       std::vector<std::string>{"attacker.example:" + port_text, "127.0.0.1:1", ""}) {
    RawConnection connection(port());
    connection.Send("GET / HTTP/1.1\r\nHost: " + host + "\r\nConnection: close\r\n\r\n");
    EXPECT_TRUE(connection.Receive().starts_with("HTTP/1.1 421 ")) << host;
  }
}

TEST_F(HostileTest, PagesCarryTheSecurityHeadersAndSecretsAreNeverCached) {
  Serve();
  const auto home = Client().Get("/");
  ASSERT_TRUE(home);
  EXPECT_EQ(home->get_header_value("X-Content-Type-Options"), "nosniff");
  EXPECT_EQ(home->get_header_value("X-Frame-Options"), "DENY");
  EXPECT_EQ(home->get_header_value("Referrer-Policy"), "no-referrer");
  EXPECT_NE(home->get_header_value("Content-Security-Policy").find("frame-ancestors 'none'"),
            std::string::npos);
  const auto joined = Client().Post("/sub/join.asp", httplib::Params{{"name", "newcomer"},
                                                                     {"password", "secret1"},
                                                                     {"password2", "secret1"},
                                                                     {"avatar", "1"},
                                                                     {"voice", "M"}});
  ASSERT_TRUE(joined);
  EXPECT_NE(joined->body.find("class=\"code\""), std::string::npos);  // the recovery code
  EXPECT_EQ(joined->get_header_value("Cache-Control"), "no-store");
  const auto login = Client().Post("/sub/chk.asp", httplib::Params{{"recencode", kAccess},
                                                                   {"recgcode", "001"},
                                                                   {"recnick", "newcomer"},
                                                                   {"recpwd", "secret1"}});
  ASSERT_TRUE(login);
  EXPECT_EQ(login->get_header_value("Cache-Control"), "no-store");
}

TEST_F(HostileTest, SavesPlayedAgainAgainstTheSearchPlayerKeepNobodyElseWaiting) {
  Serve();
  // Two members with a hand each against the search player, played (idle) at the test's
  // own tables: as many saves as the server has event threads. A hand that ends on the
  // deal plays nobody's turn, and is dealt again.
  struct Save {
    std::string name, session, hand, record;
  };
  std::vector<Save> saves;
  for (const std::string name : {"strong1", "strong2"}) {
    AddMember(name);
    const auto login = SplitReply(Login(name, "secret1"));
    ASSERT_EQ(login.size(), 10u);
    Save save{name, login[9], "", ""};
    for (int deal = 0; save.record.empty(); ++deal) {
      ASSERT_LT(deal, 5);
      const auto dealt =
          SplitReply(Post("/sub/deal.asp", {{"recencode", kAccess},
                                            {"recgcode", "001"},
                                            {"recnick", name},
                                            {"recsession", save.session},
                                            {"recstake", "100"},
                                            {"recservice", "0"},
                                            {"recseed", "5ea" + std::to_string(deal)},
                                            {"reclevel", "1"}}));
      ASSERT_EQ(dealt.size(), 7u);
      replay::Table table(replay::Member{.Name = name, .Money = dealt[5]});
      table.log().keep = table.sound().keep = false;
      ASSERT_TRUE(table.Start(replay::DealtHand{.Deck = dealt[2],
                                                .Mission = std::stoi(dealt[3]),
                                                .MemberFirst = dealt[4] == "1",
                                                .Stake = "100",
                                                .ServiceCards = 0,
                                                .Opponent = OpponentLevel::kSearch}));
      ASSERT_TRUE(table.RunIdle());
      save.hand = dealt[1];
      save.record = RecordText(table.State().Record);
    }
    saves.push_back(save);
  }

  // Both saves are posted at once; while their hands are played again (a second or more
  // each in a debug build, a tenth in a release build), pages are asked for.
  std::vector<std::string> replies(saves.size());
  std::vector<Clock::time_point> saved(saves.size());
  std::vector<std::thread> posting;
  for (std::size_t i = 0; i < saves.size(); ++i) {
    posting.emplace_back([&, i] {
      replies[i] = Post("/sub/svp.asp", {{"recencode", kAccess},
                                         {"recgcode", "001"},
                                         {"recnick", saves[i].name},
                                         {"recsession", saves[i].session},
                                         {"rechand", saves[i].hand},
                                         {"recplay", saves[i].record}});
      saved[i] = Clock::now();
    });
  }
  std::this_thread::sleep_for(50ms);
  int pages = 0;
  for (int page = 0; page < 3; ++page) {
    const auto reply = Client().Get("/");
    pages += reply && reply->status == 200 ? 1 : 0;
  }
  const Clock::time_point pages_done = Clock::now();
  for (std::thread& thread : posting)
    thread.join();
  EXPECT_EQ(pages, 3);
  // Had the hands been played on the threads that answer the pages, no page could have
  // been answered before a save was.
  EXPECT_LT(pages_done, std::ranges::min(saved)) << "the pages waited for the saves";
  for (const std::string& reply : replies)
    EXPECT_TRUE(reply.starts_with("OK|")) << reply;
}

}  // namespace
}  // namespace hw::portal
