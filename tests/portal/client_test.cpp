// The game's side of the portal on a virtual clock: the login window's checks and replies,
// the score save after a hand and the logout, against a scripted HTTP client.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mainwindow/login_form.h"
#include "mainwindow/options_dialog.h"
#include "mainwindow/settings.h"
#include "mainwindow/startup.h"
#include "platform/fake/fake_http_client.h"
#include "platform/fake/memory_settings_store.h"
#include "portal/client/form.h"
#include "portal/client/portal_session.h"
#include "rules/deal.h"
#include "tests/support/deck_builder.h"
#include "tests/support/scenario.h"

namespace hw::portal {
namespace {

using platform::MessageAnswer;
using platform::MessageIcon;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr const char* kGoodReply = "홍길동|F|3|x|1500000|12|9|1|4|token-1";

// The login window on a game that has not logged in yet.
struct LoginRig {
  LoginRig() {
    GameState& state = rec.game.state;
    state.Portal = BuildPortalAddresses("http://portal.test/");
    SetUpBoardLayout(state);
    BuildMissionTable(state);
    BuildRankTable(state);
    StakeSetting(settings, true, 300);
    form.onLoggedIn = [this] { ++loggedIn; };
    form.Open();
  }

  // Types both boxes and presses Enter in the password box, as a player does.
  void LogIn(std::string_view name, std::string_view password) {
    form.SetFocus(LoginForm::kNameBox);
    form.Type(name);
    form.Enter();
    form.Type(password);
    form.Enter();
  }
  // Answers the login check and lets the reply arrive.
  void Answer(std::string reply) {
    ASSERT_TRUE(http.Reply(std::move(reply)));
    rec.loop.WaitSeconds(0.01);
  }
  const std::vector<platform::ScriptedDesktop::Shown>& Shown() const { return rec.desktop.shown; }

  testing::RecordedGame rec;
  testing::RecordingDialogView dialogs;
  MainWindow window{rec.game, dialogs};
  platform::FakeHttpClient http{rec.loop};
  platform::MemorySettingsStore settings;
  ComputerOpponents opponents;
  LoginForm form{rec.game, http, settings, opponents, -1};
  int loggedIn = 0;
};
class LoginTest : public ::testing::Test, public LoginRig {};

TEST_F(LoginTest, AGoodReplyLogsThePlayerInAndEntersTheRoom) {
  LogIn("홍길동", "pa&ss=1 +%");
  ASSERT_EQ(http.requests.size(), 1u);
  const auto& request = http.requests[0];
  EXPECT_EQ(request.url, "http://portal.test/sub/chk.asp");
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.headerText, "content-type: application/x-www-form-urlencoded\r\n");
  // A password with the form's own signs in it arrives as typed.
  EXPECT_EQ(request.body,
            "recencode=quenrithzmvokrtyplaxe&recnick=%ED%99%8D%EA%B8%B8%EB%8F%99"
            "&recpwd=pa%26ss%3D1%20%2B%25&recgcode=001");

