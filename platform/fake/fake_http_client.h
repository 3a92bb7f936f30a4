#pragma once
// An HttpClient for tests that answers from the script of the test: every Execute is
// recorded, and the test answers the pending request with Reply (state 12) or Fail
// (state 11). As with the real client, the answer comes from the event loop, a new
// Execute or a Cancel silences the request before it, and GetChunk gives the start of
// the reply once state 12 has been reported.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/event_loop.h"
#include "platform/http_client.h"

namespace hw::platform {

class FakeHttpClient final : public HttpClient {
 public:
  struct Request {
    std::string url;
    std::string method;
    std::string body;
    std::string headerText;

    bool operator==(const Request&) const = default;
  };

  explicit FakeHttpClient(EventLoop& loop) : loop_(loop) {}

  void Execute(const std::string& url, const std::string& method, const std::string& body,
               const std::string& headerText) override {
    Cancel();
    reply_.clear();
    requests.push_back({url, method, body, headerText});
    busy_ = true;
    answered_ = false;
  }
  void Cancel() override {
    ++generation_;
    busy_ = false;
    ++cancels;
  }
  std::string GetChunk(std::size_t maxBytes) const override { return reply_.substr(0, maxBytes); }
  bool BusyRequest() const override { return busy_; }

  // Every Execute, oldest first.
  std::vector<Request> requests;
  // Every Cancel, including the one that each Execute makes.
  int cancels = 0;

  // Answers the pending request with a complete reply; state 12 comes from the loop.
  // False when no request is waiting for an answer.
  bool Reply(std::string text) { return Answer(kHttpResponseCompleted, std::move(text)); }
  // Fails the pending request; state 11 comes from the loop.
  bool Fail() { return Answer(kHttpRequestFailed, {}); }

 private:
  bool Answer(int state, std::string text) {
    if (!busy_ || answered_) return false;
    answered_ = true;
    loop_.Post([this, alive = std::weak_ptr<char>(alive_), generation = generation_, state,
                text = std::move(text)]() mutable {
      if (alive.expired() || generation != generation_) return;
      busy_ = false;
      reply_ = std::move(text);
      const auto handler = onStateChanged;  // the handler may destroy this client
      if (handler) handler(state);
    });
    return true;
  }

  EventLoop& loop_;
  std::string reply_;
  bool busy_ = false;
  bool answered_ = false;
  std::uint64_t generation_ = 0;
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace hw::platform
