// The Korean font lookup, the scroll bar control and the message log, headless: the
// timers on the virtual clock, error boxes through a scripted desktop, drawing into a
// software renderer.

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/event_loop.h"
#include "platform/fake/scripted_desktop.h"
#include "ui/fonts.h"
#include "ui/message_log.h"
#include "ui/scroll_bar.h"

namespace hw {
namespace {

using Part = 컨트롤_수직스크롤::Part;

// ---- Fonts

FontFace Face(std::string file, std::string family, int weight, int slant = 0) {
  return {std::move(file), {std::move(family)}, weight, slant};
}

TEST(KoreanFontChoice, PrefersNanumGothicAndItsBoldWhateverTheOrder) {
  const std::vector<FontFace> faces{
      Face("/f/NanumGothicCodingBold.ttf", "NanumGothicCoding", 200),
      Face("/f/NanumGothicBold.ttf", "NanumGothic", 200),
      Face("/f/Aaa.ttf", "Aaa", 80),
      Face("/f/NanumGothic.ttf", "NanumGothic", 80),
      Face("/f/NanumGothicCoding.ttf", "NanumGothicCoding", 80),
  };
  const KoreanFontFiles files = ChooseKoreanFaces(faces);
  EXPECT_EQ(files.Regular, "/f/NanumGothic.ttf");
  EXPECT_EQ(files.Bold, "/f/NanumGothicBold.ttf");
}

TEST(KoreanFontChoice, FallsBackToAnyUprightKoreanFace) {
  const std::vector<FontFace> faces{
      Face("/f/Zed-Italic.ttf", "Zed", 80, 100),
      Face("/f/Zed-Bold.ttf", "Zed", 200),
      Face("/f/Zed-Light.ttf", "Zed", 50),
      Face("/f/Zed.ttf", "Zed", 80),
  };
  EXPECT_EQ(ChooseKoreanFaces(faces).Regular, "/f/Zed.ttf");
  EXPECT_EQ(ChooseKoreanFaces(faces).Bold, "/f/Zed-Bold.ttf");
  // With no bold face, bold text is emboldened from the regular one.
  EXPECT_EQ(ChooseKoreanFaces({Face("/f/Solo.ttf", "Solo", 80)}).Bold, "");
  EXPECT_THROW(ChooseKoreanFaces({}), FontNotFound);
}

TEST(FontLibrary, FindsTheInstalledKoreanFontAndKeepsEachSizeOpenOnce) {
  FontLibrary fonts;
  EXPECT_TRUE(fonts.Files().Regular.ends_with("/NanumGothic.ttf")) << fonts.Files().Regular;
  EXPECT_TRUE(fonts.Files().Bold.ends_with("/NanumGothicBold.ttf")) << fonts.Files().Bold;
  TTF_Font* regular = fonts.Get(9, false);
  ASSERT_NE(regular, nullptr);
  EXPECT_EQ(fonts.Get(9, false), regular);
  EXPECT_NE(fonts.Get(9, true), regular);
  EXPECT_NE(fonts.Get(12, false), regular);
}

// ---- Scroll bar

class ScrollBarTest : public ::testing::Test {
 protected:
  ScrollBarTest() {
    bar.onChange = [this] { ++changes; };
    bar.onScroll = [this] { ++scrolls; };
  }
  // A press and a release at the same place.
  void Click(int x, int y) {
    bar.MouseDown(MouseButton::kLeft, x, y);
    bar.MouseUp(MouseButton::kLeft, x, y);
  }

  platform::VirtualEventLoop loop;
  platform::ScriptedDesktop desktop;
  컨트롤_수직스크롤 bar{loop, desktop, {781, 286, 17, 185}};
  int changes = 0;
  int scrolls = 0;
};

TEST_F(ScrollBarTest, StartsWithItsDefaults) {
  EXPECT_TRUE(bar.Enabled());
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), 32767);
  EXPECT_EQ(bar.Value(), 0);
  EXPECT_EQ(bar.SmallChange(), 1);
  EXPECT_EQ(bar.LargeChange(), 1);
  EXPECT_EQ(bar.ColorScheme(), 0);
  EXPECT_EQ(bar.ThumbLength(), 10);
}

TEST_F(ScrollBarTest, ChangesOutOfRangeShowAnErrorAndBecomeOne) {
  bar.SetSmallChange(10001);
  EXPECT_EQ(bar.SmallChange(), 1);
  bar.SetLargeChange(-1);
  EXPECT_EQ(bar.LargeChange(), 1);
  ASSERT_EQ(desktop.shown.size(), 2u);
  EXPECT_EQ(desktop.shown[0].text, "Invalid property value");
  EXPECT_EQ(desktop.shown[0].icon, platform::MessageIcon::kError);

  bar.SetSmallChange(10000);
  bar.SetLargeChange(0);
  EXPECT_EQ(bar.SmallChange(), 10000);
  EXPECT_EQ(bar.LargeChange(), 0);
  EXPECT_EQ(desktop.shown.size(), 2u);
}

