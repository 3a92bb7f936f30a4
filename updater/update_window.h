#pragma once
// frmMain, the update window, without its drawing. It is loaded hidden and shows itself
// only while something is downloaded or installed.
//
// GameMode: fetch the portal's list; when it offers a newer version than the installed
// one, download that installer into the game folder, check it against the list's
// SHA-256, run it hidden, wait until it leaves the new updater ("tmpupdater") in the
// game folder, run that copy once and wait for it, then start the game. Without a list,
// with a bad one, or with nothing newer, the game starts at once: an unreachable portal
// never keeps the player from his game.
//
// BrowserMode: show the notice (AlertNotice), then start the portal's desktop browser,
// or, when it is missing and the player agrees, fetch the browser vendor's list, stop the
// browser's programs, download and run its installer and wait for its files.
//
// Every way out ends in Unload, which stops the timers and calls onUnload once; the
// program ends there. Events that arrive after that (the download's completion after its
// error) are not handled.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/desktop.h"
#include "platform/event_loop.h"
#include "platform/file_system.h"
#include "platform/http_client.h"
#include "platform/launcher.h"
#include "platform/settings_store.h"
#include "updater/alert_notice.h"
#include "updater/process_table.h"
#include "updater/startup.h"
#include "updater/update_view.h"

namespace hw::updater {

// What the update window works on. The program gives the real ones, tests fakes.
struct UpdaterWorld {
  platform::EventLoop& loop;
  platform::Desktop& desktop;
  platform::SettingsStore& settings;
  platform::FileSystem& files;
  platform::Launcher& launcher;
  ProcessTable& processes;
  platform::Download& download;     // 다운로더
  platform::TextFetcher fetchText;  // 이넷_체크: the blocking fetch of a list
  // The public key the game's list must be signed with (updater/update_list.h); "" in a
  // build without one, which takes unsigned lists.
  std::string listKey = {};
};

class UpdateWindow {
 public:
  enum class DownloadKind { kNone, kGame, kBrowser };

  static constexpr int kTimerInterval = 100;     // milliseconds, all three timers
  static constexpr int kInstallWaitLimit = 300;  // ticks of the install wait, in all
  // How often the waits for a process look again, and how long the browser's programs
  // get to end on SIGTERM before they are killed.
  static constexpr double kPollSeconds = 0.05;
  static constexpr double kTermGraceSeconds = 5.0;

  // Takes over the download's three events and the notice's onEndUpdater.
  UpdateWindow(UpdaterWorld& world, UpdateView& view, AlertNotice& alert, RunValues run);
  ~UpdateWindow();
  UpdateWindow(const UpdateWindow&) = delete;
  UpdateWindow& operator=(const UpdateWindow&) = delete;

  // Window load: caption "다운로드/설치", status "다운로드 준비중..", and the first
  // decision one timer interval later.
  void Load();
  // Ends the updater: stops the timers and calls onUnload (once).
  void Unload();
  bool Unloaded() const { return unloaded_; }

  std::function<void()> onUnload;
  // Things that went wrong without a message of their own (a program that would not
  // start, an installer that could not be made executable); the program prints them.
  std::function<void(const std::string& problem)> onProblem;

  // ---- The download's events
  void OnDownloadProgress(std::int64_t read, std::int64_t total, const std::string& savePath);
  void OnDownloadError(const std::string& savePath);
  void OnDownloadComplete(std::int64_t total, const std::string& savePath);

  // ---- State, for tests
  DownloadKind Kind() const { return kind_; }
  const std::string& SavePath() const { return savePath_; }
  int InstallWaitTicks() const { return installWaitTicks_; }

 private:
  void OnStartCheck();
  void OnBrowserTimer();
  void OnInstallWait();
  void FinishBrowserInstall();
  void FinishGameInstall();

  // Waits, letting events run, while a program of that name runs.
  void WaitWhileRunning(std::string_view program);
  // Signals the program until none of that name runs; after kTermGraceSeconds of
  // SIGTERM, with SIGKILL. Gives up on a program that cannot be signalled.
  void StopProgram(std::string_view program);
  void StartTheGame();
  // The home page of the download kind: the browser vendor's or the portal's.
  void OpenHomePage();
  void Problem(const std::string& text);

  UpdaterWorld& world_;
  UpdateView& view_;
  AlertNotice& alert_;
  RunValues run_;
  std::unique_ptr<platform::Timer> startCheckTimer_;   // 타머_체크
  std::unique_ptr<platform::Timer> browserTimer_;      // 타머_Ostrel체크
  std::unique_ptr<platform::Timer> installWaitTimer_;  // 타머_실행

  DownloadKind kind_ = DownloadKind::kNone;
  std::string installerName_;  // browser downloads only
  std::string savePath_;
  std::string expectedDigest_;         // the list's third field
  std::int16_t installWaitTicks_ = 0;  // never reset
  bool unloaded_ = false;
};

}  // namespace hw::updater
