#include "ui/game_sound.h"

#include "mainwindow/startup.h"

namespace hw::ui {

// ---- GameSoundPlayer

std::string GameSoundPlayer::SoundPath(std::string_view name, std::string_view voiceFolder) const {
  std::string path = AppFolder(state_.GameInfo) + "sounds/";
  if (!voiceFolder.empty()) {
    path += voiceFolder;
    path += '/';
  }
  path += name;
  path += ".wav";
  return path;
}

void GameSoundPlayer::PlayGameSound(std::string_view name, int channel, bool wait,
                                    std::string_view voiceFolder, double delaySeconds) {
  try {
    if (state_.Room.SoundOn != 'T') return;
    const std::string path = SoundPath(name, voiceFolder);
    if (!files_.Exists(path)) return;
    mixer_.Stop(channel);
    if (!mixer_.Play(channel, path)) return;
  } catch (...) {
    return;  // a sound never stops the game
  }
  // Outside the guard: what the events do during the wait is theirs to answer for.
  if (wait && delaySeconds > 0) loop_.WaitSeconds(delaySeconds);
}

}  // namespace hw::ui
