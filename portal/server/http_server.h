#pragma once
// The portal's HTTP/1.1 server (Boost.Beast on Asio), built so that slow, idle or greedy
// clients cannot starve the others:
//
// - A connection waiting for a request holds no thread: the sockets are served by a few
//   event threads, which also run the quick handlers (a millisecond or less each).
// - A request must arrive whole (headers and body) within a deadline from the moment it
//   is awaited, or its connection is closed; so does an idle kept-alive connection.
// - Connections are capped in all and per client address; one over either cap is closed
//   at once.
// - Handlers that hash passwords (Work::kHashing) run on a small pool with a bounded
//   queue; past the queue the request gets the busy answer at once, and the quick
//   handlers (pages) never wait behind a hash.
// - Handlers that may play a hand (Work::kPlaying: deals and score saves) run on a pool
//   of their own, one thread per processor, never on the event threads: a hand against
//   the search player takes a tenth of a second or more. Their queue is not bounded (each
//   connection has one request at a time, and the connections are capped): the game
//   takes any reply to a save as the portal's answer, so a save told to come back later
//   would be a save lost.
// - Requests whose length is ambiguous (two Content-Length fields, or Content-Length with
//   Transfer-Encoding) or malformed are refused and their connection closed; so are
//   requests for a Host the server does not answer to, when a list of Host names is
//   given (the local portal: no page of another site reaches it by DNS rebinding).
//
// Every response carries the usual security headers.

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hw::portal {

using FormFields = std::multimap<std::string, std::string>;

// %XX as its byte and, with `plus_is_space`, "+" as a space; a malformed escape stays.
std::string PercentDecode(std::string_view text, bool plus_is_space);
// application/x-www-form-urlencoded text: pairs split at "&", each at its first "=".
FormFields DecodeForm(std::string_view text);

struct HttpRequest {
  std::string method;  // "GET", "POST", ...
  std::string path;    // percent-decoded
  FormFields query;
  FormFields form;     // the body's fields when it is a form
  std::string host;    // the Host field
  std::string client;  // the peer's address
  // The first value of `name` in the form, else in the query; empty when there is none.
  std::string Param(const std::string& name) const;
};

// Fills the request's path (percent-decoded) and query from a request target.
void DecodeTarget(std::string_view target, HttpRequest& request);
// Fills the request's form from a body of the given content type (only a form's).
void DecodeBody(std::string_view content_type, std::string_view body, HttpRequest& request);

struct HttpResponse {
  int status = 200;
  std::string content_type = "text/plain; charset=UTF-8";
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
  std::filesystem::path file;  // when not empty, its bytes are the body
  std::string note;            // for the request log only: what came of the request
  void Set(std::string text, std::string type) {
    body = std::move(text);
    content_type = std::move(type);
  }
};

using HttpHandler = std::function<void(const HttpRequest&, HttpResponse&)>;

// Where a handler runs.
enum class Work { kQuick, kHashing, kPlaying };

struct HttpServerOptions {
  int event_threads = 2;
  int hashing_threads = 1;
  std::size_t hashing_queue = 8;  // requests that may wait for a hashing thread
  int playing_threads = 0;        // 0: one per processor
  std::size_t max_connections = 1024;
  std::size_t max_connections_per_client = 64;
  // A request's headers and body must arrive within this from when it is awaited (so an
  // idle kept-alive connection is closed after it too).
  std::chrono::milliseconds request_deadline = std::chrono::seconds(10);
  // A response must be sent within this; a file within this per mebibyte, at least.
  std::chrono::milliseconds write_deadline = std::chrono::seconds(30);
  std::size_t max_target = 8 * 1024;  // longer request targets get 414
  std::size_t max_header = 16 * 1024;
  std::size_t max_body = 16 * 1024;  // larger bodies get 413
  int backlog = 1024;
  // The Host values answered ("portal.example.org"); any when empty. Others get 421.
  std::vector<std::string> hosts;
  // Answers only Host values that name this machine's loopback at the bound port
  // ("127.0.0.1:8410", "localhost:8410", "[::1]:8410"): a server for this machine alone.
  bool loopback_hosts_only = false;
  // The addresses of reverse proxies in front of the server ("127.0.0.1"). Connections
  // from them are not capped per address, and their requests come from the address in
  // the X-Real-IP header they set; anyone else's X-Real-IP is ignored.
  std::vector<std::string> proxies;
};

class HttpServer {
 public:
  explicit HttpServer(HttpServerOptions options);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Routes, set before Start(). `path` is matched whole, or as a prefix when it ends in
  // "/*" ("/down/*").
  void Handle(std::string method, std::string path, Work work, HttpHandler handler);
  // The answer when a hashing request finds the queue full (status 503 when unset).
  void OnBusy(HttpHandler handler);
  // The answer when a handler throws; `what` tells why.
  void OnError(std::function<void(const HttpRequest&, HttpResponse&, const std::string& what)>);
  // Fills the body of an error response left empty (404, 413, ...).
  void OnErrorPage(std::function<void(HttpResponse&)> fill);
  // Told of every request answered, on the thread that answered it (a request refused
  // before it was read whole has an empty method).
  void OnAnswered(std::function<void(const HttpRequest&, const HttpResponse&)> told);

  // Answers a request on the calling thread, as it would be answered over a connection
  // (for checks that drive the routes without sockets).
  HttpResponse Answer(HttpRequest request);

  // Binds and listens; port 0 takes a free port. False when the address cannot be bound.
  bool Bind(const std::string& host, int port);
  int port() const;

  // Serves on threads of its own until Stop().
  void Start();
  // Stops accepting, lets the requests in progress finish, closes the idle connections
  // and joins every thread. Does nothing when not serving.
  void Stop();

  class Impl;  // the sessions of the implementation reach it too

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace hw::portal