TEST_F(ScrollBarTest, RangeRulesKeepValueInside) {
  bar.SetMax(-5);
  EXPECT_EQ(bar.Max(), 32767);
  bar.SetMin(40000);
  EXPECT_EQ(bar.Min(), 0);
  bar.SetMin(-1);
  EXPECT_EQ(bar.Min(), 0);

  bar.SetValue(50);
  EXPECT_EQ(changes, 1);
  bar.SetMax(20);
  EXPECT_EQ(bar.Value(), 20);
  bar.SetMin(30);
  EXPECT_EQ(bar.Value(), 30);
  EXPECT_EQ(changes, 1);  // the range rules move Value silently

  bar.SetMin(0);
  bar.SetValue(30);  // equal: ignored
  EXPECT_EQ(changes, 1);
  bar.SetValue(99);
  EXPECT_EQ(bar.Value(), 20);
  EXPECT_EQ(changes, 2);
}

TEST_F(ScrollBarTest, ThumbLengthFollowsPageAndRangeOnlyWhenMeaningful) {
  bar.SetLargeChange(18);
  bar.SetMax(12);
  EXPECT_EQ(bar.ThumbLength(), 151 * 18 / 30);
  bar.SetMax(0);  // Max below 1: the length stays
  EXPECT_EQ(bar.ThumbLength(), 151 * 18 / 30);
  bar.SetMax(32767);
  EXPECT_EQ(bar.ThumbLength(), 10);
  bar.SetMax(12);
  bar.SetBounds({0, 0, 17, 34});  // no taller than its arrows: the length stays
  EXPECT_EQ(bar.ThumbLength(), 151 * 18 / 30);
  EXPECT_EQ(bar.HitTest(8, 20), Part::kDownArrow);
}

TEST_F(ScrollBarTest, ArrowsStepBySmallChangeAndTrackByLargeChangeWithinRange) {
  bar.SetMax(100);
  bar.SetSmallChange(3);
  bar.SetLargeChange(10);
  Click(8, 180);  // down arrow
  EXPECT_EQ(bar.Value(), 3);
  Click(8, 150);  // track below the thumb
  EXPECT_EQ(bar.Value(), 13);
  Click(8, 20);  // track above the thumb
  EXPECT_EQ(bar.Value(), 3);
  Click(8, 2);  // up arrow
  Click(8, 2);
  EXPECT_EQ(bar.Value(), 0);
  EXPECT_EQ(changes, 5);
  bar.MouseDown(MouseButton::kRight, 8, 180);  // only the left button acts
  EXPECT_EQ(bar.Value(), 0);
}

TEST_F(ScrollBarTest, HeldPressRepeatsEvery100MillisecondsUntilReleased) {
  bar.SetMax(100);
  bar.MouseDown(MouseButton::kLeft, 8, 180);
  EXPECT_EQ(bar.Value(), 1);
  loop.WaitSeconds(0.099);
  EXPECT_EQ(bar.Value(), 1);
  loop.WaitSeconds(0.251);
  EXPECT_EQ(bar.Value(), 4);
  bar.MouseMove(30, 180);  // off the arrow: the repeat pauses
  loop.WaitSeconds(0.2);
  EXPECT_EQ(bar.Value(), 4);
  bar.MouseMove(8, 180);
  loop.WaitSeconds(0.1);
  EXPECT_EQ(bar.Value(), 5);
  bar.MouseUp(MouseButton::kLeft, 8, 180);
  loop.WaitSeconds(1);
  EXPECT_EQ(bar.Value(), 5);
}

TEST_F(ScrollBarTest, HeldTrackPressStopsWhenTheThumbReachesThePointer) {
  bar.SetMax(100);
  bar.SetLargeChange(10);
  bar.MouseDown(MouseButton::kLeft, 8, 150);
  loop.WaitSeconds(2);
  EXPECT_EQ(bar.Value(), 90);
  EXPECT_EQ(bar.HitTest(8, 150), Part::kThumb);
}

TEST_F(ScrollBarTest, DraggingTheThumbScrollsAndChangesOnceAtTheEnd) {
  bar.SetLargeChange(18);
  bar.SetMax(12);  // thumb 90 long, 61 pixels of travel
  const int grab = bar.ThumbTop() + 5;
  bar.MouseDown(MouseButton::kLeft, 8, grab);
  EXPECT_TRUE(bar.Dragging());
  bar.MouseMove(8, grab + 30);
  EXPECT_EQ(bar.Value(), 6);  // 30 of 61 pixels: 5.9
  bar.MouseMove(40, 900);     // far outside: the drag still follows, to the end
  EXPECT_EQ(bar.Value(), 12);
  EXPECT_EQ(bar.ThumbTop(), 17 + 61);
  EXPECT_EQ(scrolls, 2);
  EXPECT_EQ(changes, 0);
  bar.MouseUp(MouseButton::kLeft, 40, 900);
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(bar.Dragging());
}

