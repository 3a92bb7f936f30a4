#include "portal/server/command_line.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "hwatable_version.h"
#include "platform/digest.h"
#include "platform/list_signature.h"
#include "platform/local_portal_record.h"
#include "platform/paths.h"
#include "portal/client/form.h"
#include "portal/server/log_file.h"
#include "portal/server/member_names.h"
#include "portal/server/member_store.h"
#include "portal/server/portal_server.h"
#include "portal/server/secrets.h"
#include "portal/server/sql.h"

namespace hw::portal {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: hwatable-portal [--data DIR] [--database URL] [--listen HOST:PORT]\n"
    "                       [--idle-exit SECONDS] [--log FILE] [--proxy ADDRESS,...]\n"
    "                       [--hosts NAME,NAME... | --local]\n"
    "       hwatable-portal [--data DIR] [--database URL] adduser NAME PASSWORD [--money N]\n"
    "                       [--avatar N] [--voice M|F]\n"
    "       hwatable-portal [--data DIR] [--database URL] setmoney NAME N\n"
    "       hwatable-portal [--data DIR] [--database URL] show NAME\n"
    "       hwatable-portal [--data DIR] keygen [--force]\n"
    "       hwatable-portal [--data DIR] publish VERSION FILE [--url BASE] [--unsigned]\n"
    "The members are kept in DIR/portal.db, or with --database postgresql://USER@HOST/NAME in\n"
    "a PostgreSQL database that several portals may share.\n"
    "keygen makes the key that signs the update list (DIR/list-key, and its public key in\n"
    "DIR/list-key.pub for the updater's build); publish signs the list with it, unless\n"
    "--unsigned. The installer's address is BASE, or that of the portal serving DIR.\n";

constexpr const char* kSeeHelp = " (hwatable-portal --help shows how to call it)";

// How many settled hands and money changes `show` lists.
constexpr int kShownHands = 10;

// Thrown for anything the operator must fix; the message is printed as it is.
struct Refusal {
  int status;
  std::string message;
};

[[noreturn]] void Refuse(std::string message, int status = 1) {
  throw Refusal{status, std::move(message)};
}

struct CommandLine {
  std::vector<std::string> words;              // the command and its operands
  std::map<std::string, std::string> options;  // "--name" -> value
};

CommandLine Parse(int argc, const char* const* argv) {
  static const std::set<std::string> kOptions = {"--data",  "--database", "--listen", "--idle-exit",
                                                 "--log",   "--proxy",    "--money",  "--avatar",
                                                 "--voice", "--url",      "--hosts"};
  static const std::set<std::string> kFlags = {"--local", "--force", "--unsigned"};
  CommandLine line;
  bool operands_only = false;
  for (int i = 1; i < argc; ++i) {
    std::string word = argv[i];
    if (operands_only || !word.starts_with("--")) {
      line.words.push_back(word);
      continue;
    }
    if (word == "--") {
      operands_only = true;
      continue;
    }
    std::optional<std::string> value;
    if (const auto equals = word.find('='); equals != std::string::npos) {
      value = word.substr(equals + 1);
      word.resize(equals);
    }
    if (word == "--help") Refuse(kUsage, 0);
    if (kFlags.contains(word)) {
      if (value) Refuse(word + " takes no value", 2);
      line.options[word] = "";
      continue;
    }
    if (!kOptions.contains(word)) Refuse("unknown option " + word + kSeeHelp, 2);
    if (!value) {
      if (i + 1 >= argc) Refuse(word + " needs a value", 2);
      value = argv[++i];
    }
    line.options[word] = *value;
  }
  return line;
}

struct ListenAddress {
  std::string host;  // as bound: without the brackets of an IPv6 address
  int port = 8410;
};

ListenAddress ParseListen(const std::string& text) {
  const auto colon = text.rfind(':');
  std::string host = colon == std::string::npos ? "" : text.substr(0, colon);
  const std::string port = colon == std::string::npos ? "" : text.substr(colon + 1);
  if (host.empty() || port.empty() || port.size() > 5 ||
      port.find_first_not_of("0123456789") != std::string::npos || std::stoi(port) > 65535) {
    Refuse("--listen wants HOST:PORT, such as 127.0.0.1:8410, not \"" + text + "\"", 2);
  }
  ListenAddress address{host, std::stoi(port)};
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
    address.host = host.substr(1, host.size() - 2);
  }
  return address;
}