  Answer(kGoodReply);
  EXPECT_EQ(loggedIn, 1);
  EXPECT_FALSE(form.IsOpen());
  EXPECT_FALSE(window.Unloaded());
  EXPECT_TRUE(Shown().empty());
  const PlayerInfoRecord& info = rec.game.state.PlayerInfo;
  EXPECT_EQ(info.Name, "홍길동");
  EXPECT_EQ(info.VoiceFolder, "F");
  EXPECT_EQ(info.Avatar, 3);
  EXPECT_EQ(info.SpareNumber, 0);  // field 3 was not a number
  EXPECT_EQ(info.Money, "1500000");
  EXPECT_EQ(info.Wins, "12");
  EXPECT_EQ(info.Losses, "9");
  EXPECT_EQ(info.Draws, "1");
  EXPECT_EQ(info.MissionCount, "4");
  EXPECT_EQ(info.SessionToken, "token-1");
  EXPECT_EQ(info.TurnTimeLimit, 12);
  const PlayerRecord& human = rec.game.state.Player(kHuman);
  EXPECT_EQ(human.Name, "홍길동");
  EXPECT_EQ(human.Money, "1500000");
  const RoomRecord& room = rec.game.state.Room;
  EXPECT_EQ(room.OwnerName, "홍길동");
  EXPECT_EQ(room.SeonName, "홍길동");
  EXPECT_EQ(room.StakeText, "300");  // the stored stake
  EXPECT_FALSE(room.HandRunning);
  EXPECT_THAT(rec.sound.Names(), ::testing::Contains("MROOM"));
  EXPECT_THAT(rec.log.Texts(), ::testing::Contains("총통/3뻑 점당금액의 <3배>"));
}

TEST_F(LoginTest, TheStoredLevelSeatsItsComputerPlayerAndFillsTheOptions) {
  settings.Set(kSettingsApp, kGameSection, "OpponentLevel", "1");
  LogIn("홍길동", "secret");
  Answer(kGoodReply);
  ASSERT_EQ(loggedIn, 1);
  EXPECT_EQ(rec.game.state.Room.Opponent, OpponentLevel::kSearch);
  EXPECT_EQ(rec.game.computer, &opponents.Strong());
  OptionsDialog options{rec.game, window, settings, opponents};
  options.Open();
  EXPECT_EQ(options.OpponentChoice(), 1);
  EXPECT_STREQ(OptionsDialog::kOpponents[1], "고수");
}

TEST_F(LoginTest, AMalformedStoredLevelLoadsAsTheWrittenPlayer) {
  for (const char* stored : {"2", "x", "", "11"}) {
    LoginRig rig;
    rig.settings.Set(kSettingsApp, kGameSection, "OpponentLevel", stored);
    rig.rec.game.state.Room.Opponent = OpponentLevel::kSearch;  // what the login must replace
    rig.rec.game.computer = &rig.opponents.Strong();
    rig.LogIn("홍길동", "secret");
    rig.Answer(kGoodReply);
    ASSERT_EQ(rig.loggedIn, 1) << stored;
    EXPECT_EQ(rig.rec.game.state.Room.Opponent, OpponentLevel::kWritten) << stored;
    EXPECT_EQ(rig.rec.game.computer, &WrittenPlayer::Default()) << stored;
    OptionsDialog options{rig.rec.game, rig.window, rig.settings, rig.opponents};
    options.Open();
    EXPECT_EQ(options.OpponentChoice(), 0) << stored;
    EXPECT_STREQ(OptionsDialog::kOpponents[0], "보통");
  }
}

TEST_F(LoginTest, EmptyBoxesAreAskedForAndNothingIsSent) {
  form.MouseDown(MouseButton::kLeft, 236, 196);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].text, "Quenrith [게임명]을 입력해 주십시요  ");
  EXPECT_EQ(Shown()[0].caption, "Velmaro");
  EXPECT_EQ(form.Focus(), LoginForm::kNameBox);

  form.Type("홍길동");
  form.MouseDown(MouseButton::kLeft, 293, 245);  // the far corner still belongs to OK
  ASSERT_EQ(Shown().size(), 2u);
  EXPECT_EQ(Shown()[1].text, "Quenrith [비밀번호]를 입력해 주십시요 ");
  EXPECT_EQ(form.Focus(), LoginForm::kPasswordBox);
  EXPECT_TRUE(http.requests.empty());
  EXPECT_TRUE(form.IsOpen());
}

TEST_F(LoginTest, EnterInTheNameBoxOnlyMovesToAnEmptyPasswordBox) {
  form.Type("a");
  form.Enter();
  EXPECT_EQ(form.Focus(), LoginForm::kPasswordBox);
  form.Type("secret");
  form.SetFocus(LoginForm::kNameBox);
  form.Enter();
  EXPECT_EQ(form.Focus(), LoginForm::kNameBox);
  EXPECT_TRUE(http.requests.empty());
  EXPECT_TRUE(Shown().empty());
}