TEST_F(ScrollBarTest, HighlightLeavesWithThePointerButNotWhileHeld) {
  bar.MouseMove(8, 2);
  EXPECT_EQ(bar.HotPart(), Part::kUpArrow);
  bar.MouseLeave();
  loop.WaitSeconds(0.01);
  EXPECT_EQ(bar.HotPart(), Part::kNone);

  bar.MouseDown(MouseButton::kLeft, 8, 180);
  bar.MouseMove(-50, 180);
  loop.WaitSeconds(0.05);
  EXPECT_EQ(bar.HotPart(), Part::kDownArrow);
  bar.MouseUp(MouseButton::kLeft, -50, 180);
  loop.WaitSeconds(0.01);
  EXPECT_EQ(bar.HotPart(), Part::kNone);

  bar.SetEnabled(false);
  bar.MouseDown(MouseButton::kLeft, 8, 180);
  EXPECT_EQ(bar.Value(), 1);
  EXPECT_EQ(bar.PressedPart(), Part::kNone);
}

// ---- Message log

class MessageLogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { fonts = std::make_unique<FontLibrary>(); }
  static void TearDownTestSuite() { fonts.reset(); }

  // Appends short lines until the log has n lines.
  void FillTo(int n) {
    while (log.LineCount() < n)
      log.AppendLog(kLogArea, "줄 " + std::to_string(log.LineCount()), kWhite, false);
  }

  static inline std::unique_ptr<FontLibrary> fonts;
  platform::VirtualEventLoop loop;
  platform::ScriptedDesktop desktop;
  채팅출력창 log{*fonts, loop, desktop};
};

TEST_F(MessageLogTest, AppendAddsALineBreakDashAndText) {
  EXPECT_EQ(log.LineCount(), 1);
  log.AppendLog(kLogArea, "미션: 고도리", kYellow, true);
  EXPECT_EQ(log.Text(), "\n- 미션: 고도리");
  ASSERT_EQ(log.LineCount(), 2);
  EXPECT_EQ(log.Line(0), "");
  EXPECT_EQ(log.Line(1), "- 미션: 고도리");
  EXPECT_EQ(log.LineColour(1), kYellow);
  EXPECT_TRUE(log.LineBold(1));
  log.AppendLog(kLogArea, "둘째", kWhite, false);
  EXPECT_EQ(log.Text(), "\n- 미션: 고도리\n- 둘째");
}

TEST_F(MessageLogTest, ScrollBarCoversTheLastPage) {
  FillTo(10);
  const auto& bar = log.ScrollBar();
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), 10);
  EXPECT_EQ(bar.Value(), 10);
  EXPECT_EQ(log.Tag(), "10");
  EXPECT_EQ(log.FirstShownLine(), 0);

  FillTo(30);
  EXPECT_EQ(bar.Max(), 12);
  EXPECT_EQ(bar.Value(), 12);
  EXPECT_EQ(bar.SmallChange(), 1);
  EXPECT_EQ(bar.LargeChange(), 18);
  EXPECT_EQ(log.Tag(), "12");
  EXPECT_EQ(log.FirstShownLine(), 12);
}

TEST_F(MessageLogTest, MovingTheBarScrollsByTheDifferenceAndAppendJumpsToTheEnd) {
  FillTo(30);
  log.ScrollBar().SetValue(9);
  EXPECT_EQ(log.FirstShownLine(), 9);
  EXPECT_EQ(log.Tag(), "9");

  log.ScrollBar().MouseDown(MouseButton::kLeft, 8, 180);  // down arrow
  log.ScrollBar().MouseUp(MouseButton::kLeft, 8, 180);
  EXPECT_EQ(log.FirstShownLine(), 10);
  EXPECT_EQ(log.Tag(), "10");

  log.AppendLog(kLogArea, "새 줄", kYellow, false);
  EXPECT_EQ(log.FirstShownLine(), 13);
  EXPECT_EQ(log.Tag(), "13");
  EXPECT_EQ(log.ScrollBar().Value(), 13);
}

