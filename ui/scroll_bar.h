#pragma once
// 컨트롤_수직스크롤: the vertical scroll bar in the game's own style, an up arrow at the
// top and a down arrow at the bottom (17 pixels each) with the track and its thumb
// between them, in one of three colour schemes. It knows nothing of the game; the
// message log stands it beside its box.
//
// The window feeds it the mouse in the control's own pixels (MouseDown, MouseMove,
// MouseUp, MouseLeave). While the left button is held after a press on the control, the
// control has the mouse: the window passes it every move and the release, wherever the
// pointer is (coordinates then may lie outside the control).

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "mainwindow/dialog_controllers.h"
#include "platform/desktop.h"
#include "platform/event_loop.h"

namespace hw {

class 컨트롤_수직스크롤 {
 public:
  static constexpr int kArrowHeight = 17;
  static constexpr int kMinThumbLength = 10;
  static constexpr int kLargestValue = 32767;
  static constexpr int kLargestChange = 10000;
  static constexpr int kRepeatMs = 100;  // a held press steps again this often
  static constexpr int kHoverMs = 5;     // how often the highlight checks for the pointer

  enum class Part { kNone, kUpArrow, kDownArrow, kTrackAbove, kTrackBelow, kThumb };

  // Invalid property values are reported in an error box with this caption.
  컨트롤_수직스크롤(platform::EventLoop& loop, platform::Desktop& desktop, SDL_Rect bounds,
                    std::string errorCaption = "Velmaro");
  ~컨트롤_수직스크롤();
  컨트롤_수직스크롤(const 컨트롤_수직스크롤&) = delete;
  컨트롤_수직스크롤& operator=(const 컨트롤_수직스크롤&) = delete;

  // ---- Properties, with the rules of their assignment.

  bool Enabled() const { return enabled_; }
  // A disabled control ignores the mouse and drops a press in progress.
  void SetEnabled(bool enabled);

  int Min() const { return min_; }
  // Below 0 or above 32767 becomes 0; Value is raised to Min when below it (silently).
  void SetMin(int min);

  int Max() const { return max_; }
  // A negative Max becomes 32767; Value is lowered to Max when above it (silently).
  void SetMax(int max);

  int Value() const { return value_; }
  // Nothing happens when `value` equals the current value. Otherwise it is clamped to
  // Min..Max and onChange is raised, even when the clamped value is the old one (a press
  // on the down arrow at Max still notifies).
  void SetValue(int value);

  int SmallChange() const { return smallChange_; }
  // Below 0 or above 10000: "Invalid property value" in an error box, and 1.
  void SetSmallChange(int change);

  int LargeChange() const { return largeChange_; }
  void SetLargeChange(int change);  // the same rule as SmallChange

  int ColorScheme() const { return scheme_; }
  // 0 light blue, 1 olive, 2 silver; any other number is an invalid property value and
  // selects scheme 0.
  void SetColorScheme(int scheme);

  // Raised when Value has been assigned (by the host or by a press on the control), and
  // once when a thumb drag ends on another value than it started with.
  std::function<void()> onChange;
  // Raised while the thumb is dragged, each time the drag moves Value.
  std::function<void()> onScroll;

  // ---- Geometry, in the window's pixels (Bounds) or the control's own (the rest).

  const SDL_Rect& Bounds() const { return bounds_; }
  void SetBounds(SDL_Rect bounds);
  bool ContainsWindowPoint(int x, int y) const;

  // The thumb's length, (height − 34) × LargeChange / (LargeChange + Max) and at least
  // 10, worked out again only when the control is taller than its two arrows and both
  // LargeChange and Max are at least 1; otherwise the last length stays.
  int ThumbLength() const { return thumbLength_; }
  // Where the thumb is drawn: its top and its length, which never exceeds the track.
  int ThumbTop() const;
  int DrawnThumbLength() const;
  Part HitTest(int x, int y) const;

  // ---- The mouse, in the control's own pixels. Only the left button acts.

  // On an arrow: Value moves by SmallChange (down +, up −); on the track above or below
  // the thumb: by LargeChange; on the thumb: a drag begins. An arrow or track press
  // steps again every 100 ms while the button stays down and the pointer stays on that
  // part (on the track: until the thumb has come under the pointer).
  void MouseDown(MouseButton button, int x, int y);
  void MouseMove(int x, int y);
  void MouseUp(MouseButton button, int x, int y);
  // The pointer has left the control (or the window).
  void MouseLeave();

  Part HotPart() const { return hot_; }          // highlighted: the part under the pointer
  Part PressedPart() const { return pressed_; }  // held down, kNone when no press
  bool Dragging() const { return pressed_ == Part::kThumb; }

  // Draws the control at its bounds. Leaves the renderer's draw colour as it found it.
  void Draw(SDL_Renderer* renderer) const;
  // Grows whenever the control's look changes, so a host may skip redrawing.
  std::uint64_t Revision() const { return revision_; }

 private:
  int TrackLength() const;
  void RecomputeThumb();
  int CheckedChange(int change);
  void Step(Part part);
  void EndPress();
  void SetHot(Part part);
  void ValueFromThumbTop(int top);
  void OnRepeatTick();
  void OnHoverTick();
  void Changed() { ++revision_; }

  platform::Desktop& desktop_;
  std::string errorCaption_;
  SDL_Rect bounds_;

  bool enabled_ = true;
  int min_ = 0;
  int max_ = kLargestValue;
  int value_ = 0;
  int smallChange_ = 1;
  int largeChange_ = 1;
  int scheme_ = 0;
  int thumbLength_ = kMinThumbLength;

  Part hot_ = Part::kNone;
  Part pressed_ = Part::kNone;
  int pointerX_ = -1;  // the last pointer position the window reported
  int pointerY_ = -1;
  bool pointerInside_ = false;
  int grabOffset_ = 0;      // pointer y minus thumb top when the drag began
  int dragStartValue_ = 0;  // Value when the drag began
  std::uint64_t revision_ = 0;

  std::unique_ptr<platform::Timer> hoverTimer_;   // the first timer: un-highlights
  std::unique_ptr<platform::Timer> repeatTimer_;  // the second timer: repeats a held press
};

}  // namespace hw
