// The window-less host's graph bookkeeping.
#include <gtest/gtest.h>

#include <string>

#include "device/EventLoop.h"
#include "device/LoopFrameHost.h"

TEST(LoopFrameHost, KeepsOnlyTheLiveValuesTheGraphCanShow) {
  EventLoop loop;
  LoopFrameHost host(loop);
  for (int n = 1; n <= 2500; ++n) host.PostGraphUpdate(std::to_string(n));
  bool handled = false;
  host.Post([&] { handled = true; });
  ASSERT_TRUE(loop.RunUntil([&] { return handled; }, 5000));
  ASSERT_EQ(host.GraphValues().size(), 1000u);
  EXPECT_EQ(host.GraphValues().front(), "1501");
  EXPECT_EQ(host.GraphValues().back(), "2500");
}
