#pragma once
// The portal's own pages, for people in a browser: the home page, the three pages the
// game opens (join, lost account, free top-up) with the pages their forms lead to, how
// the deals are made fair, and a member's own hands.
// Every page is complete HTML in UTF-8 and links relatively, so the portal works under
// any base URL. Pages under sub/ reach home as "../".

#include <string>
#include <string_view>
#include <vector>

#include "portal/server/member_store.h"

namespace hw::portal {

std::string HtmlEscape(std::string_view text);
// Canonical money text with the units 만, 억, 조 and 경, exactly: "1003000" is "100만3000원",
// "30000" is "3만원", "0" is "0원".
std::string KoreanMoney(std::string_view money);

// `richest`: the members to list, richest first.
std::string HomePage(const std::vector<MemberFigures>& richest);

// What the join form shows again after a refusal: everything but the passwords.
struct JoinEntries {
  std::string name;
  int avatar = 1;
  std::string voice = "M";
};
std::string JoinPage(const JoinEntries& entries, std::string_view error = {});
std::string JoinedPage(const std::string& name, const std::string& recovery_code);

std::string RecoverPage(const std::string& name, std::string_view error = {});
std::string RecoveredPage(const std::string& name, const std::string& recovery_code);

std::string TopUpPage(const std::string& name, std::string_view error = {});
std::string ToppedUpPage(const std::string& name, const std::string& money);

// How the hands are dealt, the commitments of today's and tomorrow's server seeds, and
// the past days' seeds once revealed.
std::string FairPage(const FairSeeds& seeds);

// How many of his last hands a member's hand list shows.
inline constexpr int kListedHands = 30;

// The form asking for the game name and password whose hands to list.
std::string HandsPage(const std::string& name, std::string_view error = {});
// The member's hands, newest first.
std::string HandListPage(const std::string& name, const std::vector<HandView>& hands);

std::string NotFoundPage();
// When the portal is too busy checking passwords to take one more now.
std::string BusyPage();

}  // namespace hw::portal
