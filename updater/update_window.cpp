#include "updater/update_window.h"

#include <charconv>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/shared_names.h"
#include "updater/toolbox.h"
#include "updater/update_list.h"
#include "updater/update_log.h"

namespace hw::updater {
namespace {

using platform::ExecutableName;
using platform::MessageButtons;
using platform::MessageIcon;

constexpr const char* kDownloadErrorCaption = "다운로드에러";
constexpr const char* kInstallErrorCaption = "설치에러";
constexpr const char* kUpdateErrorText =
    "업데이트중 에러가 발생하였습니다     \r\n"
    "홈페이지에서 다운로드/설치를 해주십시요    ";
constexpr const char* kInstallErrorText =
    "설치도중 에러가 발생하였습니다     \r\n"
    "홈페이지에서 직접 다운로드/설치를 해주십시요      ";
constexpr const char* kUpdateTitle = "Velmaro 업데이트..";

std::int64_t VersionNumber(const std::string& version) {
  std::int64_t number = 100;
  if (IsWholeNumber(version))
    std::from_chars(version.data(), version.data() + version.size(), number);
  return number;
}

std::string Why(const platform::LaunchResult& launched) {
  return launched.Started() ? "" : std::string(": ") + std::strerror(launched.error);
}

}  // namespace

UpdateWindow::UpdateWindow(UpdaterWorld& world, UpdateView& view, AlertNotice& alert, RunValues run)
    : world_(world), view_(view), alert_(alert), run_(std::move(run)) {
  startCheckTimer_ = world_.loop.CreateTimer(kTimerInterval, [this] { OnStartCheck(); });
  browserTimer_ = world_.loop.CreateTimer(kTimerInterval, [this] { OnBrowserTimer(); });
  installWaitTimer_ = world_.loop.CreateTimer(kTimerInterval, [this] { OnInstallWait(); });
  listWaitTimer_ = world_.loop.CreateTimer(kTimerInterval, [this] { OnListWait(); });
  world_.listClient.onStateChanged = [this](int state) { OnListAnswer(state); };
  world_.download.onProgress = [this](std::int64_t read, std::int64_t total,
                                      const std::string& path) {
    OnDownloadProgress(read, total, path);
  };
  world_.download.onError = [this](const std::string& path) { OnDownloadError(path); };
  world_.download.onComplete = [this](std::int64_t total, const std::string& path) {
    OnDownloadComplete(total, path);
  };
  alert_.onEndUpdater = [this] { Unload(); };
}

UpdateWindow::~UpdateWindow() {
  world_.download.onProgress = nullptr;
  world_.download.onError = nullptr;
  world_.download.onComplete = nullptr;
  world_.listClient.onStateChanged = nullptr;
  alert_.onEndUpdater = nullptr;
}

void UpdateWindow::Load() {
  view_.SetCaption("다운로드/설치");
  view_.SetStatus("다운로드 준비중..", false);
  startCheckTimer_->SetEnabled(true);
}

void UpdateWindow::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  startCheckTimer_->SetEnabled(false);
  browserTimer_->SetEnabled(false);
  installWaitTimer_->SetEnabled(false);
  listWaitTimer_->SetEnabled(false);
  world_.listClient.Cancel();
  if (onUnload) onUnload();
}

void UpdateWindow::Problem(const std::string& text) {
  if (onProblem) onProblem(text);
}

void UpdateWindow::Note(const std::string& text) {
  if (onNote) onNote(text);
}

void UpdateWindow::StartTheGame() {
  const platform::LaunchResult launched = StartGame(world_.launcher, run_.gameFolder);
  if (!launched.Started()) {
    Problem("could not start the game " + run_.gameFolder + ExecutableName(kGameProgram) +
            Why(launched));
  }
}

void UpdateWindow::OpenHomePage() {
  world_.desktop.OpenWithShell(kind_ == DownloadKind::kBrowser ? run_.browserUrl : run_.portalUrl);
}

std::string UpdateWindow::InstalledGame() {
  const std::string path =
      world_.settings.Read(kSettingsApp, kGameSection, kRunPathSetting).value_or("");
  return !path.empty() && world_.files.Exists(path) ? path : "";
}

