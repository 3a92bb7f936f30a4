#include "sim/through_portal.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <random>

#include "portal/client/form.h"
#include "replay/table.h"
#include "rules/hand_record.h"
#include "rules/numbers.h"

namespace hw::sim {
namespace {

using portal::IsDealReply;
using portal::IsLoginReply;
using portal::kAccessCode;
using portal::SplitReply;

// The portal's posts, each a form with the access code and the game code.
class Portal {
 public:
  explicit Portal(const std::string& baseUrl) {
    const std::size_t scheme = baseUrl.find("://");
    const std::size_t path = baseUrl.find('/', scheme == std::string::npos ? 0 : scheme + 3);
    client_.emplace(baseUrl.substr(0, path));
    base_ = path == std::string::npos ? "/" : baseUrl.substr(path);
    if (!base_.ends_with('/')) base_ += '/';
    client_->set_read_timeout(60, 0);
  }
  bool Valid() const { return client_->is_valid(); }

  // The reply's text, or nothing when the portal could not be reached.
  std::optional<std::string> Post(const std::string& page, httplib::Params fields) {
    fields.emplace("recencode", kAccessCode);
    fields.emplace("recgcode", "001");
    const httplib::Result result = client_->Post(base_ + page, fields);
    if (!result || result->status != 200) return std::nullopt;
    return result->body;
  }

 private:
  std::optional<httplib::Client> client_;
  std::string base_;
};

std::string Hex(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

}  // namespace

int RunThroughPortal(const Options& options, std::ostream& out, std::ostream& err) {
  Portal portal(*options.portal);
  if (!portal.Valid()) {
    err << "hwatable-sim: cannot use the portal address " << *options.portal << "\n";
    return 2;
  }
  const auto login =
      portal.Post("sub/chk.asp", {{"recnick", options.name}, {"recpwd", options.password}});
  if (!login) {
    err << "hwatable-sim: the portal at " << *options.portal << " does not answer\n";
    return 1;
  }
  const std::vector<std::string> figures = SplitReply(*login);
  if (!IsLoginReply(figures)) {
    err << "hwatable-sim: the portal refused the login: " << *login << "\n";
    return 1;
  }
  replay::Member member{.Name = figures[0],
                        .Voice = figures[1],
                        .Avatar = ToInt(figures[2]),
                        .Money = figures[4],
                        .Wins = figures[5],
                        .Losses = figures[6],
                        .Draws = figures[7],
                        .Missions = figures[8]};
  const std::string session = figures[9];

  std::mt19937_64 chance(options.seed);
  const auto started = std::chrono::steady_clock::now();
  int played = 0;
  int status = 0;
  const OpponentLevel opponent =
      options.searchOpponent ? OpponentLevel::kSearch : OpponentLevel::kWritten;
  for (int hand = 0; hand < options.hands && status == 0; ++hand) {
    httplib::Params dealFields{{"recnick", member.Name},
                               {"recsession", session},
                               {"recstake", options.stake},
                               {"recservice", std::to_string(options.serviceCards)},
                               {"recseed", Hex(chance()) + Hex(chance())}};
    // As the game asks: the level only for the search player.
    if (opponent != OpponentLevel::kWritten) {
      dealFields.emplace("reclevel", std::to_string(static_cast<int>(opponent)));
    }
    const auto deal = portal.Post("sub/deal.asp", std::move(dealFields));
    const std::vector<std::string> dealt = SplitReply(deal.value_or(""));
    if (!IsDealReply(dealt, options.serviceCards)) {
      err << "hwatable-sim: hand " << hand + 1 << " not dealt: " << deal.value_or("no answer")
          << "\n";
      status = 1;
      break;
    }
    member.Money = dealt[5];
    const replay::DealtHand dealtHand{.Deck = dealt[2],
                                      .Mission = std::stoi(dealt[3]),
                                      .MemberFirst = dealt[4] == "1",
                                      .Stake = options.stake,
                                      .ServiceCards = options.serviceCards,
                                      .Opponent = opponent};
    replay::Table table(member);
    table.log().keep = table.sound().keep = false;
    if (!table.Start(dealtHand)) {
      err << "hwatable-sim: hand " << dealt[1] << " could not start at the table\n";
      status = 1;
      break;
    }
    const bool settled =
        options.human == Human::kRandom ? table.RunByChance(chance) : table.RunIdle();
    if (!settled) {
      err << "hwatable-sim: hand " << dealt[1] << " did not end\n";
      status = 1;
      break;
    }
    const replay::Settlement mine = replay::SettlementOf(table);
    const replay::Member& after = mine.After;
    const std::string record = RecordText(mine.Decisions);
    const auto saved = portal.Post("sub/svp.asp", {{"recnick", member.Name},
                                                   {"recsession", session},
                                                   {"recpoint", after.Money},
                                                   {"recuppoint", mine.UpPoint},
                                                   {"recwin", after.Wins},
                                                   {"reclose", after.Losses},
                                                   {"recdraw", after.Draws},
                                                   {"recmission", after.Missions},
                                                   {"rechand", dealt[1]},
                                                   {"recplay", record}});
    const std::vector<std::string> reply = SplitReply(saved.value_or(""));
    const bool same = reply.size() == 7 && reply[0] == "OK" && reply[1] == after.Money &&
                      reply[2] == after.Wins && reply[3] == after.Losses &&
                      reply[4] == after.Draws && reply[5] == after.Missions;
    if (!options.quiet || !same) {
      nlohmann::ordered_json line;
      line["hand"] = dealt[1];
      line["deck"] = dealtHand.Deck;
      line["mission"] = dealtHand.Mission;
      line["first"] = dealtHand.MemberFirst ? "member" : "computer";
      line["decisions"] = record;
      line["money"] = after.Money;
      line["record"] = {after.Wins, after.Losses, after.Draws, after.Missions};
      line["portal"] = saved.value_or("");
      line["same"] = same;
      // The portal's answer is shown as it came, with any bytes that are not UTF-8 replaced.
      (same ? out : err) << line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)
                         << '\n';
    }
    if (!same) {
      err << "hwatable-sim: the portal settled hand " << dealt[1] << " otherwise\n";
      status = 1;
      break;
    }
    member = after;
    ++played;
  }
  portal.Post("sub/lgo.asp", {{"recnick", member.Name}, {"recsession", session}});
  if (options.quiet) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    char line[160];
    std::snprintf(line, sizeof line,
                  "%d hands through the portal in %.3f s, each settled by the portal as here\n",
                  played, seconds);
    out << line;
  }
  return status;
}

}  // namespace hw::sim
