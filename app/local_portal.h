#pragma once
// The portal on this machine, for a game with no portal address configured: when nothing
// answers on its loopback port, the game starts hwatable-portal from its own folder, in
// a session of its own so that it outlives the game (it ends by itself after six idle
// hours), and waits until it answers.

#include <chrono>
#include <string>

namespace hw::app {

struct LocalPortal {
  std::string programFolder;  // where hwatable-portal lives, with a trailing "/"
  int port = 8410;
  std::string logPath;  // the server's output goes here
  std::chrono::milliseconds wait{5000};

  std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port) + "/"; }
  // Whether something accepts connections on the port.
  bool Answers() const;
  // Starts the server unless it answers already. Returns "" or what went wrong.
  std::string Ensure() const;
};

}  // namespace hw::app