TEST_F(LoginTest, BackspaceTakesOffAWholeLetter) {
  form.Type("a홍");
  form.Backspace();
  EXPECT_EQ(form.Text(LoginForm::kNameBox), "a");
  form.Backspace();
  form.Backspace();
  EXPECT_EQ(form.Text(LoginForm::kNameBox), "");
}

TEST_F(LoginTest, TheDrawnButtonsOpenThePortalsPagesOrClose) {
  EXPECT_EQ(LoginForm::ButtonAt(28, 265), LoginForm::Button::kJoin);
  EXPECT_EQ(LoginForm::ButtonAt(124, 265), LoginForm::Button::kNone);
  EXPECT_EQ(LoginForm::ButtonAt(342, 28), LoginForm::Button::kClose);

  form.MouseDown(MouseButton::kRight, 30, 270);  // the right button does nothing
  form.MouseDown(MouseButton::kLeft, 30, 270);
  form.MouseDown(MouseButton::kLeft, 130, 270);
  form.MouseDown(MouseButton::kLeft, 325, 314);
  EXPECT_THAT(rec.desktop.opened,
              ElementsAre("http://portal.test/sub/redir.asp?no=1",
                          "http://portal.test/sub/redir.asp?no=2", "http://portal.test/"));
  EXPECT_EQ(rec.sound.Names(), (std::vector<std::string>{"CLICK", "CLICK", "CLICK"}));
  EXPECT_TRUE(form.IsOpen());
  EXPECT_FALSE(window.Unloaded());

  form.MouseDown(MouseButton::kLeft, 302, 4);
  EXPECT_TRUE(window.Unloaded());
}

TEST_F(LoginTest, AnUnknownMemberWhoDeclinesMayTryAgain) {
  LogIn("nobody", "pw");
  rec.desktop.answers.push_back(MessageAnswer::kNo);
  Answer("-1");
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].text,
            "접속하신 정보와 일치하는 회원이 존재하지 않습니다\r\n"
            "정보분실 및 신규가입은 홈페이지에서 가능합니다  \r\n\r\n"
            "Quenrith 무료가입을 하시겠습니까?");
  EXPECT_EQ(Shown()[0].buttons, platform::MessageButtons::kYesNo);
  EXPECT_TRUE(form.IsOpen());
  EXPECT_FALSE(window.Unloaded());

  form.SetFocus(LoginForm::kPasswordBox);
  form.Enter();
  ASSERT_EQ(http.requests.size(), 2u);
  Answer(kGoodReply);
  EXPECT_EQ(loggedIn, 1);
}

TEST_F(LoginTest, AnUnknownMemberWhoJoinsGoesToTheJoinPageAndTheGameEnds) {
  LogIn("nobody", "pw");
  rec.desktop.answers.push_back(MessageAnswer::kYes);
  Answer("-1|whatever");
  EXPECT_THAT(rec.desktop.opened, ElementsAre("http://portal.test/sub/redir.asp?no=1"));
  EXPECT_TRUE(window.Unloaded());
  EXPECT_EQ(loggedIn, 0);
}

