// The simulated game's own clock, which the command-line player relies on.
#include <gtest/gtest.h>

#include "game/hook.h"
#include "sim.h"

namespace {

TEST(SimulatorClock, FrameRateCarriesTheRemainderSoASecondIsExact) {
  sim::Reset();
  sim::World& w = sim::GetWorld();
  w.frameRate = 60;
  const uint32_t start = w.tick;
  for (int second = 1; second <= 3; ++second) {
    for (int frame = 0; frame < 60; ++frame) {
      const uint32_t before = w.tick;
      sagebrook::hook::scriptWait(0);
      const uint32_t length = w.tick - before;
      EXPECT_TRUE(length == 16 || length == 17) << length;
    }
    EXPECT_EQ(w.tick - start, static_cast<uint32_t>(second) * 1000u);
  }
  // A longer wait still lasts what it asks.
  const uint32_t before = w.tick;
  sagebrook::hook::scriptWait(50);
  EXPECT_EQ(w.tick - before, 50u);
}

TEST(SimulatorClock, WithoutAFrameRateEveryFrameLastsFrameMs) {
  sim::Reset();
  sim::World& w = sim::GetWorld();
  const uint32_t start = w.tick;
  for (int frame = 0; frame < 60; ++frame) sagebrook::hook::scriptWait(0);
  EXPECT_EQ(w.tick - start, 60u * 16u);
}

}  // namespace
