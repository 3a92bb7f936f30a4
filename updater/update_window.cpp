#include "updater/update_window.h"

#include <charconv>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/shared_names.h"
#include "updater/toolbox.h"
#include "updater/update_list.h"

namespace hw::updater {
namespace {

using platform::ExecutableName;
using platform::MessageButtons;
using platform::MessageIcon;

constexpr const char* kDownloadErrorCaption = "다운로드에러";

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
  if (onUnload) onUnload();
}

void UpdateWindow::Problem(const std::string& text) {
  if (onProblem) onProblem(text);
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

  world_.loop.ProcessEvents();
  const std::optional<std::string> text =
      world_.fetchText ? world_.fetchText(run_.gameListUrl) : std::nullopt;
  world_.loop.ProcessEvents();
  if (unloaded_) return;
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
    StartTheGame();
    Unload();
    return;
  }
  view_.Show();
  savePath_ = run_.gameFolder + ExecutableName(list->version);
  kind_ = DownloadKind::kGame;
  expectedDigest_ = list->digest;
  view_.SetCaption("Velmaro 업데이트..");
  world_.download.Begin(list->address, savePath_);
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
  world_.desktop.ShowMessage(kDownloadErrorCaption,
                             "업데이트중 에러가 발생하였습니다     \r\n"
                             "홈페이지에서 다운로드/설치를 해주십시요    ",
                             MessageIcon::kError, MessageButtons::kOk);
  OpenHomePage();
  if (world_.files.Exists(savePath) && !world_.files.Delete(savePath)) {
    Problem("could not delete " + savePath);
  }
  Unload();
}

void UpdateWindow::OnDownloadComplete(std::int64_t, const std::string& savePath) {
  if (unloaded_) return;
  view_.SetStatus("설치준비중....", true);
  if (!world_.files.Exists(savePath)) {
    world_.desktop.ShowMessage(kDownloadErrorCaption,
                               "다운로드중 에러가 발생하였습니다     \r\n"
                               "홈페이지에서 다운로드/설치를 해주십시요    ",
                               MessageIcon::kError, MessageButtons::kOk);
    OpenHomePage();
    Unload();
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
  const platform::LaunchResult launched =
      world_.launcher.Run(savePath, {}, platform::WindowStyle::kHidden);
  if (!launched.Started()) Problem("could not run the installer " + savePath + Why(launched));
  installWaitTimer_->SetEnabled(true);
}

// ---- The wait for the installer

void UpdateWindow::OnInstallWait() {
  if (unloaded_) return;
  ++installWaitTicks_;
  if (installWaitTicks_ > kInstallWaitLimit) {
    world_.desktop.ShowMessage("설치에러",
                               "설치도중 에러가 발생하였습니다     \r\n"
                               "홈페이지에서 직접 다운로드/설치를 해주십시요      ",
                               MessageIcon::kError, MessageButtons::kOk);
    OpenHomePage();
    Unload();
    return;
  }
  if (kind_ == DownloadKind::kBrowser) {
    FinishBrowserInstall();
  } else {
    FinishGameInstall();
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
  view_.Hide();
  StartTheGame();
  Unload();
}

}  // namespace hw::updater
