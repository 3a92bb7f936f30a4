#include "portal/server/http_server.h"

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

namespace hw::portal {

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;

namespace {

std::size_t PlayingThreads(int asked) {
  if (asked > 0) return static_cast<std::size_t>(asked);
  return std::max(1u, std::thread::hardware_concurrency());
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AddPairs(std::string_view text, FormFields& fields) {
  while (!text.empty()) {
    const std::size_t amp = text.find('&');
    const std::string_view pair = text.substr(0, amp);
    text = amp == std::string_view::npos ? std::string_view() : text.substr(amp + 1);
    if (pair.empty()) continue;
    const std::size_t equals = pair.find('=');
    const std::string_view name = pair.substr(0, equals);
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view() : pair.substr(equals + 1);
    fields.emplace(PercentDecode(name, true), PercentDecode(value, true));
  }
}

// Headers every response carries: nothing is sniffed, framed, referred or run from
// elsewhere; the pages' own inline style is all they use.
constexpr std::pair<const char*, const char*> kSecurityHeaders[] = {
    {"X-Content-Type-Options", "nosniff"},
    {"X-Frame-Options", "DENY"},
    {"Referrer-Policy", "no-referrer"},
    {"Content-Security-Policy",
     "default-src 'none'; style-src 'unsafe-inline'; form-action 'self'; "
     "frame-ancestors 'none'; base-uri 'none'"},
};

std::string_view Std(boost::beast::string_view text) {
  return {text.data(), text.size()};
}

}  // namespace

std::string PercentDecode(std::string_view text, bool plus_is_space) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%' && i + 2 < text.size()) {
      const int high = HexDigit(text[i + 1]);
      const int low = HexDigit(text[i + 2]);
      if (high >= 0 && low >= 0) {
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    decoded += plus_is_space && c == '+' ? ' ' : c;
  }
  return decoded;
}

FormFields DecodeForm(std::string_view text) {
  FormFields fields;
  AddPairs(text, fields);
  return fields;
}

void DecodeTarget(std::string_view target, HttpRequest& request) {
  const std::size_t question = target.find('?');
  request.path = PercentDecode(target.substr(0, question), false);
  request.query.clear();
  if (question != std::string_view::npos) AddPairs(target.substr(question + 1), request.query);
}

void DecodeBody(std::string_view content_type, std::string_view body, HttpRequest& request) {
  request.form.clear();
  if (content_type.starts_with("application/x-www-form-urlencoded")) AddPairs(body, request.form);
}

std::string HttpRequest::Param(const std::string& name) const {
  if (const auto found = form.find(name); found != form.end()) return found->second;
  if (const auto found = query.find(name); found != query.end()) return found->second;
  return {};
}

// ---- The server

struct Route {
  std::string method;
  std::string path;
  bool prefix = false;
  Work work = Work::kQuick;
  HttpHandler handler;
};

class Session;

class HttpServer::Impl {
 public:
  explicit Impl(HttpServerOptions options)
      : options_(std::move(options)),
        acceptor_(net::make_strand(io_)),
        hashing_(static_cast<std::size_t>(std::max(1, options_.hashing_threads))),
        playing_(PlayingThreads(options_.playing_threads)) {}

  HttpServerOptions options_;
  std::vector<Route> routes_;
  HttpHandler busy_;
  std::function<void(const HttpRequest&, HttpResponse&, const std::string&)> error_;
  std::function<void(HttpResponse&)> error_page_;
  std::function<void(const HttpRequest&, const HttpResponse&)> answered_;
  std::atomic<bool> stopping_{false};
  bool started_ = false;
  int port_ = 0;
  std::atomic<std::size_t> hashing_waiting_{0};

  // Open connections, all and per client address, and the sessions to close on Stop().
  // Declared before the io_context: sessions still queued in it when it goes leave here.
  std::mutex sessions_mutex_;
  std::condition_variable sessions_gone_;
  std::size_t connections_ = 0;
  std::unordered_map<std::string, std::size_t> per_client_;
  std::unordered_map<Session*, std::weak_ptr<Session>> sessions_;

