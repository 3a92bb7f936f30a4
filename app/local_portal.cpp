#include "app/local_portal.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

extern char** environ;

namespace hw::app {

bool LocalPortal::Answers() const {
  const int sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (sock < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool connected =
      ::connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(sock);
  return connected;
}

std::string LocalPortal::Ensure() const {
  if (Answers()) return "";
  const std::string program = programFolder + "hwatable-portal";
  if (::access(program.c_str(), X_OK) != 0) return program + " is missing";

  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(logPath).parent_path(), ignored);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, logPath.c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&files, STDOUT_FILENO, STDERR_FILENO);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);

  const std::string listen = "127.0.0.1:" + std::to_string(port);
  std::vector<std::string> words{program, "--listen", listen, "--idle-exit", "21600"};
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, program.c_str(), &files, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attributes);
  if (failed != 0) return program + " could not start: " + std::strerror(failed);

  const auto end = std::chrono::steady_clock::now() + wait;
  while (std::chrono::steady_clock::now() < end) {
    if (Answers()) return "";
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return "the local portal did not answer on " + listen + " (see " + logPath + ")";
}

}  // namespace hw::app
