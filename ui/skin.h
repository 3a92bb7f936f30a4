#pragma once
// The skin: every picture the board and the dialogs are drawn from, loaded once when the
// main window opens. A picture that cannot be read is replaced by a drawn stand-in of the
// same size and layout (ui/skin_fallbacks.h), so the game stays playable and no window
// loses its labels; the operator is told on stderr which file was missing.

#include <array>
#include <string>

#include "rules/game_state.h"
#include "ui/sdl_util.h"

namespace hw::ui {

// The plain table the board shows where it has no background picture.
inline constexpr Rgb kTableGreen{24, 92, 52};

// The card sheet: 60 cells of 36 x 55, 15 to a row. Image n (from 1) is cell n - 1.
inline constexpr int kCardSheetColumns = 15;
inline constexpr int kCardImages = 60;
inline constexpr int kCardBackImage = 49;
inline constexpr int kBombCardImage = 50;
inline constexpr int kMatchOverlayImage = 51;
inline constexpr int kMissionMarkerImage = 57;  // + the capturing player's seat
inline constexpr int kBombCandidateImage = 59;
inline constexpr int kShakeCandidateImage = 60;

// The picture number of a card's face: card + 1, or card + 4 for a service card.
constexpr int FaceImage(int card) {
  return card < kMonthCards ? card + 1 : card + 4;
}

struct Skin {
  Surface background;  // img_groom.jpg: the board, and the copy every element restores from
  std::array<Surface, kCardImages + 1> cards;  // indexed by picture number, [0] unused
  Surface avatars, missionBox, missionPlate, sun, scoreDigits, counterDigits, missionBadges;
  Surface startButton, titleExit, titleMaximise, titleMinimise, titleRestore, titleOptions,
      waitingExit;
  Surface goButton, stopButton, yesButton, noButton, resultOk;
  Surface chongtongWindow, goStopWindow, septemberWindow, resultWindow, resultPlainWindow,
      selectWindow, shakeWindow, shownCardsWindow, loginWindow;
  Surface loginHome, loginLost, loginMember, loginOk;
  Surface countdown;   // digits 1 to 5, 40 x 40 each
  Surface bombFrames;  // 4 frames of 36 x 55

  SDL_Surface* Card(int image) const;
  // Loads everything named in the state's skin table, and the main window's extra strips
  // from the same folder; every picture is there afterwards, read or drawn. The stand-ins
  // write their labels in `fonts` (without a font they carry none).
  static Skin Load(const GameState& state, const FontSource& fonts);
};

}  // namespace hw::ui
