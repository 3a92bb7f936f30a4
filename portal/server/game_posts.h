#pragma once
// The replies to the game's form posts: login ("sub/chk.asp"), a hand's deal
// ("sub/deal.asp"), score save ("sub/svp.asp") and logout ("sub/lgo.asp"). Each takes the
// decoded form fields and returns the plain-text reply whose "|"-separated fields the
// game reads:
//
//   login       "-1" (no such member, or a wrong password: the reply does not say which)
//               or name|voice|avatar|0|money|wins|losses|draws|missions|session
//   deal        OK|hand id|deck|mission|first (1 the member, 0 the computer)|money|
//               commitment of the server seed
//   score save  OK|money|wins|losses|draws|missions|rank title, the portal's figures
//               after settling the hand from its record
//   logout      OK
//
// and "ER|<message>" for every refusal, the message in Korean for the player to read.
//
// A deal's post may carry "reclevel", the computer player the member chose: "0" the
// written rule list (보통, also when it is not sent), "1" the search player (고수). The
// hand is settled against that player.

#include <string>

#include "portal/client/form.h"
#include "portal/server/http_server.h"
#include "portal/server/member_store.h"

namespace hw::portal {

// The access code every post carries is the game's own (kAccessCode).
inline constexpr const char* kGameCode = "001";

// Answers a failure of the server itself (the database, say), after which nothing has
// changed.
inline constexpr const char* kServerErrorReply =
    "ER|서버에 문제가 있어 처리하지 못했습니다. 잠시후 다시 시도해 주십시오";
// Answers a login that finds the portal too busy checking passwords to take it now.
inline constexpr const char* kBusyReply =
    "ER|접속하는 분이 많아 지금은 처리하지 못했습니다. 잠시후 다시 시도해 주십시오";

std::string LoginReply(MemberStore& store, const FormFields& fields);
std::string DealReply(MemberStore& store, const FormFields& fields);
std::string ScoreSaveReply(MemberStore& store, const FormFields& fields);
std::string LogoutReply(MemberStore& store, const FormFields& fields);

}  // namespace hw::portal