void UpdateWindow::FailUpdate(std::string_view caption, const std::string& text) {
  DeleteDownload();
  world_.desktop.ShowMessage(caption, text, MessageIcon::kError, MessageButtons::kOk);
  const std::string game = kind_ == DownloadKind::kBrowser ? "" : InstalledGame();
  if (game.empty()) {
    OpenHomePage();
  } else {
    // The update failed, the game as it was is still there: the player plays that one.
    Note("starting the installed game " + game);
    view_.Hide();
    const platform::LaunchResult launched =
        world_.launcher.Run(game, {}, platform::WindowStyle::kNormalWithFocus);
    if (!launched.Started()) Problem("could not start the game " + game + Why(launched));
  }
  Unload();
}

void UpdateWindow::DeleteDownload() {
  if (savePath_.empty() || !world_.files.Exists(savePath_)) return;
  // A shell installer reads its own file while it runs: it stays until it has ended.
  if (installerPid_ > 0 && !InstallerEnded()) {
    Problem("the installer " + savePath_ + " still runs; it is left in place");
    return;
  }
  if (!world_.files.Delete(savePath_)) Problem("could not delete " + savePath_);
}

// ---- The first decision

void UpdateWindow::OnStartCheck() {
  startCheckTimer_->SetEnabled(false);
  if (unloaded_) return;

  if (run_.mode == RunMode::kBrowserMode) {
    alert_.ShowModal();
    // The notice's home page ended the updater, or the program is quitting.
    if (unloaded_ || alert_.IsOpen()) return;
    if (IsBrowserInstalled(world_.settings, world_.files)) {
      const platform::LaunchResult launched = world_.launcher.Run(
          run_.browserFolder + ExecutableName(kBrowserProgram), {}, platform::WindowStyle::kNormal);
      if (!launched.Started()) Problem("could not start the browser" + Why(launched));
      Unload();
      return;
    }
    const platform::MessageAnswer answer = world_.desktop.ShowMessage(
        "Ostrel 브라우져설치",
        "Velmaro 게임을 실행하기 위해서는 [Ostrel 브라우져]가 필요합니다 \r\n"
        "Ostrel 브라우져를 지금 설치하시겠습니까?",
        MessageIcon::kInformation, MessageButtons::kYesNo);
    if (answer == platform::MessageAnswer::kYes) {
      browserTimer_->SetEnabled(true);
    } else {
      Unload();
    }
    return;
  }

  if (run_.gameListUrl.empty()) {
    UpdateFromList(std::nullopt);
    return;
  }
  listAsked_ = world_.loop.Now();
  world_.listClient.Execute(run_.gameListUrl, "GET", "", "");
  listWaitTimer_->SetEnabled(true);
}

// ---- The game's list

void UpdateWindow::OnListWait() {
  if (unloaded_) return;
  const double waited = world_.loop.Now() - listAsked_;
  if (waited >= kListWaitSeconds - 1e-9) {
    listWaitTimer_->SetEnabled(false);
    world_.listClient.Cancel();
    Note("the list " + run_.gameListUrl + " did not come within " +
         std::to_string(static_cast<int>(kListWaitSeconds)) + " s");
    UpdateFromList(std::nullopt);
    return;
  }
  if (waited >= kListShowSeconds - 1e-9 && !shown_) {
    view_.SetCaption(kUpdateTitle);
    view_.SetStatus("업데이트 확인중...", false);
    view_.Show();
    shown_ = true;
  }
}

void UpdateWindow::OnListAnswer(int state) {
  if (unloaded_) return;
  listWaitTimer_->SetEnabled(false);
  if (state != platform::kHttpResponseCompleted) {
    Note("the list " + run_.gameListUrl + " could not be fetched");
    UpdateFromList(std::nullopt);
    return;
  }
  UpdateFromList(world_.listClient.GetChunk(kListMaxBytes));
}

