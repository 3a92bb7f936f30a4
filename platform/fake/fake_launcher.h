#pragma once
// A launcher for tests: nothing is started, every call is written down, and a test can
// make a start fail or give it an effect (an installer that leaves files behind, a
// program that shows up in a fake process table).

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "platform/launcher.h"

namespace hw::platform {

class FakeLauncher final : public Launcher {
 public:
  struct Call {
    enum class Kind { kRun, kShellOpen };
    Kind kind;
    std::string program;  // the program, or the file that was shell-opened
    std::vector<std::string> arguments;
    std::string parameters;  // ShellOpenFile only
    WindowStyle style = WindowStyle::kNormal;
  };

  // Every call, oldest first.
  std::vector<Call> calls;
  // Called for every call after it was written down; returns the errno that makes the
  // start fail, or 0 for a start that works. Unset: every start works.
  std::function<int(const Call&)> onCall;

  LaunchResult Run(const std::string& program, const std::vector<std::string>& arguments,
                   WindowStyle style) override {
    calls.push_back({Call::Kind::kRun, program, arguments, "", style});
    const int error = Effect();
    if (error != 0) return {0, error};
    return {nextPid_++, 0};
  }

  int ShellOpenFile(const std::string& file, const std::string& parameters) override {
    calls.push_back({Call::Kind::kShellOpen, file, SplitAtBlanks(parameters), parameters,
                     WindowStyle::kNormal});
    const int error = Effect();
    if (error == 0) return kShellOpened;
    return error == ENOENT ? kShellFileNotFound : kShellAccessDenied;
  }

 private:
  int Effect() {
    if (!onCall) return 0;
    const Call call = calls.back();  // the effect may make further calls
    return onCall(call);
  }

  int nextPid_ = 1000;
};

}  // namespace hw::platform
