// The game window under SDL's dummy video and audio drivers: where the skin buttons
// are, what a click on a card does, the power bar, the hover, the keys, the deal as the
// frames show it, the player panels and the Go effect control.

#include "ui/game_table.h"

#include <gtest/gtest.h>

#include <memory>

#include "hand/hand_setup.h"
#include "hand/moves.h"
#include "mainwindow/login_form.h"
#include "mainwindow/startup.h"
#include "platform/fake/fake_http_client.h"
#include "platform/fake/listed_display_modes.h"
#include "platform/fake/memory_settings_store.h"
#include "platform/fake/scripted_desktop.h"
#include "tests/support/deck_builder.h"
#include "ui/animation.h"
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
    modes_ = std::make_unique<platform::ListedDisplayModes>(
        std::vector<platform::DisplayMode>{{1024, 768, 32, 60}, {800, 600, 32, 60}},
        platform::DisplayMode{1024, 768, 32, 60});
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
  std::unique_ptr<platform::ListedDisplayModes> modes_;
  std::unique_ptr<DisplayCheck> display_;
  std::unique_ptr<GameTable> table_;
};

TEST_F(TableTest, TheStartButtonDealsAndAClickOnAHandCardPlaysIt) {
  StartHand();
  const GameState& state = table_->game().state;
  ASSERT_TRUE(state.Room.HandRunning);
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
  EXPECT_TRUE(table_->game().state.Room.HandRunning);

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

// The pixels of a picture's rectangle, for comparing what a frame showed with a skin picture.
std::vector<Uint32> Pixels(const SDL_Surface* picture, const SDL_Rect& area) {
  std::vector<Uint32> pixels;
  for (int y = area.y; y < area.y + area.h; ++y) {
    for (int x = area.x; x < area.x + area.w; ++x)
      pixels.push_back(static_cast<const Uint32*>(picture->pixels)[y * (picture->pitch / 4) + x] &
                       0xFFFFFFu);
  }
  return pixels;
}

TEST_F(TableTest, TheTitleStripShowsItsButtonsAndTheStartButtonComesBackAfterAHand) {
  const GameState& state = table_->game().state;
  Surface skinPictures[] = {LoadPicture(state.SkinImages[15]), LoadPicture(state.SkinImages[2]),
                            LoadPicture(state.SkinImages[1]), LoadPicture(state.SkinImages[0])};
  Surface start = LoadPicture(state.SkinImages[4]);
  auto shows = [&](const char* name) {
    const std::string path = ::testing::TempDir() + "/" + name + ".png";
    EXPECT_TRUE(table_->SaveScreenshot(path));
    Surface shot = LoadPicture(path);
    // Options, minimise, maximise, exit: each in its normal face, at its place.
    const int places[] = {660, 693, 726, 759};
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(Pixels(shot.get(), {places[i], 4, 31, 19}),
                Pixels(skinPictures[i].get(), {0, 0, 31, 19}))
          << name << ": title button at x " << places[i];
    }
    return Pixels(shot.get(), {229, 366, 179, 55}) == Pixels(start.get(), {0, 0, 179, 55});
  };
  EXPECT_TRUE(shows("waiting-room")) << "the start button in the waiting room";
  StartHand();
  EXPECT_FALSE(shows("hand")) << "the hand is played where the start button stood";
  table_->controller().OpenResultDialog();
  table_->controller().CloseDialog(DialogKind::kResult);
  EXPECT_FALSE(state.Room.HandRunning);
  EXPECT_TRUE(shows("after-the-hand")) << "the start button is back for the next hand";
}

TEST_F(TableTest, EveryStepOfTheDealIsShownWithItsCardsInSight) {
  // Each frame notes where the first card dealt to the floor is and whether it shows.
  GameState& state = table_->game().state;
  state.Room.CardSpeed = 80;
  struct Seen {
    bool visible;
    int left, top;
  };
  std::vector<Seen> frames;
  const int floorCard = 1;  // dealt first, to floor slot 0
  auto present = loop_.onFrame;
  loop_.onFrame = [&] {
    const SdlBoard::CardControl& c = table_->board().Card(floorCard);
    frames.push_back({c.visible, c.left, c.top});
    present();
  };
  StartHand();
  loop_.onFrame = present;
  ASSERT_EQ(state.Card(floorCard).FloorSlot, 0);

  // The floor's first four cards take turns from the pile to their slots: the card is
  // seen at every one of its steps, between the pile and its slot, and never jumps.
  const BoardPoint slot{state.FloorSlots[0].Left, state.FloorSlots[0].Top};
  std::vector<Seen> travel;
  for (const Seen& f : frames) {
    if (f.visible && (f.left != slot.Left || f.top != slot.Top)) travel.push_back(f);
  }
  const int speed = DealStepLength(80, true);
  const int steps = (std::max(std::abs(258 - slot.Left), std::abs(255 - slot.Top)) + speed) / speed;
  ASSERT_GE(static_cast<int>(travel.size()), steps - 1);
  for (std::size_t i = 1; i < travel.size(); ++i) {
    EXPECT_LE(std::abs(travel[i].left - travel[i - 1].left), speed);
    EXPECT_LE(std::abs(travel[i].top - travel[i - 1].top), speed);
  }
}

