#pragma once
// frmMain, the update window, without its drawing. It is loaded hidden and shows itself
// only while something is checked, downloaded or installed.
//
// GameMode: fetch the portal's list (showing "업데이트 확인중..." when it takes longer
// than kListShowSeconds, giving up after kListWaitSeconds); when it offers a newer
// version than the installed one, make sure no game of this user runs (else ask whether
// to close it now, or leave it and end), download that installer into the game folder,
// check it against the list's SHA-256, run it hidden with its output in the updater's
// log, and wait until it leaves the new updater ("tmpupdater") in the game folder; run
// that copy once and wait for it, then start the game. An installer that fails is
// reported at once with its last message. Without a list, with a bad one, or with nothing
// newer, the game starts at once (a list not signed with the updater's key is reported
// first, update_list.h): an unreachable portal never keeps the player from his
// game; nor does a failed update, which is reported and then starts the installed game
// (the portal's home page opens only where there is no game to start). The downloaded
// installer is deleted once it is done with, whatever came of it.
//
// BrowserMode: show the notice (AlertNotice), then start the portal's desktop browser,
// or, when it is missing and the player agrees, fetch the browser vendor's list, stop the
// browser's programs, download and run its installer and wait for its files.
//
// Every way out ends in Unload, which stops the timers and calls onUnload once; the
// program ends there. Events that arrive after that (the download's completion after its
// error) are not handled.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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
  platform::Download& download;      // 다운로더
  platform::TextFetcher fetchText;   // 이넷_체크: the blocking fetch of the browser's list
  platform::HttpClient& listClient;  // the game's list, fetched while the window lives
  // This user's running game: its process id, or 0 when none runs.
  std::function<int()> runningGame;
  // The public key the game's list must be signed with (updater/update_list.h); "" in a
  // build without one, which takes unsigned lists.
  std::string listKey = {};
};

class UpdateWindow {
 public:
  enum class DownloadKind { kNone, kGame, kBrowser };

  static constexpr int kTimerInterval = 100;     // milliseconds, all the timers
  static constexpr int kInstallWaitLimit = 300;  // ticks of the install wait, in all
  // The game's list: the window says what it waits for past the first, and the game
  // starts unchanged past the second.
  static constexpr double kListShowSeconds = 0.5;
  static constexpr double kListWaitSeconds = 5.0;
  static constexpr std::size_t kListMaxBytes = 64 * 1024;
  // How often the waits for a process look again, and how long the browser's programs,
  // the running game and an installer past its time get to end on SIGTERM before they
  // are killed.
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
  // What the updater does, for its log.
  std::function<void(const std::string& note)> onNote;

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
  void OnListWait();
  void OnListAnswer(int state);
  void UpdateFromList(const std::optional<std::string>& text);
  void OnBrowserTimer();
  void OnInstallWait();
  void FinishBrowserInstall();
  void FinishGameInstall();

  // False when the game runs and the player would rather not close it now, or it could
  // not be stopped: nothing may be replaced then.
  bool MayReplaceTheGame();
  // SIGTERM, and after kTermGraceSeconds SIGKILL; true once the game no longer runs.
  bool StopTheGame(int pid);
  // Whether the game's installer has ended, looking for up to `seconds`; its end is kept.
  bool InstallerEnded(double seconds = 0);
  // The installer past its time: asked to end (it takes its changes back), then killed.
  void StopInstaller();
  // Why the installer failed, for its box: its last message, or its exit code or signal.
  std::string InstallerFailure(const platform::ExitStatus& end) const;
  // The downloaded installer deleted, once no installer of it runs.
  void DeleteDownload();
  // A failed update: the box, the download deleted, and then the installed game started
  // or, where there is none (or in BrowserMode), the home page opened; the end.
  void FailUpdate(std::string_view caption, const std::string& text);
  // The game's program as RunPath names it, when that file exists; else "".
  std::string InstalledGame();

  // Waits, letting events run, while a program of that name runs.
  void WaitWhileRunning(std::string_view program);
  // Signals the program until none of that name runs; after kTermGraceSeconds of
  // SIGTERM, with SIGKILL. Gives up on a program that cannot be signalled.
  void StopProgram(std::string_view program);
  void StartTheGame();
  // The home page of the download kind: the browser vendor's or the portal's.
  void OpenHomePage();
  void Problem(const std::string& text);
  void Note(const std::string& text);

  UpdaterWorld& world_;
  UpdateView& view_;
  AlertNotice& alert_;
  RunValues run_;
  std::unique_ptr<platform::Timer> startCheckTimer_;   // 타머_체크
  std::unique_ptr<platform::Timer> browserTimer_;      // 타머_Ostrel체크
  std::unique_ptr<platform::Timer> installWaitTimer_;  // 타머_실행
  std::unique_ptr<platform::Timer> listWaitTimer_;

  DownloadKind kind_ = DownloadKind::kNone;
  std::string installerName_;  // browser downloads only
  std::string savePath_;
  std::string expectedDigest_;         // the list's third field
  std::int16_t installWaitTicks_ = 0;  // never reset
  double listAsked_ = 0;               // the loop's clock when the list was asked for
  bool shown_ = false;
  int installerPid_ = 0;  // the game's installer, watched
  std::optional<platform::ExitStatus> installerEnd_;
  std::uintmax_t installerLogStart_ = 0;  // where its output begins in the log
  bool unloaded_ = false;
};

}  // namespace hw::updater
