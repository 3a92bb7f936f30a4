#pragma once
// Stand-ins for the updater's tests: a list server that answers late or never, a
// download answered by the test, a process table whose processes come and go on the
// loop's clock, and an update window that writes down what it was told.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/event_loop.h"
#include "platform/http_client.h"
#include "updater/process_table.h"
#include "updater/update_view.h"

namespace hw::updater {

// The portal's list as an HttpClient sees it: every request is answered `delaySeconds`
// later with the text `reply` holds then (state 12), or fails (state 11) when that is
// std::nullopt; a server that `hangs` never answers. A new request or Cancel silences
// the one before, as with the real client.
class ListServerClient final : public platform::HttpClient {
 public:
  ListServerClient(platform::EventLoop& loop, const std::optional<std::string>& reply)
      : loop_(loop), reply_(reply) {}

  void Execute(const std::string& url, const std::string&, const std::string&,
               const std::string&) override {
    Cancel();
    requests.push_back(url);
    busy_ = true;
    if (hangs) return;
    loop_.Post(
        [this, generation = generation_] {
          if (generation != generation_) return;
          busy_ = false;
          answered_ = reply_.value_or("");
          const auto handler = onStateChanged;
          if (handler)
            handler(reply_ ? platform::kHttpResponseCompleted : platform::kHttpRequestFailed);
        },
        delaySeconds);
  }
  void Cancel() override {
    if (busy_) ++cancels;
    ++generation_;
    busy_ = false;
  }
  std::string GetChunk(std::size_t maxBytes) const override {
    return answered_.substr(0, maxBytes);
  }
  bool BusyRequest() const override { return busy_; }

  double delaySeconds = 0;
  bool hangs = false;
  std::vector<std::string> requests;
  int cancels = 0;  // of requests still waiting for their answer

 private:
  platform::EventLoop& loop_;
  const std::optional<std::string>& reply_;
  std::string answered_;
  bool busy_ = false;
  std::uint64_t generation_ = 0;
};

// A download that the test completes (Deliver) or fails (Fail). As with the real one,
// the events come from the loop, a delivery writes the file before onComplete, a failure
// leaves the save path as it was, and Begin or Cancel silences what came before.
class FakeDownload final : public platform::Download {
 public:
  struct Started {
    std::string url;
    std::string savePath;
  };

  explicit FakeDownload(platform::EventLoop& loop) : loop_(loop) {}

  void Begin(const std::string& url, const std::string& savePath) override {
    Cancel();
    begun.push_back({url, savePath});
    busy_ = true;
  }
  void Cancel() override {
    ++generation_;
    busy_ = false;
  }
  bool Busy() const override { return busy_; }

  // Reports progress at half and at all of the bytes, writes them to the save path and
  // completes.
  void Deliver(std::string bytes) {
    const auto total = static_cast<std::int64_t>(bytes.size());
    Later([this, total](const std::string& path) {
      if (onProgress) onProgress(total / 2, total, path);
    });
    Later([this, total, bytes = std::move(bytes)](const std::string& path) {
      if (onProgress) onProgress(total, total, path);
      std::ofstream(path, std::ios::binary) << bytes;
      busy_ = false;
      if (onComplete) onComplete(total, path);
    });
  }
  void Fail() {
    Later([this](const std::string& path) {
      busy_ = false;
      const std::uint64_t generation = generation_;
      if (onError) onError(path);
      if (generation == generation_ && onComplete) onComplete(0, path);
    });
  }

  std::vector<Started> begun;

 private:
  template <typename Fn>
  void Later(Fn fn) {
    const std::string path = begun.empty() ? "" : begun.back().savePath;
    loop_.Post([this, generation = generation_, path, fn = std::move(fn)]() mutable {
      if (generation == generation_) fn(path);
    });
  }

  platform::EventLoop& loop_;
  bool busy_ = false;
  std::uint64_t generation_ = 0;
};

// Processes that run from when they are added until the loop's clock reaches their end
// (or for ever), unless a signal ends them first.
class FakeProcessTable final : public ProcessTable {
 public:
  explicit FakeProcessTable(platform::EventLoop& loop) : loop_(loop) {}

  // How a process takes a signal.
  enum class Reaction {
    kEndsOnTerm,
    kIgnoresTerm,  // ends only on SIGKILL
    kRefuses,      // another user's: every signal fails
  };

  void Add(std::string name, int pid, std::optional<double> runsSeconds = std::nullopt,
           Reaction reaction = Reaction::kEndsOnTerm) {
    std::optional<double> end;
    if (runsSeconds) end = loop_.Now() + *runsSeconds;
    processes_[pid] = {std::move(name), end, reaction};
  }

  std::vector<ProcessEntry> Snapshot() override {
    ++snapshots;
    // A wait for a process that never ends would hang the test inside its handler: past
    // the horizon every process is gone, and the test fails.
    if (loop_.Now() > horizonSeconds) {
      if (!pastHorizon_)
        ADD_FAILURE() << "still waiting for a process after " << loop_.Now() << " s";
      pastHorizon_ = true;
      return {};
    }
    std::vector<ProcessEntry> table;
    for (const auto& [pid, process] : processes_) {
      if (table.size() >= kProcessTableLimit) break;
      if (!process.end || loop_.Now() < *process.end) table.push_back({process.name, pid});
    }
    return table;
  }

  bool Terminate(int pid, bool force) override {
    signals.emplace_back(pid, force);
    const auto found = processes_.find(pid);
    if (found == processes_.end() || found->second.reaction == Reaction::kRefuses) return false;
    if (force || found->second.reaction == Reaction::kEndsOnTerm) {
      processes_.erase(found);
      if (onEnded) onEnded(pid, force);
    }
    return true;
  }

  // The pid of the first running process of that name, or 0.
  int Find(const std::string& name) {
    for (const ProcessEntry& entry : Snapshot()) {
      if (entry.name == name) return entry.pid;
    }
    return 0;
  }

  double horizonSeconds = 600;
  // Called when a signal has ended a process: (pid, forced).
  std::function<void(int, bool)> onEnded;
  // Every signal sent: (pid, forced).
  std::vector<std::pair<int, bool>> signals;
  int snapshots = 0;

 private:
  struct Process {
    std::string name;
    std::optional<double> end;
    Reaction reaction = Reaction::kEndsOnTerm;
  };
  platform::EventLoop& loop_;
  std::map<int, Process> processes_;
  bool pastHorizon_ = false;
};

// Writes down every call, one line each: "Show", "Hide", "Caption <text>",
// "Status <text>" (with " [blue bold]" when so), "Clear", "Progress <width>".
class RecordingUpdateView final : public UpdateView {
 public:
  void Show() override {
    calls.push_back("Show");
    shown = true;
  }
  void Hide() override {
    calls.push_back("Hide");
    shown = false;
  }
  void SetCaption(std::string_view caption) override {
    calls.push_back("Caption " + std::string(caption));
  }
  void SetStatus(std::string_view text, bool blueBold) override {
    calls.push_back("Status " + std::string(text) + (blueBold ? " [blue bold]" : ""));
  }
  void ClearProgress() override { calls.push_back("Clear"); }
  void DrawProgress(int width) override { calls.push_back("Progress " + std::to_string(width)); }

  std::vector<std::string> calls;
  bool shown = false;
};

}  // namespace hw::updater
