#pragma once
// The main window's link to the portal after the login (이넷_점수저장): the human's score
// save after every hand and the logout when the window closes. The portal's reply to a
// score save replaces the local figures; a failure is shown and the local figures stand.

#include "hand/game.h"
#include "platform/http_client.h"

namespace hw::portal {

class PortalSession final : public PortalPoster {
 public:
  PortalSession(Game& game, platform::HttpClient& http);

  // Posts the human's totals after a hand (cancelling a post still running).
  void PostScoreSave(const ScoreReport& report) override;
  // Posts the logout and gives the portal a moment to take it (at most `waitSeconds`,
  // letting events run): the window is closing and will not wait for the reply. Nothing
  // is posted before a login.
  void Logout(double waitSeconds = 2.0);

  void OnStateChanged(int state);

 private:
  enum class Pending { kNone, kScoreSave, kLogout };
  Game& game_;
  platform::HttpClient& http_;
  Pending pending_ = Pending::kNone;
};

}  // namespace hw::portal
