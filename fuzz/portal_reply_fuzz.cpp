// Feeds arbitrary replies to the game's login, score save and deal, as a portal (or
// whatever answers in its place) may send them. A login's or a save's reply either fills
// every figure of the player, each a whole number, or changes none; a deal's reply either
// deals the hand it names, from a deck that can be dealt, or changes nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/check.h"
#include "mainwindow/login_form.h"
#include "mainwindow/startup.h"
#include "platform/fake/fake_http_client.h"
#include "platform/fake/memory_settings_store.h"
#include "portal/client/form.h"
#include "portal/client/portal_session.h"
#include "replay/table.h"
#include "rules/deal.h"

namespace {

using hw::fuzz::Check;

struct Figures {
  std::string money, wins, losses, draws, missions;
  bool operator==(const Figures&) const = default;
};

Figures Of(const hw::GameState& state) {
  const hw::PlayerInfoRecord& info = state.PlayerInfo;
  return {info.Money, info.Wins, info.Losses, info.Draws, info.MissionCount};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.empty()) return 0;
  // The first byte picks the request: a save, a deal or a login.
  const int what = static_cast<unsigned char>(input.front()) % 3;
  const bool deal = what == 1;
  const std::string reply(input.substr(1));

  hw::replay::Table table({.Name = "fuzz", .Money = "1000000"});
  hw::GameState& state = table.game().state;
  state.Portal = hw::BuildPortalAddresses("http://portal.test/");
  hw::platform::FakeHttpClient http(table.loop());
  const Figures before = Of(state);
  const std::string hand_before = state.Room.HandId;
  const std::vector<std::string> fields = hw::portal::SplitReply(reply.substr(0, 1024));

  if (what == 2) {
    hw::platform::MemorySettingsStore settings;
    hw::ComputerOpponents opponents;
    hw::portal::LoginForm form(table.game(), http, settings, opponents, -1);
    bool logged_in = false;
    form.onLoggedIn = [&] { logged_in = true; };
    form.Open();
    form.SetText(hw::portal::LoginForm::kNameBox, "fuzz");
    form.SetText(hw::portal::LoginForm::kPasswordBox, "secret1");
    form.SetFocus(hw::portal::LoginForm::kPasswordBox);
    form.Enter();
    if (!http.Reply(reply)) return 0;
    table.loop().WaitSeconds(0.01);
    const Figures after = Of(state);
    if (!logged_in) {
      Check(after == before, "a refused login changes no figure", input);
      return 0;
    }
    Check(fields.size() == 10, "only a whole reply logs in", input);
    Check(after == Figures{fields[4], fields[5], fields[6], fields[7], fields[8]},
          "a login fills every figure from its fields", input);
    return 0;
  }

  hw::portal::PortalSession session(table.game(), http);

  if (deal) {
    session.RequestHand();
  } else {
    session.PostScoreSave({.Name = "fuzz",
                           .Money = "1000100",
                           .UpPoint = "100",
                           .Wins = "1",
                           .Losses = "0",
                           .Draws = "0",
                           .Missions = "0",
                           .HandId = "1",
                           .Record = "P1"});
  }
  if (!http.Reply(reply)) return 0;
  table.loop().WaitSeconds(0.01);

  const Figures after = Of(state);
  if (!deal) {
    if (after == before) return 0;
    Check(fields.size() == 7 && fields[0] == "OK", "only a whole OK reply fills figures", input);
    Check(after == Figures{fields[1], fields[2], fields[3], fields[4], fields[5]},
          "a save's reply fills every figure from its fields", input);
    for (const std::string& figure :
         {after.money, after.wins, after.losses, after.draws, after.missions})
      Check(hw::portal::IsNumeric(figure), "every figure is a whole number", input);
    return 0;
  }
  if (state.Room.HandId == hand_before) {
    Check(after == before, "a refused deal changes no figure", input);
    return 0;
  }
  Check(fields.size() == 7 && fields[0] == "OK" && fields[1] == state.Room.HandId,
        "only a whole OK reply deals the hand it names", input);
  Check(hw::DeckTextProblem(fields[2], hw::kMonthCards + state.Room.ServiceCards).empty(),
        "a dealt deck can be dealt", input);
  Check(state.PlayerInfo.Money == fields[5], "the deal brings the member's money", input);
  return 0;
}
