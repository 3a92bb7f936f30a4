#include "mainwindow/startup.h"

#include "mainwindow/settings.h"
#include "rules/card_table.h"
#include "rules/missions_ranks.h"

namespace hw {

// clang-format off
const std::array<const char*, kSkinImages> kSkinImageNames = {
    "btn_GameMenu_Exit2.gif", "btn_GameMenu_Max.gif",   "btn_GameMenu_Min.gif",
    "btn_GameMenu_Res.gif",   "btn_GameStart.gif",      "btn_HwatableMenu_Go.gif",
    "btn_HwatableMenu_Stop.gif", "btn_GukJin_No.gif",   "btn_GukJin_Yes.gif",
    "btn_LoginHome.gif",      "btn_LoginLoss.gif",      "btn_LoginMember.gif",
    "btn_LoginOK.gif",        "btn_ResultOK.gif",       "btn_WaitMenu_Exit.gif",
    "btn_GameMenu_Option.gif", "img_Avatas.gif",        "img_groom.jpg",
    "img_Mission.gif",        "img_MissionGubun.gif",   "img_Sun.gif",
    "whatoo.gif",             "num_current.gif",        "num_state.gif",
    "num_Mission_BeSu.gif",   "pop_Window_Chong.gif",   "pop_Window_Hwatable.gif",
    "pop_Window_GukJin.gif",  "pop_Window_Login.gif",   "pop_Window_Result2.gif",
    "pop_Window_Result.gif",  "pop_Window_Select.gif",  "pop_Window_Wave.gif",
    "pop_Window_WaveOK.gif",
};
// clang-format on

std::string AppFolder(const GameInfoRecord& info) {
  return platform::WithTrailingSeparator(info.ProgramFolder);
}

std::string ImagePath(const GameInfoRecord& info, std::string_view fileName) {
  return AppFolder(info) + "images/" + std::string(fileName);
}

std::string PortalUrlProblem(std::string_view baseUrl) {
  const std::string shown = "the portal address \"" + std::string(baseUrl) + "\"";
  if (!baseUrl.starts_with("http://") && !baseUrl.starts_with("https://")) {
    return shown + " must start with \"http://\" or \"https://\"";
  }
  if (!baseUrl.ends_with("/")) return shown + " must end in \"/\"";
  return "";
}

PortalAddresses BuildPortalAddresses(const std::string& baseUrl) {
  return {.Base = baseUrl,
          .Login = baseUrl + "sub/chk.asp",
          .ScoreSave = baseUrl + "sub/svp.asp",
          .Deal = baseUrl + "sub/deal.asp",
          .JoinPage = baseUrl + "sub/redir.asp?no=1",
          .LostAccountPage = baseUrl + "sub/redir.asp?no=2",
          .TopUpPage = baseUrl + "sub/redir.asp?no=3",
          .Logout = baseUrl + "sub/lgo.asp"};
}

std::string FinishUpdaterHandOver(platform::FileSystem& files, const GameInfoRecord& info) {
  const std::string newUpdater = AppFolder(info) + platform::ExecutableName(kNewUpdaterProgram);
  if (!files.Exists(newUpdater)) return "";
  // The copy replaces the old updater in one step, so there is never a moment without
  // one; should it fail, both files stay and the next start tries again.
  if (!files.Copy(newUpdater, info.UpdaterPath)) {
    return "could not put the new updater " + newUpdater + " in place of " + info.UpdaterPath;
  }
  if (!files.Delete(newUpdater)) return "could not remove " + newUpdater + " after copying it";
  return "";
}

StartupResult RunStartup(GameState& state, StartupWorld& world) {
  StartupResult result;
  auto note = [&result](std::string problem) {
    if (!problem.empty()) result.problems.push_back(std::move(problem));
  };

  GameInfoRecord& info = state.GameInfo;
  info = GameInfoRecord{};
  info.ProgramFolder = platform::WithTrailingSeparator(world.files.ProgramFolder());
  info.GamePath = info.ProgramFolder + platform::ExecutableName(kGameProgram);
  info.UpdaterPath = info.ProgramFolder + platform::ExecutableName(kUpdaterProgram);

  for (const char* name : {"OstrelJname", "OstrelJcode"}) {
    if (!world.settings.Delete(kSettingsApp, kBrowserSection, name)) {
      note(std::string("could not delete the setting ") + name);
    }
  }

  const std::pair<std::string_view, const std::string*> installation[] = {
      {kRunVerSetting, &info.Version},
      {kRunPathSetting, &info.GamePath},
      {kRunUpSetting, &info.UpdaterPath}};
  for (const auto& [name, value] : installation) {
    if (!world.settings.Save(kSettingsApp, kGameSection, name, *value)) {
      note("could not save the setting " + std::string(name));
    }
  }

  note(FinishUpdaterHandOver(world.files, info));

  for (int i = 0; i < kSkinImages; ++i)
    state.SkinImages[i] = ImagePath(info, kSkinImageNames[i]);
  state.Portal = {};
  if (world.localPortal) {
    // filled in once the local portal answers
  } else if (world.portalBaseUrl.empty()) {
    note("no portal address is configured");
  } else if (const std::string problem = PortalUrlProblem(world.portalBaseUrl); !problem.empty()) {
    note(problem);
  } else {
    state.Portal = BuildPortalAddresses(world.portalBaseUrl);
  }

  BuildRankTable(state);
  BuildMissionTable(state);

  if (world.displayCheck && !world.displayCheck()) {
    result.proceed = false;
    return result;
  }

  SetUpBoardLayout(state);
  return result;
}

}  // namespace hw
