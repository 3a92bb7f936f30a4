// The game window under SDL's dummy video and audio drivers: where the skin buttons
// are, what a click on a card does, the power bar, the hover and the Go effect control.

#include "ui/game_table.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/hand_setup.h"
#include "core/moves.h"
#include "core/startup.h"
#include "platform/fake/memory_settings_store.h"
#include "platform/fake/scripted_desktop.h"
#include "tests/support/deck_builder.h"
#include "ui/effect_control.h"

namespace hw::ui {
namespace {

using Button = GameTable::SkinButton;

TEST(SkinButtonTest, BothEndsOfEveryRangeBelongToTheButton) {
  struct Case {
    int x, y;
    Button button;
  };
  for (const Case& c : {Case{677, 451, Button::kChatStop}, Case{742, 473, Button::kChatStop},
                        Case{693, 4, Button::kMinimise},   Case{723, 23, Button::kMinimise},
                        Case{660, 4, Button::kOptions},    Case{690, 23, Button::kOptions},
                        Case{726, 4, Button::kMaximise},   Case{756, 23, Button::kMaximise},
                        Case{759, 4, Button::kExit},       Case{789, 23, Button::kExit},
                        Case{218, 373, Button::kStart},    Case{397, 428, Button::kStart},
                        Case{676, 451, Button::kNone},     Case{743, 473, Button::kNone},
                        Case{692, 10, Button::kNone},      Case{724, 10, Button::kNone},
                        Case{790, 10, Button::kNone},      Case{759, 24, Button::kNone},
                        Case{217, 400, Button::kNone},     Case{398, 400, Button::kNone},
                        Case{300, 372, Button::kNone},     Case{300, 429, Button::kNone}}) {
    EXPECT_EQ(GameTable::SkinButtonAt(c.x, c.y), c.button) << c.x << "," << c.y;
  }
}

// A real window (dummy driver) with a player sitting at the table.
class TableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sdl_ = std::make_unique<SdlSession>();
    modes_ = std::make_unique<ListedDisplayModes>(
        std::vector<DisplayMode>{{1024, 768, 32, 60}, {800, 600, 32, 60}},
        DisplayMode{1024, 768, 32, 60});
    display_ = std::make_unique<DisplayCheck>(*modes_, desktop_);
    ASSERT_TRUE(display_->Run());
    GameState state;
    StartupWorld world{settings_, files_, "http://127.0.0.1:8410/", {}};
    RunStartup(state, world);
    table_ = std::make_unique<GameTable>(std::move(state), loop_, settings_, *display_, *modes_,
                                         desktop_);
    Game& game = table_->game();
    PlayerInfoRecord& info = game.state.PlayerInfo;
    info.Name = "tester";
    info.Money = "500000";
    info.Avatar = 1;
    info.VoiceFolder = "M";
    info.Wins = info.Losses = info.Draws = info.MissionCount = "0";
    SetUpPlayer(game.state, kHuman, "tester", "M", "500000", 1, "0", "0", "0", kHumanSeat, "0");
    game.state.Room.OwnerName = "tester";
    game.state.Room.SeonName = "tester";
    game.state.Room.SoundOn = 'F';  // quiet and without the sounds' pauses
    game.state.Room.CardSpeed = 0;
    EnterRoom(game);
  }
  void TearDown() override {
    table_.reset();
    display_.reset();
    modes_.reset();
    sdl_.reset();
  }

  // Deals a hand in which the human is 선; no month is complete anywhere.
  void StartHand() {
    table_->game().nextDeck = testing::DeckFor(51)
                                  .Floor({1, 5, 10, 14, 18, 22, 26, 29})
                                  .FirstHand({8, 9, 12, 16, 20, 24, 36, 40, 44, 45})
                                  .Text();
    table_->game().nextMission = 8;
    table_->MouseDown(300, 400, MouseButton::kLeft);
    table_->MouseUp(300, 400, MouseButton::kLeft);
  }

  std::unique_ptr<SdlSession> sdl_;
  platform::SdlEventLoop loop_;
  platform::MemorySettingsStore settings_;
  platform::PosixFileSystem files_;
  platform::ScriptedDesktop desktop_;
  std::unique_ptr<ListedDisplayModes> modes_;
  std::unique_ptr<DisplayCheck> display_;
  std::unique_ptr<GameTable> table_;
};

