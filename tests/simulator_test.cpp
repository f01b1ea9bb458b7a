// The simulated game's own clock and name hash, which the command-line
// player and every suite rely on.
#include <gtest/gtest.h>

#include "game/hook.h"
#include "sim.h"

namespace {

TEST(Simulator, FramesLastFrameMsOrCarryTheRemainderOfTheFrameRateAndNamesHashAsTheGames) {
  sim::Reset();
  sim::World& w = sim::GetWorld();
  uint32_t start = w.tick;
  for (int frame = 0; frame < 60; ++frame) sagebrook::hook::scriptWait(0);
  EXPECT_EQ(w.tick - start, 60u * 16u);

  w.frameRate = 60;
  start = w.tick;
  for (int frame = 1; frame <= 180; ++frame) {
    const uint32_t before = w.tick;
    sagebrook::hook::scriptWait(0);
    EXPECT_TRUE(w.tick - before == 16 || w.tick - before == 17) << frame;
    if (frame % 60 == 0) {
      EXPECT_EQ(w.tick - start, static_cast<uint32_t>(frame) * 1000u / 60u) << "a whole second";
    }
  }
  const uint32_t before = w.tick;
  sagebrook::hook::scriptWait(50);
  EXPECT_EQ(w.tick - before, 50u) << "a longer wait lasts what it asks";

  EXPECT_EQ(sim::HashName("PLAYER"), 0x6F0783F5u);
  EXPECT_EQ(sim::HashName("player"), 0x6F0783F5u);
}

}  // namespace
