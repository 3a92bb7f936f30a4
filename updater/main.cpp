// updater: runs before the game. With a command line (the menu entry passes "game") it
// checks the portal's list, installs a newer game when there is one, and starts the game;
// with none it sees to the portal's desktop browser. The window shows itself only while
// something is checked, downloaded or installed. One updater runs per user at a time: a
// second start (a double click on the menu entry) ends at once and leaves the work, and
// the start of the game, to the first. What it does goes to its log (update_log.h).

#include <SDL.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>

#include "hwatable_list_key.h"
#include "hwatable_version.h"
#include "platform/curl/curl_http_client.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "platform/posix/ini_settings_store.h"
#include "platform/sdl/sdl_event_loop.h"
#include "platform/single_instance.h"
#include "ui/fonts.h"
#include "ui/program_desktop.h"
#include "updater/alert_notice.h"
#include "updater/process_table.h"
#include "updater/sdl_alert_window.h"
#include "updater/sdl_update_window.h"
#include "updater/startup.h"
#include "updater/toolbox.h"
#include "updater/update_log.h"
#include "updater/update_window.h"

using namespace hw;

namespace {

updater::UpdaterLog* theLog = nullptr;

// Goes to the log only.
void Note(const std::string& note) {
  if (theLog != nullptr) theLog->Write(note);
}

// Goes to stderr and to the log.
void Report(const std::string& problem) {
  std::fprintf(stderr, "updater: %s\n", problem.c_str());
  Note(problem);
}

// The game's list comes within a few seconds or not at all: a portal that takes the
// connection and never answers must not keep the player from his game.
constexpr platform::CurlTimeouts kListTimeouts{
    std::chrono::milliseconds{3000}, std::chrono::milliseconds{5000}, std::chrono::milliseconds{0}};

// SDL for as long as the windows live.
class SdlVideo {
 public:
  SdlVideo() {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
      throw std::runtime_error(std::string("SDL could not start: ") + SDL_GetError());
    }
  }
  ~SdlVideo() { SDL_Quit(); }
  SdlVideo(const SdlVideo&) = delete;
  SdlVideo& operator=(const SdlVideo&) = delete;
};

// The update window and the notice on SDL's event loop, until the window unloads.
void RunWindow(const updater::RunValues& run, platform::SettingsStore& settings,
               platform::FileSystem& files, platform::Launcher& launcher) {
  SdlVideo video;
  platform::SdlEventLoop loop;
  FontLibrary fonts;
  // The updater's windows may be hidden: its boxes stand in windows of their own.
  ui::ProgramDesktop desktop(
      loop, [&fonts](int size, bool bold) { return fonts.GetOrNull(size, bold); }, "Velmaro");
  // The whole process table: the programs the updater waits for and stops are the newest,
  // and on a desktop far more than a hundred older processes come before them.
  updater::ProcProcessTable processes("/proc", SIZE_MAX);
  platform::CurlDownload download(loop);
  platform::CurlHttpClient listClient(loop, kListTimeouts);
  updater::UpdaterWorld world{
      loop,       desktop,
      settings,   files,
      launcher,   processes,
      download,   [](const std::string& url) { return platform::CurlFetchText(url); },
      listClient, updater::RunningGame,
      kListKey};
  updater::SdlUpdateWindow view(fonts);
  updater::AlertNotice alert(loop, desktop, run.portalUrl);
  updater::SdlAlertWindow alertView(alert, fonts);
  updater::UpdateWindow window(world, view, alert, run);
  window.onUnload = [&] { loop.Quit(); };
  window.onProblem = Report;
  window.onNote = Note;
  loop.onEvent = [&](const SDL_Event& event) {
    if (alertView.HandleEvent(event)) return;
    const bool closed = event.type == SDL_WINDOWEVENT &&
                        event.window.event == SDL_WINDOWEVENT_CLOSE &&
                        event.window.windowID == view.Id();
    if (closed || event.type == SDL_QUIT) window.Unload();
  };
  loop.onFrame = [&] {
    view.Frame();
    alertView.Frame();
  };
  window.Load();
  loop.Run();
  loop.onEvent = nullptr;
  loop.onFrame = nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  platform::IniSettingsStore settings(platform::ConfigHome());
  platform::PosixFileSystem files;
  platform::PosixLauncher launcher;
  updater::UpdaterLog log(updater::UpdaterLogPath());
  theLog = &log;

  updater::StartupInput input;
  input.arguments.assign(argv + 1, argv + argc);
  input.ownPath = updater::OwnExecutablePath();
  // The new copy that an installer left runs inside the update of the updater that runs
  // it, which holds the lock.
  std::optional<platform::InstanceLock> lock;
  if (!updater::IsNewUpdaterCopy(input.ownPath)) {
    lock.emplace(updater::UpdaterLockPath());
    if (lock->AnotherInstanceRuns()) {
      const int first = platform::LockHolder(updater::UpdaterLockPath());
      Note("another updater runs (process " + std::to_string(first) +
           "); this start ends and leaves the work to it");
      return 0;
    }
  }
  Note("version " + std::string(kBuildVersion) + " started as " + input.ownPath +
       (argc > 1 ? " " + std::string(argv[1]) : std::string()));
  input.addresses = updater::ReadBaseAddresses(settings, updater::RunningLocalPortalUrl);
  input.programFilesFolder = updater::ProgramFilesFolder();
  input.ownVersion = kBuildVersion;
  for (const std::string& problem : input.addresses.problems)
    Report(problem);
  updater::StartupResult startup = updater::RunStartup(input, settings, files);
  for (const std::string& problem : startup.problems)
    Report(problem);
  if (startup.next == updater::NextStep::kEndNow) return 0;
  if (startup.next == updater::NextStep::kGameMode && *kListKey == '\0') {
    Report("built without a list key (HWATABLE_LIST_KEY): the portal's list is taken unsigned");
  }
  startup.run.logPath = log.Path();

  try {
    RunWindow(startup.run, settings, files, launcher);
  } catch (const std::exception& error) {
    // Without its windows the updater cannot ask anything; the installed game still starts.
    Report(error.what());
    if (startup.next == updater::NextStep::kGameMode) {
      updater::StartGame(launcher, startup.run.gameFolder);
    }
    return 1;
  }
  return 0;
}
