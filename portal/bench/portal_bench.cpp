// hwatable-portal-bench: measures a portal as its players load it. It makes a data folder
// of its own with many members, starts the given hwatable-portal on it (a free loopback
// port), and drives it over HTTP/1.1 keep-alive, one connection per member:
//   1. every member logs in once (password hashing; measured apart, by design slow);
//   2. hands: each member asks for a deal, plays the hand idle at his own table, and
//      posts its save, again and again for the given time;
//   3. the home page, fetched again and again for the given time.
// It prints the rate and the 50th and 99th percentile times of logins, deals, saves and
// home pages, stops the portal and removes its folder. Nothing passes or fails.
//
// With --database it keeps the members in that PostgreSQL database (which must be empty
// or hold earlier benchmark members), as an operator's portals would.
//
//   hwatable-portal-bench PORTAL_PROGRAM [--seconds N] [--connections N] [--database URL]

#include <httplib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "portal/client/form.h"
#include "portal/server/game_posts.h"
#include "portal/server/member_store.h"
#include "portal/server/portal_server.h"
#include "replay/table.h"
#include "rules/hand_record.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using hw::portal::kAccessCode;
using hw::portal::SplitReply;

// Times of one kind of request.
class Timings {
 public:
  void Add(Clock::duration time) {
    const std::lock_guard lock(mutex_);
    times_.push_back(time);
  }
  void Print(const char* what, double seconds) {
    std::sort(times_.begin(), times_.end());
    if (times_.empty()) {
      std::printf("  %-12s none\n", what);
      return;
    }
    auto ms = [](Clock::duration d) {
      return std::chrono::duration<double, std::milli>(d).count();
    };
    std::printf("  %-12s %8zu in %5.1f s  %8.0f/s  p50 %7.2f ms  p99 %7.2f ms  max %7.2f ms\n",
                what, times_.size(), seconds, times_.size() / seconds,
                ms(times_[times_.size() / 2]), ms(times_[times_.size() * 99 / 100]),
                ms(times_.back()));
  }

 private:
  std::mutex mutex_;
  std::vector<Clock::duration> times_;
};

// The portal program, serving a folder on a free loopback port until this ends.
class Portal {
 public:
  Portal(const std::string& program, const fs::path& data, const std::string& database) {
    int ends[2];
    if (pipe(ends) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&files, ends[0]);
    std::vector<std::string> words{program, "--data=" + data.string(), "--listen", "127.0.0.1:0"};
    if (!database.empty()) words.push_back("--database=" + database);
    std::vector<char*> argv;
    for (std::string& word : words)
      argv.push_back(word.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, program.c_str(), &files, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&files);
    close(ends[1]);
    // "hwatable-portal: serving http://127.0.0.1:PORT/ from ..."; then the request log,
    // which is read away so that the portal never waits for this pipe.
    std::string line;
    for (char c; read(ends[0], &c, 1) == 1 && c != '\n';)
      line += c;
    const std::size_t at = line.find("127.0.0.1:");
    if (pid_ < 0 || at == std::string::npos) throw std::runtime_error("the portal did not start");
    port_ = std::stoi(line.substr(at + 10));
    drain_ = std::thread([fd = ends[0]] {
      char buffer[65536];
      while (read(fd, buffer, sizeof buffer) > 0) {
      }
      close(fd);
    });
  }
  ~Portal() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    drain_.join();
  }
  int port() const { return port_; }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  std::thread drain_;
};

