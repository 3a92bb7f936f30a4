#include "platform/sdl/sdl_wave_mixer.h"

#include <SDL.h>

namespace hw::platform {

// The open audio device: SDL's audio subsystem and SDL_mixer with the game's channels,
// closed again in reverse order.
class SdlWaveMixer::AudioDevice {
 public:
  // Null, with the reason in `problem`, when no device can be opened.
  static std::unique_ptr<AudioDevice> Open(std::string& problem) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      problem = SDL_GetError();
      return nullptr;
    }
    if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
      problem = Mix_GetError();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return nullptr;
    }
    Mix_AllocateChannels(kMixerChannels);
    return std::unique_ptr<AudioDevice>(new AudioDevice);
  }
  ~AudioDevice() {
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  AudioDevice(const AudioDevice&) = delete;
  AudioDevice& operator=(const AudioDevice&) = delete;

 private:
  AudioDevice() = default;
};

SdlWaveMixer::SdlWaveMixer() : audio_(AudioDevice::Open(problem_)) {}

SdlWaveMixer::~SdlWaveMixer() {
  // The chunks go before the device, which the member order also ensures; halting first
  // keeps the mixer from reading a chunk while it is freed.
  if (audio_ != nullptr) Mix_HaltChannel(-1);
  chunks_.clear();
}

void SdlWaveMixer::Stop(int channel) {
  if (audio_ != nullptr && ValidChannel(channel)) Mix_HaltChannel(channel);
}

bool SdlWaveMixer::Play(int channel, const std::string& path) {
  if (!ValidChannel(channel)) return false;
  if (audio_ == nullptr) return true;  // silent: accepted, not heard
  auto found = chunks_.find(path);
  if (found == chunks_.end()) {
    ChunkPtr chunk(Mix_LoadWAV(path.c_str()));
    if (chunk == nullptr) return false;
    found = chunks_.emplace(path, std::move(chunk)).first;
  }
  return Mix_PlayChannel(channel, found->second.get(), 0) == channel;
}

bool SdlWaveMixer::IsPlaying(int channel) const {
  return audio_ != nullptr && ValidChannel(channel) && Mix_Playing(channel) != 0;
}

}  // namespace hw::platform