TEST_F(TableTest, TheStartButtonDealsAndAClickOnAHandCardPlaysIt) {
  StartHand();
  const GameState& state = table_->game().state;
  ASSERT_EQ(state.Room.Status, 'S');
  ASSERT_EQ(state.Room.TurnPlayer, kHuman);

  // A computer's card does nothing.
  const BoardPoint computerCard = state.SeatCards[kComputerSeat].HandSlotPos[0];
  table_->MouseDown(computerCard.Left + 3, computerCard.Top + 3, MouseButton::kLeft);
  table_->MouseUp(computerCard.Left + 3, computerCard.Top + 3, MouseButton::kLeft);
  EXPECT_EQ(state.Room.HumanTurnMark, -1);

  // The right button does nothing either; the left one plays the card under the pointer.
  const int card = state.SeatCards[kHumanSeat].Hand[2];
  const SdlBoard::CardControl& control = table_->board().Card(card);
  table_->MouseDown(control.left + 5, control.top + 5, MouseButton::kRight);
  table_->MouseUp(control.left + 5, control.top + 5, MouseButton::kRight);
  EXPECT_EQ(state.Card(card).Location, kHuman);
  table_->MouseDown(control.left + 5, control.top + 5, MouseButton::kLeft);
  EXPECT_TRUE(table_->board().PowerBarShown());
  table_->MouseUp(control.left + 5, control.top + 5, MouseButton::kLeft);
  EXPECT_NE(state.Card(card).Location, kHuman);
  EXPECT_EQ(state.Room.HumanTurnMark, 0) << "a second click in the turn is not taken";
}

TEST_F(TableTest, ThePowerBarFillsGreenThenYellowThenRed) {
  StartHand();
  const GameState& state = table_->game().state;
  const int card = state.SeatCards[kHumanSeat].Hand[0];
  const SdlBoard::CardControl& control = table_->board().Card(card);
  table_->MouseDown(control.left + 5, control.top + 5, MouseButton::kLeft);
  // One segment every 30 ms; wait for the levels rather than for a time.
  auto reach = [this](int level) {
    for (int i = 0; i < 1000 && table_->controller().PowerLevel() < level; ++i) {
      loop_.WaitSeconds(0.01);
    }
    return table_->controller().PowerLevel() >= level;
  };
  const Rgb green{0, 255, 0}, yellow{255, 255, 0}, red{255, 0, 0};
  ASSERT_TRUE(reach(21));
  EXPECT_EQ(table_->board().PowerSegment(0), yellow);
  EXPECT_EQ(table_->board().PowerSegment(19), green);
  ASSERT_TRUE(reach(41));
  EXPECT_EQ(table_->board().PowerSegment(0), red);
  EXPECT_EQ(table_->board().PowerSegment(19), yellow);
  table_->MouseUp(control.left + 5, control.top + 5, MouseButton::kLeft);
  EXPECT_FALSE(table_->board().PowerBarShown());
}

TEST_F(TableTest, HoveringRaisesTheHumansCardBySixAndOnlyOnHisTurn) {
  StartHand();
  const GameState& state = table_->game().state;
  const int first = state.SeatCards[kHumanSeat].Hand[0];
  const int second = state.SeatCards[kHumanSeat].Hand[1];
  const SdlBoard::CardControl a = table_->board().Card(first);
  table_->MouseMove(a.left + 3, a.top + 30);
  EXPECT_EQ(table_->board().Card(first).lift, 6);
  const SdlBoard::CardControl b = table_->board().Card(second);
  table_->MouseMove(b.left + 30, b.top + 30);
  EXPECT_EQ(table_->board().Card(first).lift, 0);
  EXPECT_EQ(table_->board().Card(second).lift, 6);
  table_->MouseMove(400, 300);  // off the hand
  EXPECT_EQ(table_->board().Card(second).lift, 0);
}

TEST_F(TableTest, ExitDuringAHandAsksAndNoChangesNothing) {
  StartHand();
  desktop_.answers = {platform::MessageAnswer::kNo};
  table_->MouseDown(770, 10, MouseButton::kLeft);
  ASSERT_EQ(desktop_.shown.size(), 1u);
  EXPECT_EQ(desktop_.shown[0].text, "게임을 종료하시겠습니까?\r\n게임이 현재 진행중에 있습니다");
  EXPECT_EQ(desktop_.shown[0].caption, "Velmaro");
  EXPECT_FALSE(table_->controller().Unloaded());
  EXPECT_EQ(table_->game().state.Room.Status, 'S');

  desktop_.answers = {platform::MessageAnswer::kYes};
  table_->MouseDown(770, 10, MouseButton::kLeft);
  EXPECT_TRUE(table_->controller().Unloaded());
  EXPECT_EQ(settings_.Read("Marrowlyn", "QuenrithVelmaro", "PSpeed"), "0")
      << "the card speed is saved on leaving";
}

