#include "platform/sdl/sdl_event_loop.h"

#include <algorithm>
#include <thread>

namespace hw::platform {

SdlEventLoop::SdlEventLoop() : start_(std::chrono::steady_clock::now()) {}

Micros SdlEventLoop::NowMicros() const {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                               start_)
      .count();
}

void SdlEventLoop::HandleEvent(const SDL_Event& event) {
  AroundDispatch();
  // A layer pushed or popped by a handler does not disturb this walk.
  const auto layers = layers_;
  bool taken = false;
  for (auto layer = layers.rbegin(); layer != layers.rend() && !taken; ++layer)
    taken = (*layer)->filter && (*layer)->filter(event);
  if (!taken && onEvent) onEvent(event);
  AroundDispatch();
}

void SdlEventLoop::PushLayer(Layer layer) {
  layers_.push_back(std::make_shared<Layer>(std::move(layer)));
  RequestFrame();
}

void SdlEventLoop::PopLayer() {
  if (!layers_.empty()) layers_.pop_back();
  RequestFrame();
}

void SdlEventLoop::FrameIfDue() {
  if (!frameWanted_) return;
  const Micros now = NowMicros();
  if (now - lastFrame_ < frameInterval_) return;
  // Frames keep the display's cadence: the next is due one interval after this one was,
  // unless the loop has fallen behind (or was idle), when the cadence starts anew.
  lastFrame_ = now - lastFrame_ < 2 * frameInterval_ ? lastFrame_ + frameInterval_ : now;
  frameWanted_ = false;
  if (onFrame) onFrame();
  for (const auto& layer : std::vector(layers_)) {
    if (layer->draw) layer->draw();
  }
  ++framesShown_;
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
  if (frameWanted_) until = std::min(until, lastFrame_ + frameInterval_);
  const Micros wait = until - NowMicros();
  if (wait <= 0) return;
  if (wait < 2000) {
    // SDL waits in whole milliseconds; the last stretch before a frame or tick is slept
    // to the microsecond, so that frames come at the display's pace and not later.
    std::this_thread::sleep_for(std::chrono::microseconds(wait));
    return;
  }
  const int milliseconds = static_cast<int>(std::min<Micros>(wait / 1000 - 1, 1000));
  SDL_Event event;
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

void SdlEventLoop::WaitForFrame() {
  RequestFrame();
  const std::uint64_t before = framesShown_;
  ProcessEvents();
  while (framesShown_ == before && !QuitRequested()) {
    Sleep(NowMicros() + frameInterval_);
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
