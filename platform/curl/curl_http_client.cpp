#include "platform/curl/curl_http_client.h"

#include <curl/curl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace hw::platform {

namespace {

// The pump's timer interval, and the longest a tick waits for network activity.
constexpr int kTickMilliseconds = 10;
constexpr int kPollMilliseconds = 4;
// Progress reports come at most this often (on the loop's clock), except for the last.
constexpr Micros kProgressInterval = 50'000;
// A text reply longer than this is a failure: nothing the programs ask for comes near it.
constexpr std::size_t kMaxTextBytes = 16 * 1024 * 1024;

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct HeaderListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using MultiHandle = std::unique_ptr<CURLM, MultiDeleter>;
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

// libcurl's global state, set up on first use and released at exit.
class CurlGlobal {
 public:
  CurlGlobal() : ok_(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {}
  ~CurlGlobal() {
    if (ok_) curl_global_cleanup();
  }
  CurlGlobal(const CurlGlobal&) = delete;
  CurlGlobal& operator=(const CurlGlobal&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_;
};

bool EnsureCurl() {
  static const CurlGlobal global;
  return global.ok();
}

using WriteFunction = std::size_t (*)(char*, std::size_t, std::size_t, void*);

std::size_t AppendToString(char* data, std::size_t size, std::size_t count, void* user) {
  auto& text = *static_cast<std::string*>(user);
  const std::size_t n = size * count;
  if (text.size() + n > kMaxTextBytes) return 0;  // ends the transfer with a write error
  text.append(data, n);
  return n;
}

std::string Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r\n");
  return std::string(s.substr(first, last - first + 1));
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

// "name: value" lines separated by CR LF (a bare LF is taken as well); blank lines dropped.
std::vector<std::string> HeaderLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string line = Trim(text.substr(0, end));
    if (!line.empty()) lines.push_back(std::move(line));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

struct Request {
  std::string url;
  std::string method;  // upper case
  std::string body;
  std::vector<std::string> headers;
};

// An easy handle ready to run, with the header list it points to.
struct PreparedTransfer {
  HeaderList headers;
  EasyHandle easy;
};

struct TransferResult {
  bool ok = false;                 // finished without error and with a 2xx status
  std::int64_t contentLength = 0;  // as announced by the server; 0 when unknown
};

std::optional<PreparedTransfer> Prepare(const Request& request, const CurlTimeouts& timeouts,
                                        WriteFunction write, void* writeData) {
  if (!EnsureCurl()) return std::nullopt;
  PreparedTransfer t;
  t.easy.reset(curl_easy_init());
  if (!t.easy) return std::nullopt;

  std::vector<std::string> headers = request.headers;
  // A large post would otherwise wait for "100 Continue" first.
  const bool hasExpect = std::any_of(headers.begin(), headers.end(), [](const std::string& h) {
    return Lower(h).starts_with("expect:");
  });
  if (!hasExpect) headers.push_back("Expect:");
  for (const auto& line : headers) {
    curl_slist* const list = curl_slist_append(t.headers.get(), line.c_str());
    if (list == nullptr) return std::nullopt;
    (void)t.headers.release();  // the same list, grown (or a new one when it was empty)
    t.headers.reset(list);
  }

  CURL* const easy = t.easy.get();
  bool ok = true;
  const auto set = [&](CURLoption option, auto value) {
    ok = ok && curl_easy_setopt(easy, option, value) == CURLE_OK;
  };
  set(CURLOPT_URL, request.url.c_str());
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  set(CURLOPT_FOLLOWLOCATION, 1L);
  set(CURLOPT_MAXREDIRS, 5L);
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_USERAGENT, "hwatable");
  set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts.connect.count()));
  set(CURLOPT_TIMEOUT_MS, static_cast<long>(timeouts.total.count()));
  if (timeouts.stall.count() > 0) {
    set(CURLOPT_LOW_SPEED_LIMIT, 1L);
    set(CURLOPT_LOW_SPEED_TIME, static_cast<long>((timeouts.stall.count() + 999) / 1000));
  }
  set(CURLOPT_WRITEFUNCTION, write);
  set(CURLOPT_WRITEDATA, writeData);
  set(CURLOPT_HTTPHEADER, t.headers.get());
  if (request.method == "GET") {
    set(CURLOPT_HTTPGET, 1L);
  } else if (request.method == "HEAD") {
    set(CURLOPT_NOBODY, 1L);
  } else {
    if (request.method != "POST") set(CURLOPT_CUSTOMREQUEST, request.method.c_str());
    if (request.method == "POST" || !request.body.empty()) {
      // The size first, so that the copy takes exactly these bytes.
      set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
      set(CURLOPT_COPYPOSTFIELDS, request.body.c_str());
    }
  }
  if (!ok) return std::nullopt;
  return t;
}

}  // namespace

