#pragma once
// The moves: every play of a hand enters the game through one of these, for the human
// (from the main window and the dialogs) as for the computer. Each move, once done,
// calls the next step itself. All of them except NewHand do nothing while no hand
// runs.

#include <string>
#include <string_view>

#include "hand/game.h"

namespace hw {

// The start button: the money check, then the deal: with a portal, the portal deals
// (the poster calls DealHand once its deal has come); without one, at once.
void NewHand(Game& game);
// Deals the next hand and begins 선's first turn: Game::nextDeck and nextMission when
// they are set (the portal's deal, a test's), else the game's own shuffle and mission.
void DealHand(Game& game);

// Sets up and deals a hand. Throws std::invalid_argument, before anything changes, when
// the deck text cannot be dealt with this many cards.
void StartHand(Game& game, int cardsInPlay, std::string_view deckText, std::string_view seonName);
// The same for a deck known to be valid for this many cards (one the game shuffled).
void StartCheckedHand(Game& game, int cardsInPlay, std::string_view deckText,
                      std::string_view seonName);

// Begins the player's turn (after the first-turn checks for chongtong).
void BeginTurn(Game& game, int player);

// Lays a card from the hand on the floor; asks for a choice between two floor cards or
// goes on to the flip. `power` is the human's power bar level (0 for the computer).
void PlayHandCard(Game& game, int player, int card, int power);

// A card chosen from the hand: a service card, a plain play, a bomb (one of three cards
// of a month that lies on the floor) or, with the month not on the floor, a shake: the
// human is asked (GameWindow::AskShake), the computer player decides.
void PlayChosenCard(Game& game, int player, int card, int power);

// A turn with one of the player's bomb cards: it only flips.
void PlayBombCardTurn(Game& game, int player, int index);

// Three cards of a month from the hand onto their month on the floor; the player gets
// two bomb cards and the turn goes on to the flip.
void PlayBomb(Game& game, int player, int card1, int card2, int card3);

// A service card from the hand goes straight to the junk; a replacement comes from the
// draw pile and the same player plays again.
void PlayServiceCard(Game& game, int player, int card);

// The answer to a choice between two floor cards, for the played or the flipped card.
void ResolveChoice(Game& game, int player, ChoiceSide side, int card, int chosen);

// Closes every game dialog that is open (each passes its current answer on).
void CloseGameDialogs(Game& game);
// Closes the main window, during a hand.
void LeaveGame(Game& game);

// The arrival at the board after login: a clean board, the room's sound, title, the
// player panels and the rule lines of the log.
void EnterRoom(Game& game);

// A game set up without the program's start-up and login (the portal's replay, the
// simulator, the computer's look-ahead): the board's layout and the mission and rank
// tables built, the player of PlayerInfo (filled by the caller) seated in the room, and
// the room entered.
void EnterRoomHeadless(Game& game);

// Opens the mission box with this hand's mission and writes it to the log, once a hand.
void ShowMissionInfo(Game& game);

}  // namespace hw
