// The window program's frames, its own message boxes and the desktop's opener, under
// SDL's dummy drivers: when a frame is shown and when not, what a box shows and how it
// answers the mouse and the keys, and what the player learns when an address cannot be
// opened.

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include <gtest/gtest.h>

#include "platform/launcher.h"
#include "platform/sdl/sdl_event_loop.h"
#include "tests/support/temp_folder.h"
#include "ui/fonts.h"
#include "ui/game_table.h"
#include "ui/message_box.h"
#include "ui/program_desktop.h"

namespace hw::ui {
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

class SdlVideo {
 public:
  SdlVideo() { SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER); }
  ~SdlVideo() { SDL_Quit(); }
};

// ---- Frames

class FramesTest : public ::testing::Test {
 protected:
  SdlVideo video_;
  platform::SdlEventLoop loop_;
  int frames_ = 0;
  void SetUp() override {
    loop_.onFrame = [this] { ++frames_; };
    loop_.WaitSeconds(0.05);  // the first frame
    frames_ = 0;
  }
};

TEST_F(FramesTest, AnIdleWindowShowsNoFrames) {
  loop_.WaitSeconds(0.3);
  EXPECT_EQ(frames_, 0);
}

TEST_F(FramesTest, ChangesWithinOneFrameIntervalMakeOneFrame) {
  loop_.RequestFrame();
  loop_.RequestFrame();
  loop_.WaitSeconds(0.1);
  EXPECT_EQ(frames_, 1);
  loop_.WaitForFrame();
  EXPECT_EQ(frames_, 2) << "waiting for a frame waits for exactly one";
}

TEST_F(FramesTest, ATimerTickIsShownAndFramesKeepTheDisplaysPace) {
  // A timer every millisecond asks for a frame more than 200 times in 0.25 s; at 60 Hz
  // no more than 16 frames can be shown.
  auto timer = loop_.CreateTimer(1, [] {});
  timer->SetEnabled(true);
  loop_.WaitSeconds(0.25);
  timer->SetEnabled(false);
  EXPECT_GE(frames_, 5);
  EXPECT_LE(frames_, 17);
}

TEST_F(FramesTest, ALayerTakesTheEventsFirstAndDrawsAfterTheFrame) {
  std::vector<std::string> order;
  loop_.onFrame = [&] { order.push_back("frame"); };
  loop_.onEvent = [&](const SDL_Event&) { order.push_back("window"); };
  platform::SdlEventLoop::Layer layer;
  layer.filter = [&](const SDL_Event& event) {
    order.push_back("layer");
    return event.type == SDL_KEYDOWN;
  };
  layer.draw = [&] { order.push_back("layer draws"); };
  loop_.PushLayer(layer);
  SDL_Event key{};
  key.type = SDL_KEYDOWN;
  SDL_PushEvent(&key);
  SDL_Event user{};
  user.type = SDL_USEREVENT;
  SDL_PushEvent(&user);
  loop_.WaitForFrame();
  loop_.PopLayer();
  EXPECT_EQ(order, (std::vector<std::string>{"layer", "layer", "window", "frame", "layer draws"}));
}

// ---- One box

class MessageBoxTest : public ::testing::Test {
 protected:
  SdlVideo video_;
  FontLibrary fonts_;
  FontSource Fonts() {
    return [this](int size, bool bold) { return fonts_.GetOrNull(size, bold); };
  }
  MessageBox YesNo() {
    return MessageBox(Fonts(), "Velmaro",
                      "게임을 종료하시겠습니까?\r\n게임이 현재 진행중에 있습니다",
                      MessageIcon::kInformation, MessageButtons::kYesNo);
  }
  static SDL_Point Middle(const SDL_Rect& r) { return {r.x + r.w / 2, r.y + r.h / 2}; }
};