namespace detail {

// Runs one transfer at a time on its own multi handle, from a timer of the loop that is
// enabled only while the transfer is on.
class CurlPump {
 public:
  CurlPump(EventLoop& loop, std::function<void()> onTick,
           std::function<void(const TransferResult&)> onDone)
      : onTick_(std::move(onTick)), onDone_(std::move(onDone)) {
    if (EnsureCurl()) multi_.reset(curl_multi_init());
    timer_ = loop.CreateTimer(kTickMilliseconds, [this] { Tick(); });
  }
  ~CurlPump() { Stop(); }
  CurlPump(const CurlPump&) = delete;
  CurlPump& operator=(const CurlPump&) = delete;

  // Replaces the running transfer (quietly) with this one. False when it cannot start.
  bool Start(PreparedTransfer transfer) {
    Stop();
    if (!multi_ || curl_multi_add_handle(multi_.get(), transfer.easy.get()) != CURLM_OK)
      return false;
    current_ = std::move(transfer);
    timer_->SetEnabled(true);
    return true;
  }

  void Stop() {
    timer_->SetEnabled(false);
    if (!current_.easy) return;
    curl_multi_remove_handle(multi_.get(), current_.easy.get());
    current_.easy.reset();
    current_.headers.reset();
  }

  // The body's size as announced by the server; 0 while unknown.
  std::int64_t ContentLength() const {
    curl_off_t length = -1;
    if (!current_.easy || curl_easy_getinfo(current_.easy.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T,
                                            &length) != CURLE_OK)
      return 0;
    return std::max<std::int64_t>(0, length);
  }

 private:
  void Tick() {
    if (!current_.easy) return Stop();
    int running = 0;
    std::optional<CURLcode> result;
    if (curl_multi_perform(multi_.get(), &running) != CURLM_OK) result = CURLE_FAILED_INIT;
    int queued = 0;
    while (CURLMsg* const message = curl_multi_info_read(multi_.get(), &queued)) {
      if (message->msg == CURLMSG_DONE && message->easy_handle == current_.easy.get())
        result = message->data.result;
    }
    if (result) {
      long status = 0;
      curl_easy_getinfo(current_.easy.get(), CURLINFO_RESPONSE_CODE, &status);
      const TransferResult done{*result == CURLE_OK && status >= 200 && status < 300,
                                ContentLength()};
      Stop();
      onDone_(done);
      return;
    }
    if (onTick_) onTick_();
    curl_multi_poll(multi_.get(), nullptr, 0, kPollMilliseconds, nullptr);
  }

  std::function<void()> onTick_;
  std::function<void(const TransferResult&)> onDone_;
  MultiHandle multi_;
  PreparedTransfer current_;  // attached to multi_ while it holds an easy handle
  std::unique_ptr<Timer> timer_;
};

}  // namespace detail

// ---- CurlHttpClient

CurlHttpClient::CurlHttpClient(EventLoop& loop, CurlTimeouts timeouts)
    : loop_(loop),
      timeouts_(timeouts),
      pump_(std::make_unique<detail::CurlPump>(
          loop, nullptr, [this](const TransferResult& r) { Finished(r.ok); })) {}

CurlHttpClient::~CurlHttpClient() = default;

void CurlHttpClient::Execute(const std::string& url, const std::string& method,
                             const std::string& body, const std::string& headerText) {
  Cancel();
  reply_.clear();
  busy_ = true;
  const Request request{url, Upper(method), body, HeaderLines(headerText)};
  auto prepared = Prepare(request, timeouts_, &AppendToString, &received_);
  if (!prepared || !pump_->Start(std::move(*prepared))) Finished(false);
}

void CurlHttpClient::Cancel() {
  pump_->Stop();
  ++generation_;
  busy_ = false;
  received_.clear();
}

std::string CurlHttpClient::GetChunk(std::size_t maxBytes) const {
  return reply_.substr(0, maxBytes);
}

void CurlHttpClient::Finished(bool ok) {
  Report(ok ? kHttpResponseCompleted : kHttpRequestFailed);
}

void CurlHttpClient::Report(int state) {
  loop_.Post([this, alive = std::weak_ptr<char>(alive_), generation = generation_, state] {
    if (alive.expired() || generation != generation_) return;
    busy_ = false;
    if (state == kHttpResponseCompleted) reply_ = std::move(received_);
    received_.clear();
    const auto handler = onStateChanged;  // the handler may destroy this client
    if (handler) handler(state);
  });
}

// ---- CurlDownload

struct CurlDownload::Sink {
  std::string tempPath;
  std::ofstream out;
  std::int64_t written = 0;
};