TEST_F(LoginTest, EveryOtherFailureIsShownAndEndsTheGame) {
  const std::string loadingError =
      "게임정보 로딩중 에러가 발생하였습니다 \r\n잠시후 다시 접속해 주시기 바랍니다   ";
  struct Case {
    std::string reply;  // "" with fail: the request failed
    bool fail;
    std::string message;
    MessageIcon icon;
  };
  const std::vector<Case> cases{
      {"", true,
       "Quenrith 게임서버 접속에 실패하였습니다\r\n잠시후 다시 접속을 시도해주시기 바랍니다  ",
       MessageIcon::kInformation},
      {"", false, loadingError, MessageIcon::kInformation},
      {"ER|점검 중입니다|more", false, "점검 중입니다", MessageIcon::kError},
      {"ER", false, "", MessageIcon::kError},
      {"홍길동|F|3|0|1500000|12|9|1|4", false, loadingError, MessageIcon::kInformation},
      {"홍길동|F|3|0|1500000|12|9|1|4|t|extra", false, loadingError, MessageIcon::kInformation},
      {"홍길동|F|3|0|15OO000|12|9|1|4|t", false, loadingError, MessageIcon::kInformation},
      {"홍길동|F|3|0|1500000|12|9||4|t", false, loadingError, MessageIcon::kInformation},
      // Only the first 1024 bytes are read: the tenth field is cut off the end.
      {"홍길동|F|3|0|1500000|12|9|1" + std::string(1100, '9') + "|4|t", false, loadingError,
       MessageIcon::kInformation},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply.substr(0, 60));
    LoginRig fresh;
    fresh.LogIn("홍길동", "pw");
    if (c.fail) {
      ASSERT_TRUE(fresh.http.Fail());
      fresh.rec.loop.WaitSeconds(0.01);
    } else {
      fresh.Answer(c.reply);
    }
    ASSERT_EQ(fresh.Shown().size(), 1u);
    EXPECT_EQ(fresh.Shown()[0].text, c.message);
    EXPECT_EQ(fresh.Shown()[0].icon, c.icon);
    EXPECT_TRUE(fresh.window.Unloaded());
    EXPECT_EQ(fresh.loggedIn, 0);
    EXPECT_EQ(fresh.rec.game.state.PlayerInfo.Name, "");
  }
}

TEST_F(LoginTest, ANewPressOfOkReplacesTheRequestInFlight) {
  LogIn("홍길동", "pw");
  form.Enter();
  ASSERT_EQ(http.requests.size(), 2u);
  Answer(kGoodReply);
  EXPECT_EQ(loggedIn, 1);
  EXPECT_FALSE(http.Reply(kGoodReply));  // nothing else was waiting
}

// ---- After the login

const ScoreReport kLoss{.Name = "player",
                        .GameCode = "001",
                        .Money = "997000",
                        .UpPoint = "-3000",
                        .Wins = "0",
                        .Losses = "1",
                        .Draws = "0",
                        .Missions = "0",
                        .HandId = "41",
                        .Record = "P3,G0"};
constexpr const char* kLossBody =
    "recencode=quenrithzmvokrtyplaxe&recnick=player&recgcode=001&recpoint=997000"
    "&recuppoint=-3000&recwin=0&reclose=1&recdraw=0&recmission=0&recsession=tok%20en"
    "&rechand=41&recplay=P3%2CG0";

const std::string kSaveFailure =
    "Quenrith 게임서버 접속이 원할하지않아 점수저장에 실패하였습니다\r\n"
    "잠시후 다시 게임에 접속하여 이용해 주시기 바랍니다";
const std::string kDealFailure =
    "Quenrith 게임서버 접속이 원할하지않아 판을 시작하지 못하였습니다\r\n"
    "잠시후 다시 시도해 주시기 바랍니다";
const std::string kLoadingError =
    "게임정보 로딩중 에러가 발생하였습니다 \r\n잠시후 다시 접속해 주시기 바랍니다   ";

// A deck of 48 cards whose hand asks the human to play (nothing ends it on the deal).
const std::string kDeck = DealFrom(GameRandom(77), 0).Deck;

// A logged-in game with its portal link.
struct SessionRig {
  SessionRig() {
    GameState& state = s.State();
    state.Portal = BuildPortalAddresses("http://portal.test/");
    state.PlayerInfo.SessionToken = "tok en";
    state.Room.ServiceCards = 0;
    s.G().portal = &session;
  }
  void Answer(std::string reply) {
    ASSERT_TRUE(http.Reply(std::move(reply)));
    s.Wait(0.01);
  }
  void FailRequest() {
    ASSERT_TRUE(http.Fail());
    s.Wait(0.01);
  }
  const std::vector<platform::ScriptedDesktop::Shown>& Shown() { return s.rec.desktop.shown; }
  const platform::FakeHttpClient::Request& Last() { return http.requests.back(); }
  // The start button.
  void PressStart() { s.window.PressStart(); }

  testing::Scenario s{{.name = "player", .money = "1000000"}};
  platform::FakeHttpClient http{s.rec.loop};
  PortalSession session{s.G(), http};
};
class SessionTest : public ::testing::Test, public SessionRig {};