std::string BaseUrl(const ListenAddress& address, int port) {
  const std::string host =
      address.host.find(':') != std::string::npos ? "[" + address.host + "]" : address.host;
  return "http://" + host + ":" + std::to_string(port) + "/";
}

// "a.example,b.example:8080" as its names; refuses an empty one.
// "a,b,c" as its items; refused (with `wants`, an example and the text) when an item is
// empty or holds a space.
std::vector<std::string> ParseList(const std::string& text, const std::string& wants,
                                   const char* example) {
  std::vector<std::string> items;
  std::size_t at = 0;
  while (true) {
    const std::size_t comma = std::min(text.find(',', at), text.size());
    const std::string item = text.substr(at, comma - at);
    if (item.empty() || item.find_first_of(" \t") != std::string::npos) {
      Refuse(wants + " separated by commas, such as " + example + ", not \"" + text + "\"", 2);
    }
    items.push_back(item);
    if (comma == text.size()) return items;
    at = comma + 1;
  }
}

// The local portal's record of itself for the game, kept while it serves and removed
// at the end unless another portal has recorded itself since.
class RecordedLocalPortal {
 public:
  RecordedLocalPortal(int port, std::ostream& out) : folder_(platform::LocalPortalFolder()) {
    const std::string problem =
        platform::WritePortalRecord(folder_, {port, ::getpid(), kBuildVersion});
    if (!problem.empty()) Refuse("cannot record the local portal: " + problem);
    out << "hwatable-portal: the local portal of version " << kBuildVersion << ", recorded in "
        << platform::PortalRecordPath(folder_) << std::endl;
  }
  ~RecordedLocalPortal() { platform::RemovePortalRecordOf(folder_, ::getpid()); }
  RecordedLocalPortal(const RecordedLocalPortal&) = delete;
  RecordedLocalPortal& operator=(const RecordedLocalPortal&) = delete;

 private:
  std::string folder_;
};

// Writes the file in one step: readers see the old contents or the new, never a part.
void ReplaceFile(const fs::path& file, const std::string& contents) {
  const fs::path temporary = file.parent_path() / ("." + file.filename().string() + ".new");
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << contents;
    if (!out.flush()) Refuse("cannot write " + temporary.string());
  }
  fs::rename(temporary, file);
}

// Writes a file of the operator's alone (mode 0600) in one step. Unless `replace`, a file
// already there is kept and false returned, also when it appeared just now.
bool WriteOwnerOnly(const fs::path& file, const std::string& contents, bool replace) {
  const fs::path temporary = file.parent_path() / ("." + file.filename().string() + ".new");
  ::unlink(temporary.c_str());
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) Refuse("cannot write " + temporary.string());
  const bool written =
      ::fchmod(fd, 0600) == 0 &&
      ::write(fd, contents.data(), contents.size()) == static_cast<ssize_t>(contents.size()) &&
      ::fsync(fd) == 0;
  ::close(fd);
  if (!written) {
    ::unlink(temporary.c_str());
    Refuse("cannot write " + temporary.string());
  }
  if (replace) {
    if (::rename(temporary.c_str(), file.c_str()) != 0) {
      ::unlink(temporary.c_str());
      Refuse("cannot write " + file.string());
    }
    return true;
  }
  // A link fails where a file is, where a rename would replace it.
  const int linked = ::link(temporary.c_str(), file.c_str());
  const int error = errno;
  ::unlink(temporary.c_str());
  if (linked == 0) return true;
  if (error == EEXIST) return false;
  Refuse("cannot write " + file.string());
}

// While a portal serves, its data folder holds the file "serving": the base address its
// players reach it at (empty when it cannot know it) and its process id, each on a line.
// publish takes the address from it while that process runs.
constexpr const char* kServingFile = "serving";