TEST_F(TableTest, TheOptionsButtonWaitsForTheDialogAndItsClicksReachIt) {
  auto click = [this](const SDL_Rect& r) {
    SDL_Event event{};
    event.button.button = SDL_BUTTON_LEFT;
    event.button.x = r.x + r.w / 2;
    event.button.y = r.y + r.h / 2;
    for (const Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
      event.type = type;
      table_->HandleEvent(event);
    }
  };
  // While the dialog is open the clicks go to it: sound off, the second stake, apply.
  loop_.Post(
      [&] {
        EXPECT_TRUE(table_->options().IsOpen());
        click(SdlOptionsWindow::kSoundOff);
        click(SdlOptionsWindow::kStakeList);
        click(SdlOptionsWindow::ListItem(SdlOptionsWindow::Combo::kStake, 1));
        click(SdlOptionsWindow::kApply);
      },
      0.2);
  table_->MouseDown(675, 10, MouseButton::kLeft);
  EXPECT_FALSE(table_->options().IsOpen());
  EXPECT_EQ(table_->game().state.Room.SoundOn, 'F');
  EXPECT_EQ(table_->game().state.Room.StakeText, "300");
}

TEST_F(TableTest, AFrameShowsTheBoardAndTheCards) {
  StartHand();
  const std::string path = ::testing::TempDir() + "/frame.png";
  ASSERT_TRUE(table_->SaveScreenshot(path));
  Surface shot = LoadPicture(path);
  ASSERT_TRUE(shot);
  EXPECT_EQ(shot->w, 800);
  // The top-left corner is the board's own picture; a human's card shows its face.
  Surface board = LoadPicture(table_->game().state.SkinImages[17]);
  auto pixel = [](const SDL_Surface* s, int x, int y) {
    return static_cast<const Uint32*>(s->pixels)[y * (s->pitch / 4) + x] & 0xFFFFFFu;
  };
  EXPECT_EQ(pixel(shot.get(), 2, 300), pixel(board.get(), 2, 300));
  const int card = table_->game().state.SeatCards[kHumanSeat].Hand[0];
  const SdlBoard::CardControl& control = table_->board().Card(card);
  Surface face = LoadPicture(table_->game().state.SkinImages[21]);
  const int cell = FaceImage(card) - 1;
  EXPECT_EQ(pixel(shot.get(), control.left + 18, control.top + 27),
            pixel(face.get(), (cell % 15) * 36 + 18, (cell / 15) * 55 + 27));
}

TEST(EffectControlTest, ATiledPictureCoversTheControl) {
  SdlSession sdl;
  Surface tile = NewSurface(30, 20, {10, 20, 30});
  Fill(tile.get(), {0, 0, 1, 1}, {200, 0, 0});  // a mark at each tile's corner
  컨트롤_효과 control;
  control.Move(0, 0, 100, 50);
  control.SetPicture(std::move(tile));
  const SDL_Surface* composed = control.Composed();
  ASSERT_NE(composed, nullptr);
  auto red = [composed](int x, int y) {
    Uint8 r, g, b;
    SDL_GetRGB(static_cast<const Uint32*>(composed->pixels)[y * (composed->pitch / 4) + x],
               composed->format, &r, &g, &b);
    return r == 200;
  };
  for (const int x : {0, 30, 60, 90}) {
    for (const int y : {0, 20, 40})
      EXPECT_TRUE(red(x, y)) << x << "," << y;
  }
  EXPECT_FALSE(red(29, 0));
  EXPECT_EQ(control.TransparentColor(), (Rgb{200, 0, 0})) << "taken from the top-left pixel";

  control.SetStyle(컨트롤_효과::kOwnSize);
  EXPECT_EQ(control.Bounds().w, 30);
  EXPECT_EQ(control.Bounds().h, 20);
}

}  // namespace
}  // namespace hw::ui
