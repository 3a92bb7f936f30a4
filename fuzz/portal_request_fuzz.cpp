// Drives the portal's request handling in process with arbitrary requests: the route, the
// target's and the form's decoding, and the store on a temporary database. Nothing may
// crash, and a refused request (an error status, an "ER|" or "-1" answer, a page showing
// an error) leaves the store as it was.
//
// The input is "METHOD TARGET\nCONTENT-TYPE\nBODY"; "@SESSION@" and "@HAND@" in it stand
// for a logged-in member's session and his open hand, so that the fuzzer reaches deals
// and saves.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "portal/server/member_store.h"
#include "portal/server/portal_server.h"

namespace {

using hw::fuzz::Check;
using namespace hw::portal;

struct Portal {
  Portal() {
    folder = std::filesystem::temp_directory_path() /
             ("portal-request-fuzz-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    PortalOptions options;
    options.data_dir = folder;
    options.hash_cost = HashCost::kMinimal;
    server = std::make_unique<PortalServer>(options);
    store = std::make_unique<MemberStore>((folder / kDatabaseFile).string(),
                                          StoreOptions{HashCost::kMinimal, {}});
    store->AddMember({.name = "fuzz", .password = "secret1", .money = "5000000"});
    store->AddMember({.name = "poor", .password = "secret1", .money = "100"});
  }
  ~Portal() {
    server.reset();
    store.reset();
    std::filesystem::remove_all(folder);
  }

  // Everything a request could change that a player would notice.
  std::string Snapshot() const {
    std::string text;
    for (const MemberFigures& f : store->Richest(100)) {
      text += f.name + "|" + f.money + "|" + std::to_string(f.wins) + "|" +
              std::to_string(f.losses) + "|" + std::to_string(f.draws) + "|" +
              std::to_string(f.missions) + "|" + f.last_top_up + "\n";
      for (const HandView& hand : store->SettledHands(f.name, 1000))
        text += " hand " + std::to_string(hand.id) + " " + hand.change + "\n";
      for (const HandView& hand : store->OpenHands(f.name))
        text += " open " + std::to_string(hand.id) + "\n";
      for (const MoneyChange& change : store->MoneyChanges(f.name, 1000))
        text += " change " + change.new_money + "\n";
    }
    return text;
  }

  std::filesystem::path folder;
  std::unique_ptr<PortalServer> server;
  std::unique_ptr<MemberStore> store;
};

void ReplaceAll(std::string& text, std::string_view token, const std::string& by) {
  for (std::size_t at = text.find(token); at != std::string::npos;
       at = text.find(token, at + by.size()))
    text.replace(at, token.size(), by);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Portal portal;
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // A session and an open hand for the member: the same deal asked again answers the
  // open hand; a new session only when an input has logged him in (or out) meanwhile.
  static std::string session;
  DealResult dealt = portal.store->Deal({"fuzz", session, "100", "3", "ab"});
  if (dealt.refusal == DealRefusal::kSession) {
    const std::optional<LoginResult> login = portal.store->Login("fuzz", "secret1");
    Check(login.has_value(), "the member logs in", input);
    session = login->session;
    dealt = portal.store->Deal({"fuzz", session, "100", "3", "ab"});
  }
  const std::string hand = dealt.refusal ? "0" : std::to_string(dealt.hand.id);

  std::string text(input);
  ReplaceAll(text, "@SESSION@", session);
  ReplaceAll(text, "@HAND@", hand);
  std::string_view rest = text;
  const std::string_view line = hw::fuzz::NextPiece(rest, '\n');
  const std::string_view content_type = hw::fuzz::NextPiece(rest, '\n');
  const std::size_t space = line.find(' ');
  HttpRequest request;
  request.method = std::string(line.substr(0, space));
  DecodeTarget(space == std::string_view::npos ? std::string_view("/") : line.substr(space + 1),
               request);
  DecodeBody(content_type, rest, request);
  request.host = "127.0.0.1";
  request.client = "127.0.0.1";

  const std::string before = portal.Snapshot();
  const HttpResponse response = portal.server->Answer(request);
  const bool refused = response.status != 200 || response.body.starts_with("ER|") ||
                       response.body == "-1" ||
                       response.body.find("class=\"error\"") != std::string::npos;
  if (refused) Check(portal.Snapshot() == before, "a refused request changes nothing", input);
  return 0;
}