struct Serving {
  std::string address;
  pid_t pid = 0;
};

std::optional<Serving> ReadServing(const fs::path& data) {
  std::ifstream in(data / kServingFile);
  Serving serving;
  std::string pid;
  if (!std::getline(in, serving.address) || !std::getline(in, pid) || pid.empty() ||
      pid.size() > 9 || pid.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  serving.pid = static_cast<pid_t>(std::stol(pid));
  return serving;
}

// The portal's record of itself in its data folder, kept while it serves. Removed at the
// end unless another portal has recorded itself since.
class ServingRecord {
 public:
  ServingRecord(const fs::path& data, const std::string& address, std::ostream& err) : data_(data) {
    try {
      ReplaceFile(data_ / kServingFile, address + "\n" + std::to_string(::getpid()) + "\n");
    } catch (const Refusal& refusal) {
      err << "hwatable-portal: " << refusal.message << ": publish will need --url" << std::endl;
    } catch (const std::exception& error) {
      err << "hwatable-portal: " << error.what() << ": publish will need --url" << std::endl;
    }
  }
  ~ServingRecord() {
    const std::optional<Serving> serving = ReadServing(data_);
    std::error_code ignored;
    if (serving && serving->pid == ::getpid()) fs::remove(data_ / kServingFile, ignored);
  }
  ServingRecord(const ServingRecord&) = delete;
  ServingRecord& operator=(const ServingRecord&) = delete;

 private:
  fs::path data_;
};

// The base address the players reach the portal at, when its command line tells it: the
// first --hosts name, or the address it listens on unless that is every address. Behind a
// reverse proxy (--proxy) it cannot know the players' address, nor their scheme.
std::string PlayersAddress(const ListenAddress& address, int port, const PortalOptions& options) {
  if (!options.proxies.empty()) return "";
  if (!options.hosts.empty()) return "http://" + options.hosts.front() + "/";
  if (address.host == "0.0.0.0" || address.host == "::" || address.host.empty()) return "";
  return BaseUrl(address, port);
}

// Where the members are kept: --database, or the data folder's SQLite file.
std::string Database(const CommandLine& line, const fs::path& data) {
  if (!line.options.contains("--database")) return (data / kDatabaseFile).string();
  const std::string& database = line.options.at("--database");
  if (!sql::Database::IsPostgres(database)) {
    Refuse(
        "--database wants a PostgreSQL address such as postgresql://portal@db.example/hwatable,"
        " not \"" +
            database + "\" (without it the members are kept in " + (data / kDatabaseFile).string() +
            ")",
        2);
  }
  return database;
}

// A database address as it may be shown: without the user and password before "@".
std::string Shown(const std::string& address) {
  const std::size_t scheme = address.find("://");
  const std::string bare = address.substr(0, address.find('?'));  // options may hold a password
  const std::size_t at = bare.rfind('@');
  if (scheme == std::string::npos || at == std::string::npos || at < scheme) return bare;
  return bare.substr(0, scheme + 3) + bare.substr(at + 1);
}

void ExpectWords(const CommandLine& line, std::size_t count) {
  if (line.words.size() != count) {
    Refuse("wrong number of operands for " + line.words[0] + kSeeHelp, 2);
  }
}

void AllowOptions(const CommandLine& line, const std::set<std::string>& allowed) {
  for (const auto& [option, value] : line.options) {
    if (option != "--data" && option != "--database" && !allowed.contains(option)) {
      Refuse(option + " does not go with " + (line.words.empty() ? "serving" : line.words[0]) +
                 kSeeHelp,
             2);
    }
  }
}

// The signals that end serving, blocked for as long as this lives so that no thread
// receives them and the serving loop can take them with sigtimedwait().
class BlockedStopSignals {
 public:
  BlockedStopSignals() {
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals_, &previous_);
  }
  ~BlockedStopSignals() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  BlockedStopSignals(const BlockedStopSignals&) = delete;
  BlockedStopSignals& operator=(const BlockedStopSignals&) = delete;

  // True when a stop signal arrived within `wait`.
  bool Wait(std::chrono::milliseconds wait) const {
    const timespec timeout{0, static_cast<long>(wait.count()) * 1000000L};
    const int signal = sigtimedwait(&signals_, nullptr, &timeout);
    return signal == SIGINT || signal == SIGTERM;
  }

 private:
  sigset_t signals_{};
  sigset_t previous_{};
};

