#pragma once
// The portal on this machine, for a game with no portal address configured. The game
// finds it by its record (platform/local_portal_record.h) and uses it only when it runs
// as this user, listens on a port of this user's and is of the game's own version;
// otherwise it stops a portal of this user's of another version and starts
// hwatable-portal --local from its own folder, in a session of its own so that it
// outlives the game (it ends by itself after six idle hours), and waits until it has
// recorded itself and answers. A lock file in the record's folder keeps two games from
// starting two portals at once.

#include <chrono>
#include <functional>
#include <string>

#include "hwatable_version.h"
#include "platform/local_portal_record.h"

namespace hw::app {

struct LocalPortal {
  std::string programFolder;  // where hwatable-portal lives, with a trailing "/"
  std::string logPath;        // the server's output goes here
  std::string folder = platform::LocalPortalFolder();  // the record's and the lock's
  std::string version = kBuildVersion;                 // the version a usable portal has
  // The text of /proc/net/tcp, read afresh for every check.
  std::function<std::string()> listeners = platform::ReadProcNetTcp;
  std::chrono::milliseconds wait{5000};      // for a new portal to answer
  std::chrono::milliseconds stopWait{3000};  // for an old one to end after SIGTERM

  // Makes sure this user's portal of this version runs. Returns "" or what went wrong;
  // afterwards port() is the port it answers on (0 after a failure).
  std::string Ensure();
  int port() const { return port_; }
  std::string BaseUrl() const { return platform::LoopbackBaseUrl(port_); }

 private:
  // Starts a new portal and waits for its record. Returns "" or what went wrong.
  std::string Start();

  int port_ = 0;
};

}  // namespace hw::app