// The value of one field of a form body ("" when it is not there).
std::string FieldOf(const std::string& body, const std::string& name) {
  std::size_t at = 0;
  while (at < body.size()) {
    std::size_t end = body.find('&', at);
    if (end == std::string::npos) end = body.size();
    const std::string pair = body.substr(at, end - at);
    if (pair.starts_with(name + "=")) return pair.substr(name.size() + 1);
    at = end + 1;
  }
  return "";
}

TEST_F(SessionTest, TheStartButtonAsksThePortalAndPlaysExactlyItsDeal) {
  s.State().Room.StakeText = "500";
  PressStart();
  ASSERT_EQ(http.requests.size(), 1u);
  EXPECT_EQ(Last().url, "http://portal.test/sub/deal.asp");
  const std::string body = Last().body;
  EXPECT_THAT(body,
              ::testing::StartsWith("recencode=quenrithzmvokrtyplaxe&recnick=player&recgcode=001"
                                    "&recsession=tok%20en&recstake=500&recservice=0&recseed="));
  const std::string seed = FieldOf(body, "recseed");
  EXPECT_THAT(seed, ::testing::MatchesRegex("[0-9a-f]{32}"));
  EXPECT_FALSE(s.State().Room.HandRunning);  // nothing happens before the deal comes

  // A second press while the deal is on its way asks nothing more.
  PressStart();
  EXPECT_EQ(http.requests.size(), 1u);

  Answer("OK|41|" + kDeck + "|5|0|777000|abc");
  const GameState& state = s.State();
  ASSERT_TRUE(state.Room.HandRunning);
  EXPECT_EQ(state.Room.HandId, "41");
  EXPECT_EQ(state.Room.MissionIndex, 5);
  EXPECT_EQ(state.Room.SeonName, "컴퓨터");  // the portal says who plays first
  EXPECT_EQ(state.PlayerInfo.Money, "777000");
  std::string dealt;
  for (int card : state.DealtOrder) {
    dealt += static_cast<char>('0' + card / 10);
    dealt += static_cast<char>('0' + card % 10);
  }
  EXPECT_EQ(dealt, kDeck);
  EXPECT_TRUE(Shown().empty());
}

TEST_F(SessionTest, ADealAskedForAgainAfterAFailureCarriesTheSameSeed) {
  // Had the portal dealt and its reply been lost, it answers the same hand again.
  PressStart();
  const std::string seed = FieldOf(Last().body, "recseed");
  FailRequest();
  PressStart();
  EXPECT_EQ(FieldOf(Last().body, "recseed"), seed);
  Answer("ER|보유 금액이 점당금액의 20배보다 적어 판을 시작할 수 없습니다");
  PressStart();
  EXPECT_EQ(FieldOf(Last().body, "recseed"), seed);
}

TEST_F(SessionTest, AWholeHandPostsItsRecordAndNumberAndTakesThePortalsFigures) {
  PressStart();
  const std::string seed = FieldOf(Last().body, "recseed");
  Answer("OK|7|" + kDeck + "|0|1|1000000|abc");
  ASSERT_TRUE(s.RunUntil([&] { return http.requests.size() == 2; }));
  const std::string body = Last().body;
  EXPECT_EQ(Last().url, "http://portal.test/sub/svp.asp");
  EXPECT_EQ(FieldOf(body, "rechand"), "7");
  // The record posted is the one the game wrote, a legal play of the deal.
  const std::string record = RecordText(s.State().Record);
  EXPECT_FALSE(record.empty());
  EXPECT_EQ(FieldOf(body, "recplay"), FormEncode(record));
  EXPECT_EQ(FieldOf(body, "recpoint"), s.State().PlayerInfo.Money);
  EXPECT_TRUE(session.HasUnansweredSave());

  Answer("OK|1000123|4|5|6|7|초보");
  ASSERT_TRUE(s.PlayToEnd());
  EXPECT_EQ(http.requests.size(), 2u);
  EXPECT_FALSE(session.HasUnansweredSave());
  EXPECT_EQ(s.State().Player(kHuman).Money, "1000123");
  EXPECT_EQ(s.State().PlayerInfo.Wins, "4");
  EXPECT_EQ(s.State().PlayerInfo.MissionCount, "7");

  // The next hand is dealt from a new seed.
  PressStart();
  EXPECT_EQ(Last().url, "http://portal.test/sub/deal.asp");
  EXPECT_NE(FieldOf(Last().body, "recseed"), seed);
}

