// hwatable-table: the real game window without the portal, for people and for tests.
// A local player sits down with money of his own (for the screenshots, through the login
// window and a scripted portal); the hand is played on the real window with the real
// event loop.
//
//   hwatable-table                         play by hand (the computer plays its turns)
//   hwatable-table --deck TEXT --mission N deal this deck with this mission first
//   hwatable-table --screenshots DIR       saves PNG pictures of the waiting room, a hand
//                                          in play, every dialog and the result, then ends
//
// Screenshots need a display or SDL's dummy video driver:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/debug/tests/hwatable-table --screenshots
//   /tmp/shots

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "hand/declarations.h"
#include "hand/hand_setup.h"
#include "hand/moves.h"
#include "mainwindow/login_form.h"
#include "mainwindow/startup.h"
#include "platform/fake/fake_http_client.h"
#include "platform/fake/memory_settings_store.h"
#include "rules/computer_player.h"
#include "tests/support/deck_builder.h"
#include "ui/game_table.h"
#include "ui/program_desktop.h"

namespace {

using namespace hw;

void SitDown(Game& game) {
  GameState& state = game.state;
  PlayerInfoRecord& info = state.PlayerInfo;
  info.Name = "플레이어";
  info.Money = "1234500";
  info.Avatar = 3;
  info.VoiceFolder = "M";
  info.Wins = "12";
  info.Losses = "9";
  info.Draws = "1";
  info.MissionCount = "4";
  SeatLoggedInPlayer(state);
  SetUpPlayer(state, kComputer, "컴퓨터", "F", "1000000", 1, "0", "0", "0", kComputerSeat, "0");
  EnterRoom(game);
}

// Runs the game's clock until the condition holds (at most `seconds`).
bool RunUntil(platform::EventLoop& loop, const std::function<bool()>& done, double seconds) {
  const double end = loop.Now() + seconds;
  while (!done()) {
    if (loop.Now() > end) return false;
    loop.WaitSeconds(0.05);
  }
  return true;
}

int Screenshots(ui::GameTable& table, platform::SdlEventLoop& loop,
                platform::SettingsStore& settings, const std::string& folder,
                const std::string& deck, int mission) {
  std::filesystem::create_directories(folder);
  Game& game = table.game();
  MainWindow& window = table.controller();
  auto shot = [&](const char* name) {
    const std::string path = folder + "/" + name + ".png";
    const bool saved = table.SaveScreenshot(path);
    std::printf("%s %s\n", saved ? "saved" : "FAILED", path.c_str());
    return saved;
  };
  // The login window with a name typed, over the board before the login.
  platform::FakeHttpClient http(loop);
  portal::LoginForm login(game, http, settings, table.opponents(), DisplayCheck::PlatformCode());
  table.OpenLogin(login);
  login.Type("플레이어");
  login.SetFocus(portal::LoginForm::kPasswordBox);
  login.Type("secret");
  bool ok = shot("00-login");
  login.Enter();
  http.Reply("플레이어|M|3|0|1234500|12|9|1|4|session");
  RunUntil(
      loop, [&] { return !login.IsOpen(); }, 5);
  ok = shot("01-waiting-room") && ok;
  table.options().Open();
  ok = shot("01-options") && ok;
  // The service-card list dropped down, the pointer on another item than the current one.
  using Options = ui::SdlOptionsWindow;
  auto mouse = [&](Uint32 type, const SDL_Rect& r) {
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION) {
      event.motion.x = r.x + r.w / 2;
      event.motion.y = r.y + r.h / 2;
    } else {
      event.button.button = SDL_BUTTON_LEFT;
      event.button.x = r.x + r.w / 2;
      event.button.y = r.y + r.h / 2;
    }
    table.HandleEvent(event);
  };
  mouse(SDL_MOUSEBUTTONDOWN, Options::ArrowButton(Options::kServiceList));
  mouse(SDL_MOUSEBUTTONUP, Options::ArrowButton(Options::kServiceList));
  mouse(SDL_MOUSEMOTION, Options::ListItem(Options::Combo::kService, 5));
  ok = shot("01-options-list") && ok;
  mouse(SDL_MOUSEBUTTONDOWN, Options::kOpponentList);  // the first click closes the list
  mouse(SDL_MOUSEBUTTONDOWN, Options::kOpponentList);
  mouse(SDL_MOUSEBUTTONUP, Options::kOpponentList);
  mouse(SDL_MOUSEMOTION, Options::ListItem(Options::Combo::kOpponent, 1));
  ok = shot("01-options-level-list") && ok;
  table.options().PressButton(1);

