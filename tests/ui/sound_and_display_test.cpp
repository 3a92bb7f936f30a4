#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <thread>

#include "mainwindow/display_check.h"
#include "platform/fake/listed_display_modes.h"
#include "platform/fake/recording_wave_mixer.h"
#include "platform/fake/scripted_desktop.h"
#include "platform/file_system.h"
#include "platform/sdl/sdl_display_modes.h"
#include "platform/sdl/sdl_wave_mixer.h"
#include "tests/support/temp_folder.h"
#include "ui/game_sound.h"

namespace hw::ui {
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;
using Call = platform::RecordingWaveMixer::Call;
constexpr Call::Kind kStop = Call::Kind::kStop;
constexpr Call::Kind kPlay = Call::Kind::kPlay;

// Sets an environment variable (removes it, with nullptr) for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// A WAV file of `seconds` of silence: 16-bit mono PCM at 22050 Hz.
void WriteWav(const std::string& path, double seconds) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  const std::uint32_t bytes = static_cast<std::uint32_t>(seconds * 22050) * 2;
  std::ofstream out(path, std::ios::binary);
  for (std::uint32_t word : {0x46464952u, 36 + bytes, 0x45564157u, 0x20746d66u, 16u, 0x10001u,
                             22050u, 44100u, 0x100002u, 0x61746164u, bytes}) {
    out.write(reinterpret_cast<const char*>(&word), 4);  // little-endian machine
  }
  out << std::string(bytes, '\0');
}

class GameSoundTest : public ::testing::Test {
 protected:
  GameSoundTest() { state.GameInfo.ProgramFolder = folder.Path() + "/"; }
  std::string SoundFile(const std::string& relative, double seconds = 0.1) {
    const std::string path = folder.Path() + "/sounds/" + relative;
    WriteWav(path, seconds);
    return path;
  }

  hw::testing::TempFolder folder;
  GameState state;
  platform::PosixFileSystem files{folder.Path()};
  platform::VirtualEventLoop loop;
  platform::RecordingWaveMixer mixer;
  GameSoundPlayer player{state, mixer, files, loop};
};

TEST_F(GameSoundTest, SkippedSoundsNeverWait) {
  const std::string chak = SoundFile("CHAK.wav");
  state.Room.SoundOn = 'F';
  player.PlayGameSound("CHAK", 3, true, "", 0.3);
  state.Room.SoundOn = 'T';
  player.PlayGameSound("KISS", 3, true, "", 0.3);  // no such file
  mixer.refusePlay = true;                         // a file the mixer cannot play
  player.PlayGameSound("CHAK", 3, true, "", 0.5);
  EXPECT_EQ(mixer.calls, (std::vector<Call>{{kStop, 3, ""}, {kPlay, 3, chak}}));
  EXPECT_EQ(loop.NowMicros(), 0);
}

TEST_F(GameSoundTest, StopsTheChannelThenPlaysTheNamedFileOrThePlayersVoice) {
  const std::string click = SoundFile("CLICK.wav");
  const std::string go3 = SoundFile("M/GO3.wav");
  SoundFile("GO3.wav");
  player.PlayGameSound("CLICK", 1, false, "", 0.3);
  player.PlayGameSound("GO" + std::to_string(3), 0, false, "M", 0.3);
  EXPECT_EQ(mixer.calls, (std::vector<Call>{
                             {kStop, 1, ""}, {kPlay, 1, click}, {kStop, 0, ""}, {kPlay, 0, go3}}));
  EXPECT_EQ(loop.NowMicros(), 0);
}

