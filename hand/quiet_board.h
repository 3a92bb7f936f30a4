#pragma once
// A board that draws nothing: for a game played without a window (the simulator, the
// portal's replay, the computer's look-ahead).

#include <string_view>

#include "hand/effects.h"

namespace hw {

class QuietBoard final : public BoardView {
 public:
  void ResetBoardIndicators() override {}
  void ResetCardImages() override {}
  void PrepareCardImages(int) override {}
  void HideCard(int) override {}
  void ShowCardFace(int) override {}
  void PlaceCard(int, int, int) override {}
  void MoveCard(const MoveRequest&) override {}
  void MoveJunkLabel(int, int, int) override {}
  void SetJunkLabel(int, int) override {}
  void DealCards(const DealRequest&) override {}
  void DrawPlayerPanel(int) override {}
  void DrawScore(int) override {}
  void DrawPlayerStatus(int) override {}
  void DrawRunningGain(int) override {}
  void UpdateMissionMarks() override {}
  void DrawWaitingRoom() override {}
  void ShowSpeedLabel(bool) override {}
  void DrawRoomTitle(std::string_view) override {}
  void MoveTurnIndicator(bool) override {}
  void ShowTurnIndicator(bool) override {}
  void ShowCountdown(int) override {}
  void HighlightHand(bool) override {}
  void OpenMissionBox(int) override {}
  void DrawMissionNameplate(bool, std::string_view) override {}
  void CloseMissionBox() override {}
  void ShowGoEffect(int) override {}
  void ShowBombCard(int, int) override {}
  void HideBombCard(int, int) override {}
  void ShowBombFrame(int, int) override {}
  void DrawCardPressed(int, bool) override {}
  void ShowPowerBar(int, bool) override {}
  void DrawPowerSegment(int) override {}
  bool Seen() const override { return false; }
};

}  // namespace hw
