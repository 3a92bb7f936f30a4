// A skin whose pictures are missing: every picture is replaced by a drawn stand-in with
// the real picture's size, the window backgrounds keep their whole outline and their
// labels, the buttons show two different faces, the cards stay tellable apart; and the
// login window composed on the game table from such a skin shows no magenta.

#include <SDL.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/login_form.h"
#include "mainwindow/startup.h"
#include "platform/fake/fake_http_client.h"
#include "platform/fake/listed_display_modes.h"
#include "platform/fake/memory_settings_store.h"
#include "platform/fake/scripted_desktop.h"
#include "rules/card_table.h"
#include "tests/support/temp_folder.h"
#include "ui/fonts.h"
#include "ui/game_table.h"
#include "ui/shape.h"
#include "ui/skin.h"
#include "ui/skin_fallbacks.h"

namespace hw::ui {
namespace {

const std::string kImages = std::string(HWATABLE_SOURCE_DIR) + "/assets/images/";

// A program folder whose images/ holds the real pictures except the ones named, or none
// at all.
class ProgramFolder {
 public:
  explicit ProgramFolder(std::initializer_list<std::string_view> missing, bool pictures = true) {
    const std::filesystem::path images = std::filesystem::path(folder_.Path()) / "images";
    std::filesystem::create_directories(images);
    if (!pictures) return;
    for (const auto& entry : std::filesystem::directory_iterator(kImages)) {
      const std::string name = entry.path().filename().string();
      if (std::find(missing.begin(), missing.end(), name) == missing.end()) {
        std::filesystem::copy_file(entry.path(), images / name);
      }
    }
  }
  std::string Path() const { return folder_.Path() + "/"; }