TEST_F(GameSoundTest, WaitLetsTimersTick) {
  SoundFile("CHAK.wav");
  int ticks = 0;
  auto timer = loop.CreateTimer(100, [&ticks] { ++ticks; });
  timer->SetEnabled(true);
  player.PlayGameSound("CHAK", 3, true, "", 0.5);
  EXPECT_EQ(loop.NowMicros(), 500'000);
  EXPECT_EQ(ticks, 5);
}

std::atomic<int> endedOnChannel[platform::kMixerChannels];
void CountEnded(int channel) {
  ++endedOnChannel[channel];
}

TEST_F(GameSoundTest, SdlMixerRestartsAChannelWhileAnotherKeepsPlaying) {
  ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  const std::string click = SoundFile("CLICK.wav", 3);
  SoundFile("M/AHH.wav", 3);
  platform::SdlWaveMixer sdl;
  ASSERT_FALSE(sdl.Silent()) << sdl.Problem();
  GameSoundPlayer sounds{state, sdl, files, loop};
  for (auto& count : endedOnChannel)
    count = 0;
  Mix_ChannelFinished(CountEnded);

  sounds.PlayGameSound("AHH", 0, false, "M", 0.3);
  sounds.PlayGameSound("CLICK", 1, false, "", 0.3);
  sounds.PlayGameSound("CLICK", 1, false, "", 0.3);
  EXPECT_EQ(endedOnChannel[1], 1);  // the first click was cut off
  EXPECT_EQ(endedOnChannel[0], 0);
  EXPECT_TRUE(sdl.IsPlaying(0) && sdl.IsPlaying(1));
  EXPECT_FALSE(sdl.IsPlaying(3));

  std::filesystem::remove(click);
  EXPECT_TRUE(sdl.Play(1, click));  // loaded once, played from memory
  EXPECT_FALSE(sdl.Play(2, folder.Path() + "/sounds/NONE.wav"));
  EXPECT_FALSE(sdl.Play(platform::kMixerChannels, folder.Path() + "/sounds/M/AHH.wav"));
  Mix_ChannelFinished(nullptr);
}

TEST_F(GameSoundTest, WithoutAnAudioDeviceTheGameGoesOnSilently) {
  ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
  SoundFile("CHAK.wav");
  platform::SdlWaveMixer sdl;
  EXPECT_TRUE(sdl.Silent());
  EXPECT_FALSE(sdl.Problem().empty());
  GameSoundPlayer sounds{state, sdl, files, loop};
  sounds.PlayGameSound("CHAK", 3, true, "", 0.3);
  EXPECT_FALSE(sdl.IsPlaying(3));
  EXPECT_EQ(loop.NowMicros(), 300'000);  // the game keeps its rhythm
}

// ---- Display modes

constexpr platform::DisplayMode k640{640, 480, 32, 60};
constexpr platform::DisplayMode k800{800, 600, 32, 60};
constexpr platform::DisplayMode k1024{1024, 768, 32, 60};

class DisplayCheckTest : public ::testing::Test {
 protected:
  void ExpectShown(std::size_t i, const std::string& caption, const std::string& text,
                   MessageIcon icon) {
    EXPECT_EQ(desktop.shown[i].caption, caption);
    EXPECT_EQ(desktop.shown[i].text, text);
    EXPECT_EQ(desktop.shown[i].icon, icon);
  }

  platform::ListedDisplayModes screen;
  platform::ScriptedDesktop desktop;
  int redraws = 0;
  DisplayCheck check{screen, desktop, [this] { ++redraws; }};
};

TEST_F(DisplayCheckTest, WideDesktopPassesWithoutAQuestion) {
  screen = {{k1024, {640, 480, 8, 1}, {1024, 768, 16, 60}}, {1024, 768, 16, 60}};
  EXPECT_TRUE(check.Run());
  EXPECT_TRUE(desktop.shown.empty());
  EXPECT_EQ(check.DisplayModeList(),
            (std::vector<std::string>{"1024 x 768, 32bit color, 60 Hz",
                                      "640 x 480, 256 colors, (Hardware default)",
                                      "1024 x 768, 24bit color, 60 Hz"}));
  EXPECT_EQ(check.DesktopModeIndex(), 2);
  EXPECT_EQ(check.CurrentModeText(), check.DisplayModeList()[2]);
  const ScreenMetrics& metrics = check.ScreenMetrics();
  EXPECT_EQ(
      std::vector({metrics.ScreenWidth, metrics.ScreenHeight, metrics.Width800, metrics.Height600}),
      std::vector({15360, 11520, 12000, 9000}));
}

TEST_F(DisplayCheckTest, NarrowDesktopEndsTheProgramUnlessSwitched) {
  screen = {{k640, k800}, k640};
  desktop.answers = {MessageAnswer::kNo};
  EXPECT_FALSE(check.Run());
  ASSERT_EQ(desktop.shown.size(), 2u);
  ExpectShown(0, "해상도변경",
              "회원님의 해상도가 현재 800 x 600 이하로 설정되어있습니다    \r\n"
              "지금 800 x 600 해상도로 변경하시겠습니까?   ",
              MessageIcon::kInformation);
  EXPECT_EQ(desktop.shown[0].buttons, MessageButtons::kYesNo);
  ExpectShown(1, "해상도 변경에러",
              "죄송합니다\r\n\r\n해상도를 변경하신후에 다시 접속해 주시기 바랍니다",
              MessageIcon::kInformation);
  EXPECT_TRUE(screen.applied.empty());

  desktop.answers = {MessageAnswer::kYes};
  EXPECT_TRUE(check.Run());
  EXPECT_TRUE(check.ModeSwitched());
  EXPECT_EQ(check.CurrentModeIndex(), 1);
  EXPECT_EQ(check.ScreenMetrics().ScreenWidth, check.ScreenMetrics().Width800);
}

TEST_F(DisplayCheckTest, Only16Colours800x600IsNotSupported) {
  screen = {{{800, 600, 4, 0}, k1024}, k1024};
  ASSERT_TRUE(check.Run());
  EXPECT_EQ(check.DisplayModeList()[0], "800 x 600, 16 colors, (Hardware default)");
  check.SwitchDisplay(true);
  ASSERT_EQ(desktop.shown.size(), 1u);
  ExpectShown(0, "Velmaro", "800 x 600 해상도를 지원하지 않습니다   ", MessageIcon::kError);
  EXPECT_FALSE(check.ModeSwitched());
  EXPECT_TRUE(screen.applied.empty());
}

TEST_F(DisplayCheckTest, TheScanFromTheLastRowPicksThe800x600Mode) {
  screen = {{{800, 600, 24, 60}, k1024, {800, 600, 32, 60}}, k1024};
  ASSERT_TRUE(check.Run());
  check.SwitchDisplay(true);
  EXPECT_EQ(check.CurrentModeText(), "800 x 600, 32bit color, 60 Hz");

  platform::ListedDisplayModes reversedScreen{{{800, 600, 32, 60}, k1024, {800, 600, 24, 60}},
                                              k1024};
  DisplayCheck reversed{reversedScreen, desktop};
  ASSERT_TRUE(reversed.Run());
  reversed.SwitchDisplay(true);
  EXPECT_EQ(reversed.CurrentModeText(), "800 x 600, 24bit color, 60 Hz");
}

TEST_F(DisplayCheckTest, SwitchingTwiceReturnsToTheDesktopModeAndARefusalChangesNothing) {
  screen = {{k800, k1024}, k1024};
  ASSERT_TRUE(check.Run());
  check.SwitchDisplay(false);  // nothing to return from
  check.SwitchDisplay(true);
  EXPECT_TRUE(check.ModeSwitched());
  check.SwitchDisplay(true);
  EXPECT_FALSE(check.ModeSwitched());
  EXPECT_EQ(check.CurrentModeIndex(), 1);
  EXPECT_EQ(redraws, 2);

  screen.refuse = true;
  check.SwitchDisplay(true);
  EXPECT_EQ(screen.applied, (std::vector<int>{0, 1, 0}));
  EXPECT_TRUE(check.ModeSwitched());
  EXPECT_EQ(check.CurrentModeText(), "1024 x 768, 32bit color, 60 Hz");
  EXPECT_EQ(redraws, 2);
}

TEST_F(DisplayCheckTest, AnUnknownDesktopModeIsReportedAndSkipsTheCheck) {
  screen = {{k800}, k640};
  EXPECT_TRUE(check.Run());
  EXPECT_EQ(check.DesktopModeIndex(), -1);
  platform::ListedDisplayModes broken;
  broken.failure = platform::DisplayModeError(7, "no screen");
  DisplayCheck failing{broken, desktop};
  EXPECT_TRUE(failing.Run());
  ASSERT_EQ(desktop.shown.size(), 2u);
  ExpectShown(0, "해상도 로딩에러",
              "로컬컴퓨터의 현재 해상도설정을 불러오는데 에러가 발생하였습니다",
              MessageIcon::kError);
  ExpectShown(1, "해상도 로딩에러", "해상도로딩에러:(7)  no screen", MessageIcon::kError);
  check.SwitchDisplay(true);   // the table still serves
  check.SwitchDisplay(false);  // but there is no desktop mode to return to
  EXPECT_EQ(screen.applied, std::vector<int>{0});
}

TEST(SdlDisplayModes, TheDummyDriverOffersOneMode) {
  ScopedEnv driver("SDL_VIDEODRIVER", "dummy");
  platform::SdlDisplayModes modes;
  platform::ScriptedDesktop desktop;
  DisplayCheck check{modes, desktop};
  EXPECT_TRUE(check.Run());
  EXPECT_TRUE(desktop.shown.empty());
  ASSERT_EQ(check.DisplayModeList().size(), 1u);
  EXPECT_EQ(check.DisplayModeList()[0].rfind("1024 x 768, ", 0), 0u);
  EXPECT_FALSE(modes.Apply(0));  // no window to show the mode in

  std::unique_ptr<SDL_Window, decltype(&SDL_DestroyWindow)> window(
      SDL_CreateWindow("board", 0, 0, 800, 600, SDL_WINDOW_HIDDEN), SDL_DestroyWindow);
  ASSERT_NE(window, nullptr) << SDL_GetError();
  modes.SetWindow(window.get());
  EXPECT_TRUE(check.SetDisplayMode(0));  // the desktop's own mode: not fullscreen
  EXPECT_EQ(SDL_GetWindowFlags(window.get()) & SDL_WINDOW_FULLSCREEN, 0u);
}

}  // namespace
}  // namespace hw::ui