int Serve(const CommandLine& line, const fs::path& data, std::ostream& out, std::ostream& err) {
  AllowOptions(line, {"--listen", "--idle-exit", "--log", "--proxy", "--hosts", "--local"});
  // The game's local portal takes a free port unless told otherwise, and only on the
  // address where the game looks for it.
  const bool local = line.options.contains("--local");
  if (local && line.options.contains("--hosts")) {
    Refuse("--hosts does not go with --local, which answers only this machine's names", 2);
  }
  const ListenAddress address =
      ParseListen(line.options.contains("--listen") ? line.options.at("--listen")
                  : local                           ? "127.0.0.1:0"
                                                    : "127.0.0.1:8410");
  if (local && address.host != "127.0.0.1") {
    Refuse("--local listens on 127.0.0.1, where the game looks for it, not on \"" + address.host +
               "\"",
           2);
  }
  std::optional<std::chrono::seconds> idle_exit;
  if (line.options.contains("--idle-exit")) {
    const std::string& seconds = line.options.at("--idle-exit");
    if (seconds.empty() || seconds.size() > 9 ||
        seconds.find_first_not_of("0123456789") != std::string::npos) {
      Refuse("--idle-exit wants a whole number of seconds, not \"" + seconds + "\"", 2);
    }
    idle_exit = std::chrono::seconds(std::stol(seconds));
  }

  const BlockedStopSignals stop_signals;  // before any thread starts
  // The request log: standard output (for a service manager's journal), or a file of the
  // portal's own that it turns over.
  std::optional<LogFile> log_file;
  if (line.options.contains("--log")) log_file.emplace(line.options.at("--log"));
  PortalOptions options;
  options.data_dir = data;
  options.database = Database(line, data);
  options.log = log_file ? static_cast<std::ostream*>(&*log_file) : &out;
  options.local = local;
  if (line.options.contains("--hosts")) {
    options.hosts = ParseList(line.options.at("--hosts"), "--hosts wants names",
                              "portal.example,portal.example:8080");
  }
  if (line.options.contains("--proxy")) {
    options.proxies = ParseList(line.options.at("--proxy"), "--proxy wants addresses", "127.0.0.1");
  }
#ifdef HWATABLE_TEST_SEAMS
  // The first hand of an end-to-end run: a chosen deck and mission.
  if (const char* deck = std::getenv("HWATABLE_TEST_DECK")) {
    const char* mission = std::getenv("HWATABLE_TEST_MISSION");
    options.test_deals.push_back({deck, mission != nullptr ? std::atoi(mission) : 0});
  }
#endif
  PortalServer server(options);
  if (!server.Bind(address.host, address.port)) {
    err << "hwatable-portal: cannot listen on " << address.host << ":" << address.port
        << ": the port is in use or the address is not this machine's" << std::endl;
    return 1;
  }
  server.Start();
  std::optional<ServingRecord> serving;
  serving.emplace(data, PlayersAddress(address, server.port(), options), err);
  out << "hwatable-portal: serving " << BaseUrl(address, server.port()) << " from " << data.string()
      << (sql::Database::IsPostgres(options.database) ? ", members in " + Shown(options.database)
                                                      : "")
      << std::endl;
  std::optional<RecordedLocalPortal> record;
  if (local) record.emplace(server.port(), out);
  while (!stop_signals.Wait(std::chrono::milliseconds(200))) {
    if (idle_exit && std::chrono::steady_clock::now() - server.LastRequest() >= *idle_exit) break;
  }
  record.reset();   // no game finds a portal that is going away
  serving.reset();  // nor does publish
  server.Stop();
  return 0;
}