  net::io_context io_;
  tcp::acceptor acceptor_;
  net::thread_pool hashing_;
  net::thread_pool playing_;
  std::optional<net::executor_work_guard<net::io_context::executor_type>> work_;
  std::vector<std::thread> event_threads_;

  void Accept();
  bool Admit(const std::string& client);
  void Leave(Session* session, const std::string& client);
  const Route* Find(const std::string& method, const std::string& path) const;
  // The route's answer (404 without one, 500 when it throws), finished.
  HttpResponse Run(const Route* route, const HttpRequest& request) const;
  // Runs the request's handler where it belongs and passes the finished response on.
  void Dispatch(HttpRequest request, std::function<void(HttpRequest, HttpResponse)> done);
  void Finish(const HttpRequest& request, HttpResponse& response) const;
  bool IsProxy(const std::string& client) const {
    return std::ranges::find(options_.proxies, client) != options_.proxies.end();
  }
  bool HostAllowed(std::string_view host) const {
    if (options_.loopback_hosts_only) {
      const std::string port = ":" + std::to_string(port_);
      return host == "127.0.0.1" + port || host == "localhost" + port || host == "[::1]" + port;
    }
    return options_.hosts.empty() ||
           std::find(options_.hosts.begin(), options_.hosts.end(), host) != options_.hosts.end();
  }
};

// One connection: reads a request, has it answered, writes the answer, and again while
// the client keeps the connection alive. Everything of one session runs on its strand.
class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(HttpServer::Impl& server, tcp::socket socket, std::string client)
      : server_(server), stream_(std::move(socket)), client_(std::move(client)) {}
  ~Session() { server_.Leave(this, client_); }

  void Run() {
    net::dispatch(stream_.get_executor(), [self = shared_from_this()] { self->ReadHeader(); });
  }

  // On Stop(): a session waiting for a request (or in the middle of one) is closed; one
  // whose request is being answered closes once the answer is out.
  void CloseIfIdle() {
    net::dispatch(stream_.get_executor(), [self = shared_from_this()] {
      if (!self->answering_) self->Close();
    });
  }

 private:
  void ReadHeader() {
    if (server_.stopping_) return Close();
    parser_.emplace();
    parser_->header_limit(static_cast<std::uint32_t>(server_.options_.max_header));
    parser_->body_limit(server_.options_.max_body);
    stream_.expires_after(server_.options_.request_deadline);
    http::async_read_header(
        stream_, buffer_, *parser_,
        [self = shared_from_this()](beast::error_code ec, std::size_t) { self->OnHeader(ec); });
  }

  void OnHeader(beast::error_code ec) {
    if (ec) return Refuse(ec);
    const auto& message = parser_->get();
    request_.method = std::string(Std(message.method_string()));
    const std::string_view target = Std(message.target());
    if (target.size() > server_.options_.max_target) return Refuse(414);
    DecodeTarget(target, request_);
    request_.host = std::string(Std(message[http::field::host]));
    request_.client = client_;
    if (server_.IsProxy(client_)) {
      beast::error_code bad;
      const auto real = net::ip::make_address(Std(message["X-Real-IP"]), bad);
      if (!bad) request_.client = real.to_string();
    }
    // A length that two readers may read differently is how requests are smuggled.
    const std::size_t lengths = message.count(http::field::content_length);
    if (lengths > 1 || (lengths == 1 && message.count(http::field::transfer_encoding) > 0)) {
      return Refuse(400);
    }
    if (!server_.HostAllowed(request_.host)) return Refuse(421);
    if (parser_->is_done()) return OnBody({});
    http::async_read(
        stream_, buffer_, *parser_,
        [self = shared_from_this()](beast::error_code error, std::size_t) { self->OnBody(error); });
  }