TEST_F(MessageBoxTest, ShowsTheCaptionTheLinesAndItsButtonsWithinItself) {
  const MessageBox box(Fonts(), "Velmaro",
                       "Quenrith 게임서버 접속에 실패하였습니다\r\n잠시후 다시 접속을 시도해주시기 "
                       "바랍니다  \r\n\r\n",
                       MessageIcon::kError, MessageButtons::kOk);
  EXPECT_EQ(box.Caption(), "Velmaro");
  EXPECT_EQ(box.Lines(), (std::vector<std::string>{"Quenrith 게임서버 접속에 실패하였습니다",
                                                   "잠시후 다시 접속을 시도해주시기 바랍니다  "}));
  ASSERT_EQ(box.ButtonCount(), 1);
  EXPECT_EQ(box.ButtonAnswer(0), MessageAnswer::kOk);
  const SDL_Rect ok = box.ButtonArea(0);
  EXPECT_GE(ok.x, 0);
  EXPECT_LE(ok.x + ok.w, box.Width());
  EXPECT_LE(ok.y + ok.h, box.Height());

  // The longest line fits inside the box, and the box draws no key colour.
  TTF_Font* font = fonts_.Get(13, false);
  EXPECT_LE(TextWidth(font, box.Lines()[1]) + 62, box.Width());
  Surface picture = box.Picture();
  ASSERT_TRUE(picture);
  int magenta = 0;
  for (int y = 0; y < picture->h; ++y) {
    for (int x = 0; x < picture->w; ++x) {
      Uint8 r, g, b;
      SDL_GetRGB(static_cast<const Uint32*>(picture->pixels)[y * (picture->pitch / 4) + x],
                 picture->format, &r, &g, &b);
      magenta += r == 255 && g == 0 && b == 255;
    }
  }
  EXPECT_EQ(magenta, 0);
}

TEST_F(MessageBoxTest, ALongAddressIsWrappedInsideTheBox) {
  const std::string address = "http://127.0.0.1:8410/" + std::string(200, 'a');
  const MessageBox box(Fonts(), "Velmaro", CannotOpenText(address), MessageIcon::kExclamation,
                       MessageButtons::kOk);
  std::string joined;
  for (const std::string& line : box.Lines()) {
    EXPECT_LE(TextWidth(fonts_.Get(13, false), line) + 62, box.Width()) << line;
    joined += line;
  }
  EXPECT_NE(joined.find(address), std::string::npos);
}

TEST_F(MessageBoxTest, EnterTakesTheFocusedButtonAndEscapeSaysNo) {
  MessageBox enter = YesNo();
  enter.KeyDown(SDLK_RETURN);
  EXPECT_EQ(enter.Answer(), MessageAnswer::kYes);

  MessageBox tab = YesNo();
  tab.KeyDown(SDLK_TAB);
  EXPECT_FALSE(tab.Answer());
  tab.KeyDown(SDLK_KP_ENTER);
  EXPECT_EQ(tab.Answer(), MessageAnswer::kNo);

  MessageBox escape = YesNo();
  escape.KeyDown(SDLK_ESCAPE);
  EXPECT_EQ(escape.Answer(), MessageAnswer::kNo);

  MessageBox ok(Fonts(), "설치에러", "x", MessageIcon::kError, MessageButtons::kOk);
  ok.KeyDown(SDLK_ESCAPE);
  EXPECT_EQ(ok.Answer(), MessageAnswer::kOk);
}

TEST_F(MessageBoxTest, AButtonActsOnReleaseOverTheButtonItWasPressedOn) {
  MessageBox box = YesNo();
  const SDL_Point yes = Middle(box.ButtonArea(0));
  const SDL_Point no = Middle(box.ButtonArea(1));
  box.MouseDown(yes.x, yes.y, SDL_BUTTON_RIGHT);
  box.MouseUp(yes.x, yes.y, SDL_BUTTON_RIGHT);
  EXPECT_FALSE(box.Answer()) << "the right button does nothing";
  box.MouseDown(yes.x, yes.y, SDL_BUTTON_LEFT);
  box.MouseUp(no.x, no.y, SDL_BUTTON_LEFT);
  EXPECT_FALSE(box.Answer()) << "pressed on 예, released on 아니요";
  box.MouseDown(no.x, no.y, SDL_BUTTON_LEFT);
  box.MouseUp(no.x, no.y, SDL_BUTTON_LEFT);
  EXPECT_EQ(box.Answer(), MessageAnswer::kNo);
}

