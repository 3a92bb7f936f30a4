#include "portal/server/pages.h"

#include <algorithm>
#include <array>

namespace hw::portal {
namespace {

constexpr std::string_view kStyle = R"css(
body { font-family: "Nanum Gothic", "Malgun Gothic", sans-serif; background: #f4f1ea;
       color: #222; margin: 0; line-height: 1.6; }
header { background: #7a1f1f; color: #fff; padding: 0.8em 1.5em; }
header a { color: #fff; text-decoration: none; font-size: 1.4em; font-weight: bold; }
main { max-width: 46em; margin: 1.5em auto; background: #fff; padding: 1.2em 2em;
       border: 1px solid #d8d0c0; border-radius: 6px; }
h1 { font-size: 1.4em; color: #7a1f1f; }
h2 { font-size: 1.15em; border-bottom: 1px solid #d8d0c0; padding-bottom: 0.2em; }
table { border-collapse: collapse; margin: 0.5em 0; }
th, td { border: 1px solid #d8d0c0; padding: 0.25em 0.8em; }
th { background: #f4ece0; }
td.money { text-align: right; }
form p { margin: 0.6em 0; }
label.field { display: inline-block; width: 9em; }
input[type=text], input[type=password] { width: 14em; padding: 0.2em; }
button { background: #7a1f1f; color: #fff; border: 0; padding: 0.4em 1.4em;
         border-radius: 4px; font-size: 1em; }
.error { color: #b00; font-weight: bold; }
.code { font-family: monospace; font-size: 1.6em; letter-spacing: 0.1em;
        background: #f4ece0; padding: 0.2em 0.6em; }
nav a { margin-right: 1.2em; }
code, pre { font-family: monospace; font-size: 0.9em; word-break: break-all; }
pre { background: #f4ece0; padding: 0.5em 0.8em; white-space: pre-wrap; }
td.seeds { font-size: 0.9em; color: #555; }
)css";

// `home` is the relative address of the home page from the page being built.
std::string Page(std::string_view title, std::string_view home, std::string_view body) {
  std::string page = "<!DOCTYPE html>\n<html lang=\"ko\">\n<head>\n<meta charset=\"utf-8\">\n";
  page += "<title>" + std::string(title) + " - 한판 맞고</title>\n<style>";
  page += kStyle;
  page += "</style>\n</head>\n<body>\n<header><a href=\"" + std::string(home) +
          "\">한판 맞고</a></header>\n<main>\n<h1>" + std::string(title) + "</h1>\n";
  page += body;
  page += "</main>\n</body>\n</html>\n";
  return page;
}

std::string SubPage(std::string_view title, std::string_view body) {
  return Page(title, "../", std::string(body) + "<p><a href=\"../\">처음으로</a></p>\n");
}

std::string ErrorLine(std::string_view error) {
  if (error.empty()) return {};
  return "<p class=\"error\">" + HtmlEscape(error) + "</p>\n";
}

std::string TextField(std::string_view label, std::string_view name, std::string_view type,
                      const std::string& value = {}) {
  std::string field = "<p><label class=\"field\" for=\"" + std::string(name) + "\">" +
                      std::string(label) + "</label><input type=\"" + std::string(type) +
                      "\" id=\"" + std::string(name) + "\" name=\"" + std::string(name) + "\"";
  if (!value.empty()) field += " value=\"" + HtmlEscape(value) + "\"";
  return field + " required></p>\n";
}

std::string FormStart(std::string_view action) {
  return "<form method=\"post\" action=\"" + std::string(action) + "\" accept-charset=\"UTF-8\">\n";
}

constexpr std::string_view kRules = R"html(
<h2>게임 방법</h2>
<p>맞고는 두 사람이 하는 고스톱입니다. 화투 48장에 보너스피를 더해 컴퓨터와 한 판씩 겨룹니다.
두 사람이 손에 10장씩 받고 바닥에 8장이 깔립니다.</p>
<ul>
<li>자기 차례에 손의 패 한 장을 내고 더미에서 한 장을 뒤집습니다. 바닥에 같은 달의 패가 있으면 짝을 맞춰 가져옵니다.</li>
<li>점수: 광 3장 3점(비광이 끼면 2점), 4장 4점, 5장 15점 · 열끗 5장 1점, 고도리 5점 ·
띠 5장 1점, 홍단·청단·초단 각 3점 · 피 10장 1점(쌍피는 2장으로 셈), 그 뒤로 한 장마다 1점.</li>
<li>7점이 나면 <b>고</b>(계속해서 점수를 더 냄) 또는 <b>스톱</b>(판을 끝내고 돈을 받음)을 고릅니다.
고를 부를수록 받는 돈이 커지지만, 그 사이 상대가 먼저 나면 잃습니다.</li>
<li>뻑, 따닥, 쪽, 싹쓸이를 하면 상대의 피를 가져오고, 같은 달 세 장을 들고 있으면 흔들거나 폭탄을 낼 수 있습니다.
피박·광박·멍따·흔들기는 받는 돈을 두 배로 합니다.</li>
<li>판마다 미션 패가 정해집니다. 미션 패를 모두 먹고 이기면 미션 배수만큼 더 받습니다.</li>
<li>판돈의 20배가 넘는 돈이 있어야 판을 시작할 수 있습니다. 돈이 모자라면 무료 충전을 이용하세요.</li>
</ul>
<h2>게임 화면의 단추</h2>
<ul>
<li><b>시작</b>: 새 판을 시작합니다. 패를 눌렀다 떼면 그 패를 냅니다(누르고 있는 동안 파워 바가 찹니다).
폭탄을 낸 뒤 받은 폭탄패를 누르면 패를 내지 않고 더미만 뒤집습니다.</li>
<li><b>설정</b>: 소리, 패 속도, 점당 금액과 보너스피 장수를 바꿉니다(점당 금액과 보너스피는 판 사이에만).</li>
<li><b>최소화</b>, <b>최대화</b>, <b>나가기</b>: 창을 내리거나 키우고, 게임을 끝냅니다.</li>
<li>키보드의 ← → 화살표로 패 속도를 조절합니다. 12초 안에 패를 내지 않으면 컴퓨터가 대신 냅니다.</li>
</ul>
)html";

std::string RankRows() {
  std::string rows;
  const std::vector<RankRange> ranks = RankRanges();
  for (const RankRange& rank : ranks) {
    rows += "<tr><td>" + rank.title + "</td><td class=\"money\">" + KoreanMoney(rank.min_money);
    rows += rank.max_money.empty() ? " 이상" : " ~ " + KoreanMoney(rank.max_money);
    rows += "</td></tr>\n";
  }
  return rows;
}

std::string RadioChoice(std::string_view name, std::string_view value, std::string_view label,
                        bool checked) {
  return "<label><input type=\"radio\" name=\"" + std::string(name) + "\" value=\"" +
         std::string(value) + "\"" + (checked ? " checked" : "") + "> " + std::string(label) +
         "</label>\n";
}

}  // namespace

std::string KoreanMoney(std::string_view money) {
  // Groups of four digits from the right: units, 만, 억, 조; everything further left is 경.
  static constexpr std::array<std::string_view, 5> kUnits = {"", "만", "억", "조", "경"};
  std::string text;
  for (std::size_t unit = kUnits.size(); unit-- > 0;) {
    const std::size_t low = 4 * unit;  // digits to the right of this group
    if (money.size() <= low) continue;
    const std::size_t high =
        unit == kUnits.size() - 1 ? money.size() : std::min(money.size(), low + 4);
    const std::string_view group = money.substr(money.size() - high, high - low);
    const std::size_t first = group.find_first_not_of('0');
    if (first == std::string_view::npos) continue;
    text += group.substr(first);
    text += kUnits[unit];
  }
  return (text.empty() ? "0" : text) + "원";
}

std::string HtmlEscape(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string HomePage(const std::vector<MemberFigures>& richest) {
  std::string body =
      "<nav><a href=\"sub/redir.asp?no=1\">회원 가입</a><a href=\"sub/redir.asp?no=2\">"
      "비밀번호 찾기</a><a href=\"sub/redir.asp?no=3\">무료 충전</a><a href=\"sub/hands.asp\">"
      "내 판 기록</a><a href=\"fair\">공정한 패 돌리기</a></nav>\n";
  body += "<h2>부자 순위</h2>\n";
  if (richest.empty()) {
    body += "<p>아직 회원이 없습니다.</p>\n";
  } else {
    body += "<table>\n<tr><th>순위</th><th>게임명</th><th>계급</th><th>보유 금액</th></tr>\n";
    int place = 0;
    for (const MemberFigures& member : richest) {
      body += "<tr><td>" + std::to_string(++place) + "</td><td>" + HtmlEscape(member.name) +
              "</td><td>" + RankTitle(member.money) + "</td><td class=\"money\">" +
              KoreanMoney(member.money) + "</td></tr>\n";
    }
    body += "</table>\n";
  }
  body += "<h2>계급</h2>\n<p>계급은 보유 금액으로 정해집니다.</p>\n";
  body += "<table>\n<tr><th>계급</th><th>보유 금액</th></tr>\n" + RankRows() + "</table>\n";
  body += kRules;
  return Page("한판 맞고에 오신 것을 환영합니다", "./", body);
}

std::string JoinPage(const JoinEntries& entries, std::string_view error) {
  std::string body = ErrorLine(error) + FormStart("join.asp");
  body += TextField("게임명", "name", "text", entries.name);
  body += TextField("비밀번호", "password", "password");
  body += TextField("비밀번호 확인", "password2", "password");
  body += "<p><span class=\"field\">아바타</span>";
  for (int avatar = 1; avatar <= 6; ++avatar) {
    body += RadioChoice("avatar", std::to_string(avatar), std::to_string(avatar) + "번",
                        avatar == entries.avatar);
  }
  body += "</p>\n<p><span class=\"field\">목소리</span>";
  body += RadioChoice("voice", "M", "남자", entries.voice != "F");
  body += RadioChoice("voice", "F", "여자", entries.voice == "F");
  body +=
      "</p>\n<p>게임명은 20자까지, \"|\" 문자는 쓸 수 없습니다. 비밀번호는 4자 이상입니다.</p>\n";
  body += "<p><button type=\"submit\">가입하기</button></p>\n</form>\n";
  return SubPage("회원 가입", body);
}

std::string JoinedPage(const std::string& name, const std::string& recovery_code) {
  std::string body = "<p><b>" + HtmlEscape(name) + "</b>님, 가입을 환영합니다. 게임 머니 " +
                     KoreanMoney(kStartingMoney) + "을 드렸습니다.</p>\n";
  body +=
      "<p>아래의 복구 코드를 꼭 적어 두세요. 비밀번호를 잊었을 때 이 코드로 새 비밀번호를 정할 수 "
      "있습니다. 복구 코드는 지금 한 번만 보여 드립니다.</p>\n";
  body += "<p class=\"code\">" + HtmlEscape(recovery_code) + "</p>\n";
  return SubPage("가입 완료", body);
}

std::string RecoverPage(const std::string& name, std::string_view error) {
  std::string body = ErrorLine(error);
  body += "<p>가입할 때 받은 복구 코드로 새 비밀번호를 정합니다.</p>\n" + FormStart("recover.asp");
  body += TextField("게임명", "name", "text", name);
  body += TextField("복구 코드", "code", "text");
  body += TextField("새 비밀번호", "password", "password");
  body += TextField("새 비밀번호 확인", "password2", "password");
  body += "<p><button type=\"submit\">비밀번호 바꾸기</button></p>\n</form>\n";
  return SubPage("비밀번호 찾기", body);
}

std::string RecoveredPage(const std::string& name, const std::string& recovery_code) {
  std::string body = "<p><b>" + HtmlEscape(name) +
                     "</b>님의 비밀번호를 바꾸었습니다. 새 비밀번호로 게임에 접속하세요.</p>\n";
  body +=
      "<p>방금 쓴 복구 코드는 이제 쓸 수 없습니다. 아래의 새 복구 코드를 꼭 적어 두세요. 새 "
      "복구 코드는 지금 한 번만 보여 드립니다.</p>\n";
  body += "<p class=\"code\">" + HtmlEscape(recovery_code) + "</p>\n";
  return SubPage("비밀번호 변경 완료", body);
}

std::string TopUpPage(const std::string& name, std::string_view error) {
  std::string body = ErrorLine(error);
  body += "<p>보유 금액이 " + KoreanMoney(kTopUpBelow) + "보다 적으면 하루에 한 번 " +
          KoreanMoney(kTopUpMoney) + "으로 채워 드립니다.</p>\n" + FormStart("topup.asp");
  body += TextField("게임명", "name", "text", name);
  body += TextField("비밀번호", "password", "password");
  body += "<p><button type=\"submit\">충전하기</button></p>\n</form>\n";
  return SubPage("무료 충전", body);
}

std::string ToppedUpPage(const std::string& name, const std::string& money) {
  return SubPage("충전 완료", "<p><b>" + HtmlEscape(name) + "</b>님의 보유 금액이 " +
                                  KoreanMoney(money) +
                                  "이 되었습니다. 게임에 다시 접속하면 바뀐 금액으로 "
                                  "시작합니다.</p>\n");
}

namespace {

std::string Code(std::string_view text) {
  return "<code>" + HtmlEscape(text) + "</code>";
}

std::string ResultText(const HandView& hand) {
  const std::string_view change = hand.change;
  const std::string amount = change.starts_with('-') ? "-" + KoreanMoney(change.substr(1))
                             : change == "0"         ? KoreanMoney("0")
                                                     : "+" + KoreanMoney(change);
  switch (hand.result) {
    case HandResult::kOpen:
      return "진행 중";
    case HandResult::kWon:
      return "승리 " + amount;
    case HandResult::kLost:
      return "패배 " + amount;
    case HandResult::kDrawn:
      return "무승부 " + amount;
    case HandResult::kVoid:
      return "무효";
  }
  return {};
}

std::string SettledByText(SettledBy settled_by) {
  switch (settled_by) {
    case SettledBy::kNone:
      return "-";
    case SettledBy::kRecord:
      return "기록";
    case SettledBy::kIdle:
      return "자동";
  }
  return {};
}

constexpr std::string_view kHowDealsAreMade = R"html(
<h2>패는 이렇게 돌립니다</h2>
<p>포털은 날마다 비밀 <b>서버 시드</b>(16진수 64자리)를 하나씩 정하고, 그 SHA-256 값인
<b>약속값</b>을 그날이 시작되기 전에 이 페이지에 공개합니다. 게임은 판을 청할 때마다 자기
<b>게임 시드</b>를 보냅니다. 한 판의 패와 미션은 "서버 시드:게임 시드:판 번호"의 SHA-256으로
섞어 정합니다. 포털은 게임 시드를 미리 알 수 없고 게임은 서버 시드를 알 수 없으므로, 어느 쪽도
패를 골라 돌릴 수 없습니다.</p>
<p>그날이 지나고 그 시드로 돌린 판이 모두 끝나면 서버 시드를 공개합니다. 공개된 시드의 SHA-256이
미리 공개한 약속값과 같은지, 판의 패가 그 시드로 돌린 패인지 다음 명령으로 확인할 수 있습니다.
명령은 시드의 약속값, 패, 패의 약속값과 미션을 보여 줍니다.</p>
<pre>hwatable-sim --verify-deal SERVER_SEED GAME_SEED HAND_ID SERVICE_CARDS</pre>
<p>내 판의 게임 시드, 판 번호, 보너스피 장수와 패의 약속값은 <a href="sub/hands.asp">내 판
기록</a>에 있습니다.</p>
)html";

}  // namespace

std::string FairPage(const FairSeeds& seeds) {
  std::string body(kHowDealsAreMade);
  body +=
      "<h2>오늘과 내일의 약속값</h2>\n<table>\n<tr><th>날짜</th><th>서버 시드의 약속값</th></tr>\n";
  for (const SeedDay* day : {&seeds.today, &seeds.tomorrow}) {
    body +=
        "<tr><td>" + HtmlEscape(day->day) + "</td><td>" + Code(day->commitment) + "</td></tr>\n";
  }
  body += "</table>\n<h2>지난 날의 서버 시드</h2>\n";
  if (seeds.past.empty()) {
    body += "<p>아직 지난 날의 시드가 없습니다.</p>\n";
  } else {
    body += "<table>\n<tr><th>날짜</th><th>약속값</th><th>서버 시드</th></tr>\n";
    for (const SeedDay& day : seeds.past) {
      body += "<tr><td>" + HtmlEscape(day.day) + "</td><td>" + Code(day.commitment) + "</td><td>";
      body += day.seed.empty() ? "아직 공개하지 않았습니다(이 시드로 돌린 판이 아직 진행 중입니다)"
                               : Code(day.seed);
      body += "</td></tr>\n";
    }
    body += "</table>\n";
  }
  return Page("공정한 패 돌리기", "./", body);
}

std::string HandsPage(const std::string& name, std::string_view error) {
  std::string body = ErrorLine(error);
  body += "<p>게임명과 비밀번호를 넣으면 최근 " + std::to_string(kListedHands) +
          "판의 기록과 각 판을 확인하는 데 필요한 값을 보여 드립니다.</p>\n" +
          FormStart("hands.asp");
  body += TextField("게임명", "name", "text", name);
  body += TextField("비밀번호", "password", "password");
  body += "<p><button type=\"submit\">기록 보기</button></p>\n</form>\n";
  return SubPage("내 판 기록", body);
}

std::string HandListPage(const std::string& name, const std::vector<HandView>& hands) {
  std::string body =
      "<p><b>" + HtmlEscape(name) + "</b>님의 최근 판입니다. 새 판이 위에 있습니다. ";
  body +=
      "정산이 \"자동\"인 판은 끝까지 두지 않은 판을 포털이 회원님 차례마다 시간이 다 된 것으로 "
      "두어 끝낸 판입니다. 서버 시드는 그날이 지나고 그 시드로 돌린 판이 모두 끝나면 공개되며, <a "
      "href=\"../fair\">공정한 패 돌리기</a>에서 확인 방법을 볼 수 있습니다.</p>\n";
  if (hands.empty()) {
    body += "<p>아직 둔 판이 없습니다.</p>\n";
    return SubPage("내 판 기록", body);
  }
  body +=
      "<table>\n<tr><th>판 번호</th><th>시작 시각</th><th>점당</th><th>보너스피</th>"
      "<th>결과</th><th>정산</th></tr>\n";
  for (const HandView& hand : hands) {
    body += "<tr><td>" + std::to_string(hand.id) + "</td><td>" + HtmlEscape(hand.dealt) +
            "</td><td class=\"money\">" + KoreanMoney(hand.stake) + "</td><td>" +
            std::to_string(hand.service_cards) + "장</td><td>" + ResultText(hand) + "</td><td>" +
            SettledByText(hand.settled_by) + "</td></tr>\n";
    body += "<tr><td colspan=\"6\" class=\"seeds\">게임 시드 " + Code(hand.game_seed) +
            "<br>서버 시드의 약속값 " + Code(hand.seed_commitment) + "<br>패의 약속값 " +
            Code(hand.deck_commitment) + "<br>서버 시드 ";
    body += hand.server_seed.empty() ? "아직 공개하지 않았습니다" : Code(hand.server_seed);
    body += "</td></tr>\n";
  }
  body += "</table>\n";
  return SubPage("내 판 기록", body);
}

std::string NotFoundPage() {
  return Page("페이지를 찾을 수 없습니다", "/", "<p>주소를 다시 확인해 주세요.</p>\n");
}

std::string BusyPage() {
  return Page("잠시후 다시 시도해 주세요", "/",
              "<p>지금은 요청이 많아 처리하지 못했습니다. 잠시후 다시 시도해 주세요.</p>\n");
}

}  // namespace hw::portal
