#include "portal/client/portal_session.h"

#include <random>

#include "hand/hand_setup.h"
#include "hand/moves.h"
#include "portal/client/form.h"
#include "rules/deal.h"
#include "rules/room_title.h"

namespace hw::portal {
namespace {

// The game's half of a deal's seed: 128 bits the portal cannot foresee, so that it
// cannot pick a server seed against the deal (see the portal's fairness page).
std::string NewGameSeed() {
  static constexpr char kHex[] = "0123456789abcdef";
  std::random_device device;
  std::string seed;
  for (int word = 0; word < 4; ++word) {
    const std::uint32_t bits = device();
    for (int shift = 28; shift >= 0; shift -= 4)
      seed += kHex[(bits >> shift) & 15];
  }
  return seed;
}

const std::string& kDealFailure() {
  static const std::string text =
      JoinLines({"Quenrith 게임서버 접속이 원할하지않아 판을 시작하지 못하였습니다",
                 "잠시후 다시 시도해 주시기 바랍니다"});
  return text;
}

const std::string& kLoadingError() {
  static const std::string text = JoinLines(
      {"게임정보 로딩중 에러가 발생하였습니다 ", "잠시후 다시 접속해 주시기 바랍니다   "});
  return text;
}

}  // namespace

PortalSession::PortalSession(Game& game, platform::HttpClient& http) : game_(game), http_(http) {
  http_.onStateChanged = [this](int state) { OnStateChanged(state); };
}

void PortalSession::Post(Pending what, const std::string& url, const std::string& body) {
  http_.Cancel();
  pending_ = what;
  http_.Execute(url, "POST", body, kFormHeader);
  game_.loop.ProcessEvents();
}

void PortalSession::RequestHand() {
  if (pending_ == Pending::kDeal || pending_ == Pending::kSaveBeforeDeal) return;
  const RoomRecord& room = game_.state.Room;
  askedStake_ = room.StakeText;
  askedServiceCards_ = room.ServiceCards;
  askedOpponent_ = room.Opponent;
  if (unanswered_) {
    Post(Pending::kSaveBeforeDeal, game_.state.Portal.ScoreSave, *unanswered_);
  } else {
    PostDeal();
  }
}

void PortalSession::PostDeal() {
  const GameState& s = game_.state;
  const std::string service = std::to_string(askedServiceCards_);
  if (gameSeed_.empty()) gameSeed_ = NewGameSeed();
  std::vector<std::pair<std::string_view, std::string_view>> fields{
      {"recencode", kAccessCode},
      {"recnick", s.PlayerInfo.Name},
      {"recgcode", s.GameInfo.GameCode},
      {"recsession", s.PlayerInfo.SessionToken},
      {"recstake", askedStake_},
      {"recservice", service},
      {"recseed", gameSeed_}};
  // The level goes only with 고수: a 보통 deal is asked as every game has asked it.
  const std::string level = std::to_string(static_cast<int>(askedOpponent_));
  if (askedOpponent_ != OpponentLevel::kWritten) fields.emplace_back("reclevel", level);
  Post(Pending::kDeal, s.Portal.Deal, FormBody(fields));
}

void PortalSession::PostScoreSave(const ScoreReport& report) {
  unanswered_ = FormBody({{"recencode", kAccessCode},
                          {"recnick", report.Name},
                          {"recgcode", report.GameCode},
                          {"recpoint", report.Money},
                          {"recuppoint", report.UpPoint},
                          {"recwin", report.Wins},
                          {"reclose", report.Losses},
                          {"recdraw", report.Draws},
                          {"recmission", report.Missions},
                          {"recsession", game_.state.PlayerInfo.SessionToken},
                          {"rechand", report.HandId},
                          {"recplay", report.Record}});
  failureShown_ = false;
  Post(Pending::kScoreSave, game_.state.Portal.ScoreSave, *unanswered_);
}

void PortalSession::WaitForReply(double seconds) {
  const double end = game_.loop.Now() + seconds;
  while (pending_ != Pending::kNone && game_.loop.Now() < end)
    game_.loop.WaitSeconds(0.02);
}

void PortalSession::Logout(double waitSeconds) {
  const PlayerInfoRecord& info = game_.state.PlayerInfo;
  if (info.SessionToken.empty() || game_.state.Portal.Logout.empty()) return;  // not logged in
  if (unanswered_) {
    Post(Pending::kSaveBeforeLogout, game_.state.Portal.ScoreSave, *unanswered_);
    WaitForReply(waitSeconds);
  }
  Post(Pending::kLogout, game_.state.Portal.Logout,
       FormBody({{"recencode", kAccessCode},
                 {"recnick", info.Name},
                 {"recgcode", game_.state.GameInfo.GameCode},
                 {"recsession", info.SessionToken}}));
  WaitForReply(waitSeconds);
}

void PortalSession::OnStateChanged(int state) {
  const Pending pending = pending_;
  pending_ = Pending::kNone;
  switch (pending) {
    case Pending::kScoreSave:
      TakeSaveReply(state, Tell::kEverything);
      return;
    case Pending::kSaveBeforeDeal:
      // The player has seen this save fail already; should the portal still not answer,
      // no hand can be dealt either.
      if (TakeSaveReply(state, Tell::kAnswersOnly) == SaveOutcome::kAnswered) {
        PostDeal();
      } else {
        Show(kDealFailure(), platform::MessageIcon::kInformation);
      }
      return;
    case Pending::kDeal:
      TakeDealReply(state);
      return;
    case Pending::kSaveBeforeLogout:
      TakeSaveReply(state, Tell::kNothing);
      return;
    case Pending::kLogout:  // its reply is not read
    case Pending::kNone:
      return;
  }
}

void PortalSession::Show(std::string_view text, platform::MessageIcon icon) {
  game_.desktop.ShowMessage(game_.state.GameInfo.ProductName, text, icon,
                            platform::MessageButtons::kOk);
}

PortalSession::SaveOutcome PortalSession::TakeSaveReply(int state, Tell tell) {
  // The save stays for another post when the portal did not answer it.
  auto notAnswered = [&](const std::string& text) {
    if (tell == Tell::kEverything && !failureShown_ && !text.empty()) {
      Show(text, platform::MessageIcon::kInformation);
      failureShown_ = true;
    }
    return SaveOutcome::kNotAnswered;
  };
  auto answer = [&](std::string_view text, platform::MessageIcon icon) {
    if (tell != Tell::kNothing) Show(text, icon);
    return SaveOutcome::kAnswered;
  };
  if (state == platform::kHttpRequestFailed) {
    return notAnswered(JoinLines({"Quenrith 게임서버 접속이 원할하지않아 점수저장에 실패하였습니다",
                                  "잠시후 다시 게임에 접속하여 이용해 주시기 바랍니다"}));
  }
  if (state != platform::kHttpResponseCompleted) return SaveOutcome::kNotAnswered;
  const std::string reply = http_.GetChunk(1024);
  if (reply.empty()) {
    return notAnswered(JoinLines({"게임정보가 올바르지 않아 점수저장에 실패하였습니다 ",
                                  "잠시후 다시 게임에 접속하여 이용해 주시기 바랍니다   "}));
  }
  // Not the portal's answer (a proxy's page, say): nothing to show, the save stays.
  if (!reply.starts_with("ER") && !reply.starts_with("OK")) return notAnswered("");

  // The portal has answered: posting the save again would only bring the same answer.
  unanswered_.reset();
  const std::vector<std::string> fields = SplitReply(reply);
  if (reply.starts_with("ER")) {
    return answer(fields.size() > 1 ? fields[1] : "", platform::MessageIcon::kError);
  }
  bool wellFormed = fields.size() == 7 && fields[0] == "OK";
  for (int i = 1; wellFormed && i <= 5; ++i)
    wellFormed = IsNumeric(fields[i]);
  if (!wellFormed) {
    return answer(JoinLines({"게임정보 저장중 에러가 발생하였습니다 ",
                             "잠시후 다시 접속해 주시기 바랍니다   "}),
                  platform::MessageIcon::kInformation);
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
  return SaveOutcome::kAnswered;
}

void PortalSession::TakeDealReply(int state) {
  if (state == platform::kHttpRequestFailed) {
    Show(kDealFailure(), platform::MessageIcon::kInformation);
    return;
  }
  if (state != platform::kHttpResponseCompleted) return;
  const std::string reply = http_.GetChunk(1024);
  const std::vector<std::string> fields = SplitReply(reply);
  if (reply.starts_with("ER")) {
    Show(fields.size() > 1 ? fields[1] : "", platform::MessageIcon::kError);
    return;
  }
  if (!IsDealReply(fields, askedServiceCards_)) {
    Show(kLoadingError(), platform::MessageIcon::kInformation);
    return;
  }
  gameSeed_.clear();
  GameState& s = game_.state;
  RoomRecord& room = s.Room;
  if (room.HandRunning || game_.Window().Unloaded()) return;
  // The hand is played as the portal dealt it, from the money it holds, with the
  // settings it was asked for (the options may have changed them meanwhile), against the
  // computer player the portal settles it against.
  s.PlayerInfo.Money = fields[5];
  room.Opponent = askedOpponent_;
  if (room.StakeText != askedStake_ || room.ServiceCards != askedServiceCards_) {
    room.StakeText = askedStake_;
    room.ServiceCards = askedServiceCards_;
    game_.board.DrawRoomTitle(RoomTitle(room));
  }
  room.SeonName = fields[4] == "1" ? s.PlayerInfo.Name : std::string(kComputerName);
  room.HandId = fields[1];
  game_.nextDeck = fields[2];
  game_.nextMission = std::stoi(fields[3]);
  DealHand(game_);
}

}  // namespace hw::portal
