#pragma once
// The game's local portal on this machine: the record it keeps of itself, and the checks
// the game makes before it trusts a loopback port with a member's name and password.
//
// A portal started with --local writes, once it listens, the file "portal" in a folder
// of this user's alone (LocalPortalFolder(), mode 0700): the port it listens on, its
// process id and its version. Any user of the machine may listen on any free loopback
// port, so a port is used only while the recorded process runs as this user and every
// socket listening on 127.0.0.1 or 0.0.0.0 at that port is this user's (the owner
// column of /proc/net/tcp).

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hw::platform {

// The portal program's process name, as /proc/PID/comm shows it.
inline constexpr std::string_view kPortalProcessName = "hwatable-portal";

struct PortalRecord {
  int port = 0;
  pid_t pid = 0;
  std::string version;
  bool operator==(const PortalRecord&) const = default;
};

// $XDG_RUNTIME_DIR/hwatable when XDG_RUNTIME_DIR is usable, else CacheHome()/hwatable.
std::string LocalPortalFolder();
// The record's file in the folder.
std::string PortalRecordPath(const std::string& folder);

// Creates the folder (and its parents) with mode 0700, or narrows an existing one of this
// user's to 0700. Returns "" or what is wrong (also when it is another user's, or not a
// folder).
std::string PrepareLocalPortalFolder(const std::string& folder);

// Writes the record in one step, through a temporary file renamed over it, with mode
// 0600; prepares the folder first. Returns "" or what went wrong.
std::string WritePortalRecord(const std::string& folder, const PortalRecord& record);
// The record, or nothing when there is none, it is malformed, or the file is not a plain
// file of this user's.
std::optional<PortalRecord> ReadPortalRecord(const std::string& folder);
// Removes the record only when it names process `pid`. True when it did.
bool RemovePortalRecordOf(const std::string& folder, pid_t pid);

// The owners (uids) of the sockets in state LISTEN on 127.0.0.1:port or 0.0.0.0:port, in
// the text of /proc/net/tcp; lines that are not such sockets are skipped.
std::vector<uid_t> LoopbackListenerOwners(std::string_view procNetTcp, int port);
// True when something listens on 127.0.0.1:port (or on every address at the port) and
// all of it belongs to `uid`.
bool LoopbackPortOwnedBy(std::string_view procNetTcp, int port, uid_t uid);
// This process's /proc/net/tcp, or "" when it cannot be read.
std::string ReadProcNetTcp();

// Whether process `pid` runs under that name as user `uid`; a zombie no longer runs.
bool ProcessRuns(pid_t pid, std::string_view name, uid_t uid);

// Whether the portal the record names may be used: its process runs as this user, and
// the port's listening sockets in `procNetTcp` are this user's.
bool RecordedPortalIsOwn(const PortalRecord& record, std::string_view procNetTcp);

// "http://127.0.0.1:PORT/".
std::string LoopbackBaseUrl(int port);

}  // namespace hw::platform