TEST_F(SessionTest, TheSavePostCarriesTheTotalsAndTheReplyReplacesTheLocalFigures) {
  session.PostScoreSave(kLoss);
  ASSERT_EQ(http.requests.size(), 1u);
  EXPECT_EQ(Last().url, "http://portal.test/sub/svp.asp");
  EXPECT_EQ(Last().body, kLossBody);

  s.rec.board.calls.clear();
  Answer("OK|5000000|7|8|2|3|초보");
  const PlayerInfoRecord& info = s.State().PlayerInfo;
  EXPECT_EQ(info.Money, "5000000");
  EXPECT_EQ(info.Wins, "7");
  EXPECT_EQ(info.Losses, "8");
  EXPECT_EQ(info.Draws, "2");
  EXPECT_EQ(info.MissionCount, "3");
  EXPECT_EQ(s.State().Player(kHuman).Money, "5000000");
  EXPECT_THAT(s.rec.board.calls, ::testing::Contains("panel 0"));
  EXPECT_TRUE(Shown().empty());
}

TEST_F(SessionTest, ASaveThePortalDidNotAnswerIsKeptAndOneItAnsweredIsDone) {
  struct Case {
    std::string reply;
    bool fail;
    std::string message;  // "" when nothing is shown
    bool kept;            // posted again later
  };
  const std::vector<Case> cases{
      {"", true, kSaveFailure, true},
      {"", false,
       "게임정보가 올바르지 않아 점수저장에 실패하였습니다 \r\n"
       "잠시후 다시 게임에 접속하여 이용해 주시기 바랍니다   ",
       true},
      {"<html>busy</html>", false, "", true},
      {"ER|판의 기록이 규칙에 맞지 않아 점수를 저장하지 못했습니다", false,
       "판의 기록이 규칙에 맞지 않아 점수를 저장하지 못했습니다", false},
      {"OK|5000000|7|8|2|3", false,
       "게임정보 저장중 에러가 발생하였습니다 \r\n잠시후 다시 접속해 주시기 바랍니다   ", false},
      {"OK|5000000|7|x|2|3|초보", false,
       "게임정보 저장중 에러가 발생하였습니다 \r\n잠시후 다시 접속해 주시기 바랍니다   ", false},
      // Begins like the portal's answer but is not one: no figure is taken from it.
      {"OK00|5000000|7|8|2|3|초보", false,
       "게임정보 저장중 에러가 발생하였습니다 \r\n잠시후 다시 접속해 주시기 바랍니다   ", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    SessionRig fresh;
    fresh.session.PostScoreSave(kLoss);
    if (c.fail) {
      fresh.FailRequest();
    } else {
      fresh.Answer(c.reply);
    }
    if (c.message.empty()) {
      EXPECT_TRUE(fresh.Shown().empty());
    } else {
      ASSERT_EQ(fresh.Shown().size(), 1u);
      EXPECT_EQ(fresh.Shown()[0].text, c.message);
    }
    EXPECT_EQ(fresh.session.HasUnansweredSave(), c.kept);
    EXPECT_EQ(fresh.s.State().PlayerInfo.Money, "1000000");
    EXPECT_EQ(fresh.s.State().PlayerInfo.Wins, "0");

    // The next start posts a kept save again, unchanged, before it asks for the deal.
    fresh.PressStart();
    if (c.kept) {
      EXPECT_EQ(fresh.Last().url, "http://portal.test/sub/svp.asp");
      EXPECT_EQ(fresh.Last().body, kLossBody);
      fresh.Answer("OK|996000|0|1|0|0|초보");
      EXPECT_EQ(fresh.s.State().PlayerInfo.Money, "996000");
    }
    EXPECT_EQ(fresh.Last().url, "http://portal.test/sub/deal.asp");
    EXPECT_FALSE(fresh.session.HasUnansweredSave());
  }
}

TEST_F(SessionTest, WhileThePortalIsDownThePlayerHearsOfTheSaveOnceAndNoHandBegins) {
  session.PostScoreSave(kLoss);
  FailRequest();
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].text, kSaveFailure);

  for (int attempt = 0; attempt < 3; ++attempt) {
    PressStart();
    EXPECT_EQ(Last().body, kLossBody);
    FailRequest();
    EXPECT_FALSE(s.State().Room.HandRunning);
    ASSERT_EQ(Shown().size(), 2u + static_cast<std::size_t>(attempt));
    EXPECT_EQ(Shown().back().text, kDealFailure);
  }
  EXPECT_TRUE(session.HasUnansweredSave());

  // Back up: the save goes first (the portal settles the hand once), then the deal.
  PressStart();
  Answer("OK|996000|0|1|0|0|초보");
  EXPECT_EQ(Last().url, "http://portal.test/sub/deal.asp");
  Answer("OK|8|" + kDeck + "|0|1|996000|abc");
  EXPECT_TRUE(s.State().Room.HandRunning);
  EXPECT_EQ(Shown().size(), 4u);
}