int AddUser(const CommandLine& line, MemberStore& store, std::ostream& out) {
  AllowOptions(line, {"--money", "--avatar", "--voice"});
  ExpectWords(line, 3);
  NewMember member{.name = line.words[1], .password = line.words[2]};
  if (line.options.contains("--money")) member.money = line.options.at("--money");
  if (line.options.contains("--voice")) member.voice = line.options.at("--voice");
  if (line.options.contains("--avatar")) {
    const std::string& avatar = line.options.at("--avatar");
    member.avatar = avatar.size() == 1 ? avatar[0] - '0' : 0;
  }
  const SignUpResult result = store.AddMember(member);
  if (result.refusal) {
    switch (*result.refusal) {
      case SignUpRefusal::kBadName:
        Refuse(
            "a game name has 1 to 20 characters; no control, invisible or unassigned characters, "
            "no whitespace but the space, and no \"|\"");
      case SignUpRefusal::kNameEdgeSpace:
        Refuse("a game name neither starts nor ends with a space and has no two spaces in a row");
      case SignUpRefusal::kNameMixedScripts:
        Refuse(
            "a game name does not mix scripts (Latin with Cyrillic or Greek, say) or the digits "
            "of different number systems; Hangul, Han, Latin letters and digits go together");
      case SignUpRefusal::kBadPassword:
        Refuse("a password has 4 to 64 characters and no control characters");
      case SignUpRefusal::kBadAvatar:
        Refuse("--avatar wants a number from 1 to 6");
      case SignUpRefusal::kBadVoice:
        Refuse("--voice wants M or F");
      case SignUpRefusal::kBadMoney:
        Refuse("--money wants a whole number of won, not \"" + member.money + "\"");
      case SignUpRefusal::kNameTaken:
        Refuse("there is already a member named \"" + member.name + "\"");
      case SignUpRefusal::kNameLooksAlike:
        Refuse("\"" + member.name + "\" looks too much like the name of an existing member");
      case SignUpRefusal::kComputersName:
        Refuse("\"" + member.name +
               "\" is the computer's name at the table; a member so named would be taken for "
               "the computer");
    }
  }
  const std::optional<MemberFigures> added = store.Find(NormalizedName(member.name));
  out << "hwatable-portal: added " << member.name << " with " << added->money << " won\n"
      << "recovery code: " << result.recovery_code << std::endl;
  return 0;
}

MemberFigures FindMember(const MemberStore& store, const std::string& name) {
  std::optional<MemberFigures> member = store.Find(name);
  if (!member) Refuse("there is no member named \"" + name + "\"");
  return *member;
}

int SetMoney(const CommandLine& line, MemberStore& store, std::ostream& out) {
  AllowOptions(line, {});
  ExpectWords(line, 3);
  const std::optional<std::string> money = ParseMoney(line.words[2]);
  if (!money) Refuse("money is a whole number of won, not \"" + line.words[2] + "\"");
  if (!store.SetMoney(line.words[1], *money)) FindMember(store, line.words[1]);
  out << "hwatable-portal: " << line.words[1] << " now has " << *money << " won" << std::endl;
  return 0;
}

// "won +3000 (record)", "lost -2700 (idle)", "open".
std::string HandResultText(const HandView& hand) {
  const std::string change = hand.change.starts_with('-') ? hand.change : "+" + hand.change;
  const std::string how = hand.settled_by == SettledBy::kRecord ? " (record)" : " (idle)";
  switch (hand.result) {
    case HandResult::kOpen:
      return "open";
    case HandResult::kWon:
      return "won " + change + how;
    case HandResult::kLost:
      return "lost " + change + how;
    case HandResult::kDrawn:
      return "drawn " + change + how;
    case HandResult::kVoid:
      return "void" + how;
  }
  return {};
}

void ListHands(const char* title, const std::vector<HandView>& hands, std::ostream& out) {
  out << title << (hands.empty() ? " none\n" : "\n");
  for (const HandView& hand : hands) {
    out << "  hand " << hand.id << " dealt " << hand.dealt << " stake " << hand.stake
        << (hand.search_opponent ? " against the search player" : "") << ": "
        << HandResultText(hand) << "\n";
  }
}

