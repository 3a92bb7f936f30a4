#include "ui/skin.h"

#include "core/startup.h"

namespace hw::ui {

SDL_Surface* Skin::Card(int image) const {
  if (image < 1 || image > kCardImages) return nullptr;
  return cards[static_cast<std::size_t>(image)].get();
}

Skin Skin::Load(const GameState& state) {
  Skin skin;
  auto load = [&state](int index) { return LoadPicture(state.SkinImages[index]); };
  auto extra = [&state](const std::string& name) {
    return LoadPicture(ImagePath(state.GameInfo, name));
  };
  skin.titleExit = load(0);
  skin.titleMaximise = load(1);
  skin.titleMinimise = load(2);
  skin.titleRestore = load(3);
  skin.startButton = load(4);
  skin.goButton = load(5);
  skin.stopButton = load(6);
  skin.noButton = load(7);
  skin.yesButton = load(8);
  skin.loginHome = load(9);
  skin.loginLost = load(10);
  skin.loginMember = load(11);
  skin.loginOk = load(12);
  skin.resultOk = load(13);
  skin.waitingExit = load(14);
  skin.titleOptions = load(15);
  skin.avatars = load(16);
  skin.background = load(17);
  skin.missionBox = load(18);
  skin.missionPlate = load(19);
  skin.sun = load(20);
  const Surface sheet = load(21);
  skin.scoreDigits = load(22);
  skin.counterDigits = load(23);
  skin.missionBadges = load(24);
  skin.chongtongWindow = load(25);
  skin.goStopWindow = load(26);
  skin.septemberWindow = load(27);
  skin.loginWindow = load(28);
  skin.resultPlainWindow = load(29);
  skin.resultWindow = load(30);
  skin.selectWindow = load(31);
  skin.shakeWindow = load(32);
  skin.shownCardsWindow = load(33);
  skin.countdown = extra("img_Countdown.gif");
  skin.bombFrames = extra("img_Bomb.gif");

  // Cut the card sheet: cell k becomes picture k + 1.
  if (sheet) {
    for (int cell = 0; cell < kCardImages; ++cell) {
      const SDL_Rect area{(cell % kCardSheetColumns) * kCardWidth,
                          (cell / kCardSheetColumns) * kCardHeight, kCardWidth, kCardHeight};
      skin.cards[static_cast<std::size_t>(cell + 1)] = CutOut(sheet.get(), area);
    }
  }
  return skin;
}

}  // namespace hw::ui
