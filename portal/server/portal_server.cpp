#include "portal/server/portal_server.h"

#include <array>
#include <ctime>
#include <optional>

#include "portal/server/game_posts.h"
#include "portal/server/member_names.h"
#include "portal/server/pages.h"

namespace hw::portal {
namespace {

constexpr const char* kTextType = "text/plain; charset=UTF-8";
constexpr const char* kHtmlType = "text/html; charset=UTF-8";

bool IsGamePost(const std::string& path) {
  return path == "/sub/chk.asp" || path == "/sub/deal.asp" || path == "/sub/svp.asp" ||
         path == "/sub/lgo.asp";
}

// A file name under down/ that may be served: no folders, nothing hidden.
bool IsServableName(const std::string& name) {
  return !name.empty() && name.front() != '.' && name.find('/') == std::string::npos &&
         name.find('\\') == std::string::npos && name.find('\0') == std::string::npos;
}

std::string NowText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::array<char, 32> text{};
  std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S", &local);
  return text.data();
}

// A text as it may go into a log line: control characters and "%" written as %XX, so
// that nothing a client sends can start a line of its own or pass for another field.
std::string LogSafe(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string safe;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '%' || c == ' ') {
      safe += '%';
      safe += kHex[byte >> 4];
      safe += kHex[byte & 15];
    } else {
      safe += c;
    }
  }
  return safe;
}

// The sentence that tells why a password check was held back.
std::string HeldBackText(const HeldBack& held) {
  const long long minutes = (held.remaining.count() + 59) / 60;
  switch (held.reason) {
    case HeldBack::Reason::kWait:
      return "비밀번호가 여러 번 맞지 않았습니다. " + std::to_string(held.remaining.count()) +
             "초 뒤에 다시 시도해 주십시오";
    case HeldBack::Reason::kNameLocked:
      return "비밀번호가 여러 번 맞지 않아 이 게임명은 " + std::to_string(minutes) +
             "분 동안 쓸 수 없습니다";
    case HeldBack::Reason::kAddressLocked:
      return "이 곳에서 비밀번호가 여러 번 맞지 않아 " + std::to_string(minutes) +
             "분 동안 쓸 수 없습니다";
  }
  return {};
}

HttpServerOptions HttpOptions(const PortalOptions& options) {
  HttpServerOptions http;
  http.max_body = kMaxBodyBytes;
  http.hosts = options.hosts;
  http.loopback_hosts_only = options.local;
  http.proxies = options.proxies;
  http.request_deadline = options.request_deadline;
  return http;
}

std::filesystem::path CreateFolder(std::filesystem::path folder) {
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace

PortalServer::PortalServer(PortalOptions options)
    : options_(std::move(options)),
      down_dir_(CreateFolder(options_.data_dir / "down")),
      store_(options_.database.empty() ? (options_.data_dir / kDatabaseFile).string()
                                       : options_.database,
             {options_.hash_cost, options_.clock, [this](const std::string& line) { Note(line); },
              options_.test_deals}),
      attempts_(AttemptPolicy{}, AttemptPolicy{.free_failures = 20, .lock_after = 50}),
      http_(HttpOptions(options_)) {
  if (!options_.clock) options_.clock = [] { return std::chrono::system_clock::now(); };
  Touch();
  Route();
}

PortalServer::~PortalServer() {
  Stop();
}

bool PortalServer::Bind(const std::string& host, int port) {
  if (!http_.Bind(host, port)) return false;
  port_ = http_.port();
  return true;
}

void PortalServer::Start() {
  Touch();
  http_.Start();
  {
    const std::lock_guard lock(sweep_mutex_);
    sweep_stop_ = false;
  }
  sweeper_ = std::thread([this] { Sweep(); });
}

void PortalServer::Sweep() {
  std::unique_lock lock(sweep_mutex_);
  while (!sweep_stop_) {
    lock.unlock();
    // A failure (the database busy past its timeout, say) leaves the hands open for the
    // next round; nothing is lost by waiting.
    try {
      store_.KeepSeedsAhead();
      store_.SettleAbandonedHands(options_.abandon_after);
    } catch (const std::exception& error) {
      Note(std::string("the sweep of abandoned hands failed: ") + error.what());
    }
    lock.lock();
    sweep_wake_.wait_for(lock, options_.sweep_every, [this] { return sweep_stop_; });
  }
}

void PortalServer::Stop() {
  if (sweeper_.joinable()) {
    {
      const std::lock_guard lock(sweep_mutex_);
      sweep_stop_ = true;
    }
    sweep_wake_.notify_all();
    sweeper_.join();
  }
  http_.Stop();
}

std::chrono::steady_clock::time_point PortalServer::LastRequest() const {
  return std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(last_request_));
}

