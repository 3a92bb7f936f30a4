#pragma once
// HttpClient and Download on libcurl's multi interface, driven by a timer of the program's
// event loop. The timer runs only while a transfer is active; each tick lets curl work
// (curl_multi_perform), collects a finished transfer and then waits at most a few
// milliseconds for network activity (curl_multi_poll), so that a loop on virtual time
// does not spin and a real-time loop stays responsive. Outcomes are posted to the loop.
//
// Only http and https addresses are fetched; redirects are followed. Time-outs are
// measured on the real clock, whatever the loop's clock does.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/event_loop.h"
#include "platform/http_client.h"

namespace hw::platform {

// A zero duration means no limit.
struct CurlTimeouts {
  std::chrono::milliseconds connect{5000};
  // The whole request, from its start to the last byte of the reply.
  std::chrono::milliseconds total{20000};
  // Fails a transfer that receives nothing for this long (whole seconds, rounded up).
  std::chrono::milliseconds stall{0};

  // A download may take long as long as bytes keep coming.
  static CurlTimeouts ForDownloads() {
    return {std::chrono::milliseconds{5000}, std::chrono::milliseconds{0},
            std::chrono::milliseconds{30000}};
  }
};

namespace detail {
class CurlPump;
}

class CurlHttpClient final : public HttpClient {
 public:
  explicit CurlHttpClient(EventLoop& loop, CurlTimeouts timeouts = {});
  ~CurlHttpClient() override;

  void Execute(const std::string& url, const std::string& method, const std::string& body,
               const std::string& headerText) override;
  void Cancel() override;
  std::string GetChunk(std::size_t maxBytes) const override;
  bool BusyRequest() const override { return busy_; }

  // Applies to requests started afterwards.
  void SetTimeouts(const CurlTimeouts& timeouts) { timeouts_ = timeouts; }

 private:
  void Finished(bool ok);
  void Report(int state);

  EventLoop& loop_;
  CurlTimeouts timeouts_;
  std::string received_;  // the running request's body so far
  std::string reply_;     // the last completed reply
  bool busy_ = false;
  std::uint64_t generation_ = 0;  // counts requests, so a stale report can tell it is one
  std::shared_ptr<char> alive_ = std::make_shared<char>();
  std::unique_ptr<detail::CurlPump> pump_;  // after received_: it writes there
};

class CurlDownload final : public Download {
 public:
  explicit CurlDownload(EventLoop& loop, CurlTimeouts timeouts = CurlTimeouts::ForDownloads());
  ~CurlDownload() override;

  void Begin(const std::string& url, const std::string& savePath) override;
  void Cancel() override;
  bool Busy() const override { return busy_; }

  void SetTimeouts(const CurlTimeouts& timeouts) { timeouts_ = timeouts; }

 private:
  struct Sink;  // the temporary file beside the save path
  static std::size_t Write(char* data, std::size_t size, std::size_t count, void* sink);
  void Progress();
  void PostProgress(std::int64_t read, std::int64_t total);
  void Finished(bool ok, std::int64_t contentLength);
  void Deliver(bool ok, std::int64_t total);
  void Discard();

  EventLoop& loop_;
  CurlTimeouts timeouts_;
  std::string savePath_;
  bool busy_ = false;
  std::uint64_t generation_ = 0;
  std::int64_t reportedRead_ = 0;
  std::optional<Micros> lastReport_;
  std::shared_ptr<char> alive_ = std::make_shared<char>();
  std::unique_ptr<Sink> sink_;
  std::unique_ptr<detail::CurlPump> pump_;  // after sink_: it writes there
};

// A blocking GET of a short text (the updater's version list); see TextFetcher.
std::optional<std::string> CurlFetchText(const std::string& url, const CurlTimeouts& timeouts = {});

}  // namespace hw::platform
