#pragma once
// The event loop of the window program: real time on the monotonic clock, the window
// system's events from SDL, and frames shown at the display's pace. Waits and animations
// keep everything running: a wait lets events, timer ticks and frames happen until its
// time is up.
//
// A frame is drawn and shown (onFrame) only when the picture may have changed: when a view
// asked for one (RequestFrame), and around every window event, timer tick and posted
// event, since their handlers change what the windows show. At most one frame is shown
// per frame interval; with nothing to show and nothing due the loop sleeps in the window
// system until an event arrives, so an idle window costs no processor time.

#include <SDL.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/event_loop.h"

namespace hw::platform {

class SdlEventLoop final : public EventLoop {
 public:
  SdlEventLoop();

  Micros NowMicros() const override;
  // Handles the window system's pending events, runs due ticks and posted events, and
  // shows a frame when one is wanted and due.
  void ProcessEvents() override;
  void WaitSeconds(double seconds) override;
  // Until Quit(): sleeps until the next event, tick or wanted frame, then handles it.
  void Run() override;
  void RequestFrame() override { frameWanted_ = true; }
  void WaitForFrame() override;

  // Every event from the window system.
  std::function<void(const SDL_Event&)> onEvent;
  // Draws and shows a frame.
  std::function<void()> onFrame;
  // A modal window of the program: while its layer is pushed, its filter sees every
  // window event first (the newest layer first) and keeps from the others and from
  // onEvent those it returns true for; its draw runs after each frame.
  struct Layer {
    std::function<bool(const SDL_Event&)> filter;
    std::function<void()> draw;
  };
  void PushLayer(Layer layer);
  void PopLayer();

  // The display's pace: one frame per refresh of the display (60 Hz unless told).
  void SetFrameInterval(double seconds) { frameInterval_ = SecondsToMicros(seconds); }
  // Frames shown since the loop was made.
  std::uint64_t FramesShown() const { return framesShown_; }

 private:
  // What a handler changes before it waits is shown during the wait; what it changes
  // at its end, after it.
  void AroundDispatch() override { frameWanted_ = true; }
  void HandleEvent(const SDL_Event& event);
  void FrameIfDue();
  // Sleeps until an event arrives, the next tick or wanted frame is due, or `limit`
  // (whichever is first).
  void Sleep(Micros limit);

  std::chrono::steady_clock::time_point start_;
  Micros frameInterval_ = SecondsToMicros(kFrameSeconds);
  Micros lastFrame_ = -1'000'000;
  bool frameWanted_ = true;  // the first frame
  std::uint64_t framesShown_ = 0;
  std::vector<std::shared_ptr<Layer>> layers_;
};

}  // namespace hw::platform