  game.state.Room.CardSpeed = 0;  // the deal and the plays at full speed
  // Unless told otherwise, a quiet hand (no chongtong, no early end), so that every
  // picture has its hand to show.
  game.nextDeck =
      !deck.empty() ? deck : testing::QuietDeck(kMonthCards + game.state.Room.ServiceCards);
  game.nextMission = mission;
  window.PressStart();
  // A few turns. The human does at once what his time-out would do: plays the card the
  // computer player picks for him, takes the first floor card, goes on.
  RunUntil(
      loop,
      [&] {
        const GameState& state = game.state;
        if (window.Select().IsOpen()) window.Select().MouseUp(MouseButton::kLeft, 40, 30);
        if (window.September().IsOpen()) window.September().Close();
        if (window.Shake().IsOpen()) window.Shake().Close();
        if (window.GoStop().IsOpen()) window.GoStop().MouseDown(MouseButton::kLeft, 20, 50);
        if (state.Room.TurnPlayer == kHuman && state.Room.HumanTurnMark != 0 &&
            state.Room.DialogOpen == 0) {
          const int card = ChooseCard(state, kHuman);
          if (card >= 0) {
            window.OnCardPress(card, MouseButton::kLeft);
            window.OnCardRelease(card, MouseButton::kLeft);
          }
        }
        return state.Player(kComputer).PlayedCount >= 4 || !state.Room.HandRunning;
      },
      60);
  ok = shot("02-hand-in-play") && ok;
  table.options().Open();  // the stake and the service cards wait for the hand's end
  ok = shot("02-options-during-hand") && ok;
  table.options().PressButton(1);

  // Every dialog, over the hand as it stands.
  int handCard = kNoCard;
  for (const int card : game.state.SeatCards[kHumanSeat].Hand) {
    if (card != kNoCard && card < kMonthCards && game.state.Card(card).Location == kHuman) {
      handCard = card;
      break;
    }
  }
  struct Opened {
    const char* name;
    std::function<void()> open;
    DialogKind kind;
  };
  const Opened dialogs[] = {
      {"03-shake", [&] { window.Shake().Show(handCard); }, DialogKind::kShake},
      {"04-select",
       [&] {
         window.Select().Show({handCard, 0, 1, ChoiceSide::kHand});
       },
       DialogKind::kSelect},
      {"05-go-stop", [&] { window.GoStop().Show(); }, DialogKind::kGoStop},
      {"06-september", [&] { window.September().Show(); }, DialogKind::kSeptember},
  };
  for (const Opened& dialog : dialogs) {
    window.DisableTurnTimer();
    dialog.open();
    loop.WaitSeconds(1.1);  // a countdown square
    ok = shot(dialog.name) && ok;
    window.Dialog(dialog.kind).Dismiss();  // opened only to be seen: no answer
  }
  // The human stops where he stands: the settlement and its result.
  if (game.state.Room.HandRunning) CallStop(game, kHuman);
  loop.WaitSeconds(0.5);
  ok = shot("07-result") && ok;
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string deck, screenshots;
  std::optional<int> mission;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--deck" && i + 1 < argc) {
      deck = argv[++i];
    } else if (arg == "--mission" && i + 1 < argc) {
      const std::string number = argv[++i];
      if (number.size() != 1 || number[0] < '0' || number[0] >= '0' + kMissions) {
        std::cerr << "hwatable-table: --mission takes a mission number from 0 to " << kMissions - 1
                  << "\n";
        return 2;
      }
      mission = number[0] - '0';
    } else if (arg == "--screenshots" && i + 1 < argc) {
      screenshots = argv[++i];
    } else {
      std::cerr << "usage: hwatable-table [--deck TEXT] [--mission N] [--screenshots DIR]\n";
      return 2;
    }
  }
  try {
    ui::SdlSession sdl;
    platform::SdlEventLoop loop;
    platform::MemorySettingsStore settings;
    platform::PosixFileSystem files;
    platform::SdlDisplayModes modes;
    FontLibrary fonts;
    ui::ProgramDesktop desktop(
        loop, [&fonts](int size, bool bold) { return fonts.GetOrNull(size, bold); },
        GameInfoRecord{}.ProductName);
    DisplayCheck display(modes, desktop);
    GameState state;
    StartupWorld world{settings, files, "http://127.0.0.1:8410/", [&] { return display.Run(); }};
    if (!RunStartup(state, world).proceed) return 0;
    ui::GameTable table(std::move(state), loop, settings, display, modes, desktop);
    modes.SetWindow(table.window());
    desktop.ShowBoxesIn(&table.Boxes());
    int status = 0;
    if (!screenshots.empty()) {
      status = Screenshots(table, loop, settings, screenshots, deck, mission.value_or(1));
    } else {
      SitDown(table.game());
      if (!deck.empty()) table.game().nextDeck = deck;
      if (mission) table.game().nextMission = *mission;
      table.Run();
    }
    desktop.ShowBoxesIn(nullptr);
    return status;
  } catch (const std::exception& error) {
    std::cerr << "hwatable-table: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
