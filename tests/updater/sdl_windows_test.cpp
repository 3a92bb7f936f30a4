// The updater's two windows under SDL's dummy video driver: the bar fills as far as the
// progress says, the status shows, and clicks on the notice reach its buttons.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/fake/scripted_desktop.h"
#include "updater/sdl_alert_window.h"
#include "updater/sdl_update_window.h"

namespace hw::updater {
namespace {

class SdlWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError(); }
  void TearDown() override { SDL_Quit(); }

  static Rgb PixelAt(SDL_Surface* surface, int x, int y) {
    Uint8 r = 0, g = 0, b = 0;
    SDL_LockSurface(surface);
    const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    Uint32 pixel = 0;
    std::memcpy(&pixel, row + x * surface->format->BytesPerPixel, surface->format->BytesPerPixel);
    SDL_UnlockSurface(surface);
    SDL_GetRGB(pixel, surface->format, &r, &g, &b);
    return {r, g, b};
  }
};

TEST_F(SdlWindowsTest, TheBarFillsFromTheLeftAndIsCutAtItsWidth) {
  FontLibrary fonts;
  SdlUpdateWindow window(fonts);
  const SDL_Rect bar = SdlUpdateWindow::kBar;
  window.Show();
  window.DrawProgress(100);
  ui::Surface picture = window.Picture();
  const Rgb filled = PixelAt(picture.get(), bar.x + 99, bar.y + 10);
  const Rgb empty = PixelAt(picture.get(), bar.x + 100, bar.y + 10);
  EXPECT_NE(filled, empty);
  EXPECT_EQ(empty, (Rgb{255, 255, 255}));

  window.DrawProgress(5000);
  EXPECT_EQ(window.ProgressWidth(), bar.w);
  picture = window.Picture();
  EXPECT_EQ(PixelAt(picture.get(), bar.x + bar.w - 1, bar.y + 10), filled);
  window.ClearProgress();
  picture = window.Picture();
  EXPECT_EQ(PixelAt(picture.get(), bar.x, bar.y + 10), empty);
}

TEST_F(SdlWindowsTest, TheNoticeShowsWhileOpenAndItsButtonsAnswer) {
  FontLibrary fonts;
  platform::VirtualEventLoop loop;
  platform::ScriptedDesktop desktop;
  AlertNotice notice(loop, desktop, "http://portal.test/");
  SdlAlertWindow window(notice, fonts);
  int ended = 0;
  notice.onEndUpdater = [&] { ++ended; };

  notice.Open();
  window.Click(5, 5);  // beside the buttons
  EXPECT_TRUE(notice.IsOpen());
  desktop.answers = {platform::MessageAnswer::kYes};
  const SDL_Rect home = SdlAlertWindow::kHomePage;
  window.Click(home.x + 1, home.y + 1);
  EXPECT_EQ(desktop.opened, (std::vector<std::string>{"http://portal.test/"}));
  EXPECT_EQ(ended, 1);

  notice.Open();
  const SDL_Rect confirm = SdlAlertWindow::kConfirm;
  window.Click(confirm.x + confirm.w - 1, confirm.y + confirm.h - 1);
  EXPECT_FALSE(notice.IsOpen());
  EXPECT_EQ(ended, 1);
}

}  // namespace
}  // namespace hw::updater
