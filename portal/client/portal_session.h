#pragma once
// The main window's link to the portal after the login (이넷_점수저장): the portal's deal
// before every hand, the human's score save after it, and the logout when the window
// closes. One request at a time, on one connection.
//
// The portal deals every hand and settles it by playing it again from the human's
// record, so its reply to a score save replaces the local figures. A save the portal
// has not answered (the post failed, or its reply was lost) is kept and posted again
// before the next deal and at the logout until the portal answers it; the portal answers
// a hand it has already settled with the same reply, so nothing counts twice and
// nothing is lost. The player sees a save's failure once.

#include <optional>
#include <string>
#include <string_view>

#include "hand/game.h"
#include "platform/http_client.h"

namespace hw::portal {

class PortalSession final : public PortalPoster {
 public:
  PortalSession(Game& game, platform::HttpClient& http);

  // Posts a save the portal has not answered yet (quietly), then asks for the deal.
  // Does nothing while a deal is already on its way.
  void RequestHand() override;
  // Posts the human's totals, record and hand number after a hand.
  void PostScoreSave(const ScoreReport& report) override;
  // Posts a save the portal has not answered yet, then the logout, and gives the portal
  // a moment to take each (at most `waitSeconds` apiece, letting events run): the window
  // is closing and will not wait longer. Nothing is posted before a login.
  void Logout(double waitSeconds = 2.0);

  // Whether a score save is still waiting for the portal's answer.
  bool HasUnansweredSave() const { return unanswered_.has_value(); }

  void OnStateChanged(int state);

 private:
  enum class Pending { kNone, kScoreSave, kSaveBeforeDeal, kDeal, kSaveBeforeLogout, kLogout };
  // What became of a score save's post.
  enum class SaveOutcome { kAnswered, kNotAnswered };
  // What the player is told of a save's reply: everything (once for a failure), only the
  // portal's answers (he has been told of the failure), or nothing (the window closes).
  enum class Tell { kEverything, kAnswersOnly, kNothing };

  void Post(Pending what, const std::string& url, const std::string& body);
  void PostDeal();
  SaveOutcome TakeSaveReply(int state, Tell tell);
  void TakeDealReply(int state);
  void Show(std::string_view text, platform::MessageIcon icon);
  // Runs events until the running request has reported or `seconds` have passed.
  void WaitForReply(double seconds);

  Game& game_;
  platform::HttpClient& http_;
  Pending pending_ = Pending::kNone;
  // The form body of the last save while the portal has not answered it.
  std::optional<std::string> unanswered_;
  bool failureShown_ = false;  // the unanswered save's failure has been shown
  // The hand asked for: the room's settings when the deal was requested.
  std::string askedStake_;
  int askedServiceCards_ = 0;
  OpponentLevel askedOpponent_ = OpponentLevel::kWritten;
  // The game's seed for the next deal, the same in every request until a deal comes: a
  // deal whose reply was lost is then answered again instead of being dealt anew.
  std::string gameSeed_;
};

}  // namespace hw::portal