TEST_F(SessionTest, ADealThatDoesNotComeLeavesTheRoomAsItWas) {
  struct Case {
    std::string reply;
    bool fail;
    std::string message;
  };
  const std::string deck51 = testing::DeckFor(51).Text();
  const std::vector<Case> cases{
      {"", true, kDealFailure},
      {"ER|보유 금액이 점당금액의 20배보다 적어 판을 시작할 수 없습니다", false,
       "보유 금액이 점당금액의 20배보다 적어 판을 시작할 수 없습니다"},
      {"", false, kLoadingError},
      {"<html>busy</html>", false, kLoadingError},
      {"OK|41|" + kDeck + "|5|0|777000", false, kLoadingError},       // six fields
      {"OK|41|" + deck51 + "|5|0|777000|abc", false, kLoadingError},  // not the asked cards
      {"OK|41|" + kDeck.substr(0, 94) + kDeck.substr(0, 2) + "|5|0|777000|abc", false,
       kLoadingError},                                               // a card twice
      {"OK|41|" + kDeck + "|9|0|777000|abc", false, kLoadingError},  // no such mission
      {"OK|41|" + kDeck + "|5|2|777000|abc", false, kLoadingError},
      {"OK|4x|" + kDeck + "|5|0|777000|abc", false, kLoadingError},
      {"OK|41|" + kDeck + "|5|0|-5|abc", false, kLoadingError},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    SessionRig fresh;
    fresh.PressStart();
    if (c.fail) {
      fresh.FailRequest();
    } else {
      fresh.Answer(c.reply);
    }
    ASSERT_EQ(fresh.Shown().size(), 1u);
    EXPECT_EQ(fresh.Shown()[0].text, c.message);
    const GameState& state = fresh.s.State();
    EXPECT_FALSE(state.Room.HandRunning);
    EXPECT_EQ(state.PlayerInfo.Money, "1000000");
    EXPECT_FALSE(fresh.s.window.Unloaded());
    // The player may press again.
    fresh.PressStart();
    EXPECT_EQ(fresh.http.requests.size(), 2u);
  }
}

TEST_F(SessionTest, OptionsChangedWhileTheDealIsOnItsWayWaitForTheNextHand) {
  s.State().Room.StakeText = "100";
  PressStart();
  s.State().Room.StakeText = "300";
  s.State().Room.ServiceCards = 3;
  Answer("OK|41|" + kDeck + "|5|1|777000|abc");
  ASSERT_TRUE(s.State().Room.HandRunning);
  EXPECT_EQ(s.State().Room.StakeText, "100");
  EXPECT_EQ(s.State().Room.CardsInPlay, 48);
}

