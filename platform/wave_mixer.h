#pragma once
// Several WAV files sounding at once, one per numbered channel.

#include <string>

namespace hw::platform {

inline constexpr int kMixerChannels = 5;

// Several WAV files at once, one per channel.
class WaveMixer {
 public:
  virtual ~WaveMixer() = default;
  // Ends whatever the channel is playing.
  virtual void Stop(int channel) = 0;
  // Plays the WAV file once on the channel. False when it cannot be played.
  virtual bool Play(int channel, const std::string& path) = 0;
  virtual bool IsPlaying(int channel) const = 0;
};

}  // namespace hw::platform
