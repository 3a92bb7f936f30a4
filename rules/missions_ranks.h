#pragma once
// The mission of each hand and the rank title that follows from a player's money. Both
// tables are built once at start-up from their source texts.

#include <string>
#include <string_view>

#include "rules/game_state.h"
#include "rules/random.h"

namespace hw {

void BuildMissionTable(GameState& state);
void BuildRankTable(GameState& state);

// One of the nine missions, each equally likely.
int RandomMission(GameRandom& random);

// Sets this hand's mission unless it already has one; an index above 8 means mission 0.
void SetMission(GameState& state, int index);

struct MissionResult {
  int Achieved = 0;  // 1 when the player holds every card of the hand's mission
  int Multiple = 0;  // the mission's multiplier when achieved, else 0
};
// Whether the player has captured every card of the hand's mission (the September
// animal counts in either role). No mission set: not achieved.
MissionResult MissionAchieved(const GameState& state, int player);

// The rank title for an amount of money (decimal text; an invalid text counts as 0).
std::string RankOfMoney(const GameState& state, std::string_view money);

}  // namespace hw
