#pragma once
// The end of a hand: the winner's points turned into money with every multiplier, the
// payment capped at what the loser owns, the result lines in the log and the result
// record, the end-of-hand sounds, and the score save of each player.

#include <string>

#include "hand/game.h"

namespace hw {

// The normal end: a Stop, or a player who may stop and has no card left.
void SettleByStop(Game& game, int winner);
// Nobody could stop before all cards were played.
void SettleDraw(Game& game);
// An immediate win: 'C' chongtong, 'P' three ppeok; paid at a fixed number of stakes.
void SettleSpecialWin(Game& game, int winner, char kind);

// What the human would win by stopping now (before the mission and the all-in cap).
std::string StopNowAmount(const GameState& state);

// Shows the player's four cards of the month (chongtong), or the three cards of the
// shaken card's month in the player's hand, for two seconds. Not while minimised.
void ShowSpecialCards(Game& game, int player, int month);
void ShowShakeCards(Game& game, int player, int card);

}  // namespace hw
