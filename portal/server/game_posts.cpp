#include "portal/server/game_posts.h"

#include <optional>

namespace hw::portal {
namespace {

// The first value posted under `name`, empty when there is none.
std::string Field(const FormFields& fields, const char* name) {
  const auto found = fields.find(name);
  return found == fields.end() ? std::string() : found->second;
}

// Every post carries the access code and the game code; a refusal when either is wrong.
std::optional<std::string> RefuseCaller(const FormFields& fields) {
  if (Field(fields, "recencode") != kAccessCode) return "ER|허가되지 않은 접속입니다";
  if (Field(fields, "recgcode") != kGameCode) return "ER|지원하지 않는 게임입니다";
  return std::nullopt;
}

constexpr const char* kSessionRefusal = "ER|접속 정보가 맞지 않습니다. 게임에 다시 접속해 주십시오";

std::string RefusalText(DealRefusal refusal) {
  switch (refusal) {
    case DealRefusal::kSession:
      return kSessionRefusal;
    case DealRefusal::kBadSettings:
      return "ER|판의 설정이 올바르지 않습니다";
    case DealRefusal::kTooPoor:
      return "ER|보유 금액이 점당금액의 20배보다 적어 판을 시작할 수 없습니다";
  }
  return kServerErrorReply;
}

std::string RefusalText(SaveRefusal refusal) {
  switch (refusal) {
    case SaveRefusal::kSession:
      return kSessionRefusal;
    case SaveRefusal::kOldGame:
      return "ER|이 버전의 게임으로는 점수를 저장할 수 없습니다. 게임을 업데이트해 주십시오";
    case SaveRefusal::kUnknownHand:
      return "ER|이 판의 기록을 찾을 수 없습니다";
    case SaveRefusal::kIllegalRecord:
      return "ER|판의 기록이 규칙에 맞지 않아 점수를 저장하지 못했습니다";
  }
  return kServerErrorReply;
}

}  // namespace

std::string LoginReply(MemberStore& store, const FormFields& fields) {
  if (auto refusal = RefuseCaller(fields)) return *refusal;
  const std::optional<LoginResult> login =
      store.Login(Field(fields, "recnick"), Field(fields, "recpwd"));
  if (!login) return "-1";
  const MemberFigures& f = login->figures;
  return f.name + "|" + f.voice + "|" + std::to_string(f.avatar) + "|0|" + f.money + "|" +
         std::to_string(f.wins) + "|" + std::to_string(f.losses) + "|" + std::to_string(f.draws) +
         "|" + std::to_string(f.missions) + "|" + login->session;
}

std::string DealReply(MemberStore& store, const FormFields& fields) {
  if (auto refusal = RefuseCaller(fields)) return *refusal;
  // Only a game that offers the search player sends the level, and only for it.
  std::optional<std::string> level;
  if (fields.contains("reclevel")) level = Field(fields, "reclevel");
  const DealResult dealt = store.Deal({.name = Field(fields, "recnick"),
                                       .session = Field(fields, "recsession"),
                                       .stake = Field(fields, "recstake"),
                                       .service = Field(fields, "recservice"),
                                       .game_seed = Field(fields, "recseed"),
                                       .level = level});
  if (dealt.refusal) return RefusalText(*dealt.refusal);
  const DealtHandReply& hand = dealt.hand;
  return "OK|" + std::to_string(hand.id) + "|" + hand.deck + "|" + std::to_string(hand.mission) +
         "|" + (hand.member_first ? "1" : "0") + "|" + hand.money + "|" + hand.seed_commitment;
}

std::string ScoreSaveReply(MemberStore& store, const FormFields& fields) {
  if (auto refusal = RefuseCaller(fields)) return *refusal;
  std::optional<std::string> hand;
  if (fields.contains("rechand")) hand = Field(fields, "rechand");
  const HandSaveResult saved = store.SaveHand({
      .name = Field(fields, "recnick"),
      .session = Field(fields, "recsession"),
      .hand = hand,
      .play = Field(fields, "recplay"),
      .posted = {.money = Field(fields, "recpoint"),
                 .change = Field(fields, "recuppoint"),
                 .wins = Field(fields, "recwin"),
                 .losses = Field(fields, "reclose"),
                 .draws = Field(fields, "recdraw"),
                 .missions = Field(fields, "recmission")},
  });
  if (saved.refusal) return RefusalText(*saved.refusal);
  return saved.reply;
}

std::string LogoutReply(MemberStore& store, const FormFields& fields) {
  if (auto refusal = RefuseCaller(fields)) return *refusal;
  if (!store.Logout(Field(fields, "recnick"), Field(fields, "recsession"))) {
    return "ER|접속 중이 아닙니다";
  }
  return "OK";
}

}  // namespace hw::portal
