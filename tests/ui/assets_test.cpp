// Every picture and sound the game names exists, loads as the game loads it, and has the
// size the board and the dialogs are drawn for.

#include <SDL.h>
#include <SDL_image.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "mainwindow/startup.h"
#include "ui/skin.h"

namespace hw::ui {
namespace {

const std::string kAssets = std::string(HWATABLE_SOURCE_DIR) + "/assets/";

struct Size {
  int width, height;
};

Size PictureSize(const std::string& name) {
  Surface picture = LoadPicture(kAssets + "images/" + name);
  if (!picture) return {0, 0};
  return {picture->w, picture->h};
}

TEST(AssetsTest, EverySkinPictureLoadsWithItsSize) {
  const std::pair<const char*, Size> expected[] = {
      {"btn_GameMenu_Exit2.gif", {62, 19}},
      {"btn_GameMenu_Max.gif", {62, 19}},
      {"btn_GameMenu_Min.gif", {62, 19}},
      {"btn_GameMenu_Res.gif", {62, 19}},
      {"btn_GameMenu_Option.gif", {62, 19}},
      {"btn_GameStart.gif", {179, 55}},
      {"btn_HwatableMenu_Go.gif", {188, 59}},
      {"btn_HwatableMenu_Stop.gif", {188, 59}},
      {"btn_GukJin_No.gif", {150, 34}},
      {"btn_GukJin_Yes.gif", {150, 34}},
      {"btn_LoginHome.gif", {190, 49}},
      {"btn_LoginLoss.gif", {190, 49}},
      {"btn_LoginMember.gif", {190, 49}},
      {"btn_LoginOK.gif", {114, 49}},
      {"btn_ResultOK.gif", {198, 40}},
      {"btn_WaitMenu_Exit.gif", {80, 24}},
      {"img_groom.jpg", {800, 600}},
      {"img_Mission.gif", {1050, 115}},
      {"img_MissionGubun.gif", {420, 115}},
      {"img_Sun.gif", {21, 22}},
      {"whatoo.gif", {540, 220}},
      {"num_current.gif", {100, 14}},
      {"num_state.gif", {100, 14}},
      {"num_Mission_BeSu.gif", {110, 55}},
      {"pop_Window_Chong.gif", {223, 148}},
      {"pop_Window_Hwatable.gif", {223, 148}},
      {"pop_Window_GukJin.gif", {223, 148}},
      {"pop_Window_Login.gif", {350, 354}},
      {"pop_Window_Result2.gif", {306, 208}},
      {"pop_Window_Result.gif", {306, 208}},
      {"pop_Window_Select.gif", {163, 126}},
      {"pop_Window_Wave.gif", {223, 148}},
      {"pop_Window_WaveOK.gif", {223, 148}},
      {"img_Countdown.gif", {200, 40}},
      {"img_Bomb.gif", {144, 55}},
  };
  for (const auto& [name, size] : expected) {
    const Size actual = PictureSize(name);
    EXPECT_EQ(actual.width, size.width) << name;
    EXPECT_EQ(actual.height, size.height) << name;
  }
  for (int n = 1; n <= 5; ++n) {
    const Size effect = PictureSize("eft_GO" + std::to_string(n) + ".gif");
    EXPECT_EQ(effect.width, 200);
    EXPECT_EQ(effect.height, 132);
  }
  // The avatars: cells of 100 x 120, the computer's in the third row.
  const Size avatars = PictureSize("img_Avatas.gif");
  EXPECT_EQ(avatars.width % 100, 0);
  EXPECT_GE(avatars.height, 360);
}

TEST(AssetsTest, TheSkinTableNamesOnlyFilesThatExist) {
  GameState state;
  state.GameInfo.ProgramFolder = kAssets;
  for (int i = 0; i < kSkinImages; ++i) {
    EXPECT_TRUE(std::filesystem::exists(ImagePath(state.GameInfo, kSkinImageNames[i])))
        << kSkinImageNames[i];
  }
  for (int i = 0; i < kSkinImages; ++i)
    state.SkinImages[i] = ImagePath(state.GameInfo, kSkinImageNames[i]);
  const Skin skin = Skin::Load(state, {});
  for (int image = 1; image <= kCardImages; ++image) {
    ASSERT_NE(skin.Card(image), nullptr) << image;
    EXPECT_EQ(skin.Card(image)->w, kCardWidth);
  }
  // The overlays are see-through (magenta) in their middle.
  for (const int overlay : {kMatchOverlayImage, kBombCandidateImage, kShakeCandidateImage}) {
    SDL_Surface* cell = skin.Card(overlay);
    const Uint32 middle = static_cast<const Uint32*>(
        cell->pixels)[(kCardHeight / 2) * (cell->pitch / 4) + kCardWidth / 2];
    EXPECT_EQ(middle & 0xFFFFFFu, 0xFF00FFu) << overlay;
  }
}

TEST(AssetsTest, EverySoundTheGamePlaysIsThere) {
  const char* effects[] = {"START",  "MTURN",  "MISSION", "TUCK",  "CHAK",   "POWER", "HOLD",
                           "SANGPI", "KISS",   "BOMB",    "WAVE",  "WINDOW", "ONE",   "CHONG",
                           "MROOM",  "WINNER", "LOSE",    "NOWIN", "CLICK",  "HMM"};
  const char* voices[] = {"GO1",    "GO2",  "GO3",     "GO4",    "GO5",     "STOP",
                          "SANDA",  "AHH",  "PANSL",   "GODORI", "HONGDAN", "CHUNGDAN",
                          "CHODAN", "GOOD", "NOTGOOD", "HMM"};
  auto loads = [](const std::string& path) {
    SDL_AudioSpec spec;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(path.c_str(), &spec, &buffer, &length) == nullptr) return false;
    SDL_FreeWAV(buffer);
    return length > 0;
  };
  for (const char* name : effects) {
    EXPECT_TRUE(loads(kAssets + "sounds/" + name + ".wav")) << name;
  }
  for (const char* folder : {"M", "F"}) {
    for (const char* name : voices) {
      EXPECT_TRUE(loads(kAssets + "sounds/" + folder + "/" + name + ".wav")) << folder << name;
    }
  }
}

}  // namespace
}  // namespace hw::ui