 private:
  testing::TempFolder folder_;
};

GameState StateFor(const std::string& programFolder) {
  GameState state;
  state.GameInfo.ProgramFolder = programFolder;
  for (int i = 0; i < kSkinImages; ++i)
    state.SkinImages[i] = ImagePath(state.GameInfo, kSkinImageNames[i]);
  return state;
}

Uint32 Pixel(const SDL_Surface* s, int x, int y) {
  return static_cast<const Uint32*>(s->pixels)[y * (s->pitch / 4) + x] & 0xFFFFFFu;
}

int CountPixels(const SDL_Surface* s, const SDL_Rect& r, const std::function<bool(Uint32)>& is) {
  int count = 0;
  for (int y = r.y; y < r.y + r.h; ++y) {
    for (int x = r.x; x < r.x + r.w; ++x)
      count += is(Pixel(s, x, y)) ? 1 : 0;
  }
  return count;
}

bool IsMagenta(Uint32 rgb) {
  return rgb == kMagenta;
}

// Text in the stand-ins' cream (or white): the labels on the dark wood.
bool IsLight(Uint32 rgb) {
  return (rgb >> 16) > 200 && ((rgb >> 8) & 0xFF) > 180;
}

bool SameArea(const SDL_Surface* a, const SDL_Rect& ra, const SDL_Surface* b, int bx, int by) {
  for (int y = 0; y < ra.h; ++y) {
    for (int x = 0; x < ra.w; ++x) {
      if (Pixel(a, ra.x + x, ra.y + y) != Pixel(b, bx + x, by + y)) return false;
    }
  }
  return true;
}

// Each picture of the skin with the file it is read from (the card sheet is checked
// through its cells).
std::vector<std::pair<const SDL_Surface*, std::string>> Pictures(const Skin& skin) {
  std::vector<std::pair<const SDL_Surface*, std::string>> all = {
      {skin.countdown.get(), "img_Countdown.gif"},
      {skin.bombFrames.get(), "img_Bomb.gif"},
  };
  const Surface* table[kSkinImages] = {
      &skin.titleExit,     &skin.titleMaximise,
      &skin.titleMinimise, &skin.titleRestore,
      &skin.startButton,   &skin.goButton,
      &skin.stopButton,    &skin.noButton,
      &skin.yesButton,     &skin.loginHome,
      &skin.loginLost,     &skin.loginMember,
      &skin.loginOk,       &skin.resultOk,
      &skin.waitingExit,   &skin.titleOptions,
      &skin.avatars,       &skin.background,
      &skin.missionBox,    &skin.missionPlate,
      &skin.sun,           nullptr,
      &skin.scoreDigits,   &skin.counterDigits,
      &skin.missionBadges, &skin.chongtongWindow,
      &skin.goStopWindow,  &skin.septemberWindow,
      &skin.loginWindow,   &skin.resultPlainWindow,
      &skin.resultWindow,  &skin.selectWindow,
      &skin.shakeWindow,   &skin.shownCardsWindow,
  };
  for (int i = 0; i < kSkinImages; ++i) {
    if (table[i] != nullptr) all.emplace_back(table[i]->get(), kSkinImageNames[i]);
  }
  return all;
}

const char* const kWindows[] = {
    "pop_Window_Chong.gif",  "pop_Window_Hwatable.gif", "pop_Window_GukJin.gif",
    "pop_Window_Login.gif",  "pop_Window_Result2.gif",  "pop_Window_Result.gif",
    "pop_Window_Select.gif", "pop_Window_Wave.gif",     "pop_Window_WaveOK.gif",
};
const char* const kTwoFaceButtons[] = {
    "btn_GameMenu_Exit2.gif",  "btn_GameMenu_Max.gif",      "btn_GameMenu_Min.gif",
    "btn_GameMenu_Res.gif",    "btn_GameMenu_Option.gif",   "btn_WaitMenu_Exit.gif",
    "btn_HwatableMenu_Go.gif", "btn_HwatableMenu_Stop.gif", "btn_GukJin_Yes.gif",
    "btn_GukJin_No.gif",       "btn_LoginHome.gif",         "btn_LoginLoss.gif",
    "btn_LoginMember.gif",     "btn_LoginOK.gif",           "btn_ResultOK.gif",
};

class SkinStandInTest : public ::testing::Test {
 protected:
  FontSource Fonts() {
    return [this](int size, bool bold) { return fonts_.GetOrNull(size, bold); };
  }
  Surface StandIn(std::string_view name) { return DrawStandIn(name, Fonts(), "Velmaro"); }

  FontLibrary fonts_;
};

TEST_F(SkinStandInTest, EveryMissingPictureIsDrawnWithTheRealOnesSizeAndNamedOnce) {
  ProgramFolder empty({}, false);
  ::testing::internal::CaptureStderr();
  const Skin skin = Skin::Load(StateFor(empty.Path()), Fonts());
  const std::string warnings = ::testing::internal::GetCapturedStderr();

  for (const auto& [picture, name] : Pictures(skin)) {
    Surface real = LoadPicture(kImages + name);
    ASSERT_TRUE(real) << name;
    ASSERT_NE(picture, nullptr) << name;
    EXPECT_EQ(picture->w, real->w) << name;
    EXPECT_EQ(picture->h, real->h) << name;
    const std::string path = empty.Path() + "images/" + name;
    const std::size_t first = warnings.find(path + " ");
    EXPECT_NE(first, std::string::npos) << name;
    EXPECT_EQ(warnings.find(path + " ", first + 1), std::string::npos) << name;
  }
  for (int image = 1; image <= kCardImages; ++image) {
    ASSERT_NE(skin.Card(image), nullptr) << image;
    EXPECT_EQ(skin.Card(image)->w, kCardWidth);
    EXPECT_EQ(skin.Card(image)->h, kCardHeight);
  }
  EXPECT_NE(warnings.find("images/whatoo.gif"), std::string::npos);
}

TEST_F(SkinStandInTest, OnlyTheMissingPictureIsReplaced) {
  ProgramFolder folder({"pop_Window_Login.gif"});
  ::testing::internal::CaptureStderr();
  const Skin skin = Skin::Load(StateFor(folder.Path()), Fonts());
  const std::string warnings = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 1) << warnings;
  EXPECT_NE(warnings.find("pop_Window_Login.gif"), std::string::npos);

