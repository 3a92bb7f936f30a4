#pragma once
// The event loop of the window program: real time on the monotonic clock, the window
// system's events from SDL, and frames drawn at most at the display's pace. Waits and
// animations keep everything running: a wait lets events, timer ticks and frames happen
// until its time is up.

#include <SDL.h>

#include <chrono>
#include <functional>

#include "platform/event_loop.h"

namespace hw::platform {

class SdlEventLoop final : public EventLoop {
 public:
  SdlEventLoop();

  Micros NowMicros() const override;
  // Handles the window system's pending events, runs due ticks and posted events, and
  // draws a frame when one is due.
  void ProcessEvents() override;
  void WaitSeconds(double seconds) override;
  // Until Quit(): sleeps until the next event or tick, then handles it.
  void Run() override;

  // Every event from the window system.
  std::function<void(const SDL_Event&)> onEvent;
  // Draws and shows a frame; called at most once per frame interval.
  std::function<void()> onFrame;
  void SetFrameInterval(double seconds) { frameInterval_ = SecondsToMicros(seconds); }

 private:
  void HandleEvent(const SDL_Event& event);
  void FrameIfDue();
  // Sleeps until an event arrives, the next tick is due, or `limit` (whichever is first).
  void Sleep(Micros limit);

  std::chrono::steady_clock::time_point start_;
  Micros frameInterval_ = SecondsToMicros(1.0 / 60);
  Micros lastFrame_ = -1'000'000;
};

}  // namespace hw::platform
