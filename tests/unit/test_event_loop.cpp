#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "common/EventLoop.h"
#include "common/LifeGuard.h"

// Bounded waits below only guard against hangs; nothing asserts on durations.
constexpr int kGuardMs = 5000;

TEST(EventLoop, PostsFromOtherThreadsRunOnTheLoopThreadInOrder) {
  EventLoop loop;
  std::vector<int> seen;
  bool allOnLoopThread = true;
  const auto loopThread = std::this_thread::get_id();
  std::thread producer([&] {
    for (int i = 0; i < 1000; ++i) {
      loop.Post([&, i] {
        allOnLoopThread = allOnLoopThread && std::this_thread::get_id() == loopThread;
        seen.push_back(i);
      });
    }
  });
  EXPECT_TRUE(loop.RunUntil([&] { return seen.size() == 1000; }, kGuardMs));
  producer.join();
  EXPECT_TRUE(allOnLoopThread);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(seen[i], i);
}

TEST(EventLoop, TimersTickUntilKilledAndRestartWithTheNewCallback) {
  EventLoop loop;
  int oldTicks = 0;
  int newTicks = 0;
  loop.StartTimer(7, 60000, [&] { ++oldTicks; });
  EXPECT_TRUE(loop.IsTimerRunning(7));
  loop.StartTimer(7, 1, [&] {
    if (++newTicks == 3) loop.KillTimer(7);  // a callback may kill its own timer
  });
  EXPECT_TRUE(loop.RunUntil([&] { return newTicks == 3; }, kGuardMs));
  EXPECT_FALSE(loop.IsTimerRunning(7));
  loop.RunFor(20);
  EXPECT_EQ(newTicks, 3);
  EXPECT_EQ(oldTicks, 0);
}

TEST(EventLoop, PostedWorkComesBeforeDueTimers) {
  EventLoop loop;
  std::vector<char> order;
  loop.StartTimer(1, 1, [&] {
    order.push_back('t');
    loop.KillTimer(1);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(5));  // the timer is due
  loop.Post([&] { order.push_back('p'); });
  loop.Post([&] { order.push_back('q'); });
  EXPECT_TRUE(loop.RunUntil([&] { return order.size() == 3; }, kGuardMs));
  EXPECT_EQ(order, (std::vector<char>{'p', 'q', 't'}));
}

TEST(EventLoop, RunUntilReportsAConditionThatNeverHeldAndQuitEndsTheRun) {
  EventLoop loop;
  EXPECT_FALSE(loop.RunUntil([] { return false; }, 10));

  // A condition changed by another thread without a post is still noticed.
  std::atomic<bool> flag{false};
  std::thread setter([&] { flag = true; });
  EXPECT_TRUE(loop.RunUntil([&] { return flag.load(); }, kGuardMs));
  setter.join();

  std::thread quitter([&] { loop.Post([&] { loop.Quit(); }); });
  EXPECT_FALSE(loop.RunUntil([] { return false; }, 60000));  // ends by Quit, not by the guard
  quitter.join();
}

TEST(LifeGuard, WorkQueuedByAnOwnerRunsOnlyIfTheOwnerOutlivesTheQueue) {
  EventLoop loop;
  std::vector<int> ran;
  auto kept = std::make_unique<LifeGuard>();
  auto gone = std::make_unique<LifeGuard>();
  kept->Post(loop, [&] { ran.push_back(1); });
  gone->Post(loop, [&] { ran.push_back(2); });
  const std::weak_ptr<const void> goneWatch = gone->Watch();
  gone.reset();  // its owner closes while the message waits
  loop.Post([&] { ran.push_back(goneWatch.expired() ? 3 : 0); });
  EXPECT_TRUE(loop.RunUntil([&] { return ran.size() == 2; }, kGuardMs));
  EXPECT_EQ(ran, (std::vector<int>{1, 3}));
}
