#pragma once
// The world of a game without a window: a board and dialogs that draw nothing, a sound
// player and a message log that only write down (or fingerprint) what they are asked,
// and a desktop that answers every question with No.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "hand/effects.h"
#include "hand/quiet_board.h"
#include "mainwindow/dialog_controllers.h"
#include "platform/desktop.h"
#include "platform/event_loop.h"

namespace hw::replay {

// A 64-bit fingerprint of everything that passes, in order (FNV-1a over 8-byte words).
class Fingerprint {
 public:
  // Each word holds the next 8 bytes of the text as memory holds them; the last one,
  // shorter, is padded with zero bytes.
  void Add(std::string_view text) {
    // Mixed in a local: the text's bytes might alias the member, which would then be
    // stored and read back at every word.
    std::uint64_t hash = hash_;
    const char* data = text.data();
    std::size_t left = text.size();
    for (; left >= 8; left -= 8, data += 8) {
      std::uint64_t word;
      std::memcpy(&word, data, 8);
      hash = Mixed(hash, word);
    }
    if (left > 0) hash = Mixed(hash, Tail(data, left));
    hash_ = Mixed(hash, text.size());  // ends each piece, so "ab"+"c" differs from "a"+"bc"
  }
  void Add(long long number) {
    hash_ = Mixed(hash_, static_cast<std::uint64_t>(number) ^ 0x9e3779b97f4a7c15ULL);
  }
  std::uint64_t Value() const { return hash_; }

 private:
  static std::uint64_t Mixed(std::uint64_t hash, std::uint64_t word) {
    return (hash ^ word) * 0x100000001b3ULL;
  }
  // The 1 to 7 bytes at `data` as a zero-padded word, as copying them into a zeroed
  // word would leave it (without a call to a copy routine of variable length).
  static std::uint64_t Tail(const char* data, std::size_t n) {
    std::uint64_t word = 0;
    if constexpr (std::endian::native == std::endian::little) {
      const auto byte = [data](std::size_t i) {
        return static_cast<std::uint64_t>(static_cast<unsigned char>(data[i]));
      };
      if (n >= 4) {  // two overlapping 4-byte loads: the shared bytes agree
        std::uint32_t low, high;
        std::memcpy(&low, data, 4);
        std::memcpy(&high, data + n - 4, 4);
        word = low | static_cast<std::uint64_t>(high) << (8 * (n - 4));
      } else {  // 1 to 3 bytes: the first, the middle and the last
        word = byte(0) | byte(n / 2) << (8 * (n / 2)) | byte(n - 1) << (8 * (n - 1));
      }
    } else {
      std::memcpy(&word, data, n);
    }
    return word;
  }
  std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

class QuietDialogs final : public DialogView {
 public:
  void Open(DialogKind) override {}
  void Close(DialogKind) override {}
  void DrawCountdown(DialogKind, int) override {}
  void DrawButton(DialogKind, int, bool) override {}
  void DrawChoiceCard(int, bool) override {}
};

// Keeps the lines (or, when `keep` is off, only their fingerprint).
class HeadlessLog final : public MessageLog {
 public:
  void AppendLog(std::string_view, std::string_view text, Rgb, bool) override {
    fingerprint.Add(text);
    if (keep) lines.emplace_back(text);
  }
  bool keep = true;
  std::vector<std::string> lines;
  Fingerprint fingerprint;
};

// Every sound as NAME@channel or NAME@channel/folder. A sound that asks for a pause
// pauses on the loop's clock, as it would with the sound on.
class HeadlessSound final : public SoundPlayer {
 public:
  explicit HeadlessSound(platform::EventLoop& loop) : loop_(loop) {}
  void PlayGameSound(std::string_view name, int channel, bool wait, std::string_view voiceFolder,
                     double delaySeconds) override {
    fingerprint.Add(name);
    fingerprint.Add(channel);
    if (!voiceFolder.empty()) fingerprint.Add(voiceFolder);
    if (keep) Keep(name, channel, voiceFolder);
    if (wait) loop_.WaitSeconds(delaySeconds);
  }
  bool keep = true;
  std::vector<std::string> played;
  Fingerprint fingerprint;

 private:
  // Out of line, so that a sound only fingerprinted costs no more than that.
  [[gnu::noinline]] void Keep(std::string_view name, int channel, std::string_view voiceFolder) {
    const char at[] = {'@', static_cast<char>('0' + channel)};
    std::string entry(name);
    entry.append(at, 2);
    if (!voiceFolder.empty()) {
      entry += '/';
      entry += voiceFolder;
    }
    played.push_back(std::move(entry));
  }
  platform::EventLoop& loop_;
};

class NoDesktop final : public platform::Desktop {
 public:
  platform::MessageAnswer ShowMessage(std::string_view, std::string_view text,
                                      platform::MessageIcon,
                                      platform::MessageButtons buttons) override {
    messages.emplace_back(text);
    return buttons == platform::MessageButtons::kOk ? platform::MessageAnswer::kOk
                                                    : platform::MessageAnswer::kNo;
  }
  bool OpenWithShell(std::string_view) override { return false; }
  std::vector<std::string> messages;
};

}  // namespace hw::replay
