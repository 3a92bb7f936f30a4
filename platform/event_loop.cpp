#include "platform/event_loop.h"

#include <algorithm>
#include <limits>

namespace hw::platform {

namespace detail {
struct TimerState {
  EventLoop* loop = nullptr;  // null once the loop is gone
  int intervalMs = 0;
  bool enabled = false;
  bool running = false;  // its handler is on the stack
  Micros due = 0;
  std::uint64_t sequence = 0;
  std::function<void()> onTick;
  std::optional<std::function<void()>> replacement;  // set while onTick runs
  bool orphaned = false;                             // its Timer is gone, but its tick was running

  bool Runnable() const { return loop != nullptr && enabled && intervalMs > 0 && !running; }
};
}  // namespace detail

// ---- Timer

Timer::~Timer() {
  if (state_->loop != nullptr) state_->loop->Forget(state_.get());
  state_->loop = nullptr;
}

void Timer::SetInterval(int milliseconds) {
  state_->intervalMs = milliseconds;
  if (state_->enabled && state_->loop != nullptr) state_->loop->Schedule(*state_);
}

int Timer::Interval() const {
  return state_->intervalMs;
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == state_->enabled) return;
  state_->enabled = enabled;
  if (state_->loop == nullptr) return;
  if (enabled) {
    state_->loop->Schedule(*state_);
    state_->loop->active_.push_back(state_);
  } else {
    std::erase(state_->loop->active_, state_);
  }
}

bool Timer::Enabled() const {
  return state_->enabled;
}

void Timer::SetOnTick(std::function<void()> onTick) {
  state_->onTick = std::move(onTick);
}

// ---- EventLoop

EventLoop::~EventLoop() {
  for (auto& timer : timers_)
    timer->loop = nullptr;
}

std::unique_ptr<Timer> EventLoop::CreateTimer(int intervalMilliseconds,
                                              std::function<void()> onTick) {
  auto state = std::make_shared<detail::TimerState>();
  state->loop = this;
  state->intervalMs = intervalMilliseconds;
  state->onTick = std::move(onTick);
  timers_.push_back(state);
  return std::unique_ptr<Timer>(new Timer(std::move(state)));
}

void EventLoop::Post(std::function<void()> fn, double delaySeconds) {
  const Micros due = NowMicros() + std::max<Micros>(0, SecondsToMicros(delaySeconds));
  posted_.emplace(Key{due, nextSequence_++}, Posted{std::move(fn)});
}

void EventLoop::Schedule(detail::TimerState& timer) {
  timer.due = NowMicros() + static_cast<Micros>(timer.intervalMs) * 1000;
  timer.sequence = nextSequence_++;
}

void EventLoop::Forget(detail::TimerState* timer) {
  timer->enabled = false;
  if (timer->running) {
    timer->orphaned = true;  // its tick is still running; dropped once it returns
    return;
  }
  std::erase_if(timers_, [timer](const auto& t) { return t.get() == timer; });
  std::erase_if(active_, [timer](const auto& t) { return t.get() == timer; });
}

std::size_t EventLoop::PendingCount() const {
  return posted_.size() +
         static_cast<std::size_t>(std::count_if(timers_.begin(), timers_.end(), [](const auto& t) {
           return t->enabled && t->intervalMs > 0;
         }));
}

std::optional<Micros> EventLoop::NextDue() const {
  std::optional<Micros> next;
  if (!posted_.empty()) next = posted_.begin()->first.first;
  for (const auto& t : active_) {
    if (t->Runnable() && (!next || t->due < *next)) next = t->due;
  }
  return next;
}

bool EventLoop::DispatchOneDueBy(Micros limit) {
  // The earliest of the first posted event and every runnable timer; ties go to
  // whichever was scheduled first.
  const std::shared_ptr<detail::TimerState>* found = nullptr;
  Key best{limit + 1, 0};
  bool haveBest = false;
  if (!posted_.empty() && posted_.begin()->first.first <= limit) {
    best = posted_.begin()->first;
    haveBest = true;
  }
  for (const auto& t : active_) {
    if (!t->Runnable() || t->due > limit) continue;
    const Key key{t->due, t->sequence};
    if (!haveBest || key < best) {
      best = key;
      found = &t;
      haveBest = true;
    }
  }
  if (!haveBest) return false;
  AdvanceClockTo(best.first);

  if (found == nullptr) {
    auto node = posted_.extract(posted_.begin());
    AroundDispatch();
    node.mapped().fn();
    AroundDispatch();
    return true;
  }

  detail::TimerState* const timer = found->get();
  // The next tick is counted from this one; a tick that comes late (its handler or an
  // outer one was busy) counts from now, so that missed ticks fold into one.
  const Micros interval = static_cast<Micros>(timer->intervalMs) * 1000;
  timer->due += interval;
  if (timer->due <= NowMicros()) timer->due = NowMicros() + interval;
  timer->sequence = nextSequence_++;
  timer->running = true;
  AroundDispatch();
  if (timer->onTick) timer->onTick();
  AroundDispatch();
  timer->running = false;
  if (timer->orphaned) {  // the timer was destroyed by its own tick
    Forget(timer);
    return true;
  }
  if (timer->replacement) {
    timer->onTick = std::move(*timer->replacement);
    timer->replacement.reset();
  }
  return true;
}

// ---- VirtualEventLoop

void VirtualEventLoop::ProcessEvents() {
  now_ += processEventsCost_;
  while (DispatchOneDueBy(now_)) {
  }
}

void VirtualEventLoop::WaitSeconds(double seconds) {
  const Micros target = now_ + std::max<Micros>(0, SecondsToMicros(seconds));
  while (DispatchOneDueBy(target)) {
  }
  AdvanceClockTo(target);
}

void VirtualEventLoop::Run() {
  ClearQuit();
  while (!QuitRequested() && DispatchOneDueBy(std::numeric_limits<Micros>::max() - 1)) {
  }
}

bool VirtualEventLoop::RunUntil(const std::function<bool()>& done, double maxSeconds) {
  const Micros limit = now_ + SecondsToMicros(maxSeconds);
  while (!done()) {
    if (!DispatchOneDueBy(limit)) return false;
  }
  return true;
}

}  // namespace hw::platform
