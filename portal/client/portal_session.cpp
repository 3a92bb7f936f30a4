#include "portal/client/portal_session.h"

#include "hand/hand_setup.h"
#include "portal/client/form.h"

namespace hw::portal {

PortalSession::PortalSession(Game& game, platform::HttpClient& http) : game_(game), http_(http) {
  http_.onStateChanged = [this](int state) { OnStateChanged(state); };
}

void PortalSession::PostScoreSave(const ScoreReport& report) {
  const std::string body = FormBody({{"recencode", kAccessCode},
                                     {"recnick", report.Name},
                                     {"recgcode", report.GameCode},
                                     {"recpoint", report.Money},
                                     {"recuppoint", report.UpPoint},
                                     {"recwin", report.Wins},
                                     {"reclose", report.Losses},
                                     {"recdraw", report.Draws},
                                     {"recmission", report.Missions},
                                     {"recsession", game_.state.PlayerInfo.SessionToken}});
  http_.Cancel();
  pending_ = Pending::kScoreSave;
  http_.Execute(game_.state.Portal.ScoreSave, "POST", body, kFormHeader);
  game_.loop.ProcessEvents();
}

void PortalSession::Logout(double waitSeconds) {
  const PlayerInfoRecord& info = game_.state.PlayerInfo;
  if (info.SessionToken.empty() || game_.state.Portal.Logout.empty()) return;  // not logged in
  const std::string body = FormBody({{"recencode", kAccessCode},
                                     {"recnick", info.Name},
                                     {"recgcode", game_.state.GameInfo.GameCode},
                                     {"recsession", info.SessionToken}});
  http_.Cancel();
  pending_ = Pending::kLogout;
  http_.Execute(game_.state.Portal.Logout, "POST", body, kFormHeader);
  game_.loop.ProcessEvents();
  const double end = game_.loop.Now() + waitSeconds;
  while (pending_ == Pending::kLogout && game_.loop.Now() < end)
    game_.loop.WaitSeconds(0.02);
}

void PortalSession::OnStateChanged(int state) {
  const Pending pending = pending_;
  pending_ = Pending::kNone;
  if (pending != Pending::kScoreSave) return;  // the logout's reply is not read
  const std::string& caption = game_.state.GameInfo.ProductName;
  auto show = [&](std::string_view text, platform::MessageIcon icon) {
    game_.desktop.ShowMessage(caption, text, icon, platform::MessageButtons::kOk);
  };
  if (state == platform::kHttpRequestFailed) {
    show(JoinLines({"Quenrith 게임서버 접속이 원할하지않아 점수저장에 실패하였습니다",
                    "잠시후 다시 게임에 접속하여 이용해 주시기 바랍니다"}),
         platform::MessageIcon::kInformation);
    return;
  }
  if (state != platform::kHttpResponseCompleted) return;
  const std::string reply = http_.GetChunk(1024);
  if (reply.empty()) {
    show(JoinLines({"게임정보가 올바르지 않아 점수저장에 실패하였습니다 ",
                    "잠시후 다시 게임에 접속하여 이용해 주시기 바랍니다   "}),
         platform::MessageIcon::kInformation);
    return;
  }
  const std::vector<std::string> fields = SplitReply(reply);
  if (reply.starts_with("ER")) {
    show(fields.size() > 1 ? fields[1] : "", platform::MessageIcon::kError);
    return;
  }
  if (!reply.starts_with("OK")) return;  // anything else is not ours to read
  bool wellFormed = fields.size() == 7;
  for (int i = 1; wellFormed && i <= 5; ++i)
    wellFormed = IsNumeric(fields[i]);
  if (!wellFormed) {
    show(JoinLines(
             {"게임정보 저장중 에러가 발생하였습니다 ", "잠시후 다시 접속해 주시기 바랍니다   "}),
         platform::MessageIcon::kInformation);
    return;
  }
  GameState& s = game_.state;
  PlayerInfoRecord& info = s.PlayerInfo;
  info.Money = fields[1];
  info.Wins = fields[2];
  info.Losses = fields[3];
  info.Draws = fields[4];
  info.MissionCount = fields[5];
  SetUpPlayer(s, kHuman, info.Name, info.VoiceFolder, info.Money, info.Avatar, info.Wins,
              info.Losses, info.Draws, kHumanSeat, info.MissionCount);
  game_.board.DrawPlayerPanel(kHuman);
}

}  // namespace hw::portal
