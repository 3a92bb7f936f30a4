#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/wave_mixer.h"

namespace hw::platform {

// A mixer for tests: writes down every call and keeps a channel "playing" from its Play
// until its Stop.
class RecordingWaveMixer final : public WaveMixer {
 public:
  struct Call {
    enum class Kind { kStop, kPlay };
    Kind kind;
    int channel;
    std::string path;  // empty for kStop
    friend bool operator==(const Call&, const Call&) = default;
  };

  void Stop(int channel) override {
    calls.push_back({Call::Kind::kStop, channel, {}});
    playing_.erase(channel);
  }
  bool Play(int channel, const std::string& path) override {
    calls.push_back({Call::Kind::kPlay, channel, path});
    if (refusePlay) return false;
    playing_[channel] = path;
    return true;
  }
  bool IsPlaying(int channel) const override { return playing_.contains(channel); }

  std::vector<Call> calls;
  bool refusePlay = false;  // Play fails (the file cannot be played)

 private:
  std::map<int, std::string> playing_;
};

}  // namespace hw::platform