TEST_F(MessageBoxTest, InAWindowTheBoxTakesThePressesAndAnswersWhenClicked) {
  platform::SdlEventLoop loop;
  WindowMessageBoxes boxes(loop, Fonts(), 800, 600);
  boxes.OpenWithoutScreen();
  bool boardGotAPress = false;
  loop.onEvent = [&](const SDL_Event& event) {
    if (boxes.HandleEvent(event)) return;
    boardGotAPress |= event.type == SDL_MOUSEBUTTONDOWN;
  };
  // Clicks at 예, once the box is open: the first in the corner of the window, which the
  // open box keeps from the board.
  loop.Post([&] {
    ASSERT_TRUE(boxes.IsOpen());
    const SDL_Rect area = boxes.TopArea();
    EXPECT_GT(area.x, 0);
    EXPECT_LE(area.x + area.w, 800);
    const SDL_Rect yes = boxes.Top()->ButtonArea(0);
    for (const SDL_Point at :
         {SDL_Point{5, 5}, SDL_Point{area.x + yes.x + yes.w / 2, area.y + yes.y + yes.h / 2}}) {
      for (const Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
        SDL_Event click{};
        click.type = type;
        click.button.button = SDL_BUTTON_LEFT;
        click.button.x = at.x;
        click.button.y = at.y;
        SDL_PushEvent(&click);
      }
    }
  });
  EXPECT_EQ(boxes.Show("Velmaro", "게임을 종료하시겠습니까?", MessageIcon::kInformation,
                       MessageButtons::kYesNo),
            MessageAnswer::kYes);
  EXPECT_FALSE(boxes.IsOpen());
  EXPECT_FALSE(boardGotAPress);
}

TEST_F(MessageBoxTest, ABoxStillOpenWhenTheProgramEndsAnswersNo) {
  platform::SdlEventLoop loop;
  WindowMessageBoxes boxes(loop, Fonts(), 800, 600);
  boxes.OpenWithoutScreen();
  loop.Post([&] { loop.Quit(); }, 0.05);
  EXPECT_EQ(boxes.Show("Velmaro", "?", MessageIcon::kQuestion, MessageButtons::kYesNo),
            MessageAnswer::kNo);
}

TEST_F(MessageBoxTest, WhereNobodyCanSeeABoxItsTextGoesToStderr) {
  platform::SdlEventLoop loop;
  OwnWindowMessageBoxes boxes(loop, Fonts());
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(boxes.Show("다운로드에러", "업데이트중 에러가 발생하였습니다", MessageIcon::kError,
                       MessageButtons::kOk),
            MessageAnswer::kOk);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "다운로드에러: 업데이트중 에러가 발생하였습니다\n");
}

// ---- Opening pages

