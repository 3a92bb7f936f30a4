#include "mainwindow/login_form.h"

#include "hand/hand_setup.h"
#include "hand/moves.h"
#include "mainwindow/settings.h"
#include "portal/client/form.h"
#include "rules/numbers.h"

namespace hw::portal {

LoginForm::Button LoginForm::ButtonAt(int x, int y) {
  for (const ButtonArea& area : kButtons) {
    if (x >= area.left && x <= area.right && y >= area.top && y <= area.bottom) return area.button;
  }
  return Button::kNone;
}

LoginForm::LoginForm(Game& game, platform::HttpClient& http, platform::SettingsStore& settings,
                     ComputerOpponents& opponents, int platformCode)
    : game_(game),
      http_(http),
      settings_(settings),
      opponents_(opponents),
      platformCode_(platformCode) {
  http_.onStateChanged = [this](int state) { OnStateChanged(state); };
}

void LoginForm::Open() {
  open_ = true;
  focus_ = kNameBox;
}

void LoginForm::Type(std::string_view text) {
  if (open_) text_[static_cast<std::size_t>(focus_)] += text;
}

void LoginForm::Backspace() {
  std::string& text = text_[static_cast<std::size_t>(focus_)];
  // Take off one whole UTF-8 letter.
  while (!text.empty()) {
    const unsigned char last = static_cast<unsigned char>(text.back());
    text.pop_back();
    if ((last & 0xC0) != 0x80) break;
  }
}

void LoginForm::Enter() {
  if (!open_) return;
  if (focus_ == kNameBox) {
    if (text_[kPasswordBox].empty()) focus_ = kPasswordBox;
    return;
  }
  MouseDown(MouseButton::kLeft, 236, 196);
}

void LoginForm::MouseDown(MouseButton mouse, int x, int y) {
  if (!open_ || mouse == MouseButton::kRight) return;
  const Button button = ButtonAt(x, y);
  if (button != Button::kNone) Press(button);
}

void LoginForm::Press(Button button) {
  game_.Sound("CLICK", 1);
  pressed_ = button;
  game_.loop.WaitSeconds(0.1);
  pressed_ = Button::kNone;
  game_.loop.ProcessEvents();
  const PortalAddresses& portal = game_.state.Portal;
  switch (button) {
    case Button::kClose:
      game_.Window().Unload();
      break;
    case Button::kJoin:
      game_.desktop.OpenWithShell(portal.JoinPage);
      break;
    case Button::kLost:
      game_.desktop.OpenWithShell(portal.LostAccountPage);
      break;
    case Button::kHome:
      game_.desktop.OpenWithShell(portal.Base);
      break;
    case Button::kOk:
      CheckLogin();
      break;
    case Button::kNone:
      break;
  }
}

void LoginForm::CheckLogin() {
  const std::string& name = text_[kNameBox];
  const std::string& password = text_[kPasswordBox];
  const std::string& caption = game_.state.GameInfo.ProductName;
  if (name.empty()) {
    game_.desktop.ShowMessage(caption, "Quenrith [게임명]을 입력해 주십시요  ",
                              platform::MessageIcon::kInformation, platform::MessageButtons::kOk);
    focus_ = kNameBox;
    return;
  }
  if (password.empty()) {
    game_.desktop.ShowMessage(caption, "Quenrith [비밀번호]를 입력해 주십시요 ",
                              platform::MessageIcon::kInformation, platform::MessageButtons::kOk);
    focus_ = kPasswordBox;
    return;
  }
  const std::string body = FormBody({{"recencode", kAccessCode},
                                     {"recnick", name},
                                     {"recpwd", password},
                                     {"recgcode", game_.state.GameInfo.GameCode}});
  http_.Cancel();
  http_.Execute(game_.state.Portal.Login, "POST", body, kFormHeader);
  game_.loop.ProcessEvents();
}

void LoginForm::Fail(std::string_view message, platform::MessageIcon icon) {
  game_.desktop.ShowMessage(game_.state.GameInfo.ProductName, message, icon,
                            platform::MessageButtons::kOk);
  game_.Window().Unload();
}

void LoginForm::OnStateChanged(int state) {
  if (!open_) return;
  const std::string loadingError = JoinLines(
      {"게임정보 로딩중 에러가 발생하였습니다 ", "잠시후 다시 접속해 주시기 바랍니다   "});
  if (state == platform::kHttpRequestFailed) {
    Fail(JoinLines({"Quenrith 게임서버 접속에 실패하였습니다",
                    "잠시후 다시 접속을 시도해주시기 바랍니다  "}),
         platform::MessageIcon::kInformation);
    return;
  }
  if (state != platform::kHttpResponseCompleted) return;

  const std::string reply = http_.GetChunk(1024);
  if (reply.empty()) {
    Fail(loadingError, platform::MessageIcon::kInformation);
    return;
  }
  if (reply.starts_with("-1")) {
    const std::string question = JoinLines({"접속하신 정보와 일치하는 회원이 존재하지 않습니다",
                                            "정보분실 및 신규가입은 홈페이지에서 가능합니다  ", "",
                                            "Quenrith 무료가입을 하시겠습니까?"});
    const auto answer = game_.desktop.ShowMessage(game_.state.GameInfo.ProductName, question,
                                                  platform::MessageIcon::kInformation,
                                                  platform::MessageButtons::kYesNo);
    if (answer == platform::MessageAnswer::kYes) {
      game_.desktop.OpenWithShell(game_.state.Portal.JoinPage);
      game_.Window().Unload();
    }
    return;  // declined: the player may try again
  }
  const std::vector<std::string> fields = SplitReply(reply);
  if (reply.starts_with("ER")) {
    Fail(fields.size() > 1 ? fields[1] : "", platform::MessageIcon::kError);
    return;
  }
  if (!IsLoginReply(fields)) {
    Fail(loadingError, platform::MessageIcon::kInformation);
    return;
  }
  LoggedIn(fields);
}

void LoginForm::LoggedIn(const std::vector<std::string>& fields) {
  GameState& state = game_.state;
  PlayerInfoRecord& info = state.PlayerInfo;
  info.Name = fields[0];
  info.Money = fields[4];
  info.Spare = "0";
  info.Avatar = ToInt(fields[2]);
  info.VoiceFolder = fields[1];
  info.Wins = fields[5];
  info.Losses = fields[6];
  info.SpareNumber = IsNumeric(fields[3]) ? ToInt(fields[3]) : 0;
  info.Draws = fields[7];
  info.PlatformCode = platformCode_;
  info.MissionCount = fields[8];
  info.ChongtongMultiple = 3;
  info.FirstPpeokMultiple = 3;
  info.TurnTimeLimit = 12;
  info.SessionToken = fields[9];

  SeatLoggedInPlayer(state);
  RoomRecord& room = state.Room;
  room.StakeText = std::to_string(StakeSetting(settings_, false, 0));
  room.CardSpeed = CardSpeedSetting(settings_, false, 0);
  room.SoundOn = SoundSetting(settings_, false, "")[0];
  room.ServiceCards = ServiceCardSetting(settings_, false, 0);
  room.Opponent = OpponentSetting(settings_, false, OpponentLevel::kWritten);
  opponents_.Seat(game_);

  EnterRoom(game_);
  open_ = false;
  if (onLoggedIn) onLoggedIn();
}

}  // namespace hw::portal