  void OnBody(beast::error_code ec) {
    if (ec) return Refuse(ec);
    stream_.expires_never();
    auto& message = parser_->get();
    keep_alive_ = message.keep_alive();
    version_ = message.version();
    DecodeBody(Std(message[http::field::content_type]), message.body(), request_);
    answering_ = true;
    server_.Dispatch(request_, [self = shared_from_this()](HttpRequest, HttpResponse response) {
      net::post(self->stream_.get_executor(),
                [self, response = std::move(response)]() mutable { self->Write(response); });
    });
  }

  // A read that failed: a client that went away or ran out of time is closed without a
  // word; a malformed or oversized request is told why first.
  void Refuse(beast::error_code ec) {
    if (ec == http::error::body_limit) return Refuse(413);
    if (ec == http::error::header_limit) return Refuse(431);
    if (ec == http::error::end_of_stream || ec == beast::error::timeout ||
        ec == net::error::operation_aborted || ec == net::error::eof ||
        ec == net::error::connection_reset || ec == http::error::partial_message) {
      return Close();
    }
    Refuse(400);
  }

  void Refuse(int status) {
    keep_alive_ = false;
    version_ = 11;
    HttpResponse response;
    response.status = status;
    answering_ = true;
    server_.Finish(request_, response);
    Write(response);
  }

  void Write(HttpResponse& response) {
    const bool keep = keep_alive_ && !server_.stopping_;
    if (!response.file.empty()) return WriteFile(response, keep);
    auto message = std::make_shared<http::response<http::string_body>>();
    Head(*message, response, keep);
    message->body() = std::move(response.body);
    message->prepare_payload();
    stream_.expires_after(server_.options_.write_deadline);
    http::async_write(stream_, *message,
                      [self = shared_from_this(), message, keep](
                          beast::error_code ec, std::size_t) { self->OnWritten(ec, keep); });
  }

  void WriteFile(HttpResponse& response, bool keep) {
    http::file_body::value_type body;
    beast::error_code ec;
    body.open(response.file.c_str(), beast::file_mode::scan, ec);
    if (ec) {
      response.file.clear();
      response.status = 404;
      server_.Finish(request_, response);
      return Write(response);
    }
    const std::uint64_t size = body.size();
    auto message = std::make_shared<http::response<http::file_body>>(
        std::piecewise_construct, std::make_tuple(std::move(body)), std::make_tuple());
    Head(*message, response, keep);
    message->content_length(size);
    const auto mebibytes = static_cast<long>(size >> 20) + 1;
    stream_.expires_after(server_.options_.write_deadline * mebibytes);
    http::async_write(stream_, *message,
                      [self = shared_from_this(), message, keep](
                          beast::error_code error, std::size_t) { self->OnWritten(error, keep); });
  }

  template <class Message>
  void Head(Message& message, const HttpResponse& response, bool keep) const {
    message.version(version_);
    message.result(static_cast<unsigned>(response.status));
    message.set(http::field::content_type, response.content_type);
    for (const auto& [field, value] : kSecurityHeaders)
      message.set(field, value);
    for (const auto& [name, value] : response.headers)
      message.set(name, value);
    message.keep_alive(keep);
  }

  void OnWritten(beast::error_code ec, bool keep) {
    answering_ = false;
    if (ec || !keep) return Close();
    ReadHeader();
  }

  void Close() {
    beast::error_code ignored;
    stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
    stream_.socket().close(ignored);
  }

  HttpServer::Impl& server_;
  beast::tcp_stream stream_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
  std::string client_;
  HttpRequest request_;
  bool keep_alive_ = false;
  unsigned version_ = 11;
  bool answering_ = false;
};

