#pragma once
// What a player declares besides playing cards: Go and Stop, shaking, chongtong (four
// cards of a month), and the role of the September animal.

#include "hand/game.h"

namespace hw {

// Plays on for more points; the opponent's turn follows.
void CallGo(Game& game, int player);
// Ends the hand with the player as winner.
void CallStop(Game& game, int player);
// The player shows three cards of a month (doubling the stake) and plays this turn again.
void DeclareShake(Game& game, int player, int card);

// Four cards of one month in the player's hand win the hand at once (the first such
// month counts). True when it did.
bool HasChongtong(Game& game, int player);
// Four cards of one month on the floor after the deal: 선 wins the hand at once.
bool FloorHasFourOfAMonth(Game& game);
void ChongtongWin(Game& game, int player, int month);

// choice 1: the September animal stays an animal; choice 2: it moves to the junk as a
// double junk card.
void ChooseSeptemberAnimal(Game& game, int player, int choice);

// Shows the player's four cards of the month (chongtong), or the three cards of the
// shaken card's month in the player's hand, for two seconds. Not while minimised.
void ShowSpecialCards(Game& game, int player, int month);
void ShowShakeCards(Game& game, int player, int card);

}  // namespace hw
