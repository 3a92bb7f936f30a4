#pragma once
// The end of a hand: the payout (rules/payout.h) applied and announced: the result lines
// in the log and the result record, the end-of-hand sounds, and the score save of each
// player.

#include "hand/game.h"
#include "rules/payout.h"

namespace hw {

// The normal end: a Stop, or a player who may stop and has no card left.
void SettleByStop(Game& game, int winner);
// Nobody could stop before all cards were played.
void SettleDraw(Game& game);
// An immediate win: chongtong or three ppeok, paid at a fixed number of stakes.
void SettleSpecialWin(Game& game, int winner, SpecialWin kind);

}  // namespace hw
