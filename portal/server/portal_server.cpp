#include "portal/server/portal_server.h"

#include <array>
#include <ctime>
#include <fstream>
#include <memory>
#include <optional>

#include "portal/server/game_posts.h"
#include "portal/server/pages.h"

namespace hw::portal {
namespace {

constexpr const char* kTextType = "text/plain; charset=UTF-8";
constexpr const char* kHtmlType = "text/html; charset=UTF-8";

bool IsGamePost(const std::string& path) {
  return path == "/sub/chk.asp" || path == "/sub/deal.asp" || path == "/sub/svp.asp" ||
         path == "/sub/lgo.asp";
}

std::string Param(const httplib::Request& request, const char* name) {
  return request.has_param(name) ? request.get_param_value(name) : std::string();
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

std::filesystem::path CreateFolder(std::filesystem::path folder) {
  std::filesystem::create_directories(folder);
  return folder;
}

void SendFile(const std::filesystem::path& file, httplib::Response& response) {
  // The size comes from the opened file: a publish may replace the name meanwhile.
  auto in = std::make_shared<std::ifstream>(file, std::ios::binary | std::ios::ate);
  const std::streamoff size = in->tellg();
  if (!*in || size < 0) {
    response.status = 404;
    return;
  }
  const bool list = file.extension() == ".lst";
  if (list) response.set_header("Cache-Control", "no-cache");
  const char* type = list ? kTextType : "application/octet-stream";
  if (size == 0) {  // httplib would send no length for an empty provider
    response.set_content("", type);
    return;
  }
  response.set_content_provider(
      static_cast<std::size_t>(size), type,
      [in](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
        std::array<char, 64 * 1024> buffer;
        in->clear();
        in->seekg(static_cast<std::streamoff>(offset));
        in->read(buffer.data(), static_cast<std::streamsize>(std::min(length, buffer.size())));
        const std::streamsize got = in->gcount();
        return got > 0 && sink.write(buffer.data(), static_cast<std::size_t>(got));
      });
}

}  // namespace

PortalServer::PortalServer(PortalOptions options)
    : options_(std::move(options)),
      down_dir_(CreateFolder(options_.data_dir / "down")),
      store_(options_.data_dir / kDatabaseFile,
             {options_.hash_cost, options_.clock, [this](const std::string& line) { Note(line); },
              options_.test_deals}) {
  Touch();
  http_.set_payload_max_length(kMaxBodyBytes);
  // httplib's default also sets SO_REUSEPORT, with which a second server would quietly
  // share a port that is in use instead of failing to bind.
  http_.set_socket_options([](socket_t socket) {
    const int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  Route();
}

PortalServer::~PortalServer() {
  Stop();
}

bool PortalServer::Bind(const std::string& host, int port) {
  if (port == 0) {
    port_ = http_.bind_to_any_port(host);
    return port_ > 0;
  }
  port_ = port;
  return http_.bind_to_port(host, port);
}

void PortalServer::Start() {
  Touch();
  serving_done_ = false;
  thread_ = std::thread([this] {
    http_.listen_after_bind();
    serving_done_ = true;
  });
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
  if (!thread_.joinable()) return;
  // httplib's stop() only acts once its accept loop runs, so wait for that (or for the
  // loop to have ended already).
  while (!http_.is_running() && !serving_done_)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  http_.stop();
  thread_.join();
}

std::chrono::steady_clock::time_point PortalServer::LastRequest() const {
  return std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(last_request_));
}

void PortalServer::Touch() {
  last_request_ = std::chrono::steady_clock::now().time_since_epoch().count();
}

void PortalServer::Log(const httplib::Request& request, const httplib::Response& response) {
  Touch();
  if (options_.log == nullptr) return;
  std::string line =
      NowText() + " " + request.method + " " + request.path + " " + std::to_string(response.status);
  // Only a well-formed name: nothing a client sends may break the line.
  std::string name = Param(request, "recnick");
  if (name.empty()) name = Param(request, "name");
  if (IsValidMemberName(name)) line += " " + name;
  const std::lock_guard lock(log_mutex_);
  *options_.log << line << std::endl;
}

void PortalServer::Note(const std::string& line) {
  if (options_.log == nullptr) return;
  const std::lock_guard lock(log_mutex_);
  *options_.log << NowText() << " " << line << std::endl;
}

void PortalServer::Route() {
  http_.set_pre_routing_handler([this](const httplib::Request&, httplib::Response&) {
    Touch();
    return httplib::Server::HandlerResponse::Unhandled;
  });
  http_.set_logger([this](const httplib::Request& request, const httplib::Response& response) {
    Log(request, response);
  });
  http_.set_exception_handler(
      [this](const httplib::Request& request, httplib::Response& response, std::exception_ptr e) {
        std::string what = "unknown error";
        try {
          std::rethrow_exception(e);
        } catch (const std::exception& error) {
          what = error.what();
        } catch (...) {
        }
        if (options_.log != nullptr) {
          const std::lock_guard lock(log_mutex_);
          *options_.log << NowText() << " error in " << request.path << ": " << what << std::endl;
        }
        response.status = 500;
        if (IsGamePost(request.path)) {
          response.set_content(kServerErrorReply, kTextType);
        } else {
          response.set_content("서버에 문제가 있어 처리하지 못했습니다.", kTextType);
        }
      });
  http_.set_error_handler(httplib::Server::HandlerWithResponse(
      [](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
        if (response.status == 404) {
          response.set_content(NotFoundPage(), kHtmlType);
        } else {
          response.set_content(std::to_string(response.status), kTextType);
        }
        return httplib::Server::HandlerResponse::Handled;
      }));

  // The game's form posts.
  const auto game_post = [this](std::string (*reply)(MemberStore&, const httplib::Params&)) {
    return [this, reply](const httplib::Request& request, httplib::Response& response) {
      response.set_content(reply(store_, request.params), kTextType);
    };
  };
  http_.Post(R"(/sub/chk\.asp)", game_post(&LoginReply));
  http_.Post(R"(/sub/deal\.asp)", game_post(&DealReply));
  http_.Post(R"(/sub/svp\.asp)", game_post(&ScoreSaveReply));
  http_.Post(R"(/sub/lgo\.asp)", game_post(&LogoutReply));

  // The pages.
  http_.Get("/", [this](const httplib::Request&, httplib::Response& response) {
    response.set_content(HomePage(store_.Richest(10)), kHtmlType);
  });
  http_.Get(R"(/sub/redir\.asp)", [](const httplib::Request& request, httplib::Response& response) {
    const std::string no = Param(request, "no");
    if (no == "1") {
      response.set_content(JoinPage({}), kHtmlType);
    } else if (no == "2") {
      response.set_content(RecoverPage({}), kHtmlType);
    } else if (no == "3") {
      response.set_content(TopUpPage({}), kHtmlType);
    } else {
      response.status = 404;
    }
  });
  http_.Post(R"(/sub/join\.asp)",
             [this](const httplib::Request& request, httplib::Response& response) {
               const std::string avatar = Param(request, "avatar");
               NewMember member{.name = Param(request, "name"),
                                .password = Param(request, "password"),
                                .avatar = avatar.size() == 1 ? avatar[0] - '0' : 0,
                                .voice = Param(request, "voice")};
               JoinEntries entries{member.name, member.avatar, member.voice};
               if (member.password != Param(request, "password2")) {
                 response.set_content(
                     JoinPage(entries, "비밀번호와 비밀번호 확인이 서로 다릅니다."), kHtmlType);
                 return;
               }
               const SignUpResult result = store_.AddMember(member);
               if (!result.refusal) {
                 response.set_content(JoinedPage(member.name, result.recovery_code), kHtmlType);
                 return;
               }
               const char* error = "가입하지 못했습니다.";
               switch (*result.refusal) {
                 case SignUpRefusal::kBadName:
                   error = "게임명은 1자에서 20자까지이고, 제어 문자와 \"|\"는 쓸 수 없습니다.";
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
                 case SignUpRefusal::kComputersName:
                   error =
                       "\"컴퓨터\"는 게임에서 상대편 컴퓨터의 이름이라 게임명으로 쓸 수 "
                       "없습니다. 다른 게임명을 골라 주세요.";
                   break;
                 case SignUpRefusal::kBadMoney:
                   break;
               }
               response.set_content(JoinPage(entries, error), kHtmlType);
             });
  http_.Post(R"(/sub/recover\.asp)", [this](const httplib::Request& request,
                                            httplib::Response& response) {
    const std::string name = Param(request, "name");
    const std::string password = Param(request, "password");
    if (password != Param(request, "password2")) {
      response.set_content(RecoverPage(name, "새 비밀번호와 확인이 서로 다릅니다."), kHtmlType);
      return;
    }
    switch (store_.Recover(name, Param(request, "code"), password)) {
      case RecoverResult::kDone:
        response.set_content(RecoveredPage(name), kHtmlType);
        break;
      case RecoverResult::kNoMatch:
        response.set_content(RecoverPage(name, "게임명과 복구 코드가 맞지 않습니다."), kHtmlType);
        break;
      case RecoverResult::kBadPassword:
        response.set_content(RecoverPage(name, "비밀번호는 4자에서 64자까지로 정해 주세요."),
                             kHtmlType);
        break;
    }
  });
  http_.Post(R"(/sub/topup\.asp)", [this](const httplib::Request& request,
                                          httplib::Response& response) {
    const std::string name = Param(request, "name");
    switch (store_.TopUp(name, Param(request, "password"))) {
      case TopUpResult::kDone:
        response.set_content(ToppedUpPage(name, std::string(kTopUpMoney)), kHtmlType);
        break;
      case TopUpResult::kNoMatch:
        response.set_content(TopUpPage(name, "게임명 또는 비밀번호가 맞지 않습니다."), kHtmlType);
        break;
      case TopUpResult::kNotPoor:
        response.set_content(TopUpPage(name, "보유 금액이 " + KoreanMoney(kTopUpBelow) +
                                                 " 이상이면 충전할 수 없습니다."),
                             kHtmlType);
        break;
      case TopUpResult::kAlreadyToday:
        response.set_content(
            TopUpPage(name, "오늘은 이미 충전하셨습니다. 내일 다시 이용해 주세요."), kHtmlType);
        break;
    }
  });

  RouteHands();

  // Installers and the update list.
  http_.Get(R"(/down/([^/]+))",
            [this](const httplib::Request& request, httplib::Response& response) {
              const std::string name = request.matches[1];
              const std::filesystem::path file = down_dir_ / name;
              std::error_code error;
              if (!IsServableName(name) || !std::filesystem::is_regular_file(file, error)) {
                response.status = 404;
                return;
              }
              SendFile(file, response);
            });
}

void PortalServer::RouteHands() {
  http_.Get("/fair", [this](const httplib::Request&, httplib::Response& response) {
    response.set_content(FairPage(store_.Seeds()), kHtmlType);
  });
  http_.Get(R"(/sub/hands\.asp)", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(HandsPage({}), kHtmlType);
  });
  http_.Post(
      R"(/sub/hands\.asp)", [this](const httplib::Request& request, httplib::Response& response) {
        const std::string name = Param(request, "name");
        const std::optional<std::vector<HandView>> hands =
            store_.CheckedHands(name, Param(request, "password"), kListedHands);
        if (!hands) {
          response.set_content(HandsPage(name, "게임명 또는 비밀번호가 맞지 않습니다."), kHtmlType);
          return;
        }
        response.set_content(HandListPage(name, *hands), kHtmlType);
      });
}

}  // namespace hw::portal
