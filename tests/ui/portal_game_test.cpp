// The whole game against the real portal server on loopback: the player types his name
// and password into the login window, plays a hand, and the portal's database holds the
// figures the game shows; closing the window logs him out.

#include <gtest/gtest.h>

#include <cstring>

#include "mainwindow/login_form.h"
#include "mainwindow/startup.h"
#include "platform/curl/curl_http_client.h"
#include "platform/fake/listed_display_modes.h"
#include "platform/fake/memory_settings_store.h"
#include "platform/fake/scripted_desktop.h"
#include "portal/client/portal_session.h"
#include "portal/server/portal_server.h"
#include "tests/support/deck_builder.h"
#include "tests/support/temp_folder.h"
#include "ui/game_table.h"

namespace hw::ui {
namespace {

class PortalGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    portal::NewMember member;
    member.name = "길동";
    member.password = "s3cret&=";
    member.money = "500000";
    ASSERT_FALSE(Store().AddMember(member).refusal);
    portal::PortalOptions options;
    options.data_dir = data_.Path();
    options.hash_cost = portal::HashCost::kMinimal;
    // A hand that ends at once: four Januaries in the human's hand (총통).
    options.test_deals = {{testing::DeckFor(51)
                               .Floor({4, 8, 12, 16, 20, 24, 28, 32})
                               .FirstHand({0, 1, 2, 3, 5, 9, 13, 17, 21, 25})
                               .Text(),
                           0}};
    server_.emplace(options);
    ASSERT_TRUE(server_->Bind("127.0.0.1", 0));
    server_->Start();

    sdl_.emplace();
    modes_.emplace(std::vector<platform::DisplayMode>{{1024, 768, 32, 60}, {800, 600, 32, 60}},
                   platform::DisplayMode{1024, 768, 32, 60});
    display_.emplace(*modes_, desktop_);
    ASSERT_TRUE(display_->Run());
    GameState state;
    const std::string url = "http://127.0.0.1:" + std::to_string(server_->port()) + "/";
    StartupWorld world{settings_, files_, url, {}};
    RunStartup(state, world);
    table_.emplace(std::move(state), loop_, settings_, *display_, *modes_, desktop_);
    login_.emplace(table_->game(), *loginHttp_, settings_, table_->opponents(),
                   DisplayCheck::PlatformCode());
    session_.emplace(table_->game(), *portalHttp_);
    login_->onLoggedIn = [this] { table_->game().portal = &*session_; };
    table_->onClosing = [this] { session_->Logout(); };
    table_->OpenLogin(*login_);
  }
  void TearDown() override {
    session_.reset();
    login_.reset();
    table_.reset();
    display_.reset();
    modes_.reset();
    sdl_.reset();
    loginHttp_.reset();
    portalHttp_.reset();
    server_.reset();
  }

  portal::MemberStore Store() {
    return portal::MemberStore(std::filesystem::path(data_.Path()) / portal::kDatabaseFile,
                               {portal::HashCost::kMinimal, {}});
  }
  void Send(const SDL_Event& event) { table_->HandleEvent(event); }
  void Type(const char* text) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::strncpy(event.text.text, text, sizeof event.text.text - 1);
    Send(event);
  }
  void Press(SDL_Keycode key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    Send(event);
  }
  bool RunUntil(const std::function<bool()>& done, double seconds = 10) {
    const double end = loop_.Now() + seconds;
    while (!done()) {
      if (loop_.Now() > end) return false;
      loop_.WaitSeconds(0.02);
    }
    return true;
  }

  testing::TempFolder data_;
  std::optional<portal::PortalServer> server_;
  std::optional<SdlSession> sdl_;
  platform::SdlEventLoop loop_;
  platform::MemorySettingsStore settings_;
  platform::PosixFileSystem files_;
  platform::ScriptedDesktop desktop_;
  std::optional<platform::ListedDisplayModes> modes_;
  std::optional<DisplayCheck> display_;
  std::optional<GameTable> table_;
  // Kept alive by curl, the connections would hold the server's stop for seconds.
  std::optional<platform::CurlHttpClient> loginHttp_{std::in_place, loop_};
  std::optional<platform::CurlHttpClient> portalHttp_{std::in_place, loop_};
  std::optional<portal::LoginForm> login_;
  std::optional<portal::PortalSession> session_;
};

TEST_F(PortalGameTest, LogInPlayAHandAndTheDatabaseHoldsTheNewFigures) {
  GameState& state = table_->game().state;
  // A wrong password first: the portal knows no such member, the player declines to
  // join and tries again.
  Type("길동");
  Press(SDLK_RETURN);
  Type("wrong");
  Press(SDLK_RETURN);
  ASSERT_TRUE(RunUntil([&] { return !desktop_.shown.empty(); }));
  EXPECT_TRUE(login_->IsOpen());
  for (int i = 0; i < 5; ++i)
    Press(SDLK_BACKSPACE);
  Type("s3cret&=");
  Press(SDLK_RETURN);
  ASSERT_TRUE(RunUntil([&] { return !login_->IsOpen() || table_->controller().Unloaded(); }));
  ASSERT_FALSE(table_->controller().Unloaded()) << desktop_.shown.back().text;
  EXPECT_EQ(state.PlayerInfo.Name, "길동");
  EXPECT_EQ(state.Player(kHuman).Money, "500000");

  // The portal deals the hand (총통: it ends at once) and settles it from the game's record.
  state.Room.SoundOn = 'F';
  state.Room.CardSpeed = 0;
  table_->MouseDown(300, 400, MouseButton::kLeft);
  table_->MouseUp(300, 400, MouseButton::kLeft);
  ASSERT_TRUE(
      RunUntil([&] { return state.PlayerInfo.Wins == "1" && !portalHttp_->BusyRequest(); }));
  EXPECT_EQ(desktop_.shown.size(), 1u) << desktop_.shown.back().text;
  EXPECT_NE(state.PlayerInfo.Money, "500000");

  const auto stored = Store().Find("길동");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->money, state.PlayerInfo.Money);
  EXPECT_EQ(stored->wins, 1);
  EXPECT_EQ(state.Player(kHuman).Money, state.PlayerInfo.Money);

  // Closing the window logs out: the session the game held is no longer the member's.
  const std::string token = state.PlayerInfo.SessionToken;
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  Send(quit);
  EXPECT_FALSE(Store().Logout("길동", token));
}

}  // namespace
}  // namespace hw::ui