httplib::Params Form(std::initializer_list<std::pair<const char*, std::string>> fields) {
  httplib::Params params{{"recencode", kAccessCode}, {"recgcode", "001"}};
  for (const auto& [name, value] : fields)
    params.emplace(name, value);
  return params;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::string(argv[1]).starts_with("--")) {
    std::fprintf(stderr,
                 "usage: hwatable-portal-bench PORTAL_PROGRAM [--seconds N] [--connections N] "
                 "[--database URL]\n");
    return 2;
  }
  const std::string program = argv[1];
  double seconds = 10;
  int connections = 32;
  std::string database;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--seconds") {
      seconds = std::stod(argv[i + 1]);
    } else if (option == "--connections") {
      connections = std::stoi(argv[i + 1]);
    } else if (option == "--database") {
      database = argv[i + 1];
    } else {
      std::fprintf(stderr, "hwatable-portal-bench: unknown option %s\n", option.c_str());
      return 2;
    }
  }
  signal(SIGPIPE, SIG_IGN);

  const fs::path data = fs::temp_directory_path() / ("portal-bench-" + std::to_string(getpid()));
  fs::remove_all(data);
  fs::create_directories(data);
  {
    // The members, hashed at the least cost so that making them takes no time.
    hw::portal::MemberStore store(
        database.empty() ? (data / hw::portal::kDatabaseFile).string() : database,
        {hw::portal::HashCost::kMinimal, {}});
    for (int i = 0; i < connections; ++i)
      store.AddMember(
          {.name = "bench" + std::to_string(i), .password = "secret1", .money = "1000000000000"});
  }
  int status = 0;
  try {
    Portal portal(program, data, database);
    std::printf(
        "hwatable-portal-bench: %d members, one keep-alive connection each, %.0f s a "
        "phase, portal on port %d\n",
        connections, seconds, portal.port());
    Timings logins, deals, saves, pages;
    std::atomic<int> failures{0};
    auto run = [&](auto&& body) {
      std::vector<std::thread> threads;
      for (int i = 0; i < connections; ++i)
        threads.emplace_back([&, i] {
          httplib::Client client("127.0.0.1", portal.port());
          client.set_keep_alive(true);
          client.set_tcp_nodelay(true);  // as curl, the game's client, does
          client.set_read_timeout(60, 0);
          body(i, client);
        });
      for (std::thread& thread : threads)
        thread.join();
    };
    auto timed = [&](Timings& timings, auto&& request) {
      const auto start = Clock::now();
      const bool good = request();
      timings.Add(Clock::now() - start);
      if (!good) ++failures;
      return good;
    };

    std::vector<std::string> sessions(static_cast<std::size_t>(connections));
    const auto login_start = Clock::now();
    std::atomic<int> busy{0};
    run([&](int i, httplib::Client& client) {
      // A login the portal is too busy to take now is tried again, as a player would.
      for (bool done = false; !done;) {
        std::string reply_text;
        timed(logins, [&] {
          const auto reply =
              client.Post("/sub/chk.asp",
                          Form({{"recnick", "bench" + std::to_string(i)}, {"recpwd", "secret1"}}));
          reply_text = reply ? reply->body : "";
          return true;
        });
        const auto fields = SplitReply(reply_text);
        if (fields.size() == 10) {
          sessions[static_cast<std::size_t>(i)] = fields[9];
          done = true;
        } else if (reply_text == hw::portal::kBusyReply) {
          ++busy;
          std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } else {
          ++failures;
          return;
        }
      }
    });
    const double login_seconds = std::chrono::duration<double>(Clock::now() - login_start).count();

    const auto hands_end = Clock::now() + std::chrono::duration<double>(seconds);
    run([&](int i, httplib::Client& client) {
      const std::string name = "bench" + std::to_string(i);
      const std::string& session = sessions[static_cast<std::size_t>(i)];
      for (unsigned hand = 0; Clock::now() < hands_end; ++hand) {
        std::vector<std::string> dealt;
        if (!timed(deals, [&] {
              const auto reply =
                  client.Post("/sub/deal.asp", Form({{"recnick", name},
                                                     {"recsession", session},
                                                     {"recstake", "100"},
                                                     {"recservice", "3"},
                                                     {"recseed", std::to_string(hand + 1)}}));
              dealt = SplitReply(reply ? reply->body : "");
              return dealt.size() == 7 && dealt[0] == "OK";
            })) {
          break;
        }
        std::string why;
        const auto played = hw::replay::PlayIdle({.Name = name, .Money = dealt[5]},
                                                 {.Deck = dealt[2],
                                                  .Mission = std::stoi(dealt[3]),
                                                  .MemberFirst = dealt[4] == "1",
                                                  .Stake = "100",
                                                  .ServiceCards = 3},
                                                 why);
        if (!played) break;
        timed(saves, [&] {
          const auto reply =
              client.Post("/sub/svp.asp", Form({{"recnick", name},
                                                {"recsession", session},
                                                {"rechand", dealt[1]},
                                                {"recplay", hw::RecordText(played->Decisions)}}));
          return reply && reply->body.starts_with("OK|");
        });
      }
    });

    const auto pages_end = Clock::now() + std::chrono::duration<double>(seconds);
    run([&](int, httplib::Client& client) {
      while (Clock::now() < pages_end) {
        timed(pages, [&] {
          const auto reply = client.Get("/");
          return reply && reply->status == 200;
        });
      }
    });

    logins.Print("logins", login_seconds);
    std::printf("  %-12s %8d answered \"busy\" and tried again\n", "", busy.load());
    deals.Print("deals", seconds);
    saves.Print("saves", seconds);
    pages.Print("home page", seconds);
    if (failures > 0) {
      std::printf("  %d requests failed\n", failures.load());
      status = 1;
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "hwatable-portal-bench: %s\n", error.what());
    status = 1;
  }
  fs::remove_all(data);
  return status;
}