void HttpServer::Impl::Accept() {
  acceptor_.async_accept(net::make_strand(io_), [this](beast::error_code ec, tcp::socket socket) {
    if (ec == net::error::operation_aborted || !acceptor_.is_open()) return;
    if (!ec) {
      beast::error_code ignored;
      const tcp::endpoint peer = socket.remote_endpoint(ignored);
      std::string client = ignored ? std::string("?") : peer.address().to_string();
      if (!stopping_ && Admit(client)) {
        socket.set_option(tcp::no_delay(true), ignored);
        auto session = std::make_shared<Session>(*this, std::move(socket), client);
        {
          const std::lock_guard lock(sessions_mutex_);
          sessions_[session.get()] = session;
        }
        session->Run();
      } else {
        socket.close(ignored);  // over a cap: closed before a byte is read
      }
    }
    Accept();
  });
}

bool HttpServer::Impl::Admit(const std::string& client) {
  const std::lock_guard lock(sessions_mutex_);
  std::size_t& mine = per_client_[client];
  if (connections_ >= options_.max_connections ||
      (mine >= options_.max_connections_per_client && !IsProxy(client))) {
    if (mine == 0) per_client_.erase(client);
    return false;
  }
  ++connections_;
  ++mine;
  return true;
}

void HttpServer::Impl::Leave(Session* session, const std::string& client) {
  const std::lock_guard lock(sessions_mutex_);
  sessions_.erase(session);
  --connections_;
  if (--per_client_[client] == 0) per_client_.erase(client);
  if (connections_ == 0) sessions_gone_.notify_all();
}

const Route* HttpServer::Impl::Find(const std::string& method, const std::string& path) const {
  for (const Route& route : routes_) {
    if (route.method != method) continue;
    if (route.prefix ? path.starts_with(route.path) && path.size() > route.path.size()
                     : path == route.path) {
      return &route;
    }
  }
  return nullptr;
}

void HttpServer::Impl::Finish(const HttpRequest& request, HttpResponse& response) const {
  if (response.status >= 400 && response.body.empty() && response.file.empty() && error_page_) {
    error_page_(response);
  }
  if (answered_) answered_(request, response);
}

HttpResponse HttpServer::Impl::Run(const Route* route, const HttpRequest& request) const {
  HttpResponse response;
  if (route == nullptr) {
    response.status = 404;
  } else {
    try {
      route->handler(request, response);
    } catch (const std::exception& error) {
      response = {};
      response.status = 500;
      if (error_) error_(request, response, error.what());
    }
  }
  Finish(request, response);
  return response;
}

void HttpServer::Impl::Dispatch(HttpRequest request,
                                std::function<void(HttpRequest, HttpResponse)> done) {
  const Route* route = Find(request.method, request.path);
  // A hashing request beyond the queue is answered at once rather than left to wait:
  // a hash costs a tenth of a second and tens of mebibytes.
  const std::size_t hashing_limit =
      options_.hashing_queue + static_cast<std::size_t>(std::max(1, options_.hashing_threads));
  if (route != nullptr && route->work == Work::kHashing &&
      hashing_waiting_.fetch_add(1) >= hashing_limit) {
    hashing_waiting_.fetch_sub(1);
    HttpResponse response;
    response.status = 503;
    if (busy_) busy_(request, response);
    Finish(request, response);
    done(std::move(request), std::move(response));
    return;
  }
  auto run = [this, route, done = std::move(done)](HttpRequest request) {
    HttpResponse response = Run(route, request);
    done(std::move(request), std::move(response));
  };
  if (route == nullptr || route->work == Work::kQuick) {
    run(std::move(request));  // here, on the event thread: it takes a millisecond or less
    return;
  }
  if (route->work == Work::kPlaying) {
    net::post(playing_, [run = std::move(run), request = std::move(request)]() mutable {
      run(std::move(request));
    });
    return;
  }
  net::post(hashing_, [this, run = std::move(run), request = std::move(request)]() mutable {
    run(std::move(request));
    hashing_waiting_.fetch_sub(1);
  });
}

