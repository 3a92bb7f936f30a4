#pragma once
// 채팅출력창: the message log on the right of the board, where the game narrates itself,
// with its scroll bar 스콜_채팅출력창 beside it.
//
// The log only grows. It starts with one empty line; every AppendLog adds a line break,
// "- " and the text, in the colour and weight given. Lines wider than the box wrap at
// its width (at a space when the next word fits on a line of its own, otherwise at any
// letter), and every count of lines below is of lines as shown, after wrapping.
//
// Scrolling keeps two positions, as the window always has: the box's own first shown
// line (an append brings the last line into view) and the tag, the scroll position the
// scroll bar last applied. Moving the scroll bar scrolls the box line by line by the
// difference between the bar's value and the tag.

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "hand/effects.h"
#include "platform/desktop.h"
#include "platform/event_loop.h"
#include "ui/fonts.h"
#include "ui/scroll_bar.h"

namespace hw {

class 채팅출력창 final : public MessageLog {
 public:
  static constexpr SDL_Rect kBox{587, 286, 194, 185};
  static constexpr SDL_Rect kScrollBarBounds{781, 286, 17, 185};
  static constexpr Rgb kBackground{138, 95, 16};
  static constexpr int kPageLines = 18;
  // 18 lines of 10 pixels fill the box's 185 with a little margin; the small-print face
  // at 10 pixels is crisp and keeps its letters inside a 10-pixel line.
  static constexpr int kLineHeight = 10;
  static constexpr int kFontPixels = 10;
  static constexpr int kMarginX = 3;  // text starts this far in, and wraps this far short
  static constexpr int kMarginY = 2;

  // The scroll bar is created at kScrollBarBounds and listened to; its timers run on
  // `loop` and its error boxes go to `desktop`.
  채팅출력창(FontLibrary& fonts, platform::EventLoop& loop, platform::Desktop& desktop);
  ~채팅출력창() override;
  채팅출력창(const 채팅출력창&) = delete;
  채팅출력창& operator=(const 채팅출력창&) = delete;

  // The game has one log area ("게임판"); `area` names it and is not otherwise used.
  void AppendLog(std::string_view area, std::string_view text, Rgb colour, bool bold) override;
  // Sets the scroll bar to the last page: 0..top at top, where top is n − 18 for n ≥ 18
  // lines and n otherwise, and stores top in the tag first, so the bar's change
  // notification scrolls nothing.
  void SyncLogScroll(std::string_view area);
  // The scroll bar moved: scrolls the box by the bar's value minus the tag, one line at
  // a time, and stores the value in the tag.
  void OnLogScroll();

  컨트롤_수직스크롤& ScrollBar() { return scrollBar_; }
  const 컨트롤_수직스크롤& ScrollBar() const { return scrollBar_; }

  // The whole text: "" at first, then "\n- " and the text of each append.
  const std::string& Text() const { return text_; }
  int LineCount() const { return static_cast<int>(lines_.size()); }
  // A line as shown (a piece of a wrapped line keeps the space it was broken after).
  std::string_view Line(int index) const;
  Rgb LineColour(int index) const;
  bool LineBold(int index) const;
  int FirstShownLine() const { return firstShown_; }
  // The tag: decimal text of the scroll position last applied ("" until the first).
  const std::string& Tag() const { return tag_; }

  // Draws the box (its shown lines over the brown background) and the scroll bar.
  // Rendered lines are kept as textures of this renderer: call ReleaseTextures() before
  // the renderer is destroyed, unless the log goes first.
  void Draw(SDL_Renderer* renderer);
  void ReleaseTextures();
  // Grows whenever the box's look changes (the scroll bar has its own).
  std::uint64_t Revision() const { return revision_; }

 private:
  struct Style {
    Rgb Colour;
    bool Bold = false;
  };
  struct ShownLine {
    std::size_t Start = 0;  // into text_
    std::size_t Length = 0;
    std::size_t Style = 0;  // into styles_
  };
  struct TextureDeleter {
    void operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
  };
  struct LineTexture {
    std::unique_ptr<SDL_Texture, TextureDeleter> Texture;  // null for a line with no ink
    int Width = 0;
    int Height = 0;
  };

  void AddWrappedLines(std::size_t start, std::size_t end, std::size_t style);
  void ScrollLineDown();
  void ScrollLineUp();
  int LastFirstLine() const;
  const LineTexture& TextureOf(SDL_Renderer* renderer, int line);

  FontLibrary& fonts_;
  std::string text_;
  std::vector<Style> styles_;
  std::vector<ShownLine> lines_;
  int firstShown_ = 0;
  std::string tag_;
  std::uint64_t revision_ = 0;

  SDL_Renderer* textureRenderer_ = nullptr;
  std::unordered_map<int, LineTexture> textures_;

  컨트롤_수직스크롤 scrollBar_;  // 스콜_채팅출력창
};

}  // namespace hw