  for (const auto& [picture, name] : Pictures(skin)) {
    if (name == "pop_Window_Login.gif") continue;
    Surface real = LoadPicture(kImages + name);
    ASSERT_NE(picture, nullptr) << name;
    ASSERT_EQ(picture->w, real->w) << name;
    ASSERT_EQ(picture->h, real->h) << name;
    EXPECT_TRUE(SameArea(picture, {0, 0, real->w, real->h}, real.get(), 0, 0)) << name;
  }
  Surface login = LoadPicture(kImages + "pop_Window_Login.gif");
  EXPECT_FALSE(SameArea(skin.loginWindow.get(), {0, 0, login->w, login->h}, login.get(), 0, 0));
}

TEST_F(SkinStandInTest, WindowBackgroundsKeepTheirWholeOutline) {
  for (const char* name : kWindows) {
    const Surface window = StandIn(name);
    ASSERT_TRUE(window) << name;
    EXPECT_EQ(CountPixels(window.get(), {0, 0, window->w, window->h}, IsMagenta), 0) << name;
    const SDL_Surface* picture = window.get();
    const WindowRegion region =
        ShapeWindow(picture->w, picture->h, [picture](int x, int y) -> std::optional<Uint32> {
          if (x < 0 || y < 0 || x >= picture->w || y >= picture->h) return std::nullopt;
          return Pixel(picture, x, y);
        });
    int outside = 0;
    for (int y = 0; y < picture->h; ++y) {
      for (int x = 0; x < picture->w; ++x)
        outside += region.Contains(x, y) ? 0 : 1;
    }
    EXPECT_EQ(outside, 0) << name;
  }
}

TEST_F(SkinStandInTest, EveryButtonHasARaisedAndAPressedFace) {
  for (const char* name : kTwoFaceButtons) {
    const Surface strip = StandIn(name);
    ASSERT_TRUE(strip) << name;
    const int w = strip->w / 2;
    EXPECT_FALSE(SameArea(strip.get(), {0, 0, w, strip->h}, strip.get(), w, 0)) << name;
    // Buttons are copied without a see-through colour.
    EXPECT_EQ(CountPixels(strip.get(), {0, 0, strip->w, strip->h}, IsMagenta), 0) << name;
  }
}

TEST_F(SkinStandInTest, TheLoginStandInLabelsBothBoxesAndNeedsNoFont) {
  const Surface login = StandIn("pop_Window_Login.gif");
  ASSERT_TRUE(login);
  // The labels stand left of the boxes at (120, 114) and (120, 152).
  EXPECT_GT(CountPixels(login.get(), {20, 114, 98, 20}, IsLight), 20);
  EXPECT_GT(CountPixels(login.get(), {20, 152, 98, 20}, IsLight), 20);

  const Surface plain = DrawStandIn("pop_Window_Login.gif", {}, "");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->w, 350);
  EXPECT_EQ(CountPixels(plain.get(), {0, 0, 350, 354}, IsMagenta), 0);
  EXPECT_EQ(CountPixels(plain.get(), {20, 114, 98, 20}, IsLight), 0);
}