// A stand-in for xdg-open: writes what it was given, then does what `then` says.
class OpenerTest : public ::testing::Test {
 protected:
  void Opener(const std::string& then) {
    const std::string script = bin_.Path() + "/opener";
    std::ofstream(script) << "#!/bin/sh\nprintf '%s' \"$1\" > " << Given() << ".part && mv "
                          << Given() << ".part " << Given() << "\n"
                          << then << "\n";
    chmod(script.c_str(), 0755);
  }
  std::string OpenerPath() const { return bin_.Path() + "/opener"; }
  std::string Given() const { return bin_.Path() + "/given"; }
  std::string ReadGiven() const {
    std::ifstream in(Given());
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  platform::WatchedStart::Outcome Watch(platform::WatchedStart& start) {
    for (int i = 0; i < 500; ++i) {
      const auto outcome = start.Poll();
      if (outcome != platform::WatchedStart::Outcome::kPending) return outcome;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return platform::WatchedStart::Outcome::kPending;
  }
  hw::testing::TempFolder bin_;
};

TEST_F(OpenerTest, AnOpenerThatEndsWellOrKeepsRunningHasOpened) {
  Opener("exit 0");
  platform::WatchedStart quick(OpenerPath(), {"https://example.com/a b;echo x"}, 3);
  EXPECT_EQ(Watch(quick), platform::WatchedStart::Outcome::kOpened);
  EXPECT_EQ(ReadGiven(), "https://example.com/a b;echo x") << "one argument, no shell";

  // Like a browser started in the foreground: still running after the patience.
  Opener("exec sleep 2");
  const auto start = std::chrono::steady_clock::now();
  platform::WatchedStart running(OpenerPath(), {"x"}, 0.3);
  EXPECT_EQ(Watch(running), platform::WatchedStart::Outcome::kOpened);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(OpenerTest, AnOpenerThatFailsOrIsMissingHasFailedAndSaysWhy) {
  Opener("exit 3");  // xdg-open: no program to open it with
  platform::WatchedStart failing(OpenerPath(), {"x"}, 3);
  EXPECT_EQ(Watch(failing), platform::WatchedStart::Outcome::kFailed);
  EXPECT_EQ(failing.Problem(), OpenerPath() + " ended with status 3");

  platform::WatchedStart missing(bin_.Path() + "/none", {"x"}, 3);
  EXPECT_EQ(Watch(missing), platform::WatchedStart::Outcome::kFailed);
  EXPECT_NE(missing.Problem().find("No such file"), std::string::npos) << missing.Problem();
}

// Records the boxes instead of showing them.
class RecordingBoxes final : public MessageBoxHost {
 public:
  MessageAnswer Show(std::string_view caption, std::string_view text, MessageIcon,
                     MessageButtons) override {
    shown.push_back(std::string(caption) + "|" + std::string(text));
    return MessageAnswer::kOk;
  }
  std::vector<std::string> shown;
};

TEST_F(OpenerTest, AnAddressTheDesktopCannotOpenIsShownAndLogged) {
  SdlVideo video;
  platform::SdlEventLoop loop;
  ProgramDesktop desktop(
      loop, [](int, bool) { return nullptr; }, "Velmaro");
  RecordingBoxes boxes;
  desktop.ShowBoxesIn(&boxes);
  std::vector<std::string> logged;
  desktop.onCannotOpen = [&](std::string_view address) { logged.emplace_back(address); };
  desktop.opener = OpenerPath();

  Opener("exit 0");
  EXPECT_TRUE(desktop.OpenWithShell("http://127.0.0.1:8410/sub/redir.asp?no=1"));
  EXPECT_TRUE(boxes.shown.empty());

  Opener("exit 4");
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(desktop.OpenWithShell("http://127.0.0.1:8410/sub/redir.asp?no=1"));
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("http://127.0.0.1:8410/sub/redir.asp?no=1"), std::string::npos) << said;
  EXPECT_EQ(logged, std::vector<std::string>{"http://127.0.0.1:8410/sub/redir.asp?no=1"});
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0],
            "Velmaro|" + CannotOpenText("http://127.0.0.1:8410/sub/redir.asp?no=1"));
}

// ---- Where the window stands

TEST(WindowPlaceTest, TheTitleStripStaysOnAnyScreen) {
  const SDL_Rect wide{0, 0, 1280, 1024};
  EXPECT_EQ(GameTable::ReachablePosition({240, 212}, wide).x, 240);
  EXPECT_EQ(GameTable::ReachablePosition({240, 212}, wide).y, 212);
  // A screen narrower and lower than the board: the exit button at its right edge, the
  // strip at its top.
  const SDL_Point narrow = GameTable::ReachablePosition({-40, -30}, {0, 0, 720, 540});
  EXPECT_EQ(narrow.x, 720 - 790);
  EXPECT_EQ(narrow.y, 0);
  // Dragged far off any side, it stops where the strip's buttons are still on screen.
  const SDL_Point right = GameTable::ReachablePosition({5000, 5000}, wide);
  EXPECT_EQ(right.x + 789, 1280 - 1);
  EXPECT_EQ(right.y, 1024 - 24);
  const SDL_Point left = GameTable::ReachablePosition({-5000, -5000}, {100, 50, 1280, 1024});
  EXPECT_EQ(left.x + 660, 100);
  EXPECT_EQ(left.y, 50);
}

}  // namespace
}  // namespace hw::ui