TEST_F(SessionTest, TheDealAsksForTheLevelOnlyForTheSearchPlayerAndPlaysAtTheLevelAsked) {
  // 보통: the body every game has sent, to the byte.
  s.State().Room.StakeText = "300";
  PressStart();
  const std::string seed = FieldOf(Last().body, "recseed");
  EXPECT_EQ(Last().body,
            "recencode=quenrithzmvokrtyplaxe&recnick=player&recgcode=001&recsession=tok%20en"
            "&recstake=300&recservice=0&recseed=" +
                seed);

  // 고수: the same with the level at the end.
  SessionRig strong;
  strong.s.State().Room.Opponent = OpponentLevel::kSearch;
  strong.PressStart();
  const std::string strongSeed = FieldOf(strong.Last().body, "recseed");
  EXPECT_EQ(strong.Last().body,
            "recencode=quenrithzmvokrtyplaxe&recnick=player&recgcode=001&recsession=tok%20en"
            "&recstake=100&recservice=0&recseed=" +
                strongSeed + "&reclevel=1");
  // The options change the level while the deal is on its way: the hand is played
  // against the player it was dealt against, which the portal settles it against.
  ComputerOpponents opponents;
  opponents.Seat(strong.s.G());
  strong.s.State().Room.Opponent = OpponentLevel::kWritten;
  opponents.Seat(strong.s.G());
  strong.Answer("OK|41|" + kDeck + "|5|1|777000|abc");
  ASSERT_TRUE(strong.s.State().Room.HandRunning);
  EXPECT_EQ(strong.s.State().Room.Opponent, OpponentLevel::kSearch);
  EXPECT_EQ(strong.s.G().computer, &opponents.Strong());

  // And the other way round.
  opponents.Seat(s.G());
  s.State().Room.Opponent = OpponentLevel::kSearch;
  opponents.Seat(s.G());
  Answer("OK|42|" + kDeck + "|5|1|777000|abc");
  ASSERT_TRUE(s.State().Room.HandRunning);
  EXPECT_EQ(s.State().Room.Opponent, OpponentLevel::kWritten);
  EXPECT_EQ(s.G().computer, &WrittenPlayer::Default());
}

TEST_F(SessionTest, TheLogoutPostsAnUnansweredSaveFirstAndWaitsAtMostTwoSecondsForEach) {
  const double start = s.rec.loop.Now();
  session.Logout();
  ASSERT_EQ(http.requests.size(), 1u);
  EXPECT_EQ(Last().url, "http://portal.test/sub/lgo.asp");
  EXPECT_EQ(Last().body,
            "recencode=quenrithzmvokrtyplaxe&recnick=player&recgcode=001&recsession=tok%20en");
  EXPECT_NEAR(s.rec.loop.Now() - start, 2.0, 0.05);

  // Before a login there is nothing to end.
  SessionRig fresh;
  fresh.s.State().PlayerInfo.SessionToken.clear();
  fresh.session.Logout();
  EXPECT_TRUE(fresh.http.requests.empty());

  // A portal that answers at once lets the window close at once.
  s.rec.loop.Post([this] { http.Reply("whatever"); });
  const double again = s.rec.loop.Now();
  session.Logout();
  EXPECT_LT(s.rec.loop.Now() - again, 0.1);
  EXPECT_TRUE(Shown().empty());

  // A save still unanswered goes first; whatever its fate, the window closes quietly.
  SessionRig unsaved;
  unsaved.session.PostScoreSave(kLoss);
  unsaved.FailRequest();
  const std::size_t shown = unsaved.Shown().size();
  unsaved.s.rec.loop.Post([&] { unsaved.http.Reply("ER|접속 정보가 맞지 않습니다"); });
  unsaved.session.Logout();
  ASSERT_EQ(unsaved.http.requests.size(), 3u);
  EXPECT_EQ(unsaved.http.requests[1].body, kLossBody);
  EXPECT_EQ(unsaved.http.requests[2].url, "http://portal.test/sub/lgo.asp");
  EXPECT_EQ(unsaved.Shown().size(), shown);
}

}  // namespace
}  // namespace hw::portal
