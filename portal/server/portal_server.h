#pragma once
// The portal web server: the game's form posts, the portal's pages and the installer
// downloads, over HTTP (HttpServer), with members kept in a MemberStore.
//
// The data folder holds the database "portal.db" and the folder "down/", whose files are
// served as "down/<name>" (the update list "down/nlist.lst" among them).
//
// Requests that check a password run on the server's small hashing pool, the deals and
// score saves (which play hands again) on its playing pool, the others on its event
// threads; the store serializes the writes. Each answered request writes one line
// to the log: local time, client address, method, path, status and the game name the
// request named (control characters written as %XX), never a password, recovery code or
// session. The store's
// notes (a refused hand record, a game posting figures other than the portal's, an
// abandoned hand settled) go to the same log.
//
// While serving, a thread of its own settles the hands abandoned longer than a time
// limit and keeps the server seeds of today and tomorrow created.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>

#include "portal/server/attempts.h"
#include "portal/server/http_server.h"
#include "portal/server/member_store.h"

namespace hw::portal {

// The database's file name in the data folder.
inline constexpr const char* kDatabaseFile = "portal.db";
// Bodies larger than this are refused with status 413.
inline constexpr std::size_t kMaxBodyBytes = 16 * 1024;

struct PortalOptions {
  std::filesystem::path data_dir;
  // Where the members are kept: a PostgreSQL address ("postgresql://…"), which several
  // portals may share, or an SQLite file; data_dir's portal.db when empty.
  std::string database;
  HashCost hash_cost = HashCost::kInteractive;
  // The system clock when empty; decides "today" for top-ups and server seeds, and the
  // age of an open hand.
  Clock clock;
  std::ostream* log = nullptr;  // no request log when null
  // A hand dealt this long ago and never saved is settled as abandoned.
  std::chrono::seconds abandon_after = std::chrono::hours(1);
  // How often the abandoned hands are looked for.
  std::chrono::milliseconds sweep_every = std::chrono::minutes(1);
  // For end-to-end tests only (StoreOptions::test_deals).
  std::vector<SeededDeal> test_deals = {};
  // The Host names answered; any when empty (HttpServerOptions::hosts).
  std::vector<std::string> hosts = {};
  // A portal for this machine alone (the game's local portal): only loopback Host names.
  bool local = false;
  // Reverse proxies in front of this portal (HttpServerOptions::proxies).
  std::vector<std::string> proxies = {};
  // A request must arrive whole within this (HttpServerOptions::request_deadline).
  std::chrono::milliseconds request_deadline = std::chrono::seconds(10);
};

class PortalServer {
 public:
  // Creates the data folder, its "down/" folder and the database when missing.
  // Throws std::filesystem::filesystem_error or sql::Error when it cannot.
  explicit PortalServer(PortalOptions options);
  // Stops serving and waits for the serving thread.
  ~PortalServer();
  PortalServer(const PortalServer&) = delete;
  PortalServer& operator=(const PortalServer&) = delete;

  // Binds the listening socket; port 0 takes a free port. False when the address cannot
  // be bound (a port in use, an unknown host).
  bool Bind(const std::string& host, int port);
  int port() const { return port_; }

  // Serves on a thread of its own until Stop(), and sweeps the abandoned hands on
  // another; call after a successful Bind().
  void Start();
  // Stops accepting, finishes the requests in progress and joins the serving thread and
  // the sweeping one (which stops at once unless it is settling a hand). Does nothing
  // when not serving.
  void Stop();

  // Answers a request on the calling thread, as over a connection (checks that drive the
  // routes without sockets; no log line is written).
  HttpResponse Answer(HttpRequest request) { return http_.Answer(std::move(request)); }

  // When the last request arrived (the moment Start() was called if none has).
  std::chrono::steady_clock::time_point LastRequest() const;

 private:
  void Route();
  // Runs a password check unless tries for this name or from this client must wait;
  // `check` tells whether the password was right, or nothing when no password was
  // checked. Returns why the try was held back, or nothing when it went ahead.
  std::optional<HeldBack> Guarded(const HttpRequest& request, const std::string& name,
                                  const std::function<std::optional<bool>()>& check);
  void Log(const HttpRequest& request, const HttpResponse& response);
  void Note(const std::string& line);
  void Touch();
  void Sweep();

  PortalOptions options_;
  std::mutex log_mutex_;  // before the store, whose notes take it
  std::filesystem::path down_dir_;
  MemberStore store_;
  AttemptLimiter attempts_;
  HttpServer http_;
  int port_ = 0;
  std::atomic<std::chrono::steady_clock::rep> last_request_{0};

  std::thread sweeper_;
  std::mutex sweep_mutex_;
  std::condition_variable sweep_wake_;
  bool sweep_stop_ = false;  // guarded by sweep_mutex_
};

}  // namespace hw::portal
