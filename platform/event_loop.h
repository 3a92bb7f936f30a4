#pragma once
// The one event loop of a program: its clock, its timers and the events posted to it.
//
// Everything runs on one thread. Handlers may themselves wait (WaitSeconds) or let
// events run (ProcessEvents); the loop then dispatches further events from inside the
// handler, exactly as the game's waits and animations expect. Two implementations
// exist: VirtualEventLoop (tests, the simulator: no real waiting) and the real-time
// loop of the window program.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace hw::platform {

// The loop's clock counts whole microseconds, so that waits of 0.1 s add up exactly.
using Micros = std::int64_t;

constexpr Micros SecondsToMicros(double seconds) {
  const double us = seconds * 1e6;
  return static_cast<Micros>(us < 0 ? us - 0.5 : us + 0.5);
}

class EventLoop;
namespace detail {
struct TimerState;
}

// A timer as the windows use it: an interval in milliseconds, an enabled flag and a
// free text tag. While enabled with a positive interval it ticks every interval, the
// first tick one interval after it was enabled (or after its interval was changed).
// Enabling a timer that is already enabled changes nothing.
//
// A timer does not tick again while its own handler is still running (the handler waits
// or animates); the ticks it misses meanwhile fold into one that comes as soon as the
// handler has returned. A timer may be disabled or destroyed from any handler,
// including its own tick; a disabled timer never ticks again until it is enabled.
class Timer {
 public:
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void SetInterval(int milliseconds);
  int Interval() const;
  void SetEnabled(bool enabled);
  bool Enabled() const;
  void SetOnTick(std::function<void()> onTick);

  // Free text that the owner keeps with the timer (the window's "tag").
  std::string Tag;

 private:
  friend class EventLoop;
  explicit Timer(detail::TimerState* state) : state_(state) {}
  [[gnu::noinline]] void Switch(bool enabled);
  // Owned by this timer; handed over to the loop when the timer goes while its own
  // tick is still running.
  detail::TimerState* state_;
};

class EventLoop {
 public:
  virtual ~EventLoop();
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  // The loop's clock. Monotonic; starts at 0.
  virtual Micros NowMicros() const = 0;
  double Now() const { return static_cast<double>(NowMicros()) / 1e6; }

  // A new timer, disabled. A timer that outlives its loop never ticks again.
  std::unique_ptr<Timer> CreateTimer(int intervalMilliseconds, std::function<void()> onTick);

  // Queues fn to run from the loop once delaySeconds have passed (at the next
  // ProcessEvents when 0). Events and timer ticks due at the same moment run in the
  // order they were posted or scheduled.
  void Post(std::function<void()> fn, double delaySeconds = 0);

  // Lets pending events run: every posted event and timer tick that is due now, in time
  // order, including those that become due while they run. Returns at once when none is.
  virtual void ProcessEvents() = 0;

  // Waits until the clock has advanced by the given seconds, letting events run
  // meanwhile. Nests: a handler that runs inside a wait may wait itself; a wait whose
  // time has already passed when a nested wait returns ends at once.
  virtual void WaitSeconds(double seconds) = 0;

  // Runs events until Quit() is called (or, for a loop that cannot wait for outside
  // events, until nothing is left to run).
  virtual void Run() = 0;

  // The picture changed: the window program draws and shows a frame at its next frame
  // time. A loop without a screen has nothing to show and ignores it.
  virtual void RequestFrame() {}
  // Lets events run until the next frame has been shown, so that an animation step is
  // seen on screen before the next one. A loop without a screen lets one frame's time
  // (kFrameSeconds) pass instead.
  virtual void WaitForFrame() { WaitSeconds(kFrameSeconds); }
  static constexpr double kFrameSeconds = 1.0 / 60;
  void Quit() { quitRequested_ = true; }
  bool QuitRequested() const { return quitRequested_; }