int Show(const CommandLine& line, const MemberStore& store, std::ostream& out) {
  AllowOptions(line, {});
  ExpectWords(line, 2);
  const MemberFigures member = FindMember(store, line.words[1]);
  out << "name: " << member.name << "\navatar: " << member.avatar << "\nvoice: " << member.voice
      << "\nmoney: " << member.money << "\nwins: " << member.wins << "\nlosses: " << member.losses
      << "\ndraws: " << member.draws << "\nmissions: " << member.missions
      << "\ncreated: " << member.created << "\n";
  ListHands("open hands:", store.OpenHands(member.name), out);
  ListHands("last settled hands:", store.SettledHands(member.name, kShownHands), out);
  const std::vector<MoneyChange> changes = store.MoneyChanges(member.name, kShownHands);
  out << "money changed by the operator:" << (changes.empty() ? " never\n" : "\n");
  for (const MoneyChange& change : changes)
    out << "  " << change.time << " " << change.old_money << " -> " << change.new_money << "\n";
  out.flush();
  return 0;
}

// The list key: the secret key that signs the update list, and its public key for the
// updater's build (HWATABLE_LIST_KEY), each in base64 on a line of its own.
constexpr const char* kListKeyFile = "list-key";
constexpr const char* kListPublicKeyFile = "list-key.pub";

int KeyGen(const CommandLine& line, const fs::path& data, std::ostream& out) {
  AllowOptions(line, {"--force"});
  ExpectWords(line, 1);
  const bool force = line.options.contains("--force");
  const fs::path secret = data / kListKeyFile;
  const fs::path shown = fs::absolute(data / kListPublicKeyFile);
  const std::string refusal =
      secret.string() +
      " already holds a list key, and the updaters built with it take only lists it signs; "
      "keygen --force replaces it, after which those updaters update nothing and their "
      "players must install the next version by hand";
  std::error_code error;
  const bool replacing = fs::exists(fs::symlink_status(secret, error));
  if (replacing && !force) Refuse(refusal);
  fs::create_directories(data);
  const platform::ListKeyPair pair = platform::NewListKeyPair();
  if (!WriteOwnerOnly(secret, pair.secretKey + "\n", force)) Refuse(refusal);
  WriteOwnerOnly(shown, pair.publicKey + "\n", true);
  out << "hwatable-portal: " << (replacing ? "replaced the list key " : "made the list key ")
      << secret.string() << " (keep it secret) and its public key " << shown.string() << "\n"
      << "hwatable-portal: build the installer with -DHWATABLE_LIST_KEY=" << shown.string()
      << " or with the public key itself:\n"
      << pair.publicKey << std::endl;
  return 0;
}

// The list key's secret key in the data folder, or std::nullopt when there is none.
std::optional<std::string> ReadListKey(const fs::path& data) {
  const fs::path file = data / kListKeyFile;
  std::error_code error;
  if (!fs::exists(fs::symlink_status(file, error))) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  std::string key;
  if (!in || !std::getline(in, key)) Refuse("cannot read " + file.string());
  if (!platform::ListPublicKeyOf(key)) {
    Refuse(file.string() + " holds no list key; keygen --force makes a new one");
  }
  return key;
}

// The base address of the published installer: --url, else the players' address of the
// portal serving the data folder.
std::string PublishedBase(const CommandLine& line, const fs::path& data) {
  if (line.options.contains("--url")) {
    std::string base = line.options.at("--url");
    const bool printable = std::all_of(base.begin(), base.end(), [](char c) {
      return c > ' ' && c < 0x7f && c != '<' && c != '>';
    });
    if (!printable || (!base.starts_with("http://") && !base.starts_with("https://"))) {
      Refuse(
          "--url wants the address the players reach the portal at, such as "
          "https://portal.example/, not \"" +
              base + "\"",
          2);
    }
    if (!base.ends_with('/')) base += '/';
    return base;
  }
  const std::optional<Serving> serving = ReadServing(data);
  if (!serving || !platform::ProcessRuns(serving->pid, platform::kPortalProcessName, ::getuid())) {
    Refuse("no portal serves " + data.string() +
           ", so publish cannot tell the address the players download from: give it with "
           "--url BASE, such as --url https://portal.example/");
  }
  if (serving->address.empty()) {
    Refuse("the portal serving " + data.string() + " (process " + std::to_string(serving->pid) +
           ") listens on every address or behind a proxy, so it cannot tell the address the "
           "players download from: give it with --url BASE, such as --url "
           "https://portal.example/");
  }
  return serving->address;
}