TEST_F(TableTest, AMinimiseTheWindowSystemDidNotCarryOutAnswersNothingByItself) {
  // No window manager here: the minimise button asks, nothing happens.
  table_->MouseDown(700, 10, MouseButton::kLeft);
  EXPECT_FALSE(table_->controller().IsMinimised());
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = SDL_WINDOWEVENT_MINIMIZED;
  table_->HandleEvent(event);
  EXPECT_TRUE(table_->controller().IsMinimised());
  event.window.event = SDL_WINDOWEVENT_RESTORED;
  table_->HandleEvent(event);
  EXPECT_FALSE(table_->controller().IsMinimised());
}

TEST_F(TableTest, KeysTypedIntoTheLoginWindowStayThere) {
  platform::FakeHttpClient http(loop_);
  portal::LoginForm login(table_->game(), http, settings_, table_->opponents(),
                          DisplayCheck::PlatformCode());
  table_->OpenLogin(login);
  const int speed = table_->game().state.Room.CardSpeed;
  for (const SDL_Keycode key : {SDLK_LEFT, SDLK_RIGHT, SDLK_RIGHT, SDLK_LCTRL})
    table_->KeyDown(key);
  EXPECT_EQ(table_->game().state.Room.CardSpeed, speed);
  login.Type("tester");
  login.SetFocus(portal::LoginForm::kPasswordBox);
  login.Type("secret");
  login.Enter();
  http.Reply("tester|M|1|0|500000|0|0|0|0|session");
  for (int i = 0; i < 100 && login.IsOpen(); ++i)
    loop_.WaitSeconds(0.01);
  ASSERT_FALSE(login.IsOpen());
  const int loaded = table_->game().state.Room.CardSpeed;  // the login loads the setting
  table_->KeyDown(SDLK_RIGHT);
  EXPECT_EQ(table_->game().state.Room.CardSpeed, loaded + 1) << "with the login closed, the board";
}

TEST_F(TableTest, AReleasedCardIsLoweredBeforeItsShakeQuestionOpens) {
  // January's three cards in the human's hand, none on the floor: releasing one asks.
  table_->game().nextDeck = testing::DeckFor(51)
                                .Floor({5, 9, 13, 17, 21, 25, 29, 33})
                                .FirstHand({0, 1, 2, 6, 10, 14, 18, 22, 26, 30})
                                .Text();
  table_->MouseDown(300, 400, MouseButton::kLeft);
  table_->MouseUp(300, 400, MouseButton::kLeft);
  const SdlBoard::CardControl before = table_->board().Card(0);
  table_->MouseMove(before.left + 10, before.top + 30);
  ASSERT_EQ(table_->board().Card(0).lift, 6);
  table_->MouseDown(before.left + 10, before.top + 30, MouseButton::kLeft);
  table_->MouseUp(before.left + 10, before.top + 30, MouseButton::kLeft);
  ASSERT_TRUE(table_->controller().Shake().IsOpen());
  EXPECT_EQ(table_->board().Card(0).lift, 0);
}

TEST_F(TableTest, ALongBalanceStaysInsideItsPanel) {
  // Restored first, then drawn: nothing of the text reaches the avatar's frame at x 695
  // or the panel's frame below the last row.
  GameState& state = table_->game().state;
  Surface background = LoadPicture(state.SkinImages[17]);
  state.Player(kHuman).Money = "123456789012345678901234";
  state.Player(kHuman).RunningGain = "-98765432109876";
  table_->board().DrawPlayerPanel(kHuman);
  SDL_Surface* board = table_->board().BoardPicture();
  EXPECT_EQ(Pixels(board, {695, 519, 3, 76}), Pixels(background.get(), {695, 519, 3, 76}));
  EXPECT_EQ(Pixels(board, {586, 595, 110, 5}), Pixels(background.get(), {586, 595, 110, 5}));
  EXPECT_NE(Pixels(board, {590, 563, 104, 21}), Pixels(background.get(), {590, 563, 104, 21}))
      << "the balance is drawn";

  // A shorter text after a longer one leaves nothing of the longer behind.
  state.Player(kHuman).Money = "5";
  table_->board().DrawPlayerPanel(kHuman);
  EXPECT_EQ(Pixels(board, {650, 563, 44, 21}), Pixels(background.get(), {650, 563, 44, 21}));
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
