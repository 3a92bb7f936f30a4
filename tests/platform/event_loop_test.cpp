#include "platform/event_loop.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hw::platform {
namespace {

using ::testing::ElementsAre;

// Each entry: what fired and when (in milliseconds on the loop's clock).
struct Journal {
  std::vector<std::string> entries;
  void Note(const EventLoop& loop, const std::string& what) {
    entries.push_back(what + "@" + std::to_string(loop.NowMicros() / 1000));
  }
};

TEST(VirtualEventLoopTest, TimersTickAtTheirIntervalsInTimeOrder) {
  VirtualEventLoop loop;
  Journal journal;
  auto fast = loop.CreateTimer(300, [&] { journal.Note(loop, "fast"); });
  auto slow = loop.CreateTimer(500, [&] { journal.Note(loop, "slow"); });
  fast->SetEnabled(true);
  slow->SetEnabled(true);

  loop.WaitSeconds(1.0);

  EXPECT_THAT(journal.entries,
              ElementsAre("fast@300", "slow@500", "fast@600", "fast@900", "slow@1000"));
  EXPECT_EQ(loop.NowMicros(), 1'000'000);
}

TEST(VirtualEventLoopTest, TicksDueAtTheSameMomentRunInTheOrderTheyWereScheduled) {
  VirtualEventLoop loop;
  Journal journal;
  auto a = loop.CreateTimer(100, [&] { journal.Note(loop, "a"); });
  auto b = loop.CreateTimer(100, [&] { journal.Note(loop, "b"); });
  b->SetEnabled(true);
  a->SetEnabled(true);
  loop.Post([&] { journal.Note(loop, "posted"); }, 0.1);

  loop.WaitSeconds(0.1);

  EXPECT_THAT(journal.entries, ElementsAre("b@100", "a@100", "posted@100"));
}

TEST(VirtualEventLoopTest, TimerStateAndTag) {
  VirtualEventLoop loop;
  int ticks = 0;
  auto timer = loop.CreateTimer(1000, [&] { ++ticks; });
  EXPECT_FALSE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), 1000);
  timer->Tag = "1";
  EXPECT_EQ(timer->Tag, "1");

  loop.WaitSeconds(5);
  EXPECT_EQ(ticks, 0) << "a new timer is disabled";

  timer->SetEnabled(true);
  loop.WaitSeconds(0.5);
  timer->SetEnabled(true);  // already enabled: the count does not start again
  loop.WaitSeconds(0.5);
  EXPECT_EQ(ticks, 1);

  timer->SetInterval(0);  // an interval of 0 never ticks
  loop.WaitSeconds(3);
  EXPECT_EQ(ticks, 1);
  EXPECT_TRUE(timer->Enabled());

  timer->SetInterval(200);  // changing the interval counts from now
  loop.WaitSeconds(0.199);
  EXPECT_EQ(ticks, 1);
  loop.WaitSeconds(0.001);
  EXPECT_EQ(ticks, 2);
}

TEST(VirtualEventLoopTest, TimerDisabledInsideATickDoesNotFireAgain) {
  VirtualEventLoop loop;
  Journal journal;
  std::unique_ptr<Timer> other;
  auto first = loop.CreateTimer(100, [&] {
    journal.Note(loop, "first");
    other->SetEnabled(false);  // due at this very moment as well
  });
  other = loop.CreateTimer(100, [&] { journal.Note(loop, "other"); });
  first->SetEnabled(true);
  other->SetEnabled(true);

  std::unique_ptr<Timer> once;
  once = loop.CreateTimer(50, [&] {
    journal.Note(loop, "once");
    once->SetEnabled(false);
  });
  once->SetEnabled(true);

  loop.WaitSeconds(0.25);

  EXPECT_THAT(journal.entries, ElementsAre("once@50", "first@100", "first@200"));
}

TEST(VirtualEventLoopTest, ATimerMayDestroyItselfInItsOwnTick) {
  VirtualEventLoop loop;
  int ticks = 0;
  std::unique_ptr<Timer> timer;
  timer = loop.CreateTimer(100, [&] {
    ++ticks;
    timer.reset();
  });
  timer->SetEnabled(true);
  loop.WaitSeconds(1);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(loop.PendingCount(), 0u);
}