int Publish(const CommandLine& line, const fs::path& data, std::ostream& out) {
  AllowOptions(line, {"--url", "--unsigned"});
  ExpectWords(line, 3);
  const std::string& version = line.words[1];
  if (version.empty() || version.size() > 9 ||
      version.find_first_not_of("0123456789") != std::string::npos) {
    Refuse("the version is a whole number, such as 102, not \"" + version + "\"");
  }
  const fs::path installer = line.words[2];
  std::error_code error;
  if (!fs::is_regular_file(installer, error)) Refuse("cannot read " + installer.string());
  const std::string name = installer.filename().string();
  if (name.starts_with('.')) Refuse("the installer's file name must not start with \".\"");

  const std::string base = PublishedBase(line, data);
  const bool unsigned_list = line.options.contains("--unsigned");
  const std::optional<std::string> key = unsigned_list ? std::nullopt : ReadListKey(data);
  if (!unsigned_list && !key) {
    Refuse("there is no list key in " + data.string() +
           " to sign the list with: make one with keygen (and build the installer with its "
           "public key), or publish an unsigned list with --unsigned");
  }

  const std::optional<std::string> digest = platform::FileSha256Hex(installer.string());
  if (!digest) Refuse("cannot read " + installer.string());
  const fs::path down = data / "down";
  fs::create_directories(down);
  const fs::path copy = down / ("." + name + ".new");
  fs::copy_file(installer, copy, fs::copy_options::overwrite_existing);
  fs::rename(copy, down / name);
  const std::string url = base + "down/" + FormEncode(name);
  // The signature covers the three fields exactly as they are written.
  std::string list = version + "<br>" + url + "<br>" + *digest;
  if (key) list += "<br>sig:" + platform::SignListText(list, *key).value();
  ReplaceFile(down / "nlist.lst", list);
  out << "hwatable-portal: published version " << version << " as " << url
      << (key ? ", signed with the list key " + platform::ListPublicKeyOf(*key).value()
              : ", unsigned")
      << "; the list " << (down / "nlist.lst").string() << " reads:\n"
      << list << std::endl;
  return 0;
}

int Run(const CommandLine& line, std::ostream& out, std::ostream& err) {
  const fs::path data = line.options.contains("--data")
                            ? fs::path(line.options.at("--data"))
                            : fs::path(platform::DataHome()) / "hwatable-portal";
  if (line.words.empty()) return Serve(line, data, out, err);
  const std::string& command = line.words[0];
  if (command == "publish") return Publish(line, data, out);
  if (command == "keygen") return KeyGen(line, data, out);
  if (command != "adduser" && command != "setmoney" && command != "show") {
    Refuse("unknown command " + command + kSeeHelp, 2);
  }
  fs::create_directories(data);
  MemberStore store(Database(line, data));
  if (command == "adduser") return AddUser(line, store, out);
  if (command == "setmoney") return SetMoney(line, store, out);
  return Show(line, store, out);
}

}  // namespace

int RunPortal(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  try {
    return Run(Parse(argc, argv), out, err);
  } catch (const Refusal& refusal) {
    (refusal.status == 0 ? out : err)
        << (refusal.status == 0 ? "" : "hwatable-portal: ") << refusal.message << std::endl;
    return refusal.status;
  } catch (const std::exception& error) {
    err << "hwatable-portal: " << error.what() << std::endl;
    return 1;
  }
}

}  // namespace hw::portal
