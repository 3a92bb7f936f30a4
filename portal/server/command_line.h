#pragma once
// The command line of hwatable-portal: serving the portal, and the operator's commands on
// the same data folder.
//
//   hwatable-portal [--data DIR] [--listen HOST:PORT] [--idle-exit SECONDS]
//                   [--hosts NAME,NAME... | --local]
//   hwatable-portal [--data DIR] adduser NAME PASSWORD [--money N] [--avatar N] [--voice M|F]
//   hwatable-portal [--data DIR] setmoney NAME N
//   hwatable-portal [--data DIR] show NAME
//   hwatable-portal [--data DIR] keygen [--force]
//   hwatable-portal [--data DIR] publish VERSION FILE [--url BASE] [--unsigned]
//
// DIR defaults to $XDG_DATA_HOME/hwatable-portal (~/.local/share/hwatable-portal) and
// HOST:PORT to 127.0.0.1:8410; port 0 serves on a free port. Serving ends with status 0
// on SIGINT or SIGTERM, or after SECONDS without a request.
//
// --hosts answers only requests whose Host is one of the names, as clients send it (with
// ":PORT" unless the port is the scheme's own). --local serves as the game's local
// portal: on 127.0.0.1 (a free port unless --listen names one), answering only this
// machine's loopback names, and recorded for the game while it serves (see
// platform/local_portal_record.h).
//
// keygen makes the list key, which signs the update list (DIR/list-key, the operator's
// alone), and writes its public key for the updater's build to DIR/list-key.pub; it
// replaces a key only with --force. publish copies the installer to DIR/down/ and writes
// the list DIR/down/nlist.lst, signed with the list key unless --unsigned (and refused
// without a key otherwise). The installer's address is BASE, or else the players' address
// of the portal serving DIR, which records it in DIR/serving while it runs; publish
// refuses when neither tells it.

#include <ostream>

namespace hw::portal {

// Returns the exit status: 0 done, 1 refused or failed, 2 a malformed command line.
int RunPortal(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace hw::portal
