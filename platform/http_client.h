#pragma once
// HTTP as the game and the updater use it: one form post or GET at a time whose outcome
// comes back as an event of the program's loop, a blocking fetch of a short text, and a
// download of a file that reports its progress.
//
// Every event is delivered from the event loop (never from inside the call that started
// the request, never from another thread). A request that is cancelled or replaced, or
// whose object is destroyed, reports nothing more, even when its outcome was already on
// its way.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace hw::platform {

// The states an HttpClient reports. Only these two are ever reported.
constexpr int kHttpRequestFailed = 11;      // refused, unreachable, timed out, non-2xx status
constexpr int kHttpResponseCompleted = 12;  // the whole reply arrived with a 2xx status

// One request at a time, like the HTTP control of a window.
class HttpClient {
 public:
  virtual ~HttpClient() = default;
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // Starts a request, cancelling the one before. `method` is "POST" or "GET"; `body` is
  // sent as it is (a GET sends none); `headerText` holds "name: value" lines separated by
  // CR LF, e.g. "content-type: application/x-www-form-urlencoded\r\n". Failures while
  // starting (a malformed address) are reported as kHttpRequestFailed like any other.
  virtual void Execute(const std::string& url, const std::string& method, const std::string& body,
                       const std::string& headerText) = 0;
  // Drops the running request, if any; it reports nothing.
  virtual void Cancel() = 0;
  // Up to maxBytes of the last completed reply's body, from its start; empty before a
  // reply has completed and after a failure.
  virtual std::string GetChunk(std::size_t maxBytes) const = 0;
  // Whether a request was started and has neither reported its state nor been cancelled.
  virtual bool BusyRequest() const = 0;

  // kHttpRequestFailed or kHttpResponseCompleted, once per request, from the loop. The
  // handler may start another request or destroy the client.
  std::function<void(int state)> onStateChanged;

 protected:
  HttpClient() = default;
};

// Fetches a short text with a blocking GET: the whole body, or std::nullopt when the
// request failed or the status was not 2xx. Runs no events while it waits.
using TextFetcher = std::function<std::optional<std::string>(const std::string& url)>;

// The updater's download of an installer: a GET that bypasses every cache, saved to a file.
class Download {
 public:
  virtual ~Download() = default;
  Download(const Download&) = delete;
  Download& operator=(const Download&) = delete;

  // Starts downloading `url` to `savePath`, cancelling a download still running. Errors
  // while starting are not thrown: they end in onError and onComplete.
  virtual void Begin(const std::string& url, const std::string& savePath) = 0;
  // Drops the running download; it reports nothing and leaves no file behind.
  virtual void Cancel() = 0;
  virtual bool Busy() const = 0;

  // Bytes read so far and the total, while the total is known: whenever the count has
  // changed, but not more often than every 50 ms of the loop's clock, except for the
  // last report (all bytes read).
  std::function<void(std::int64_t read, std::int64_t total, const std::string& savePath)>
      onProgress;
  // At completion when the total is 0 (nothing was received) or the download failed.
  // savePath is then left as it was.
  std::function<void(const std::string& savePath)> onError;
  // At every completion, after onError when that was raised (unless the error handler
  // destroyed this download or began another); total is 0 exactly when onError was raised. With a
  // non-zero total the bytes are already at savePath (written to a temporary file beside it and
  // renamed into place).
  std::function<void(std::int64_t total, const std::string& savePath)> onComplete;

 protected:
  Download() = default;
};

}  // namespace hw::platform
