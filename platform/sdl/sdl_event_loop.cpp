#include "platform/sdl/sdl_event_loop.h"

#include <algorithm>

namespace hw::platform {

SdlEventLoop::SdlEventLoop() : start_(std::chrono::steady_clock::now()) {}

Micros SdlEventLoop::NowMicros() const {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                               start_)
      .count();
}

void SdlEventLoop::HandleEvent(const SDL_Event& event) {
  if (onEvent) onEvent(event);
}

void SdlEventLoop::FrameIfDue() {
  const Micros now = NowMicros();
  if (now - lastFrame_ < frameInterval_) return;
  lastFrame_ = now;
  if (onFrame) onFrame();
}

void SdlEventLoop::ProcessEvents() {
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0)
    HandleEvent(event);
  while (DispatchOneDueBy(NowMicros())) {
  }
  FrameIfDue();
}

void SdlEventLoop::Sleep(Micros limit) {
  Micros until = limit;
  if (const auto next = NextDue()) until = std::min(until, *next);
  until = std::min(until, lastFrame_ + frameInterval_);
  const Micros wait = until - NowMicros();
  if (wait <= 0) return;
  SDL_Event event;
  const int milliseconds = static_cast<int>(std::min<Micros>(wait / 1000, 1000));
  if (milliseconds == 0) return;  // less than a millisecond: spin once more
  if (SDL_WaitEventTimeout(&event, milliseconds) != 0) HandleEvent(event);
}

void SdlEventLoop::WaitSeconds(double seconds) {
  const Micros target = NowMicros() + std::max<Micros>(0, SecondsToMicros(seconds));
  ProcessEvents();
  while (NowMicros() < target && !QuitRequested()) {
    Sleep(target);
    ProcessEvents();
  }
}

void SdlEventLoop::Run() {
  ClearQuit();
  while (!QuitRequested()) {
    Sleep(NowMicros() + 1'000'000);
    ProcessEvents();
  }
}

}  // namespace hw::platform