void PortalServer::Touch() {
  last_request_ = std::chrono::steady_clock::now().time_since_epoch().count();
}

std::optional<HeldBack> PortalServer::Guarded(const HttpRequest& request, const std::string& name,
                                              const std::function<std::optional<bool>()>& check) {
  // Counted by the name as stored: its other normalisation forms are no fresh guesses.
  const std::string counted = NormalizedName(name);
  if (auto held = attempts_.Check(request.client, counted, options_.clock())) return held;
  if (const std::optional<bool> good = check()) {
    attempts_.Record(request.client, counted, *good, options_.clock());
  }
  return std::nullopt;
}

void PortalServer::Log(const HttpRequest& request, const HttpResponse& response) {
  Touch();
  if (options_.log == nullptr) return;
  std::string line = NowText() + " " + (request.client.empty() ? "-" : request.client) + " " +
                     (request.method.empty() ? "-" : LogSafe(request.method)) + " " +
                     (request.path.empty() ? "-" : LogSafe(request.path)) + " " +
                     std::to_string(response.status);
  // Only a well-formed name: nothing a client sends may break the line.
  std::string name = request.Param("recnick");
  if (name.empty()) name = request.Param("name");
  if (IsValidMemberName(name)) line += " " + LogSafe(name);
  if (!response.note.empty()) line += " " + response.note;
  const std::lock_guard lock(log_mutex_);
  *options_.log << line << std::endl;
}

void PortalServer::Note(const std::string& line) {
  if (options_.log == nullptr) return;
  const std::lock_guard lock(log_mutex_);
  *options_.log << NowText() << " " << line << std::endl;
}