TEST(VirtualEventLoopTest, WaitsNestInsideHandlers) {
  VirtualEventLoop loop;
  Journal journal;
  auto beat = loop.CreateTimer(100, [&] { journal.Note(loop, "beat"); });
  loop.Post(
      [&] {
        journal.Note(loop, "wait-start");
        loop.WaitSeconds(0.3);  // the beat goes on meanwhile
        journal.Note(loop, "wait-end");
      },
      0.25);
  beat->SetEnabled(true);

  loop.WaitSeconds(0.6);

  EXPECT_THAT(journal.entries, ElementsAre("beat@100", "beat@200", "wait-start@250", "beat@300",
                                           "beat@400", "beat@500", "wait-end@550", "beat@600"));
}

TEST(VirtualEventLoopTest, AWaitOvertakenByANestedWaitEndsAtOnce) {
  VirtualEventLoop loop;
  bool innerDone = false;
  loop.Post([&] {
    loop.WaitSeconds(2.0);
    innerDone = true;
  });
  loop.WaitSeconds(0.5);  // its handler's wait runs past the end of this one
  EXPECT_TRUE(innerDone);
  EXPECT_EQ(loop.NowMicros(), 2'000'000);
}

TEST(VirtualEventLoopTest, ABusyTimerDoesNotReenterAndItsMissedTicksFoldIntoOne) {
  VirtualEventLoop loop;
  Journal journal;
  int depth = 0;
  int deepest = 0;
  auto timer = loop.CreateTimer(100, [&] {
    ++depth;
    deepest = std::max(deepest, depth);
    journal.Note(loop, "tick");
    if (journal.entries.size() == 1) loop.WaitSeconds(0.55);  // busy through five periods
    --depth;
  });
  timer->SetEnabled(true);

  loop.WaitSeconds(1.0);

  EXPECT_EQ(deepest, 1);
  // Busy from 100 to 650: one late tick at 650, then the beat goes on from there.
  EXPECT_THAT(journal.entries,
              ElementsAre("tick@100", "tick@650", "tick@750", "tick@850", "tick@950"));
}

TEST(VirtualEventLoopTest, ProcessEventsRunsOnlyWhatIsDueNow) {
  VirtualEventLoop loop;
  Journal journal;
  loop.Post([&] {
    journal.Note(loop, "now");
    loop.Post([&] { journal.Note(loop, "posted-by-handler"); });
  });
  loop.Post([&] { journal.Note(loop, "later"); }, 0.2);
  auto timer = loop.CreateTimer(100, [&] { journal.Note(loop, "tick"); });
  timer->SetEnabled(true);

  loop.ProcessEvents();
  EXPECT_THAT(journal.entries, ElementsAre("now@0", "posted-by-handler@0"));
  EXPECT_EQ(loop.NowMicros(), 0);

  loop.WaitSeconds(0.2);
  // "later" was posted before the second tick was scheduled (at the first tick).
  EXPECT_THAT(journal.entries,
              ElementsAre("now@0", "posted-by-handler@0", "tick@100", "later@200", "tick@200"));
}

TEST(VirtualEventLoopTest, ProcessEventsCostLetsAnimationsTakeTime) {
  VirtualEventLoop loop;
  loop.SetProcessEventsCost(0.01);
  int ticks = 0;
  auto timer = loop.CreateTimer(1000, [&] { ++ticks; });
  timer->SetEnabled(true);
  for (int step = 0; step < 250; ++step)
    loop.ProcessEvents();  // a long animation
  EXPECT_EQ(loop.NowMicros(), 2'500'000);
  EXPECT_EQ(ticks, 2);
}

TEST(VirtualEventLoopTest, RunJumpsFromEventToEventUntilQuitOrIdle) {
  VirtualEventLoop loop;
  Journal journal;
  loop.Post([&] { journal.Note(loop, "a"); }, 3);
  loop.Post([&] { journal.Note(loop, "b"); }, 7);
  loop.Run();
  EXPECT_THAT(journal.entries, ElementsAre("a@3000", "b@7000"));

  int ticks = 0;
  auto timer = loop.CreateTimer(1000, [&] {
    if (++ticks == 4) loop.Quit();
  });
  timer->SetEnabled(true);
  loop.Run();  // the timer would tick forever; Quit ends the run
  EXPECT_EQ(ticks, 4);
  EXPECT_EQ(loop.NowMicros(), 11'000'000);
}

TEST(VirtualEventLoopTest, TimersOutlivingTheirLoopStaySilent) {
  std::unique_ptr<Timer> timer;
  {
    VirtualEventLoop loop;
    timer = loop.CreateTimer(100, [] {});
    timer->SetEnabled(true);
  }
  // Nothing here may touch the destroyed loop; the sanitizer build checks that.
  timer->SetEnabled(false);
  timer->SetEnabled(true);
  timer->SetInterval(50);
  EXPECT_TRUE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), 50);
}

}  // namespace
}  // namespace hw::platform