void UpdateWindow::UpdateFromList(const std::optional<std::string>& text) {
  const GameList read = text ? ReadGameList(*text, world_.listKey) : GameList{};
  if (!read.problem.empty()) Problem(run_.gameListUrl + ": " + read.problem);
  if (read.badSignature) {
    world_.desktop.ShowMessage("업데이트에러",
                               "업데이트 목록의 서명이 맞지 않습니다     \r\n"
                               "설치되어 있는 게임을 그대로 실행합니다    ",
                               MessageIcon::kError, MessageButtons::kOk);
    if (unloaded_) return;
  }
  const std::optional<UpdateList>& list = read.list;
  if (!list || VersionNumber(run_.installedVersion) >= list->versionNumber) {
    if (shown_) view_.Hide();
    StartTheGame();
    Unload();
    return;
  }
  Note("version " + list->version + " is offered, " + run_.installedVersion + " is installed");
  if (!MayReplaceTheGame()) {
    Unload();
    return;
  }
  if (!shown_) view_.Show();
  shown_ = true;
  savePath_ = run_.gameFolder + ExecutableName(list->version);
  kind_ = DownloadKind::kGame;
  expectedDigest_ = list->digest;
  view_.SetCaption(kUpdateTitle);
  world_.download.Begin(list->address, savePath_);
}

// ---- The running game

bool UpdateWindow::MayReplaceTheGame() {
  const int pid = world_.runningGame ? world_.runningGame() : 0;
  if (pid <= 0) return true;
  Note("the game runs (process " + std::to_string(pid) + ")");
  const platform::MessageAnswer answer =
      world_.desktop.ShowMessage("업데이트",
                                 "게임이 실행중입니다\r\n"
                                 "지금 게임을 종료하고 업데이트하시겠습니까?",
                                 MessageIcon::kQuestion, MessageButtons::kYesNo);
  if (unloaded_) return false;
  if (answer != platform::MessageAnswer::kYes) {
    Note("not updated now: the running game is left alone");
    return false;
  }
  if (!StopTheGame(pid)) {
    Problem("could not stop the game (process " + std::to_string(pid) + "); not updated now");
    return false;
  }
  Note("the game was closed for the update");
  return true;
}

bool UpdateWindow::StopTheGame(int pid) {
  const double start = world_.loop.Now();
  bool forced = false;
  if (!KillProcessById(world_.processes, pid, false)) return world_.runningGame() != pid;
  while (!unloaded_ && world_.runningGame() == pid) {
    const double waited = world_.loop.Now() - start;
    if (waited >= 2 * kTermGraceSeconds) return false;
    if (!forced && waited >= kTermGraceSeconds) {
      KillProcessById(world_.processes, pid, true);
      forced = true;
    }
    world_.loop.WaitSeconds(kPollSeconds);
  }
  return !unloaded_;
}

// ---- The browser's list and download

void UpdateWindow::OnBrowserTimer() {
  browserTimer_->SetEnabled(false);
  if (unloaded_) return;
  world_.loop.ProcessEvents();
  const std::optional<std::string> text =
      world_.fetchText ? world_.fetchText(run_.browserListUrl) : std::nullopt;
  world_.loop.ProcessEvents();
  if (unloaded_) return;
  const std::optional<UpdateList> list = text ? ParseUpdateList(*text) : std::nullopt;
  if (!list) {
    world_.desktop.ShowMessage("업데이트에러",
                               "Ostrel 브라우져 자동업데이트 에러가 발생하였습니다\r\n"
                               "Ostrel 홈페이지에서 다운로드하여 설치해 주십시요   ",
                               MessageIcon::kInformation, MessageButtons::kOk);
    world_.desktop.OpenWithShell(run_.browserUrl);
    Unload();
    return;
  }

  view_.Show();
  for (const char* program :
       {kBrowserTaskProgram, kBrowserCheckProgram, kBrowserProgram, kBrowserMainProgram}) {
    StopProgram(ExecutableName(program));
    if (unloaded_) return;
  }
  view_.ClearProgress();
  savePath_ = run_.browserFolder + ExecutableName(list->version);
  installerName_ = ExecutableName(list->version);
  kind_ = DownloadKind::kBrowser;
  expectedDigest_ = list->digest;
  view_.SetCaption("Ostrel 다운로드/설치");
  world_.download.Begin(list->address, savePath_);
}

void UpdateWindow::StopProgram(std::string_view program) {
  const double start = world_.loop.Now();
  while (!unloaded_ && IsProcessRunning(world_.processes, program)) {
    // A program that ignores SIGTERM would keep this loop going for ever.
    const bool force = world_.loop.Now() - start >= kTermGraceSeconds;
    if (!KillProcessByName(world_.processes, program, force)) {
      // Another user's program, which we may not signal, would keep this loop going
      // for ever too (or the program has just ended). Its installer will have to cope.
      if (IsProcessRunning(world_.processes, program)) {
        Problem("could not stop " + std::string(program));
      }
      return;
    }
    world_.loop.WaitSeconds(kPollSeconds);
  }
}