void PortalServer::Route() {
  http_.OnAnswered(
      [this](const HttpRequest& request, const HttpResponse& response) { Log(request, response); });
  http_.OnError(
      [this](const HttpRequest& request, HttpResponse& response, const std::string& what) {
        Note("error in " + LogSafe(request.path) + ": " + what);
        if (IsGamePost(request.path)) {
          response.Set(kServerErrorReply, kTextType);
        } else {
          response.Set("서버에 문제가 있어 처리하지 못했습니다.", kTextType);
        }
      });
  http_.OnErrorPage([](HttpResponse& response) {
    if (response.status == 404) {
      response.Set(NotFoundPage(), kHtmlType);
    } else {
      response.Set(std::to_string(response.status), kTextType);
    }
  });
  http_.OnBusy([](const HttpRequest& request, HttpResponse& response) {
    // Answered at once: the game shows the text, a browser the page.
    if (IsGamePost(request.path)) {
      response.status = 200;
      response.Set(kBusyReply, kTextType);
    } else {
      response.Set(BusyPage(), kHtmlType);
    }
  });

  // The game's form posts. The login hashes the password; a deal (which settles an open
  // hand first) and a score save may play a hand, against the search player slowly; the
  // logout is quick.
  const auto game_post = [this](std::string (*reply)(MemberStore&, const FormFields&)) {
    return [this, reply](const HttpRequest& request, HttpResponse& response) {
      response.Set(reply(store_, request.form), kTextType);
      response.headers.emplace_back("Cache-Control", "no-store");
    };
  };
  http_.Handle("POST", "/sub/chk.asp", Work::kHashing,
               [this](const HttpRequest& request, HttpResponse& response) {
                 std::string reply;
                 const auto held = Guarded(request, request.Param("recnick"), [&] {
                   reply = LoginReply(store_, request.form);
                   // "-1" is a wrong name or password; an "ER" checked no password.
                   return reply.starts_with("ER") ? std::nullopt
                                                  : std::optional<bool>(reply != "-1");
                 });
                 if (held) reply = "ER|" + HeldBackText(*held);
                 response.note = held                      ? "held back"
                                 : reply == "-1"           ? "no match"
                                 : reply.starts_with("ER") ? "refused"
                                                           : "logged in";
                 response.Set(reply, kTextType);
                 response.headers.emplace_back("Cache-Control", "no-store");
               });
  http_.Handle("POST", "/sub/deal.asp", Work::kPlaying, game_post(&DealReply));
  http_.Handle("POST", "/sub/svp.asp", Work::kPlaying, game_post(&ScoreSaveReply));
  http_.Handle("POST", "/sub/lgo.asp", Work::kQuick, game_post(&LogoutReply));

  // The pages. Those that take a password hash it; those that show a secret are never
  // kept by a cache.
  const auto page = [](HttpResponse& response, std::string html, bool secret = false) {
    response.Set(std::move(html), kHtmlType);
    if (secret) response.headers.emplace_back("Cache-Control", "no-store");
  };
  http_.Handle("GET", "/", Work::kQuick, [this, page](const HttpRequest&, HttpResponse& response) {
    page(response, HomePage(store_.Richest(10)));
  });
  http_.Handle("GET", "/sub/redir.asp", Work::kQuick,
               [page](const HttpRequest& request, HttpResponse& response) {
                 const std::string no = request.Param("no");
                 if (no == "1") {
                   page(response, JoinPage({}));
                 } else if (no == "2") {
                   page(response, RecoverPage({}));
                 } else if (no == "3") {
                   page(response, TopUpPage({}));
                 } else {
                   response.status = 404;
                 }
               });
  http_.Handle("POST", "/sub/join.asp", Work::kHashing,
               [this, page](const HttpRequest& request, HttpResponse& response) {
                 const std::string avatar = request.Param("avatar");
                 NewMember member{.name = request.Param("name"),
                                  .password = request.Param("password"),
                                  .avatar = avatar.size() == 1 ? avatar[0] - '0' : 0,
                                  .voice = request.Param("voice")};
                 JoinEntries entries{member.name, member.avatar, member.voice};
                 if (member.password != request.Param("password2")) {
                   page(response, JoinPage(entries, "비밀번호와 비밀번호 확인이 서로 다릅니다."));
                   return;
                 }
                 const SignUpResult result = store_.AddMember(member);
                 if (!result.refusal) {
                   page(response, JoinedPage(member.name, result.recovery_code), true);
                   return;
                 }
                 const char* error = "가입하지 못했습니다.";
                 switch (*result.refusal) {
                   case SignUpRefusal::kBadName:
                     error =
                         "게임명은 1자에서 20자까지이고, 제어 문자, 보이지 않는 문자, 빈칸이 "
                         "아닌 공백 문자와 \"|\"는 쓸 수 없습니다.";
                     break;
                   case SignUpRefusal::kNameEdgeSpace:
                     error =
                         "게임명의 앞과 뒤에는 빈칸을 둘 수 없고, 빈칸은 한 칸씩만 쓸 수 "
                         "있습니다.";
                     break;
                   case SignUpRefusal::kNameMixedScripts:
                     error =
                         "게임명에 여러 나라 글자를 섞어 쓸 수 없습니다. 한글, 한자, 영문과 "
                         "숫자는 함께 쓸 수 있습니다.";
                     break;
                   case SignUpRefusal::kBadPassword:
                     error = "비밀번호는 4자에서 64자까지로 정해 주세요.";
                     break;
                   case SignUpRefusal::kBadAvatar:
                     error = "아바타를 1번에서 6번 가운데 골라 주세요.";
                     break;
                   case SignUpRefusal::kBadVoice:
                     error = "목소리를 골라 주세요.";
                     break;
                   case SignUpRefusal::kNameTaken:
                     error = "이미 쓰이고 있는 게임명입니다. 다른 게임명을 골라 주세요.";
                     break;
                   case SignUpRefusal::kNameLooksAlike:
                     error = "이미 있는 게임명과 너무 비슷합니다. 다른 게임명을 골라 주세요.";
                     break;
                   case SignUpRefusal::kComputersName:
                     error =
                         "\"컴퓨터\"는 게임에서 상대편 컴퓨터의 이름이라 게임명으로 쓸 수 "
                         "없습니다. 다른 게임명을 골라 주세요.";
                     break;
                   case SignUpRefusal::kBadMoney:
                     break;
                 }
                 page(response, JoinPage(entries, error));
               });
  http_.Handle("POST", "/sub/recover.asp", Work::kHashing,
               [this, page](const HttpRequest& request, HttpResponse& response) {
                 const std::string name = request.Param("name");
                 const std::string password = request.Param("password");
                 if (password != request.Param("password2")) {
                   page(response, RecoverPage(name, "새 비밀번호와 확인이 서로 다릅니다."));
                   return;
                 }
                 Recovery recovery;
                 if (const auto held = Guarded(request, name, [&] {
                       recovery = store_.Recover(name, request.Param("code"), password);
                       return recovery.result == RecoverResult::kBadPassword
                                  ? std::nullopt
                                  : std::optional<bool>(recovery.result == RecoverResult::kDone);
                     })) {
                   response.note = "held back";
                   page(response, RecoverPage(name, HeldBackText(*held) + "."));
                   return;
                 }
                 switch (recovery.result) {
                   case RecoverResult::kDone:
                     page(response, RecoveredPage(name, recovery.recovery_code), true);
                     break;
                   case RecoverResult::kNoMatch:
                     page(response, RecoverPage(name, "게임명과 복구 코드가 맞지 않습니다."));
                     break;
                   case RecoverResult::kBadPassword:
                     page(response,
                          RecoverPage(name, "비밀번호는 4자에서 64자까지로 정해 주세요."));
                     break;
                 }
               });
  http_.Handle("POST", "/sub/topup.asp", Work::kHashing,
               [this, page](const HttpRequest& request, HttpResponse& response) {
                 const std::string name = request.Param("name");
                 TopUpResult result = TopUpResult::kNoMatch;
                 if (const auto held = Guarded(request, name, [&] {
                       result = store_.TopUp(name, request.Param("password"));
                       return std::optional<bool>(result != TopUpResult::kNoMatch);
                     })) {
                   response.note = "held back";
                   page(response, TopUpPage(name, HeldBackText(*held) + "."));
                   return;
                 }
                 switch (result) {
                   case TopUpResult::kDone:
                     page(response, ToppedUpPage(name, std::string(kTopUpMoney)));
                     break;
                   case TopUpResult::kNoMatch:
                     page(response, TopUpPage(name, "게임명 또는 비밀번호가 맞지 않습니다."));
                     break;
                   case TopUpResult::kNotPoor:
                     page(response, TopUpPage(name, "보유 금액이 " + KoreanMoney(kTopUpBelow) +
                                                        " 이상이면 충전할 수 없습니다."));
                     break;
                   case TopUpResult::kAlreadyToday:
                     page(response,
                          TopUpPage(name, "오늘은 이미 충전하셨습니다. 내일 다시 이용해 주세요."));
                     break;
                 }
               });
  http_.Handle("GET", "/fair", Work::kQuick,
               [this, page](const HttpRequest&, HttpResponse& response) {
                 page(response, FairPage(store_.Seeds()));
               });
  http_.Handle(
      "GET", "/sub/hands.asp", Work::kQuick,
      [page](const HttpRequest&, HttpResponse& response) { page(response, HandsPage({})); });
  http_.Handle("POST", "/sub/hands.asp", Work::kHashing,
               [this, page](const HttpRequest& request, HttpResponse& response) {
                 const std::string name = request.Param("name");
                 std::optional<std::vector<HandView>> hands;
                 if (const auto held = Guarded(request, name, [&] {
                       hands = store_.CheckedHands(name, request.Param("password"), kListedHands);
                       return std::optional<bool>(hands.has_value());
                     })) {
                   response.note = "held back";
                   page(response, HandsPage(name, HeldBackText(*held) + "."));
                   return;
                 }
                 if (!hands) {
                   page(response, HandsPage(name, "게임명 또는 비밀번호가 맞지 않습니다."));
                   return;
                 }
                 page(response, HandListPage(name, *hands), true);
               });

  // Installers and the update list.
  http_.Handle("GET", "/down/*", Work::kQuick,
               [this](const HttpRequest& request, HttpResponse& response) {
                 const std::string name = request.path.substr(std::string("/down/").size());
                 const std::filesystem::path file = down_dir_ / name;
                 std::error_code error;
                 if (!IsServableName(name) || !std::filesystem::is_regular_file(file, error)) {
                   response.status = 404;
                   return;
                 }
                 const bool list = file.extension() == ".lst";
                 if (list) response.headers.emplace_back("Cache-Control", "no-cache");
                 response.content_type = list ? kTextType : "application/octet-stream";
                 response.file = file;
               });
}

}  // namespace hw::portal