std::size_t CurlDownload::Write(char* data, std::size_t size, std::size_t count, void* user) {
  auto& sink = *static_cast<Sink*>(user);
  const std::size_t n = size * count;
  if (!sink.out.write(data, static_cast<std::streamsize>(n))) return 0;
  sink.written += static_cast<std::int64_t>(n);
  return n;
}

CurlDownload::CurlDownload(EventLoop& loop, CurlTimeouts timeouts)
    : loop_(loop),
      timeouts_(timeouts),
      pump_(std::make_unique<detail::CurlPump>(
          loop, [this] { Progress(); },
          [this](const TransferResult& r) { Finished(r.ok, r.contentLength); })) {}

CurlDownload::~CurlDownload() {
  Cancel();
}

void CurlDownload::Begin(const std::string& url, const std::string& savePath) {
  Cancel();
  busy_ = true;
  savePath_ = savePath;
  reportedRead_ = 0;
  lastReport_.reset();
  sink_ = std::make_unique<Sink>();
  // A name of this download's own beside the save path ("102.Ab3xYz.part"): two
  // downloads to one save path never write into each other's file, and the last one to
  // finish is renamed into place whole.
  std::string name = savePath + ".XXXXXX.part";
  const int fd = ::mkstemps(name.data(), 5);
  if (fd >= 0) {
    sink_->tempPath = name;
    sink_->out.open(sink_->tempPath, std::ios::binary | std::ios::trunc);
    ::close(fd);
  }
  if (fd < 0 || !sink_->out) {
    Discard();
    return Finished(false, 0);
  }
  const Request request{url, "GET", {}, {"Cache-Control: no-cache", "Pragma: no-cache"}};
  auto prepared = Prepare(request, timeouts_, &CurlDownload::Write, sink_.get());
  if (!prepared || !pump_->Start(std::move(*prepared))) Finished(false, 0);
}

void CurlDownload::Cancel() {
  pump_->Stop();
  ++generation_;
  busy_ = false;
  Discard();
}

void CurlDownload::Discard() {
  if (!sink_) return;
  sink_->out.close();
  std::error_code ignored;
  std::filesystem::remove(sink_->tempPath, ignored);
  sink_.reset();
}

void CurlDownload::PostProgress(std::int64_t read, std::int64_t total) {
  reportedRead_ = read;
  lastReport_ = loop_.NowMicros();
  loop_.Post([this, alive = std::weak_ptr<char>(alive_), generation = generation_, read, total] {
    if (alive.expired() || generation != generation_) return;
    const auto handler = onProgress;
    if (handler) handler(read, total, savePath_);
  });
}

void CurlDownload::Progress() {
  const std::int64_t total = pump_->ContentLength();
  const std::int64_t read = sink_ ? sink_->written : 0;
  if (total <= 0 || read == reportedRead_) return;
  if (read < total && lastReport_ && loop_.NowMicros() - *lastReport_ < kProgressInterval) return;
  PostProgress(read, total);
}

void CurlDownload::Finished(bool ok, std::int64_t contentLength) {
  std::int64_t total = 0;
  if (ok && sink_) {
    sink_->out.close();
    ok = !sink_->out.fail();
    total = contentLength > 0 ? contentLength : sink_->written;
  }
  if (ok && total > 0 && sink_->written != reportedRead_) PostProgress(sink_->written, total);
  loop_.Post([this, alive = std::weak_ptr<char>(alive_), generation = generation_, ok, total] {
    if (alive.expired() || generation != generation_) return;
    Deliver(ok, total);
  });
}

void CurlDownload::Deliver(bool ok, std::int64_t total) {
  busy_ = false;
  bool saved = false;
  if (ok && total > 0 && sink_) {
    std::error_code error;
    std::filesystem::rename(sink_->tempPath, savePath_, error);
    saved = !error;
  }
  if (saved) {
    sink_.reset();
  } else {
    Discard();
    total = 0;
  }
  const std::string savePath = savePath_;
  const std::uint64_t generation = generation_;
  const std::weak_ptr<char> alive = alive_;
  // Either handler may destroy this download or begin another one.
  if (!saved) {
    const auto errorHandler = onError;
    if (errorHandler) errorHandler(savePath);
    if (alive.expired() || generation != generation_) return;
  }
  const auto completeHandler = onComplete;
  if (completeHandler) completeHandler(total, savePath);
}

// ---- CurlFetchText

std::optional<std::string> CurlFetchText(const std::string& url, const CurlTimeouts& timeouts) {
  std::string text;
  const auto prepared = Prepare({url, "GET", {}, {}}, timeouts, &AppendToString, &text);
  if (!prepared || curl_easy_perform(prepared->easy.get()) != CURLE_OK) return std::nullopt;
  long status = 0;
  curl_easy_getinfo(prepared->easy.get(), CURLINFO_RESPONSE_CODE, &status);
  if (status < 200 || status >= 300) return std::nullopt;
  return text;
}

}  // namespace hw::platform
