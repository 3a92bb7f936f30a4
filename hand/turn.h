#pragma once
// A turn, from the card played to the next player's turn, and the functions of each
// phase:
//
//  0. The turn begins (BeginTurn, hand/moves.h): the turn sound and indicator, and the
//     main window's turn timer (GameWindow::타이머_차례시작), at whose tick the computer
//     moves or a human who waited too long is played for.
//  1. The play (hand/moves.h): PlayHandCard lays a card from the hand on its month's
//     slot (or an empty one); PlayBomb lays three; PlayServiceCard sends a service card
//     to the junk and the same player plays again; a bomb card's turn only flips. When
//     the played card meets two floor cards the human chooses (RequestFloorChoice, then
//     ResolveChoice); the computer takes the first.
//  2. The flip (FlipFromDeck, below): service cards on top of the pile are laid aside,
//     then the next card goes onto its month: a ppeok (three cards of a month stay on
//     the floor), a choice between two floor cards (ResolveFlipChoice), or jjok. The
//     questions it asks of the table are rules (rules/turn_rules.h).
//  3. The takings (TakeTheTurnsCards, in turn.cpp): ttadak is seen, both stacks go into
//     the capture piles (hand/capture.h) with the service cards, the bonuses for a
//     sweep, ttadak or a ppeok taken are counted, and junk is stolen (StealJunk).
//  4. The end (EndTurn): empty slots are freed, the score recomputed (CalculateScore)
//     and what follows decided (DecideAfterScore, hand/after_turn.h: the September
//     animal, Go or Stop, a draw, a third ppeok, and with them the settlement,
//     hand/settlement.h); otherwise the hand is laid out and the opponent's turn begins.

#include <string_view>

#include "hand/game.h"

namespace hw {

// A turn flips after a card from the hand, or only flips (a bomb card played).
enum class FlipKind { kAfterHandCard, kFlipOnly };
// Flips the draw pile's next card and finishes the turn.
void FlipFromDeck(Game& game, int player, FlipKind kind);

// Finishes a turn whose flipped card had to choose between two floor cards.
void ResolveFlipChoice(Game& game, int player, int card, int chosen);

// The end of a turn: empty slots freed, the score and what follows from it, and, when
// nothing else takes over, the opponent's turn.
void EndTurn(Game& game, int player);

// The player made a ppeok with these cards: counted, their months remembered, and on
// the player's first turn rewarded with money from the opponent.
void RegisterPpeok(Game& game, int player, const CardList& stack);
// True (with the sweep's voice) when the player has taken every card off the floor,
// except on the player's last turn.
bool IsSweep(Game& game, int player);
// The thief takes n junk points' worth of cards from the opponent's junk pile (n 1..5).
void StealJunk(Game& game, int thief, int n);
// Adds a decimal amount to the player's money and running gain, or takes it off when it
// starts with "-". A gain is announced in the log.
void ApplyMoneyChange(Game& game, int player, std::string_view amount);

// Lays the player's hand out in card-number order and marks every month of which the
// hand holds three cards (they may shake or bomb).
void LayOutHand(Game& game, int player);
// The card left behind by a choice between two floor cards goes back to its slot's base.
void RestoreChoiceSlot(Game& game, ChoiceSide side);
void FreeEmptySlots(GameState& state);
// Takes a card out of the player's pile of a kind and lays the pile out again.
void RemoveCaptured(Game& game, int player, int kind, int card);

}  // namespace hw