  // Number of enabled timers and queued events; for tests and the simulator.
  std::size_t PendingCount() const;

 protected:
  EventLoop() = default;

  // The time the earliest runnable event or tick is due, if any.
  std::optional<Micros> NextDue() const;
  // Runs the earliest event or tick due at or before `limit`, first moving a virtual
  // clock on to the moment it is due (AdvanceClockTo). False when none is due.
  bool DispatchOneDueBy(Micros limit);
  // DispatchOneDueBy with the clock and the hooks around a dispatch taken from `loop`
  // (NowMicros, AdvanceClockTo, AroundDispatch): a loop that knows its own type calls
  // them directly instead of through the virtual functions.
  template <typename Loop>
  bool DispatchOneDueByIn(Loop& loop, Micros limit);
  // Whether anything is posted or any timer enabled; when not, nothing can be due.
  bool AnythingScheduled() const { return !posted_.empty() || !active_.empty(); }
  // A virtual clock moves forward to t here; a real one is where it is.
  virtual void AdvanceClockTo(Micros) {}
  // Called just before and just after each posted event or timer tick runs.
  virtual void AroundDispatch() {}
  void ClearQuit() { quitRequested_ = false; }

 private:
  friend class Timer;
  struct Posted {
    std::function<void()> fn;
  };
  using Key = std::pair<Micros, std::uint64_t>;  // (due, order of scheduling)

  void Schedule(detail::TimerState& timer);
  // Drops a timer from the loop's lists; false when its tick is still running (the
  // loop then drops it once the tick returns).
  bool Forget(detail::TimerState* timer);
  // Runs a timer's tick; false when the timer was destroyed by it.
  template <typename Loop>
  bool Tick(Loop& loop, detail::TimerState* timer);

  std::vector<detail::TimerState*> timers_;  // every timer of this loop
  std::vector<detail::TimerState*> active_;  // the enabled ones
  std::map<Key, Posted> posted_;
  std::uint64_t nextSequence_ = 0;
  bool quitRequested_ = false;
};

// The loop of tests and the simulator: time moves only when a wait or the run asks it
// to, so a whole hand runs in microseconds and clicks can be injected at chosen times
// with Post(fn, delay).
class VirtualEventLoop final : public EventLoop {
 public:
  VirtualEventLoop() = default;
  ~VirtualEventLoop() override = default;

  Micros NowMicros() const override { return now_; }
  void ProcessEvents() override;
  void WaitSeconds(double seconds) override;
  // Jumps from one due event to the next until Quit() or until nothing is scheduled.
  void Run() override;
  // Runs events until `done` holds, nothing is left to run, or the clock has moved on by
  // maxSeconds. Returns whether `done` holds.
  bool RunUntil(const std::function<bool()>& done, double maxSeconds);
  // The same for any callable, which is then called directly.
  template <typename Done>
  requires std::is_invocable_r_v<bool, Done&>
  bool RunUntil(Done&& done, double maxSeconds) {
    const Micros limit = now_ + SecondsToMicros(maxSeconds);
    while (!done()) {
      if (!DispatchOne(limit)) return false;
    }
    return true;
  }

  // Lets the clock move by this much at every ProcessEvents call, so that an animation
  // that lets events run between its steps also takes (virtual) time. 0 by default.
  void SetProcessEventsCost(double seconds) { processEventsCost_ = SecondsToMicros(seconds); }

 private:
  friend class EventLoop;
  void AdvanceClockTo(Micros t) override {
    if (t > now_) now_ = t;
  }
  void AroundDispatch() override {}
  // DispatchOneDueBy without the virtual calls. Most waits of a hand played headless have
  // nothing scheduled: they cost one test.
  bool DispatchOne(Micros limit) { return AnythingScheduled() && DispatchDue(limit); }
  bool DispatchDue(Micros limit);
  Micros now_ = 0;
  Micros processEventsCost_ = 0;
};

}  // namespace hw::platform
