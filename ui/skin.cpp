#include "ui/skin.h"

#include <iostream>

#include "mainwindow/startup.h"
#include "ui/skin_fallbacks.h"

namespace hw::ui {
namespace {

// The picture in the file, or its stand-in when the file cannot be read. The operator is
// told which file it was (each is loaded once, so once per file): the player sees a
// plainer skin, the program's output says why.
Surface LoadOrStandIn(const std::string& path, std::string_view fileName, const FontSource& fonts,
                      std::string_view productName) {
  if (Surface picture = LoadPicture(path)) return picture;
  std::cerr << "hwatable: 그림을 읽지 못했습니다: " << path << " (대신 그린 그림을 씁니다)\n";
  return DrawStandIn(fileName, fonts, productName);
}

}  // namespace

SDL_Surface* Skin::Card(int image) const {
  if (image < 1 || image > kCardImages) return nullptr;
  return cards[static_cast<std::size_t>(image)].get();
}

Skin Skin::Load(const GameState& state, const FontSource& fonts) {
  Skin skin;
  const std::string_view product = state.GameInfo.ProductName;
  auto load = [&](int index) {
    return LoadOrStandIn(state.SkinImages[index], kSkinImageNames[index], fonts, product);
  };
  auto extra = [&](const std::string& name) {
    return LoadOrStandIn(ImagePath(state.GameInfo, name), name, fonts, product);
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