TEST_F(MessageLogTest, LongLinesWrapAtTheBoxWidth) {
  // A run with no space breaks anywhere, and starts right after the dash.
  const std::string run =
      "컴퓨터님이뻑을했습니다그리고다시한번뻑을하면바닥의카드를모두가져갑니다정말입니다";
  log.AppendLog(kLogArea, run, kYellow, false);
  const int runLines = log.LineCount() - 1;
  EXPECT_GE(runLines, 2);
  EXPECT_NE(log.Line(1), "- ");

  // Words break at spaces.
  const std::string words =
      "플레이어님이 뻑을 했습니다. 다음 차례에 가져가면 피 한 장을 받습니다. 세 번 뻑을 하면 "
      "그대로 이깁니다.";
  log.AppendLog(kLogArea, words, kWhite, false);
  EXPECT_GE(log.LineCount() - 1 - runLines, 3);

  std::string joined;
  for (int i = 1; i < log.LineCount(); ++i) {
    const std::string line(log.Line(i));
    int w = 0, h = 0;
    TTF_SizeUTF8(fonts->Get(채팅출력창::kFontPixels, false, FontRole::kSmallPrint),
                 line.substr(0, line.find_last_not_of(' ') + 1).c_str(), &w, &h);
    EXPECT_LE(w, 채팅출력창::kBox.w - 2 * 채팅출력창::kMarginX) << line;
    if (i > runLines && i < log.LineCount() - 1) {
      EXPECT_EQ(line.back(), ' ') << line;  // broken after a space
    }
    joined += line;
    if (i == runLines) joined += '|';
  }
  EXPECT_EQ(joined, "- " + run + "|- " + words);
}

// Drawing into a software renderer, read back from its surface.
TEST_F(MessageLogTest, DrawsBrownBoxColouredTextAndTheScrollBar) {
  std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> surface(
      SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 32, SDL_PIXELFORMAT_RGBA8888), SDL_FreeSurface);
  ASSERT_TRUE(surface);
  std::unique_ptr<SDL_Renderer, decltype(&SDL_DestroyRenderer)> renderer(
      SDL_CreateSoftwareRenderer(surface.get()), SDL_DestroyRenderer);
  ASSERT_TRUE(renderer);
  auto pixel = [&](int x, int y) {
    Uint8 r, g, b;
    const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    SDL_GetRGB(reinterpret_cast<const Uint32*>(row)[x], surface->format, &r, &g, &b);
    return Rgb{r, g, b};
  };
  // Counts the pixels of the rectangle near enough to a colour.
  auto count = [&](SDL_Rect area, Rgb c, int tolerance) {
    int n = 0;
    for (int y = area.y; y < area.y + area.h; ++y)
      for (int x = area.x; x < area.x + area.w; ++x) {
        const Rgb p = pixel(x, y);
        n += std::abs(p.Red - c.Red) <= tolerance && std::abs(p.Green - c.Green) <= tolerance &&
             std::abs(p.Blue - c.Blue) <= tolerance;
      }
    return n;
  };

  FillTo(29);
  log.AppendLog(kLogArea, "피박입니다", kYellow, false);  // line 29, the page's last
  const SDL_Rect box = 채팅출력창::kBox;
  const int lastLineY = box.y + 채팅출력창::kMarginY + 17 * 채팅출력창::kLineHeight;
  const SDL_Rect lastLine{box.x, lastLineY, box.w, 채팅출력창::kLineHeight};
  const SDL_Rect lineAbove{box.x, lastLineY - 채팅출력창::kLineHeight, box.w, 8};
  const SDL_Rect bar = 채팅출력창::kScrollBarBounds;

  SDL_RenderClear(renderer.get());
  log.Draw(renderer.get());
  EXPECT_EQ(pixel(box.x + box.w - 2, box.y + 1), 채팅출력창::kBackground);
  EXPECT_EQ(pixel(box.x + 1, box.y + box.h - 1), 채팅출력창::kBackground);
  EXPECT_GT(count(lastLine, kYellow, 40), 5);
  EXPECT_EQ(count(lineAbove, kYellow, 40), 0);
  EXPECT_GT(count(lineAbove, kWhite, 40), 5);
  // Nothing spills out of the box.
  EXPECT_EQ(count({box.x - 1, box.y, 1, box.h + 1}, {0, 0, 0}, 0), box.h + 1);
  EXPECT_EQ(count({box.x, box.y + box.h, box.w, 1}, {0, 0, 0}, 0), box.w);
  EXPECT_GT(count(bar, {140, 176, 248}, 0), 0);  // the grip lines of the 90-pixel thumb

  log.ScrollBar().SetValue(11);  // one line up: the yellow line leaves the box
  log.ScrollBar().SetEnabled(false);
  SDL_RenderClear(renderer.get());
  log.Draw(renderer.get());
  EXPECT_EQ(count(lastLine, kYellow, 40), 0);
  EXPECT_EQ(count(bar, {140, 176, 248}, 0), 0);  // disabled: no thumb
  log.ReleaseTextures();
}

}  // namespace
}  // namespace hw