TEST_F(SkinStandInTest, StandInCardsAreTellableApartAndTheirOverlaysSeeThrough) {
  auto cell = [](int image) {
    return SDL_Rect{((image - 1) % kCardSheetColumns) * kCardWidth,
                    ((image - 1) / kCardSheetColumns) * kCardHeight, kCardWidth, kCardHeight};
  };
  // Two cards of a different month, kind or junk value never look the same, with the
  // font or without; neither does a card and the back.
  const Surface sheet = StandIn("whatoo.gif");
  const Surface plain = DrawStandIn("whatoo.gif", {}, "");
  for (const SDL_Surface* s : {sheet.get(), plain.get()}) {
    ASSERT_NE(s, nullptr);
    const SDL_Rect back = cell(kCardBackImage);
    for (int a = 0; a < kMaxCardsInPlay; ++a) {
      const SDL_Rect ra = cell(FaceImage(a));
      EXPECT_EQ(CountPixels(s, ra, IsMagenta), 0) << a;
      EXPECT_FALSE(SameArea(s, ra, s, back.x, back.y)) << a;
      for (int b = a + 1; b < kMaxCardsInPlay; ++b) {
        const bool alike = MonthOfCardNumber(a) == MonthOfCardNumber(b) &&
                           KindOfCardNumber(a) == KindOfCardNumber(b) &&
                           MarkOfCardNumber(a) == MarkOfCardNumber(b);
        const SDL_Rect rb = cell(FaceImage(b));
        EXPECT_TRUE(alike || !SameArea(s, ra, s, rb.x, rb.y)) << a << " " << b;
      }
    }
  }
  // The overlays are drawn keyed over a card: their middle shows the card through.
  for (const int overlay : {kMatchOverlayImage, kBombCandidateImage, kShakeCandidateImage}) {
    const SDL_Rect r = cell(overlay);
    EXPECT_TRUE(IsMagenta(Pixel(sheet.get(), r.x + kCardWidth / 2, r.y + kCardHeight / 2)));
  }
  for (const int marker : {kMissionMarkerImage, kMissionMarkerImage + 1}) {
    const SDL_Rect r = cell(marker);
    EXPECT_TRUE(IsMagenta(Pixel(sheet.get(), r.x + 1, r.y + 1)));
    EXPECT_FALSE(IsMagenta(Pixel(sheet.get(), r.x + kCardWidth / 2, r.y + kCardHeight / 2)));
  }
}

// The game table started from a program folder without the login picture.
TEST(LoginStandInTest, TheLoginWindowOverTheBoardShowsNoMagentaAndItsLabels) {
  ProgramFolder folder({"pop_Window_Login.gif"});
  SdlSession sdl;
  platform::SdlEventLoop loop;
  platform::MemorySettingsStore settings;
  platform::PosixFileSystem files(folder.Path());
  platform::ScriptedDesktop desktop;
  platform::ListedDisplayModes modes(
      std::vector<platform::DisplayMode>{{1024, 768, 32, 60}, {800, 600, 32, 60}},
      platform::DisplayMode{1024, 768, 32, 60});
  DisplayCheck display(modes, desktop);
  ASSERT_TRUE(display.Run());
  GameState state;
  StartupWorld world{settings, files, "http://127.0.0.1:8410/", {}};
  RunStartup(state, world);
  ASSERT_EQ(state.SkinImages[28], folder.Path() + "images/pop_Window_Login.gif");
  ::testing::internal::CaptureStderr();
  auto table =
      std::make_unique<GameTable>(std::move(state), loop, settings, display, modes, desktop);
  ::testing::internal::GetCapturedStderr();
  platform::FakeHttpClient http(loop);
  portal::LoginForm login(table->game(), http, settings, table->opponents(),
                          DisplayCheck::PlatformCode());
  table->OpenLogin(login);

  const std::string path = folder.Path() + "login.png";
  ASSERT_TRUE(table->SaveScreenshot(path));
  Surface shot = LoadPicture(path);
  ASSERT_TRUE(shot);
  const SDL_Rect window{SdlLoginWindow::kPlace.x, SdlLoginWindow::kPlace.y, 350, 354};
  EXPECT_EQ(CountPixels(shot.get(), window, IsMagenta), 0);
  EXPECT_GT(CountPixels(shot.get(), {window.x + 20, window.y + 114, 98, 20}, IsLight), 20);
  EXPECT_GT(CountPixels(shot.get(), {window.x + 20, window.y + 152, 98, 20}, IsLight), 20);
  table.reset();
}

}  // namespace
}  // namespace hw::ui
