#include "portal/server/game_posts.h"

#include <optional>

namespace hw::portal {
namespace {

// The first value posted under `name`, empty when there is none.
std::string Field(const httplib::Params& fields, const char* name) {
  const auto found = fields.find(name);
  return found == fields.end() ? std::string() : found->second;
}

// Every post carries the access code and the game code; a refusal when either is wrong.
std::optional<std::string> RefuseCaller(const httplib::Params& fields) {
  if (Field(fields, "recencode") != kAccessCode) return "ER|허가되지 않은 접속입니다";
  if (Field(fields, "recgcode") != kGameCode) return "ER|지원하지 않는 게임입니다";
  return std::nullopt;
}

std::string RefusalText(ScoreRefusal refusal) {
  switch (refusal) {
    case ScoreRefusal::kSession:
      return "ER|접속 정보가 맞지 않습니다. 게임에 다시 접속해 주십시오";
    case ScoreRefusal::kMalformed:
      return "ER|게임 정보의 숫자가 올바르지 않습니다";
    case ScoreRefusal::kNegativeMoney:
      return "ER|보유 금액은 0원보다 적을 수 없습니다";
    case ScoreRefusal::kMoneyMismatch:
      return "ER|보유 금액이 서버의 기록과 맞지 않습니다. 게임에 다시 접속해 주십시오";
    case ScoreRefusal::kCounts:
      return "ER|전적이 서버의 기록과 맞지 않습니다. 게임에 다시 접속해 주십시오";
  }
  return "ER|점수를 저장하지 못했습니다";
}

}  // namespace

std::string LoginReply(MemberStore& store, const httplib::Params& fields) {
  if (auto refusal = RefuseCaller(fields)) return *refusal;
  const std::optional<LoginResult> login =
      store.Login(Field(fields, "recnick"), Field(fields, "recpwd"));
  if (!login) return "-1";
  const MemberFigures& f = login->figures;
  return f.name + "|" + f.voice + "|" + std::to_string(f.avatar) + "|0|" + f.money + "|" +
         std::to_string(f.wins) + "|" + std::to_string(f.losses) + "|" + std::to_string(f.draws) +
         "|" + std::to_string(f.missions) + "|" + login->session;
}

std::string ScoreSaveReply(MemberStore& store, const httplib::Params& fields) {
  if (auto refusal = RefuseCaller(fields)) return *refusal;
  const ScoreResult saved = store.SaveScore({
      .name = Field(fields, "recnick"),
      .session = Field(fields, "recsession"),
      .money = Field(fields, "recpoint"),
      .change = Field(fields, "recuppoint"),
      .wins = Field(fields, "recwin"),
      .losses = Field(fields, "reclose"),
      .draws = Field(fields, "recdraw"),
      .missions = Field(fields, "recmission"),
  });
  if (saved.refusal) return RefusalText(*saved.refusal);
  const MemberFigures& f = saved.figures;
  return "OK|" + f.money + "|" + std::to_string(f.wins) + "|" + std::to_string(f.losses) + "|" +
         std::to_string(f.draws) + "|" + std::to_string(f.missions) + "|" + RankTitle(f.money);
}

std::string LogoutReply(MemberStore& store, const httplib::Params& fields) {
  if (auto refusal = RefuseCaller(fields)) return *refusal;
  if (!store.Logout(Field(fields, "recnick"), Field(fields, "recsession"))) {
    return "ER|접속 중이 아닙니다";
  }
  return "OK";
}

}  // namespace hw::portal
