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
  EventLoop* const loop = state_->loop;
  state_->loop = nullptr;
  // A timer destroyed by its own tick is deleted by the loop once the tick returns.
  if (loop != nullptr && !loop->Forget(state_)) return;
  delete state_;
}

void Timer::SetInterval(int milliseconds) {
  state_->intervalMs = milliseconds;
  if (state_->enabled && state_->loop != nullptr) state_->loop->Schedule(*state_);
}

int Timer::Interval() const {
  return state_->intervalMs;
}

void Timer::SetEnabled(bool enabled) {
  // Most calls change nothing (the game stops a stopped timer often); they cost a test.
  if (enabled != state_->enabled) Switch(enabled);
}

void Timer::Switch(bool enabled) {
  state_->enabled = enabled;
  EventLoop* const loop = state_->loop;
  if (loop == nullptr) return;
  if (enabled) {
    loop->Schedule(*state_);
    loop->active_.push_back(state_);
  } else {
    // A timer is in the list once, and the list's order does not matter (the earliest
    // due is looked for): the last one takes its place.
    auto& active = loop->active_;
    const auto at = std::find(active.begin(), active.end(), state_);
    if (at != active.end()) {
      *at = active.back();
      active.pop_back();
    }
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
  for (detail::TimerState* timer : timers_)
    timer->loop = nullptr;
}

std::unique_ptr<Timer> EventLoop::CreateTimer(int intervalMilliseconds,
                                              std::function<void()> onTick) {
  auto state = std::make_unique<detail::TimerState>();
  state->loop = this;
  state->intervalMs = intervalMilliseconds;
  state->onTick = std::move(onTick);
  timers_.push_back(state.get());
  return std::unique_ptr<Timer>(new Timer(state.release()));
}

void EventLoop::Post(std::function<void()> fn, double delaySeconds) {
  const Micros due = NowMicros() + std::max<Micros>(0, SecondsToMicros(delaySeconds));
  posted_.emplace(Key{due, nextSequence_++}, Posted{std::move(fn)});
}

void EventLoop::Schedule(detail::TimerState& timer) {
  timer.due = NowMicros() + static_cast<Micros>(timer.intervalMs) * 1000;
  timer.sequence = nextSequence_++;
}

bool EventLoop::Forget(detail::TimerState* timer) {
  timer->enabled = false;
  if (timer->running) {
    timer->orphaned = true;  // its tick is still running; dropped once it returns
    return false;
  }
  std::erase(timers_, timer);
  std::erase(active_, timer);
  return true;
}

std::size_t EventLoop::PendingCount() const {
  return posted_.size() + static_cast<std::size_t>(std::count_if(
                              timers_.begin(), timers_.end(), [](const detail::TimerState* t) {
                                return t->enabled && t->intervalMs > 0;
                              }));
}

std::optional<Micros> EventLoop::NextDue() const {
  std::optional<Micros> next;
  if (!posted_.empty()) next = posted_.begin()->first.first;
  for (const detail::TimerState* t : active_) {
    if (t->Runnable() && (!next || t->due < *next)) next = t->due;
  }
  return next;
}

bool EventLoop::DispatchOneDueBy(Micros limit) {
  return DispatchOneDueByIn(*this, limit);
}

template <typename Loop>
bool EventLoop::DispatchOneDueByIn(Loop& loop, Micros limit) {
  // The earliest of the first posted event and every runnable timer; ties go to
  // whichever was scheduled first.
  detail::TimerState* found = nullptr;
  Key best{limit + 1, 0};
  bool haveBest = false;
  if (!posted_.empty() && posted_.begin()->first.first <= limit) {
    best = posted_.begin()->first;
    haveBest = true;
  }
  for (detail::TimerState* const t : active_) {
    if (!t->Runnable() || t->due > limit) continue;
    const Key key{t->due, t->sequence};
    if (!haveBest || key < best) {
      best = key;
      found = t;
      haveBest = true;
    }
  }
  if (!haveBest) return false;
  loop.AdvanceClockTo(best.first);

  if (found == nullptr) {
    auto node = posted_.extract(posted_.begin());
    loop.AroundDispatch();
    node.mapped().fn();
    loop.AroundDispatch();
    return true;
  }
  Tick(loop, found);
  return true;
}

template <typename Loop>
bool EventLoop::Tick(Loop& loop, detail::TimerState* timer) {
  // The next tick is counted from this one; a tick that comes late (its handler or an
  // outer one was busy) counts from now, so that missed ticks fold into one.
  const Micros now = loop.NowMicros();
  const Micros interval = static_cast<Micros>(timer->intervalMs) * 1000;
  timer->due += interval;
  if (timer->due <= now) timer->due = now + interval;
  timer->sequence = nextSequence_++;
  timer->running = true;
  loop.AroundDispatch();
  if (timer->onTick) timer->onTick();
  loop.AroundDispatch();
  timer->running = false;
  if (timer->orphaned) {  // the timer was destroyed by its own tick
    Forget(timer);
    delete timer;
    return false;
  }
  if (timer->replacement) {
    timer->onTick = std::move(*timer->replacement);
    timer->replacement.reset();
  }
  return true;
}

// ---- VirtualEventLoop

bool VirtualEventLoop::DispatchDue(Micros limit) {
  return DispatchOneDueByIn(*this, limit);
}

void VirtualEventLoop::ProcessEvents() {
  now_ += processEventsCost_;
  while (DispatchOne(now_)) {
  }
}

void VirtualEventLoop::WaitSeconds(double seconds) {
  const Micros target = now_ + std::max<Micros>(0, SecondsToMicros(seconds));
  while (DispatchOne(target)) {
  }
  AdvanceClockTo(target);
}

void VirtualEventLoop::Run() {
  ClearQuit();
  while (!QuitRequested() && DispatchOne(std::numeric_limits<Micros>::max() - 1)) {
  }
}

bool VirtualEventLoop::RunUntil(const std::function<bool()>& done, double maxSeconds) {
  const Micros limit = now_ + SecondsToMicros(maxSeconds);
  while (!done()) {
    if (!DispatchOne(limit)) return false;
  }
  return true;
}

}  // namespace hw::platform
