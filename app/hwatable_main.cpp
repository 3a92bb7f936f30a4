// The game program: start-up, the main window with the login window over it, and the
// portal link, on SDL's event loop.
//
// The portal is the one at HWATABLE_PORTAL_URL or at the "PortalUrl" value of the game's
// own settings section; with neither, the game uses its own portal on this machine
// (app/local_portal.h) and starts it when it is not running.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "app/local_portal.h"
#include "mainwindow/display_check.h"
#include "mainwindow/login_form.h"
#include "mainwindow/settings.h"
#include "mainwindow/startup.h"
#include "platform/curl/curl_http_client.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/posix/ini_settings_store.h"
#include "platform/sdl/sdl_display_modes.h"
#include "platform/sdl/sdl_event_loop.h"
#include "platform/shared_names.h"
#include "platform/single_instance.h"
#include "portal/client/portal_session.h"
#include "ui/fonts.h"
#include "ui/game_table.h"
#include "ui/program_desktop.h"

namespace {

std::string ConfiguredPortalUrl(hw::platform::SettingsStore& settings) {
  if (const char* url = std::getenv("HWATABLE_PORTAL_URL"); url != nullptr && *url != '\0') {
    return url;
  }
  return settings.Read(hw::kSettingsApp, hw::kConfigSection, "PortalUrl").value_or("");
}

int Run() {
  using namespace hw;
  platform::PosixFileSystem files;
  platform::IniSettingsStore settings(platform::ConfigHome());
  ui::SdlSession sdl;
  platform::SdlEventLoop loop;
  platform::SdlDisplayModes modes;
  FontLibrary fonts;
  // Until the main window is up, the boxes stand in windows of their own.
  ui::ProgramDesktop desktop(
      loop, [&fonts](int size, bool bold) { return fonts.GetOrNull(size, bold); },
      GameInfoRecord{}.ProductName);
  DisplayCheck display(modes, desktop);

  const std::string portalUrl = ConfiguredPortalUrl(settings);
  const bool localPortal = portalUrl.empty();

  GameState state;
  StartupWorld world{settings, files, portalUrl, [&] { return display.Run(); }, localPortal};
  const StartupResult startup = RunStartup(state, world);
  for (const std::string& problem : startup.problems) {
    std::fprintf(stderr, "hwatable: %s\n", problem.c_str());
  }
  if (!startup.proceed) return 0;

  if (localPortal) {
    app::LocalPortal local;
    local.programFolder = AppFolder(state.GameInfo);
    local.logPath = platform::DataHome() + "/hwatable-portal/server.log";
    if (const std::string problem = local.Ensure(); !problem.empty()) {
      desktop.ShowMessage(state.GameInfo.ProductName,
                          "게임서버를 시작하지 못했습니다\r\n" + problem,
                          platform::MessageIcon::kError, platform::MessageButtons::kOk);
      return 1;
    }
    state.Portal = BuildPortalAddresses(local.BaseUrl());
  }

  ui::GameTable table(std::move(state), loop, settings, display, modes, desktop);
  modes.SetWindow(table.window());
  desktop.ShowBoxesIn(&table.Boxes());
  // An address the desktop cannot open stays in the message log for the player to copy.
  desktop.onCannotOpen = [&table](std::string_view address) {
    table.log().AppendLog("게임판", "주소를 열지 못했습니다: " + std::string(address), kWhite,
                          false);
  };
  // The login and the score saves each have a connection of their own: a score save
  // never cancels a login still in the air, nor the other way round.
  platform::CurlHttpClient loginConnection(loop);
  platform::CurlHttpClient portalConnection(loop);
  portal::LoginForm login(table.game(), loginConnection, settings, table.opponents(),
                          DisplayCheck::PlatformCode());
  portal::PortalSession session(table.game(), portalConnection);
  login.onLoggedIn = [&] { table.game().portal = &session; };
  table.onClosing = [&] { session.Logout(); };
  table.OpenLogin(login);
  table.Run();
  desktop.ShowBoxesIn(nullptr);
  return 0;
}

}  // namespace

int main() {
  // A second copy of the game ends at once, without showing anything.
  hw::platform::InstanceLock instance(hw::platform::RuntimeDir() + "/" + hw::kGameLockName);
  if (instance.AnotherInstanceRuns()) return 0;
  try {
    return Run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "hwatable: %s\n", error.what());
    return 1;
  }
}
