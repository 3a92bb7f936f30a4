#pragma once
// A launcher for tests: nothing is started, every call is written down, and a test can
// make a start fail or give it an effect (an installer that leaves files behind, a
// program that shows up in a fake process table, a watched program that ends).

#include <cerrno>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/launcher.h"

namespace hw::platform {

class FakeLauncher final : public Launcher {
 public:
  struct Call {
    enum class Kind { kRun, kShellOpen, kRunWatched };
    Kind kind;
    std::string program;  // the program, or the file that was shell-opened
    std::vector<std::string> arguments;
    std::string parameters;  // ShellOpenFile only
    WindowStyle style = WindowStyle::kNormal;
    std::string outputPath;  // RunWatched only
    int pid = 0;             // the pid the start gets when it works
  };

  // Every call, oldest first.
  std::vector<Call> calls;
  // Called for every call after it was written down; returns the errno that makes the
  // start fail, or 0 for a start that works. Unset: every start works.
  std::function<int(const Call&)> onCall;
  // How watched programs end, by pid: PollExit tells an entry once and removes it. A
  // watched program without an entry runs on.
  std::map<int, ExitStatus> ends;
  int exitPolls = 0;

  LaunchResult Run(const std::string& program, const std::vector<std::string>& arguments,
                   WindowStyle style) override {
    return Start({Call::Kind::kRun, program, arguments, "", style, "", 0});
  }

  int ShellOpenFile(const std::string& file, const std::string& parameters) override {
    const LaunchResult started = Start({Call::Kind::kShellOpen, file, SplitAtBlanks(parameters),
                                        parameters, WindowStyle::kNormal, "", 0});
    if (started.Started()) return kShellOpened;
    return started.error == ENOENT ? kShellFileNotFound : kShellAccessDenied;
  }

  LaunchResult RunWatched(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& outputPath) override {
    return Start(
        {Call::Kind::kRunWatched, program, arguments, "", WindowStyle::kHidden, outputPath, 0});
  }

  std::optional<ExitStatus> PollExit(int pid) override {
    ++exitPolls;
    const auto found = ends.find(pid);
    if (found == ends.end()) return std::nullopt;
    const ExitStatus status = found->second;
    ends.erase(found);
    return status;
  }

 private:
  LaunchResult Start(Call call) {
    call.pid = nextPid_++;
    calls.push_back(call);
    // The effect may make further calls.
    const int error = onCall ? onCall(call) : 0;
    if (error != 0) return {0, error};
    return {call.pid, 0};
  }

  int nextPid_ = 1000;
};

}  // namespace hw::platform
