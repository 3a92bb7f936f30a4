// hwatable-portal: the portal web server of the game, and its operator's commands.

#include <sys/stat.h>

#include <csignal>
#include <iostream>

#include "portal/server/command_line.h"

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);  // a client that hangs up must not end the server
  ::umask(077);                   // the members' data and the log are the operator's alone
  return hw::portal::RunPortal(argc, argv, std::cout, std::cerr);
}