void UpdateWindow::WaitWhileRunning(std::string_view program) {
  while (!unloaded_ && IsProcessRunning(world_.processes, program))
    world_.loop.WaitSeconds(kPollSeconds);
}

// ---- The download's events

void UpdateWindow::OnDownloadProgress(std::int64_t read, std::int64_t total, const std::string&) {
  if (unloaded_) return;
  const Progress progress = ComputeProgress(read, total);
  view_.DrawProgress(progress.width);
  view_.SetStatus(progress.status, false);
}

void UpdateWindow::OnDownloadError(const std::string& savePath) {
  if (unloaded_) return;
  Note("the download of " + savePath + " failed");
  FailUpdate(kDownloadErrorCaption, kUpdateErrorText);
}

void UpdateWindow::OnDownloadComplete(std::int64_t, const std::string& savePath) {
  if (unloaded_) return;
  view_.SetStatus("설치준비중....", true);
  if (!world_.files.Exists(savePath)) {
    FailUpdate(kDownloadErrorCaption,
               "다운로드중 에러가 발생하였습니다     \r\n"
               "홈페이지에서 다운로드/설치를 해주십시요    ");
    return;
  }
  // A list that names the installer's SHA-256 gets exactly that installer: a damaged or
  // replaced download is an error like a failed one, and is never run.
  if (IsSha256Hex(expectedDigest_) && !FileMatchesDigest(savePath, expectedDigest_)) {
    Problem("the download " + savePath + " does not match the list's SHA-256");
    OnDownloadError(savePath);
    return;
  }
  std::error_code error;
  std::filesystem::permissions(savePath, std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add, error);
  if (error) Problem("could not make " + savePath + " executable: " + error.message());

  if (kind_ == DownloadKind::kBrowser) {
    const platform::LaunchResult launched =
        world_.launcher.Run(savePath, {}, platform::WindowStyle::kHidden);
    if (!launched.Started()) Problem("could not run the installer " + savePath + Why(launched));
    installWaitTimer_->SetEnabled(true);
    return;
  }

  // The game may have been started while the installer came.
  if (!MayReplaceTheGame()) {
    DeleteDownload();
    Unload();
    return;
  }
  Note("running the installer " + savePath + "; its output follows");
  installerLogStart_ = FileSize(run_.logPath);
  const platform::LaunchResult launched = world_.launcher.RunWatched(savePath, {}, run_.logPath);
  if (!launched.Started()) {
    Problem("could not run the installer " + savePath + Why(launched));
    FailUpdate(kInstallErrorCaption,
               std::string(kInstallErrorText) + "\r\n\r\n" + std::strerror(launched.error));
    return;
  }
  installerPid_ = launched.pid;
  installWaitTimer_->SetEnabled(true);
}

// ---- The wait for the installer

bool UpdateWindow::InstallerEnded(double seconds) {
  if (installerPid_ <= 0 || installerEnd_) return true;
  const double start = world_.loop.Now();
  for (;;) {
    installerEnd_ = world_.launcher.PollExit(installerPid_);
    if (installerEnd_) {
      Note(installerEnd_->signal != 0
               ? "the installer was ended by signal " + std::to_string(installerEnd_->signal)
               : "the installer ended with status " + std::to_string(installerEnd_->code));
      return true;
    }
    if (unloaded_ || world_.loop.Now() - start >= seconds) return false;
    world_.loop.WaitSeconds(kPollSeconds);
  }
}

void UpdateWindow::StopInstaller() {
  if (InstallerEnded()) return;
  Note("the installer still runs after " +
       std::to_string(kInstallWaitLimit * kTimerInterval / 1000) + " s: it is stopped");
  // On SIGTERM the game's installer takes back what it did; it is killed only when it
  // has not ended after its grace time.
  if (KillProcessById(world_.processes, installerPid_, false) &&
      !InstallerEnded(kTermGraceSeconds)) {
    KillProcessById(world_.processes, installerPid_, true);
    InstallerEnded(kTermGraceSeconds);
  }
}