HttpServer::HttpServer(HttpServerOptions options)
    : impl_(std::make_unique<Impl>(std::move(options))) {}

HttpServer::~HttpServer() {
  Stop();
}

void HttpServer::Handle(std::string method, std::string path, Work work, HttpHandler handler) {
  Route route{std::move(method), std::move(path), false, work, std::move(handler)};
  if (route.path.ends_with("/*")) {
    route.path.pop_back();
    route.prefix = true;
  }
  impl_->routes_.push_back(std::move(route));
}

void HttpServer::OnBusy(HttpHandler handler) {
  impl_->busy_ = std::move(handler);
}

void HttpServer::OnError(
    std::function<void(const HttpRequest&, HttpResponse&, const std::string&)> handler) {
  impl_->error_ = std::move(handler);
}

void HttpServer::OnErrorPage(std::function<void(HttpResponse&)> fill) {
  impl_->error_page_ = std::move(fill);
}

void HttpServer::OnAnswered(std::function<void(const HttpRequest&, const HttpResponse&)> told) {
  impl_->answered_ = std::move(told);
}

bool HttpServer::Bind(const std::string& host, int port) {
  Impl& s = *impl_;
  beast::error_code ec;
  tcp::resolver resolver(s.io_);
  const auto endpoints = resolver.resolve(
      host, std::to_string(port), tcp::resolver::passive | tcp::resolver::numeric_service, ec);
  if (ec || endpoints.empty()) return false;
  const tcp::endpoint endpoint = endpoints.begin()->endpoint();
  s.acceptor_.open(endpoint.protocol(), ec);
  if (ec) return false;
  // Without SO_REUSEPORT: a second server must fail to bind a port in use, not share it.
  s.acceptor_.set_option(net::socket_base::reuse_address(true), ec);
  s.acceptor_.bind(endpoint, ec);
  if (!ec) s.acceptor_.listen(s.options_.backlog, ec);
  if (ec) {
    beast::error_code ignored;
    s.acceptor_.close(ignored);
    return false;
  }
  s.port_ = s.acceptor_.local_endpoint(ec).port();
  return !ec;
}

int HttpServer::port() const {
  return impl_->port_;
}

void HttpServer::Start() {
  Impl& s = *impl_;
  if (s.started_) return;
  s.started_ = true;
  s.work_.emplace(s.io_.get_executor());
  s.Accept();
  for (int i = 0; i < std::max(1, s.options_.event_threads); ++i)
    s.event_threads_.emplace_back([&s] { s.io_.run(); });
}

HttpResponse HttpServer::Answer(HttpRequest request) {
  return impl_->Run(impl_->Find(request.method, request.path), request);
}

void HttpServer::Stop() {
  Impl& s = *impl_;
  if (!s.started_ || s.stopping_.exchange(true)) return;
  net::post(s.acceptor_.get_executor(), [&s] {
    beast::error_code ignored;
    s.acceptor_.close(ignored);
  });
  // The sessions are held while they are told, and let go with the lock released: the
  // last hold of a session that ends meanwhile destroys it, which takes the lock.
  std::vector<std::shared_ptr<Session>> open;
  {
    const std::lock_guard lock(s.sessions_mutex_);
    for (const auto& [raw, weak] : s.sessions_) {
      if (std::shared_ptr<Session> session = weak.lock()) open.push_back(std::move(session));
    }
  }
  for (const std::shared_ptr<Session>& session : open)
    session->CloseIfIdle();
  open.clear();
  // The requests being answered finish, and their answers go out.
  s.hashing_.join();
  s.playing_.join();
  {
    std::unique_lock lock(s.sessions_mutex_);
    s.sessions_gone_.wait_for(lock, std::chrono::seconds(5), [&s] { return s.connections_ == 0; });
  }
  s.work_.reset();
  s.io_.stop();
  for (std::thread& thread : s.event_threads_)
    thread.join();
  s.event_threads_.clear();
}

}  // namespace hw::portal