std::string UpdateWindow::InstallerFailure(const platform::ExitStatus& end) const {
  std::string why = end.Succeeded()
                        ? "설치 프로그램이 끝났지만 새 업데이트 프로그램을 남기지 않았습니다"
                        : LastInstallerLine(run_.logPath, installerLogStart_);
  if (why.empty()) {
    why = end.signal != 0 ? "설치 프로그램 종료 신호: " + std::to_string(end.signal)
                          : "설치 프로그램 종료코드: " + std::to_string(end.code);
  }
  return why + "\r\n(자세한 내용: " + run_.logPath + ")";
}

void UpdateWindow::OnInstallWait() {
  if (unloaded_) return;
  ++installWaitTicks_;
  if (kind_ == DownloadKind::kGame && !installerEnd_ && InstallerEnded() &&
      !installerEnd_->Succeeded()) {
    installWaitTimer_->SetEnabled(false);
    FailUpdate(kInstallErrorCaption,
               std::string(kInstallErrorText) + "\r\n\r\n" + InstallerFailure(*installerEnd_));
    return;
  }
  if (installWaitTicks_ > kInstallWaitLimit) {
    installWaitTimer_->SetEnabled(false);
    if (kind_ == DownloadKind::kGame) StopInstaller();
    FailUpdate(kInstallErrorCaption, kInstallErrorText);
    return;
  }
  if (kind_ == DownloadKind::kBrowser) {
    FinishBrowserInstall();
    return;
  }
  FinishGameInstall();
  // An installer that has ended well without leaving the new copy never will.
  if (!unloaded_ && installerEnd_ && installerEnd_->Succeeded() &&
      !world_.files.Exists(run_.gameFolder + ExecutableName(kNewUpdaterProgram))) {
    installWaitTimer_->SetEnabled(false);
    FailUpdate(kInstallErrorCaption,
               std::string(kInstallErrorText) + "\r\n\r\n" + InstallerFailure(*installerEnd_));
  }
}

void UpdateWindow::FinishBrowserInstall() {
  for (const char* program :
       {kBrowserProgram, kBrowserTaskProgram, kBrowserCheckProgram, kNewBrowserMainProgram}) {
    if (!world_.files.Exists(run_.browserFolder + ExecutableName(program))) return;
  }
  installWaitTimer_->SetEnabled(false);
  DeleteBrowserHandOver(world_.settings);
  if (run_.mode == RunMode::kGameMode) {
    view_.Hide();
    StartTheGame();
    Unload();
    return;
  }
  world_.launcher.ShellOpenFile(run_.browserFolder + ExecutableName(kBrowserProgram), "SL");
  WaitWhileRunning(ExecutableName(kBrowserProgram));
  view_.Hide();
  WaitWhileRunning(installerName_);
  if (unloaded_) return;
  DeleteDownload();
  world_.launcher.ShellOpenFile(run_.browserFolder + ExecutableName(kBrowserCheckProgram),
                                "AS^100^");
  Unload();
}

void UpdateWindow::FinishGameInstall() {
  const std::string newUpdater = run_.gameFolder + ExecutableName(kNewUpdaterProgram);
  if (!world_.files.Exists(newUpdater)) return;
  installWaitTimer_->SetEnabled(false);
  // The new copy records its own version as "RunVer" and ends at once.
  const int opened = world_.launcher.ShellOpenFile(newUpdater, "");
  if (!platform::ShellSucceeded(opened)) {
    Problem("could not run " + newUpdater + " (code " + std::to_string(opened) + ")");
  }
  WaitWhileRunning(ExecutableName(kNewUpdaterProgram));
  if (unloaded_) return;
  if (world_.settings.Read(kSettingsApp, kGameSection, kRunVerSetting).value_or("").empty()) {
    installWaitTimer_->SetEnabled(true);  // the tick count goes on where it stood
    return;
  }
  DeleteBrowserHandOver(world_.settings);
  // The installer has put everything in place; its last lines may still be running.
  InstallerEnded(kTermGraceSeconds);
  if (unloaded_) return;
  DeleteDownload();
  Note("version " + world_.settings.Read(kSettingsApp, kGameSection, kRunVerSetting).value_or("") +
       " is installed");
  view_.Hide();
  StartTheGame();
  Unload();
}

}  // namespace hw::updater
